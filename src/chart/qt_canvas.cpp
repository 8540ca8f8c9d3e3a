#include "chart/qt_canvas.h"

#include <QImage>
#include <QList>
#include <QPaintDevice>
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
#include "data/encoding.h"

namespace arbolix {

namespace {

// How far beyond the clipping box shapes may reach QPainter untouched: well inside the range
// of its fixed-point rasteriser.
constexpr int64_t kReach = 65536;
// Pixel size at which a face's proportions are measured.
constexpr int kReferencePixelSize = 200;
// Pictures covering at most this many visible pixels are sampled here rather than by Qt.
constexpr int64_t kSampleLimit = int64_t{1} << 20;
// Texts taller than this are drawn at this size (only an absurd zoom asks for more).
constexpr int64_t kMaxPixelSize = 1 << 20;
// The widest stretch QFont accepts, in per cent.
constexpr double kMaxStretch = 4000;
// Length of every cosmetic dash pattern, in pixels.
constexpr double kDashPeriod = 24;
// Weights, per thousand, of the letters a..z and of the space in a face's average character
// width, as TrueType fonts defined xAvgCharWidth up to version 2 of their OS/2 table (later
// fonts, Liberation among them, store a plain average of all glyphs instead).
constexpr std::array<int, 27> kAverageWidthWeights = {64, 14, 27, 35, 100, 20, 14, 42, 63,
                                                      3,  6,  35, 20, 56,  56, 17, 4,  49,
                                                      56, 71, 31, 10, 18,  3,  18, 2,  166};

QColor ToQColor(Colour colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QString ToQString(std::string_view text) {
    static const std::array<char16_t, 256> kTable = [] {
        std::array<char16_t, 256> table{};
        for (int byte = 0; byte < 256; ++byte)
            table[byte] =
                static_cast<char16_t>(Windows1252ToUnicode(static_cast<unsigned char>(byte)));
        return table;
    }();
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* data = out.data();
    for (size_t i = 0; i < text.size(); ++i)
        data[i] = QChar(kTable[static_cast<unsigned char>(text[i])]);
    return out;
}

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

int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

// The rectangle covered by an extent of `size` pixels from `origin` in the device way: a
// negative size runs back from the origin, over origin+size+1..origin. Returns the first covered
// coordinate and the one after the last.
void SpanOf(int64_t origin, int64_t size, int64_t& first, int64_t& end) {
    if (size >= 0) {
        first = origin;
        end = SaturatingAdd(origin, size);
    } else {
        first = SaturatingAdd(SaturatingAdd(origin, size), 1);
        end = SaturatingAdd(origin, 1);
    }
}

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
};

Channel ChannelOf(uint32_t mask) {
    if (mask == 0) return {};
    const int shift = std::countr_zero(mask);
    return {mask, shift, mask >> shift};
}

int Scaled(uint32_t value, const Channel& channel) {
    if (channel.max == 0) return 0;
    const uint64_t level = (value & channel.mask) >> channel.shift;
    return static_cast<int>((level * 255 + channel.max / 2) / channel.max);
}

// The colour table of a bitmap of 1, 4 or 8 bits, padded with black to every possible index.
QList<QRgb> PaletteOf(const DibLayout& layout, const uint8_t* dib, int entries) {
    QList<QRgb> table(entries, qRgb(0, 0, 0));
    const uint8_t* palette = dib + layout.paletteOffset;
    const auto count = std::min<size_t>(layout.paletteCount, static_cast<size_t>(entries));
    for (size_t i = 0; i < count; ++i)
        table[static_cast<qsizetype>(i)] =
            qRgb(palette[4 * i + 2], palette[4 * i + 1], palette[4 * i]);
    return table;
}

// The bitmap's rows as an image in stored order (image row 0 = the first row in memory). The
// image shares the caller's memory when Qt reads the format as it is, and is only read from.
QImage ImageOfDib(const DibLayout& layout, const uint8_t* dib) {
    const uint8_t* bits = dib + layout.bitsOffset;
    const int width = layout.width, height = layout.height;
    const auto rowSize = static_cast<qsizetype>(layout.rowSize);
    switch (layout.bitCount) {
    case 24:
        return QImage(bits, width, height, rowSize, QImage::Format_BGR888);
    case 16:
        if (layout.redMask == 0x7C00 && layout.greenMask == 0x03E0 && layout.blueMask == 0x001F)
            return QImage(bits, width, height, rowSize, QImage::Format_RGB555);
        if (layout.redMask == 0xF800 && layout.greenMask == 0x07E0 && layout.blueMask == 0x001F)
            return QImage(bits, width, height, rowSize, QImage::Format_RGB16);
        break;
    case 8:
    case 1: {
        // The non-const constructor lets the colour table be set without copying the pixels;
        // the pixels are never written.
        QImage image(const_cast<uchar*>(bits), width, height, rowSize,
                     layout.bitCount == 8 ? QImage::Format_Indexed8 : QImage::Format_Mono);
        image.setColorTable(PaletteOf(layout, dib, 1 << layout.bitCount));
        return image;
    }
    case 4: {
        QImage image(width, height, QImage::Format_Indexed8);
        image.setColorTable(PaletteOf(layout, dib, 16));
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = bits + static_cast<size_t>(y) * layout.rowSize;
            uchar* out = image.scanLine(y);
            for (int x = 0; x < width; ++x)
                out[x] = (x % 2 == 0) ? (row[x / 2] >> 4) : (row[x / 2] & 0x0F);
        }
        return image;
    }
    default:
        break;
    }
    // 32 bits, and 16 bits with other masks: one channel at a time.
    const Channel red = ChannelOf(layout.redMask), green = ChannelOf(layout.greenMask),
                  blue = ChannelOf(layout.blueMask);
    const bool plain32 = layout.bitCount == 32 && layout.redMask == 0xFF0000 &&
                         layout.greenMask == 0xFF00 && layout.blueMask == 0xFF;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bits + static_cast<size_t>(y) * layout.rowSize;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            uint32_t value = 0;
            if (layout.bitCount == 32) {
                value = dib_detail::ReadU32(row + 4 * x);
            } else {
                value = dib_detail::ReadU16(row + 2 * x);
            }
            out[x] = plain32 ? (value | 0xFF000000u)
                             : qRgb(Scaled(value, red), Scaled(value, green), Scaled(value, blue));
        }
    }
    return image;
}

