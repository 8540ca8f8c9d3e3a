#include <gtest/gtest.h>

#include <tuple>

#include "tree/recompute.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

// Three generations below 1, two shared grandparents above 10.
std::string Family() {
    return test::FamilyText().persons(12, "R", 1900).family(1, 2, {3, 4}).family(3, 5, {6, 7}).family(4, 8, {9})
        .family(6, 9, {10}).family(11, 12, {1}).text();
}

// The persons of both tables and their positions.
auto Of(const test::Chart& c) {
    return std::tuple(c.ds(&DescendantNode::xref), c.ds(&DescendantNode::layoutY), c.as(&AncestorNode::sosa),
                      c.as(&AncestorNode::xref), c.as(&AncestorNode::layoutY));
}

// What a first computation with these settings gives, laid out.
auto Fresh(int32_t mode, int32_t root, const ChartSettings& settings) {
    return Of(*test::ComputeChart(Family(), mode, root, [&](ChartSettings& s) { s = settings; }, 1));
}

TEST(Recompute, SettingChangesAndNewRootsStartFromTheFileAsRead) {
    auto chart = test::ComputeChart(Family(), kModeBoth, 1);
    ChartSettings settings = DefaultChartSettings();
    int64_t zoom = 1;
    ListReporter reporter;
    int rereads = 0;
    const auto reread = [&] { return ++rereads, -1; };

    settings.setcousin = 0;
    ASSERT_EQ(Recompute(chart->tree, *chart->store, settings, 1, zoom, reporter, reread), 0);
    EXPECT_EQ(Of(*chart), Fresh(kModeBoth, 1, settings));

    // The descendant part compacted the store: a new root still finds its persons.
    settings.setcousin = 2;
    ASSERT_EQ(Recompute(chart->tree, *chart->store, settings, 3, zoom, reporter, reread), 0);
    EXPECT_EQ(chart->d(1).xref, 3);
    EXPECT_EQ(Of(*chart), Fresh(kModeBoth, 3, settings));
    EXPECT_EQ(rereads, 0);
    EXPECT_TRUE(reporter.messages.empty());

    // The parent chart finds the parent again.
    auto parent = test::ComputeChart(Family(), kModeParent, 6);
    EXPECT_EQ(parent->d(1).xref, 3);
    ASSERT_EQ(Recompute(parent->tree, *parent->store, settings, parent->tree.rootXref, zoom, reporter, {}), 0);
    EXPECT_EQ(parent->tree.chartMode, kModeParent);
    EXPECT_EQ(Of(*parent), Fresh(kModeParent, 6, settings));
}

TEST(Recompute, WithoutSnapshotTheFileIsReadAgain) {
    auto chart = test::ComputeChart(Family(), kModeDescendants, 1);
    chart->store->dropSnapshot();
    int64_t zoom = 1;
    ListReporter reporter;
    // Reading fails: nothing is left to draw.
    EXPECT_EQ(Recompute(chart->tree, *chart->store, DefaultChartSettings(), 1, zoom, reporter, [] { return -1; }), -1);
    EXPECT_EQ(chart->tree.descendantCount, 0);
    // Reading works: the chart comes back.
    const std::string text = Family();
    const auto reread = [&] { return ReadGedcomBytes(*chart->store, text, {}, reporter); };
    ASSERT_EQ(Recompute(chart->tree, *chart->store, DefaultChartSettings(), 1, zoom, reporter, reread), 0);
    EXPECT_EQ(Of(*chart), Fresh(kModeDescendants, 1, DefaultChartSettings()));
    // A root that is no longer in the file.
    EXPECT_EQ(Recompute(chart->tree, *chart->store, DefaultChartSettings(), 99, zoom, reporter, reread), -1);
    EXPECT_EQ(chart->tree.descendantCount, 0);
}

} // namespace
} // namespace arbolix
