// What the export commands decide before drawing: the kind of file a name asks for, the file
// types of each colour mode, the extension a bare name gets, the sizes drawn; and the canvas that
// lets a long drawing be watched and stopped.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "chart/chart_renderer.h"
#include "chart/recording_canvas.h"
#include "export/export_file.h"
#include "export/export_progress.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

TEST(ExportFile, TheExtensionsFirstLetterChoosesThePictureInAnyCase) {
    const std::pair<const char*, ExportFormat> cases[] = {
        {"/a/arbre.bmp", ExportFormat::Bmp},   {"/a/ARBRE.BMP", ExportFormat::Bmp},
        {"/a/arbre.b", ExportFormat::Bmp},     {"/a/arbre.Jpeg", ExportFormat::Jpeg},
        {"/a/arbre.jpg", ExportFormat::Jpeg},  {"/a/arbre.PNG", ExportFormat::Png},
        {"/a/arbre.tiff", ExportFormat::Tiff}, {"/a/arbre.TXT", ExportFormat::Tiff},
        {"/a/arbre.svg", ExportFormat::Svg},   {"/a/arbre.SVG", ExportFormat::Svg},
        {"/a/arbre.Pdf", ExportFormat::Pdf},   {"/a/arbre.pdx", ExportFormat::Png},
        {"/a/arbre.gif", ExportFormat::None},  {"/a/arbre.svg.gif", ExportFormat::None},
        {"/a/arbre", ExportFormat::None},      {"/a/arbre.", ExportFormat::None},
        {"/a.png/arbre", ExportFormat::None},  {"arbre.1", ExportFormat::None},
    };
    for (const auto& [path, format] : cases) EXPECT_EQ(ExportFormatOfPath(path), format) << path;
}

std::vector<std::string> Descriptions(ColourMode mode) {
    std::vector<std::string> texts;
    for (const SaveFilter& filter : PictureSaveFilters(mode))
        texts.push_back(std::string(filter.description) + " | " + std::string(filter.pattern));
    return texts;
}

TEST(ExportFile, EachColourModeOffersItsFileTypes) {
    using Texts = std::vector<std::string>;
    const std::string bmp = "Fichier BMP *.bmp | *.bmp", jpg = "Fichier JPEG *.jpg | *.jpg",
                      png = "Fichier PNG *.png | *.png", tif = "Fichier TIFF *.tif | *.tif";
    EXPECT_EQ(Descriptions(kColourMonochrome), Texts{bmp});
    EXPECT_EQ(Descriptions(kColourGrey), (Texts{bmp, jpg, png}));
    EXPECT_EQ(Descriptions(kColour256), (Texts{bmp, png}));
    const Texts full{bmp, jpg, tif, png, "Fichier SVG *.svg | *.svg", "Fichier PDF *.pdf | *.pdf"};
    EXPECT_EQ(Descriptions(kColour24Bits), full);
    EXPECT_EQ(Descriptions(static_cast<ColourMode>(9)), full);
    // Every type offered is written as what it says.
    for (const ColourMode mode : {kColourMonochrome, kColourGrey, kColour256, kColour24Bits})
        for (const SaveFilter& filter : PictureSaveFilters(mode))
            EXPECT_NE(ExportFormatOfPath("a." + std::string(FilterExtension(filter))),
                      ExportFormat::None);
    EXPECT_EQ(FilterExtension(VmlSaveFilter()), "htm");
}

TEST(ExportFile, ANameWithoutExtensionTakesTheFileTypes) {
    const SaveFilter png{"Fichier PNG *.png", "*.png"};
    EXPECT_EQ(WithFilterExtension("/a/arbre", png), "/a/arbre.png");
    EXPECT_EQ(WithFilterExtension("/a.b/arbre", png), "/a.b/arbre.png");
    EXPECT_EQ(WithFilterExtension("/a/arbre.BMP", png), "/a/arbre.BMP");
    EXPECT_EQ(WithFilterExtension("/a/arbre.", png), "/a/arbre.");
    EXPECT_EQ(WithFilterExtension("/a/", png), "/a/");
}

