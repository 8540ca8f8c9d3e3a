#pragma once
// Turning a fill description into pixels: BuildFill makes, for a size and a screen depth, either
// a "device bitmap" (raw pixels at the screen depth, fills/fill_pixels.h, which the Qt side turns
// into a QImage) or a packed 24-bit DIB (fills/packed_dib.h) for the chart renderer.

#include <cstdint>
#include <span>
#include <vector>

#include "base/colour.h"
#include "base/fill_spec.h"
#include "base/reporter.h"
#include "fills/fill_resources.h"
#include "fills/packed_dib.h"

namespace arbolix {

enum class FillMode : int32_t {
    // Pixels at the screen depth in FillBitmap::pixels: previews and thumbnails of the dialogs.
    DeviceBitmap = 0,
    // A packed DIB of 24 bits in FillBitmap::dib: the renderer and the large picture preview.
    // Textures keep the screen's pixels when it has fewer than 16 bits; flags (kind 5) always
    // come as a device bitmap.
    PackedDib = 1,
};

// The result of BuildFill. Empty after construction and after FreeFill.
struct FillBitmap {
    // A device bitmap was made: `pixels` holds it (it may be 0 × 0).
    bool hasDeviceBitmap = false;
    // Size of the result in pixels: for textures and flags the bitmap's own, for patterns cut
    // down to multiples of 8, for pictures at most the picture's.
    int32_t width = 0;
    int32_t height = 0;
    // Depth of `pixels` (the screen depth the fill was built for).
    int32_t bitsPerPixel = 0;
    // width × height pixels at bitsPerPixel, rows top first without gaps; at 8 bits indices into
    // FillPalette().
    std::vector<uint8_t> pixels;
    // Packed DIB (header, then rows padded to 4 bytes, top row first under a positive biHeight);
    // empty when none was made.
    std::vector<uint8_t> dib;

    bool empty() const { return !hasDeviceBitmap && dib.empty(); }
    DibHeader dibHeader() const { return ReadDibHeader(dib); }
    // The pixel rows of the DIB (empty when there is none).
    std::span<const uint8_t> dibBits() const;
};

// Wraps width × height pixels of `bytesPerPixel` bytes into fill.dib, using fill.width and
// fill.height: rows padded to a multiple of 4 bytes, header biSize 40, biWidth = width,
// biHeight = height (positive), 1 plane, biBitCount 8 × bytesPerPixel, BI_RGB, biSizeImage = row
// size × height, the other fields 0. `sourceRowBytes` is the distance between two rows of
// `pixels`; 0 means rows already at the padded row size. Padding bytes are 0.
void MakePackedDib(FillBitmap& fill, std::span<const uint8_t> pixels, int32_t bytesPerPixel,
                   std::size_t sourceRowBytes = 0);

// Releases what the fill holds and empties it; harmless on an empty one.
void FreeFill(FillBitmap& fill);

// Builds `out` (which is replaced) from a fill given field by field, in FillSpec order:
// kind 0 solid colour1; 1 gradient; 2 texture textureId at its own size; 3 pattern patternIndex
// (width and height cut down to multiples of 8); 4 picture file fileName; 5 flag textureId at the
// flags' natural size (nothing without `flags`); any other kind nothing. Kind 0 in PackedDib mode
// makes nothing (the renderer paints it with a brush). A picture that cannot be loaded shows
// "Format inconnu de fichier" when fileName is not empty, clears fileName (the caller's FillSpec
// buffer, which may be null) and gives a solid grey fill instead. A flag number without a picture
// shows "Erreur LoadBitmap"; a missing texture gives an empty result silently.
void BuildFill(FillBitmap& out, FillMode mode, int32_t bitsPerPixel, int32_t width, int32_t height,
               int32_t kind, Colour colour1, Colour colour2, int32_t gradientType, int32_t variant,
               char* fileName, int32_t textureId, int32_t patternIndex, Reporter& reporter,
               const FlagRasterizer* flags = nullptr);

// BuildFill in DeviceBitmap mode.
void BuildDeviceFill(FillBitmap& out, int32_t bitsPerPixel, int32_t width, int32_t height,
                     int32_t kind, Colour colour1, Colour colour2, int32_t gradientType,
                     int32_t variant, char* fileName, int32_t textureId, int32_t patternIndex,
                     Reporter& reporter, const FlagRasterizer* flags = nullptr);

// BuildFill from a FillSpec (whose fileName it may clear).
void BuildFill(FillBitmap& out, FillMode mode, int32_t bitsPerPixel, int32_t width, int32_t height,
               FillSpec& description, Reporter& reporter, const FlagRasterizer* flags = nullptr);

} // namespace arbolix
