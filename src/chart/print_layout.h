#pragma once
// Where the chart lands on a printed poster: the whole chart is drawn once onto a virtual surface
// pagesWide × pagesHigh pages large, and each page shows its own tile of it.

#include <cstdint>

#include "chart/canvas.h"

namespace arbolix {

// Pages in each direction, as the print layout dialog allows them.
constexpr int32_t kMinPosterPages = 1;
constexpr int32_t kMaxPosterPages = 8;

// What DrawChart receives for one page.
struct PageTile {
    Rect origin;          // the virtual surface in the page's device coordinates
    int64_t drawingWidth; // the whole surface: pagesWide × pageWidth
    int64_t drawingHeight;
};

// The tile of page `page` (1 = top-left sheet; pages run row by row) on pages of pageWidth ×
// pageHeight device pixels. Page counts below 1 count as 1.
PageTile PosterTile(int32_t page, int32_t pagesWide, int32_t pagesHigh, int64_t pageWidth, int64_t pageHeight);

// The screen's tile: the client rectangle less one pixel on every side.
PageTile ScreenTile(int64_t clientWidth, int64_t clientHeight);

} // namespace arbolix
