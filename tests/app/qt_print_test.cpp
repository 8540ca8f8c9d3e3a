// Printing the sample family's chart as a poster: into PDF files through a printer, rendered back
// with poppler's pdftoppm, and in the preview.

#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPicture>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/chart_document.h"
#include "app/ui/print_commands.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/qt_canvas.h"
#include "export/qt_chart_export.h"
#include "export/qt_poster.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

constexpr int kDotsPerInch = 144;

// The pixels of `drawn` that match no pixel of `expected` (in grey, within 96 steps) within one
// pixel: what a tile offset or a wrong page order would leave, beyond the rasterisers' rounding of
// an edge.
int64_t Mismatches(const QImage& drawn, const QImage& expected) {
    int64_t count = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const int grey = qGray(drawn.pixel(x, y));
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx) {
                    const QPoint near(x + dx, y + dy);
                    matched = expected.rect().contains(near) &&
                              std::abs(grey - qGray(expected.pixel(near))) <= 96;
                }
            count += matched ? 0 : 1;
        }
    return count;
}

int64_t Ink(const QImage& image) {
    int64_t count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return count;
}

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        rasteriser_ = QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).toStdString();
        test::FixedChooser chooser(kModeBoth, test::kSampleRoot);
        ASSERT_EQ(document_.open(test::SampleFamilyFile().string(), chooser),
                  ChartDocument::Opened::Chart);
        layout() = PageLayout{3, 2, 0, 0};
    }
    PageLayout& layout() { return document_.settings().m_miseenpage; }

    // A printer writing a PDF of sheets of 3 × 2 inches, at 144 dots per inch.
    std::unique_ptr<QPrinter> pdfPrinter(const char* name) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(dir_.file(name).string()));
        printer->setResolution(kDotsPerInch);
        printer->setPageLayout(QPageLayout(QPageSize(QSizeF(3, 2), QPageSize::Inch),
                                           QPageLayout::Portrait, QMarginsF(), QPageLayout::Inch));
        return printer;
    }
    // The pages of a PDF drawn back at the printer's resolution, without smoothing.
    std::vector<QImage> rasterise(const char* name) {
        const std::string prefix = dir_.file(std::string(name) + "-page").string();
        const test::CommandResult result =
            test::RunCommand({rasteriser_, "-r", std::to_string(kDotsPerInch), "-aa", "no",
                              "-aaVector", "no", "-png", dir_.file(name).string(), prefix});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::vector<QImage> pages;
        for (int page = 1; std::filesystem::exists(prefix + "-" + std::to_string(page) + ".png");
             ++page)
            pages.emplace_back(
                QString::fromStdString(prefix + "-" + std::to_string(page) + ".png"));
        return pages;
    }

    MemoryProfile profile_;
    ListReporter reporter_;
    ChartDocument document_{profile_, reporter_};
    ChartPrinting printing_{document_, nullptr};
    test::TempDir dir_;
    std::string rasteriser_;
};

// The poster of a zoomed, scrolled view: its six sheets laid side by side, row by row, are the
// one-page drawing of the whole surface; the window's zoom, scroll and boxes are left as they were.
TEST_F(Printing, SheetsSideBySideMakeTheOneSurface) {
    ViewState& view = document_.view();
    view.zoom = 2;
    view.scrollX = 1;
    view.scrollY = 1;
    document_.tree().descendants[1].boxLeft = 12345; // as the window drew it

    ASSERT_TRUE(printing_.printOn(*pdfPrinter("poster.pdf")));
    EXPECT_EQ(std::tuple(view.zoom, view.scrollX, view.scrollY), std::tuple(2, 1, 1));
    EXPECT_EQ(document_.tree().descendants[1].boxLeft, 12345);
    // Nothing is left beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);

    if (rasteriser_.empty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) not found: the pages are not checked";
    const std::vector<QImage> pages = rasterise("poster.pdf");
    ASSERT_EQ(pages.size(), 6u);
    const int width = pages[0].width(), height = pages[0].height();
    EXPECT_EQ(width, 3 * kDotsPerInch);
    EXPECT_EQ(height, 2 * kDotsPerInch);
    QImage sheets(3 * width, 2 * height, QImage::Format_RGB32);
    for (int page = 0; page < 6; ++page)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                sheets.setPixel((page % 3) * width + x, (page / 3) * height + y,
                                pages[page].pixel(x, y));

    ChartTree tree = document_.tree();
    const ChartToDraw chart{tree, document_.store(), document_.settings(), ChartView{2, 1, 1},
                            reporter_};
    const QImage surface =
        RenderChartImage(chart, 3 * width, 2 * height, TextSmoothing::WholePixels);
    ASSERT_GT(Ink(surface), 5000);
    EXPECT_LT(Mismatches(sheets, surface), Ink(surface) / 50);
    EXPECT_LT(Mismatches(surface, sheets), Ink(surface) / 50);
}

