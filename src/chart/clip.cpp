#include "chart/clip.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace arbolix {

namespace {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

enum Outside : int { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

int OutCode(Point p, const Rect& box) {
    int code = 0;
    if (p.x < box.left)
        code |= kLeft;
    else if (p.x > box.right)
        code |= kRight;
    if (p.y < box.top)
        code |= kTop;
    else if (p.y > box.bottom)
        code |= kBottom;
    return code;
}

UInt128 Magnitude(Int128 value) {
    return value < 0 ? static_cast<UInt128>(-value) : static_cast<UInt128>(value);
}

// On the line through (u0, v0) and (u1, v1), the v of the point whose u is `at`, exactly up to
// the final rounding. `at` must lie between u0 and u1 (u0 != u1), which keeps the quotient below
// 2^64 and the products below 2^128.
double InterpolateExact(int64_t u0, int64_t v0, int64_t u1, int64_t v1, int64_t at) {
    const Int128 run = static_cast<Int128>(at) - u0;
    const Int128 rise = static_cast<Int128>(v1) - v0;
    const Int128 span = static_cast<Int128>(u1) - u0;
    const bool negative = ((run < 0) != (rise < 0)) != (span < 0);
    const UInt128 numerator = Magnitude(run) * Magnitude(rise);
    const UInt128 denominator = Magnitude(span);
    const UInt128 quotient = numerator / denominator;
    const UInt128 remainder = numerator % denominator;
    const Int128 signedQuotient =
        negative ? -static_cast<Int128>(quotient) : static_cast<Int128>(quotient);
    const double fraction = static_cast<double>(remainder) / static_cast<double>(denominator);
    return static_cast<double>(static_cast<Int128>(v0) + signedQuotient) +
           (negative ? -fraction : fraction);
}

// Where the segment from `p` (outside the box) toward `other` enters the box.
bool EntryPoint(Point p, Point other, const Rect& box, PointF& out) {
    const int code = OutCode(p, box);
    if (code & (kLeft | kRight)) {
        const int64_t x = (code & kLeft) ? box.left : box.right;
        const double y = InterpolateExact(p.x, p.y, other.x, other.y, x);
        if (y >= static_cast<double>(box.top) && y <= static_cast<double>(box.bottom)) {
            out = {static_cast<double>(x), y};
            return true;
        }
    }
    if (code & (kTop | kBottom)) {
        const int64_t y = (code & kTop) ? box.top : box.bottom;
        const double x = InterpolateExact(p.y, p.x, other.y, other.x, y);
        if (x >= static_cast<double>(box.left) && x <= static_cast<double>(box.right)) {
            out = {x, static_cast<double>(y)};
            return true;
        }
    }
    return false;
}

PointF ToF(Point p) {
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

bool AllInsideF(std::span<const PointF> points, const Rect& box) {
    for (const PointF& p : points)
        if (p.x < static_cast<double>(box.left) || p.x > static_cast<double>(box.right) ||
            p.y < static_cast<double>(box.top) || p.y > static_cast<double>(box.bottom))
            return false;
    return true;
}

PointF Mid(PointF a, PointF b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// The box's centre and radii as doubles, computed without overflow.
struct Ellipse {
    double cx, cy, rx, ry;
};

Ellipse EllipseOf(const Rect& box) {
    const Int128 sumX = static_cast<Int128>(box.left) + box.right;
    const Int128 sumY = static_cast<Int128>(box.top) + box.bottom;
    const Int128 width = static_cast<Int128>(box.right) - box.left;
    const Int128 height = static_cast<Int128>(box.bottom) - box.top;
    return {static_cast<double>(sumX) / 2, static_cast<double>(sumY) / 2,
            static_cast<double>(width < 0 ? -width : width) / 2,
            static_cast<double>(height < 0 ? -height : height) / 2};
}

// Parametric angle, in degrees, of the radial from the box's centre through p.
double RadialAngle(const Rect& box, const Ellipse& e, Point p) {
    // Twice the offsets from the centre, exactly, then scaled by the radii.
    const Int128 dx2 = 2 * static_cast<Int128>(p.x) - (static_cast<Int128>(box.left) + box.right);
    const Int128 dy2 = 2 * static_cast<Int128>(p.y) - (static_cast<Int128>(box.top) + box.bottom);
    const double u = static_cast<double>(dx2) / (e.rx > 0 ? e.rx : 1);
    const double v = -static_cast<double>(dy2) / (e.ry > 0 ? e.ry : 1);
    return std::atan2(v, u) * 180 / std::numbers::pi;
}

constexpr int kMaxBezierDepth = 64;

} // namespace

bool ClipLine(Point a, Point b, const Rect& box, ClippedLine& out) {
    const int codeA = OutCode(a, box);
    const int codeB = OutCode(b, box);
    if (codeA & codeB) return false;
    ClippedLine line;
    line.from = ToF(a);
    line.to = ToF(b);
    if (codeA != 0) {
        if (!EntryPoint(a, b, box, line.from)) return false;
        line.fromMoved = true;
    }
    if (codeB != 0) {
        if (!EntryPoint(b, a, box, line.to)) return false;
        line.toMoved = true;
    }
    out = line;
    return true;
}

Rect ClampRect(const Rect& rect, const Rect& box) {
    return {std::clamp(rect.left, box.left, box.right), std::clamp(rect.top, box.top, box.bottom),
            std::clamp(rect.right, box.left, box.right),
            std::clamp(rect.bottom, box.top, box.bottom)};
}

bool Intersects(const Rect& rect, const Rect& box) {
    return rect.left <= box.right && rect.right >= box.left && rect.top <= box.bottom &&
           rect.bottom >= box.top;
}

bool AllInside(std::span<const Point> points, const Rect& box) {
    for (const Point& p : points)
        if (OutCode(p, box) != 0) return false;
    return true;
}

bool AllBeyondOneEdge(std::span<const PointF> points, const Rect& box) {
    bool left = true, right = true, top = true, bottom = true;
    for (const PointF& p : points) {
        left = left && p.x < static_cast<double>(box.left);
        right = right && p.x > static_cast<double>(box.right);
        top = top && p.y < static_cast<double>(box.top);
        bottom = bottom && p.y > static_cast<double>(box.bottom);
    }
    return !points.empty() && (left || right || top || bottom);
}

void CutBezier(const std::array<Point, 4>& curve, const Rect& box, const Rect& reach,
               std::vector<CubicF>& pieces) {
    struct Piece {
        CubicF points;
        int depth;
    };
    std::vector<Piece> pending;
    pending.push_back({{ToF(curve[0]), ToF(curve[1]), ToF(curve[2]), ToF(curve[3])}, 0});
    while (!pending.empty()) {
        const Piece piece = pending.back();
        pending.pop_back();
        if (AllBeyondOneEdge(piece.points, box)) continue;
        if (AllInsideF(piece.points, reach)) {
            pieces.push_back(piece.points);
            continue;
        }
        if (piece.depth >= kMaxBezierDepth) continue; // a sliver that never came near the box
        // de Casteljau at t = 1/2.
        const CubicF& p = piece.points;
        const PointF p01 = Mid(p[0], p[1]), p12 = Mid(p[1], p[2]), p23 = Mid(p[2], p[3]);
        const PointF p012 = Mid(p01, p12), p123 = Mid(p12, p23);
        const PointF middle = Mid(p012, p123);
        // The second half goes first so that the first half is taken next: pieces come in order.
        pending.push_back({{middle, p123, p23, p[3]}, piece.depth + 1});
        pending.push_back({{p[0], p01, p012, middle}, piece.depth + 1});
    }
}

ArcAngles GdiArcAngles(const Rect& box, Point start, Point end) {
    const Ellipse e = EllipseOf(box);
    double from = RadialAngle(box, e, start);
    if (from < 0) from += 360;
    const double to = RadialAngle(box, e, end);
    double sweep = std::fmod(to - from, 360.0);
    if (sweep <= 0) sweep += 360;
    return {from, sweep};
}

void ArcChords(const Rect& ellipse, const ArcAngles& angles, const Rect& box,
               std::vector<std::array<PointF, 2>>& chords) {
    const Ellipse e = EllipseOf(ellipse);
    const double radius = std::max(e.rx, e.ry);
    // A chord spanning `span` radians strays by about radius × span² / 8 from its arc.
    const double quarter = std::numbers::pi / 2;
    const double finest = radius > 8 ? std::sqrt(2 / radius) : quarter;
    const auto at = [&e](double a) {
        return PointF{e.cx + e.rx * std::cos(a), e.cy - e.ry * std::sin(a)};
    };
    struct Part {
        double from, to; // radians
    };
    std::vector<Part> pending;
    const double start = angles.start * std::numbers::pi / 180;
    const double sweep = angles.sweep * std::numbers::pi / 180;
    const int quarters = std::max(1, static_cast<int>(std::ceil(sweep / quarter - 1e-12)));
    for (int i = quarters - 1; i >= 0; --i)
        pending.push_back({start + sweep * i / quarters, start + sweep * (i + 1) / quarters});
    while (!pending.empty()) {
        const Part part = pending.back();
        pending.pop_back();
        const PointF from = at(part.from), to = at(part.to);
        // Where the tangents at both ends meet: with the ends, it bounds the part of the arc.
        const double middle = (part.from + part.to) / 2;
        const double stretch = 1 / std::cos((part.to - part.from) / 2);
        const PointF corner{e.cx + e.rx * std::cos(middle) * stretch,
                            e.cy - e.ry * std::sin(middle) * stretch};
        const std::array<PointF, 3> hull = {from, to, corner};
        if (AllBeyondOneEdge(hull, box)) continue;
        if (part.to - part.from <= finest) {
            chords.push_back({from, to});
            continue;
        }
        pending.push_back({middle, part.to});
        pending.push_back({part.from, middle});
    }
}

} // namespace arbolix
