// The web site's real pictures: drawn as the picture export draws them, and the same bytes however
// many threads write them.

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>


#include "export/export_test_support.h"
#include "export/qt_chart_export.h"
#include "export/qt_site_pictures.h"
#include "export/site_pages.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

// Pierre DELORME's chart with names, years and flags shown.
test::SampleChart Sample() {
    return test::SampleChart([](ChartSettings& settings) {
        settings.setprenom = settings.setnaissance = settings.drapeau = 1;
    });
}

// Every file of the first `pages` pages of the site, name and bytes, made with `writers` threads.
std::vector<std::string> FirstPages(const test::TempDir& dir, int writers, SiteOptions options,
                                    int32_t pages) {
    test::SampleChart sample = Sample();
    options.mainPage = dir.file("index.htm").string();
    QtSitePictures pictures(sample.reporter, writers);
    SiteChart chart{sample.store,         sample.settings, sample.tree.chartMode,
                    sample.tree.rootXref, ChartView{},     {}};
    const SiteResult result =
        GenerateWebSite(chart, options, pictures, sample.reporter,
                        [&](const SiteProgress& step) { return step.done < pages; });
    EXPECT_EQ(result.pages, pages);
    EXPECT_TRUE(sample.reporter.messages.empty());
    std::vector<std::string> files;
    for (const std::string& name : test::FolderEntries(dir.path()))
        files.push_back(name + "\n" + test::ReadFileBytes(dir.file(name)));
    return files;
}

TEST(SitePictures, TheSameBytesOnOneThreadOrSeveral) {
    for (const auto& [type, colours] :
         {std::pair{kSitePng, kColour24Bits}, std::pair{kSiteBmp, kColourMonochrome},
          std::pair{kSiteJpg, kColourGrey}}) {
        SCOPED_TRACE(SitePictureExtension(type));
        const SiteOptions options{"", "", "", type, colours, 0};
        test::TempDir alone, together;
        const std::vector<std::string> one = FirstPages(alone, 0, options, 12);
        std::string extension(1, '.'); // (one concatenation here warns falsely with GCC 12)
        extension.append(SitePictureExtension(type)).push_back('\n');
        EXPECT_EQ(std::count_if(one.begin(), one.end(), [&](const std::string& file) {
                      return file.find(extension) != std::string::npos;
                  }), 12);
        EXPECT_EQ(FirstPages(together, 3, options, 12), one);
    }
}

// The root's picture is the one the picture export makes of the same chart.
TEST(SitePictures, APageShowsTheChartAsThePictureExportDrawsIt) {
    test::TempDir dir;
    FirstPages(dir, 2, {"", "", "", kSitePng, kColour24Bits, 1}, 1);
    test::SampleChart sample = Sample();
    const std::string exported = dir.file("export.png").string();
    ASSERT_EQ(ExportChartPicture(
                  {sample.tree, sample.store, sample.settings, ChartView{}, sample.reporter},
                  {640, 480}, kColour24Bits, exported),
              PictureWriteResult::Written);
    // The same pixels; the site's file keeps them with a palette of the chart's colours.
    const QImage page(QString::fromStdString(dir.file(SitePictureName(14, "png")).string()));
    const QImage picture(QString::fromStdString(exported));
    EXPECT_EQ(page.format(), QImage::Format_Indexed8);
    EXPECT_EQ(page.convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace arbolix