TEST(ExportFile, SizesDrawnForEachKindOfFile) {
    struct Case {
        ExportFormat format;
        ColourMode mode;
        PictureSize asked;
        PictureSize drawn;
    };
    const Case cases[] = {
        {ExportFormat::Bmp, kColourMonochrome, {1000, 700}, {992, 700}},
        {ExportFormat::Png, kColour24Bits, {1000, 700}, {992, 700}},
        {ExportFormat::Bmp, kColourMonochrome, {8192, 8192}, {8192, 8192}},
        // Reduced by 0.24926650… to 2041 × 2041, then to a multiple of 32.
        {ExportFormat::Tiff, kColour24Bits, {8192, 8192}, {2016, 2041}},
        {ExportFormat::Jpeg, kColourGrey, {8192, 8192}, {2016, 2041}},
        {ExportFormat::Svg, kColour24Bits, {8192, 8192}, {8192, 8192}},
        {ExportFormat::Svg, kColour24Bits, {1000, 1}, {1000, 1}},
    };
    for (const Case& c : cases) {
        const PictureSize drawn = ExportDrawingSize(c.format, c.asked, c.mode);
        EXPECT_EQ(std::pair(drawn.width, drawn.height), std::pair(c.drawn.width, c.drawn.height))
            << static_cast<int>(c.format) << " " << c.asked.width << "x" << c.asked.height;
    }
    // Height 0: the proportions of the chart window, a square without one.
    const PictureSize window = RequestedPictureSize(1024, 0, 800, 600);
    EXPECT_EQ(std::pair(window.width, window.height), std::pair(1024, 768));
    const PictureSize none = RequestedPictureSize(1024, 0, 0, 0);
    EXPECT_EQ(std::pair(none.width, none.height), std::pair(1024, 1024));
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
    for (const char* call : {"LineTo", "Polyline", "PolyBezier", "Arc", "Rectangle", "FillRect",
                             "FrameRect", "TextOut", "StretchDIBits", "Flag"})
        if (line.starts_with(std::string(call) + " ")) return true;
    return false;
}

TEST(ProgressCanvas, PassesEverythingOnAndDropsTheRestOnceStopped) {
    test::FamilyText family;
    family.person(1, "Jean /ROY/", 1950)
        .person(2, "Paul /ROY/", 1920)
        .person(3, "Anne /LUC/", 1925);
    std::vector<int> children;
    for (int child = 4; child <= 33; ++child) {
        family.person(child, "Enfant /ROY/", 1940 + child);
        children.push_back(child);
    }
    family.family(2, 3, {1}).family(1, 0, children);
    const auto chart = test::ComputeChart(family.text(), kModeBoth, 1, {}, 1);
    ChartSettings settings = DefaultChartSettings();
    const auto draw = [&](Canvas& canvas) {
        ListReporter reporter;
        ChartTree tree = chart->tree;
        DrawChart(canvas, tree, *chart->store, settings, {}, 1000, 800, Rect{0, 0, 999, 799},
                  reporter);
    };
    RecordingCanvas direct;
    draw(direct);
    const auto drawn = std::count_if(direct.lines().begin(), direct.lines().end(), IsDrawingLine);
    ASSERT_GT(drawn, 3 * ProgressCanvas::kCallsPerTick);

    RecordingCanvas watchedTarget;
    CountingProgress going;
    ProgressCanvas watched(watchedTarget, going);
    draw(watched);
    EXPECT_EQ(watchedTarget.lines(), direct.lines());
    EXPECT_EQ(going.ticks, drawn / ProgressCanvas::kCallsPerTick);
    EXPECT_FALSE(watched.stopped());

    // Stopped at the second tick: the 64th drawing call and every later one are dropped.
    RecordingCanvas stoppedTarget;
    CountingProgress stopping(2);
    ProgressCanvas stopped(stoppedTarget, stopping);
    draw(stopped);
    EXPECT_TRUE(stopped.stopped());
    EXPECT_EQ(stopping.ticks, 2);
    const auto& lines = stoppedTarget.lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), IsDrawingLine),
              2 * ProgressCanvas::kCallsPerTick - 1);
    // Up to the last call drawn, the same as without a progress.
    size_t kept = 0;
    for (int seen = 0; seen < 2 * ProgressCanvas::kCallsPerTick - 1; ++kept)
        if (IsDrawingLine(direct.lines()[kept])) ++seen;
    ASSERT_GE(lines.size(), kept);
    EXPECT_TRUE(
        std::equal(lines.begin(), lines.begin() + static_cast<long>(kept), direct.lines().begin()));
}

} // namespace
} // namespace arbolix
