#pragma once
// Raw fill pixels at a screen depth, the form every fill generator writes and every "device"
// bitmap of a fill holds: width × height pixels, the top row first, each row exactly
// width × bitsPerPixel / 8 bytes with no gap between rows. By depth a pixel is
//    8 bits: one index into FillPalette() (fills/fill_palette.h),
//   16 bits: one little-endian word (red >> 3) << 11 | (green >> 3) << 6 | blue >> 3, a 5-6-5
//            word whose lowest green bit is always 0,
//   24 bits: the bytes blue, green, red,
//   32 bits: the bytes blue, green, red and the high byte of the colour (0 for ordinary ones).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "base/colour.h"
#include "fills/fill_resources.h"

namespace arbolix {

// 8, 16, 24 or 32: the depths fills are produced at. Generators write nothing at any other.
constexpr bool IsDeviceDepth(int32_t bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

// The bytes of a buffer of width × height pixels at this depth (0 for a negative size).
std::size_t DeviceBufferSize(int32_t bitsPerPixel, int32_t width, int32_t height);

// One pixel as it is stored; size 0 at a depth that is not a device depth.
struct DevicePixel {
    std::array<uint8_t, 4> bytes{};
    int32_t size = 0;
};

// The stored form of `colour` at this depth (8 bits through NearestSystemIndex).
DevicePixel EncodeDevicePixel(int32_t bitsPerPixel, Colour colour);

// Write access to a raw pixel buffer. A canvas is usable only when the depth is a device depth,
// both sizes are positive and the buffer holds all the pixels; otherwise every generator leaves
// the buffer as it is.
class PixelCanvas {
public:
    PixelCanvas(int32_t bitsPerPixel, int32_t width, int32_t height, std::span<uint8_t> buffer);

    bool usable() const { return usable_; }
    int32_t bitsPerPixel() const { return bitsPerPixel_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    DevicePixel encode(Colour colour) const { return EncodeDevicePixel(bitsPerPixel_, colour); }

    void put(int32_t x, int32_t y, const DevicePixel& pixel) {
        std::memcpy(data_ + (static_cast<std::size_t>(y) * width_ + x) * bytesPerPixel_,
                    pixel.bytes.data(), bytesPerPixel_);
    }
    // Pixels x0 .. x1 (inclusive) of row y.
    void putRow(int32_t y, int32_t x0, int32_t x1, const DevicePixel& pixel) {
        for (int32_t x = x0; x <= x1; ++x) put(x, y, pixel);
    }
    void putAll(const DevicePixel& pixel);

private:
    int32_t bitsPerPixel_;
    int32_t width_;
    int32_t height_;
    std::size_t bytesPerPixel_ = 0;
    uint8_t* data_ = nullptr;
    bool usable_ = false;
};

// Every pixel of the buffer in `colour` (at 32 bits the colour's high byte is kept).
void FillSolid(int32_t bitsPerPixel, Colour colour, int32_t width, int32_t height,
               std::span<uint8_t> buffer);

// A bitmap of blue, green, red bytes (a texture or a flag) as raw pixels at this depth. At a
// depth that is not a device depth the result is all zero bytes of DeviceBufferSize().
std::vector<uint8_t> DevicePixelsFromBgr(const ResourceBitmap& bitmap, int32_t bitsPerPixel);

} // namespace arbolix
