// What the export commands decide before drawing: the kind of file a name asks for, the extension
// a bare name gets, the sizes drawn; and the canvas that lets a long drawing be watched and stopped.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "chart/chart_renderer.h"
#include "chart/recording_canvas.h"
#include "export/export_file.h"
#include "export/export_progress.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

TEST(ExportFile, TheExtensionsFirstLetterChoosesThePictureInAnyCase) {
    using F = ExportFormat;
    const std::pair<const char*, ExportFormat> cases[] = {
        {"/a/arbre.bmp", F::Bmp},   {"/a/ARBRE.BMP", F::Bmp},  {"/a/arbre.b", F::Bmp},
        {"/a/a.Jpeg", F::Jpeg},     {"/a/arbre.PNG", F::Png},  {"/a/arbre.pdx", F::Png},
        {"/a/arbre.tiff", F::Tiff}, {"/a/arbre.TXT", F::Tiff}, {"/a/arbre.SVG", F::Svg},
        {"/a/arbre.Pdf", F::Pdf},   {"/a/arbre.gif", F::None}, {"/a/arbre.svg.gif", F::None},
        {"/a/arbre", F::None},      {"/a/arbre.", F::None},    {"/a.png/arbre", F::None}};
    for (const auto& [path, format] : cases) EXPECT_EQ(ExportFormatOfPath(path), format) << path;

    // A name typed without extension takes the file type's.
    const SaveFilter png{"Fichier PNG *.png", "*.png"};
    EXPECT_EQ(WithFilterExtension("/a.b/arbre", png), "/a.b/arbre.png");
    EXPECT_EQ(WithFilterExtension("/a/arbre.BMP", png), "/a/arbre.BMP");
    EXPECT_EQ(WithFilterExtension("/a/arbre.", png), "/a/arbre.");
}

TEST(ExportFile, SizesDrawnForEachKindOfFile) {
    struct Case {
        ExportFormat format;
        ColourMode mode;
        int32_t width, height, drawnWidth, drawnHeight;
    };
    const Case cases[] = {
        {ExportFormat::Bmp, kColourMonochrome, 1000, 700, 992, 700},
        {ExportFormat::Bmp, kColourMonochrome, 8192, 8192, 8192, 8192},
        // Reduced by 0.24926650… to 2041 × 2041, then to a multiple of 32.
        {ExportFormat::Tiff, kColour24Bits, 8192, 8192, 2016, 2041},
        // Exactly at the cap nothing is scaled; above it both sides get the same factor.
        {ExportFormat::Png, kColour24Bits, 4096, 1018, 4096, 1018},
        {ExportFormat::Jpeg, kColourGrey, 8192, 2048, 4064, 1020},
    };
    for (const Case& c : cases) {
        const PictureSize drawn = ExportDrawingSize(c.format, {c.width, c.height}, c.mode);
        EXPECT_EQ(std::pair(drawn.width, drawn.height), std::pair(c.drawnWidth, c.drawnHeight))
            << static_cast<int>(c.format) << " " << c.width;
    }
    // Height 0: the proportions of the chart window, a square without one.
    EXPECT_EQ(RequestedPictureSize(1024, 0, 800, 600).height, 768);
    EXPECT_EQ(RequestedPictureSize(1024, 0, 0, 0).height, 1024);
    EXPECT_EQ(RequestedPictureSize(1024, 300, 800, 600).height, 300);
}

// Stops at its `stopAt`-th tick.
class CountingProgress final : public ExportProgress {
public:
    explicit CountingProgress(int stopAt = 0) : stopAt_(stopAt) {}
    bool stage(ExportStage) override { return true; }
    bool drawing() override { return ++ticks != stopAt_; }
    int ticks = 0;

private:
    int stopAt_;
};

bool IsDrawingLine(const std::string& line) {
    for (const char* call : {"LineTo ", "Polyline ", "PolyBezier ", "Arc ", "Rectangle ",
                             "FillRect ", "FrameRect ", "TextOut ", "StretchDIBits ", "Flag "})
        if (line.starts_with(call)) return true;
    return false;
}

TEST(ProgressCanvas, PassesEverythingOnAndDropsTheRestOnceStopped) {
    test::SampleChart chart;
    const auto draw = [&](Canvas& canvas) {
        ListReporter reporter;
        ChartTree tree = chart.tree;
        DrawChart(canvas, tree, chart.store, chart.settings, {}, 1000, 800, Rect{0, 0, 999, 799},
                  reporter);
    };
    RecordingCanvas direct, watchedTarget, stoppedTarget;
    draw(direct);
    const auto& all = direct.lines();
    const auto drawn = std::count_if(all.begin(), all.end(), IsDrawingLine);
    ASSERT_GT(drawn, 3 * ProgressCanvas::kCallsPerTick);

    CountingProgress going;
    ProgressCanvas watched(watchedTarget, going);
    draw(watched);
    EXPECT_EQ(watchedTarget.lines(), all);
    EXPECT_EQ(going.ticks, drawn / ProgressCanvas::kCallsPerTick);
    EXPECT_FALSE(watched.stopped());

    // Stopped at the second tick: the 64th drawing call and every later one are dropped; up to
    // the last call drawn, the same as without a progress.
    CountingProgress stopping(2);
    ProgressCanvas stopped(stoppedTarget, stopping);
    draw(stopped);
    EXPECT_TRUE(stopped.stopped());
    const auto& kept = stoppedTarget.lines();
    const int lastDrawn = 2 * ProgressCanvas::kCallsPerTick - 1;
    EXPECT_EQ(std::count_if(kept.begin(), kept.end(), IsDrawingLine), lastDrawn);
    size_t common = 0;
    for (int seen = 0; seen < lastDrawn; ++common) seen += IsDrawingLine(all[common]) ? 1 : 0;
    ASSERT_GE(kept.size(), common);
    EXPECT_TRUE(std::equal(kept.begin(), kept.begin() + static_cast<long>(common), all.begin()));
}

} // namespace
} // namespace arbolix
