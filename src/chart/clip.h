#pragma once
// Geometry that brings 64-bit chart coordinates within reach of a drawing device. At a high zoom
// a link may run from far outside the device on one side to far outside on the other; a device
// with 32-bit or fixed-point coordinates would overflow or bend it. These functions cut such
// shapes down to a box a little larger than the device, without moving what lies inside.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "chart/canvas.h"

namespace arbolix {

struct PointF {
    double x = 0;
    double y = 0;
};

// A segment after clipping. `fromMoved`/`toMoved` tell which end was cut.
struct ClippedLine {
    PointF from;
    PointF to;
    bool fromMoved = false;
    bool toMoved = false;
};

// Cuts the segment a→b to its part inside `box` (the edges belong to the box; the box must not be
// empty). False when no part of it lies inside. Ends inside the box are kept exactly; cut ends lie
// on the box's edges and on the true line: the intersections are computed with exact 128-bit
// integer products, so any int64 coordinates give a straight, unbent result (to double rounding
// of the final, box-sized values).
bool ClipLine(Point a, Point b, const Rect& box, ClippedLine& out);

// Moves each coordinate of `rect` into the box's range (left and right into left..right, top and
// bottom into top..bottom). The part of `rect` inside the box stays the same.
Rect ClampRect(const Rect& rect, const Rect& box);

// True when the rectangle (edges included) and the box share at least one point.
bool Intersects(const Rect& rect, const Rect& box);
// True when every point lies inside the box (edges included).
bool AllInside(std::span<const Point> points, const Rect& box);
// True when all the points lie beyond one and the same edge of the box, so that anything inside
// their convex hull (a Bézier curve of these control points) misses the box.
bool AllBeyondOneEdge(std::span<const PointF> points, const Rect& box);

using CubicF = std::array<PointF, 4>;

// Cuts a cubic Bézier curve into pieces that can be handed to a device: the curve is halved
// again and again; halves whose control points all lie beyond one edge of `box` are dropped, and
// halves whose control points all lie inside `reach` (a box around `box`) are kept whole.
// Together the pieces cover every part of the curve inside `box`. A curve already inside `reach`
// comes back as one piece. Coordinates are handled as doubles (exact up to 2^53).
void CutBezier(const std::array<Point, 4>& curve, const Rect& box, const Rect& reach,
               std::vector<CubicF>& pieces);

// The angles of an arc given the device way (bounding box, start and end radial points, running
// counter-clockwise as seen on a y-down device), in the convention of QPainterPath::arcTo:
// degrees, 0 at three o'clock, positive counter-clockwise on the screen, and parametric
// (the point of angle a is centre + (rx cos a, -ry sin a)), so that the ends fall where the
// radials cross the ellipse. `start` lies in [0, 360), `sweep` in (0, 360]; 360 when both
// radials coincide.
struct ArcAngles {
    double start = 0;
    double sweep = 0;
};
ArcAngles GdiArcAngles(const Rect& box, Point start, Point end);

// Chords of the arc that stray from it by at most a quarter of a pixel, for ellipses too large
// to hand to a device: the arc is halved again and again; parts whose hull (their two ends and
// the meeting point of their tangents) lies beyond one edge of `box` are dropped. Together the
// chords follow every part of the arc inside `box`, in order.
void ArcChords(const Rect& ellipse, const ArcAngles& angles, const Rect& box,
               std::vector<std::array<PointF, 2>>& chords);

} // namespace arbolix
