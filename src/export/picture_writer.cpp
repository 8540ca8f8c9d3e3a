#include "export/picture_writer.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>

#include "export/atomic_file.h"

namespace arbolix {

namespace {

constexpr int32_t kBmpFileHeaderSize = 14;
constexpr int32_t kBmpInfoHeaderSize = 40;
constexpr int32_t kBmpPaletteSize = 2 * 4;
constexpr uint32_t kBmpPixelsPerMetre = 3937;

void Report(Reporter& reporter, const char* text, MessageIcon icon = MessageIcon::Exclamation) {
    reporter.report(Message{text, "arbolix", icon});
}

// The failed call's message, then the file and the reason on a line of their own.
void ReportFileError(Reporter& reporter, const FileError& error) {
    const char* text = "";
    switch (error.step) {
    case FileStep::None: return;
    case FileStep::Open: text = "Erreur OpenFile"; break;
    case FileStep::Write: text = "Erreur _lwrite"; break;
    case FileStep::Commit: text = "Erreur _lclose"; break;
    }
    reporter.report(Message{std::string(text) + "\n" + error.describe(), "arbolix",
                            MessageIcon::Exclamation});
}

bool IsUsable(const RenderedBitmap& bitmap) {
    return bitmap.pixels != nullptr && bitmap.width > 0 && bitmap.height > 0 &&
           int64_t{bitmap.stride} >= int64_t{bitmap.width} * 4;
}

void ReportUnusableBitmap(Reporter& reporter, FREE_IMAGE_FORMAT format) {
    // The PNG writer shows the system's text, as for a failed bit copy.
    if (format == FIF_PNG)
        reporter.report(Message{"Paramètre incorrect.", "GetBitmapBits", MessageIcon::Information});
    else
        Report(reporter, "Erreur GetBitmapBits");
}

ColourMode KnownMode(ColourMode mode) {
    return mode >= kColourMonochrome && mode <= kColour24Bits ? mode : kColour24Bits;
}

void PutLe16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

void PutPaletteEntry(std::string& out, Colour colour) {
    out += static_cast<char>(BlueOf(colour));
    out += static_cast<char>(GreenOf(colour));
    out += static_cast<char>(RedOf(colour));
    out += '\0';
}

// --- FreeImage --------------------------------------------------------------------------------

// The library is initialised for the time of one file. FreeImage counts the calls in a plain
// integer, so pictures written on several threads at once take turns to count.
class FreeImageSession {
public:
    FreeImageSession() {
        const std::lock_guard<std::mutex> lock(Counting());
        FreeImage_Initialise(FALSE);
    }
    ~FreeImageSession() {
        const std::lock_guard<std::mutex> lock(Counting());
        FreeImage_DeInitialise();
    }
    FreeImageSession(const FreeImageSession&) = delete;
    FreeImageSession& operator=(const FreeImageSession&) = delete;

private:
    static std::mutex& Counting() {
        static std::mutex mutex;
        return mutex;
    }
};

struct PictureUnloader {
    void operator()(FIBITMAP* picture) const { FreeImage_Unload(picture); }
};
using Picture = std::unique_ptr<FIBITMAP, PictureUnloader>;

struct MemoryCloser {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

void SetPaletteEntry(RGBQUAD& entry, Colour colour) {
    entry.rgbRed = RedOf(colour);
    entry.rgbGreen = GreenOf(colour);
    entry.rgbBlue = BlueOf(colour);
    entry.rgbReserved = 0;
}

// A 32-bit picture of the rendered bitmap (FreeImage pictures are stored bottom row first).
Picture ColourPicture(const RenderedBitmap& bitmap) {
    Picture picture(FreeImage_Allocate(bitmap.width, bitmap.height, 32, FI_RGBA_RED_MASK,
                                       FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!picture) return picture;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* from = bitmap.pixels + static_cast<size_t>(y) * bitmap.stride;
        BYTE* to = FreeImage_GetScanLine(picture.get(), bitmap.height - 1 - y);
        for (int32_t x = 0; x < bitmap.width; ++x, from += 4, to += 4) {
            to[FI_RGBA_BLUE] = from[0];
            to[FI_RGBA_GREEN] = from[1];
            to[FI_RGBA_RED] = from[2];
            to[FI_RGBA_ALPHA] = 0xFF;
        }
    }
    return picture;
}

// An 8-bit picture holding exactly the bitmap's colours, in the order they first appear (rows top
// first); none when there are more than 256.
Picture IndexedPicture(const RenderedBitmap& bitmap) {
    constexpr size_t kSlots = 1024; // open addressing, at most a quarter full
    std::vector<uint32_t> keys(kSlots, 0);
    std::vector<int16_t> indices(kSlots, -1);
    std::vector<uint32_t> colours;
    Picture picture(FreeImage_Allocate(bitmap.width, bitmap.height, 8));
    if (!picture) return picture;
    uint32_t last = 0;
    int lastIndex = -1;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* from = bitmap.pixels + static_cast<size_t>(y) * bitmap.stride;
        BYTE* to = FreeImage_GetScanLine(picture.get(), bitmap.height - 1 - y);
        for (int32_t x = 0; x < bitmap.width; ++x, from += 4) {
            const uint32_t colour = uint32_t{from[0]} | uint32_t{from[1]} << 8 | uint32_t{from[2]} << 16;
            if (colour != last || lastIndex < 0) {
                size_t slot = (colour * 2654435761u) >> 22;
                while (indices[slot] >= 0 && keys[slot] != colour) slot = (slot + 1) % kSlots;
                if (indices[slot] < 0) {
                    if (colours.size() == 256) return Picture();
                    keys[slot] = colour;
                    indices[slot] = static_cast<int16_t>(colours.size());
                    colours.push_back(colour);
                }
                last = colour;
                lastIndex = indices[slot];
            }
            to[x] = static_cast<BYTE>(lastIndex);
        }
    }
    RGBQUAD* palette = FreeImage_GetPalette(picture.get());
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t colour = i < colours.size() ? colours[i] : 0;
        palette[i].rgbBlue = static_cast<BYTE>(colour & 0xFF);
        palette[i].rgbGreen = static_cast<BYTE>((colour >> 8) & 0xFF);
        palette[i].rgbRed = static_cast<BYTE>((colour >> 16) & 0xFF);
        palette[i].rgbReserved = 0;
    }
    return picture;
}

// A 1-bit picture of the monochrome bitmap with this palette.
Picture MonochromePicture(const MonochromeBitmap& mono, Colour entry0, Colour entry1) {
    Picture picture(FreeImage_Allocate(mono.width, mono.height, 1));
    if (!picture) return picture;
    const size_t rowBytes = std::min<size_t>(FreeImage_GetPitch(picture.get()), mono.bytesPerRow);
    for (int32_t y = 0; y < mono.height; ++y)
        std::memcpy(FreeImage_GetScanLine(picture.get(), mono.height - 1 - y),
                    mono.bits.data() + static_cast<size_t>(y) * mono.bytesPerRow, rowBytes);
    RGBQUAD* palette = FreeImage_GetPalette(picture.get());
    SetPaletteEntry(palette[0], entry0);
    SetPaletteEntry(palette[1], entry1);
    return picture;
}

// One conversion step; false when FreeImage could not make the new picture.
enum class Step { To24, To8, Quantize };

bool Convert(Picture& picture, Step step) {
    FIBITMAP* converted = nullptr;
    switch (step) {
    case Step::To24:
        if (FreeImage_GetBPP(picture.get()) == 24) return true;
        converted = FreeImage_ConvertTo24Bits(picture.get());
        break;
    case Step::To8:
        converted = FreeImage_ConvertTo8Bits(picture.get());
        break;
    case Step::Quantize:
        converted = FreeImage_ColorQuantize(picture.get(), FIQ_WUQUANT);
        break;
    }
    if (converted == nullptr) return false;
    picture.reset(converted);
    return true;
}

// The conversions each format applies in each mode. `sourceDepth` is the depth of the bitmap
// the picture was made from: 1 in mode 0, 32 otherwise.
bool ConvertForFormat(Picture& picture, FREE_IMAGE_FORMAT format, ColourMode mode,
                      unsigned sourceDepth) {
    const auto depth = [&] { return FreeImage_GetBPP(picture.get()); };
    switch (format) {
    case FIF_BMP:
        if (mode == kColourGrey) {
            if (depth() < 24 && !Convert(picture, Step::To24)) return false;
            return Convert(picture, Step::To8);
        }
        if (mode == kColour256) {
            if (depth() == 8) return true;
            return Convert(picture, Step::To24) && Convert(picture, Step::Quantize);
        }
        return Convert(picture, Step::To24);
    case FIF_JPEG:
        if (!Convert(picture, Step::To24)) return false;
        return mode != kColourGrey || Convert(picture, Step::To8);
    case FIF_PNG:
        if (mode == kColourGrey) {
            if (depth() < 24 && !Convert(picture, Step::To24)) return false;
            return Convert(picture, Step::To8);
        }
        if (mode == kColourMonochrome || mode == kColour256) {
            if (depth() != 8 && !(Convert(picture, Step::To24) && Convert(picture, Step::Quantize)))
                return false;
        }
        return sourceDepth == 24 || Convert(picture, Step::To24);
    default:
        return Convert(picture, Step::To24);
    }
}

// Encodes the picture in memory and writes the bytes to the file.
int32_t SavePicture(FIBITMAP* picture, FREE_IMAGE_FORMAT format, const std::string& path,
                    Reporter& reporter, FileSync sync) {
    std::unique_ptr<FIMEMORY, MemoryCloser> memory(FreeImage_OpenMemory());
    if (!memory) {
        Report(reporter, "Mémoire insuffisante", MessageIcon::Stop);
        return -1;
    }
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_SaveToMemory(format, picture, memory.get(), 0) ||
        !FreeImage_AcquireMemory(memory.get(), &data, &size)) {
        Report(reporter, "Erreur FreeImage_Save");
        return -1;
    }
    const FileError error = WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(data), size), sync);
    if (error.failed()) {
        ReportFileError(reporter, error);
        return -1;
    }
    return 0;
}

