#pragma once
// Fonts and packed bitmaps as the chart hands them to a canvas.

#include <cstdio>
#include <vector>

#include "chart/canvas.h"

namespace arbolix::test {

inline LogFont Font(int32_t height, int32_t width, const char* face = "Times New Roman") {
    LogFont font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = 400;
    std::snprintf(font.lfFaceName, kFaceNameSize, "%s", face);
    return font;
}

inline void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A packed DIB header followed by `extra` zero bytes (colour masks, palette, rows).
inline std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bitCount, size_t extra,
                                uint32_t compression = kBiRgb, uint32_t coloursUsed = 0) {
    std::vector<uint8_t> dib(kBitmapInfoHeaderSize + extra, 0);
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<uint32_t>(width));
    Put32(dib, 8, static_cast<uint32_t>(height));
    dib[12] = 1;
    dib[14] = static_cast<uint8_t>(bitCount);
    Put32(dib, 16, compression);
    Put32(dib, 32, coloursUsed);
    return dib;
}

// A 24-bit DIB of `width` × `rows.size()` pixels, `rows` given in stored order.
inline std::vector<uint8_t> Dib24(int32_t width, const std::vector<std::vector<Colour>>& rows,
                                  bool topDown = false) {
    const size_t rowSize = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const auto height = static_cast<int32_t>(rows.size());
    std::vector<uint8_t> dib = Dib(width, topDown ? -height : height, 24, rowSize * rows.size());
    for (size_t y = 0; y < rows.size(); ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = &dib[40 + y * rowSize + 3 * static_cast<size_t>(x)];
            pixel[0] = BlueOf(rows[y][x]);
            pixel[1] = GreenOf(rows[y][x]);
            pixel[2] = RedOf(rows[y][x]);
        }
    return dib;
}

} // namespace arbolix::test
