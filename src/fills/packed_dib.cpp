#include "fills/packed_dib.h"

#include <cstring>

#include "fills/fill_pixels.h"

namespace arbolix {
namespace {

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}
uint16_t Get16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}
uint32_t Get32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

} // namespace

std::size_t DibRowSize(int32_t width, int32_t bytesPerPixel) {
    if (width <= 0 || bytesPerPixel <= 0) return 0;
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel) + 3) & ~3u;
}

DibHeader ReadDibHeader(std::span<const uint8_t> dib) {
    DibHeader header{};
    if (dib.size() < kDibHeaderSize) {
        header.biSize = 0;
        header.biPlanes = 0;
        return header;
    }
    const uint8_t* at = dib.data();
    header.biSize = Get32(at);
    header.biWidth = static_cast<int32_t>(Get32(at + 4));
    header.biHeight = static_cast<int32_t>(Get32(at + 8));
    header.biPlanes = Get16(at + 12);
    header.biBitCount = Get16(at + 14);
    header.biCompression = Get32(at + 16);
    header.biSizeImage = Get32(at + 20);
    header.biXPelsPerMeter = static_cast<int32_t>(Get32(at + 24));
    header.biYPelsPerMeter = static_cast<int32_t>(Get32(at + 28));
    header.biClrUsed = Get32(at + 32);
    header.biClrImportant = Get32(at + 36);
    return header;
}

void WriteDibHeader(const DibHeader& header, std::span<uint8_t> dib) {
    if (dib.size() < kDibHeaderSize) return;
    uint8_t* at = dib.data();
    Put32(at, header.biSize);
    Put32(at + 4, static_cast<uint32_t>(header.biWidth));
    Put32(at + 8, static_cast<uint32_t>(header.biHeight));
    Put16(at + 12, header.biPlanes);
    Put16(at + 14, header.biBitCount);
    Put32(at + 16, header.biCompression);
    Put32(at + 20, header.biSizeImage);
    Put32(at + 24, static_cast<uint32_t>(header.biXPelsPerMeter));
    Put32(at + 28, static_cast<uint32_t>(header.biYPelsPerMeter));
    Put32(at + 32, header.biClrUsed);
    Put32(at + 36, header.biClrImportant);
}

std::size_t DibBitsOffset(const DibHeader& header) {
    if (header.biCompression == kDibBitfields) return kDibHeaderSize + 3 * 4;
    return kDibHeaderSize + static_cast<std::size_t>(header.biClrUsed) * 4;
}

std::vector<uint8_t> PackDeviceBitmap(std::span<const uint8_t> pixels, int32_t width,
                                      int32_t height, int32_t deviceBits, int32_t targetBits) {
    if (!IsDeviceDepth(deviceBits) || width < 0 || height < 0) return {};
    if (pixels.size() < DeviceBufferSize(deviceBits, width, height)) return {};
    const int32_t target = targetBits < 16 ? 24 : targetBits;

    enum class Conversion { Drop32To24, Expand16To24, Copy, Copy16To555 } conversion;
    int32_t outBits = target;
    if (target == 24 && deviceBits == 32)
        conversion = Conversion::Drop32To24;
    else if (target == 24 && deviceBits == 16)
        conversion = Conversion::Expand16To24;
    else if (target == deviceBits)
        conversion = target == 16 ? Conversion::Copy16To555 : Conversion::Copy;
    else {
        conversion = Conversion::Copy;
        outBits = deviceBits;
    }

    const int32_t inBytes = deviceBits / 8;
    const std::size_t inRow = static_cast<std::size_t>(width) * inBytes;
    const std::size_t outRow = DibRowSize(width, outBits / 8);
    DibHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<uint16_t>(outBits);
    header.biSizeImage = static_cast<uint32_t>(outRow * static_cast<std::size_t>(height));
    std::vector<uint8_t> dib(kDibHeaderSize + header.biSizeImage);
    WriteDibHeader(header, dib);

    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = pixels.data() + y * inRow;
        uint8_t* out = dib.data() + kDibHeaderSize + y * outRow;
        switch (conversion) {
        case Conversion::Drop32To24:
            for (int32_t x = 0; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
            break;
        case Conversion::Expand16To24:
            for (int32_t x = 0; x < width; ++x, in += 2, out += 3) {
                const unsigned v = Get16(in);
                out[0] = static_cast<uint8_t>((v << 3) & 0xFF);
                out[1] = static_cast<uint8_t>(((v & 0x7E0) >> 5) << 2);
                out[2] = static_cast<uint8_t>((v >> 8) & 0xF8);
            }
            break;
        case Conversion::Copy16To555:
            for (int32_t x = 0; x < width; ++x, in += 2, out += 2) {
                const unsigned v = Get16(in);
                Put16(out, static_cast<uint16_t>(((v >> 1) & 0x7FE0) + (v & 0x1F)));
            }
            break;
        case Conversion::Copy:
            std::memcpy(out, in, inRow);
            break;
        }
    }
    return dib;
}

} // namespace arbolix
