#pragma once
// The chart's canvas on any Qt paint device (QImage, QWidget, QPrinter, QSvgGenerator,
// QPdfWriter) through QPainter, keeping the conventions of a classic raster device context:
//  - lines and rectangles are drawn without antialiasing, so that charts are pixel exact; text is
//    smoothed or drawn with whole pixels, as the canvas is told (TextSmoothing);
//  - pens of width 0 or 1 are cosmetic 1-pixel pens that leave out the last pixel of a line;
//    styled pens use the device's cosmetic patterns (dash 18/6, dot 3/3, dash-dot 9/6/3/6,
//    dash-dot-dot 9/3/3/3/3/3 pixels) and are solid when wider than 1; wider pens have round ends
//    and joins;
//  - fonts: the cell height sets the pixel size through the face's ascent + descent; the average
//    character width is reached by stretching the glyphs (QFont::setStretch), against the
//    face's average width measured the classic TrueType way (the weighted average of the
//    lower-case letters and the space). Pixel devices draw the stretched font itself; other
//    devices (SVG, PDF, printers), some of which ignore a font's stretch, draw each text in
//    the unstretched font under a horizontal scale about its origin, so that its drawn width is
//    the one textExtent measured. On Linux, Liberation Serif stands in for
//    "Times New Roman" with the same advances, so that a chart fits its texts the same way.
//    Kerning is off, as in classic device text output;
//  - 64-bit coordinates are brought within the device's reach before they reach QPainter:
//    lines are clipped geometrically against the device rectangle enlarged by a margin, areas
//    are clamped, curves, arcs, texts and pictures lying wholly outside are skipped, and Bézier
//    curves far outside are cut to their visible pieces.
// Windows-1252 text is converted to Unicode.

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QTransform>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

#include "chart/canvas.h"

class QImage;
class QPainter;
class QPaintDevice;

namespace arbolix {

// How the canvas draws text: smoothed (antialiased) as on a colour screen, or with whole pixels
// only, as the platform draws text on a surface of two colours or of a palette, where smoothed
// edges would be rounded to one colour or the other and thin strokes lost.
enum class TextSmoothing { Smoothed, WholePixels };

class QtCanvas final : public Canvas {
public:
    // Draws the flag of `flagNumber` into `target` (device coordinates of `painter`). The canvas
    // saves and restores the painter's state around the call.
    using FlagPainter =
        std::function<void(QPainter& painter, int32_t flagNumber, const QRect& target)>;

    // Opens its own painter on the device (closed when the canvas goes away).
    explicit QtCanvas(QPaintDevice& device, TextSmoothing smoothing = TextSmoothing::Smoothed);
    // Draws with a painter already open (a widget's paint event, a printer page); the painter's
    // state is saved here and restored when the canvas goes away. Its transformation is taken
    // into account when the device rectangle is worked out.
    explicit QtCanvas(QPainter& painter, TextSmoothing smoothing = TextSmoothing::Smoothed);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // Without a flag painter drawFlag draws nothing.
    void setFlagPainter(FlagPainter flagPainter) { flagPainter_ = std::move(flagPainter); }

    // Margin, in pixels, by which the device rectangle is enlarged for clipping: cut ends and
    // clamped edges land this far outside the device, out of sight even for wide pens.
    static constexpr int64_t kClipMargin = 1024;

    // --- Canvas ----------------------------------------------------------------------------------
    DeviceInfo deviceInfo() override { return info_; }
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
    struct FontEntry {
        QFont font; // as measured
        QFontMetricsF metrics;
        int64_t ascent = 0;
        int64_t descent = 0;
        // On devices that scale texts instead of stretching fonts, a stretched font's
        // unstretched twin, which is the one drawn.
        std::optional<QFont> unstretched;
    };
    struct LogFontHash {
        size_t operator()(const LogFont& font) const;
    };
    enum class PainterPen { Unknown, Line, Text };

    void setUp();
    void useLinePen();
    void useTextFont(const FontEntry& font);
    void drawScaledText(const FontEntry& font, const QString& text, QPointF origin);
    const FontEntry& currentFont();
    std::unique_ptr<FontEntry> makeFont(const LogFont& logFont);
    double cellRatio(const QFont& font);
    double averageWidth(const QFont& font);
    void drawSegment(Point from, Point to);
    void fillArea(Rect area, Colour colour);
    // The 1-pixel border of left..right-1 × top..bottom-1. On devices that are not pixel rasters
    // (printers, PDF, SVG, the print preview's pictures) it is a cosmetic line like every line of
    // the chart: one device pixel on paper, and one pixel of whatever screen shows the page,
    // however much the page is scaled down there.
    void outline(const Rect& rect, Colour colour);
    // Draws `source` (a rectangle of `image`) over `dest` (pixels dest.left..dest.right-1, rows
    // likewise), mirrored as asked, painting only the part of `dest` near the device: however
    // large `dest` is, the work is that of the visible pixels.
    void drawStretched(const QImage& image, const QRectF& source, bool mirrorX, bool mirrorY,
                       const Rect& dest);

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_ = nullptr;
    bool active_ = false;
    TextSmoothing smoothing_ = TextSmoothing::Smoothed;
    bool scalesText_ = false; // texts are squeezed by a transformation, not by the font
    DeviceInfo info_;
    Rect deviceBox_;           // the device, in the painter's coordinates
    Rect clipBox_;             // the device enlarged by kClipMargin
    Rect reachBox_;            // what may be handed to QPainter as it is
    QTransform baseTransform_; // the painter's own transformation
    FlagPainter flagPainter_;

    // Device state.
    Point position_;
    Pen pen_;
    Brush brush_;
    LogFont logFont_;
    Colour textColour_ = kBlack;
    TextAlign textAlign_ = kTaTop | kTaLeft;
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
    Colour backgroundColour_ = kWhite;

    // What the painter holds, to change it only when needed.
    QPen linePen_;
    bool linePenStyled_ = false;
    PainterPen painterPen_ = PainterPen::Unknown;
    Colour painterTextColour_ = kBlack;
    const FontEntry* font_ = nullptr; // the entry of logFont_, made on first use
    const FontEntry* painterFont_ = nullptr;

    std::unordered_map<LogFont, std::unique_ptr<FontEntry>, LogFontHash> fonts_;
    QHash<QString, double> cellRatios_;    // by face (family, weight, italic)
    QHash<QString, double> averageWidths_; // by face and pixel size
};

} // namespace arbolix
