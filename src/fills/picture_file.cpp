#include "fills/picture_file.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace arbolix {
namespace {

// The library is started for each load and stopped after it, with its own plug-ins only.
class FreeImageSession {
public:
    FreeImageSession() { FreeImage_Initialise(TRUE); }
    ~FreeImageSession() { FreeImage_DeInitialise(); }
    FreeImageSession(const FreeImageSession&) = delete;
    FreeImageSession& operator=(const FreeImageSession&) = delete;
};

// Owns one bitmap made by the library.
class Picture {
public:
    explicit Picture(FIBITMAP* bitmap = nullptr) : bitmap_(bitmap) {}
    ~Picture() { reset(nullptr); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    FIBITMAP* get() const { return bitmap_; }
    // Takes `next` in place of the current bitmap, which is released.
    void reset(FIBITMAP* next) {
        if (bitmap_ != nullptr) FreeImage_Unload(bitmap_);
        bitmap_ = next;
    }

private:
    FIBITMAP* bitmap_;
};

// The format name a detected file type is loaded under; null for the types that are refused.
const char* FormatNameOf(FREE_IMAGE_FORMAT type) {
    switch (type) {
    case FIF_BMP:
        return "BMP";
    case FIF_ICO:
        return "ICO";
    case FIF_JPEG:
        return "JPEG";
    case FIF_KOALA:
        return "KOALA";
    case FIF_LBM:
        return "LBM";
    case FIF_PBM:
    case FIF_PGM:
    case FIF_PPM:
        return "PNM";
    case FIF_PCD:
        return "PCD";
    case FIF_PCX:
        return "PCX";
    case FIF_PNG:
        return "PNG";
    case FIF_RAS:
        return "RAS";
    case FIF_TARGA:
        return "TARGA";
    case FIF_TIFF:
        return "TIFF";
    case FIF_PSD:
        return "PSD";
    default:
        return nullptr;
    }
}

// The library's detector answers its first PNM type (text PBM) for every PNM file, text or raw;
// the second byte of the file ("P1" .. "P6") tells them apart.
FREE_IMAGE_FORMAT DetectType(const char* fileName) {
    const FREE_IMAGE_FORMAT detected = FreeImage_GetFileType(fileName, 0);
    if (detected != FIF_PBM && detected != FIF_PGM && detected != FIF_PPM &&
        detected != FIF_PBMRAW && detected != FIF_PGMRAW && detected != FIF_PPMRAW)
        return detected;
    char magic[2] = {};
    if (FILE* file = std::fopen(fileName, "rb")) {
        if (std::fread(magic, 1, 2, file) != 2) magic[0] = 0;
        std::fclose(file);
    }
    if (magic[0] != 'P') return FIF_UNKNOWN;
    switch (magic[1]) {
    case '1':
        return FIF_PBM;
    case '2':
        return FIF_PGM;
    case '3':
        return FIF_PPM;
    case '4':
        return FIF_PBMRAW;
    case '5':
        return FIF_PGMRAW;
    case '6':
        return FIF_PPMRAW;
    default:
        return FIF_UNKNOWN;
    }
}

// Pictures of 16 bits per channel (PNG, TIFF) or of floating-point channels become ordinary ones
// of 8 bits per channel, the only kind the depth conversions handle: 16-bit greys and colours
// keep their high byte. False when the library cannot convert the picture.
bool ToEightBitsPerChannel(Picture& picture) {
    switch (FreeImage_GetImageType(picture.get())) {
    case FIT_BITMAP:
        return true;
    case FIT_UINT16:
        picture.reset(FreeImage_ConvertTo8Bits(picture.get()));
        break;
    default:
        picture.reset(FreeImage_ConvertToType(picture.get(), FIT_BITMAP, TRUE));
        break;
    }
    return picture.get() != nullptr;
}

// Converts the picture to the depth asked for; false when a needed conversion fails.
bool ConvertDepth(Picture& picture, int32_t bitsPerPixel) {
    const unsigned bpp = FreeImage_GetBPP(picture.get());
    switch (bitsPerPixel) {
    case 8:
        if (bpp == 8) return true;
        if (bpp != 24) {
            picture.reset(FreeImage_ConvertTo24Bits(picture.get()));
            if (picture.get() == nullptr) return false;
        }
        picture.reset(FreeImage_ColorQuantize(picture.get(), FIQ_WUQUANT));
        return picture.get() != nullptr;
    case 16:
        if (bpp == 16) return true;
        picture.reset(FreeImage_ConvertTo16Bits565(picture.get()));
        return picture.get() != nullptr;
    case 32:
        if (bpp != 32) {
            // Pictures the library cannot widen to 32 bits are used as they are.
            if (FIBITMAP* converted = FreeImage_ConvertTo32Bits(picture.get()))
                picture.reset(converted);
        }
        return true;
    default:
        if (bpp == 24) return true;
        picture.reset(FreeImage_ConvertTo24Bits(picture.get()));
        return picture.get() != nullptr;
    }
}

int32_t BytesPerPixelOf(int32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8:
        return 1;
    case 16:
        return 2;
    case 32:
        return 4;
    default:
        return 3;
    }
}

DibHeader HeaderOf(const BITMAPINFOHEADER& from) {
    DibHeader header;
    header.biSize = from.biSize;
    header.biWidth = from.biWidth;
    header.biHeight = from.biHeight;
    header.biPlanes = from.biPlanes;
    header.biBitCount = from.biBitCount;
    header.biCompression = from.biCompression;
    header.biSizeImage = from.biSizeImage;
    header.biXPelsPerMeter = from.biXPelsPerMeter;
    header.biYPelsPerMeter = from.biYPelsPerMeter;
    header.biClrUsed = from.biClrUsed;
    header.biClrImportant = from.biClrImportant;
    return header;
}

} // namespace

