// Charts computed from real files, generated files and pathological families: whatever the input,
// the computation ends, the tables hold together and the layout is sound.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdint>
#include <tuple>

#include "fuzz_inputs.h"
#include "gedgen/generator.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

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
                EXPECT_EQ(fuzz::LayoutFaults(tree, settings, INT32_MAX), fuzz::Faults{});
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