// A run of destination pixels and the source range drawn onto it, along one axis.
struct StretchSpan {
    double from = 0, to = 0;    // source coordinates
    int64_t start = 0, end = 0; // destination pixels start..end-1
    bool single = false;        // one source pixel
};

// The source range that lands on the visible part (visibleStart..visibleEnd-1) of a destination
// dest..destEnd-1 stretched from source..source+size. Under a strong magnification Qt's
// fixed-point sampling loses the position, so the run is then cut into one span per source pixel
// (a few at most, since each covers many destination pixels): a destination pixel shows the
// source pixel under its centre.
std::vector<StretchSpan> StretchSpans(double source, double size, int64_t destStart,
                                      int64_t destEnd, int64_t visibleStart, int64_t visibleEnd,
                                      bool mirror, int imageSize) {
    constexpr double kMaxMagnification = 64;
    const double destSize = static_cast<double>(destEnd) - static_cast<double>(destStart);
    // Destination coordinate of a source coordinate, and back.
    const auto toDest = [&](double u) {
        const double t = (u - source) / size;
        return static_cast<double>(destStart) + (mirror ? 1 - t : t) * destSize;
    };
    const auto toSource = [&](int64_t x) {
        const double t = (static_cast<double>(x) - static_cast<double>(destStart)) / destSize;
        return source + (mirror ? 1 - t : t) * size;
    };
    const double a = toSource(visibleStart), b = toSource(visibleEnd);
    const double from = std::min(a, b), to = std::max(a, b);
    if (!(to > from)) return {};
    if (destSize / size <= kMaxMagnification) return {{from, to, visibleStart, visibleEnd, false}};
    std::vector<StretchSpan> spans;
    const int first = std::max(0, static_cast<int>(std::floor(from)));
    const int last = std::min(imageSize, static_cast<int>(std::ceil(to)));
    for (int pixel = first; pixel < last; ++pixel) {
        const double edge1 = toDest(pixel), edge2 = toDest(pixel + 1);
        const auto start =
            std::max(visibleStart, static_cast<int64_t>(std::ceil(std::min(edge1, edge2) - 0.5)));
        const auto end =
            std::min(visibleEnd, static_cast<int64_t>(std::ceil(std::max(edge1, edge2) - 0.5)));
        if (start < end) spans.push_back({double(pixel), double(pixel + 1), start, end, true});
    }
    return spans;
}

