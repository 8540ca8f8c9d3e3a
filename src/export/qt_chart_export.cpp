#include "export/qt_chart_export.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/print_layout.h"
#include "chart/qt_canvas.h"
#include "export/atomic_file.h"
#include "export/qt_poster.h"
#include "fills/qt_flags.h"

namespace arbolix {

namespace {

void DrawOnCanvas(QtCanvas& canvas, const ChartToDraw& chart, const PageTile& tile) {
    canvas.setFlagPainter(
        [](QPainter& painter, int32_t flag, const QRect& target) { DrawFlag(painter, flag, QRectF(target)); });
    DrawChart(canvas, chart.tree, chart.store, chart.settings, chart.view, tile.drawingWidth, tile.drawingHeight,
              tile.origin, chart.reporter);
}

// The same, telling the progress as it goes. False when the progress stopped the drawing.
bool DrawWatched(QtCanvas& canvas, const ChartToDraw& chart, const PageTile& tile,
                 ExportProgress& progress) {
    canvas.setFlagPainter(
        [](QPainter& painter, int32_t flag, const QRect& target) { DrawFlag(painter, flag, QRectF(target)); });
    ProgressCanvas watched(canvas, progress);
    DrawChart(watched, chart.tree, chart.store, chart.settings, chart.view, tile.drawingWidth,
              tile.drawingHeight, tile.origin, chart.reporter);
    return !watched.stopped();
}

PageTile WholePicture(int32_t width, int32_t height) {
    return {Rect{0, 0, width, height}, width, height};
}

int32_t WriteBytes(const QByteArray& bytes, const std::string& path, Reporter& reporter) {
    const FileError error = WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
    if (!error.failed()) return 0;
    reporter.report({"Erreur enregistrement du fichier : " + error.describe(), "arbolix", MessageIcon::Exclamation});
    return -1;
}

QPageSize::PageSizeId PageSizeOf(PaperSize paper) {
    switch (paper) {
    case PaperSize::A3: return QPageSize::A3;
    case PaperSize::A0: return QPageSize::A0;
    case PaperSize::Letter: return QPageSize::Letter;
    case PaperSize::A4: break;
    }
    return QPageSize::A4;
}

// Portrait or landscape: the one whose poster shape is nearer (in ratio) to the chart's.
QPageLayout::Orientation PosterOrientation(const ChartToDraw& chart, const PosterLayout& layout,
                                           const QPageSize& page) {
    const PictureSize shape = ChartProportions(chart.tree, chart.settings);
    const QSizeF paper = page.size(QPageSize::Millimeter);
    const double chartRatio = static_cast<double>(shape.width) / std::max(shape.height, 1);
    const double portrait = layout.pagesWide * paper.width() / (layout.pagesHigh * paper.height());
    const double landscape = layout.pagesWide * paper.height() / (layout.pagesHigh * paper.width());
    const auto distance = [&](double ratio) { return std::abs(std::log(ratio / chartRatio)); };
    return distance(landscape) < distance(portrait) ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

QImage RenderChartImage(const ChartToDraw& chart, int32_t width, int32_t height,
                        TextSmoothing smoothing, ExportProgress* progress) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        chart.reporter.report({"Mémoire insuffisante", "arbolix", MessageIcon::Stop});
        return image;
    }
    image.fill(Qt::white);
    bool drawn = true;
    {
        QtCanvas canvas(image, smoothing);
        if (progress == nullptr) DrawOnCanvas(canvas, chart, WholePicture(width, height));
        else drawn = DrawWatched(canvas, chart, WholePicture(width, height), *progress);
    }
    return drawn ? image : QImage();
}

TextSmoothing PictureTextSmoothing(ColourMode mode) {
    return mode == kColourMonochrome ? TextSmoothing::WholePixels : TextSmoothing::Smoothed;
}

PictureSize ChartProportions(const ChartTree& tree, const ChartSettings& settings) {
    const int64_t extentX = tree.ancestorCount == 0 ? tree.descendantExtentX : tree.extentX;
    const double width = static_cast<double>(extentX) + settings.larg + 18;
    const double height = tree.yMax - tree.yMin + 10;
    // Whole units lose little: charts are tens of units in each direction at least.
    const auto clamp = [](double value) { return static_cast<int32_t>(std::clamp(std::lround(value), 1L, 1L << 30)); };
    return {clamp(width), clamp(height)};
}

PictureWriteResult ExportChartPicture(const ChartToDraw& chart, PictureSize size, ColourMode mode,
                                      const std::string& path) {
    if (PictureFormatOfPath(path) == PictureFormat::Unknown) return PictureWriteResult::UnknownType;
    const QImage image =
        RenderChartImage(chart, size.width, size.height, PictureTextSmoothing(mode));
    if (image.isNull()) return PictureWriteResult::Failed;
    const RenderedBitmap bitmap{image.constBits(), image.width(), image.height(),
                                static_cast<int32_t>(image.bytesPerLine())};
    return WritePictureFile(bitmap, mode, path, chart.settings.texture_fond.brush.lbColor, chart.settings.color_pen,
                            chart.reporter);
}

int32_t WriteSvgChart(const ChartToDraw& chart, int32_t width, int32_t height, const std::string& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Arbolix"));
    {
        QtCanvas canvas(svg);
        DrawOnCanvas(canvas, chart, WholePicture(width, height));
    }
    return WriteBytes(bytes, path, chart.reporter);
}

int32_t WritePdfPoster(const ChartToDraw& chart, const PosterLayout& layout, const std::string& path) {
    const int32_t wide = std::clamp(layout.pagesWide, kMinPosterPages, kMaxPosterPages);
    const int32_t high = std::clamp(layout.pagesHigh, kMinPosterPages, kMaxPosterPages);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Arbolix"));
        pdf.setResolution(layout.dotsPerInch);
        const QPageSize page(PageSizeOf(layout.paper));
        pdf.setPageLayout(QPageLayout(page, PosterOrientation(chart, {wide, high, layout.paper, layout.dotsPerInch}, page),
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter(&pdf);
        if (!painter.isActive()) {
            chart.reporter.report({"Erreur création du PDF : " + path, "arbolix", MessageIcon::Exclamation});
            return -1;
        }
        const int32_t overlap = std::clamp(layout.overlapMillimetres, 0, kMaxOverlapMillimetres);
        PaintPoster(painter, pdf, chart, PageLayout{wide, high, overlap, layout.cutMarks ? 1 : 0});
    }
    return WriteBytes(bytes, path, chart.reporter);
}

} // namespace arbolix
