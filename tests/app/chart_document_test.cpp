// The chart window's model without a window: opening, re-rooting, recent files, zoom and scroll,
// and what lies under the mouse.

#include <gtest/gtest.h>

#include <optional>

#include "app/chart_document.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "support/test_support.h"
#include "tree/tree_compute.h"

namespace arbolix {
namespace {

class Chooser final : public RootChooser {
public:
    std::optional<RootChoice> answer;
    int asked = 0;
    std::optional<RootChoice> choose(const PersonStore&) override {
        ++asked;
        return answer;
    }
};

class Document : public ::testing::Test {
protected:
    Chooser pick(int32_t mode, int32_t person) {
        Chooser chooser;
        chooser.answer = RootChoice{mode, person};
        return chooser;
    }
    std::string sample_ = test::SampleFamilyFile().string();
    MemoryProfile profile_;
    ListReporter reporter_;
    ChartDocument document_{profile_, reporter_};
};

TEST_F(Document, OpeningKeepsTheOldChartWhenAnythingGoesWrong) {
    EXPECT_EQ(document_.title(), "Généalogie - ");
    Chooser both = pick(kModeBoth, 14);
    ASSERT_EQ(document_.open(sample_, both), ChartDocument::Opened::Chart);
    EXPECT_EQ(document_.title(), "Généalogie - " + sample_);
    EXPECT_EQ(document_.tree().descendants[1].xref, 14);
    EXPECT_EQ(ReadPathKey(profile_, "open"), FolderOf(sample_));
    const int32_t boxes = document_.tree().descendantCount + document_.tree().ancestorCount;

    test::TempDir dir;
    const std::string broken = dir.file("broken.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(broken, std::string("\0\1\2binary\xff", 10)));
    Chooser any = pick(kModeBoth, 1);
    EXPECT_EQ(document_.open(broken, any), ChartDocument::Opened::Unchanged);
    EXPECT_EQ(document_.open(dir.file("absent.ged").string(), any), ChartDocument::Opened::Unchanged);
    EXPECT_EQ(reporter_.messages.size(), 2u);
    Chooser cancel;
    EXPECT_EQ(document_.open(sample_, cancel), ChartDocument::Opened::Unchanged);
    EXPECT_EQ(cancel.asked, 1);
    EXPECT_EQ(document_.tree().descendantCount + document_.tree().ancestorCount, boxes);
    EXPECT_EQ(document_.title(), "Généalogie - " + sample_);
    EXPECT_EQ(document_.recentFiles().entry(0), sample_);
    EXPECT_EQ(document_.recentFiles().entry(1), "-");
}

TEST_F(Document, RerootBackAndChoosingAgain) {
    Chooser both = pick(kModeBoth, 14);
    ASSERT_EQ(document_.open(sample_, both), ChartDocument::Opened::Chart);
    EXPECT_FALSE(document_.back());
    // Ctrl+click on one of Pierre's parents.
    const int32_t parent = document_.tree().ancestors[2].xref;
    ASSERT_NE(parent, 0);
    ASSERT_TRUE(document_.reroot(BoxHit{false, 2, parent}));
    EXPECT_EQ(document_.tree().descendants[1].xref, parent);
    EXPECT_EQ(document_.tree().chartMode, kModeBoth);
    EXPECT_EQ(document_.view().previousRootXref, 14);
    ASSERT_TRUE(document_.back());
    EXPECT_EQ(document_.tree().descendants[1].xref, 14);

    Chooser ancestors = pick(kModeAncestors, 20);
    ASSERT_TRUE(document_.chooseAgain(ancestors));
    EXPECT_EQ(document_.tree().descendantCount, 0);
    EXPECT_EQ(document_.tree().ancestors[1].xref, 20);
    Chooser cancel;
    EXPECT_FALSE(document_.chooseAgain(cancel));
    EXPECT_EQ(document_.tree().ancestors[1].xref, 20);
}

TEST_F(Document, RecentFilesShiftAndReopenedEntriesComeFirst) {
    RecentFiles& recent = document_.recentFiles();
    EXPECT_FALSE(recent.isFile(0));
    for (const char* path : {"/a/1.ged", "/a/2.ged", "/a/3.ged", "/a/4.ged", "/a/5.ged"}) recent.add(path);
    EXPECT_EQ(ReadPathKey(profile_, "file1"), "/a/5.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file4"), "/a/2.ged");
    recent.moveToFront(2);
    EXPECT_EQ(recent.entry(0), "/a/3.ged");
    EXPECT_EQ(recent.entry(1), "/a/5.ged");
    EXPECT_EQ(recent.entry(2), "/a/4.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file4"), "/a/2.ged");

    // Reopening the sample from the third place brings it first and keeps the others in order.
    recent.add(sample_);
    recent.add("/a/6.ged");
    recent.add("/a/7.ged");
    Chooser both = pick(kModeBoth, 14);
    ASSERT_EQ(document_.reopen(2, both), ChartDocument::Opened::Chart);
    EXPECT_EQ(ReadPathKey(profile_, "file1"), sample_);
    EXPECT_EQ(ReadPathKey(profile_, "file2"), "/a/7.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file3"), "/a/6.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file4"), "/a/3.ged");
    // Opening it again fills the first two places; an unused entry does nothing.
    ASSERT_EQ(document_.open(sample_, both), ChartDocument::Opened::Chart);
    EXPECT_EQ(recent.entry(1), sample_);
    profile_.writeString("file4", "- ");
    recent.load();
    EXPECT_EQ(document_.reopen(3, both), ChartDocument::Opened::Unchanged);
}

