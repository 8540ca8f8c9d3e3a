#include "chart/qt_canvas.h"

#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "chart/clip.h"
#include "chart/qt_convert.h"

namespace arbolix {

namespace {

// How far beyond the clipping box shapes may reach QPainter untouched: well inside the range
// of its fixed-point rasteriser.
constexpr int64_t kReach = 65536;
// Length of every cosmetic dash pattern, in pixels.
constexpr double kDashPeriod = 24;

QPen MakeLinePen(const Pen& pen, bool& styled) {
    styled = false;
    QPen out(ToQColor(pen.colour));
    if (pen.style == PenStyle::Null) {
        out.setStyle(Qt::NoPen);
        return out;
    }
    if (pen.width > 1) {
        out.setWidth(pen.width);
        out.setCapStyle(Qt::RoundCap);
        out.setJoinStyle(Qt::RoundJoin);
        return out;
    }
    out.setWidth(0);
    out.setCapStyle(Qt::FlatCap); // a cosmetic line leaves out its last pixel
    out.setJoinStyle(Qt::MiterJoin);
    styled = true;
    switch (pen.style) {
    case PenStyle::Dash:
        out.setDashPattern({18, 6});
        break;
    case PenStyle::Dot:
        out.setDashPattern({3, 3});
        break;
    case PenStyle::DashDot:
        out.setDashPattern({9, 6, 3, 6});
        break;
    case PenStyle::DashDotDot:
        out.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    default:
        styled = false;
        break;
    }
    return out;
}

Point RoundedPoint(const PointF& p) {
    constexpr double kLimit = 9.0e18;
    return {std::llround(std::clamp(p.x, -kLimit, kLimit)),
            std::llround(std::clamp(p.y, -kLimit, kLimit))};
}

} // namespace

size_t QtCanvas::LogFontHash::operator()(const LogFont& font) const {
    // FNV-1a over the fields, the face name up to its terminating zero.
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    mix(&font.lfHeight, sizeof font.lfHeight);
    mix(&font.lfWidth, sizeof font.lfWidth);
    mix(&font.lfWeight, sizeof font.lfWeight);
    const uint8_t flags[3] = {font.lfItalic, font.lfUnderline, font.lfStrikeOut};
    mix(flags, sizeof flags);
    mix(font.lfFaceName, strnlen(font.lfFaceName, kFaceNameSize));
    return static_cast<size_t>(hash);
}

QtCanvas::QtCanvas(QPaintDevice& device, TextSmoothing smoothing)
    : ownPainter_(std::make_unique<QPainter>(&device)), painter_(ownPainter_.get()),
      smoothing_(smoothing) {
    setUp();
}

QtCanvas::QtCanvas(QPainter& painter, TextSmoothing smoothing)
    : painter_(&painter), smoothing_(smoothing) {
    if (painter_->isActive()) painter_->save();
    setUp();
}

QtCanvas::~QtCanvas() {
    if (ownPainter_) {
        if (ownPainter_->isActive()) ownPainter_->end();
    } else if (active_) {
        painter_->restore();
    }
}

void QtCanvas::setUp() {
    active_ = painter_->isActive();
    if (!active_) return;
    QPaintDevice* device = painter_->device();
    info_.bitsPerPixel = device->depth();
    info_.pixelsPerInchX = device->logicalDpiX();
    info_.pixelsPerInchY = device->logicalDpiY();
    info_.width = device->width();
    info_.height = device->height();

    const QRectF deviceRect(0, 0, device->width(), device->height());
    bool invertible = false;
    const QTransform inverse = painter_->combinedTransform().inverted(&invertible);
    const QRectF logical = invertible ? inverse.mapRect(deviceRect) : deviceRect;
    deviceBox_ = {static_cast<int64_t>(std::floor(logical.left())),
                  static_cast<int64_t>(std::floor(logical.top())),
                  static_cast<int64_t>(std::ceil(logical.right())),
                  static_cast<int64_t>(std::ceil(logical.bottom()))};
    clipBox_ = {deviceBox_.left - kClipMargin, deviceBox_.top - kClipMargin,
                deviceBox_.right + kClipMargin, deviceBox_.bottom + kClipMargin};
    reachBox_ = {clipBox_.left - kReach, clipBox_.top - kReach, clipBox_.right + kReach,
                 clipBox_.bottom + kReach};
    baseTransform_ = painter_->worldTransform();

    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, smoothing_ == TextSmoothing::Smoothed);
    // Pixel devices draw a font's stretch; others may not (Qt's SVG generator ignores it).
    scalesText_ = painter_->paintEngine() != nullptr &&
                  painter_->paintEngine()->type() != QPaintEngine::Raster;
    painter_->setBrush(Qt::NoBrush);
    painter_->setBackgroundMode(Qt::OpaqueMode);
    painter_->setBackground(ToQColor(backgroundColour_));
    linePen_ = MakeLinePen(pen_, linePenStyled_);
}

