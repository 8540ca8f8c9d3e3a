#include <gtest/gtest.h>

#include "tree/recompute.h"
#include "tree/tree_layout.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::FamilyText;

// Three generations below 1, two shared grandparents above 10.
std::string Family() {
    FamilyText f;
    for (int i = 1; i <= 12; ++i) f.person(i, std::string("R") + std::to_string(i) + " /N/", 1900 + i);
    return f.family(1, 2, {3, 4}).family(3, 5, {6, 7}).family(4, 8, {9}).family(6, 9, {10})
        .family(11, 12, {1})
        .text();
}

struct Fingerprint {
    std::vector<int32_t> descendants;
    std::vector<int64_t> ancestors;
    std::vector<double> positions;
    bool operator==(const Fingerprint&) const = default;
};

Fingerprint Of(const ChartTree& tree) {
    Fingerprint f;
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        f.descendants.push_back(tree.descendants[static_cast<size_t>(n)].xref);
        f.positions.push_back(tree.descendants[static_cast<size_t>(n)].layoutY);
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        f.ancestors.push_back(tree.ancestors[static_cast<size_t>(n)].sosa * 1000 + tree.ancestors[static_cast<size_t>(n)].xref);
        f.positions.push_back(tree.ancestors[static_cast<size_t>(n)].layoutY);
    }
    return f;
}

// What a first computation with these settings gives, laid out.
Fingerprint Fresh(int32_t mode, int32_t root, const ChartSettings& settings) {
    auto chart = test::ComputeChart(Family(), mode, root, [&](ChartSettings& s) { s = settings; });
    int64_t zoom = 1;
    LayoutTree(chart->tree, settings, zoom);
    return Of(chart->tree);
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
    EXPECT_EQ(Of(chart->tree), Fresh(kModeBoth, 1, settings));

    // The descendant part compacted the store: a new root still finds its persons.
    settings.setcousin = 2;
    ASSERT_EQ(Recompute(chart->tree, *chart->store, settings, 3, zoom, reporter, reread), 0);
    EXPECT_EQ(chart->d(1).xref, 3);
    EXPECT_EQ(Of(chart->tree), Fresh(kModeBoth, 3, settings));
    EXPECT_EQ(rereads, 0);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(Recompute, ParentChartFindsTheParentAgain) {
    auto chart = test::ComputeChart(Family(), kModeParent, 6);
    EXPECT_EQ(chart->d(1).xref, 3);
    EXPECT_EQ(chart->tree.rootXref, 6);
    int64_t zoom = 1;
    ListReporter reporter;
    ASSERT_EQ(Recompute(chart->tree, *chart->store, DefaultChartSettings(), chart->tree.rootXref, zoom, reporter, {}), 0);
    EXPECT_EQ(chart->tree.chartMode, kModeParent);
    EXPECT_EQ(chart->d(1).xref, 3);
    EXPECT_EQ(chart->a(1).xref, 6);
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
    EXPECT_EQ(Of(chart->tree), Fresh(kModeDescendants, 1, DefaultChartSettings()));
    // A root that is no longer in the file.
    EXPECT_EQ(Recompute(chart->tree, *chart->store, DefaultChartSettings(), 99, zoom, reporter, reread), -1);
    EXPECT_EQ(chart->tree.descendantCount, 0);
}

} // namespace
} // namespace arbolix
