#pragma once
// Picture files of the chart: BMP, JPEG, PNG and TIFF in four colour modes, for the picture
// export command and the web site. The chart is rendered in colour into a 32-bit bitmap; the
// writers turn it into the file's depth through FreeImage, except the monochrome BMP, which is
// written byte by byte. Every file is written completely or not at all (export/atomic_file.h).
//
// Writers return 0 when the file is written and -1 after reporting a failure (caption "arbolix",
// exclamation icon unless said otherwise):
//   "Erreur OpenFile"      the file cannot be created (missing or read-only folder, ...)
//   "Erreur _lwrite"       writing failed (disk full, ...)
//   "Erreur _lclose"       the file could not be synced, closed or put in place
//                          (these three go on with a line naming the file and the reason:
//                          "/home/a/arbre.png : plus de place sur le disque")
//   "Erreur GetBitmapBits" the bitmap is empty or inconsistent (no pixels, size 0, short rows);
//                          the PNG writer shows "Paramètre incorrect." captioned "GetBitmapBits"
//                          with the information icon instead
//   "Erreur malloc"        no memory for the monochrome BMP's rows
//   "Mémoire insuffisante" (stop icon) no memory for a FreeImage picture or a conversion
//   "Erreur FreeImage_Save" the codec refused the picture
// Whatever fails, nothing is left at the path and an existing file there is kept. `sync` says when
// the file reaches the disk (export/atomic_file.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "base/reporter.h"
#include "export/atomic_file.h"

namespace arbolix {

// The colour modes of the picture dialog and of the web site, numbered as they are stored.
enum ColourMode : int32_t {
    kColourMonochrome = 0, // "&Monochrome", "B/W"
    kColourGrey = 1,       // "&Gris"
    kColour256 = 2,        // "&256 couleurs"
    kColour24Bits = 3,     // "24 bits"; any value outside 0..3 is written as this one
};

// What the renderer draws into: 32 bits per pixel, bytes blue, green, red, unused; rows top
// first.
struct RenderedBitmap {
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0; // bytes from one row to the next, at least width × 4
};

// One bit per pixel, rows top first, each row padded to a multiple of 4 bytes, leftmost pixel in
// the high bit of its byte. Bit 0 is the pen colour, bit 1 the background colour.
struct MonochromeBitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerRow = 0; // (width + 31) / 32 × 4
    std::vector<uint8_t> bits;
};

// The monochrome rule: a pixel becomes 1 (background) when it has exactly the background colour
// or lies nearer to the background colour than to the pen colour, and 0 (pen) otherwise. The
// distance adds the squared differences of red, green and blue weighted 299, 587 and 114 (their
// share of luminance), so a light box fill on a white background turns white and a dark one takes
// the pen's colour, whichever of pen and background is the lighter. A pixel as near to one as to
// the other goes to the pen, so that strokes never vanish.
int MonochromeIndex(uint8_t red, uint8_t green, uint8_t blue, Colour pen, Colour background);
// The whole bitmap through that rule. Throws std::bad_alloc when memory runs out.
MonochromeBitmap ToMonochrome(const RenderedBitmap& bitmap, Colour pen, Colour background);

// How a 24-bit PNG is stored. Compact (the web site's pictures): a chart of at most 256 colours,
// the usual case with plain fills, is stored with a palette of exactly its colours: the same
// pixels in a third of the bytes, written several times faster. Past 256 colours, 24 bits.
enum class PngColours { AsMode, Compact };

// Largest picture of colour modes 1 to 3, in pixels.
constexpr int64_t kMaxColourPicturePixels = 4169728;

struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The bitmap size for a requested picture size:
//  - height 0 takes the proportions of the chart window (viewWidth × viewHeight): width ×
//    viewHeight / viewWidth in integers; a square when the window has no size;
//  - modes 1 to 3: above kMaxColourPicturePixels both sides are scaled by
//    √(kMaxColourPicturePixels ÷ (width × height)) and truncated, keeping the proportions;
//  - every mode: the width is rounded down to a multiple of 32 (whole 32-bit words per row).
// The result is at least 32 × 1.
PictureSize AdjustPictureSize(int32_t width, int32_t height, ColourMode mode, int32_t viewWidth,
                              int32_t viewHeight);

// BMP: mode 0 is the 1-bit file written directly (palette entry 0 the pen, entry 1 the
// background, 3937 pixels per metre); mode 1 an 8-bit grey picture; mode 2 an 8-bit palette
// from Wu quantization; mode 3 24 bits.
int32_t WriteBmpFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                     Colour background, Colour pen, Reporter& reporter,
                     FileSync sync = FileSync::Now);
// JPEG: mode 1 8-bit grey, every other mode 24 bits (mode 0 in black and white).
int32_t WriteJpegFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                      Colour background, Colour pen, Reporter& reporter,
                      FileSync sync = FileSync::Now);
// PNG: mode 1 8-bit grey, every other mode 24 bits; modes 0 (pen and background colours) and 2
// hold at most 256 colours (Wu quantization).
int32_t WritePngFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                     Colour background, Colour pen, Reporter& reporter,
                     FileSync sync = FileSync::Now, PngColours colours = PngColours::AsMode);
// TIFF: 24 bits in every mode (mode 0 in black and white).
int32_t WriteTiffFile(const RenderedBitmap& bitmap, ColourMode mode, const std::string& path,
                      Colour background, Colour pen, Reporter& reporter,
                      FileSync sync = FileSync::Now);

enum class PictureFormat { Unknown, Bmp, Jpeg, Png, Tiff };

// By the extension of the file name, in any case: .bmp, .jpg or .jpeg, .png, .tif or .tiff.
PictureFormat PictureFormatOfPath(std::string_view path);

enum class PictureWriteResult {
    Written,
    Failed,      // reported
    UnknownType, // the extension names none of the four formats: nothing written or reported
};

// The writer of the path's format.
PictureWriteResult WritePictureFile(const RenderedBitmap& bitmap, ColourMode mode,
                                    const std::string& path, Colour background, Colour pen,
                                    Reporter& reporter, FileSync sync = FileSync::Now,
                                    PngColours pngColours = PngColours::AsMode);

} // namespace arbolix
