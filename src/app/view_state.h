#pragma once
// What the chart window shows of the chart: the zoom (powers of two, 1 fits the whole chart in
// the window), the scroll positions in half windows, and what lies under the mouse.
//
// Zooming in is bounded by the chart's size: an ordinary chart zooms while its breadth stays
// within 2^18 layout units a zoom step and until it is magnified enough for its size. A chart too
// broad for that bound (a few thousand boxes and more) zooms on while its boxes are too small to
// read in the window, up to kMaxZoom. Every pixel coordinate is 64-bit and the canvas clips, so
// the only hard limit is that of the scroll positions, which are 32-bit.

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
    // The pixels the whole chart is fitted into at zoom 1 in the window (its drawing area); 0 × 0
    // while no window shows the chart, when zooming keeps to the coordinate bound alone.
    int64_t windowWidth = 0;
    int64_t windowHeight = 0;

    int64_t scrollMax() const { return 2 * zoom - 2; }
    // Positions brought back within 0 .. scrollMax() (after the layout halved the zoom, ...).
    void clampScroll();
};

// The deepest zoom: beyond it the scroll positions (0 .. 2 × zoom − 2) and the scroll bars would
// leave 32-bit integers.
constexpr int64_t kMaxZoom = int64_t{1} << 30;

// A box as the window draws it at `zoom`, in pixels: its length along the generations (larg
// units) and its height (10 units). 0 × 0 while the window's size is unknown.
struct BoxPixels {
    double length = 0;
    double height = 0;
};
BoxPixels BoxPixelsAt(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                      int64_t zoom);

// From this size on a box reads comfortably, as those of a family of a few dozen persons do when
// the whole chart is shown.
constexpr double kLegibleBoxLength = 200;
constexpr double kLegibleBoxHeight = 28;
bool BoxesLegible(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                  int64_t zoom);

// Zoom in, unless the chart is already magnified enough for its size, or unless it would leave
// the 2^18 coordinate bound while its boxes are already legible (or the window unknown). The same
// chart point stays at the window's top left. False when refused.
bool ZoomIn(ViewState& view, const ChartTree& tree, const ChartSettings& settings);
// The zoom to keep after the chart was laid out again: the layout brings `laidOutZoom` down when
// the chart leaves its coordinate range, but the window keeps the zoom it has as long as zooming
// in on this chart could have reached it because its boxes are too small to read.
int64_t ZoomAfterLayout(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                        int64_t laidOutZoom);
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
// nullopt from zoom 512 on, where clicking no longer zooms, unless the boxes are still too small
// to read there.
struct ScrollPosition {
    int32_t x = 0;
    int64_t y = 0;
};
std::optional<ScrollPosition> ClickZoomTarget(const ViewState& view, const ChartTree& tree,
                                              const ChartSettings& settings, double x, double y,
                                              double clientWidth, double clientHeight);

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
