#include "export/export_progress.h"

namespace arbolix {

bool ProgressCanvas::draws() {
    if (stopped_) return false;
    if (++calls_ % kCallsPerTick == 0 && !progress_.drawing()) stopped_ = true;
    return !stopped_;
}

void ProgressCanvas::lineTo(int64_t x, int64_t y) {
    // The current position moves even when nothing is drawn.
    if (draws())
        target_.lineTo(x, y);
    else
        target_.moveTo(x, y);
}

void ProgressCanvas::polyline(std::span<const Point> points) {
    if (draws()) target_.polyline(points);
}

void ProgressCanvas::polyBezier(std::span<const Point> points) {
    if (draws()) target_.polyBezier(points);
}

void ProgressCanvas::arc(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t xStart,
                         int64_t yStart, int64_t xEnd, int64_t yEnd) {
    if (draws()) target_.arc(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

void ProgressCanvas::rectangle(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (draws()) target_.rectangle(left, top, right, bottom);
}

void ProgressCanvas::fillRect(const Rect& rect, const Brush& brush) {
    if (draws()) target_.fillRect(rect, brush);
}

void ProgressCanvas::frameRect(const Rect& rect, const Brush& brush) {
    if (draws()) target_.frameRect(rect, brush);
}

void ProgressCanvas::textOut(int64_t x, int64_t y, std::string_view text) {
    if (draws()) target_.textOut(x, y, text);
}

bool ProgressCanvas::stretchDib(int64_t x, int64_t y, int64_t width, int64_t height, int32_t srcX,
                                int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                                const uint8_t* dib, size_t dibSize) {
    // A dropped picture is no failure of the bitmap: the drawing is abandoned anyway.
    if (!draws()) return true;
    return target_.stretchDib(x, y, width, height, srcX, srcY, srcWidth, srcHeight, dib, dibSize);
}

void ProgressCanvas::drawFlag(int32_t flagNumber, int64_t x, int64_t y, int64_t width,
                              int64_t height) {
    if (draws()) target_.drawFlag(flagNumber, x, y, width, height);
}

} // namespace arbolix
