#pragma once
// Where the chart lands on a printed poster: the whole chart is drawn once onto a virtual surface
// pagesWide × pagesHigh pages large, and each page shows its own tile of it. Printing, the print
// preview and the PDF poster all take their pages from PosterPageOf, so that they agree sheet for
// sheet.
//
// The assembly aid, off by default, helps to put a large poster together: neighbouring sheets
// repeat a strip of the chart (the overlap) to glue one under the other, and a band kept free
// around the chart on every sheet holds thin cut marks at the edges of the sheet's part of the
// chart and the sheet's label ("B3": column B, row 3). With the aid off the sheets are the
// plain tiles, edge to edge.

#include <cstdint>
#include <string>

#include "base/settings.h"
#include "chart/canvas.h"
#include "chart/chart_pass.h"
#include "data/person_store.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;

// Pages in each direction, as the print layout dialog allows them.
constexpr int32_t kMinPosterPages = 1;
constexpr int32_t kMaxPosterPages = 8;
// The overlap of neighbouring sheets, as the print layout dialog allows it.
constexpr int32_t kMaxOverlapMillimetres = 20;
// The band around the chart of a sheet with cut marks, and the height of its label.
constexpr double kMarkBandMillimetres = 6;
constexpr double kSheetLabelMillimetres = 3;

// What DrawChart receives for one page.
struct PageTile {
    Rect origin;          // the virtual surface in the page's device coordinates
    int64_t drawingWidth; // the whole surface
    int64_t drawingHeight;
};

// A poster cut into sheets, in device pixels of a sheet's printable area.
struct PosterSheets {
    int32_t pagesWide = 1; // counts below 1 count as 1
    int32_t pagesHigh = 1;
    int64_t pageWidth = 0;
    int64_t pageHeight = 0;
    // The strip a sheet shares with its right (cx) and lower (cy) neighbour; at most half of the
    // chart's part of a sheet.
    Extent overlap;
    // The band kept free around the chart on each side (cx left and right, cy top and bottom) for
    // the cut marks and the label; 0 × 0: no marks.
    Extent markBand;
};

// The sheets of the print layout's poster (its page counts held to 1..8, its overlap in
// millimetres, its cut marks) on pages of pageWidth × pageHeight pixels at dotsPerInchX ×
// dotsPerInchY.
PosterSheets MakePosterSheets(const PageLayout& layout, int64_t pageWidth, int64_t pageHeight,
                              double dotsPerInchX, double dotsPerInchY);

// One sheet of a poster.
struct PosterPage {
    int32_t column = 0; // from 0, left to right
    int32_t row = 0;    // from 0, top to bottom
    PageTile tile;
    Rect window; // the part of the sheet that shows the chart (right and bottom left out)
};

int32_t PosterPageCount(const PosterSheets& sheets);
int32_t PosterPageCount(const PageLayout& layout);

// The sheet of page `page` (1 = top-left sheet; pages run row by row, page pagesWide + 1 begins
// the second row). Pages outside 1 .. PosterPageCount are brought within it.
PosterPage PosterPageOf(int32_t page, const PosterSheets& sheets);

// The screen's tile: the client rectangle less one pixel on every side.
PageTile ScreenTile(int64_t clientWidth, int64_t clientHeight);

// "A1" for the top-left sheet: the column's letter, then the row's number from 1.
std::string SheetLabel(int32_t column, int32_t row);

// One printed page: the chart's tile with the view's zoom and scroll, then, when the sheets have
// a band, the band cleared to white with the cut marks and the label in it.
void DrawPosterPage(Canvas& canvas, ChartTree& tree, const PersonStore& store,
                    ChartSettings& settings, const ChartView& view, const PosterSheets& sheets,
                    int32_t page, Reporter& reporter);

// The band of a sheet: white, with thin black cut marks and the sheet's label. Trim marks
// continue the edges of the window into the band at its four corners; where the sheet shares a
// strip with a neighbour, shorter marks continue the strip's inner edge.
void DrawSheetMarks(Canvas& canvas, const PosterSheets& sheets, const PosterPage& page);

} // namespace arbolix