// --- State
// ----------------------------------------------------------------------------------------

Pen QtCanvas::selectPen(const Pen& pen) {
    const Pen previous = pen_;
    if (!(pen == pen_)) {
        pen_ = pen;
        linePen_ = MakeLinePen(pen_, linePenStyled_);
        if (painterPen_ == PainterPen::Line) painterPen_ = PainterPen::Unknown;
    }
    return previous;
}

Brush QtCanvas::selectBrush(const Brush& brush) {
    const Brush previous = brush_;
    brush_ = brush;
    return previous;
}

LogFont QtCanvas::selectFont(const LogFont& font) {
    const LogFont previous = logFont_;
    if (!(font == logFont_)) {
        logFont_ = font;
        font_ = nullptr;
    }
    return previous;
}

Colour QtCanvas::setTextColour(Colour colour) {
    const Colour previous = textColour_;
    textColour_ = colour;
    return previous;
}

TextAlign QtCanvas::setTextAlign(TextAlign align) {
    const TextAlign previous = textAlign_;
    textAlign_ = align;
    return previous;
}

BackgroundMode QtCanvas::setBackgroundMode(BackgroundMode mode) {
    const BackgroundMode previous = backgroundMode_;
    if (mode != backgroundMode_ && active_)
        painter_->setBackgroundMode(mode == BackgroundMode::Opaque ? Qt::OpaqueMode
                                                                   : Qt::TransparentMode);
    backgroundMode_ = mode;
    return previous;
}

Colour QtCanvas::setBackgroundColour(Colour colour) {
    const Colour previous = backgroundColour_;
    if (colour != backgroundColour_ && active_) painter_->setBackground(ToQColor(colour));
    backgroundColour_ = colour;
    return previous;
}

void QtCanvas::useLinePen() {
    if (painterPen_ == PainterPen::Line) return;
    painter_->setPen(linePen_);
    painterPen_ = PainterPen::Line;
}

// --- Lines
// ----------------------------------------------------------------------------------------

Point QtCanvas::moveTo(int64_t x, int64_t y) {
    const Point previous = position_;
    position_ = {x, y};
    return previous;
}

void QtCanvas::lineTo(int64_t x, int64_t y) {
    const Point from = position_;
    position_ = {x, y};
    if (active_ && pen_.style != PenStyle::Null) drawSegment(from, position_);
}

void QtCanvas::drawSegment(Point from, Point to) {
    ClippedLine line;
    if (!ClipLine(from, to, clipBox_, line)) return;
    useLinePen();
    const QLineF segment(line.from.x, line.from.y, line.to.x, line.to.y);
    if (linePenStyled_ && line.fromMoved) {
        // Keep the pattern where it would have been had the line been drawn from its true start.
        const double skipped = std::hypot(line.from.x - static_cast<double>(from.x),
                                          line.from.y - static_cast<double>(from.y));
        QPen pen = linePen_;
        pen.setDashOffset(std::fmod(skipped, kDashPeriod));
        painter_->setPen(pen);
        painter_->drawLine(segment);
        painter_->setPen(linePen_);
    } else {
        painter_->drawLine(segment);
    }
}

void QtCanvas::polyline(std::span<const Point> points) {
    if (!active_ || pen_.style == PenStyle::Null || points.size() < 2) return;
    if (AllInside(points, clipBox_)) {
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(points.size()));
        for (const Point& p : points)
            polygon.append(QPointF(static_cast<double>(p.x), static_cast<double>(p.y)));
        useLinePen();
        painter_->drawPolyline(polygon);
        return;
    }
    for (size_t i = 1; i < points.size(); ++i) drawSegment(points[i - 1], points[i]);
}

void QtCanvas::polyBezier(std::span<const Point> points) {
    if (!active_ || pen_.style == PenStyle::Null || points.size() < 4 ||
        (points.size() - 1) % 3 != 0)
        return;
    QPainterPath path;
    std::vector<CubicF> pieces;
    for (size_t i = 0; i + 3 < points.size(); i += 3) {
        const std::array<Point, 4> curve = {points[i], points[i + 1], points[i + 2], points[i + 3]};
        pieces.clear();
        CutBezier(curve, clipBox_, reachBox_, pieces);
        for (const CubicF& piece : pieces) {
            path.moveTo(piece[0].x, piece[0].y);
            path.cubicTo(piece[1].x, piece[1].y, piece[2].x, piece[2].y, piece[3].x, piece[3].y);
        }
    }
    if (path.isEmpty()) return;
    useLinePen();
    painter_->drawPath(path);
}

