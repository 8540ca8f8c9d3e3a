// The canvas's pictures: packed device-independent bitmaps read as QImages and stretched onto the
// device, and flags, painting only what lies near the device however large the target.

#include <QImage>
#include <QList>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

#include "chart/clip.h"
#include "chart/qt_canvas.h"

namespace arbolix {

namespace {

// Pictures covering at most this many visible pixels are sampled here rather than by Qt.
constexpr int64_t kSampleLimit = int64_t{1} << 20;
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

} // namespace

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
