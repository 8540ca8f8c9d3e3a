#pragma once
// The drawing surface of the chart. The renderer, the link shapes and the text fitting draw only
// through this interface, with the conventions of a classic raster device context:
//
// - Coordinates are device pixels in 64-bit integers: an extreme zoom produces coordinates far
//   beyond any device, and every implementation must cope with them (the Qt canvas clips lines
//   geometrically, clamps rectangles, and skips what lies entirely outside).
// - A rectangle (left, top, right, bottom) covers the pixels left..right-1 and top..bottom-1:
//   its right and bottom edges are left out.
// - Lines drawn with a 1-pixel pen leave out their last pixel (LineTo, Polyline); wider pens have
//   round ends and joins and cover their end points.
// - The state is that of a device: a selected pen, brush and font, a current position, a text
//   colour, a text alignment, a background mode and colour. Selecting returns what was selected
//   before, so a caller can put it back. A fresh canvas has a black solid 1-pixel pen, a white
//   solid brush, the default font (LogFont{}), black text, top-left alignment, an opaque white
//   background and the current position (0, 0).
// - Text is Windows-1252 bytes, the program's own text.
// - Colours are 0x00BBGGRR (chart/colour.h).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/colour.h"
#include "base/log_font.h"

namespace arbolix {

struct Point {
    int64_t x = 0;
    int64_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    bool operator==(const Rect&) const = default;
};

// Width and height of a text in device pixels.
struct Extent {
    int64_t cx = 0;
    int64_t cy = 0;
    bool operator==(const Extent&) const = default;
};

// Pen styles, numbered as the platform numbers them. Styled pens (dash, dot, ...) are 1 pixel
// wide whatever width they are given, and draw solid when asked wider than 1, as the platform's
// pens do.
enum class PenStyle : int32_t {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Null = 5
};

struct Pen {
    PenStyle style = PenStyle::Solid;
    int32_t width = 1; // 0 and 1 both mean one pixel, whatever the device
    Colour colour = kBlack;
    bool operator==(const Pen&) const = default;
};

enum class BrushStyle : int32_t { Solid = 0, Null = 1 };

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    Colour colour = kWhite;
    bool operator==(const Brush&) const = default;
};

// Whether the gaps of styled pens and the cells behind text are filled with the background
// colour (Opaque) or left alone (Transparent).
enum class BackgroundMode : int32_t { Transparent = 1, Opaque = 2 };

// Text alignment flags of TextOut, valued as the platform values them. One horizontal flag
// (left, right) combined with one vertical flag (top, bottom, baseline).
using TextAlign = uint32_t;
constexpr TextAlign kTaLeft = 0;
constexpr TextAlign kTaRight = 2;
constexpr TextAlign kTaTop = 0;
constexpr TextAlign kTaBottom = 8;
constexpr TextAlign kTaBaseline = 24;
constexpr TextAlign kTaHorizontalMask = 6;
constexpr TextAlign kTaVerticalMask = 24;

// Cell height of a font asked with lfHeight 0.
constexpr int32_t kDefaultFontCellHeight = 16;

// What GetDeviceCaps answers: BITSPIXEL, LOGPIXELSX, LOGPIXELSY, HORZRES, VERTRES.
struct DeviceInfo {
    int32_t bitsPerPixel = 32;
    int32_t pixelsPerInchX = 96;
    int32_t pixelsPerInchY = 96;
    int64_t width = 0; // pixels
    int64_t height = 0;
    bool operator==(const DeviceInfo&) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual DeviceInfo deviceInfo() = 0;

    // --- State ------------------------------------------------------------------------------
    virtual Pen selectPen(const Pen& pen) = 0;
    virtual Brush selectBrush(const Brush& brush) = 0;
    // The font is asked for by a logical font record:
    //  - lfHeight > 0 is the cell height (ascent + descent, the height TextOut's alignment and
    //    textExtent use); lfHeight < 0 is the character height |lfHeight| (the em, without the
    //    internal leading); 0 asks for a cell of kDefaultFontCellHeight pixels;
    //  - lfWidth is the average character width (0: the face's own proportions); the glyphs are
    //    condensed or expanded to reach it;
    //  - lfWeight (0 = 400), lfItalic, lfUnderline, lfStrikeOut and lfFaceName (UTF-8) as given;
    //    escapement, orientation, character set and the precision fields are not used.
    virtual LogFont selectFont(const LogFont& font) = 0;
    virtual Colour setTextColour(Colour colour) = 0;
    virtual TextAlign setTextAlign(TextAlign align) = 0;
    virtual BackgroundMode setBackgroundMode(BackgroundMode mode) = 0;
    virtual Colour setBackgroundColour(Colour colour) = 0;

