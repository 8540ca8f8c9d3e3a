#pragma once
// Bitmaps the fills draw from: the texture bitmaps built into the program and the flag pictures.

#include <cstdint>
#include <vector>

namespace arbolix {

struct ResourceBitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgr; // width × height × 3 bytes (blue, green, red), top row first, no padding
};

// The ids of the texture bitmaps (162, 167..195), in the order of the texture page's buttons.
const std::vector<int32_t>& TextureIds();
// The texture bitmap with this id at its own size; false for any other id.
bool LoadTextureBitmap(int32_t id, ResourceBitmap& out);

// Draws flag pictures into pixels. The pictures are vector drawings, so the Qt side rasterises
// them at the size they are shown.
class FlagRasterizer {
public:
    virtual ~FlagRasterizer() = default;
    // The natural size of the flag's bitmap (the size a fill of kind 5 takes); false when the
    // number has no picture.
    virtual bool naturalSize(int32_t flagNumber, int32_t& width, int32_t& height) const = 0;
    // The flag of `flagNumber` at width × height pixels; false when the number has no picture.
    virtual bool rasterize(int32_t flagNumber, int32_t width, int32_t height, ResourceBitmap& out) const = 0;
};

} // namespace arbolix
