#include "chart/print_layout.h"

#include <algorithm>

namespace arbolix {

PageTile PosterTile(int32_t page, int32_t pagesWide, int32_t pagesHigh, int64_t pageWidth, int64_t pageHeight) {
    const int64_t wide = std::max(pagesWide, 1);
    const int64_t high = std::max(pagesHigh, 1);
    const int64_t p = std::max(page, 1) - 1;
    const int64_t column = p % wide;
    const int64_t row = p / wide;
    PageTile tile{};
    tile.origin.left = -column * pageWidth;
    tile.origin.top = -row * pageHeight;
    tile.origin.right = tile.origin.left + wide * pageWidth;
    tile.origin.bottom = tile.origin.top + high * pageHeight;
    tile.drawingWidth = wide * pageWidth;
    tile.drawingHeight = high * pageHeight;
    return tile;
}

PageTile ScreenTile(int64_t clientWidth, int64_t clientHeight) {
    PageTile tile{};
    tile.origin = {1, 1, clientWidth - 1, clientHeight - 1};
    tile.drawingWidth = tile.origin.right - tile.origin.left;
    tile.drawingHeight = tile.origin.bottom - tile.origin.top;
    return tile;
}

} // namespace arbolix
