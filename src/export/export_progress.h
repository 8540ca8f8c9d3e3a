#pragma once
// Feedback while a chart is exported, and the way to stop it. The drawing itself cannot be
// interrupted, so it is watched through its canvas: every few drawing calls the progress is told,
// and once it asked to stop, the rest of the drawing is dropped and nothing is written.

#include <cstdint>

#include "chart/canvas.h"

namespace arbolix {

enum class ExportStage {
    Drawing, // the chart is drawn into the picture
    Writing, // the picture is converted and written
};

class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // A stage begins. False stops the export.
    virtual bool stage(ExportStage stage) = 0;
    // Told now and then while the chart is drawn. False stops the export.
    virtual bool drawing() = 0;
};

// Passes every call on to `target` and tells `progress` after every kCallsPerTick drawing calls.
// Once the progress asked to stop, drawing calls are dropped (state and measures still go
// through, so that the drawing runs to its end quickly and consistently).
class ProgressCanvas final : public Canvas {
public:
    static constexpr int32_t kCallsPerTick = 32;

    ProgressCanvas(Canvas& target, ExportProgress& progress)
        : target_(target), progress_(progress) {}
    bool stopped() const { return stopped_; }

    DeviceInfo deviceInfo() override { return target_.deviceInfo(); }
    Pen selectPen(const Pen& pen) override { return target_.selectPen(pen); }
    Brush selectBrush(const Brush& brush) override { return target_.selectBrush(brush); }
    LogFont selectFont(const LogFont& font) override { return target_.selectFont(font); }
    Colour setTextColour(Colour colour) override { return target_.setTextColour(colour); }
    TextAlign setTextAlign(TextAlign align) override { return target_.setTextAlign(align); }
    BackgroundMode setBackgroundMode(BackgroundMode mode) override {
        return target_.setBackgroundMode(mode);
    }
    Colour setBackgroundColour(Colour colour) override {
        return target_.setBackgroundColour(colour);
    }
    Point moveTo(int64_t x, int64_t y) override { return target_.moveTo(x, y); }
    Extent textExtent(std::string_view text) override { return target_.textExtent(text); }

    void lineTo(int64_t x, int64_t y) override;
    void polyline(std::span<const Point> points) override;
    void polyBezier(std::span<const Point> points) override;
    void arc(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t xStart,
             int64_t yStart, int64_t xEnd, int64_t yEnd) override;
    void rectangle(int64_t left, int64_t top, int64_t right, int64_t bottom) override;
    void fillRect(const Rect& rect, const Brush& brush) override;
    void frameRect(const Rect& rect, const Brush& brush) override;
    void textOut(int64_t x, int64_t y, std::string_view text) override;
    bool stretchDib(int64_t x, int64_t y, int64_t width, int64_t height, int32_t srcX, int32_t srcY,
                    int32_t srcWidth, int32_t srcHeight, const uint8_t* dib,
                    size_t dibSize) override;
    void drawFlag(int32_t flagNumber, int64_t x, int64_t y, int64_t width, int64_t height) override;

private:
    // Counts one drawing call; false when it is to be dropped.
    bool draws();

    Canvas& target_;
    ExportProgress& progress_;
    int32_t calls_ = 0;
    bool stopped_ = false;
};

} // namespace arbolix
