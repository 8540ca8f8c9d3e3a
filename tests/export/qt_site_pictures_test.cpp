// The web site's real pictures: drawn as the picture export draws them, and the same bytes however
// many threads write them.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "export/export_test_support.h"
#include "export/qt_chart_export.h"
#include "export/qt_site_pictures.h"
#include "export/site_pages.h"
#include "support/test_support.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix {
namespace {

class Chooser final : public RootChooser {
public:
    std::optional<RootChoice> choose(const PersonStore&) override {
        return RootChoice{kModeBoth, 14};
    }
};

// The first pages of the sample family's site from Pierre DELORME (14), with `writers` threads.
std::vector<std::string> FirstPages(const test::TempDir& dir, int writers, const SiteOptions& base,
                                    int32_t pages) {
    PersonStore store;
    ChartSettings settings = DefaultChartSettings();
    settings.setprenom = settings.setnaissance = settings.drapeau = 1;
    ListReporter reporter;
    ChartTree tree;
    Chooser chooser;
    EXPECT_GT(ReadGedcom(store, test::SampleFamilyFile().string(), settings.m_gedcom, reporter), 0);
    EXPECT_EQ(BuildChartTables(tree, store, settings, &chooser, reporter), 0);
    SiteOptions options = base;
    options.mainPage = dir.file("index.htm").string();
    QtSitePictures pictures(reporter, writers);
    SiteChart chart{store, settings, tree.chartMode, tree.rootXref, ChartView{}, {}};
    const SiteResult result =
        GenerateWebSite(chart, options, pictures, reporter,
                        [&](const SiteProgress& step) { return step.done < pages; });
    EXPECT_EQ(result.pages, pages);
    EXPECT_TRUE(reporter.messages.empty());
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
        SiteOptions options;
        options.pictureType = type;
        options.colourMode = colours;
        options.sizeIndex = 0;
        test::TempDir alone, together;
        const std::vector<std::string> one = FirstPages(alone, 0, options, 12);
        std::string extension(1, '.');
        extension += SitePictureExtension(type);
        extension += '\n';
        EXPECT_EQ(std::count_if(one.begin(), one.end(),
                                [&](const std::string& file) {
                                    return file.find(extension) != std::string::npos;
                                }),
                  12);
        EXPECT_EQ(FirstPages(together, 3, options, 12), one);
    }
}

// The root's picture is the one the picture export makes of the same chart.
TEST(SitePictures, APageShowsTheChartAsThePictureExportDrawsIt) {
    test::TempDir dir;
    SiteOptions options;
    options.pictureType = kSitePng;
    options.sizeIndex = 1;
    FirstPages(dir, 2, options, 1);

    PersonStore store;
    ChartSettings settings = DefaultChartSettings();
    settings.setprenom = settings.setnaissance = settings.drapeau = 1;
    ListReporter reporter;
    ChartTree tree;
    Chooser chooser;
    ReadGedcom(store, test::SampleFamilyFile().string(), settings.m_gedcom, reporter);
    BuildChartTables(tree, store, settings, &chooser, reporter);
    int64_t zoom = 1;
    LayoutTree(tree, settings, zoom);
    const std::string exported = dir.file("export.png").string();
    ASSERT_EQ(ExportChartPicture({tree, store, settings, ChartView{}, reporter}, {640, 480},
                                 kColour24Bits, exported),
              PictureWriteResult::Written);
    EXPECT_EQ(test::ReadFileBytes(dir.file(SitePictureName(14, "png"))),
              test::ReadFileBytes(exported));
}

} // namespace
} // namespace arbolix
