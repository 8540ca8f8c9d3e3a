#pragma once
// Text sizes of a drawing pass: the shape of the drawing area, the height of the texts and the
// date font, the font fitted to one text in one box, and the label of a person.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/log_font.h"
#include "base/settings.h"
#include "chart/canvas.h"
#include "tree/tree_tables.h"

namespace arbolix {

// The chart's own sizes the texts depend on.
struct ChartMetrics {
    double extentX = 0;        // layout units
    double larg = 50;          // box length, layout units
    double yMin = 0;
    double yMax = 0;
    int32_t longestSurname = 0;
    int32_t longestGivenName = 0;
    int64_t zoom = 1;

    static ChartMetrics Of(const ChartTree& tree, const ChartSettings& settings, int64_t zoom);
};

// The drawing's width and height in pixels at zoom 1: the area given, narrowed or lowered so that
// the drawing's shape stays between 0.7 and 1.5 times the chart's own.
struct DrawingArea {
    double width = 0;
    double height = 0;
};
DrawingArea FitDrawingSize(int64_t width, int64_t height, const ChartMetrics& chart);

// The pixel width a text may take in a box: the box length less the flag's 15 units when flags
// are shown, less 2 units of margin.
int64_t AvailableTextWidth(const ChartMetrics& chart, const DrawingArea& area, bool flags);

// A font made from the settings' record with the given cell height and average character width.
LogFont MakeFont(const LogFont& style, int32_t height, int32_t width);

// The text height of the pass (0: no texts this pass) and the date font, made so that "2999" fits
// in 9 units. `dateFontReady` tells whether `dateFont` may be used.
int32_t MakeDateFont(Canvas& canvas, const ChartSettings& settings, const ChartMetrics& chart,
                     const DrawingArea& area, LogFont& dateFont, bool& dateFontReady);

// The font for `text` in a box of `avail` pixels at the given height: the glyphs keep the height
// and are narrowed until the text fits. Returns the height, or 0 when no font fits.
int32_t FitFont(Canvas& canvas, const LogFont& style, int64_t avail, std::string_view text, int32_t height,
                LogFont& font);

// "SURNAME G." or "SURNAME Given" (names first when `inverse_nom`): Windows-1252.
std::string ComposeLabel(std::string_view surname, std::string_view givenName, const ChartSettings& settings);

} // namespace arbolix
