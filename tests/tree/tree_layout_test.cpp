#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "gedgen/generator.h"
#include "support/test_support.h"
#include "tree/tree_layout.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::ComputeChart;
using test::FamilyText;

std::unique_ptr<test::Chart> LaidOut(const std::string& gedcom, int32_t mode, int32_t root,
                                     const std::function<void(ChartSettings&)>& tweak = {},
                                     int64_t* zoom = nullptr) {
    auto chart = ComputeChart(gedcom, mode, root, tweak);
    ChartSettings settings = DefaultChartSettings();
    if (tweak) tweak(settings);
    int64_t unused = 1;
    LayoutTree(chart->tree, settings, zoom ? *zoom : unused);
    return chart;
}

double Y(const test::Chart& c, int32_t node) { return c.d(node).layoutY; }

TEST(LayoutTree, ThreeLeafChildren) {
    FamilyText f;
    for (int i = 1; i <= 4; ++i) f.person(i, std::string("L") + std::to_string(i) + " /N/");
    const auto c = LaidOut(f.family(1, 0, {2, 3, 4}).text(), kModeDescendants, 1);
    EXPECT_EQ(Y(*c, 2), -18.75);
    EXPECT_EQ(Y(*c, 3), -3.75);
    EXPECT_EQ(Y(*c, 4), 11.25);
    EXPECT_EQ(Y(*c, 1), -3.75);
    EXPECT_EQ(c->d(1).layoutX, 0);
    EXPECT_EQ(c->d(2).layoutX, 70); // int(larg) + 20 per generation
    EXPECT_EQ(c->tree.descendantExtentX, 70);
    EXPECT_EQ(c->tree.extentX, 70);
    EXPECT_EQ(c->tree.yMin, -18.75);
    EXPECT_EQ(c->tree.yMax, 11.25);
}

TEST(LayoutTree, SpousesShownWidenTheNextSibling) {
    FamilyText f;
    for (int i = 1; i <= 5; ++i) f.person(i, std::string("S") + std::to_string(i) + " /N/");
    const std::string text = f.family(1, 0, {2, 3}).family(2, 4, {}).family(2, 5, {}).text();
    const auto without = LaidOut(text, kModeDescendants, 1);
    EXPECT_EQ(Y(*without, 3) - Y(*without, 2), 15);
    const auto with = LaidOut(text, kModeDescendants, 1, [](ChartSettings& s) { s.epoux = 1; });
    EXPECT_EQ(Y(*with, 3) - Y(*with, 2), 25);
    EXPECT_EQ(Y(*with, 2), -12.5);
}

// Two children, each with three children of their own: they are spaced so that the
// grandchildren keep their distance, although they are far apart themselves.
TEST(LayoutTree, SiblingsSpacedByTheirWidestGeneration) {
    FamilyText f;
    for (int i = 1; i <= 9; ++i) f.person(i, std::string("W") + std::to_string(i) + " /N/");
    const auto c = LaidOut(f.family(1, 0, {2, 3}).family(2, 0, {4, 5, 6}).family(3, 0, {7, 8, 9}).text(),
                           kModeDescendants, 1);
    ASSERT_EQ(c->tree.descendantCount, 9);
    EXPECT_EQ(Y(*c, 3) - Y(*c, 2), 45);
    std::vector<double> grandchildren;
    for (int32_t n = 4; n <= 9; ++n) grandchildren.push_back(Y(*c, n));
    std::sort(grandchildren.begin(), grandchildren.end());
    for (size_t k = 1; k < grandchildren.size(); ++k) EXPECT_EQ(grandchildren[k] - grandchildren[k - 1], 15);
}