// A range chosen in the print dialog prints those pages only, the very sheets of the whole poster.
TEST_F(Printing, APageRangePrintsOnlyItsPages) {
    if (rasteriser_.empty()) GTEST_SKIP() << "pdftoppm (poppler-utils) not found";
    ASSERT_TRUE(printing_.printOn(*pdfPrinter("all.pdf")));
    const auto printer = pdfPrinter("range.pdf");
    QPageRanges ranges;
    ranges.addRange(2, 3);
    ranges.addPage(6);
    printer->setPageRanges(ranges);
    printer->setPrintRange(QPrinter::PageRange);
    ASSERT_TRUE(printing_.printOn(*printer));
    const std::vector<QImage> all = rasterise("all.pdf"), range = rasterise("range.pdf");
    ASSERT_EQ(all.size(), 6u);
    ASSERT_EQ(range.size(), 3u);
    EXPECT_EQ(range[0], all[1]);
    EXPECT_EQ(range[1], all[2]);
    EXPECT_EQ(range[2], all[5]);
    EXPECT_NE(all[1], all[2]);
    // Printing at once prints every page, whatever range was chosen before.
    QPrinter& direct = printing_.printer();
    direct.setOutputFormat(QPrinter::PdfFormat);
    direct.setOutputFileName(printer->outputFileName());
    direct.setPageRanges(ranges);
    direct.setPrintRange(QPrinter::PageRange);
    printing_.printDirect();
    EXPECT_EQ(rasterise("range.pdf").size(), 6u);
}

// A sheet draws only the boxes that may show on it, and yet every sheet, years, spouses, flags,
// "brique" and wide pens included, is pixel for pixel the tile of the whole surface.
TEST_F(Printing, EachSheetIsExactlyItsTileOfTheWholeSurface) {
    ChartSettings& settings = document_.settings();
    for (int32_t ChartSettings::*flag :
         {&ChartSettings::setprenom, &ChartSettings::setnaissance, &ChartSettings::setdece,
          &ChartSettings::lieu, &ChartSettings::epoux, &ChartSettings::drapeau,
          &ChartSettings::brique})
        settings.*flag = 1;
    settings.interval = 9;
    settings.largeur_pen = 5;
    document_.rebuild();
    const PosterSheets sheets{4, 3, 331, 157, {}, {}};
    for (const ChartView view : {ChartView{1, 0, 0}, ChartView{2, 1, 2}}) {
        ChartTree tree = document_.tree();
        for (int32_t page = 1; page <= PosterPageCount(sheets); ++page) {
            QImage sheet(331, 157, QImage::Format_RGB32), tile(331, 157, QImage::Format_RGB32);
            for (QImage* image : {&sheet, &tile}) image->fill(Qt::white);
            {
                QtCanvas canvas(sheet);
                DrawPosterPage(canvas, tree, document_.store(), settings, view, sheets, page,
                               reporter_);
            }
            {
                QtCanvas canvas(tile);
                const PageTile plain = PosterPageOf(page, {4, 3, 331, 157, {}, {}}).tile;
                DrawChart(canvas, tree, document_.store(), settings, view, plain.drawingWidth,
                          plain.drawingHeight, plain.origin, reporter_);
            }
            EXPECT_EQ(sheet, tile) << "zoom " << view.zoom << ", page " << page;
        }
    }
}

// The preview keeps each page as a picture and shows it scaled down many times: the boxes' frames,
// one printer pixel wide, still show there, as the links do.
TEST(PrintPreview, FramesShowHoweverThePageIsScaledDown) {
    QPicture page;
    {
        QPainter painter(&page);
        QtCanvas canvas(painter);
        canvas.rectangle(10, 10, 610, 310);
        canvas.frameRect({650, 10, 1010, 310}, Brush{BrushStyle::Solid, kBlack});
    }
    QImage shown(110, 40, QImage::Format_RGB32);
    shown.fill(Qt::white);
    {
        QPainter painter(&shown);
        painter.scale(0.1, 0.1);
        painter.drawPicture(0, 0, page);
    }
    EXPECT_GT(Ink(shown.copy(0, 0, 63, 40)), 2 * (60 + 30) - 8);
    EXPECT_GT(Ink(shown.copy(63, 0, 47, 40)), 2 * (36 + 30) - 8);
}

// The preview shows every page, and leaves alone the file the printer was last told to print to.
TEST_F(Printing, ThePreviewShowsEveryPage) {
    const std::string earlier = dir_.file("earlier.pdf").string();
    ASSERT_TRUE(test::WriteFileBytes(earlier, "earlier"));
    printing_.printer().setOutputFormat(QPrinter::PdfFormat);
    printing_.printer().setOutputFileName(QString::fromStdString(earlier));
    const std::unique_ptr<QPrintPreviewDialog> dialog = printing_.makePreview();
    dialog->show();
    QPrintPreviewWidget* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->pageCount(), 6);
    dialog->close();
    EXPECT_EQ(test::ReadFileBytes(earlier), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

} // namespace
} // namespace arbolix
