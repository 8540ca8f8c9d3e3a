// Charts computed from real files, generated files and pathological families: whatever the input,
// the computation ends, the tables hold together and the layout is sound.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "gedgen/generator.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

// What any layout must satisfy: boxes of one generation at least the spacing apart (spouse lines
// counted), parents centred on their children, the same positions when laid out again and from
// the plain computation, to the last bit.
void ExpectSoundLayout(ChartTree& tree, const ChartSettings& settings) {
    const auto D = [&](int32_t n) -> const DescendantNode& { return tree.descendants[static_cast<size_t>(n)]; };
    const auto A = [&](int32_t n) -> const AncestorNode& { return tree.ancestors[static_cast<size_t>(n)]; };
    std::map<std::pair<bool, int32_t>, std::vector<std::pair<double, double>>> rows; // (top, bottom) by column
    bool crowded = false; // a 33rd child, missing from its parent's full list, is not spaced
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        crowded |= D(n).children[31] != 0;
        const double extent = std::clamp(D(n).spouseCount, 0, 4) * (settings.epoux ? 5 : 0);
        rows[{false, D(n).generation}].push_back({D(n).layoutY, D(n).layoutY + extent});
        int32_t children = 0;
        double sum = 0;
        while (children < 32 && D(n).children[children] != 0) sum += D(D(n).children[children++]).layoutY;
        if (children > 0) { ASSERT_NEAR(D(n).layoutY, sum / children, 1e-6) << n; }
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = A(n);
        rows[{true, node.layoutX}].push_back({node.layoutY, node.layoutY});
        if (node.father > 0 && node.mother > 0) {
            ASSERT_NEAR(node.layoutY, (A(node.father).layoutY + A(node.mother).layoutY) / 2, 1e-6) << n;
        } else if (node.father > 0 || node.mother > 0) {
            ASSERT_NEAR(node.layoutY, A(std::max(node.father, node.mother)).layoutY, 1e-6) << n;
        }
    }
    for (auto& [column, boxes] : rows) {
        if (crowded && !column.first) continue;
        std::sort(boxes.begin(), boxes.end());
        for (size_t k = 1; k < boxes.size(); ++k)
            ASSERT_GE(boxes[k].first - boxes[k - 1].second, settings.interval + 10 - 1e-6) << column.first << column.second;
    }
    const auto positions = [&] {
        std::vector<double> ys;
        for (int32_t n = 1; n <= tree.descendantCount; ++n) ys.push_back(D(n).layoutY);
        for (int32_t n = 1; n <= tree.ancestorCount; ++n) ys.push_back(A(n).layoutY);
        return ys;
    };
    const std::vector<double> first = positions();
    int64_t zoom = 1;
    LayoutTree(tree, settings, zoom);
    ASSERT_EQ(positions(), first) << "laid out again";
    zoom = 1;
    LayoutTreeDirect(tree, settings, zoom);
    ASSERT_EQ(positions(), first) << "plain computation";
}

// Every mode and cousin setting, rooted at the busiest persons, recomputed from the snapshot each
// time as the program does, then laid out.
void ExpectEveryChartConsistent(PersonStore& store, const std::string& label) {
    for (bool byAncestors : {false, true}) {
        for (int32_t mode : {kModeDescendants, kModeAncestors, kModeBoth, kModeParent}) {
            for (int cousin : {0, 1, 2}) {
                SCOPED_TRACE(label + std::string(" mode ") + std::to_string(mode) + std::string(" cousin ") + std::to_string(cousin));
                ASSERT_EQ(store.restoreSnapshot(), 0);
                ChartSettings settings = DefaultChartSettings();
                settings.setcousin = cousin;
                settings.epoux = cousin == 1;
                settings.interval = cousin == 2 ? 0 : 5 + 3 * cousin;
                ChartTree tree;
                test::BusiestChooser chooser(mode, byAncestors);
                ListReporter reporter;
                if (BuildChartTables(tree, store, settings, &chooser, reporter) < 0) {
                    // Only the children limit stops a computation here.
                    ASSERT_FALSE(reporter.messages.empty());
                    EXPECT_NE(reporter.messages.back().text.find("enfants par personne"), std::string::npos);
                    continue;
                }
                test::ExpectConsistentTables(tree);
                EXPECT_GE(tree.descendantCount, mode == kModeAncestors ? 0 : 1);
                EXPECT_GE(tree.ancestorCount, mode == kModeDescendants ? 0 : 1);
                int64_t zoom = 1;
                LayoutTree(tree, settings, zoom);
                ExpectSoundLayout(tree, settings);
            }
        }
    }
}

TEST(TreeCorpus, SharedFilesGiveConsistentTablesAndSoundLayouts) {
    ARBOLIX_REQUIRE_SHARED_GEDCOM(dir);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext != ".ged") continue;
        auto store = std::make_unique<PersonStore>();
        ListReporter reporter;
        if (ReadGedcom(*store, entry.path().string(), {}, reporter) <= 0) continue;
        ExpectEveryChartConsistent(*store, entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 60);
}

