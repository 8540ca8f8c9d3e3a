#include "fills/fill_pixels.h"

#include <algorithm>
#include <unordered_map>

#include "fills/fill_palette.h"

namespace arbolix {

std::size_t DeviceBufferSize(int32_t bitsPerPixel, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
           static_cast<std::size_t>(bitsPerPixel) / 8;
}

DevicePixel EncodeDevicePixel(int32_t bitsPerPixel, Colour colour) {
    DevicePixel pixel;
    const uint8_t red = RedOf(colour);
    const uint8_t green = GreenOf(colour);
    const uint8_t blue = BlueOf(colour);
    switch (bitsPerPixel) {
    case 8:
        pixel.bytes[0] = NearestSystemIndex(colour);
        pixel.size = 1;
        break;
    case 16: {
        const auto word = static_cast<uint16_t>((red >> 3) << 11 | (green >> 3) << 6 | blue >> 3);
        pixel.bytes[0] = static_cast<uint8_t>(word & 0xFF);
        pixel.bytes[1] = static_cast<uint8_t>(word >> 8);
        pixel.size = 2;
        break;
    }
    case 24:
        pixel.bytes = {blue, green, red, 0};
        pixel.size = 3;
        break;
    case 32:
        pixel.bytes = {blue, green, red, static_cast<uint8_t>(colour >> 24)};
        pixel.size = 4;
        break;
    default:
        break;
    }
    return pixel;
}

PixelCanvas::PixelCanvas(int32_t bitsPerPixel, int32_t width, int32_t height,
                         std::span<uint8_t> buffer)
    : bitsPerPixel_(bitsPerPixel), width_(width), height_(height) {
    if (!IsDeviceDepth(bitsPerPixel) || width <= 0 || height <= 0) return;
    if (buffer.size() < DeviceBufferSize(bitsPerPixel, width, height)) return;
    bytesPerPixel_ = static_cast<std::size_t>(bitsPerPixel / 8);
    data_ = buffer.data();
    usable_ = true;
}

void PixelCanvas::putAll(const DevicePixel& pixel) {
    if (!usable_) return;
    // Write the first row pixel by pixel, then copy it down.
    putRow(0, 0, width_ - 1, pixel);
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * bytesPerPixel_;
    for (int32_t y = 1; y < height_; ++y) std::memcpy(data_ + y * rowBytes, data_, rowBytes);
}

void FillSolid(int32_t bitsPerPixel, Colour colour, int32_t width, int32_t height,
               std::span<uint8_t> buffer) {
    PixelCanvas canvas(bitsPerPixel, width, height, buffer);
    if (canvas.usable()) canvas.putAll(canvas.encode(colour));
}

std::vector<uint8_t> DevicePixelsFromBgr(const ResourceBitmap& bitmap, int32_t bitsPerPixel) {
    std::vector<uint8_t> pixels(DeviceBufferSize(bitsPerPixel, bitmap.width, bitmap.height));
    PixelCanvas canvas(bitsPerPixel, bitmap.width, bitmap.height, pixels);
    const std::size_t count =
        static_cast<std::size_t>(std::max(bitmap.width, 0)) * std::max(bitmap.height, 0);
    if (!canvas.usable() || bitmap.bgr.size() < count * 3) return pixels;

    // Pictures repeat few colours; the palette search of 8 bits is made once per colour.
    std::unordered_map<Colour, DevicePixel> seen;
    const uint8_t* source = bitmap.bgr.data();
    for (int32_t y = 0; y < bitmap.height; ++y) {
        for (int32_t x = 0; x < bitmap.width; ++x, source += 3) {
            const Colour colour = MakeColour(source[2], source[1], source[0]);
            if (bitsPerPixel == 8) {
                auto found = seen.find(colour);
                if (found == seen.end()) found = seen.emplace(colour, canvas.encode(colour)).first;
                canvas.put(x, y, found->second);
            } else {
                canvas.put(x, y, canvas.encode(colour));
            }
        }
    }
    return pixels;
}

} // namespace arbolix
