#pragma once
// The generator of the program's texture bitmaps (resources/textures/texture-<id>.bmp). Each
// texture is drawn from periodic noise and shapes that repeat with the bitmap's own size, so the
// bitmaps tile without seams; the output is the same, byte for byte, on every run.

#include <cstdint>
#include <string>
#include <vector>

namespace arbolix::texgen {

struct TextureKind {
    int32_t id;
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel; // 8 (palette) or 24
    const char* name;     // what it shows
};

// The 30 textures in the order of the texture page's buttons (162, 167..195).
const std::vector<TextureKind>& TextureKinds();

// "texture-162.bmp".
std::string TextureFileName(int32_t id);

// The BMP file of texture `id`; empty for any other id.
std::vector<uint8_t> MakeTextureFile(int32_t id);

} // namespace arbolix::texgen