void QtCanvas::arc(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t xStart,
                   int64_t yStart, int64_t xEnd, int64_t yEnd) {
    if (!active_ || pen_.style == PenStyle::Null) return;
    const Rect box{std::min(left, right), std::min(top, bottom), std::max(left, right),
                   std::max(top, bottom)};
    if (!Intersects(box, clipBox_)) return; // the ellipse lies within its box
    const ArcAngles angles = GdiArcAngles(box, {xStart, yStart}, {xEnd, yEnd});
    const std::array<Point, 2> corners = {Point{box.left, box.top}, Point{box.right, box.bottom}};
    if (AllInside(corners, reachBox_)) {
        const QRectF ellipse(static_cast<double>(box.left), static_cast<double>(box.top),
                             static_cast<double>(box.right - box.left),
                             static_cast<double>(box.bottom - box.top));
        QPainterPath path;
        path.arcMoveTo(ellipse, angles.start);
        path.arcTo(ellipse, angles.start, angles.sweep);
        useLinePen();
        painter_->drawPath(path);
        return;
    }
    // An ellipse larger than the device's reach: chords of its part near the device, each
    // clipped like a line.
    std::vector<std::array<PointF, 2>> chords;
    ArcChords(box, angles, clipBox_, chords);
    for (const auto& chord : chords) drawSegment(RoundedPoint(chord[0]), RoundedPoint(chord[1]));
}

// --- Areas
// ----------------------------------------------------------------------------------------

void QtCanvas::fillArea(Rect area, Colour colour) {
    if (area.right <= area.left || area.bottom <= area.top) return;
    const Rect clamped = ClampRect(area, clipBox_);
    if (clamped.right <= clamped.left || clamped.bottom <= clamped.top) return;
    painter_->fillRect(QRect(static_cast<int>(clamped.left), static_cast<int>(clamped.top),
                             static_cast<int>(clamped.right - clamped.left),
                             static_cast<int>(clamped.bottom - clamped.top)),
                       ToQColor(colour));
}

void QtCanvas::rectangle(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (!active_) return;
    const Rect r{std::min(left, right), std::min(top, bottom), std::max(left, right),
                 std::max(top, bottom)};
    if (r.right <= r.left || r.bottom <= r.top) return;
    const bool filled = brush_.style == BrushStyle::Solid;
    if (pen_.style == PenStyle::Null) {
        if (filled) fillArea({r.left, r.top, r.right - 1, r.bottom - 1}, brush_.colour);
        return;
    }
    if (filled) fillArea(r, brush_.colour);
    if (pen_.style == PenStyle::Solid && pen_.width <= 1) {
        outline(r, pen_.colour);
        return;
    }
    const Rect c = ClampRect(r, clipBox_);
    useLinePen();
    painter_->drawRect(QRectF(static_cast<double>(c.left), static_cast<double>(c.top),
                              static_cast<double>(c.right - 1 - c.left),
                              static_cast<double>(c.bottom - 1 - c.top)));
}

void QtCanvas::fillRect(const Rect& rect, const Brush& brush) {
    if (!active_ || brush.style == BrushStyle::Null) return;
    fillArea(rect, brush.colour);
}

void QtCanvas::frameRect(const Rect& rect, const Brush& brush) {
    if (!active_ || brush.style == BrushStyle::Null) return;
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    outline(rect, brush.colour);
}

void QtCanvas::outline(const Rect& rect, Colour colour) {
    if (!scalesText_) {
        // Four runs of pixels: exact and fast.
        fillArea({rect.left, rect.top, rect.right, rect.top + 1}, colour);
        fillArea({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
        fillArea({rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
        fillArea({rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
        return;
    }
    const Rect c = ClampRect(rect, clipBox_);
    if (c.right <= c.left || c.bottom <= c.top) return;
    QPen pen(ToQColor(colour), 0);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    painterPen_ = PainterPen::Unknown;
    painter_->drawRect(QRectF(static_cast<double>(c.left), static_cast<double>(c.top),
                              static_cast<double>(c.right - 1 - c.left),
                              static_cast<double>(c.bottom - 1 - c.top)));
}

} // namespace arbolix
