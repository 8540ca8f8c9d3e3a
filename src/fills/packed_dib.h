#pragma once
// Packed device-independent bitmaps: a 40-byte BITMAPINFOHEADER immediately followed by the pixel
// rows (after a colour table of biClrUsed 4-byte entries, or three 4-byte masks for
// BI_BITFIELDS, when the picture has one), each row padded to a multiple of 4 bytes. The header
// is stored little-endian, field by field, as on Windows.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace arbolix {

constexpr uint32_t kDibHeaderSize = 40;
constexpr uint32_t kDibRgb = 0;       // biCompression BI_RGB
constexpr uint32_t kDibBitfields = 3; // biCompression BI_BITFIELDS

struct DibHeader {
    uint32_t biSize = kDibHeaderSize;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = kDibRgb;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;

    bool operator==(const DibHeader&) const = default;
};

// Bytes of one row of `width` pixels of `bytesPerPixel` bytes, rounded up to a multiple of 4.
std::size_t DibRowSize(int32_t width, int32_t bytesPerPixel);

// The header of a packed DIB (all fields 0 when fewer than 40 bytes are given).
DibHeader ReadDibHeader(std::span<const uint8_t> dib);
// Writes the 40 bytes of the header at the start of `dib`, which must hold them.
void WriteDibHeader(const DibHeader& header, std::span<uint8_t> dib);
// Where the pixel rows start in a packed DIB with this header: after the header and its colour
// table (biClrUsed entries of 4 bytes) or its three masks (BI_BITFIELDS).
std::size_t DibBitsOffset(const DibHeader& header);

// The packed DIB of a bitmap of the screen (raw pixels at deviceBits, rows top first without
// gaps, fills/fill_pixels.h) for a target depth: the target is raised to 24 below 16, then
//   24 from 32: the first three bytes (blue, green, red) of each pixel;
//   24 from 16: each word v gives blue (v << 3) & 0xFF, green ((v & 0x7E0) >> 5) << 2 and
//               red (v >> 8) & 0xF8;
//   the same depth: the pixels as they are, except that at 16 bits each 5-6-5 word v becomes the
//               5-5-5 word ((v >> 1) & 0x7FE0) + (v & 0x1F);
//   any other pair: the pixels as they are under a header of deviceBits (no colour table).
// The header has biWidth = width, biHeight = height (positive, rows still top first), 1 plane,
// BI_RGB, biSizeImage = padded row size × height and the other fields 0. Empty when the pixels
// are fewer than the size says or deviceBits is not 8, 16, 24 or 32.
std::vector<uint8_t> PackDeviceBitmap(std::span<const uint8_t> pixels, int32_t width,
                                      int32_t height, int32_t deviceBits, int32_t targetBits);

} // namespace arbolix
