#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "chart/print_layout.h"
#include "chart/recording_canvas.h"

namespace arbolix {
namespace {

struct Poster {
    int32_t wide;
    int32_t high;
};

// Without the assembly aid every page is the tile of the plain poster: page p is column
// (p − 1) mod wide and row (p − 1) div wide, looking at the surface from (−column × page width,
// −row × page height), the whole page showing the chart.
TEST(PrintLayout, PagesAreThePlainTilesRowByRow) {
    const int64_t hRes = 4800, vRes = 6800;
    for (const Poster poster : {Poster{1, 1}, Poster{3, 2}, Poster{8, 8}}) {
        const PosterSheets sheets{poster.wide, poster.high, hRes, vRes, {}, {}};
        ASSERT_EQ(PosterPageCount(sheets), poster.wide * poster.high);
        for (int32_t page = 1; page <= poster.wide * poster.high; ++page) {
            const int64_t column = (page - 1) % poster.wide, row = (page - 1) / poster.wide;
            const Rect origin{-column * hRes, -row * vRes, -column * hRes + poster.wide * hRes,
                              -row * vRes + poster.high * vRes};
            const PosterPage sheet = PosterPageOf(page, sheets);
            EXPECT_EQ(sheet.tile.origin, origin)
                << poster.wide << "x" << poster.high << " page " << page;
            EXPECT_EQ(sheet.tile.drawingWidth, poster.wide * hRes);
            EXPECT_EQ(sheet.tile.drawingHeight, poster.high * vRes);
            EXPECT_EQ(sheet.window, (Rect{0, 0, hRes, vRes}));
        }
    }
    // 3 wide × 2 high: page 5 is column 1 of row 1, sheet "B2".
    const PosterPage fifth = PosterPageOf(5, {3, 2, hRes, vRes, {}, {}});
    EXPECT_EQ(SheetLabel(fifth.column, fifth.row), "B2");
    // Counts below 1 and pages outside the poster are brought within it.
    EXPECT_EQ(PosterPageOf(0, {0, -2, 100, 200, {}, {}}).tile.origin, (Rect{0, 0, 100, 200}));
    EXPECT_EQ(PosterPageOf(9, {2, 2, 100, 200, {}, {}}).tile.origin, (Rect{-100, -200, 100, 200}));
}

// Which point of the surface a pixel of a sheet shows.
int64_t SurfaceX(const PosterPage& page, int64_t x) {
    return x - page.tile.origin.left;
}
int64_t SurfaceY(const PosterPage& page, int64_t y) {
    return y - page.tile.origin.top;
}

// With the aid on, the chart keeps clear of the band, neighbours show the same strip of the
// surface, and the sheets together cover the whole surface and nothing beyond it.
TEST(PrintLayout, NeighbouringSheetsShareTheOverlapStrip) {
    // 300 dots per inch: 10 mm are 118 pixels, the band of 6 mm 71.
    const PosterSheets sheets = MakePosterSheets(PageLayout{3, 2, 10, 1}, 2400, 3300, 300, 300);
    EXPECT_EQ(sheets.overlap, (Extent{118, 118}));
    EXPECT_EQ(sheets.markBand, (Extent{71, 71}));
    for (int32_t page = 1; page <= 6; ++page) {
        const PosterPage sheet = PosterPageOf(page, sheets);
        EXPECT_EQ(sheet.window, (Rect{71, 71, 2400 - 71, 3300 - 71}));
        if (sheet.column < 2) {
            const PosterPage right = PosterPageOf(page + 1, sheets);
            EXPECT_EQ(SurfaceX(sheet, sheet.window.right - 118),
                      SurfaceX(right, right.window.left));
            EXPECT_EQ(SurfaceX(sheet, sheet.window.right),
                      SurfaceX(right, right.window.left + 118));
        }
        if (sheet.row == 0) {
            const PosterPage below = PosterPageOf(page + 3, sheets);
            EXPECT_EQ(SurfaceY(sheet, sheet.window.bottom - 118),
                      SurfaceY(below, below.window.top));
        }
    }
    const PosterPage first = PosterPageOf(1, sheets), last = PosterPageOf(6, sheets);
    EXPECT_EQ(SurfaceX(first, first.window.left), 0);
    EXPECT_EQ(SurfaceY(first, first.window.top), 0);
    EXPECT_EQ(SurfaceX(last, last.window.right), last.tile.drawingWidth);
    EXPECT_EQ(SurfaceY(last, last.window.bottom), last.tile.drawingHeight);
    EXPECT_EQ(last.tile.drawingWidth, 3 * (2400 - 2 * 71) - 2 * 118);

    // The overlap alone keeps the whole page for the chart; the settings are held to their ranges.
    const PosterSheets plain = MakePosterSheets(PageLayout{12, 0, 35, 0}, 2400, 3300, 300, 150);
    EXPECT_EQ(plain.pagesWide, 8);
    EXPECT_EQ(plain.pagesHigh, 1);
    EXPECT_EQ(plain.overlap, (Extent{236, 118})); // 20 mm
    EXPECT_EQ(plain.markBand, (Extent{}));
    EXPECT_EQ(PosterPageOf(2, plain).tile.origin.left, -(2400 - 236));
}

// The band is cleared and holds only the marks and the label: no mark enters the chart, trim
// marks stand on the window's edges and strip marks only face a neighbour.
TEST(PrintLayout, MarksAndLabelStayInTheBand) {
    const PosterSheets sheets = MakePosterSheets(PageLayout{3, 2, 10, 1}, 2400, 3300, 300, 300);
    const PosterPage sheet = PosterPageOf(4, sheets); // column A, row 2: neighbours right and above
    RecordingCanvas canvas({32, 300, 300, 2400, 3300});
    DrawSheetMarks(canvas, sheets, sheet);

    const Rect& w = sheet.window;
    EXPECT_EQ(canvas.countStartingWith("FillRect "), 4u);
    EXPECT_EQ(canvas.linesStartingWith("FillRect ")[0], "FillRect -71 -71 2471 71 0xFFFFFF");
    std::set<int64_t> xs, ys; // of the vertical and the horizontal marks
    Point from;
    for (const std::string& line : canvas.lines()) {
        Point point;
        if (std::sscanf(line.c_str(), "MoveTo %ld %ld", &point.x, &point.y) == 2) from = point;
        if (std::sscanf(line.c_str(), "LineTo %ld %ld", &point.x, &point.y) != 2) continue;
        const bool inside =
            std::max(from.x, point.x) > w.left && std::min(from.x, point.x) < w.right - 1 &&
            std::max(from.y, point.y) > w.top && std::min(from.y, point.y) < w.bottom - 1;
        EXPECT_FALSE(inside) << line;
        (from.x == point.x ? xs : ys).insert(from.x == point.x ? point.x : point.y);
    }
    EXPECT_EQ(xs, (std::set<int64_t>{w.left, w.right - 118, w.right - 1}));
    EXPECT_EQ(ys, (std::set<int64_t>{w.top, w.top + 117, w.bottom - 1}));

    const std::vector<std::string> label = canvas.linesStartingWith("TextOut ");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_NE(label[0].find("\"A2\""), std::string::npos);
    int64_t x = 0, y = 0;
    ASSERT_EQ(std::sscanf(label[0].c_str(), "TextOut %ld %ld", &x, &y), 2);
    EXPECT_GT(x, w.left + 118);
    // Bottom-aligned in the band above the window, 3 mm high (35 pixels).
    EXPECT_NE(canvas.lines().end(), std::find(canvas.lines().begin(), canvas.lines().end(),
                                              "Font h=35 w=0 \"Liberation Sans\" 700"));
    EXPECT_LT(y, w.top);
    EXPECT_GE(y - 35, 0);
}

} // namespace
} // namespace arbolix
