#include "fills/fill_bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "fills/fill_palette.h"
#include "fills/fill_pixels.h"
#include "fills/gradient.h"
#include "fills/pattern.h"
#include "fills/picture_file.h"

namespace arbolix {
namespace {

constexpr Colour kFallbackGrey = 0x80808080;

void AttachDevicePixels(FillBitmap& out, int32_t bitsPerPixel, std::vector<uint8_t> pixels) {
    out.hasDeviceBitmap = true;
    out.bitsPerPixel = bitsPerPixel;
    out.pixels = std::move(pixels);
}

// Kinds 1 and 3: the generator at the screen depth for a device bitmap, at 24 bits for a DIB.
template <typename Generator>
void Generate(FillBitmap& out, FillMode mode, int32_t bitsPerPixel, Generator generate) {
    if (mode == FillMode::DeviceBitmap) {
        std::vector<uint8_t> pixels(DeviceBufferSize(bitsPerPixel, out.width, out.height));
        generate(bitsPerPixel, std::span<uint8_t>(pixels));
        AttachDevicePixels(out, bitsPerPixel, std::move(pixels));
        return;
    }
    std::vector<uint8_t> pixels(DeviceBufferSize(24, out.width, out.height));
    generate(24, std::span<uint8_t>(pixels));
    MakePackedDib(out, pixels, 3, static_cast<std::size_t>(out.width) * 3);
}

// Bitmaps of the program (textures, flags) are made at the screen depth; a depth that no screen
// has takes 24 bits.
int32_t ResourceDepth(int32_t bitsPerPixel) {
    return IsDeviceDepth(bitsPerPixel) ? bitsPerPixel : 24;
}

bool HoldsAllPixels(const ResourceBitmap& bitmap) {
    return bitmap.width >= 0 && bitmap.height >= 0 &&
           bitmap.bgr.size() >= static_cast<std::size_t>(bitmap.width) * bitmap.height * 3;
}

void BuildTexture(FillBitmap& out, FillMode mode, int32_t bitsPerPixel, int32_t textureId) {
    ResourceBitmap texture;
    if (!LoadTextureBitmap(textureId, texture) || !HoldsAllPixels(texture)) {
        out.width = 0;
        out.height = 0;
        return;
    }
    out.width = texture.width;
    out.height = texture.height;
    const int32_t depth = ResourceDepth(bitsPerPixel);
    std::vector<uint8_t> pixels = DevicePixelsFromBgr(texture, depth);
    if (mode == FillMode::DeviceBitmap)
        AttachDevicePixels(out, depth, std::move(pixels));
    else
        out.dib = PackDeviceBitmap(pixels, out.width, out.height, depth, 24);
}

void BuildFlag(FillBitmap& out, int32_t bitsPerPixel, int32_t flagNumber, Reporter& reporter,
               const FlagRasterizer* flags) {
    out.width = 0;
    out.height = 0;
    if (flags == nullptr) return;
    int32_t width = 0;
    int32_t height = 0;
    ResourceBitmap flag;
    if (!flags->naturalSize(flagNumber, width, height) ||
        !flags->rasterize(flagNumber, width, height, flag) || flag.width != width ||
        flag.height != height || !HoldsAllPixels(flag)) {
        reporter.report({"Erreur LoadBitmap", "arbolix", MessageIcon::Stop});
        return;
    }
    out.width = width;
    out.height = height;
    const int32_t depth = ResourceDepth(bitsPerPixel);
    AttachDevicePixels(out, depth, DevicePixelsFromBgr(flag, depth));
}

// Kind 4 once the picture is loaded: its rows are padded to 4 bytes.
void AttachPicture(FillBitmap& out, FillMode mode, int32_t depth, const PictureInfo& picture) {
    const int32_t bytesPerPixel = depth == 8 ? 1 : depth == 16 ? 2 : depth == 32 ? 4 : 3;
    const std::size_t rowSize = DibRowSize(out.width, bytesPerPixel);
    if (mode == FillMode::PackedDib) {
        MakePackedDib(out, picture.pixels, bytesPerPixel, rowSize);
        return;
    }
    // A device bitmap has rows without padding; 8-bit pictures index their own colour table,
    // so their pixels are mapped onto the fill palette.
    std::array<uint8_t, 256> toFillPalette{};
    if (bytesPerPixel == 1)
        for (std::size_t i = 0; i < picture.palette.size() && i < toFillPalette.size(); ++i)
            toFillPalette[i] = NearestSystemIndex(picture.palette[i]);
    const std::size_t rowBytes = static_cast<std::size_t>(out.width) * bytesPerPixel;
    std::vector<uint8_t> pixels(rowBytes * static_cast<std::size_t>(out.height));
    for (int32_t y = 0; y < out.height; ++y) {
        const uint8_t* from = picture.pixels.data() + y * rowSize;
        uint8_t* to = pixels.data() + y * rowBytes;
        if (bytesPerPixel == 1)
            for (std::size_t x = 0; x < rowBytes; ++x) to[x] = toFillPalette[from[x]];
        else
            std::memcpy(to, from, rowBytes);
    }
    AttachDevicePixels(out, 8 * bytesPerPixel, std::move(pixels));
}

} // namespace

std::span<const uint8_t> FillBitmap::dibBits() const {
    if (dib.size() < kDibHeaderSize) return {};
    const std::size_t offset = std::min(DibBitsOffset(dibHeader()), dib.size());
    return std::span<const uint8_t>(dib).subspan(offset);
}

void MakePackedDib(FillBitmap& fill, std::span<const uint8_t> pixels, int32_t bytesPerPixel,
                   std::size_t sourceRowBytes) {
    const int32_t width = std::max(fill.width, 0);
    const int32_t height = std::max(fill.height, 0);
    const std::size_t rowSize = DibRowSize(width, bytesPerPixel);
    if (sourceRowBytes == 0) sourceRowBytes = rowSize;

    DibHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<uint16_t>(8 * bytesPerPixel);
    header.biSizeImage = static_cast<uint32_t>(rowSize * height);
    fill.dib.assign(kDibHeaderSize + header.biSizeImage, 0);
    WriteDibHeader(header, fill.dib);

    const std::size_t rowBytes = std::min(sourceRowBytes, rowSize);
    for (int32_t y = 0; y < height; ++y) {
        const std::size_t from = static_cast<std::size_t>(y) * sourceRowBytes;
        if (from >= pixels.size()) break;
        std::memcpy(fill.dib.data() + kDibHeaderSize + y * rowSize, pixels.data() + from,
                    std::min(rowBytes, pixels.size() - from));
    }
}

void FreeFill(FillBitmap& fill) {
    fill = FillBitmap{};
}

void BuildFill(FillBitmap& out, FillMode mode, int32_t bitsPerPixel, int32_t width, int32_t height,
               int32_t kind, Colour colour1, Colour colour2, int32_t gradientType, int32_t variant,
               char* fileName, int32_t textureId, int32_t patternIndex, Reporter& reporter,
               const FlagRasterizer* flags) {
    out = FillBitmap{};
    out.width = std::max(width, 0);
    out.height = std::max(height, 0);

    switch (kind) {
    case kFillSolid:
        if (mode == FillMode::DeviceBitmap) {
            std::vector<uint8_t> pixels(DeviceBufferSize(bitsPerPixel, out.width, out.height));
            FillSolid(bitsPerPixel, colour1, out.width, out.height, pixels);
            AttachDevicePixels(out, bitsPerPixel, std::move(pixels));
        }
        break;
    case kFillGradient:
        Generate(out, mode, bitsPerPixel, [&](int32_t depth, std::span<uint8_t> buffer) {
            RenderGradient(depth, gradientType, variant, colour1, colour2, out.width, out.height,
                           buffer);
        });
        break;
    case kFillTexture:
        BuildTexture(out, mode, bitsPerPixel, textureId);
        break;
    case kFillPattern:
        out.width -= out.width % 8;
        out.height -= out.height % 8;
        Generate(out, mode, bitsPerPixel, [&](int32_t depth, std::span<uint8_t> buffer) {
            RenderPattern(depth, patternIndex, variant, colour1, colour2, out.width, out.height,
                          buffer);
        });
        break;
    case kFillPicture: {
        const int32_t depth = mode == FillMode::PackedDib ? 24 : bitsPerPixel;
        PictureInfo picture;
        int32_t pictureWidth = out.width;
        int32_t pictureHeight = out.height;
        if (LoadPictureFile(fileName, picture, pictureWidth, pictureHeight, depth) == 1) {
            out.width = pictureWidth;
            out.height = pictureHeight;
            AttachPicture(out, mode, depth, picture);
            break;
        }
        // The name is cleared, so the message comes once; the fill turns into plain grey.
        if (fileName != nullptr && fileName[0] != '\0')
            reporter.report({"Format inconnu de fichier", "arbolix", MessageIcon::Stop});
        if (fileName != nullptr) fileName[0] = '\0';
        BuildFill(out, mode, bitsPerPixel, width, height, kFillSolid, kFallbackGrey, colour2,
                  gradientType, variant, fileName, textureId, patternIndex, reporter, flags);
        break;
    }
    case kFillResource:
        BuildFlag(out, bitsPerPixel, textureId, reporter, flags);
        break;
    default:
        break;
    }
}

void BuildDeviceFill(FillBitmap& out, int32_t bitsPerPixel, int32_t width, int32_t height,
                     int32_t kind, Colour colour1, Colour colour2, int32_t gradientType,
                     int32_t variant, char* fileName, int32_t textureId, int32_t patternIndex,
                     Reporter& reporter, const FlagRasterizer* flags) {
    BuildFill(out, FillMode::DeviceBitmap, bitsPerPixel, width, height, kind, colour1, colour2,
              gradientType, variant, fileName, textureId, patternIndex, reporter, flags);
}

void BuildFill(FillBitmap& out, FillMode mode, int32_t bitsPerPixel, int32_t width, int32_t height,
               FillSpec& description, Reporter& reporter, const FlagRasterizer* flags) {
    BuildFill(out, mode, bitsPerPixel, width, height, description.kind, description.brush.lbColor,
              description.colour2, description.gradientType, description.variant,
              description.fileName, description.textureId, description.patternIndex, reporter,
              flags);
}

} // namespace arbolix