int32_t WriteThroughFreeImage(const RenderedBitmap& bitmap, ColourMode mode,
                              const std::string& path, Colour background, Colour pen,
                              FREE_IMAGE_FORMAT format, Reporter& reporter, FileSync sync) {
    if (!IsUsable(bitmap)) {
        ReportUnusableBitmap(reporter, format);
        return -1;
    }
    mode = KnownMode(mode);
    FreeImageSession session;
    Picture picture;
    unsigned sourceDepth = 32;
    try {
        if (mode == kColourMonochrome) {
            sourceDepth = 1;
            // The PNG keeps the chart's two colours; JPEG and TIFF are black and white.
            const bool chartColours = format == FIF_PNG;
            picture =
                MonochromePicture(ToMonochrome(bitmap, pen, background),
                                  chartColours ? pen : kBlack, chartColours ? background : kWhite);
        } else {
            picture = ColourPicture(bitmap);
        }
    } catch (const std::bad_alloc&) {
        picture.reset();
    }
    if (!picture || !ConvertForFormat(picture, format, mode, sourceDepth)) {
        Report(reporter, "Mémoire insuffisante", MessageIcon::Stop);
        return -1;
    }
    return SavePicture(picture.get(), format, path, reporter, sync);
}

// The monochrome BMP, header by header and row by row, bottom row first.
int32_t WriteMonochromeBmp(const RenderedBitmap& bitmap, const std::string& path, Colour background,
                           Colour pen, Reporter& reporter, FileSync sync) {
    if (!IsUsable(bitmap)) {
        Report(reporter, "Erreur GetBitmapBits");
        return -1;
    }
    MonochromeBitmap mono;
    try {
        mono = ToMonochrome(bitmap, pen, background);
    } catch (const std::bad_alloc&) {
        Report(reporter, "Erreur malloc");
        return -1;
    }
    const uint32_t imageSize = static_cast<uint32_t>(mono.bytesPerRow) * mono.height;
    const uint32_t dataOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + kBmpPaletteSize;

    std::string header;
    header += "BM";
    PutLe32(header, imageSize + dataOffset);
    PutLe16(header, 0);
    PutLe16(header, 0);
    PutLe32(header, dataOffset);
    PutLe32(header, kBmpInfoHeaderSize);
    PutLe32(header, static_cast<uint32_t>(mono.width));
    PutLe32(header, static_cast<uint32_t>(mono.height)); // positive: bottom row first
    PutLe16(header, 1);                                  // planes
    PutLe16(header, 1);                                  // bits per pixel
    PutLe32(header, 0);                                  // no compression
    PutLe32(header, imageSize);
    PutLe32(header, kBmpPixelsPerMetre);
    PutLe32(header, kBmpPixelsPerMetre);
    PutLe32(header, 2); // colours used
    PutLe32(header, 0); // colours important
    PutPaletteEntry(header, pen);
    PutPaletteEntry(header, background);

    AtomicFile file;
    if (file.open(path, sync) && file.write(header)) {
        for (int32_t y = mono.height - 1; y >= 0; --y)
            if (!file.write(mono.bits.data() + static_cast<size_t>(y) * mono.bytesPerRow,
                            static_cast<size_t>(mono.bytesPerRow)))
                break;
        if (!file.error().failed()) file.commit();
    }
    if (file.error().failed()) {
        ReportFileError(reporter, file.error());
        return -1;
    }
    return 0;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

int MonochromeIndex(uint8_t red, uint8_t green, uint8_t blue, Colour pen, Colour background) {
    if (MakeColour(red, green, blue) == background) return 1;
    const auto distance = [&](Colour colour) {
        const int64_t dr = int64_t{red} - RedOf(colour);
        const int64_t dg = int64_t{green} - GreenOf(colour);
        const int64_t db = int64_t{blue} - BlueOf(colour);
        return 299 * dr * dr + 587 * dg * dg + 114 * db * db;
    };
    return distance(background) < distance(pen) ? 1 : 0;
}

MonochromeBitmap ToMonochrome(const RenderedBitmap& bitmap, Colour pen, Colour background) {
    MonochromeBitmap mono;
    if (!IsUsable(bitmap)) return mono;
    mono.width = bitmap.width;
    mono.height = bitmap.height;
    mono.bytesPerRow = (bitmap.width + 31) / 32 * 4;
    mono.bits.assign(static_cast<size_t>(mono.bytesPerRow) * mono.height, 0);
    // Charts are mostly long runs of one colour: remember the last answer.
    uint32_t lastPixel = 0xFFFFFFFF;
    int lastIndex = 0;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* from = bitmap.pixels + static_cast<size_t>(y) * bitmap.stride;
        uint8_t* row = mono.bits.data() + static_cast<size_t>(y) * mono.bytesPerRow;
        for (int32_t x = 0; x < bitmap.width; ++x, from += 4) {
            const uint32_t pixel = from[0] | (from[1] << 8) | (from[2] << 16);
            if (pixel != lastPixel) {
                lastPixel = pixel;
                lastIndex = MonochromeIndex(from[2], from[1], from[0], pen, background);
            }
            if (lastIndex) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
        }
    }
    return mono;
}

