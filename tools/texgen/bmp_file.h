#pragma once
// Turning a true-colour picture into a BMP file: 24 bits as it is, or 8 bits with a palette of
// at most 256 colours chosen for that picture.

#include <cstdint>
#include <vector>

namespace arbolix::texgen {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb; // width × height × 3 bytes (red, green, blue), top row first
};

struct PalettePicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> palette; // 3 bytes (red, green, blue) per entry, at most 256 entries
    std::vector<uint8_t> index;   // width × height entries, top row first
};

// Chooses at most 256 colours for the picture (median cut refined by a few rounds of k-means)
// and maps every pixel to the nearest one. The palette is sorted from dark to light.
PalettePicture Quantize(const Picture& picture);

// A Windows BMP file (BITMAPFILEHEADER, 40-byte BITMAPINFOHEADER, rows bottom-up padded to
// 4 bytes): 24 bits per pixel, or 8 bits with a 256-entry colour table.
std::vector<uint8_t> BmpFile24(const Picture& picture);
std::vector<uint8_t> BmpFile8(const PalettePicture& picture);

} // namespace arbolix::texgen
