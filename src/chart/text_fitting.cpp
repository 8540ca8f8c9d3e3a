#include "chart/text_fitting.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace arbolix {

namespace {

// Truncates toward zero, staying inside the range of 32-bit font sizes.
int32_t TruncateToInt(double value) {
    if (!(value > -2147483648.0)) return std::numeric_limits<int32_t>::min();
    if (!(value < 2147483647.0)) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

int64_t TruncateToInt64(double value) {
    constexpr double kLimit = 9.0e18;
    if (!(value > -kLimit)) return -static_cast<int64_t>(kLimit);
    if (!(value < kLimit)) return static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(value);
}

} // namespace

ChartMetrics ChartMetrics::Of(const ChartTree& tree, const ChartSettings& settings, int64_t zoom) {
    ChartMetrics metrics;
    metrics.extentX = tree.extentX;
    metrics.larg = settings.larg;
    metrics.yMin = tree.yMin;
    metrics.yMax = tree.yMax;
    metrics.longestSurname = tree.longestSurname;
    metrics.longestGivenName = tree.longestGivenName;
    metrics.zoom = zoom;
    return metrics;
}

DrawingArea FitDrawingSize(int64_t width, int64_t height, const ChartMetrics& chart) {
    DrawingArea area{static_cast<double>(width), static_cast<double>(height)};
    if (area.height <= 0) return area;
    const double ratio = area.width / area.height;
    const double chartW = chart.extentX + chart.larg;
    const double chartH = chart.yMax - chart.yMin + 10;
    if (ratio > 1.5 * chartW / chartH) {
        area.width = 1.5 * chartW * area.height / chartH;
    } else if (ratio < 0.7 * chartW / chartH) {
        area.height = chartH * area.width / (0.7 * chartW);
    }
    return area;
}

int64_t AvailableTextWidth(const ChartMetrics& chart, const DrawingArea& area, bool flags) {
    return TruncateToInt64((chart.larg - 15.0 * (flags ? 1 : 0) - 2) * static_cast<double>(chart.zoom) * area.width /
                           (chart.extentX + chart.larg + 18));
}

LogFont MakeFont(const LogFont& style, int32_t height, int32_t width) {
    LogFont font = style;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    font.lfOutPrecision = 6;  // raster precision
    font.lfClipPrecision = 1; // character precision
    font.lfQuality = 2;       // proof quality
    font.lfPitchAndFamily = 0;
    return font;
}

int32_t MakeDateFont(Canvas& canvas, const ChartSettings& settings, const ChartMetrics& chart,
                     const DrawingArea& area, LogFont& dateFont, bool& dateFontReady) {
    dateFontReady = false;
    const auto z = static_cast<double>(chart.zoom);
    const int64_t lineH = TruncateToInt64(z * area.height * 9.8 / (chart.yMax - chart.yMin + 10));
    const double flag = settings.drapeau != 0 ? 15 : 0;
    const int64_t estimate = TruncateToInt64(
        ((chart.larg - flag) * z * area.width * 0.98 / (chart.extentX + chart.larg) - 2) /
        ((chart.longestGivenName - 1) * (settings.setprenom != 0 ? 1 : 0) + chart.longestSurname + 2));
    if (estimate < 1 || settings.setnom == 0 || lineH < 2) return 0;
    const int32_t maxW = TruncateToInt(z * area.width * 9 / (chart.extentX + chart.larg + 18));
    if (maxW < 1) return 0;
    const int32_t height = TruncateToInt(static_cast<double>((std::min<int64_t>(lineH, INT32_MAX) - 1) / 2));
    int32_t width = maxW;
    dateFont = MakeFont(settings.lf_date, height, width);
    const LogFont previous = canvas.selectFont(dateFont);
    Extent extent = canvas.textExtent("2999");
    while (extent.cx > maxW) {
        width = static_cast<int32_t>(int64_t{maxW} * width / extent.cx);
        if (width < 1) {
            canvas.selectFont(previous);
            return 0;
        }
        dateFont = MakeFont(settings.lf_date, height, width);
        canvas.selectFont(dateFont);
        extent = canvas.textExtent("2999");
    }
    canvas.selectFont(previous);
    const int64_t textH = settings.lieu == 1 ? (2 * lineH) / 3 : lineH;
    if (textH < 3) return 0;
    dateFontReady = true;
    return static_cast<int32_t>(std::min<int64_t>(textH, INT32_MAX));
}

int32_t FitFont(Canvas& canvas, const LogFont& style, int64_t avail, std::string_view text, int32_t height,
                LogFont& font) {
    if (height < 3 || text.empty() || avail <= 0) return 0;
    const auto length = static_cast<int64_t>(text.size());
    const int32_t width = static_cast<int32_t>(std::min<int64_t>(avail / length, height));
    font = MakeFont(style, height, width);
    const LogFont previous = canvas.selectFont(font);
    const Extent extent = canvas.textExtent(text);
    canvas.selectFont(previous);
    if (extent.cx <= avail) return height;
    const int64_t narrower = int64_t{width} * avail / extent.cx;
    if (narrower < 2) return 0;
    font = MakeFont(style, height, static_cast<int32_t>(narrower));
    return height;
}

std::string ComposeLabel(std::string_view surname, std::string_view givenName, const ChartSettings& settings) {
    std::string label;
    const std::string_view initial = givenName.substr(0, 1);
    if (settings.inverse_nom == 0) {
        label.append(surname).append(" ");
        if (settings.setprenom != 0) {
            label.append(givenName);
        } else {
            label.append(initial).append(".");
        }
    } else {
        if (settings.setprenom == 0) {
            label.append(initial).append(". ");
        } else {
            label.append(givenName).append(" ");
        }
        label.append(surname);
    }
    if (label.size() > 127) label.resize(127);
    return label;
}

} // namespace arbolix
