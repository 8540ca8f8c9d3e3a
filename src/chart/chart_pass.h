#pragma once
// One drawing pass of the chart: the mapping from layout units to device pixels and what the
// boxes and links of the pass share. Made by DrawChart; the link shapes read it.

#include <cstdint>

#include "base/settings.h"
#include "chart/canvas.h"
#include "chart/text_fitting.h"
#include "tree/tree_tables.h"

namespace arbolix {

// Where the chart is looked at: the zoom (1, 2, 4, ...) and the scroll positions in half drawing
// sizes (0 .. 2 × zoom − 2).
struct ChartView {
    int64_t zoom = 1;
    int32_t scrollX = 0;
    int64_t scrollY = 0;
};

// Layout units to device pixels for one pass.
class ChartMapping {
public:
    ChartMapping(const ChartMetrics& chart, const DrawingArea& area, const ChartView& view, const Rect& origin);

    // Both truncated toward zero, as 64-bit integers.
    int64_t px(double u) const;
    int64_t py(double v) const;

private:
    double unitsX_;  // extentX + larg + 18
    double unitsY_;  // yMax − yMin + 10
    double yMin_;
    double zoom_;
    double halfScrollX_;
    double halfScrollY_;
    double width_;   // W
    double height_;  // H
    double left_;    // L
    double top_;     // T0
};

struct ChartPass {
    Canvas& canvas;
    const ChartTree& tree;
    const ChartSettings& settings;
    ChartMapping map;
    int64_t rowH = 0;  // the pixel height of 10 units
    int32_t textH = 0; // the text height of the pass
    Pen mainPen{};
    Pen implexePen{};
    Brush linkBrush{};
    bool parentChart = false; // chart mode 0x77

    // The drawn position of a node: the descendant table is drawn mirrored, generations running
    // leftwards from its root.
    double x(const DescendantNode& node) const { return tree.descendantExtentX - node.layoutX; }
    double x(const AncestorNode& node) const { return node.layoutX; }
    // The centre height of a box.
    template <class Node>
    int64_t cy(const Node& node) const {
        return map.py(node.layoutY);
    }
};

// The box of a node in device pixels.
struct BoxGeometry {
    int64_t left = 0;
    int64_t textX = 0;
    int64_t right = 0;
    int64_t top = 0;
    int64_t bottom = 0;
    int64_t extBottom = 0; // below the spouse lines
};

} // namespace arbolix