    // --- Lines with the selected pen ----------------------------------------------------------
    // Sets the current position; returns the previous one.
    virtual Point moveTo(int64_t x, int64_t y) = 0;
    // A line from the current position to (x, y), which becomes the current position.
    virtual void lineTo(int64_t x, int64_t y) = 0;
    // Joined segments through the points; neither uses nor moves the current position.
    virtual void polyline(std::span<const Point> points) = 0;
    // Cubic Bézier curves: a start point, then three points (two control points and an end)
    // per curve, each curve starting where the previous one ended. Any other count draws
    // nothing. The current position is not used.
    virtual void polyBezier(std::span<const Point> points) = 0;
    // The part of the ellipse inscribed in the bounding box that runs counter-clockwise (as
    // seen on the device) from the radial through (xStart, yStart) to the radial through
    // (xEnd, yEnd); both radials start at the box's centre and the points need not lie on the
    // ellipse. When the radials coincide the whole ellipse is drawn. Not filled; the current
    // position is not used.
    virtual void arc(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t xStart,
                     int64_t yStart, int64_t xEnd, int64_t yEnd) = 0;

    // --- Areas ----------------------------------------------------------------------------------
    // Filled with the selected brush and outlined with the selected pen; the corners may come in
    // any order. With a 1-pixel pen the outline runs along columns left and right-1 and rows top
    // and bottom-1. With the null pen only left..right-2 × top..bottom-2 is filled.
    virtual void rectangle(int64_t left, int64_t top, int64_t right, int64_t bottom) = 0;
    // left..right-1 × top..bottom-1 in the brush's colour; nothing when right <= left or
    // bottom <= top. The selected brush and pen are not used.
    virtual void fillRect(const Rect& rect, const Brush& brush) = 0;
    // The 1-pixel border of left..right-1 × top..bottom-1 in the brush's colour; nothing when
    // right <= left or bottom <= top.
    virtual void frameRect(const Rect& rect, const Brush& brush) = 0;

    // --- Text in the selected font, colour and alignment --------------------------------------
    // Width (sum of the advances) and height (the font's cell height) of the text.
    virtual Extent textExtent(std::string_view text) = 0;
    // The reference point (x, y) is, vertically, the top of the text cell (kTaTop), its bottom
    // (kTaBottom: the cell lies above y) or the baseline (kTaBaseline); horizontally, the start
    // of the text (kTaLeft) or its end (kTaRight: the text lies left of x). The current position
    // is neither used nor moved.
    virtual void textOut(int64_t x, int64_t y, std::string_view text) = 0;

    // --- Pictures -------------------------------------------------------------------------------
    // Stretches a source rectangle of a packed device-independent bitmap over a destination
    // rectangle, copying the pixels (no blending, nearest pixel):
    //  - `dib` holds a BITMAPINFOHEADER (biSize bytes), then three 32-bit colour masks when the
    //    compression is bit fields and biSize is 40, then biClrUsed palette entries (blue,
    //    green, red, 0; 2^bitCount when biClrUsed is 0 and bitCount <= 8), then the rows, each
    //    padded to 4 bytes. biHeight > 0 stores the bottom row first, biHeight < 0 the top row.
    //  - Source coordinates count rows from the bottom row for a bottom-up bitmap and from the
    //    top row for a top-down one, so (0, 0, width, height) is the whole picture upright.
    //  - A negative destination width or height runs from (x, y) to the left or upward, over
    //    the |width| columns x+width+1..x (rows likewise) and mirrors the picture: a bottom-up
    //    bitmap drawn with a negative height shows its first stored row at the top.
    // Returns false, drawing nothing, when the bitmap is malformed or of an unsupported kind
    // (1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or bit fields, are supported).
    virtual bool stretchDib(int64_t x, int64_t y, int64_t width, int64_t height, int32_t srcX,
                            int32_t srcY, int32_t srcWidth, int32_t srcHeight, const uint8_t* dib,
                            size_t dibSize) = 0;
    // The picture of flag `flagNumber` (a country code) stretched over width × height pixels
    // at (x, y). Nothing when the width or the height is not positive, or when the canvas has
    // no flag pictures.
    virtual void drawFlag(int32_t flagNumber, int64_t x, int64_t y, int64_t width,
                          int64_t height) = 0;
};

