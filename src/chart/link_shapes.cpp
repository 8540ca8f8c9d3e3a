#include "chart/link_shapes.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <vector>

namespace arbolix {

namespace {

void Line(Canvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    canvas.moveTo(x0, y0);
    canvas.lineTo(x1, y1);
}

// MoveTo the first point, LineTo the others.
void Path(Canvas& canvas, std::initializer_list<Point> points) {
    auto it = points.begin();
    canvas.moveTo(it->x, it->y);
    for (++it; it != points.end(); ++it) canvas.lineTo(it->x, it->y);
}

// A closed outline: the points, then back to the first.
void ClosedOutline(Canvas& canvas, std::initializer_list<Point> points) {
    std::vector<Point> closed(points);
    closed.push_back(*points.begin());
    canvas.polyline(closed);
}

// The children listed under a node: the list ends at the first entry that is not a node.
int32_t ListedChildren(const DescendantNode& node) {
    int32_t count = 0;
    while (count < 32 && node.children[count] > 0) ++count;
    return count;
}

// The half-thickness of a pipe, from the node's own box.
int64_t PipeThickness(const ChartPass& pass, const BoxGeometry& box) {
    return std::min((box.right - box.left) / 30, pass.rowH / 8);
}

void DescendantPipes(ChartPass& pass, int32_t n, const BoxGeometry& box) {
    Canvas& canvas = pass.canvas;
    const DescendantNode& node = pass.tree.descendants[static_cast<size_t>(n)];
    const double x = pass.x(node);
    const int64_t t = PipeThickness(pass, box);
    const int64_t h = t / 2;
    const int64_t cy = pass.cy(node);
    const int64_t xb = pass.map.px(x - 10);
    const int64_t xp = pass.map.px(x + pass.settings.larg + 10);
    const int32_t children = ListedChildren(node);
    const int64_t left = box.left;
    if (children >= 1) {
        canvas.frameRect({left - 2 * t, cy - t, left + 1, cy + t}, pass.linkBrush);
        if (children == 1) {
            Line(canvas, left - 2 * t, cy - h, xb - t + 1, cy - h);
            Line(canvas, left - 2 * t, cy + h, xb - t + 1, cy + h);
        } else {
            Line(canvas, left - 2 * t, cy - h, xb + t, cy - h);
            Line(canvas, left - 2 * t, cy + h, xb + t, cy + h);
            Path(canvas, {{xb + h, cy - t}, {xb + t, cy - t}, {xb + t, cy + t}, {xb + h, cy + t}});
            const auto childY = [&](int32_t k) { return pass.cy(pass.tree.descendants[static_cast<size_t>(node.children[k])]); };
            const int64_t y0 = childY(0);
            Path(canvas, {{xb - h, y0 + t}, {xb - t, y0 + t}, {xb - t, y0 - t}, {xb + h, y0 - t}, {xb + h, cy - t}});
            int64_t previous = y0;
            for (int32_t k = 1; k < children; ++k) {
                const int64_t y = childY(k);
                Path(canvas, {{xb - h, previous + t}, {xb - h, y - t}, {xb - t, y - t}, {xb - t, y + t}, {xb - h, y + t}});
                previous = y;
            }
            canvas.lineTo(xb + h, previous + t);
            canvas.lineTo(xb + h, cy + t);
        }
    }
    if (n != 1) {
        const int64_t right = box.right;
        canvas.frameRect({right, cy - t, right + 2 * t, cy}, pass.linkBrush);
        Line(canvas, xp - t, cy - h, right + 2 * t - 1, cy - h);
        Line(canvas, xp - t, cy + h, right + 2 * t - 1, cy + h);
    }
}

// The pipes from an ancestor's box to its parents, with rounded bends in brace mode.
void AncestorPipes(ChartPass& pass, const BoxGeometry& box, int64_t cy, int64_t X, const AncestorNode& father,
                   const AncestorNode& mother) {
    Canvas& canvas = pass.canvas;
    const bool braces = pass.settings.setaccolade != 0;
    const int64_t t = PipeThickness(pass, box);
    const int64_t h = t / 2;
    const int64_t xf = pass.map.px(father.layoutX);
    const int64_t yf = pass.cy(father);
    const int64_t xm = pass.map.px(mother.layoutX);
    const int64_t ym = pass.cy(mother);
    const int64_t right = box.right;
    const bool apart = mother.layoutY != father.layoutY;

    canvas.frameRect({right, cy - t, right + 2 * t + 1, cy + t}, pass.linkBrush);
    canvas.frameRect({xf - 2 * t + 1, yf - t, xf + 1, yf + t}, pass.linkBrush);
    if (apart) canvas.frameRect({xm - 2 * t + 1, ym - t, xm + 1, ym + t}, pass.linkBrush);

    if (!apart) {
        if (t < 3) {
            Line(canvas, right + 2 * t, cy, xf - 2 * t, yf);
        } else {
            Line(canvas, right + 2 * t, cy - h, xf - 2 * t, yf - h);
            Line(canvas, right + 2 * t, cy + h, xf - 2 * t, yf + h);
        }
        return;
    }

    // A box lower than both its parents (a second link to ancestors drawn higher up) joins them
    // from below, the mirror image of a box above its father: the pipe rises into a junction at
    // the lower parent's height.
    const int64_t low = std::max(yf, ym);
    const bool below = cy > low;

    // The junction, by the height of this box against its parents'.
    if (yf < cy && cy < ym) {
        ClosedOutline(canvas, {{X - 3 * t, cy + t}, {X - t, cy + t}, {X - t, cy + 3 * t}, {X + t, cy + 3 * t},
                               {X + t, cy - 3 * t}, {X - t, cy - 3 * t}, {X - t, cy - t}, {X - 3 * t, cy - t}});
    } else if (cy == yf) {
        ClosedOutline(canvas, {{X - 3 * t, cy + t}, {X - t, cy + t}, {X - t, cy + 3 * t}, {X + t, cy + 3 * t},
                               {X + t, cy + t}, {X + 3 * t, cy + t}, {X + 3 * t, cy - t}, {X - 3 * t, cy - t}});
    } else if (cy == ym) {
        ClosedOutline(canvas, {{X - 3 * t, cy + t}, {X + 3 * t, cy + t}, {X + 3 * t, cy - t}, {X + t, cy - t},
                               {X + t, cy - 3 * t}, {X - t, cy - 3 * t}, {X - t, cy - t}, {X - 3 * t, cy - t}});
    } else if (cy < yf) {
        ClosedOutline(canvas, {{X - t, yf + 3 * t}, {X + t, yf + 3 * t}, {X + t, yf + t}, {X + 3 * t, yf + t},
                               {X + 3 * t, yf - t}, {X + t, yf - t}, {X + t, yf - 3 * t}, {X - t, yf - 3 * t}});
    } else if (below) {
        ClosedOutline(canvas, {{X - t, low + 3 * t}, {X + t, low + 3 * t}, {X + t, low + t}, {X + 3 * t, low + t},
                               {X + 3 * t, low - t}, {X + t, low - t}, {X + t, low - 3 * t}, {X - t, low - 3 * t}});
    }

    if (t < 2) {
        // Thin pipes: single lines.
        canvas.moveTo(right + 2 * t, cy);
        if (below) {
            if (!braces) {
                canvas.lineTo(X, cy);
                Line(canvas, X, low + 3 * t, X, cy);
            } else {
                DrawQuarterArc(canvas, X, low + 3 * t, right + 2 * t, cy, false);
            }
        } else if (cy >= yf) {
            canvas.lineTo(X - 3 * t, cy);
        } else if (!braces) {
            canvas.lineTo(X, cy);
        } else {
            DrawQuarterArc(canvas, X, yf - 3 * t, right + 2 * t, cy, true);
        }
        if (yf < cy && cy < ym) {
            if (!braces) {
                Line(canvas, xf - 2 * t, yf, X, yf);
                Line(canvas, xm - 2 * t, ym, X, ym);
                Line(canvas, X, yf, X, cy - 3 * t);
                Line(canvas, X, ym, X, cy + 3 * t);
            } else {
                DrawQuarterArc(canvas, X, cy - 3 * t, xf - 2 * t, yf, false);
                DrawQuarterArc(canvas, X, cy + 3 * t, xm - 2 * t, ym, true);
            }
        } else if (cy != ym) {
            Line(canvas, xf - 2 * t, yf, X + 3 * t, yf);
            Line(canvas, xm - 2 * t, ym, X + 3 * t, ym);
            if (cy < yf && !braces) {
                Line(canvas, X, yf - 3 * t, X, cy);
                Line(canvas, X, yf + 3 * t, X, ym - 3 * t);
            } else {
                Line(canvas, X, yf + 3 * t, X, ym - 3 * t);
            }
        }
        return;
    }

    // Thick pipes: two walls at ± h.
    if (below && !braces) {
        Path(canvas, {{right + 2 * t, cy - h}, {X - h, cy - h}, {X - h, low + 3 * t}});
        Path(canvas, {{right + 2 * t, cy + h}, {X + h, cy + h}, {X + h, low + 3 * t}});
    } else if (below) {
        DrawQuarterArc(canvas, X - h, low + 3 * t, right + 2 * t, cy - h, false);
        DrawQuarterArc(canvas, X + h, low + 3 * t, right + 2 * t, cy + h, false);
    } else if (cy >= yf) {
        Line(canvas, right + 2 * t, cy + h, X - 3 * t, cy + h);
        Line(canvas, right + 2 * t, cy - h, X - 3 * t, cy - h);
    } else if (!braces) {
        Path(canvas, {{right + 2 * t, cy + h}, {X - h, cy + h}, {X - h, yf - 3 * t}});
        Path(canvas, {{right + 2 * t, cy - h}, {X + h, cy - h}, {X + h, yf - 3 * t}});
    } else {
        DrawQuarterArc(canvas, X - h, yf - 3 * t, right + 2 * t, cy + h, true);
        DrawQuarterArc(canvas, X + h, yf - 3 * t, right + 2 * t, cy - h, true);
    }
    if (yf < cy && cy < ym) {
        if (!braces) {
            Path(canvas, {{xf - 2 * t, yf - h}, {X - h, yf - h}, {X - h, cy - 3 * t}});
            Path(canvas, {{xm - 2 * t, ym + h}, {X - h, ym + h}, {X - h, cy + 3 * t}});
            Path(canvas, {{xf - 2 * t, yf + h}, {X + h, yf + h}, {X + h, cy - 3 * t}});
            Path(canvas, {{xm - 2 * t, ym - h}, {X + h, ym - h}, {X + h, cy + 3 * t}});
        } else {
            DrawQuarterArc(canvas, X - h, cy - 3 * t, xf - 2 * t, yf - h, false);
            DrawQuarterArc(canvas, X + h, cy - 3 * t, xf - 2 * t, yf + h, false);
            DrawQuarterArc(canvas, X - h, cy + 3 * t, xm - 2 * t, ym + h, true);
            DrawQuarterArc(canvas, X + h, cy + 3 * t, xm - 2 * t, ym - h, true);
        }
    } else {
        Line(canvas, xf - 2 * t, yf - h, X + 3 * t, yf - h);
        Line(canvas, X - h, yf + 3 * t, X - h, ym - 3 * t);
        Line(canvas, X + h, yf + 3 * t, X + h, ym - 3 * t);
        Line(canvas, xm - 2 * t, ym + h, X + 3 * t, ym + h);
        Line(canvas, xf - 2 * t, yf + h, X + 3 * t, yf + h);
        Line(canvas, xm - 2 * t, ym - h, X + 3 * t, ym - h);
    }
}

// Brace mode marks with the implexe pen a curve that passes below the parents of the nearest
// earlier node of the same column: 1 for the father's curve, 2 for the mother's.
int BraceMarks(const ChartPass& pass, int32_t n, const AncestorNode& father, const AncestorNode& mother) {
    const AncestorNode& node = pass.tree.ancestors[static_cast<size_t>(n)];
    for (int32_t k = n - 1; k >= 3; --k) {
        const AncestorNode& other = pass.tree.ancestors[static_cast<size_t>(k)];
        if (other.layoutX != node.layoutX) continue;
        double lowest = -std::numeric_limits<double>::infinity();
        for (int32_t link : {other.father, other.mother}) {
            const int32_t parent = std::abs(link);
            if (parent != 0 && parent <= pass.tree.ancestorCount)
                lowest = std::max(lowest, pass.tree.ancestors[static_cast<size_t>(parent)].layoutY);
        }
        return (lowest > father.layoutY ? 1 : 0) | (lowest > mother.layoutY ? 2 : 0);
    }
    return 0;
}

} // namespace

void DrawFrame(Canvas& canvas, const Rect& rect) {
    canvas.moveTo(rect.left, rect.bottom);
    canvas.lineTo(rect.left, rect.top);
    canvas.lineTo(rect.right, rect.top);
    canvas.lineTo(rect.right, rect.bottom);
    canvas.lineTo(rect.left, rect.bottom);
}

void DrawBezierLink(Canvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const Point points[4] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
    canvas.polyBezier(points);
}

void DrawQuarterArc(Canvas& canvas, int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool forward) {
    const int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2;
    const int64_t dy = y2 > y1 ? y2 - y1 : y1 - y2;
    if (dx <= 1 || dy <= 1 || dx >= 32768 || dy >= 32768) return;
    if (forward) {
        canvas.arc(x1, y2, 2 * x2 - x1, 2 * y1 - y2, x1, y1, x2, y2);
    } else {
        canvas.arc(x1, y2, 2 * x2 - x1, 2 * y1 - y2, x2, y2, x1, y1);
    }
}

void DrawDescendantLinks(ChartPass& pass, int32_t n, const BoxGeometry& box) {
    if (pass.settings.tuyau != 0) {
        DescendantPipes(pass, n, box);
        return;
    }
    Canvas& canvas = pass.canvas;
    const DescendantNode& node = pass.tree.descendants[static_cast<size_t>(n)];
    const double x = pass.x(node);
    const double larg = pass.settings.larg;
    const int64_t cy = pass.cy(node);
    const int32_t children = ListedChildren(node);
    const auto childOf = [&](int32_t k) -> const DescendantNode& {
        return pass.tree.descendants[static_cast<size_t>(node.children[k])];
    };
    const bool braces = pass.settings.setaccolade != 0;
    if (braces) {
        for (int32_t k = 0; k < children; ++k) {
            const DescendantNode& child = childOf(k);
            DrawBezierLink(canvas, pass.map.px(x), cy, pass.map.px(pass.x(child) + larg), pass.cy(child));
        }
    } else if (children > 0) {
        const int64_t xb = pass.map.px(x - 10);
        Line(canvas, box.left, cy, xb, cy);
        for (int32_t k = 0; k < children; ++k) {
            const DescendantNode& child = childOf(k);
            const int64_t y = pass.cy(child);
            Line(canvas, pass.map.px(pass.x(child) + larg), y, xb, y);
            if (y != cy) canvas.lineTo(xb, cy);
        }
        Line(canvas, xb, pass.cy(childOf(0)), xb, pass.cy(childOf(children - 1)));
    }
    // The second parent, when both parents are in the chart.
    if (node.parent2 > 0 && node.parent2 <= pass.tree.descendantCount) {
        const DescendantNode& other = pass.tree.descendants[static_cast<size_t>(node.parent2)];
        if (braces) {
            const Pen previous = canvas.selectPen(pass.implexePen);
            DrawBezierLink(canvas, box.right, cy, pass.map.px(pass.x(other)), pass.cy(other));
            canvas.selectPen(previous);
        } else {
            Line(canvas, box.right, cy, pass.map.px(pass.x(other)), pass.cy(other));
        }
    }
}

void DrawAncestorLinks(ChartPass& pass, int32_t n, const BoxGeometry& box) {
    const AncestorNode& node = pass.tree.ancestors[static_cast<size_t>(n)];
    const auto valid = [&](int32_t link) {
        const int32_t index = std::abs(link);
        return index > 0 && index <= pass.tree.ancestorCount ? index : 0;
    };
    int32_t fatherIndex = valid(node.father);
    int32_t motherIndex = valid(node.mother);
    if (fatherIndex == 0 && motherIndex == 0) return;
    // A single parent: the other end of the link is the same box.
    if (fatherIndex == 0) fatherIndex = motherIndex;
    if (motherIndex == 0) motherIndex = fatherIndex;
    const AncestorNode& father = pass.tree.ancestors[static_cast<size_t>(fatherIndex)];
    const AncestorNode& mother = pass.tree.ancestors[static_cast<size_t>(motherIndex)];

    Canvas& canvas = pass.canvas;
    const ChartSettings& settings = pass.settings;
    const bool pipes = settings.tuyau != 0;
    const bool braces = settings.setaccolade != 0 && !pipes;
    const double x = node.layoutX;
    const double nearest = std::min(father.layoutX, mother.layoutX);
    const bool chosenInParentChart = pass.parentChart && n == 1;
    const double gap = chosenInParentChart ? (x + nearest) / 2 : (x + settings.larg + nearest) / 2;
    const double d = braces ? 2 : 0;
    const int64_t xb1 = pass.map.px(gap - d);
    const int64_t xb2 = pass.map.px(gap + d);
    const int64_t cy = pass.cy(node);
    if (pipes) {
        AncestorPipes(pass, box, cy, xb1, father, mother);
        return;
    }
    const int64_t xf = pass.map.px(father.layoutX);
    const int64_t yf = pass.cy(father);
    const int64_t xm = pass.map.px(mother.layoutX);
    const int64_t ym = pass.cy(mother);
    const int64_t penHalf = std::max<int64_t>(settings.largeur_pen / 2, 1);
    const int64_t lead = chosenInParentChart ? pass.map.px(gap - d - 10) + penHalf + 1 : box.right + penHalf + 1;
    if (!braces) {
        canvas.moveTo(xb2, yf);
        canvas.lineTo(xb1, cy);
        if (mother.layoutY != father.layoutY) canvas.lineTo(xb2, ym);
    }
    Line(canvas, lead, cy, xb1, cy);
    Line(canvas, xf, yf, xb2, yf);
    Line(canvas, xm, ym, xb2, ym);
    if (!braces) return;
    const int marks = BraceMarks(pass, n, father, mother);
    if (marks != 0) {
        const Pen previous = canvas.selectPen(pass.implexePen);
        if (marks & 1) DrawBezierLink(canvas, xb1, cy, xb2, yf);
        if (marks & 2) DrawBezierLink(canvas, xb1, cy, xb2, ym);
        canvas.selectPen(previous);
    }
    if (!(marks & 1)) DrawBezierLink(canvas, xb1, cy, xb2, yf);
    if (!(marks & 2)) DrawBezierLink(canvas, xb1, cy, xb2, ym);
}

} // namespace arbolix
