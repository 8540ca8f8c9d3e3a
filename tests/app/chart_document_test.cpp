// The chart window's model without a window: opening, re-rooting, recent files.

#include <gtest/gtest.h>

#include <optional>

#include "app/chart_document.h"
#include "base/profile.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

using test::FixedChooser;

class Document : public ::testing::Test {
protected:
    std::string sample_ = test::SampleFamilyFile().string();
    MemoryProfile profile_;
    ListReporter reporter_;
    ChartDocument document_{profile_, reporter_};
};

TEST_F(Document, OpeningKeepsTheOldChartWhenAnythingGoesWrong) {
    FixedChooser both(kModeBoth, 14);
    ASSERT_EQ(document_.open(sample_, both), ChartDocument::Opened::Chart);
    EXPECT_EQ(document_.title(), "Généalogie - " + sample_);
    EXPECT_EQ(document_.tree().descendants[1].xref, 14);
    EXPECT_EQ(ReadPathKey(profile_, "open"), FolderOf(sample_));
    const int32_t boxes = document_.tree().descendantCount + document_.tree().ancestorCount;

    test::TempDir dir;
    const std::string broken = dir.file("broken.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(broken, std::string("\0\1\2binary\xff", 10)));
    FixedChooser any(kModeBoth, 1);
    EXPECT_EQ(document_.open(broken, any), ChartDocument::Opened::Unchanged);
    EXPECT_EQ(document_.open(dir.file("absent.ged").string(), any), ChartDocument::Opened::Unchanged);
    EXPECT_EQ(reporter_.messages.size(), 2u);
    FixedChooser cancel;
    EXPECT_EQ(document_.open(sample_, cancel), ChartDocument::Opened::Unchanged);
    EXPECT_EQ(cancel.asked, 1);
    EXPECT_EQ(document_.tree().descendantCount + document_.tree().ancestorCount, boxes);
    EXPECT_EQ(document_.title(), "Généalogie - " + sample_);
    EXPECT_EQ(document_.recentFiles().entry(0), sample_);
}

TEST_F(Document, RerootBackAndChoosingAgain) {
    FixedChooser both(kModeBoth, 14);
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

    FixedChooser ancestors(kModeAncestors, 20);
    ASSERT_TRUE(document_.chooseAgain(ancestors));
    EXPECT_EQ(document_.tree().descendantCount, 0);
    EXPECT_EQ(document_.tree().ancestors[1].xref, 20);
    FixedChooser cancel;
    EXPECT_FALSE(document_.chooseAgain(cancel));
    EXPECT_EQ(document_.tree().ancestors[1].xref, 20);
}

TEST_F(Document, RecentFilesShiftAndReopenedEntriesComeFirst) {
    RecentFiles& recent = document_.recentFiles();
    EXPECT_FALSE(recent.isFile(0));
    for (const char* path : {"/a/1.ged", "/a/2.ged", "/a/3.ged", "/a/4.ged", "/a/5.ged"}) recent.add(path);
    EXPECT_EQ(ReadPathKey(profile_, "file1"), "/a/5.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file4"), "/a/2.ged");

    // Reopening the sample from the third place brings it first and keeps the others in order.
    recent.add(sample_);
    recent.add("/a/6.ged");
    recent.add("/a/7.ged");
    FixedChooser both(kModeBoth, 14);
    ASSERT_EQ(document_.reopen(2, both), ChartDocument::Opened::Chart);
    EXPECT_EQ(ReadPathKey(profile_, "file1"), sample_);
    EXPECT_EQ(ReadPathKey(profile_, "file2"), "/a/7.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file3"), "/a/6.ged");
    EXPECT_EQ(ReadPathKey(profile_, "file4"), "/a/5.ged");
    // Opening it again fills the first two places; an unused entry does nothing.
    ASSERT_EQ(document_.open(sample_, both), ChartDocument::Opened::Chart);
    EXPECT_EQ(recent.entry(1), sample_);
    profile_.writeString("file4", "- ");
    recent.load();
    EXPECT_EQ(document_.reopen(3, both), ChartDocument::Opened::Unchanged);
}

} // namespace
} // namespace arbolix