// --- Packed device-independent bitmaps -----------------------------------------------------------

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kBitmapInfoHeaderSize = 40;

// Where the parts of a packed DIB lie.
struct DibLayout {
    int32_t width = 0;
    int32_t height = 0;   // |biHeight|
    bool bottomUp = true; // biHeight > 0
    int32_t bitCount = 0; // 1, 4, 8, 16, 24 or 32
    uint32_t compression = kBiRgb;
    uint32_t redMask = 0; // 16 and 32 bits: the masks in force (the defaults for kBiRgb)
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    size_t paletteOffset = 0;
    size_t paletteCount = 0; // entries of 4 bytes
    size_t bitsOffset = 0;
    size_t rowSize = 0; // bytes per row, a multiple of 4
};

namespace dib_detail {
inline uint32_t ReadU32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
} // namespace dib_detail

// Reads the header of a packed DIB of `size` bytes; false when it is malformed, of an
// unsupported kind, or shorter than its rows.
inline bool ReadDibLayout(const uint8_t* dib, size_t size, DibLayout& out) {
    using dib_detail::ReadU16;
    using dib_detail::ReadU32;
    if (dib == nullptr || size < kBitmapInfoHeaderSize) return false;
    const uint32_t headerSize = ReadU32(dib);
    const auto width = static_cast<int32_t>(ReadU32(dib + 4));
    const auto height = static_cast<int32_t>(ReadU32(dib + 8));
    const uint16_t planes = ReadU16(dib + 12);
    const uint16_t bitCount = ReadU16(dib + 14);
    const uint32_t compression = ReadU32(dib + 16);
    const uint32_t coloursUsed = ReadU32(dib + 32);
    if (headerSize < kBitmapInfoHeaderSize || headerSize > size || planes != 1) return false;
    if (width <= 0 || width > (1 << 24) || height == 0 || height == INT32_MIN ||
        height > (1 << 24) || height < -(1 << 24))
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    if (compression != kBiRgb &&
        !(compression == kBiBitfields && (bitCount == 16 || bitCount == 32)))
        return false;
    if (coloursUsed > 65536 || (bitCount <= 8 && coloursUsed > (1u << bitCount))) return false;

    DibLayout layout;
    layout.width = width;
    layout.height = height > 0 ? height : -height;
    layout.bottomUp = height > 0;
    layout.bitCount = bitCount;
    layout.compression = compression;
    size_t offset = headerSize;
    if (compression == kBiBitfields) {
        if (size < kBitmapInfoHeaderSize + 12) return false;
        layout.redMask = ReadU32(dib + 40);
        layout.greenMask = ReadU32(dib + 44);
        layout.blueMask = ReadU32(dib + 48);
        if (headerSize == kBitmapInfoHeaderSize) offset += 12;
    } else if (bitCount == 16) {
        layout.redMask = 0x7C00;
        layout.greenMask = 0x03E0;
        layout.blueMask = 0x001F;
    } else if (bitCount == 32) {
        layout.redMask = 0xFF0000;
        layout.greenMask = 0xFF00;
        layout.blueMask = 0xFF;
    }
    layout.paletteOffset = offset;
    layout.paletteCount = coloursUsed != 0 ? coloursUsed : (bitCount <= 8 ? (1u << bitCount) : 0);
    layout.bitsOffset = offset + 4 * layout.paletteCount;
    layout.rowSize = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    const size_t needed = layout.bitsOffset + layout.rowSize * static_cast<size_t>(layout.height);
    if (needed > size) return false;
    out = layout;
    return true;
}

} // namespace arbolix