// The shared grandparents: the implexe links of their second grandchild do not pull it.
TEST(LayoutTree, AncestorsWithOneParentAndImplexeLinks) {
    FamilyText f;
    for (int i = 1; i <= 7; ++i) f.person(i, std::string("A") + std::to_string(i) + " /N/");
    const std::string text = f.family(2, 3, {1}).family(4, 0, {2}).family(0, 5, {3}).family(6, 7, {4, 5}).text();
    const auto c = LaidOut(text, kModeAncestors, 1);
    // Nodes by number: 1 root, 2 father (only a mother: 4), 3 mother (only a father: 5),
    // 4 (5) with both parents 6 and 7, 5 (6) with implexe links only.
    // 6 and 7 are spread around 4 (−7.5, +7.5), then the father's whole ancestry and the
    // mother's are pushed 7.5 apart at the generation where they are closest.
    EXPECT_EQ(c->a(6).layoutY, -15);
    EXPECT_EQ(c->a(7).layoutY, 0);
    EXPECT_EQ(c->a(4).layoutY, -7.5);
    EXPECT_EQ(c->a(2).layoutY, c->a(4).layoutY); // a single parent gives its position
    EXPECT_EQ(c->a(5).layoutY, 7.5);              // its implexe links do not pull it
    EXPECT_EQ(c->a(3).layoutY, 7.5);
    EXPECT_EQ(c->a(1).layoutY, 0);
    // Depth: the ancestor generations follow each other one pitch apart.
    EXPECT_EQ(c->a(1).layoutX, 0);
    EXPECT_EQ(c->a(2).layoutX, 70);
    EXPECT_EQ(c->a(6).layoutX, 210);
    EXPECT_EQ(c->tree.extentX, 210);
}

TEST(LayoutTree, BothHalvesShareTheRootLine) {
    FamilyText f;
    for (int i = 1; i <= 6; ++i) f.person(i, std::string("B") + std::to_string(i) + " /N/");
    const std::string text = f.family(2, 3, {1}).family(1, 0, {4, 5, 6}).text();
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
    int64_t zoom = 4;
    const auto wide = LaidOut(f.text(), kModeDescendants, 1, {}, &zoom);
    EXPECT_NEAR(wide->tree.yMax, 245752.5, 1);
    EXPECT_NEAR(wide->tree.yMin, -245752.5, 1);
    EXPECT_EQ(zoom, 2);

    FamilyText single;
    single.person(1, "Alone /Z/");
    int64_t narrow = 8;
    LaidOut(single.text(), kModeDescendants, 1, {}, &narrow);
    EXPECT_EQ(narrow, 1);
}

// What any layout must satisfy: boxes of one generation at least the spacing apart (spouse lines
// counted), parents centred on their children, the same positions from the plain computation.
void ExpectSoundLayout(ChartTree& tree, const ChartSettings& settings) {
    const double need = settings.interval + 10;
    std::map<int32_t, std::vector<std::pair<double, double>>> rows; // generation: (top, bottom)
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        const double extent = std::clamp(node.spouseCount, 0, 4) * (settings.epoux ? 5 : 0);
        rows[node.generation].push_back({node.layoutY, node.layoutY + extent});
        int32_t children = 0;
        double sum = 0;
        while (children < 32 && node.children[children] != 0)
            sum += tree.descendants[static_cast<size_t>(node.children[children++])].layoutY;
        if (children > 0) {
            ASSERT_NEAR(node.layoutY, sum / children, 1e-6) << n;
        }
    }
    for (auto& [generation, boxes] : rows) {
        std::sort(boxes.begin(), boxes.end());
        for (size_t k = 1; k < boxes.size(); ++k)
            ASSERT_GE(boxes[k].first - boxes[k - 1].second, need - 1e-6) << "generation " << generation;
    }
    std::map<int32_t, std::vector<double>> ancestorRows;
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        ancestorRows[node.layoutX].push_back(node.layoutY);
        const auto y = [&](int32_t a) { return tree.ancestors[static_cast<size_t>(a)].layoutY; };
        if (node.father > 0 && node.mother > 0) {
            ASSERT_NEAR(node.layoutY, (y(node.father) + y(node.mother)) / 2, 1e-6) << n;
        } else if (node.father > 0 || node.mother > 0) {
            ASSERT_NEAR(node.layoutY, y(node.father > 0 ? node.father : node.mother), 1e-6) << n;
        }
    }
    for (auto& [x, ys] : ancestorRows) {
        std::sort(ys.begin(), ys.end());
        for (size_t k = 1; k < ys.size(); ++k) ASSERT_GE(ys[k] - ys[k - 1], need - 1e-6) << "depth " << x;
    }
    // The plain computation gives the same positions, to the last bit.
    std::vector<double> fast;
    for (int32_t n = 1; n <= tree.descendantCount; ++n) fast.push_back(tree.descendants[static_cast<size_t>(n)].layoutY);
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) fast.push_back(tree.ancestors[static_cast<size_t>(n)].layoutY);
    int64_t zoom = 1;
    LayoutTreeDirect(tree, settings, zoom);
    size_t k = 0;
    for (int32_t n = 1; n <= tree.descendantCount; ++n)
        ASSERT_EQ(tree.descendants[static_cast<size_t>(n)].layoutY, fast[k++]) << "descendant " << n;
    for (int32_t n = 1; n <= tree.ancestorCount; ++n)
        ASSERT_EQ(tree.ancestors[static_cast<size_t>(n)].layoutY, fast[k++]) << "ancestor " << n;
}