QString FaceKey(const QFont& font) {
    return font.family() + QLatin1Char('|') + QString::number(font.weight()) +
           (font.italic() ? QLatin1String("|i") : QLatin1String("|r"));
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

QtCanvas::QtCanvas(QPaintDevice& device)
    : ownPainter_(std::make_unique<QPainter>(&device)), painter_(ownPainter_.get()) {
    setUp();
}

QtCanvas::QtCanvas(QPainter& painter) : painter_(&painter) {
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
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
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
        // The 1-pixel outline as four runs of pixels: exact and fast.
        fillArea({r.left, r.top, r.right, r.top + 1}, pen_.colour);
        fillArea({r.left, r.bottom - 1, r.right, r.bottom}, pen_.colour);
        fillArea({r.left, r.top, r.left + 1, r.bottom}, pen_.colour);
        fillArea({r.right - 1, r.top, r.right, r.bottom}, pen_.colour);
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
    fillArea({rect.left, rect.top, rect.right, rect.top + 1}, brush.colour);
    fillArea({rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush.colour);
    fillArea({rect.left, rect.top, rect.left + 1, rect.bottom}, brush.colour);
    fillArea({rect.right - 1, rect.top, rect.right, rect.bottom}, brush.colour);
}

// --- Text
// -----------------------------------------------------------------------------------------

double QtCanvas::cellRatio(const QFont& font) {
    const QString key = FaceKey(font);
    const auto found = cellRatios_.constFind(key);
    if (found != cellRatios_.constEnd()) return *found;
    QFont reference = font;
    reference.setPixelSize(kReferencePixelSize);
    const QFontMetricsF metrics(reference, painter_->device());
    double ratio = (metrics.ascent() + metrics.descent()) / kReferencePixelSize;
    if (!(ratio > 0)) ratio = 1;
    cellRatios_.insert(key, ratio);
    return ratio;
}

double QtCanvas::averageWidth(const QFont& font) {
    const QString key = FaceKey(font) + QLatin1Char('|') + QString::number(font.pixelSize());
    const auto found = averageWidths_.constFind(key);
    if (found != averageWidths_.constEnd()) return *found;
    const QFontMetricsF metrics(font, painter_->device());
    double sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += kAverageWidthWeights[i] * metrics.horizontalAdvance(QChar(u'a' + i));
    sum += kAverageWidthWeights[26] * metrics.horizontalAdvance(QChar(u' '));
    const double average = sum / 1000;
    averageWidths_.insert(key, average);
    return average;
}

std::unique_ptr<QtCanvas::FontEntry> QtCanvas::makeFont(const LogFont& logFont) {
    QFont font;
    const QString family =
        QString::fromUtf8(logFont.lfFaceName, strnlen(logFont.lfFaceName, kFaceNameSize));
    if (!family.isEmpty()) font.setFamily(family);
    const int32_t weight = logFont.lfWeight <= 0 ? 400 : std::min(logFont.lfWeight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.lfItalic != 0);
    font.setKerning(false);

    const int64_t height = logFont.lfHeight;
    int64_t pixelSize = 0;
    if (height < 0) {
        pixelSize = -height;
    } else {
        const int64_t cell = height == 0 ? kDefaultFontCellHeight : height;
        pixelSize = std::llround(static_cast<double>(cell) / cellRatio(font));
    }
    pixelSize = std::clamp<int64_t>(pixelSize, 1, kMaxPixelSize);
    font.setPixelSize(static_cast<int>(pixelSize));
    if (logFont.lfWidth != 0) {
        const double average = averageWidth(font);
        const double asked = std::fabs(static_cast<double>(logFont.lfWidth));
        if (average > 0)
            font.setStretch(static_cast<int>(
                std::clamp<double>(std::round(100 * asked / average), 1, kMaxStretch)));
    }
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);

    auto entry =
        std::make_unique<FontEntry>(FontEntry{font, QFontMetricsF(font, painter_->device()), 0, 0});
    entry->ascent = std::llround(entry->metrics.ascent());
    entry->descent = std::llround(entry->metrics.descent());
    return entry;
}

const QtCanvas::FontEntry& QtCanvas::currentFont() {
    if (font_ != nullptr) return *font_;
    auto found = fonts_.find(logFont_);
    if (found == fonts_.end()) {
        if (fonts_.size() >= 4096) { // a long session of ever new sizes: start again
            fonts_.clear();
            painterFont_ = nullptr;
        }
        found = fonts_.emplace(logFont_, makeFont(logFont_)).first;
    }
    font_ = found->second.get();
    return *font_;
}

Extent QtCanvas::textExtent(std::string_view text) {
    if (!active_) return {};
    const FontEntry& font = currentFont();
    const double advance = text.empty() ? 0 : font.metrics.horizontalAdvance(ToQString(text));
    return {std::llround(advance), font.ascent + font.descent};
}

void QtCanvas::textOut(int64_t x, int64_t y, std::string_view text) {
    if (!active_ || text.empty()) return;
    const FontEntry& font = currentFont();
    // Skip, without measuring, a text that cannot come near the device.
    const double reach = static_cast<double>(text.size()) * font.metrics.maxWidth() +
                         static_cast<double>(font.ascent + font.descent);
    const auto fx = static_cast<double>(x), fy = static_cast<double>(y);
    if (fx + reach < static_cast<double>(clipBox_.left) ||
        fx - reach > static_cast<double>(clipBox_.right) ||
        fy + reach < static_cast<double>(clipBox_.top) ||
        fy - reach > static_cast<double>(clipBox_.bottom))
        return;

    const QString string = ToQString(text);
    double left = fx;
    if ((textAlign_ & kTaHorizontalMask) == kTaRight)
        left -= static_cast<double>(std::llround(font.metrics.horizontalAdvance(string)));
    double baseline = fy;
    switch (textAlign_ & kTaVerticalMask) {
    case kTaBottom:
        baseline -= static_cast<double>(font.descent);
        break;
    case kTaBaseline:
        break;
    default:
        baseline += static_cast<double>(font.ascent);
        break;
    }

    if (painterFont_ != &font) {
        painter_->setFont(font.font);
        painterFont_ = &font;
    }
    if (painterPen_ != PainterPen::Text || painterTextColour_ != textColour_) {
        painter_->setPen(ToQColor(textColour_));
        painterPen_ = PainterPen::Text;
        painterTextColour_ = textColour_;
    }
    painter_->drawText(QPointF(left, baseline), string);
}

// --- Pictures
// -------------------------------------------------------------------------------------

void QtCanvas::drawStretched(const QImage& image, const QRectF& source, bool mirrorX, bool mirrorY,
                             const Rect& dest) {
    const int64_t visibleLeft = std::max(dest.left, deviceBox_.left);
    const int64_t visibleRight = std::min(dest.right, deviceBox_.right);
    const int64_t visibleTop = std::max(dest.top, deviceBox_.top);
    const int64_t visibleBottom = std::min(dest.bottom, deviceBox_.bottom);
    if (visibleLeft >= visibleRight || visibleTop >= visibleBottom) return;
    const int64_t width = visibleRight - visibleLeft, height = visibleBottom - visibleTop;

    if (width * height <= kSampleLimit) {
        // Pick the source pixel under the centre of every visible destination pixel, then copy
        // the result unscaled: exact, and quicker than a transformed draw of a small area.
        const auto pick = [](double start, double size, int64_t destStart, int64_t destEnd,
                             bool mirror, int64_t first, int64_t count, int limit) {
            std::vector<int> out(static_cast<size_t>(count));
            const double destSize = static_cast<double>(destEnd) - static_cast<double>(destStart);
            for (int64_t i = 0; i < count; ++i) {
                const double t =
                    (static_cast<double>(first + i) + 0.5 - static_cast<double>(destStart)) /
                    destSize;
                const double u = start + (mirror ? 1 - t : t) * size;
                out[static_cast<size_t>(i)] =
                    static_cast<int>(std::clamp<double>(std::floor(u), 0, limit - 1));
            }
            return out;
        };
        const std::vector<int> columns = pick(source.left(), source.width(), dest.left, dest.right,
                                              mirrorX, visibleLeft, width, image.width());
        const std::vector<int> rows = pick(source.top(), source.height(), dest.top, dest.bottom,
                                           mirrorY, visibleTop, height, image.height());
        QImage sampled(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
        const QImage::Format format = image.format();
        for (int y = 0; y < sampled.height(); ++y) {
            auto* out = reinterpret_cast<QRgb*>(sampled.scanLine(y));
            const uchar* row = image.constScanLine(rows[static_cast<size_t>(y)]);
            if (format == QImage::Format_BGR888) {
                for (int x = 0; x < sampled.width(); ++x) {
                    const uchar* pixel = row + 3 * columns[static_cast<size_t>(x)];
                    out[x] = qRgb(pixel[2], pixel[1], pixel[0]);
                }
            } else if (format == QImage::Format_RGB32) {
                const auto* in = reinterpret_cast<const QRgb*>(row);
                for (int x = 0; x < sampled.width(); ++x)
                    out[x] = in[columns[static_cast<size_t>(x)]] | 0xFF000000u;
            } else {
                for (int x = 0; x < sampled.width(); ++x)
                    out[x] =
                        image.pixel(columns[static_cast<size_t>(x)], rows[static_cast<size_t>(y)]);
            }
        }
        painter_->drawImage(
            QPointF(static_cast<double>(visibleLeft), static_cast<double>(visibleTop)), sampled);
        return;
    }

    const std::vector<StretchSpan> columns =
        StretchSpans(source.left(), source.width(), dest.left, dest.right, visibleLeft,
                     visibleRight, mirrorX, image.width());
    const std::vector<StretchSpan> rows =
        StretchSpans(source.top(), source.height(), dest.top, dest.bottom, visibleTop,
                     visibleBottom, mirrorY, image.height());
    for (const StretchSpan& row : rows) {
        for (const StretchSpan& column : columns) {
            const QRect target(static_cast<int>(column.start), static_cast<int>(row.start),
                               static_cast<int>(column.end - column.start),
                               static_cast<int>(row.end - row.start));
            if (column.single && row.single) {
                painter_->fillRect(target,
                                   QColor::fromRgb(image.pixel(static_cast<int>(column.from),
                                                               static_cast<int>(row.from))));
                continue;
            }
            // The source part onto the target, through a transformation that maps it there
            // (mirrored as asked), so that Qt samples the nearest pixels.
            const double scaleX = static_cast<double>(target.width()) / (column.to - column.from);
            const double scaleY = static_cast<double>(target.height()) / (row.to - row.from);
            const bool flipX = mirrorX && !column.single, flipY = mirrorY && !row.single;
            const QTransform place(
                flipX ? -scaleX : scaleX, 0, 0, flipY ? -scaleY : scaleY,
                flipX ? column.end + column.from * scaleX : column.start - column.from * scaleX,
                flipY ? row.end + row.from * scaleY : row.start - row.from * scaleY);
            const QRectF part(column.from, row.from, column.to - column.from, row.to - row.from);
            painter_->setTransform(place * baseTransform_);
            painter_->drawImage(part, image, part);
            painter_->setTransform(baseTransform_);
        }
    }
}

bool QtCanvas::stretchDib(int64_t x, int64_t y, int64_t width, int64_t height, int32_t srcX,
                          int32_t srcY, int32_t srcWidth, int32_t srcHeight, const uint8_t* dib,
                          size_t dibSize) {
    DibLayout layout;
    if (!ReadDibLayout(dib, dibSize, layout)) return false;
    if (!active_ || width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return true;

    // Source rows are counted from the bottom row of a bottom-up bitmap, which is its first row
    // in memory: in memory order the same indices serve both kinds, and a bottom-up picture
    // stands upside down.
    int64_t sourceLeft = 0, sourceRight = 0, sourceTop = 0, sourceBottom = 0;
    SpanOf(srcX, srcWidth, sourceLeft, sourceRight);
    SpanOf(srcY, srcHeight, sourceTop, sourceBottom);
    const bool mirrorX = (srcWidth < 0) != (width < 0);
    const bool mirrorY = ((srcHeight < 0) != (height < 0)) != layout.bottomUp;

    Rect dest;
    SpanOf(x, width, dest.left, dest.right);
    SpanOf(y, height, dest.top, dest.bottom);
    const QImage image = ImageOfDib(layout, dib);
    const QRectF source(static_cast<double>(sourceLeft), static_cast<double>(sourceTop),
                        static_cast<double>(sourceRight - sourceLeft),
                        static_cast<double>(sourceBottom - sourceTop));
    drawStretched(image, source, mirrorX, mirrorY, dest);
    return true;
}

void QtCanvas::drawFlag(int32_t flagNumber, int64_t x, int64_t y, int64_t width, int64_t height) {
    if (!active_ || !flagPainter_ || width <= 0 || height <= 0) return;
    const Rect dest{x, y, SaturatingAdd(x, width), SaturatingAdd(y, height)};
    if (!Intersects({dest.left, dest.top, dest.right - 1, dest.bottom - 1}, clipBox_)) return;
    const std::array<Point, 2> corners = {Point{dest.left, dest.top},
                                          Point{dest.right, dest.bottom}};
    if (AllInside(corners, reachBox_)) {
        painter_->save();
        flagPainter_(*painter_, flagNumber,
                     QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                           static_cast<int>(height)));
        painter_->restore();
        return;
    }
    // A flag larger than the device's reach: drawn once at a bounded size, then stretched.
    QImage picture(static_cast<int>(std::min<int64_t>(width, 1024)),
                   static_cast<int>(std::min<int64_t>(height, 1024)), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter flagPainter(&picture);
        flagPainter_(flagPainter, flagNumber, picture.rect());
    }
    drawStretched(picture, QRectF(picture.rect()), false, false, dest);
}

} // namespace arbolix