PictureSize AdjustPictureSize(int32_t width, int32_t height, ColourMode mode, int32_t viewWidth,
                              int32_t viewHeight) {
    int64_t w = std::max<int64_t>(width, 0);
    int64_t h = std::max<int64_t>(height, 0);
    if (h == 0) h = viewWidth > 0 && viewHeight > 0 ? w * viewHeight / viewWidth : w;
    if (mode != kColourMonochrome && w * h > kMaxColourPicturePixels) {
        const double factor =
            std::sqrt(static_cast<double>(kMaxColourPicturePixels) / static_cast<double>(w * h));
        w = static_cast<int64_t>(static_cast<double>(w) * factor);
        h = static_cast<int64_t>(static_cast<double>(h) * factor);
    }
    w -= w % 32;
    return PictureSize{static_cast<int32_t>(std::max<int64_t>(w, 32)),
                       static_cast<int32_t>(std::clamp<int64_t>(h, 1, INT32_MAX))};
}

int32_t WriteBmpFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                     Colour background, Colour pen, Reporter& reporter, FileSync sync) {
    if (mode == kColourMonochrome)
        return WriteMonochromeBmp(bitmap, path, background, pen, reporter, sync);
    return WriteThroughFreeImage(bitmap, mode, path, background, pen, FIF_BMP, reporter, sync);
}

