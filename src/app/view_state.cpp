#include "app/view_state.h"

#include <algorithm>
#include <cmath>

#include "chart/text_fitting.h"
#include "data/encoding.h"

namespace arbolix {

void ViewState::clampScroll() {
    scrollX = static_cast<int32_t>(std::clamp<int64_t>(scrollX, 0, scrollMax()));
    scrollY = std::clamp<int64_t>(scrollY, 0, scrollMax());
}

BoxPixels BoxPixelsAt(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                      int64_t zoom) {
    if (view.windowWidth <= 0 || view.windowHeight <= 0) return {};
    // The drawing's own sizes, as the chart is drawn.
    ChartMetrics chart = ChartMetrics::Of(tree, settings, zoom);
    if (tree.descendantCount != 0 && tree.ancestorCount == 0)
        chart.extentX = tree.descendantExtentX;
    const DrawingArea area = FitDrawingSize(view.windowWidth, view.windowHeight, chart);
    const auto z = static_cast<double>(zoom);
    return {chart.larg * z * area.width / (chart.extentX + chart.larg + 18),
            10 * z * area.height / (chart.yMax - chart.yMin + 10)};
}

bool BoxesLegible(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                  int64_t zoom) {
    const BoxPixels box = BoxPixelsAt(view, tree, settings, zoom);
    return box.length >= kLegibleBoxLength && box.height >= kLegibleBoxHeight;
}

namespace {

// The bound the chart's breadth keeps to at an ordinary zoom: 2^18 units a zoom step.
bool WithinCoordinateBound(const ChartTree& tree, double z) {
    constexpr double kBound = 262144;
    return (tree.yMax + 10) * z <= kBound - 1 && (tree.yMin - 10) * z >= 1 - kBound;
}

// Less than 20 units across and two box lengths along the generations a zoom step.
bool MagnifiedEnough(const ChartTree& tree, const ChartSettings& settings, double z) {
    const bool lowEnough = tree.yMax - tree.yMin <= 20 * z;
    const bool narrowEnough =
        static_cast<double>(tree.extentX) + settings.larg < 2 * settings.larg * z;
    return lowEnough && narrowEnough;
}

// A chart shown in a window whose boxes are still too small to read at `zoom`.
bool StillIllegible(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                    int64_t zoom) {
    return view.windowWidth > 0 && view.windowHeight > 0 &&
           !BoxesLegible(view, tree, settings, zoom);
}

bool CanZoomIn(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
               int64_t zoom) {
    if (zoom >= kMaxZoom) return false;
    const auto z = static_cast<double>(zoom);
    if (!WithinCoordinateBound(tree, z) && !StillIllegible(view, tree, settings, zoom))
        return false;
    return !MagnifiedEnough(tree, settings, z);
}

} // namespace

bool ZoomIn(ViewState& view, const ChartTree& tree, const ChartSettings& settings) {
    if (!CanZoomIn(view, tree, settings, view.zoom)) return false;
    view.zoom *= 2;
    view.scrollX = static_cast<int32_t>(int64_t{view.scrollX} * 2);
    view.scrollY *= 2;
    return true;
}

int64_t ZoomAfterLayout(const ViewState& view, const ChartTree& tree, const ChartSettings& settings,
                        int64_t laidOutZoom) {
    int64_t zoom = std::min(view.zoom, kMaxZoom);
    const auto reachable = [&](int64_t z) {
        return StillIllegible(view, tree, settings, z / 2) &&
               !MagnifiedEnough(tree, settings, static_cast<double>(z / 2));
    };
    while (zoom > laidOutZoom && !reachable(zoom)) zoom /= 2;
    return std::max(zoom, laidOutZoom);
}

bool ZoomOut(ViewState& view) {
    if (view.zoom < 2) return false;
    view.zoom /= 2;
    if (view.zoom == 1) {
        view.scrollX = 0;
        view.scrollY = 0;
    } else {
        view.scrollX /= 2;
        view.scrollY /= 2;
    }
    return true;
}

void DefaultZoom(ViewState& view) {
    view.zoom = 1;
    view.scrollX = 0;
    view.scrollY = 0;
}

int64_t ScrollPixels(int64_t from, int64_t to, double drawingSize) {
    if (to - from != 1 && from - to != 1) return 0;
    const auto size = static_cast<int64_t>(drawingSize);
    if (size % 2 == 0) return (from - to) * size / 2;
    const bool down = to > from;
    const bool even = to % 2 == 0;
    if (down) return even ? -(size + 1) / 2 : -(size - 1) / 2;
    return even ? (size - 1) / 2 : (size + 1) / 2;
}

std::optional<ScrollPosition> ClickZoomTarget(const ViewState& view, const ChartTree& tree,
                                              const ChartSettings& settings, double x, double y,
                                              double clientWidth, double clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || 2 * view.zoom > kMaxZoom) return std::nullopt;
    if (view.zoom >= 512 && !StillIllegible(view, tree, settings, view.zoom)) return std::nullopt;
    const auto quarter = [](double f, int64_t position) {
        if (f > 0.5) return 2 * position + 2;
        if (f <= 0.25) return 2 * position;
        return 2 * position + 1;
    };
    return ScrollPosition{static_cast<int32_t>(quarter(x / clientWidth, view.scrollX)),
                          quarter(y / clientHeight, view.scrollY)};
}

namespace {

template <class Node>
bool Inside(const Node& node, int64_t x, int64_t y) {
    return node.boxLeft < x && x < node.boxRight && node.boxTop < y && y < node.boxBottom;
}

} // namespace

std::optional<BoxHit> HitTest(const ChartTree& tree, int64_t x, int64_t y) {
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        if (Inside(node, x, y)) return BoxHit{true, n, node.xref};
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        if (Inside(node, x, y)) return BoxHit{false, n, node.xref};
    }
    return std::nullopt;
}

std::string StatusTextAt(const ChartTree& tree, int64_t x, int64_t y) {
    const std::optional<BoxHit> hit = HitTest(tree, x, y);
    if (!hit) return kMouseHint;
    const auto name = [](const auto& node) { return std::string(node.surname) + " " + node.givenName; };
    const std::string text = hit->descendant ? name(tree.descendants[static_cast<size_t>(hit->node)])
                                             : name(tree.ancestors[static_cast<size_t>(hit->node)]);
    return Windows1252ToUtf8(text);
}

} // namespace arbolix
