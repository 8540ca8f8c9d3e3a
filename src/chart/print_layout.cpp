#include "chart/print_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "chart/chart_renderer.h"

namespace arbolix {

namespace {

int64_t Pixels(double millimetres, double dotsPerInch) {
    return std::max<int64_t>(std::llround(millimetres * dotsPerInch / 25.4), 0);
}

// The chart's part of a sheet along one direction: the page less the band on both sides, and the
// overlap held to at most half of it.
struct Axis {
    int64_t window = 0;  // pixels of chart on a sheet
    int64_t overlap = 0; // of them, shared with the next sheet
    int64_t step() const { return window - overlap; }
};

Axis AxisOf(int64_t page, int64_t band, int64_t overlap) {
    Axis axis;
    axis.window = std::max<int64_t>(page - 2 * band, 1);
    axis.overlap = std::clamp<int64_t>(overlap, 0, axis.window / 2);
    return axis;
}

} // namespace

PosterSheets MakePosterSheets(const PageLayout& layout, int64_t pageWidth, int64_t pageHeight,
                              double dotsPerInchX, double dotsPerInchY) {
    PosterSheets sheets;
    sheets.pagesWide = std::clamp(layout.m_largeur, kMinPosterPages, kMaxPosterPages);
    sheets.pagesHigh = std::clamp(layout.m_hauteur, kMinPosterPages, kMaxPosterPages);
    sheets.pageWidth = pageWidth;
    sheets.pageHeight = pageHeight;
    const double overlap = std::clamp(layout.m_recouvrement, 0, kMaxOverlapMillimetres);
    sheets.overlap = {Pixels(overlap, dotsPerInchX), Pixels(overlap, dotsPerInchY)};
    if (layout.m_reperes == 1)
        sheets.markBand = {Pixels(kMarkBandMillimetres, dotsPerInchX),
                           Pixels(kMarkBandMillimetres, dotsPerInchY)};
    return sheets;
}

int32_t PosterPageCount(const PosterSheets& sheets) {
    return std::max(sheets.pagesWide, 1) * std::max(sheets.pagesHigh, 1);
}

int32_t PosterPageCount(const PageLayout& layout) {
    return PosterPageCount(MakePosterSheets(layout, 1, 1, 1, 1));
}

PosterPage PosterPageOf(int32_t page, const PosterSheets& sheets) {
    const int32_t wide = std::max(sheets.pagesWide, 1);
    const int32_t high = std::max(sheets.pagesHigh, 1);
    const int32_t p = std::clamp(page, 1, wide * high) - 1;
    const Axis x = AxisOf(sheets.pageWidth, sheets.markBand.cx, sheets.overlap.cx);
    const Axis y = AxisOf(sheets.pageHeight, sheets.markBand.cy, sheets.overlap.cy);
    PosterPage result;
    result.column = p % wide;
    result.row = p / wide;
    result.window = {sheets.markBand.cx, sheets.markBand.cy, sheets.markBand.cx + x.window,
                     sheets.markBand.cy + y.window};
    // Without the aid the window is the page and the step a whole page: the plain tiles.
    PageTile& tile = result.tile;
    tile.drawingWidth = (wide - 1) * x.step() + x.window;
    tile.drawingHeight = (high - 1) * y.step() + y.window;
    tile.origin.left = result.window.left - result.column * x.step();
    tile.origin.top = result.window.top - result.row * y.step();
    tile.origin.right = tile.origin.left + tile.drawingWidth;
    tile.origin.bottom = tile.origin.top + tile.drawingHeight;
    return result;
}

PageTile ScreenTile(int64_t clientWidth, int64_t clientHeight) {
    PageTile tile{};
    tile.origin = {1, 1, clientWidth - 1, clientHeight - 1};
    tile.drawingWidth = tile.origin.right - tile.origin.left;
    tile.drawingHeight = tile.origin.bottom - tile.origin.top;
    return tile;
}

std::string SheetLabel(int32_t column, int32_t row) {
    std::string label(1, static_cast<char>('A' + std::clamp(column, 0, 25)));
    return label + std::to_string(row + 1);
}

void DrawPosterPage(Canvas& canvas, ChartTree& tree, const PersonStore& store,
                    ChartSettings& settings, const ChartView& view, const PosterSheets& sheets,
                    int32_t page, Reporter& reporter) {
    const PosterPage sheet = PosterPageOf(page, sheets);
    // The whole surface is drawn; only the boxes that may show on the sheet get their contents.
    DrawChart(canvas, tree, store, settings, view, sheet.tile.drawingWidth,
              sheet.tile.drawingHeight, sheet.tile.origin, sheet.window, reporter);
    if (sheets.markBand.cx > 0 && sheets.markBand.cy > 0) DrawSheetMarks(canvas, sheets, sheet);
}

namespace {

// A line of the current pen from one point to another, both drawn.
void Mark(Canvas& canvas, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2 + (x2 > x1) - (x2 < x1), y2 + (y2 > y1) - (y2 < y1));
}

// Marks in the top and bottom bands continuing the vertical line at x, from `gap` off the window
// to `length` further out.
void VerticalMarks(Canvas& canvas, const Rect& window, int64_t x, int64_t gap, int64_t length) {
    Mark(canvas, x, window.top - gap, x, window.top - gap - length);
    Mark(canvas, x, window.bottom - 1 + gap, x, window.bottom - 1 + gap + length);
}

void HorizontalMarks(Canvas& canvas, const Rect& window, int64_t y, int64_t gap, int64_t length) {
    Mark(canvas, window.left - gap, y, window.left - gap - length, y);
    Mark(canvas, window.right - 1 + gap, y, window.right - 1 + gap + length, y);
}

void DrawLabel(Canvas& canvas, const PosterSheets& sheets, const PosterPage& page) {
    LogFont font{};
    font.lfHeight = static_cast<int32_t>(
        std::max<int64_t>(sheets.markBand.cy * kSheetLabelMillimetres / kMarkBandMillimetres, 1));
    font.lfWeight = 700;
    std::strncpy(font.lfFaceName, "Liberation Sans", kFaceNameSize - 1);
    const std::string label = SheetLabel(page.column, page.row);
    const LogFont previous = canvas.selectFont(font);
    const Extent extent = canvas.textExtent(label);
    canvas.setTextColour(kBlack);
    canvas.setTextAlign(kTaLeft | kTaBottom);
    // In the middle of the top band, clear of every mark.
    canvas.textOut((page.window.left + page.window.right - extent.cx) / 2,
                   page.window.top - sheets.markBand.cy / 4, label);
    canvas.setTextAlign(kTaLeft | kTaTop);
    canvas.selectFont(previous);
}

} // namespace

