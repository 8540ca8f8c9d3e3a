#pragma once
// What the chart window shows of the chart: the zoom (powers of two, 1 fits the whole chart in
// the window), the scroll positions in half windows, and what lies under the mouse.

#include <cstdint>
#include <optional>
#include <string>

#include "base/settings.h"
#include "tree/tree_tables.h"

namespace arbolix {

struct ViewState {
    int64_t zoom = 1;
    int32_t scrollX = 0; // 0 .. scrollMax(); one step is half a drawing width
    int64_t scrollY = 0; // 0 .. scrollMax(); one step is half a drawing height
    int32_t previousRootXref = 0; // the root before the last re-root by Ctrl+click

    int64_t scrollMax() const { return 2 * zoom - 2; }
    // Positions brought back within 0 .. scrollMax() (after the layout halved the zoom, ...).
    void clampScroll();
};

// Zoom in, unless the chart would leave the drawable coordinates or is already magnified enough
// for its size. The same chart point stays at the window's top left. False when refused.
bool ZoomIn(ViewState& view, const ChartTree& tree, const ChartSettings& settings);
// Zoom out; back at zoom 1 both positions are 0. False at zoom 1.
bool ZoomOut(ViewState& view);
void DefaultZoom(ViewState& view);

// Pixels by which the window's content moves when a scroll position goes from `from` to `to`
// over a drawing `drawingSize` pixels high (or wide): half a drawing per step. When the size is
// odd the two halves of a window alternate between (size + 1) / 2 and (size − 1) / 2 pixels, so
// two steps always make the whole size. 0 unless the positions are exactly one step apart (the
// caller then repaints the whole window).
int64_t ScrollPixels(int64_t from, int64_t to, double drawingSize);

// Where a left click zooms in: the quarter of the window it falls in, at the doubled zoom.
// nullopt from zoom 512 on, where clicking no longer zooms.
struct ScrollPosition {
    int32_t x = 0;
    int64_t y = 0;
};
std::optional<ScrollPosition> ClickZoomTarget(const ViewState& view, double x, double y, double clientWidth,
                                              double clientHeight);

// The box strictly inside which a point lies (its border is not a hit): the descendant table
// first, then the ancestor table, as the last drawing left the rectangles.
struct BoxHit {
    bool descendant = true;
    int32_t node = 0;
    int32_t xref = 0;
};
std::optional<BoxHit> HitTest(const ChartTree& tree, int64_t x, int64_t y);

// The status text for the mouse at (x, y): "SURNAME Given" of the box under it, otherwise the
// hint.
std::string StatusTextAt(const ChartTree& tree, int64_t x, int64_t y);
constexpr const char* kMouseHint = "Pour l'aide, appuyer sur F1";

} // namespace arbolix
