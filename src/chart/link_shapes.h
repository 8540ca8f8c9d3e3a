#pragma once
// The lines joining the boxes: plain orthogonal lines, braces (Bézier curves) or pipes.

#include <cstdint>

#include "chart/canvas.h"
#include "chart/chart_pass.h"

namespace arbolix {

// The four sides of a rectangle with the current pen, from its bottom-left corner.
void DrawFrame(Canvas& canvas, const Rect& rect);
// A curve leaving (x0, y0) and reaching (x1, y1) horizontally.
void DrawBezierLink(Canvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1);
// A quarter of the ellipse centred at (x2, y1) through (x1, y1) and (x2, y2), from the first point
// to the second when `forward`, else back; nothing for radii of 0 or 1 or of 32768 pixels or more.
void DrawQuarterArc(Canvas& canvas, int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool forward);

// The links a node draws: a descendant to its children (and to its second parent), an ancestor
// to its father and mother.
void DrawDescendantLinks(ChartPass& pass, int32_t node, const BoxGeometry& box);
void DrawAncestorLinks(ChartPass& pass, int32_t node, const BoxGeometry& box);

} // namespace arbolix