void DrawSheetMarks(Canvas& canvas, const PosterSheets& sheets, const PosterPage& page) {
    const Rect& window = page.window;
    const Brush white{BrushStyle::Solid, kWhite};
    // The band, and as much again beyond the page, so that no edge of a line clipped there by
    // the printer shows.
    const Rect beyond{-window.left, -window.top, sheets.pageWidth + window.left,
                      sheets.pageHeight + window.top};
    canvas.fillRect({beyond.left, beyond.top, beyond.right, window.top}, white);
    canvas.fillRect({beyond.left, window.bottom, beyond.right, beyond.bottom}, white);
    canvas.fillRect({beyond.left, window.top, window.left, window.bottom}, white);
    canvas.fillRect({window.right, window.top, beyond.right, window.bottom}, white);

    const Pen previous = canvas.selectPen({PenStyle::Solid, 1, kBlack});
    const Extent gap{sheets.markBand.cx / 4, sheets.markBand.cy / 4};
    const Extent trim{sheets.markBand.cx - 2 * gap.cx, sheets.markBand.cy - 2 * gap.cy};
    // The edges of the window: where the sheet is cut.
    for (const int64_t x : {window.left, window.right - 1})
        VerticalMarks(canvas, window, x, gap.cy, trim.cy);
    for (const int64_t y : {window.top, window.bottom - 1})
        HorizontalMarks(canvas, window, y, gap.cx, trim.cx);
    // The inner edges of the strips shared with neighbours, on the pixels that the neighbour's
    // trim marks stand on: where the neighbour's cut edge is laid.
    const int32_t wide = std::max(sheets.pagesWide, 1);
    const int32_t high = std::max(sheets.pagesHigh, 1);
    const Axis x = AxisOf(sheets.pageWidth, sheets.markBand.cx, sheets.overlap.cx);
    const Axis y = AxisOf(sheets.pageHeight, sheets.markBand.cy, sheets.overlap.cy);
    if (x.overlap > 0) {
        if (page.column > 0)
            VerticalMarks(canvas, window, window.left + x.overlap - 1, gap.cy, trim.cy / 2);
        if (page.column < wide - 1)
            VerticalMarks(canvas, window, window.right - x.overlap, gap.cy, trim.cy / 2);
    }
    if (y.overlap > 0) {
        if (page.row > 0)
            HorizontalMarks(canvas, window, window.top + y.overlap - 1, gap.cx, trim.cx / 2);
        if (page.row < high - 1)
            HorizontalMarks(canvas, window, window.bottom - y.overlap, gap.cx, trim.cx / 2);
    }
    canvas.selectPen(previous);
    DrawLabel(canvas, sheets, page);
}

} // namespace arbolix
