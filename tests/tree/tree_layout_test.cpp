// Positions computed by hand for small families; the corpus tests check the layout of large files.

#include <gtest/gtest.h>

#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::FamilyText;
using Ys = std::vector<double>;
using Xs = std::vector<int32_t>;

std::unique_ptr<test::Chart> LaidOut(const std::string& gedcom, int32_t mode, int32_t root,
                                     const std::function<void(ChartSettings&)>& tweak = {}) {
    return test::ComputeChart(gedcom, mode, root, tweak, 1);
}

TEST(LayoutTree, ThreeLeafChildren) {
    const auto c = LaidOut(FamilyText().persons(4, "L").family(1, 0, {2, 3, 4}).text(), kModeDescendants, 1);
    EXPECT_EQ(c->ds(&DescendantNode::layoutY), (Ys{-3.75, -18.75, -3.75, 11.25}));
    EXPECT_EQ(c->ds(&DescendantNode::layoutX), (Xs{0, 70, 70, 70})); // int(larg) + 20 per generation
    EXPECT_EQ(c->tree.descendantExtentX, 70);
}

TEST(LayoutTree, SpousesShownWidenTheNextSibling) {
    const std::string text = FamilyText().persons(5, "S").family(1, 0, {2, 3}).family(2, 4, {}).family(2, 5, {}).text();
    EXPECT_EQ(LaidOut(text, kModeDescendants, 1)->ds(&DescendantNode::layoutY), (Ys{0, -7.5, 7.5}));
    const auto with = LaidOut(text, kModeDescendants, 1, [](ChartSettings& s) { s.epoux = 1; });
    EXPECT_EQ(with->d(3).layoutY - with->d(2).layoutY, 25);
    EXPECT_EQ(with->d(2).layoutY, -12.5);
}

// Two children, each with three children of their own: they are spaced so that the
// grandchildren keep their distance, although they are far apart themselves.
TEST(LayoutTree, SiblingsSpacedByTheirWidestGeneration) {
    const auto c = LaidOut(
        FamilyText().persons(9, "W").family(1, 0, {2, 3}).family(2, 0, {4, 5, 6}).family(3, 0, {7, 8, 9}).text(),
        kModeDescendants, 1);
    ASSERT_EQ(c->tree.descendantCount, 9);
    EXPECT_EQ(c->d(3).layoutY - c->d(2).layoutY, 45);
    for (int32_t n = 5; n <= 9; ++n) EXPECT_EQ(c->d(n).layoutY - c->d(n - 1).layoutY, 15) << n;
}

// The shared grandparents: the implexe links of their second grandchild do not pull it.
TEST(LayoutTree, AncestorsWithOneParentAndImplexeLinks) {
    const auto c = LaidOut(
        FamilyText().persons(7, "A").family(2, 3, {1}).family(4, 0, {2}).family(0, 5, {3}).family(6, 7, {4, 5}).text(),
        kModeAncestors, 1);
    // Nodes by number: 1 root, 2 father (only a mother: 4), 3 mother (only a father: 5),
    // 4 (5) with both parents 6 and 7, 5 (6) with implexe links only.
    // 6 and 7 are spread around 4 (−7.5, +7.5), then the father's whole ancestry and the
    // mother's are pushed 7.5 apart at the generation where they are closest. A single parent
    // gives its position; implexe links do not pull.
    EXPECT_EQ(c->as(&AncestorNode::layoutY), (Ys{0, -7.5, 7.5, -7.5, 7.5, -15, 0}));
    // Depth: the ancestor generations follow each other one pitch apart.
    EXPECT_EQ(c->as(&AncestorNode::layoutX), (Xs{0, 70, 70, 140, 140, 210, 210}));
    EXPECT_EQ(c->tree.extentX, 210);
}

TEST(LayoutTree, BothHalvesShareTheRootLine) {
    const std::string text = FamilyText().persons(6, "B").family(2, 3, {1}).family(1, 0, {4, 5, 6}).text();
    const auto c = LaidOut(text, kModeBoth, 1);
    EXPECT_EQ(c->d(1).layoutX, 0);
    EXPECT_EQ(c->a(1).layoutX, c->tree.descendantExtentX);
    EXPECT_EQ(c->tree.descendantExtentX, 70);
    EXPECT_EQ(c->a(1).layoutY, c->d(1).layoutY);
    EXPECT_EQ(c->a(2).layoutX, 140); // the pitch continues past the descendants' depth
    EXPECT_EQ(c->a(2).layoutY, c->d(1).layoutY - 7.5);
    EXPECT_EQ(c->tree.yMin, c->tree.ancestorYMin);
    EXPECT_EQ(c->tree.yMax, c->tree.ancestorYMax);

    // The parent chart: the two roots drawn as lines, the ancestors one box length closer.
    const auto parent = LaidOut(text, kModeParent, 4);
    EXPECT_EQ(parent->d(1).surname[0], '$');
    EXPECT_EQ(parent->a(1).surname[0], '$');
    EXPECT_EQ(parent->a(1).layoutX, 70);
    EXPECT_EQ(parent->a(2).layoutX, 70 - 50 + 70);
}

TEST(LayoutTree, ZoomFitsTheDrawableRange) {
    // Fifteen generations of two children each: 32 768 boxes in the last, about ±245 000 units.
    FamilyText f;
    constexpr int kLast = (1 << 16) - 1;
    for (int i = 1; i <= kLast; ++i) f.person(i, "Z /Z/");
    for (int i = 1; 2 * i + 1 <= kLast; ++i) f.family(i, 0, {2 * i, 2 * i + 1});
    const auto wide = test::ComputeChart(f.text(), kModeDescendants, 1, {}, 4);
    EXPECT_NEAR(wide->tree.yMax, 245752.5, 1);
    EXPECT_NEAR(wide->tree.yMin, -245752.5, 1);
    EXPECT_EQ(wide->zoom, 2);
    EXPECT_EQ(test::ComputeChart(FamilyText().persons(1, "Z").text(), kModeDescendants, 1, {}, 8)->zoom, 1);
}

} // namespace
} // namespace arbolix
