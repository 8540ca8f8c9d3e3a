#include "fills/qt_flags.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "fills/flags.h"

namespace arbolix {

namespace {

constexpr int32_t kLargestSide = 16384;

// The parsed drawings, one per flag number, made on first use. A number whose drawing does not
// parse keeps a null entry so that it is not parsed again.
class FlagRendererCache {
public:
    static FlagRendererCache& instance() {
        static FlagRendererCache cache;
        return cache;
    }

    // Runs `draw` with the flag's renderer under the cache's lock; false when there is none.
    template <typename Draw>
    bool with(int32_t flagNumber, Draw&& draw) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = renderers_.find(flagNumber);
        if (it == renderers_.end()) {
            std::unique_ptr<QSvgRenderer> renderer;
            const std::string_view svg = FlagSvg(flagNumber);
            if (!svg.empty()) {
                renderer = std::make_unique<QSvgRenderer>(
                    QByteArray::fromRawData(svg.data(), static_cast<qsizetype>(svg.size())));
                if (!renderer->isValid()) renderer.reset();
            }
            it = renderers_.emplace(flagNumber, std::move(renderer)).first;
        }
        if (!it->second) return false;
        draw(*it->second);
        return true;
    }

private:
    std::mutex mutex_;
    std::unordered_map<int32_t, std::unique_ptr<QSvgRenderer>> renderers_;
};

} // namespace

bool DrawFlag(QPainter& painter, int32_t flagNumber, const QRectF& target) {
    return FlagRendererCache::instance().with(flagNumber, [&](QSvgRenderer& renderer) {
        if (target.isEmpty()) return;
        painter.save();
        // Some drawings reach past their view box and leave the trimming to a clip path.
        painter.setClipRect(target, Qt::IntersectClip);
        renderer.render(&painter, target);
        painter.restore();
    });
}

bool QtFlagRasterizer::naturalSize(int32_t flagNumber, int32_t& width, int32_t& height) const {
    if (FlagSvg(flagNumber).empty()) return false;
    width = kFlagNaturalWidth;
    height = kFlagNaturalHeight;
    return true;
}

bool QtFlagRasterizer::rasterize(int32_t flagNumber, int32_t width, int32_t height, ResourceBitmap& out) const {
    if (FlagSvg(flagNumber).empty()) return false;
    if (width <= 0 || height <= 0) {
        width = kFlagNaturalWidth;
        height = kFlagNaturalHeight;
    }
    if (width > kLargestSide || height > kLargestSide) return false;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool drawn = DrawFlag(painter, flagNumber, QRectF(0, 0, width, height));
    painter.end();
    if (!drawn) return false;

    out.width = width;
    out.height = height;
    out.bgr.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    uint8_t* target = out.bgr.data();
    for (int32_t y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            *target++ = static_cast<uint8_t>(qBlue(row[x]));
            *target++ = static_cast<uint8_t>(qGreen(row[x]));
            *target++ = static_cast<uint8_t>(qRed(row[x]));
        }
    }
    return true;
}

} // namespace arbolix
