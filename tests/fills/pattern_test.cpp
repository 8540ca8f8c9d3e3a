#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fills/fill_test_support.h"
#include "fills/pattern.h"

namespace arbolix {
namespace {

// Pixels of a 24-bit pattern of white (foreground, colour 2) on black (background, colour 1).
std::vector<std::pair<int, int>> ForegroundPixels(int32_t patternIndex, int32_t width,
                                                  int32_t height) {
    std::vector<uint8_t> pixels = test::UntouchedBuffer(width, height, 3);
    RenderPattern(24, patternIndex, 0, kBlack, kWhite, width, height, pixels);
    std::vector<std::pair<int, int>> set;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int red = test::Red24(pixels, width, x, y);
            EXPECT_TRUE(red == 0 || red == 0xFF) << x << "," << y;
            if (red == 0xFF) set.emplace_back(x, y);
        }
    return set;
}

TEST(RenderPattern, CheckerboardDotsAndPlainFills) {
    // 13: a checkerboard whose top-left pixel is the foreground.
    std::vector<std::pair<int, int>> checkerboard;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x + y) % 2 == 0) checkerboard.emplace_back(x, y);
    EXPECT_EQ(ForegroundPixels(13, 16, 16), checkerboard);

    // 8: one dot in the corner of each cell.
    EXPECT_EQ(ForegroundPixels(8, 16, 16),
              (std::vector<std::pair<int, int>>{{0, 0}, {8, 0}, {0, 8}, {8, 8}}));

    // Outside 0..39: plain colour 1.
    EXPECT_TRUE(ForegroundPixels(40, 16, 8).empty());
    EXPECT_TRUE(ForegroundPixels(-1, 16, 8).empty());
}

TEST(RenderPattern, MaskBitsFromTheLeft) {
    // Pattern 34 is 2A 44 A0 11 8A 44 A2 11, bit 7 the leftmost pixel, here over 2 × 2 cells at
    // 32 bits (blue, green, red, high byte of the colour).
    const std::array<uint8_t, 8> rows = {0x2A, 0x44, 0xA0, 0x11, 0x8A, 0x44, 0xA2, 0x11};
    const Colour background = 0x11000000 | MakeColour(0x30, 0x20, 0x10);
    const Colour foreground = 0x22000000 | MakeColour(0x01, 0x02, 0x03);
    std::vector<uint8_t> pixels(16 * 16 * 4);
    RenderPattern(32, 34, 3, background, foreground, 16, 16, pixels);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool set = (rows[y % 8] >> (7 - x % 8)) & 1;
            const auto pixel = pixels.begin() + (y * 16 + x) * 4;
            EXPECT_EQ(std::vector<int>(pixel, pixel + 4),
                      set ? (std::vector<int>{0x03, 0x02, 0x01, 0x22})
                          : (std::vector<int>{0x10, 0x20, 0x30, 0x11}))
                << x << "," << y;
        }
    }
}

TEST(RenderPattern, OtherDepths) {
    // Red on blue at 8 bits: the cube entries 10 + 36·5 and 10 + 5; at 15 nothing is written.
    std::vector<uint8_t> at8(8 * 8), at15 = test::UntouchedBuffer(8, 8, 2);
    RenderPattern(8, 13, 0, MakeColour(0, 0, 255), MakeColour(255, 0, 0), 8, 8, at8);
    RenderPattern(15, 13, 0, MakeColour(0, 0, 255), MakeColour(255, 0, 0), 8, 8, at15);
    EXPECT_EQ((std::vector<int>{at8[0], at8[1], at8[8], at8[9]}), (std::vector<int>{190, 15, 15, 190}));
    EXPECT_EQ(at15, test::UntouchedBuffer(8, 8, 2));
}

} // namespace
} // namespace arbolix