int LoadPictureFile(const char* fileName, PictureInfo& info, int32_t& width, int32_t& height,
                    int32_t bitsPerPixel) {
    if (fileName == nullptr || fileName[0] == '\0') return 0;
    FreeImageSession session;

    const FREE_IMAGE_FORMAT detected = DetectType(fileName);
    const char* formatName = FormatNameOf(detected);
    if (formatName == nullptr) return 0;
    FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFormat(formatName);
    // This library names the LBM and text PNM readers "IFF" and "PBM"/"PGM"/"PPM"; a name it
    // does not know loads with the reader of the detected type.
    if (format == FIF_UNKNOWN) format = detected;

    Picture picture(FreeImage_Load(format, fileName, 0));
    if (picture.get() == nullptr) return 0;
    if (!ToEightBitsPerChannel(picture)) return 0;
    if (!ConvertDepth(picture, bitsPerPixel)) return 0;

    const BITMAPINFOHEADER* libraryHeader = FreeImage_GetInfoHeader(picture.get());
    const uint8_t* bits = FreeImage_GetBits(picture.get());
    if (libraryHeader == nullptr || bits == nullptr) return 0;
    info.header = HeaderOf(*libraryHeader);

    const int32_t pictureWidth = static_cast<int32_t>(FreeImage_GetWidth(picture.get()));
    const int32_t pictureHeight = static_cast<int32_t>(FreeImage_GetHeight(picture.get()));
    const int32_t bytesPerPixel = BytesPerPixelOf(bitsPerPixel);
    const std::size_t rowSize = DibRowSize(pictureWidth, bytesPerPixel);
    info.header.biSizeImage = static_cast<uint32_t>(rowSize * pictureHeight);
    info.pixels.assign(info.header.biSizeImage, 0);

    // The library keeps the bottom row first: turn the rows over so that the top comes first.
    // A picture left at another depth (one that could not be widened to 32 bits) has rows of
    // another length; only what both row lengths hold is copied.
    const std::size_t pitch = FreeImage_GetPitch(picture.get());
    const std::size_t copied = std::min(pitch, rowSize);
    for (int32_t k = 0; k < pictureHeight; ++k)
        std::memcpy(info.pixels.data() + k * rowSize, bits + (pictureHeight - 1 - k) * pitch,
                    copied);

    info.palette.clear();
    if (FreeImage_GetBPP(picture.get()) == 8) {
        const RGBQUAD* palette = FreeImage_GetPalette(picture.get());
        const unsigned colours = FreeImage_GetColorsUsed(picture.get());
        for (unsigned i = 0; palette != nullptr && i < colours; ++i)
            info.palette.push_back(
                MakeColour(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue));
    }

    if (height <= 0 || height > pictureHeight) height = pictureHeight;
    if (width <= 0 || width >= pictureWidth) {
        width = pictureWidth;
    } else {
        // Keep the left part of each row: the rows follow each other at the shorter row size.
        const std::size_t cutRowSize = DibRowSize(width, bytesPerPixel);
        for (int32_t k = 1; k < height; ++k)
            std::memmove(info.pixels.data() + k * cutRowSize, info.pixels.data() + k * rowSize,
                         cutRowSize);
        info.header.biWidth = width;
    }
    return 1;
}

} // namespace arbolix
