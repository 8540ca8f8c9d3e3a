#pragma once
// The chart drawn off screen and saved: pictures (BMP, JPEG, PNG, TIFF through the picture
// writers), SVG, and PDF posters of several pages. Every file is written completely or not at
// all; failures are reported and give -1.

#include <QImage>

#include <cstdint>
#include <string>

#include "base/settings.h"
#include "chart/chart_pass.h"
#include "chart/qt_canvas.h"
#include "data/person_store.h"
#include "export/export_progress.h"
#include "export/picture_writer.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;

// The chart as the view shows it. Drawing writes the boxes' rectangles into the tree.
struct ChartToDraw {
    ChartTree& tree;
    const PersonStore& store;
    ChartSettings& settings;
    ChartView view;
    Reporter& reporter;
};

// The chart on a white width × height picture of 32 bits per pixel, origin (0, 0). A null image
// when the picture cannot be allocated (reported "Mémoire insuffisante") or when `progress`,
// told as the drawing goes, stopped it (not reported).
QImage RenderChartImage(const ChartToDraw& chart, int32_t width, int32_t height,
                        TextSmoothing smoothing = TextSmoothing::Smoothed,
                        ExportProgress* progress = nullptr);

// How a picture of the colour mode draws its text. A monochrome picture is drawn on a surface of
// one bit per pixel, where text is never smoothed; the other modes are drawn in true colour and
// reduced afterwards, with smoothed text.
TextSmoothing PictureTextSmoothing(ColourMode mode);

// The chart's own proportions in whole units, for a picture height of 0: width, then height.
PictureSize ChartProportions(const ChartTree& tree, const ChartSettings& settings);

// Renders at `size` (already adjusted, AdjustPictureSize) and writes the picture in the format
// the path's extension names. UnknownType when it names none of the four.
PictureWriteResult ExportChartPicture(const ChartToDraw& chart, PictureSize size, ColourMode mode,
                                      const std::string& path);

// An SVG drawing of width × height pixels.
int32_t WriteSvgChart(const ChartToDraw& chart, int32_t width, int32_t height, const std::string& path);

enum class PaperSize { A4, A3, A0, Letter };

struct PosterLayout {
    int32_t pagesWide = 1; // 1..8
    int32_t pagesHigh = 1;
    PaperSize paper = PaperSize::A4;
    int32_t dotsPerInch = 300;
    // The assembly aid (PosterSheets): millimetres shared by neighbouring sheets, 0..20, and the
    // cut marks with the sheets' labels.
    int32_t overlapMillimetres = 0;
    bool cutMarks = false;
};

// A PDF of pagesWide × pagesHigh pages, one tile of the poster on each, as printing lays them
// out (PaintPoster). Each page is portrait or landscape, whichever gives the poster the shape
// nearest to the chart's.
int32_t WritePdfPoster(const ChartToDraw& chart, const PosterLayout& layout, const std::string& path);

} // namespace arbolix
