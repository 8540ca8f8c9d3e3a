#include <gtest/gtest.h>

#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::ComputeChart;
using test::FamilyText;

// The root 1 and his wife 2; their children 3, 4, 5; 3 and 6 have 7 and 8; 4 and 9 have 10.
std::string SmallFamily() {
    FamilyText f;
    for (int i = 1; i <= 10; ++i) f.person(i, std::string("P") + std::to_string(i) + " /N/", 1800 + i);
    f.family(1, 2, {3, 4, 5}).family(3, 6, {7, 8}).family(9, 4, {10});
    return f.text();
}

std::vector<int32_t> Parents1(const test::Chart& c) {
    std::vector<int32_t> parents;
    for (int32_t n = 1; n <= c.tree.descendantCount; ++n) parents.push_back(c.d(n).parent1);
    return parents;
}

std::vector<int32_t> Children(const DescendantNode& node) {
    std::vector<int32_t> children;
    for (int k = 0; k < 32 && node.children[k] != 0; ++k) children.push_back(node.children[k]);
    return children;
}

// Descendants: the married-in spouses leave the chart, the records are compacted (8 takes the
// place of 6, 10 the place of 2) and the exchange sort brings 10 behind the third child.
TEST(ComputeTree, DescendantChartAfterCompactionAndSort) {
    const auto c = ComputeChart(SmallFamily(), kModeDescendants, 1);
    ASSERT_EQ(c->result, 0);
    EXPECT_EQ(c->tree.chartMode, kModeDescendants);
    EXPECT_EQ(c->tree.ancestorCount, 0);
    EXPECT_EQ(c->descendantXrefs(), (std::vector<int32_t>{1, 3, 4, 5, 10, 8, 7}));
    EXPECT_EQ(Parents1(*c), (std::vector<int32_t>{0, 1, 1, 1, 3, 2, 2}));
    std::vector<int32_t> generations;
    for (int32_t n = 1; n <= 7; ++n) generations.push_back(c->d(n).generation);
    EXPECT_EQ(generations, (std::vector<int32_t>{0, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(Children(c->d(1)), (std::vector<int32_t>{2, 3, 4}));
    EXPECT_EQ(Children(c->d(2)), (std::vector<int32_t>{6, 7}));
    EXPECT_EQ(Children(c->d(3)), (std::vector<int32_t>{5}));
    EXPECT_EQ(c->d(5).parent2, 0);
    EXPECT_EQ(c->d(4).birthYear, 1805);
    EXPECT_STREQ(c->d(4).givenName, "P5");
    EXPECT_STREQ(c->d(4).place, "?");
    // The spouse entries still name the spouses' records, which keep their names.
    ASSERT_EQ(c->d(1).spouseCount, 1);
    EXPECT_STREQ((*c->store)[c->d(1).spouses[0]].givenName, "P2");
    ASSERT_EQ(c->d(3).spouseCount, 1);
    EXPECT_STREQ((*c->store)[c->d(3).spouses[0]].givenName, "P9");
    EXPECT_EQ(c->tree.longestGivenName, 3);
    test::ExpectConsistentTables(c->tree);
}

// Ancestors of 7: father 3, mother 6, then 3's parents 1 and 2.
TEST(ComputeTree, AncestorAndBothModes) {
    const auto asc = ComputeChart(SmallFamily(), kModeAncestors, 7);
    ASSERT_EQ(asc->result, 0);
    EXPECT_EQ(asc->tree.descendantCount, 0);
    EXPECT_EQ(asc->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 4, 5}));
    std::vector<int32_t> xrefs;
    for (int32_t n = 1; n <= asc->tree.ancestorCount; ++n) xrefs.push_back(asc->a(n).xref);
    EXPECT_EQ(xrefs, (std::vector<int32_t>{7, 3, 6, 1, 2}));
    EXPECT_EQ(asc->a(1).father, 2);
    EXPECT_EQ(asc->a(1).mother, 3);
    EXPECT_EQ(asc->a(2).father, 4);
    EXPECT_EQ(asc->a(2).mother, 5);
    EXPECT_EQ(asc->a(3).father, 0);
    EXPECT_EQ(asc->a(4).child, 2);
    EXPECT_EQ(asc->a(3).child, 1);

    // 8 and 7 take the places of 1 and 2, then the sort brings 3 first and leaves 7 before 8.
    const auto both = ComputeChart(SmallFamily(), kModeBoth, 3);
    ASSERT_EQ(both->result, 0);
    EXPECT_EQ(both->descendantXrefs(), (std::vector<int32_t>{3, 7, 8}));
    EXPECT_EQ(both->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3}));
    EXPECT_EQ(both->a(1).xref, 3);
    test::ExpectConsistentTables(both->tree);
}

// 0x77: the ancestors of the chosen person and the descendants of its father; without a parent
// the mode becomes 0x73 and the descendants are the chosen person's own.
TEST(ComputeTree, ParentModes) {
    const auto parent = ComputeChart(SmallFamily(), kModeParent, 7);
    ASSERT_EQ(parent->result, 0);
    EXPECT_EQ(parent->tree.chartMode, kModeParent);
    EXPECT_EQ(parent->descendantXrefs(), (std::vector<int32_t>{3, 7, 8}));
    EXPECT_EQ(parent->a(1).xref, 7);
    EXPECT_EQ(parent->tree.ancestorCount, 5);
    EXPECT_EQ(parent->tree.rootXref, 7);

    FamilyText f;
    f.person(1, "Mother /M/").person(2, "Child /M/");
    const auto motherOnly = ComputeChart(f.family(0, 1, {2}).text(), kModeParent, 2);
    EXPECT_EQ(motherOnly->d(1).xref, 1); // no father in the file: the mother
    EXPECT_EQ(motherOnly->tree.chartMode, kModeParent);

    const auto none = ComputeChart(SmallFamily(), kModeParent, 1);
    ASSERT_EQ(none->result, 0);
    EXPECT_EQ(none->tree.chartMode, kModeParentMissing);
    EXPECT_EQ(none->d(1).xref, 1);
    EXPECT_EQ(none->tree.descendantCount, 7);
    EXPECT_EQ(none->tree.ancestorCount, 1);
}

// Three generations of ancestors above 1: 2, 3; 4, 5 (parents of 2); 6, 7 (parents of 3).
std::string ThreeGenerations() {
    FamilyText f;
    for (int i = 1; i <= 7; ++i) f.person(i, std::string("A") + std::to_string(i) + " /N/");
    return f.family(2, 3, {1}).family(4, 5, {2}).family(6, 7, {3}).text();
}

TEST(ComputeTree, OneAncestorGenerationUnderEachCousinMode) {
    for (int cousin : {0, 2}) {
        const auto c = ComputeChart(ThreeGenerations(), kModeAncestors, 1,
                                    [&](ChartSettings& s) { s.m_gene = 1, s.setcousin = cousin; });
        EXPECT_EQ(c->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 4, 5})) << cousin;
    }
    const auto lines = ComputeChart(ThreeGenerations(), kModeAncestors, 1,
                                    [](ChartSettings& s) { s.m_gene = 1, s.setcousin = 1; });
    EXPECT_EQ(lines->ancestorNumbers(), (std::vector<int64_t>{1}));
}

// The grandparents 6 (G) and 7 (H) are reached through 2's father 4 and through 3's mother 5.
std::string SharedGrandparents() {
    FamilyText f;
    for (int i = 1; i <= 7; ++i) f.person(i, std::string("S") + std::to_string(i) + " /N/");
    return f.family(2, 3, {1}).family(4, 0, {2}).family(0, 5, {3}).family(6, 7, {4, 5}).text();
}

TEST(ComputeTree, AncestorReachedAlongTwoLines) {
    const auto first = ComputeChart(SharedGrandparents(), kModeAncestors, 1,
                                    [](ChartSettings& s) { s.setcousin = 0; });
    EXPECT_EQ(first->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 4, 7, 8, 9}));
    EXPECT_EQ(first->a(first->ancestorBySosa(7)).father, 0); // the second line is cut

    const auto twice = ComputeChart(SharedGrandparents(), kModeAncestors, 1,
                                    [](ChartSettings& s) { s.setcousin = 2; });
    EXPECT_EQ(twice->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 4, 7, 8, 9, 14, 15}));
    EXPECT_EQ(twice->a(twice->ancestorBySosa(14)).xref, 6);
    EXPECT_EQ(twice->a(twice->ancestorBySosa(8)).xref, 6);

    // Once, with the lines turned until the two children of the shared grandparents sit side
    // by side (5 through a mother, 6 through a father) and the second link marked implexe.
    const auto once = ComputeChart(SharedGrandparents(), kModeAncestors, 1);
    ASSERT_EQ(once->result, 0);
    EXPECT_EQ(once->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 5, 6, 10, 11}));
    std::vector<int32_t> xrefs;
    for (int32_t n = 1; n <= once->tree.ancestorCount; ++n) xrefs.push_back(once->a(n).xref);
    EXPECT_EQ(xrefs, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(once->a(2).father, 0);
    EXPECT_EQ(once->a(2).mother, 4);
    EXPECT_EQ(once->a(3).father, 5);
    EXPECT_EQ(once->a(3).mother, 0);
    EXPECT_EQ(once->a(4).father, 6);
    EXPECT_EQ(once->a(4).mother, 7);
    EXPECT_EQ(once->a(5).father, -6);
    EXPECT_EQ(once->a(5).mother, -7);
    EXPECT_EQ(once->a(5).child, 3);
    test::ExpectConsistentTables(once->tree);
}

// 1's father 2 and mother 3; 2's father 4, 4's father 5, 5's father 6; 3's father is 6 too:
// the line through 3 is three generations shorter.
TEST(ComputeTree, PlaceholdersAndSwapsWhenLinesMeetAtDifferentDepths) {
    FamilyText f;
    for (int i = 1; i <= 6; ++i) f.person(i, std::string("D") + std::to_string(i) + " /N/");
    const std::string text =
        f.family(2, 3, {1}).family(4, 0, {2}).family(5, 0, {4}).family(6, 0, {5, 3}).text();
    const auto c = ComputeChart(text, kModeAncestors, 1);
    ASSERT_EQ(c->result, 0);
    // Two "$" boxes bring 3's line to the length of 2's. Two swaps turn the first line to run
    // through mothers above 2 (4 is 2's mother, 5 is 4's), so that 5 (11) and the second "$"
    // (12) sit side by side under 6, reached the second time through an implexe link.
    EXPECT_EQ(c->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 5, 6, 11, 12, 22}));
    std::vector<int32_t> xrefs;
    for (int32_t n = 1; n <= c->tree.ancestorCount; ++n) xrefs.push_back(c->a(n).xref);
    EXPECT_EQ(xrefs, (std::vector<int32_t>{1, 2, 3, 4, 0, 5, 0, 6}));
    EXPECT_STREQ(c->a(5).surname, "$");
    EXPECT_STREQ(c->a(7).surname, "$");
    EXPECT_EQ(c->a(2).father, 0);
    EXPECT_EQ(c->a(2).mother, 4);
    EXPECT_EQ(c->a(4).mother, 6);
    EXPECT_EQ(c->a(6).father, 8);
    EXPECT_EQ(c->a(7).father, -8);
    EXPECT_EQ(c->a(8).child, 6);
    test::ExpectConsistentTables(c->tree);
}

// Descendants of the grandparent 1: 2 and 3; 2's son 4; 3's son 5 whose daughter 6 marries 4;
// their child 7 has a father one generation higher than its mother.
std::string CousinsAtDifferentDepths() {
    FamilyText f;
    for (int i = 1; i <= 7; ++i) f.person(i, std::string("C") + std::to_string(i) + " /N/");
    return f.family(1, 0, {2, 3}).family(2, 0, {4}).family(3, 0, {5}).family(5, 0, {6}).family(4, 6, {7}).text();
}

TEST(ComputeTree, ChildOfRelativesUnderTheThreeModes) {
    const auto without = ComputeChart(CousinsAtDifferentDepths(), kModeDescendants, 1,
                                      [](ChartSettings& s) { s.setcousin = 0; });
    EXPECT_EQ(without->descendantXrefs(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(without->d(7).parent1, 6); // under its mother, on the deeper line
    EXPECT_EQ(without->d(7).parent2, 0);

    const auto bridged = ComputeChart(CousinsAtDifferentDepths(), kModeDescendants, 1);
    ASSERT_EQ(bridged->tree.descendantCount, 8);
    EXPECT_EQ(bridged->descendantXrefs(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 0, 7}));
    EXPECT_STREQ(bridged->d(7).surname, "$");
    EXPECT_EQ(bridged->d(7).parent1, 4);
    EXPECT_EQ(bridged->d(8).parent1, 7);
    EXPECT_EQ(bridged->d(8).parent2, 6);

    const auto twice = ComputeChart(CousinsAtDifferentDepths(), kModeDescendants, 1,
                                    [](ChartSettings& s) { s.setcousin = 2; });
    ASSERT_EQ(twice->tree.descendantCount, 8);
    EXPECT_EQ(twice->descendantXrefs(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 7}));
    EXPECT_EQ(twice->d(7).parent1, 4); // the copy, under the father
    EXPECT_EQ(twice->d(8).parent1, 6); // the record, under the mother
    EXPECT_EQ(twice->d(8).parent2, 0);
    for (const auto* c : {without.get(), bridged.get(), twice.get()}) test::ExpectConsistentTables(c->tree);
}

TEST(ComputeTree, ChildOfFirstCousinsAtTheSameDepth) {
    FamilyText f;
    for (int i = 1; i <= 6; ++i) f.person(i, std::string("E") + std::to_string(i) + " /N/");
    const std::string text = f.family(1, 0, {2, 3}).family(2, 0, {4}).family(3, 0, {5}).family(4, 5, {6}).text();
    const auto once = ComputeChart(text, kModeDescendants, 1, [](ChartSettings& s) { s.setcousin = 0; });
    EXPECT_EQ(once->tree.descendantCount, 6);
    EXPECT_EQ(once->d(6).parent1, 4);
    EXPECT_EQ(once->d(6).parent2, 0);
    const auto both = ComputeChart(text, kModeDescendants, 1);
    EXPECT_EQ(both->tree.descendantCount, 6);
    EXPECT_EQ(both->d(6).parent1, 4);
    EXPECT_EQ(both->d(6).parent2, 5);
    const auto twice = ComputeChart(text, kModeDescendants, 1, [](ChartSettings& s) { s.setcousin = 2; });
    EXPECT_EQ(twice->tree.descendantCount, 7);
    EXPECT_EQ(twice->d(6).xref, 6);
    EXPECT_EQ(twice->d(7).xref, 6);
    EXPECT_EQ(twice->d(6).parent1, 4); // the record keeps the father on a tie
    EXPECT_EQ(twice->d(7).parent1, 5);
}

// The descendant gap of several generations becomes a chain of "$" boxes.
TEST(ComputeTree, PlaceholderChainOnTheDescendantSide) {
    FamilyText f;
    for (int i = 1; i <= 6; ++i) f.person(i, std::string("F") + std::to_string(i) + " /N/");
    // 1 → 2 → 3 → 4; 1 → 5; 4 × 5 → 6: 5 is two generations above 6's other parent.
    const std::string text = f.family(1, 0, {2, 5}).family(2, 0, {3}).family(3, 0, {4}).family(4, 5, {6}).text();
    const auto c = ComputeChart(text, kModeDescendants, 1);
    ASSERT_EQ(c->result, 0);
    EXPECT_EQ(c->descendantXrefs(), (std::vector<int32_t>{1, 2, 5, 3, 0, 0, 4, 6}));
    EXPECT_EQ(c->d(5).parent1, 3); // the first "$" under 5
    EXPECT_EQ(c->d(6).parent1, 5); // the second under the first
    EXPECT_EQ(c->d(8).parent1, 7);
    EXPECT_EQ(c->d(8).parent2, 6);
    test::ExpectConsistentTables(c->tree);
}

TEST(ComputeTree, ThirtyThreeChildrenStopTheComputation) {
    FamilyText f;
    std::vector<int> children;
    for (int i = 1; i <= 34; ++i) f.person(i, std::string("G") + std::to_string(i) + " /N/");
    for (int i = 2; i <= 34; ++i) children.push_back(i);
    const auto c = ComputeChart(f.family(1, 0, children).text(), kModeDescendants, 1);
    EXPECT_EQ(c->result, -1);
    EXPECT_EQ(c->tree.descendantCount, 0);
    ASSERT_EQ(c->reporter.messages.size(), 1u);
    EXPECT_EQ(c->reporter.messages[0].text, "Fichier GEDCOM limité à 32 enfants par personne : 33");
}

TEST(ComputeTree, EmptyBoxesBelowAndAbove) {
    FamilyText f;
    f.person(1, "H1 /N/").person(2, "H2 /N/").person(3, "Other /X/");
    const std::string text = f.family(1, 0, {2}).text();
    const auto c = ComputeChart(text, kModeBoth, 1, [](ChartSettings& s) {
        s.m_casevide.m_ngd = 2;
        s.m_casevide.m_ndg = 3;
        s.m_casevide.m_nag = 2;
    });
    ASSERT_EQ(c->result, 0);
    // 1, 2, three empty children of 2, three empty children of each.
    ASSERT_EQ(c->tree.descendantCount, 14);
    int32_t generation2 = 0, generation3 = 0;
    for (int32_t n = 1; n <= 14; ++n) {
        generation2 += c->d(n).generation == 2;
        generation3 += c->d(n).generation == 3;
    }
    EXPECT_EQ(generation2, 3);
    EXPECT_EQ(generation3, 9);
    EXPECT_STREQ(c->d(14).surname, "");
    // 1 without parents: two empty parents and four empty grandparents.
    EXPECT_EQ(c->ancestorNumbers(), (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7}));
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

    for (int cousin : {0, 1, 2}) {
        const auto up = ComputeChart(text, kModeAncestors, 2, [&](ChartSettings& s) { s.setcousin = cousin; });
        EXPECT_EQ(up->result, 0);
        EXPECT_EQ(up->tree.ancestorCount, 3) << cousin;
        test::ExpectConsistentTables(up->tree);
    }
}

TEST(ComputeTree, CountsAlongEveryLineForTheSelection) {
    auto store = std::make_unique<PersonStore>();
    ListReporter reporter;
    ASSERT_EQ(ReadGedcomBytes(*store, SharedGrandparents(), {}, reporter), 7);
    CountAncestorsAndDescendants(*store);
    EXPECT_EQ((*store)[1].sosa, 8); // 2, 3, 4, 5 and both grandparents twice
    EXPECT_EQ((*store)[6].level, 6); // 4, 5, 2, 3 and 1 twice
    EXPECT_EQ((*store)[7].level, 6);
    EXPECT_EQ((*store)[1].level, 0);
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
        std::vector<int32_t> keys(static_cast<size_t>(n) + 1, 0);
        for (int i = 1; i <= n; ++i) keys[static_cast<size_t>(i)] = next() % generations;
        ASSERT_EQ(ExchangeSortPermutation(keys), ExchangeSortPermutationSlow(keys)) << round;
    }
    // Distinct keys (ancestor numbers): the exchange sort gives the plain ascending order.
    for (int round = 0; round < 50; ++round) {
        std::vector<int32_t> keys{0};
        for (int i = 1; i <= 60; ++i) keys.push_back(i * 7 + 3);
        for (size_t i = keys.size() - 1; i > 1; --i) std::swap(keys[i], keys[1 + static_cast<size_t>(next()) % i]);
        const std::vector<int32_t> from = ExchangeSortPermutationSlow(keys);
        for (size_t p = 2; p < keys.size(); ++p) ASSERT_LT(keys[static_cast<size_t>(from[p - 1])], keys[static_cast<size_t>(from[p])]);
    }
}

} // namespace
} // namespace arbolix
