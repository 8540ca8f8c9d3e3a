#include "export/qt_chart_file.h"

#include <optional>

#include "base/reporter.h"

namespace arbolix {

namespace {

// Remembers whether the progress asked to stop.
class StopWatch final : public ExportProgress {
public:
    explicit StopWatch(ExportProgress& inner) : inner_(inner) {}
    bool stage(ExportStage stage) override { return keep(inner_.stage(stage)); }
    bool drawing() override { return keep(inner_.drawing()); }
    bool stopped() const { return stopped_; }

private:
    bool keep(bool going) {
        if (!going) stopped_ = true;
        return going;
    }

    ExportProgress& inner_;
    bool stopped_ = false;
};

int32_t WritePicture(const RenderedBitmap& bitmap, ExportFormat format, ColourMode mode,
                     const std::string& path, const ChartSettings& settings, Reporter& reporter) {
    const Colour background = settings.texture_fond.brush.lbColor;
    const Colour pen = settings.color_pen;
    switch (format) {
    case ExportFormat::Bmp:
        return WriteBmpFile(bitmap, mode, path, background, pen, reporter);
    case ExportFormat::Jpeg:
        return WriteJpegFile(bitmap, mode, path, background, pen, reporter);
    case ExportFormat::Png:
        return WritePngFile(bitmap, mode, path, background, pen, reporter);
    default:
        return WriteTiffFile(bitmap, mode, path, background, pen, reporter);
    }
}

ExportOutcome ExportPicture(const ChartToDraw& chart, ExportFormat format,
                            const ExportRequest& request, const std::string& path,
                            ExportProgress* progress) {
    const PictureSize size = ExportDrawingSize(format, request.size, request.mode);
    std::optional<StopWatch> watch;
    if (progress != nullptr) watch.emplace(*progress);
    ExportProgress* watched = watch ? &*watch : nullptr;
    const auto stopped = [&] { return watch && watch->stopped(); };

    if (watched != nullptr && !watched->stage(ExportStage::Drawing))
        return ExportOutcome::Cancelled;
    const QImage image = RenderChartImage(chart, size.width, size.height,
                                          PictureTextSmoothing(request.mode), watched);
    if (stopped()) return ExportOutcome::Cancelled;
    if (image.isNull()) return ExportOutcome::Failed;
    if (watched != nullptr && !watched->stage(ExportStage::Writing))
        return ExportOutcome::Cancelled;
    const RenderedBitmap bitmap{image.constBits(), image.width(), image.height(),
                                static_cast<int32_t>(image.bytesPerLine())};
    return WritePicture(bitmap, format, request.mode, path, chart.settings, chart.reporter) == 0
               ? ExportOutcome::Written
               : ExportOutcome::Failed;
}

ExportOutcome Outcome(int32_t result) {
    return result == 0 ? ExportOutcome::Written : ExportOutcome::Failed;
}

} // namespace

ExportOutcome ExportChartFile(const ChartToDraw& chart, const ExportRequest& request,
                              const std::string& path, ExportProgress* progress) {
    const ExportFormat format = ExportFormatOfPath(path);
    switch (format) {
    case ExportFormat::None:
        return ExportOutcome::UnknownType;
    case ExportFormat::Svg:
        return Outcome(WriteSvgChart(chart, request.size.width, request.size.height, path));
    case ExportFormat::Pdf:
        return Outcome(WritePdfPoster(chart, request.poster, path));
    default:
        return ExportPicture(chart, format, request, path, progress);
    }
}

PosterLayout PosterOfSettings(const ChartSettings& settings) {
    PosterLayout poster;
    poster.pagesWide = settings.m_miseenpage.m_largeur;
    poster.pagesHigh = settings.m_miseenpage.m_hauteur;
    return poster;
}

} // namespace arbolix
