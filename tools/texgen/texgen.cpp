#include "texgen/texgen.h"

#include "texgen/bmp_file.h"
#include "texgen/painters.h"

namespace arbolix::texgen {

const std::vector<TextureKind>& TextureKinds() {
    static const std::vector<TextureKind> kinds = {
        {162, 128, 128, 8, "wood grain"},
        {167, 128, 128, 8, "marble"},
        {168, 128, 128, 8, "paper"},
        {169, 128, 128, 8, "parchment"},
        {170, 128, 128, 8, "canvas"},
        {171, 128, 128, 8, "stone"},
        {172, 128, 128, 8, "leather"},
        {173, 128, 128, 8, "cork"},
        {174, 128, 128, 8, "sand"},
        {175, 128, 128, 8, "clouds"},
        {176, 128, 128, 8, "granite"},
        {177, 128, 128, 8, "linen"},
        {178, 128, 128, 8, "brushed metal"},
        {179, 128, 128, 8, "water"},
        {180, 128, 128, 8, "moss"},
        {181, 128, 128, 8, "bark"},
        {182, 128, 128, 8, "slate"},
        {183, 128, 128, 8, "brick"},
        {184, 128, 128, 8, "terrazzo"},
        {185, 128, 128, 8, "denim"},
        {186, 128, 128, 8, "felt"},
        {187, 128, 128, 8, "rust"},
        {188, 128, 128, 8, "concrete"},
        {189, 135, 135, 8, "velvet"},
        {190, 135, 131, 8, "sky with clouds"},
        {191, 125, 124, 24, "watercolour wash"},
        {192, 140, 124, 8, "wheat"},
        {193, 144, 109, 24, "pebbles"},
        {194, 148, 148, 8, "straw"},
        {195, 135, 135, 8, "basket weave"},
    };
    return kinds;
}

std::string TextureFileName(int32_t id) { return "texture-" + std::to_string(id) + ".bmp"; }

namespace {

uint8_t ToByte(double v) {
    const double c = Clamp(v);
    return static_cast<uint8_t>(static_cast<int32_t>(c * 255.0 + 0.5));
}

} // namespace

std::vector<uint8_t> MakeTextureFile(int32_t id) {
    for (const TextureKind& kind : TextureKinds()) {
        if (kind.id != id) continue;
        const Field field(kind.width, kind.height);
        int samples = 1;
        const Painter painter = MakePainter(id, field, samples);
        if (!painter) return {};
        Picture picture;
        picture.width = kind.width;
        picture.height = kind.height;
        picture.rgb.reserve(static_cast<size_t>(kind.width) * static_cast<size_t>(kind.height) * 3);
        const double step = 1.0 / samples;
        for (int32_t y = 0; y < kind.height; ++y) {
            for (int32_t x = 0; x < kind.width; ++x) {
                Rgb sum;
                for (int sy = 0; sy < samples; ++sy) {
                    for (int sx = 0; sx < samples; ++sx) {
                        sum = Add(sum, painter(x + (sx + 0.5) * step, y + (sy + 0.5) * step));
                    }
                }
                const Rgb c = Scale(sum, 1.0 / (samples * samples));
                picture.rgb.push_back(ToByte(c.r));
                picture.rgb.push_back(ToByte(c.g));
                picture.rgb.push_back(ToByte(c.b));
            }
        }
        if (kind.bitsPerPixel == 24) return BmpFile24(picture);
        return BmpFile8(Quantize(picture));
    }
    return {};
}

} // namespace arbolix::texgen
