// The pictures of the fill sheet's "Motif" and "Texture" pages, as the pages build them each time
// they are shown: 40 pattern thumbnails of 80 × 120 and 30 textures at their own size, made with
// BuildFill at the screen's depth and turned into pixmaps.

#include <benchmark/benchmark.h>

#include <QPixmap>

#include "app/fill_sheet.h"
#include "base/reporter.h"
#include "fills/fill_resources.h"
#include "fills/pattern.h"
#include "fills/qt_fill_image.h"

namespace arbolix {
namespace {

QPixmap Thumbnail(int32_t depth, FillPictureSize size, int32_t kind, int32_t textureId,
                  int32_t pattern, Reporter& reporter) {
    FillBitmap fill;
    BuildDeviceFill(fill, depth, size.width, size.height, kind, MakeColour(0xF0, 0xE0, 0xC0),
                    MakeColour(0x20, 0x40, 0x80), 0, 0, nullptr, textureId, pattern, reporter);
    return QPixmap::fromImage(DeviceFillImage(fill));
}

void BM_PatternAndTextureThumbnails(benchmark::State& state) {
    const auto depth = static_cast<int32_t>(state.range(0));
    ListReporter reporter;
    for (auto _ : state) {
        for (int32_t pattern = 0; pattern < kPatternCount; ++pattern)
            benchmark::DoNotOptimize(
                Thumbnail(depth, kPatternThumbnailSize, kFillPattern, 0, pattern, reporter));
        for (int32_t id : TextureIds())
            benchmark::DoNotOptimize(Thumbnail(depth, {0, 0}, kFillTexture, id, 0, reporter));
    }
}
BENCHMARK(BM_PatternAndTextureThumbnails)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolix
