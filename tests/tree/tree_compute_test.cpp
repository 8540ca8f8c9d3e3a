// The chart tables computed from small families: every mode, every cousin setting, placeholders,
// empty boxes, loops and limits; and their recomputation from the file as read.

#include <gtest/gtest.h>

#include <tuple>

#include "tree/recompute.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::ComputeChart;
using test::FamilyText;
using V = std::vector<int32_t>;
using Sosas = std::vector<int64_t>;
constexpr auto kXref = &DescendantNode::xref;
constexpr auto kParent1 = &DescendantNode::parent1;
constexpr auto kParent2 = &DescendantNode::parent2;

// The root 1 and his wife 2; their children 3, 4, 5; 3 and 6 have 7 and 8; 4 and 9 have 10.
std::string SmallFamily() {
    return FamilyText().persons(10, "P", 1800).family(1, 2, {3, 4, 5}).family(3, 6, {7, 8}).family(9, 4, {10}).text();
}

std::vector<V> Children(const test::Chart& c) {
    std::vector<V> lists;
    for (int32_t n = 1; n <= c.tree.descendantCount; ++n) {
        lists.emplace_back();
        for (int k = 0; k < 32 && c.d(n).children[k] != 0; ++k) lists.back().push_back(c.d(n).children[k]);
    }
    return lists;
}

// Descendants: the married-in spouses leave the chart, the records are compacted (8 takes the
// place of 6, 10 the place of 2) and the exchange sort brings 10 behind the third child.
TEST(ComputeTree, DescendantChartAfterCompactionAndSort) {
    const auto c = ComputeChart(SmallFamily(), kModeDescendants, 1);
    ASSERT_EQ(c->result, 0);
    EXPECT_EQ(c->ds(kXref), (V{1, 3, 4, 5, 10, 8, 7}));
    EXPECT_EQ(c->ds(kParent1), (V{0, 1, 1, 1, 3, 2, 2}));
    EXPECT_EQ(c->ds(kParent2), V(7, 0));
    EXPECT_EQ(c->ds(&DescendantNode::generation), (V{0, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(Children(*c), (std::vector<V>{{2, 3, 4}, {6, 7}, {5}, {}, {}, {}, {}}));
    // The spouse entries still name the spouses' records, which keep their names.
    EXPECT_EQ(c->ds(&DescendantNode::spouseCount), (V{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_STREQ((*c->store)[c->d(1).spouses[0]].givenName, "P2");
    EXPECT_STREQ((*c->store)[c->d(3).spouses[0]].givenName, "P9");
    test::ExpectConsistentTables(c->tree);
}

// Ancestors of 7: father 3, mother 6, then 3's parents 1 and 2.
TEST(ComputeTree, AncestorAndBothModes) {
    const auto asc = ComputeChart(SmallFamily(), kModeAncestors, 7);
    ASSERT_EQ(asc->result, 0);
    EXPECT_EQ(asc->tree.descendantCount, 0);
    EXPECT_EQ(asc->as(&AncestorNode::sosa), (Sosas{1, 2, 3, 4, 5}));
    EXPECT_EQ(asc->as(&AncestorNode::xref), (V{7, 3, 6, 1, 2}));
    EXPECT_EQ(asc->as(&AncestorNode::father), (V{2, 4, 0, 0, 0}));
    EXPECT_EQ(asc->as(&AncestorNode::mother), (V{3, 5, 0, 0, 0}));
    EXPECT_EQ(asc->as(&AncestorNode::child), (V{0, 1, 1, 2, 2}));

    // 8 and 7 take the places of 1 and 2, then the sort brings 3 first and leaves 7 before 8.
    const auto both = ComputeChart(SmallFamily(), kModeBoth, 3);
    ASSERT_EQ(both->result, 0);
    EXPECT_EQ(both->ds(kXref), (V{3, 7, 8}));
    EXPECT_EQ(both->as(&AncestorNode::sosa), (Sosas{1, 2, 3}));
    EXPECT_EQ(both->a(1).xref, 3);
    test::ExpectConsistentTables(both->tree);
}

// 0x77: the ancestors of the chosen person and the descendants of its father (or, without one,
// its mother); without a parent the mode becomes 0x73 and the descendants are the person's own.
TEST(ComputeTree, ParentModes) {
    const auto parent = ComputeChart(SmallFamily(), kModeParent, 7);
    ASSERT_EQ(parent->result, 0);
    EXPECT_EQ(parent->tree.chartMode, kModeParent);
    EXPECT_EQ(parent->ds(kXref), (V{3, 7, 8}));
    EXPECT_EQ(parent->a(1).xref, 7);
    EXPECT_EQ(parent->tree.ancestorCount, 5);
    EXPECT_EQ(parent->tree.rootXref, 7);

    FamilyText f;
    const auto motherOnly = ComputeChart(f.persons(2, "M").family(0, 1, {2}).text(), kModeParent, 2);
    EXPECT_EQ(motherOnly->d(1).xref, 1);
    EXPECT_EQ(motherOnly->tree.chartMode, kModeParent);

    const auto none = ComputeChart(SmallFamily(), kModeParent, 1);
    ASSERT_EQ(none->result, 0);
    EXPECT_EQ(none->tree.chartMode, kModeParentMissing);
    EXPECT_EQ(none->d(1).xref, 1);
    EXPECT_EQ(none->tree.descendantCount, 7);
    EXPECT_EQ(none->tree.ancestorCount, 1);
}

// The grandparents 6 (G) and 7 (H) are reached through 2's father 4 and through 3's mother 5.
std::string SharedGrandparents() {
    return FamilyText().persons(7, "S").family(2, 3, {1}).family(4, 0, {2}).family(0, 5, {3}).family(6, 7, {4, 5}).text();
}

TEST(ComputeTree, AncestorReachedAlongTwoLines) {
    const auto first = ComputeChart(SharedGrandparents(), kModeAncestors, 1, [](ChartSettings& s) { s.setcousin = 0; });
    EXPECT_EQ(first->as(&AncestorNode::sosa), (Sosas{1, 2, 3, 4, 7, 8, 9}));
    EXPECT_EQ(first->a(5).father, 0); // 7, the second line, is cut

    const auto twice = ComputeChart(SharedGrandparents(), kModeAncestors, 1, [](ChartSettings& s) { s.setcousin = 2; });
    EXPECT_EQ(twice->as(&AncestorNode::sosa), (Sosas{1, 2, 3, 4, 7, 8, 9, 14, 15}));
    EXPECT_EQ(twice->as(&AncestorNode::xref), (V{1, 2, 3, 4, 5, 6, 7, 6, 7}));

    // Once, with the lines turned until the two children of the shared grandparents sit side
    // by side (5 through a mother, 6 through a father) and the second link marked implexe.
    const auto once = ComputeChart(SharedGrandparents(), kModeAncestors, 1);
    ASSERT_EQ(once->result, 0);
    EXPECT_EQ(once->as(&AncestorNode::sosa), (Sosas{1, 2, 3, 5, 6, 10, 11}));
    EXPECT_EQ(once->as(&AncestorNode::xref), (V{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(once->as(&AncestorNode::father), (V{2, 0, 5, 6, -6, 0, 0}));
    EXPECT_EQ(once->as(&AncestorNode::mother), (V{3, 4, 0, 7, -7, 0, 0}));
    EXPECT_EQ(once->as(&AncestorNode::child), (V{0, 1, 1, 2, 3, 4, 4}));
    test::ExpectConsistentTables(once->tree);
}

// 1's father 2 and mother 3; 2's father 4, 4's father 5, 5's father 6; 3's father is 6 too:
// the line through 3 is three generations shorter.
TEST(ComputeTree, PlaceholdersAndSwapsWhenLinesMeetAtDifferentDepths) {
    const auto c = ComputeChart(
        FamilyText().persons(6, "D").family(2, 3, {1}).family(4, 0, {2}).family(5, 0, {4}).family(6, 0, {5, 3}).text(),
        kModeAncestors, 1);
    ASSERT_EQ(c->result, 0);
    // Two "$" boxes bring 3's line to the length of 2's. Two swaps turn the first line to run
    // through mothers above 2 (4 is 2's mother, 5 is 4's), so that 5 (11) and the second "$"
    // (12) sit side by side under 6, reached the second time through an implexe link.
    EXPECT_EQ(c->as(&AncestorNode::sosa), (Sosas{1, 2, 3, 5, 6, 11, 12, 22}));
    EXPECT_EQ(c->as(&AncestorNode::xref), (V{1, 2, 3, 4, 0, 5, 0, 6}));
    EXPECT_STREQ(c->a(5).surname, "$");
    EXPECT_STREQ(c->a(7).surname, "$");
    EXPECT_EQ(c->as(&AncestorNode::father), (V{2, 0, 5, 0, 7, 8, -8, 0}));
    EXPECT_EQ(c->as(&AncestorNode::mother), (V{3, 4, 0, 6, 0, 0, 0, 0}));
    test::ExpectConsistentTables(c->tree);
}

// A child of two relatives of the root, under each cousin setting: 0 hangs it once, under its
// deeper parent; 1 under both, "$" boxes bridging the generations its parents are apart; 2 once
// under each parent, the record under the mother (or, at the same depth, the father).
TEST(ComputeTree, ChildOfRelativesUnderTheThreeModes) {
    // 1 → 2, 3; 2 → 4; 3 → 5 → 6; 4 × 6 → 7: the father one generation higher than the mother.
    const std::string deeper =
        FamilyText().persons(7, "C").family(1, 0, {2, 3}).family(2, 0, {4}).family(3, 0, {5}).family(5, 0, {6}).family(4, 6, {7}).text();
    // First cousins at the same depth: 1 → 2, 3; 2 → 4; 3 → 5; 4 × 5 → 6.
    const std::string level =
        FamilyText().persons(6, "E").family(1, 0, {2, 3}).family(2, 0, {4}).family(3, 0, {5}).family(4, 5, {6}).text();
    // 1 → 2 → 3 → 4; 1 → 5; 4 × 5 → 6: 5 two generations above 6's other parent, a chain of "$".
    const std::string chain =
        FamilyText().persons(6, "F").family(1, 0, {2, 5}).family(2, 0, {3}).family(3, 0, {4}).family(4, 5, {6}).text();
    struct Case {
        const std::string& text;
        int cousin;
        V xrefs, parents1, parents2;
    };
    const Case cases[] = {
        {deeper, 0, {1, 2, 3, 4, 5, 6, 7}, {0, 1, 1, 2, 3, 5, 6}, V(7, 0)},
        {deeper, 1, {1, 2, 3, 4, 5, 6, 0, 7}, {0, 1, 1, 2, 3, 5, 4, 7}, {0, 0, 0, 0, 0, 0, 0, 6}},
        {deeper, 2, {1, 2, 3, 4, 5, 6, 7, 7}, {0, 1, 1, 2, 3, 5, 4, 6}, V(8, 0)},
        {level, 0, {1, 2, 3, 4, 5, 6}, {0, 1, 1, 2, 3, 4}, V(6, 0)},
        {level, 1, {1, 2, 3, 4, 5, 6}, {0, 1, 1, 2, 3, 4}, {0, 0, 0, 0, 0, 5}},
        {level, 2, {1, 2, 3, 4, 5, 6, 6}, {0, 1, 1, 2, 3, 4, 5}, V(7, 0)},
        {chain, 1, {1, 2, 5, 3, 0, 0, 4, 6}, {0, 1, 1, 2, 3, 5, 4, 7}, {0, 0, 0, 0, 0, 0, 0, 6}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(&k - cases);
        const auto c = ComputeChart(k.text, kModeDescendants, 1, [&](ChartSettings& s) { s.setcousin = k.cousin; });
        ASSERT_EQ(c->result, 0);
        EXPECT_EQ(c->ds(kXref), k.xrefs);
        EXPECT_EQ(c->ds(kParent1), k.parents1);
        EXPECT_EQ(c->ds(kParent2), k.parents2);
        for (int32_t n = 1; n <= c->tree.descendantCount; ++n)
            if (c->d(n).xref == 0) { EXPECT_STREQ(c->d(n).surname, "$") << n; }
        test::ExpectConsistentTables(c->tree);
    }
}

// Brother and sister marrying generation after generation: generation k is the couple 2k+1,
// 2k+2, both children of the couple before; the root is the last couple's child. Every line of
// the root's ascendance goes through every couple.
std::string CousinLattice(int generations) {
    FamilyText text;
    text.persons(2 * generations + 3, "L");
    for (int k = 0; k <= generations; ++k) {
        const V children = k < generations ? V{2 * k + 3, 2 * k + 4} : V{2 * generations + 3};
        text.family(2 * k + 1, 2 * k + 2, children);
    }
    return text.text();
}

TEST(ComputeTree, DuplicationStopsAtTheGenerationLimitAndTheBoxBudget) {
    // Four generations asked for: the copies stop there, whatever lies above (the numbering keeps
    // every number up to 31, and the parents of 16 only).
    const auto fourGenerations = ComputeChart(CousinLattice(16), kModeAncestors, 35, [](ChartSettings& s) {
        s.setcousin = 2;
        s.m_gene = 4;
    });
    ASSERT_EQ(fourGenerations->result, 0);
    Sosas expected(31);
    for (int64_t n = 1; n <= 31; ++n) expected[static_cast<size_t>(n - 1)] = n;
    expected.insert(expected.end(), {32, 33});
    EXPECT_EQ(fourGenerations->as(&AncestorNode::sosa), expected);
    EXPECT_LT(fourGenerations->store->highestXref, 35 + 64);
    EXPECT_TRUE(fourGenerations->reporter.messages.empty());

    // Without a limit the lines would ask for millions of copies on either side: the budget
    // stops them, says so once, and the chart stays whole.
    const std::string twenty = CousinLattice(20);
    for (const auto& [mode, root] : {std::pair{kModeAncestors, 43}, std::pair{kModeDescendants, 1}}) {
        SCOPED_TRACE(mode);
        const auto c = ComputeChart(twenty, mode, root, [](ChartSettings& s) {
            s.setcousin = 2;
            s.m_gene = 62;
            s.m_gened = 62;
        });
        ASSERT_EQ(c->result, 0);
        ASSERT_EQ(c->reporter.messages.size(), 1u);
        EXPECT_EQ(c->reporter.messages[0].text,
                  "Duplication limitée à 250000 cases : les personnes atteintes par d'autres lignes "
                  "n'y sont plus répétées");
        EXPECT_LE(c->tree.ancestorCount + c->tree.descendantCount, 250000 + 43);
        EXPECT_GT(c->tree.ancestorCount + c->tree.descendantCount, 100000);
        test::ExpectConsistentTables(c->tree);
    }
}

TEST(ComputeTree, ThirtyThreeChildrenStopTheComputation) {
    const std::string family = FamilyText().persons(34, "G").children(1, 2, 34).text();
    // Also when the ancestor part ran first (a child's chart with its father's descendants).
    for (const auto& [mode, root] : {std::pair{kModeDescendants, 1}, std::pair{kModeParent, 2}}) {
        const auto c = ComputeChart(family, mode, root);
        EXPECT_EQ(c->result, -1) << mode;
        EXPECT_EQ(c->tree.descendantCount, 0) << mode;
        ASSERT_EQ(c->reporter.messages.size(), 1u) << mode;
        EXPECT_EQ(c->reporter.messages[0].text, "Fichier GEDCOM limité à 32 enfants par personne : 33");
    }
}

TEST(ComputeTree, EmptyBoxesBelowAndAbove) {
    FamilyText f;
    f.person(1, "H1 /N/").person(2, "H2 /N/").person(3, "Other /X/");
    const auto c = ComputeChart(f.family(1, 0, {2}).text(), kModeBoth, 1, [](ChartSettings& s) {
        s.m_casevide.m_ngd = 2;
        s.m_casevide.m_ndg = 3;
        s.m_casevide.m_nag = 2;
    });
    ASSERT_EQ(c->result, 0);
    // 1, 2, three empty children of 2, three empty children of each.
    EXPECT_EQ(c->ds(&DescendantNode::generation), (V{0, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3}));
    // 1 without parents: two empty parents and four empty grandparents.
    EXPECT_EQ(c->as(&AncestorNode::sosa), (Sosas{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_STREQ(c->a(7).surname, " ");
    test::ExpectConsistentTables(c->tree);
}

// 2 is 3's father and 3 is 2's father: 2 is its own grandparent.
TEST(ComputeTree, OwnGrandparentEndsWithAnAnomaly) {
    FamilyText f;
    f.person(1, "Root /L/", 1700).person(2, "Looped /L/", 1720).person(3, "Other /L/", 1740);
    const std::string text = f.family(0, 1, {2}).family(3, 0, {2}).family(2, 0, {3}).text();
    const auto down = ComputeChart(text, kModeDescendants, 1);
    EXPECT_EQ(down->result, 0);
    EXPECT_GE(down->tree.descendantCount, 1);
    ASSERT_FALSE(down->reporter.messages.empty());
    const Message& anomaly = down->reporter.messages[0];
    EXPECT_EQ(anomaly.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(anomaly.text == "Anomalie dans les ancêtres de L Looped né(e) en 1720" ||
                anomaly.text == "Anomalie dans les ancêtres de L Other né(e) en 1740")
        << anomaly.text;
    test::ExpectConsistentTables(down->tree);

    // 4 is his own father and a grandchild of the root through his mother 3; with the root's
    // child 2 he has 5, who has 6. The loop takes 4 and 5 out of the chart: 6, reached only
    // through them, goes too instead of hanging from nobody.
    const std::string below =
        FamilyText().persons(6, "B").family(1, 0, {2, 3}).family(0, 3, {4}).family(4, 0, {4})
            .family(2, 4, {5}).family(5, 0, {6}).text();
    for (int cousin : {0, 1, 2}) {
        const auto c = ComputeChart(below, kModeDescendants, 1, [&](ChartSettings& s) { s.setcousin = cousin; });
        EXPECT_EQ(c->result, 0);
        EXPECT_EQ(c->ds(kXref), (V{1, 2, 3})) << cousin;
        test::ExpectConsistentTables(c->tree);
    }
}

TEST(ExchangeSort, FastPermutationEqualsTheDoubleLoop) {
    uint64_t seed = 12345;
    const auto next = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int32_t>(seed >> 33);
    };
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + next() % 120;
        const int generations = 1 + next() % 9;
        V keys(static_cast<size_t>(n) + 1, 0);
        for (int i = 1; i <= n; ++i) keys[static_cast<size_t>(i)] = next() % generations;
        ASSERT_EQ(ExchangeSortPermutation(keys), ExchangeSortPermutationSlow(keys)) << round;
    }
}

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
