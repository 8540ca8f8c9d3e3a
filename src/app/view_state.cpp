#include "app/view_state.h"

#include <algorithm>
#include <cmath>

#include "data/encoding.h"

namespace arbolix {

void ViewState::clampScroll() {
    scrollX = static_cast<int32_t>(std::clamp<int64_t>(scrollX, 0, scrollMax()));
    scrollY = std::clamp<int64_t>(scrollY, 0, scrollMax());
}

bool ZoomIn(ViewState& view, const ChartTree& tree, const ChartSettings& settings) {
    const auto z = static_cast<double>(view.zoom);
    constexpr double kBound = 262144; // 2^18: coordinates beyond stay out of reach
    if (!((tree.yMax + 10) * z <= kBound - 1 && (tree.yMin - 10) * z >= 1 - kBound)) return false;
    const bool lowEnough = tree.yMax - tree.yMin <= 20 * z;
    const bool narrowEnough = static_cast<double>(tree.extentX) + settings.larg < 2 * settings.larg * z;
    if (lowEnough && narrowEnough) return false;
    view.zoom *= 2;
    view.scrollX *= 2;
    view.scrollY *= 2;
    return true;
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

std::optional<ScrollPosition> ClickZoomTarget(const ViewState& view, double x, double y, double clientWidth,
                                              double clientHeight) {
    if (view.zoom >= 512 || clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
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