TEST(ViewState, ZoomBoundsAndScrollSteps) {
    ChartTree tree;
    ChartSettings settings = DefaultChartSettings();
    tree.extentX = 700;
    tree.yMin = -60;
    tree.yMax = 100;
    ViewState view;
    EXPECT_FALSE(ZoomOut(view));
    view.scrollX = 0;
    ASSERT_TRUE(ZoomIn(view, tree, settings));
    view.scrollX = 1;
    view.scrollY = 2;
    ASSERT_TRUE(ZoomIn(view, tree, settings));
    EXPECT_EQ(view.zoom, 4);
    EXPECT_EQ(view.scrollX, 2);
    EXPECT_EQ(view.scrollY, 4);
    EXPECT_EQ(view.scrollMax(), 6);
    // Magnified enough: 160 ≤ 20 × 8 and 700 + 50 < 2 × 50 × 8.
    ASSERT_TRUE(ZoomIn(view, tree, settings));
    EXPECT_FALSE(ZoomIn(view, tree, settings));
    EXPECT_EQ(view.zoom, 8);
    view.scrollX = 7;
    ASSERT_TRUE(ZoomOut(view));
    EXPECT_EQ(view.scrollX, 3); // halved, rounding toward zero
    // The coordinate bound: (yMax + 10) × Z must stay below 2^18.
    tree.yMax = 100000;
    tree.yMin = -100;
    view.zoom = 2;
    ASSERT_TRUE(ZoomIn(view, tree, settings));
    EXPECT_FALSE(ZoomIn(view, tree, settings)); // 100010 × 4 > 262143
    view.zoom = 2;
    view.scrollX = 1;
    ASSERT_TRUE(ZoomOut(view));
    EXPECT_EQ(view.scrollX, 0);
    // A small chart stops zooming once magnified enough for its size.
    ChartTree small;
    small.extentX = 0;
    small.yMin = -5;
    small.yMax = 5;
    ViewState tiny;
    EXPECT_FALSE(ZoomIn(tiny, small, settings));

    // Odd drawing heights alternate so that two steps make the whole height.
    EXPECT_EQ(ScrollPixels(0, 1, 101.7), -50);
    EXPECT_EQ(ScrollPixels(1, 2, 101.7), -51);
    EXPECT_EQ(ScrollPixels(2, 1, 101.7), 51);
    EXPECT_EQ(ScrollPixels(1, 0, 101.7), 50);
    EXPECT_EQ(ScrollPixels(3, 2, 100.0), 50);
    EXPECT_EQ(ScrollPixels(0, 2, 100.0), 0);
}

TEST(ViewState, ClickQuartersAndStrictHits) {
    ViewState view;
    view.zoom = 2;
    view.scrollX = 1;
    view.scrollY = 2;
    const auto target = [&](double x, double y) { return ClickZoomTarget(view, x, y, 800, 600).value(); };
    EXPECT_EQ(target(200, 150).x, 2); // exactly a quarter
    EXPECT_EQ(target(200, 150).y, 4);
    EXPECT_EQ(target(201, 300).x, 3); // up to the middle
    EXPECT_EQ(target(201, 300).y, 5);
    EXPECT_EQ(target(401, 301).x, 4);
    EXPECT_EQ(target(401, 301).y, 6);
    view.zoom = 512;
    EXPECT_FALSE(ClickZoomTarget(view, 1, 1, 800, 600));

    ChartTree tree;
    EXPECT_FALSE(HitTest(tree, 0, 0));
    EXPECT_EQ(StatusTextAt(tree, 0, 0), kMouseHint);
    tree.descendantCount = 1;
    tree.ancestorCount = 1;
    tree.descendants[1] = DescendantNode{};
    tree.descendants[1].xref = 7;
    tree.descendants[1].boxLeft = 10;
    tree.descendants[1].boxRight = 50;
    tree.descendants[1].boxTop = 20;
    tree.descendants[1].boxBottom = 40;
    std::snprintf(tree.descendants[1].surname, sizeof tree.descendants[1].surname, "%s", "B\xC9RARD");
    std::snprintf(tree.descendants[1].givenName, sizeof tree.descendants[1].givenName, "%s", "Eug\xE9nie");
    tree.ancestors[1] = AncestorNode{};
    tree.ancestors[1].xref = 9;
    tree.ancestors[1].boxLeft = 0;
    tree.ancestors[1].boxRight = 100;
    tree.ancestors[1].boxTop = 0;
    tree.ancestors[1].boxBottom = 100;
    EXPECT_EQ(HitTest(tree, 11, 21)->xref, 7);
    EXPECT_EQ(HitTest(tree, 10, 30)->xref, 9); // on the border: not this box
    EXPECT_EQ(HitTest(tree, 30, 40)->xref, 9);
    EXPECT_FALSE(HitTest(tree, 100, 50));
    EXPECT_EQ(StatusTextAt(tree, 30, 30), "BÉRARD Eugénie");
}

} // namespace
} // namespace arbolix
