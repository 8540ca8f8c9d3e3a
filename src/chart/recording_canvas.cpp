#include "chart/recording_canvas.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/reporter.h"

namespace arbolix {

namespace {

std::string ColourText(Colour colour) {
    return Format("0x%06" PRIX32, colour);
}

const char* PenStyleName(PenStyle style) {
    switch (style) {
    case PenStyle::Solid:
        return "solid";
    case PenStyle::Dash:
        return "dash";
    case PenStyle::Dot:
        return "dot";
    case PenStyle::DashDot:
        return "dashdot";
    case PenStyle::DashDotDot:
        return "dashdotdot";
    case PenStyle::Null:
        return "null";
    }
    return "unknown";
}

std::string BrushText(const Brush& brush) {
    return brush.style == BrushStyle::Null ? std::string("null") : ColourText(brush.colour);
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += Format("\\x%02X", byte);
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

// " 1 2 3 4" for the given values.
std::string Numbers(std::initializer_list<int64_t> values) {
    std::string out;
    for (const int64_t value : values) out += Format(" %" PRId64, value);
    return out;
}

std::string PointsText(std::span<const Point> points) {
    std::string out;
    for (const Point& p : points) out += Format(" %" PRId64 " %" PRId64, p.x, p.y);
    return out;
}

} // namespace

std::string TextAlignName(TextAlign align) {
    std::string out;
    switch (align & kTaVerticalMask) {
    case kTaBottom:
        out = "TA_BOTTOM";
        break;
    case kTaBaseline:
        out = "TA_BASELINE";
        break;
    default:
        out = "TA_TOP";
        break;
    }
    out += (align & kTaHorizontalMask) == kTaRight ? "|TA_RIGHT" : "|TA_LEFT";
    return out;
}

RecordingCanvas::RecordingCanvas(const DeviceInfo& device) : device_(device) {}

std::vector<std::string> RecordingCanvas::linesStartingWith(std::string_view prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines_)
        if (std::string_view(line).starts_with(prefix)) out.push_back(line);
    return out;
}

size_t RecordingCanvas::countStartingWith(std::string_view prefix) const {
    size_t count = 0;
    for (const std::string& line : lines_)
        if (std::string_view(line).starts_with(prefix)) ++count;
    return count;
}

int64_t RecordingCanvas::CellHeight(const LogFont& font) {
    if (font.lfHeight == 0) return kDefaultFontCellHeight;
    return std::llabs(static_cast<int64_t>(font.lfHeight));
}

int64_t RecordingCanvas::CharWidth(const LogFont& font) {
    if (font.lfWidth == 0) return CellHeight(font) / 2;
    return std::llabs(static_cast<int64_t>(font.lfWidth));
}

DeviceInfo RecordingCanvas::deviceInfo() {
    lines_.push_back(Format("DeviceInfo %" PRId32 " %" PRId32 " %" PRId32 " %" PRId64 " %" PRId64,
                            device_.bitsPerPixel, device_.pixelsPerInchX, device_.pixelsPerInchY,
                            device_.width, device_.height));
    return device_;
}

Pen RecordingCanvas::selectPen(const Pen& pen) {
    lines_.push_back(Format("Pen %s %" PRId32 " ", PenStyleName(pen.style), pen.width) +
                     ColourText(pen.colour));
    return std::exchange(pen_, pen);
}

Brush RecordingCanvas::selectBrush(const Brush& brush) {
    lines_.push_back(brush.style == BrushStyle::Null ? std::string("Brush null")
                                                     : "Brush solid " + ColourText(brush.colour));
    return std::exchange(brush_, brush);
}

LogFont RecordingCanvas::selectFont(const LogFont& font) {
    const std::string_view face(font.lfFaceName, strnlen(font.lfFaceName, kFaceNameSize));
    std::string line = Format("Font h=%" PRId32 " w=%" PRId32 " ", font.lfHeight, font.lfWidth) +
                       Quoted(face) + Format(" %" PRId32, font.lfWeight);
    if (font.lfItalic) line += " italic";
    if (font.lfUnderline) line += " underline";
    if (font.lfStrikeOut) line += " strikeout";
    lines_.push_back(std::move(line));
    return std::exchange(font_, font);
}

Colour RecordingCanvas::setTextColour(Colour colour) {
    lines_.push_back("TextColor " + ColourText(colour));
    return std::exchange(textColour_, colour);
}

TextAlign RecordingCanvas::setTextAlign(TextAlign align) {
    lines_.push_back("TextAlign " + TextAlignName(align));
    return std::exchange(textAlign_, align);
}

BackgroundMode RecordingCanvas::setBackgroundMode(BackgroundMode mode) {
    lines_.push_back(mode == BackgroundMode::Opaque ? "BkMode opaque" : "BkMode transparent");
    return std::exchange(backgroundMode_, mode);
}

Colour RecordingCanvas::setBackgroundColour(Colour colour) {
    lines_.push_back("BkColor " + ColourText(colour));
    return std::exchange(backgroundColour_, colour);
}

Point RecordingCanvas::moveTo(int64_t x, int64_t y) {
    lines_.push_back("MoveTo" + Numbers({x, y}));
    const Point previous = position_;
    position_ = {x, y};
    return previous;
}

void RecordingCanvas::lineTo(int64_t x, int64_t y) {
    lines_.push_back("LineTo" + Numbers({x, y}));
    position_ = {x, y};
}

void RecordingCanvas::polyline(std::span<const Point> points) {
    lines_.push_back("Polyline" + PointsText(points));
}

void RecordingCanvas::polyBezier(std::span<const Point> points) {
    lines_.push_back("PolyBezier" + PointsText(points));
}

void RecordingCanvas::arc(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t xStart,
                          int64_t yStart, int64_t xEnd, int64_t yEnd) {
    lines_.push_back("Arc" + Numbers({left, top, right, bottom, xStart, yStart, xEnd, yEnd}));
}

void RecordingCanvas::rectangle(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    lines_.push_back("Rectangle" + Numbers({left, top, right, bottom}));
}

void RecordingCanvas::fillRect(const Rect& rect, const Brush& brush) {
    lines_.push_back("FillRect" + Numbers({rect.left, rect.top, rect.right, rect.bottom}) + " " +
                     BrushText(brush));
}

void RecordingCanvas::frameRect(const Rect& rect, const Brush& brush) {
    lines_.push_back("FrameRect" + Numbers({rect.left, rect.top, rect.right, rect.bottom}) + " " +
                     BrushText(brush));
}

Extent RecordingCanvas::textExtent(std::string_view text) {
    const Extent extent{static_cast<int64_t>(text.size()) * CharWidth(font_), CellHeight(font_)};
    lines_.push_back("TextExtent " + Quoted(text) + Numbers({extent.cx, extent.cy}));
    return extent;
}

void RecordingCanvas::textOut(int64_t x, int64_t y, std::string_view text) {
    lines_.push_back("TextOut" + Numbers({x, y}) + " " + TextAlignName(textAlign_) + " " +
                     Quoted(text));
}

bool RecordingCanvas::stretchDib(int64_t x, int64_t y, int64_t width, int64_t height, int32_t srcX,
                                 int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                                 const uint8_t* dib, size_t dibSize) {
    std::string line =
        "StretchDIBits" + Numbers({x, y, width, height, srcX, srcY, srcWidth, srcHeight});
    DibLayout layout;
    const bool valid = ReadDibLayout(dib, dibSize, layout);
    if (valid) {
        line += Format(" %" PRId32 "x%" PRId32 "x%" PRId32, layout.width,
                       layout.bottomUp ? layout.height : -layout.height, layout.bitCount);
    } else {
        line += " invalid";
    }
    lines_.push_back(std::move(line));
    return valid;
}

void RecordingCanvas::drawFlag(int32_t flagNumber, int64_t x, int64_t y, int64_t width,
                               int64_t height) {
    lines_.push_back("Flag" + Numbers({flagNumber, x, y, width, height}));
}

} // namespace arbolix