int32_t WriteJpegFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                      Colour background, Colour pen, Reporter& reporter, FileSync sync) {
    return WriteThroughFreeImage(bitmap, mode, path, background, pen, FIF_JPEG, reporter, sync);
}

int32_t WritePngFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                     Colour background, Colour pen, Reporter& reporter, FileSync sync,
                     PngColours colours) {
    if (colours == PngColours::Compact && KnownMode(mode) == kColour24Bits && IsUsable(bitmap)) {
        FreeImageSession session;
        Picture indexed;
        try {
            indexed = IndexedPicture(bitmap);
        } catch (const std::bad_alloc&) {
        }
        if (indexed) return SavePicture(indexed.get(), FIF_PNG, path, reporter, sync);
    }
    return WriteThroughFreeImage(bitmap, mode, path, background, pen, FIF_PNG, reporter, sync);
}

int32_t WriteTiffFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                      Colour background, Colour pen, Reporter& reporter, FileSync sync) {
    return WriteThroughFreeImage(bitmap, mode, path, background, pen, FIF_TIFF, reporter, sync);
}

PictureFormat PictureFormatOfPath(std::string_view path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (EqualsIgnoringCase(extension, ".bmp")) return PictureFormat::Bmp;
    if (EqualsIgnoringCase(extension, ".jpg") || EqualsIgnoringCase(extension, ".jpeg"))
        return PictureFormat::Jpeg;
    if (EqualsIgnoringCase(extension, ".png")) return PictureFormat::Png;
    if (EqualsIgnoringCase(extension, ".tif") || EqualsIgnoringCase(extension, ".tiff"))
        return PictureFormat::Tiff;
    return PictureFormat::Unknown;
}

PictureWriteResult WritePictureFile(const RenderedBitmap& bitmap, ColourMode mode,
                                    const std::string& path, Colour background, Colour pen,
                                    Reporter& reporter, FileSync sync, PngColours pngColours) {
    int32_t result = 0;
    switch (PictureFormatOfPath(path)) {
    case PictureFormat::Unknown:
        return PictureWriteResult::UnknownType;
    case PictureFormat::Bmp:
        result = WriteBmpFile(bitmap, mode, path, background, pen, reporter, sync);
        break;
    case PictureFormat::Jpeg:
        result = WriteJpegFile(bitmap, mode, path, background, pen, reporter, sync);
        break;
    case PictureFormat::Png:
        result = WritePngFile(bitmap, mode, path, background, pen, reporter, sync, pngColours);
        break;
    case PictureFormat::Tiff:
        result = WriteTiffFile(bitmap, mode, path, background, pen, reporter, sync);
        break;
    }
    return result == 0 ? PictureWriteResult::Written : PictureWriteResult::Failed;
}

} // namespace arbolix
