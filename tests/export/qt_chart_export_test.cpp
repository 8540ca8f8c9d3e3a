// The chart saved as SVG, as a PDF poster and as pictures, from the sample family.

#include <gtest/gtest.h>

#include <FreeImage.h>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>

#include <cstdint>
#include <cmath>
#include <filesystem>
#include <vector>

#include "export/qt_chart_export.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

// Pierre DELORME (record 14) with his ancestors and descendants.
class SampleChart : public ::testing::Test {
protected:
    ChartToDraw draw(int64_t zoom = 1, int32_t scrollX = 0, int64_t scrollY = 0) {
        return {tree_, store_, settings_, ChartView{zoom, scrollX, scrollY}, reporter_};
    }
    // The boxes seen, wholly or in part, on a width × height picture (right and bottom left out).
    std::vector<Rect> boxesSeen(int64_t width, int64_t height) const {
        std::vector<Rect> boxes;
        const auto add = [&](const auto& node) {
            if (node.boxRight > 0 && node.boxBottom > 0 && node.boxLeft < width && node.boxTop < height)
                boxes.push_back({node.boxLeft, node.boxTop, node.boxRight, node.boxBottom});
        };
        for (int32_t n = 1; n <= tree_.descendantCount; ++n) add(tree_.descendants[static_cast<size_t>(n)]);
        for (int32_t n = 1; n <= tree_.ancestorCount; ++n) add(tree_.ancestors[static_cast<size_t>(n)]);
        return boxes;
    }

    test::SampleChart chart_;
    PersonStore& store_ = chart_.store;
    ChartTree& tree_ = chart_.tree;
    ChartSettings& settings_ = chart_.settings;
    ListReporter& reporter_ = chart_.reporter;
    test::TempDir dir_;
};

TEST_F(SampleChart, PdfPosterHasOnePagePerTileInTheChartsOrientation) {
    const std::string path = dir_.file("poster.pdf").string();
    ASSERT_EQ(WritePdfPoster(draw(), PosterLayout{3, 2, PaperSize::A3, 150}, path), 0);
    const auto read = [&] { return QString::fromLatin1(QByteArray::fromStdString(test::ReadFileBytes(path))); };
    EXPECT_EQ(read().count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 6);
    // The chart is about five times wider than high: landscape sheets (3 × 420 by 2 × 297 mm)
    // come nearer to that than portrait ones.
    const QRegularExpression mediaBox(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)"));
    const auto landscape = [&] {
        const auto match = mediaBox.match(read());
        EXPECT_TRUE(match.hasMatch());
        return match.captured(1).toDouble() > match.captured(2).toDouble();
    };
    EXPECT_TRUE(landscape());
    // A father of twenty children makes a chart higher than wide: portrait.
    const std::string family = test::FamilyText().persons(21, "Enfant").children(1, 2, 21).text();
    ASSERT_GT(ReadGedcomBytes(store_, family, settings_.m_gedcom, reporter_), 0);
    chart_.compute(kModeDescendants, 1);
    ASSERT_EQ(WritePdfPoster(draw(), PosterLayout{1, 1, PaperSize::A4, 150}, path), 0);
    EXPECT_EQ(read().count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
    EXPECT_FALSE(landscape());
}

// A monochrome picture's palette holds the background colour; a folder that is not there leaves
// nothing behind.
TEST_F(SampleChart, MonochromePaletteAndMissingFolders) {
    settings_.texture_fond.brush.lbColor = MakeColour(255, 255, 224);
    const std::string bmp = dir_.file("ARBRE.BMP").string();
    ASSERT_EQ(ExportChartPicture(draw(), {992, 330}, kColourMonochrome, bmp), PictureWriteResult::Written);
    FIBITMAP* picture = FreeImage_Load(FIF_BMP, bmp.c_str(), 0);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(FreeImage_GetBPP(picture), 1u);
    // The background's corner is entry 1, the background colour.
    BYTE index = 0;
    ASSERT_TRUE(FreeImage_GetPixelIndex(picture, 0, 0, &index));
    EXPECT_EQ(index, 1);
    const RGBQUAD* palette = FreeImage_GetPalette(picture);
    EXPECT_EQ(palette[1].rgbBlue, 224);
    FreeImage_Unload(picture);

    const std::string missing = dir_.file("absent/arbre.svg").string();
    EXPECT_EQ(WriteSvgChart(draw(), 800, 300, missing), -1);
    EXPECT_EQ(WritePdfPoster(draw(), PosterLayout{}, dir_.file("absent/arbre.pdf").string()), -1);
    EXPECT_EQ(reporter_.messages.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("absent")));
}