void ExpectSoundLayouts(PersonStore& store, int32_t root, const std::string& label) {
    for (int32_t mode : {kModeDescendants, kModeAncestors, kModeBoth}) {
        for (int variant = 0; variant < 3; ++variant) {
            SCOPED_TRACE(label + std::string(" mode ") + std::to_string(mode) + std::string(" variant ") + std::to_string(variant));
            ASSERT_EQ(store.restoreSnapshot(), 0);
            ChartSettings settings = DefaultChartSettings();
            settings.setcousin = variant;
            settings.epoux = variant == 1;
            settings.interval = variant == 2 ? 0 : 5 + 3 * variant;
            ChartTree tree;
            test::FixedChooser chooser(mode, root);
            ListReporter reporter;
            if (BuildChartTables(tree, store, settings, &chooser, reporter) < 0) continue;
            int64_t zoom = 1;
            LayoutTree(tree, settings, zoom);
            ExpectSoundLayout(tree, settings);
            // Laying out again gives the same positions.
            std::vector<double> first;
            for (int32_t n = 1; n <= tree.descendantCount; ++n) first.push_back(tree.descendants[static_cast<size_t>(n)].layoutY);
            LayoutTree(tree, settings, zoom);
            for (int32_t n = 1; n <= tree.descendantCount; ++n)
                ASSERT_EQ(tree.descendants[static_cast<size_t>(n)].layoutY, first[static_cast<size_t>(n - 1)]);
        }
    }
}

TEST(LayoutTree, GeneratedChartsAreSound) {
    for (const auto shape : {gedgen::Shape::Founder, gedgen::Shape::Pedigree, gedgen::Shape::Population}) {
        gedgen::Options options;
        options.shape = shape;
        options.persons = 2500;
        options.generations = 10;
        options.seed = 5;
        auto store = std::make_unique<PersonStore>();
        ListReporter reporter;
        ASSERT_GT(ReadGedcomBytes(*store, gedgen::GenerateGedcom(options), {}, reporter), 0);
        CountAncestorsAndDescendants(*store);
        int32_t busiest = 1;
        for (int32_t i = 1; i <= store->highestXref; ++i)
            if ((*store)[i].level > (*store)[busiest].level) busiest = i;
        ExpectSoundLayouts(*store, 1, "generated root");
        ExpectSoundLayouts(*store, busiest, "generated busiest");
    }
}

TEST(LayoutTree, SharedFilesAreSound) {
    ARBOLIX_REQUIRE_SHARED_GEDCOM(dir);
    for (const char* name : {"dj-IvarKingOfDublin.ged", "dj-Bible_Family_Tree.ged", "g4j-willis.ged",
                             "dj-Irish_Kings.ged", "g4j-problemFile.ged", "TGC551LF.ged"}) {
        auto store = std::make_unique<PersonStore>();
        ListReporter reporter;
        ASSERT_GT(ReadGedcom(*store, (dir / name).string(), {}, reporter), 0) << name;
        CountAncestorsAndDescendants(*store);
        int32_t mostDescendants = 1, mostAncestors = 1;
        for (int32_t i = 1; i <= store->highestXref; ++i) {
            if ((*store)[i].level > (*store)[mostDescendants].level) mostDescendants = i;
            if ((*store)[i].sosa > (*store)[mostAncestors].sosa) mostAncestors = i;
        }
        ExpectSoundLayouts(*store, mostDescendants, name);
        ExpectSoundLayouts(*store, mostAncestors, name);
    }
}

} // namespace
} // namespace arbolix