TEST(TreeCorpus, GeneratedFilesGiveConsistentTablesAndSoundLayouts) {
    for (const auto shape : {gedgen::Shape::Population, gedgen::Shape::Founder, gedgen::Shape::Pedigree}) {
        for (const auto& [persons, generations, seed] : {std::tuple{3000, 9, 11u}, std::tuple{2500, 10, 5u}}) {
            const gedgen::Options options{.persons = persons, .seed = seed, .shape = shape, .generations = generations};
            auto store = std::make_unique<PersonStore>();
            ListReporter reporter;
            ASSERT_GT(ReadGedcomBytes(*store, gedgen::GenerateGedcom(options), {}, reporter), 0);
            ExpectEveryChartConsistent(*store, std::string("shape ") + std::to_string(static_cast<int>(shape)) + " seed " + std::to_string(seed));
        }
    }
}

// Brother and sister marry in every generation: every ancestor is reached along 2^k lines.
std::string SiblingsMarryingForGenerations(int generations) {
    test::FamilyText f;
    f.persons(2 * generations + 2, "L");
    for (int k = 1; k <= generations; ++k) f.family(2 * k - 1, 2 * k, {2 * k + 1, 2 * k + 2});
    return f.text();
}

TEST(TreeCorpus, PathologicalCollapseEndsInEveryMode) {
    constexpr int kGenerations = 70;
    auto store = std::make_unique<PersonStore>();
    ListReporter reporter;
    ASSERT_EQ(ReadGedcomBytes(*store, SiblingsMarryingForGenerations(kGenerations), {}, reporter), 2 * kGenerations + 2);
    // Counts along every line pass 2^64: they stop at the largest value instead of overflowing.
    CountAncestorsAndDescendants(*store);
    EXPECT_EQ((*store)[2 * kGenerations + 1].sosa, std::numeric_limits<int64_t>::max());
    EXPECT_EQ((*store)[1].level, std::numeric_limits<int32_t>::max());

    store->setRecordLimit(200'000); // duplication per line stops where the store cannot grow
    for (int cousin : {0, 1, 2}) {
        SCOPED_TRACE(cousin);
        ASSERT_EQ(store->restoreSnapshot(), 0);
        ChartSettings settings = DefaultChartSettings();
        settings.setcousin = cousin;
        settings.m_gene = 62;
        ChartTree tree;
        test::FixedChooser chooser(kModeAncestors, 2 * kGenerations + 1);
        ListReporter computed;
        ASSERT_EQ(BuildChartTables(tree, *store, settings, &chooser, computed), 0);
        test::ExpectConsistentTables(tree);
        EXPECT_GE(tree.ancestorCount, 2 * kGenerations / 2);
        EXPECT_LE(store->recordCount(), 200'000);
    }
}

// One line of 300 000 generations, father to son: no step may recurse along it.
TEST(TreeCorpus, VeryLongLineNeedsNoDeepRecursion) {
    constexpr int kGenerations = 300'000;
    test::FamilyText f;
    for (int i = 1; i <= kGenerations; ++i) f.person(i, "A /B/");
    for (int i = 1; i < kGenerations; ++i) f.family(i, 0, {i + 1});
    auto store = std::make_unique<PersonStore>();
    ListReporter reporter;
    ASSERT_EQ(ReadGedcomBytes(*store, f.text(), {}, reporter), kGenerations);
    CountAncestorsAndDescendants(*store);
    EXPECT_EQ((*store)[1].level, kGenerations - 1);
    EXPECT_EQ((*store)[kGenerations].sosa, kGenerations - 1);
    for (const auto& [mode, root] : {std::pair{kModeDescendants, 1}, std::pair{kModeAncestors, kGenerations}}) {
        for (int cousin : {0, 1, 2}) {
            ASSERT_EQ(store->restoreSnapshot(), 0);
            ChartSettings settings = DefaultChartSettings();
            settings.setcousin = cousin;
            ChartTree tree;
            test::FixedChooser chooser(mode, root);
            ListReporter computed;
            ASSERT_EQ(BuildChartTables(tree, *store, settings, &chooser, computed), 0);
            // Sixteen generations counting the root's; above it, lines longer than sixteen are
            // cut, or the numbers past 2^16 (which still number their parents).
            const int32_t expected = mode == kModeDescendants ? 16 : (cousin == 1 ? 16 : 18);
            EXPECT_EQ(mode == kModeDescendants ? tree.descendantCount : tree.ancestorCount, expected);
            // A line deeper than 128 generations is taken for a loop, once.
            EXPECT_EQ(computed.messages.size(), mode == kModeDescendants ? 1u : 0u);
        }
    }
}

} // namespace
} // namespace arbolix
