#include <gtest/gtest.h>

#include "chart/print_layout.h"

namespace arbolix {
namespace {

TEST(PrintLayout, PagesRunRowByRowOverOneSurface) {
    // One page: the page itself.
    const PageTile single = PosterTile(1, 1, 1, 4800, 6800);
    EXPECT_EQ(single.origin, (Rect{0, 0, 4800, 6800}));
    EXPECT_EQ(single.drawingWidth, 4800);
    EXPECT_EQ(single.drawingHeight, 6800);
    // 3 wide × 2 high: page 5 is column 1 of row 1; page 3 the end of the first row.
    const PageTile fifth = PosterTile(5, 3, 2, 4800, 6800);
    EXPECT_EQ(fifth.origin, (Rect{-4800, -6800, -4800 + 3 * 4800, -6800 + 2 * 6800}));
    EXPECT_EQ(fifth.drawingWidth, 3 * 4800);
    EXPECT_EQ(fifth.drawingHeight, 2 * 6800);
    EXPECT_EQ(PosterTile(3, 3, 2, 100, 200).origin, (Rect{-200, 0, 100, 400}));
    EXPECT_EQ(PosterTile(4, 3, 2, 100, 200).origin, (Rect{0, -200, 300, 200}));
    // Counts below 1 and page 0 are taken as 1.
    EXPECT_EQ(PosterTile(0, 0, -2, 100, 200).origin, (Rect{0, 0, 100, 200}));
}

TEST(PrintLayout, TheScreenLeavesAOnePixelBorder) {
    const PageTile screen = ScreenTile(800, 600);
    EXPECT_EQ(screen.origin, (Rect{1, 1, 799, 599}));
    EXPECT_EQ(screen.drawingWidth, 798);
    EXPECT_EQ(screen.drawingHeight, 598);
}

} // namespace
} // namespace arbolix
