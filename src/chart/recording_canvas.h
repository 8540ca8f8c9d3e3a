#pragma once
// A canvas that draws nothing and writes down every call as one line of text, for the tests of
// everything that draws. It keeps its state as a device does and measures text with a fixed-pitch
// font whose metrics are easy to predict:
//  - the cell height is lfHeight (its absolute value; kDefaultFontCellHeight for 0);
//  - every character is exactly as wide as the font's width: |lfWidth|, or half the cell height
//    (rounded down) when lfWidth is 0;
//  - so textExtent(text) = (text length × width, cell height).
//
// The lines, with exact integer coordinates and colours as 0xBBGGRR:
//   DeviceInfo 32 96 96 1024 768                     bits per pixel, pixels per inch x and y, size
//   Pen dash 1 0x000000                              solid, dash, dot, dashdot, dashdotdot, null
//   Brush solid 0xFFFFFF | Brush null
//   Font h=20 w=12 "Times New Roman" 400 italic underline strikeout   (the last three when set;
//                                                    h and w as asked)
//   TextColor 0x0000FF    TextAlign TA_BOTTOM|TA_RIGHT    BkMode transparent    BkColor 0xFFFFFF
//   MoveTo 10 20    LineTo 30 20
//   Polyline 0 0 10 0 10 10    PolyBezier 0 0 5 0 0 5 5 5
//   Arc 0 0 100 100 100 50 50 0
//   Rectangle 10 20 110 40
//   FillRect 0 0 10 10 0xFFFFFF    FrameRect 0 0 10 10 0x000000    (null brush: "null")
//   TextExtent "DUPONT" 72 20
//   TextOut 12 20 TA_TOP|TA_LEFT "DUPONT"
//   StretchDIBits 0 39 100 -40 0 0 256 256 256x256x24    (biWidth x biHeight x bits per pixel,
//                                                    or "invalid" when the bitmap is refused)
//   Flag 33 200 10 30 20
// Texts are written as they are (Windows-1252 bytes) between double quotes; a double quote, a
// backslash and bytes below 0x20 are written as \", \\ and \xNN.

#include <string>
#include <string_view>
#include <vector>

#include "chart/canvas.h"

namespace arbolix {

class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(const DeviceInfo& device = {32, 96, 96, 1024, 768});

    // --- What was recorded ----------------------------------------------------------------------
    const std::vector<std::string>& lines() const { return lines_; }
    // The lines that begin with `prefix` ("TextOut ", "LineTo"), in order.
    std::vector<std::string> linesStartingWith(std::string_view prefix) const;
    size_t countStartingWith(std::string_view prefix) const;
    // Forgets the lines; the state stays.
    void clear() { lines_.clear(); }

    // --- State
    // ------------------------------------------------------------------------------------
    void setDeviceInfo(const DeviceInfo& device) { device_ = device; }
    Point currentPosition() const { return position_; }
    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    const LogFont& font() const { return font_; }
    Colour textColour() const { return textColour_; }
    TextAlign textAlign() const { return textAlign_; }
    BackgroundMode backgroundMode() const { return backgroundMode_; }
    Colour backgroundColour() const { return backgroundColour_; }

    // The metrics of the fixed font (see above).
    static int64_t CellHeight(const LogFont& font);
    static int64_t CharWidth(const LogFont& font);

    // --- Canvas ----------------------------------------------------------------------------------
    DeviceInfo deviceInfo() override;
    Pen selectPen(const Pen& pen) override;
    Brush selectBrush(const Brush& brush) override;
    LogFont selectFont(const LogFont& font) override;
    Colour setTextColour(Colour colour) override;
    TextAlign setTextAlign(TextAlign align) override;
    BackgroundMode setBackgroundMode(BackgroundMode mode) override;
    Colour setBackgroundColour(Colour colour) override;
    Point moveTo(int64_t x, int64_t y) override;
    void lineTo(int64_t x, int64_t y) override;
    void polyline(std::span<const Point> points) override;
    void polyBezier(std::span<const Point> points) override;
    void arc(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t xStart,
             int64_t yStart, int64_t xEnd, int64_t yEnd) override;
    void rectangle(int64_t left, int64_t top, int64_t right, int64_t bottom) override;
    void fillRect(const Rect& rect, const Brush& brush) override;
    void frameRect(const Rect& rect, const Brush& brush) override;
    Extent textExtent(std::string_view text) override;
    void textOut(int64_t x, int64_t y, std::string_view text) override;
    bool stretchDib(int64_t x, int64_t y, int64_t width, int64_t height, int32_t srcX, int32_t srcY,
                    int32_t srcWidth, int32_t srcHeight, const uint8_t* dib,
                    size_t dibSize) override;
    void drawFlag(int32_t flagNumber, int64_t x, int64_t y, int64_t width, int64_t height) override;

private:
    DeviceInfo device_;
    std::vector<std::string> lines_;
    Point position_;
    Pen pen_;
    Brush brush_;
    LogFont font_;
    Colour textColour_ = kBlack;
    TextAlign textAlign_ = kTaTop | kTaLeft;
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
    Colour backgroundColour_ = kWhite;
};

// "TA_TOP|TA_LEFT", "TA_BASELINE|TA_RIGHT", ...
std::string TextAlignName(TextAlign align);

} // namespace arbolix
