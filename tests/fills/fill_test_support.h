#pragma once
// Reading pixels back from the buffers the fill generators write.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace arbolix::test {

// Byte the buffers are filled with before a generator runs, to see what it left alone.
constexpr uint8_t kUntouched = 0xAB;

inline std::vector<uint8_t> UntouchedBuffer(int32_t width, int32_t height, int32_t bytesPerPixel) {
    return std::vector<uint8_t>(static_cast<std::size_t>(width) * height * bytesPerPixel,
                                kUntouched);
}

// Channel of pixel (x, y) in a 24-bit buffer without row padding: 0 blue, 1 green, 2 red.
inline int Channel24(const std::vector<uint8_t>& pixels, int32_t width, int32_t x, int32_t y,
                     int channel) {
    return pixels[(static_cast<std::size_t>(y) * width + x) * 3 + channel];
}
inline int Red24(const std::vector<uint8_t>& pixels, int32_t width, int32_t x, int32_t y) {
    return Channel24(pixels, width, x, y, 2);
}

// The red channel of one row of a 24-bit buffer.
inline std::vector<int> RedRow(const std::vector<uint8_t>& pixels, int32_t width, int32_t y) {
    std::vector<int> row;
    for (int32_t x = 0; x < width; ++x) row.push_back(Red24(pixels, width, x, y));
    return row;
}
// Little-endian 16-bit word at pixel index i.
inline uint16_t Word16(const std::vector<uint8_t>& pixels, std::size_t i) {
    return static_cast<uint16_t>(pixels[2 * i] | pixels[2 * i + 1] << 8);
}

} // namespace arbolix::test