// Counts the pixels of the names' red (smoothed edges included) in `picture`, and those of them
// outside every box, the boxes' device rectangles being mapped to the picture by `scale` and
// `offset` and widened by one pixel of the picture.
struct RedInk {
    int64_t total = 0;
    int64_t outside = 0;
};
RedInk RedInkOutsideBoxes(QImage picture, const std::vector<Rect>& boxes, double scale,
                          double offset) {
    const auto red = [&picture] {
        int64_t count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb rgb = picture.pixel(x, y);
                count += qRed(rgb) - qGreen(rgb) >= 64 && qRed(rgb) - qBlue(rgb) >= 64 ? 1 : 0;
            }
        return count;
    };
    RedInk ink{red(), 0};
    QPainter painter(&picture); // the boxes painted over: what is left lies outside them
    const auto at = [&](int64_t v) { return static_cast<double>(v) * scale + offset; };
    for (const Rect& box : boxes)
        painter.fillRect(QRect(QPoint(static_cast<int>(std::floor(at(box.left))) - 1,
                                      static_cast<int>(std::floor(at(box.top))) - 1),
                               QPoint(static_cast<int>(std::ceil(at(box.right))),
                                      static_cast<int>(std::ceil(at(box.bottom))))),
                         Qt::white);
    painter.end();
    ink.outside = red();
    return ink;
}

// SVG and PDF squeeze each name as the pictures do (an SVG reader knows nothing of condensed
// fonts): drawn back by an SVG renderer and by a PDF rasteriser, every name lies in its box.
TEST_F(SampleChart, VectorDrawingsKeepEachNameInsideItsBox) {
    settings_.rgbColors_nom = MakeColour(255, 0, 0);
    const std::string svg = dir_.file("arbre.svg").string();
    ASSERT_EQ(WriteSvgChart(draw(), 1600, 330, svg), 0);
    QSvgRenderer renderer(QString::fromStdString(svg));
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(3200, 660, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        renderer.render(&painter);
    }
    RedInk ink = RedInkOutsideBoxes(drawn, boxesSeen(1600, 330), 2, 0);
    EXPECT_GT(ink.total, 20000);
    EXPECT_EQ(ink.outside, 0);

    const QString rasteriser = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (rasteriser.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) not found: the PDF is not checked";
    const std::string pdf = dir_.file("arbre.pdf").string();
    const int dotsPerInch = 150;
    ASSERT_EQ(WritePdfPoster(draw(), PosterLayout{1, 1, PaperSize::A4, dotsPerInch}, pdf), 0);
    const std::string page = dir_.file("page").string();
    const test::CommandResult result =
        test::RunCommand({rasteriser.toStdString(), "-r", std::to_string(dotsPerInch), "-png",
                          "-singlefile", pdf, page});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_TRUE(drawn.load(QString::fromStdString(page + ".png")));
    // The page is drawn at the poster's resolution inside margins of 10 mm.
    ink = RedInkOutsideBoxes(drawn, boxesSeen(INT32_MAX, INT32_MAX), 1, 10 / 25.4 * dotsPerInch);
    EXPECT_GT(ink.total, 20000);
    EXPECT_EQ(ink.outside, 0);
}

// A monochrome picture is drawn with whole-pixel text, as a one-bit surface draws it: the file is
// that chart drawn in colour with each pixel put to the pen or the background, and every name
// keeps the strokes that smoothed text spreads over its box, a coloured name included.
TEST_F(SampleChart, MonochromePicturesDrawTheirTextsWithWholePixels) {
    settings_.rgbColors_nom = MakeColour(0, 0, 160);
    const PictureSize size{992, 330};
    const QImage crisp =
        RenderChartImage(draw(), size.width, size.height, TextSmoothing::WholePixels);
    const QImage smooth = RenderChartImage(draw(), size.width, size.height);
    const std::vector<Rect> boxes = boxesSeen(size.width, size.height);
    ASSERT_GT(boxes.size(), 40u);
    for (const char* name : {"arbre.bmp", "arbre.png", "arbre.jpg"}) {
        const std::string path = dir_.file(name).string();
        ASSERT_EQ(ExportChartPicture(draw(), size, kColourMonochrome, path),
                  PictureWriteResult::Written);
        const QImage file(QString::fromStdString(path));
        ASSERT_FALSE(file.isNull()) << name;
        const auto dark = [&](int x, int y) { return qGray(file.pixel(x, y)) < 128; };
        int64_t ink = 0, differing = 0;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const bool drawn = crisp.pixel(x, y) != qRgb(255, 255, 255);
                ink += drawn ? 1 : 0;
                differing += drawn != dark(x, y) ? 1 : 0;
            }
        EXPECT_LE(differing, ink / 500) << name << ": " << ink << " pixels drawn";

        // Inside each box (frame left out) only the name is drawn. Whole pixels cover at least
        // about as much as the smoothed name's coverage (the red the blue text takes away);
        // smoothed text put to two colours loses a fifth of it in its thin strokes.
        for (const Rect& box : boxes) {
            if (box.left < 0 || box.top < 0 || box.right > size.width || box.bottom > size.height)
                continue;
            double coverage = 0;
            int64_t pen = 0;
            for (auto y = static_cast<int>(box.top + 1); y < box.bottom - 1; ++y)
                for (auto x = static_cast<int>(box.left + 1); x < box.right - 2; ++x) {
                    coverage += (255 - qRed(smooth.pixel(x, y))) / 255.0;
                    pen += dark(x, y) ? 1 : 0;
                }
            EXPECT_GE(static_cast<double>(pen), 0.95 * coverage)
                << name << ", box at " << box.left << "," << box.top;
        }
    }
}

} // namespace
} // namespace arbolix
