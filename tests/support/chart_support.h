#pragma once
// Charts for the tests: a root chooser that answers at once, and the sample family's chart.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "base/reporter.h"
#include "base/settings.h"
#include "data/gedcom_reader.h"
#include "support/test_support.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix::test {

// Gives the same answer every time it is asked (nullopt: the user gives up) and counts the
// questions.
class FixedChooser final : public RootChooser {
public:
    explicit FixedChooser(std::optional<RootChoice> answer = std::nullopt) : answer(answer) {}
    FixedChooser(int32_t mode, int32_t person) : answer(RootChoice{mode, person}) {}
    std::optional<RootChoice> choose(const PersonStore&) override { return ++asked, answer; }

    std::optional<RootChoice> answer;
    int asked = 0;
};

// Pierre DELORME, record 14 of the sample family, whose ancestors and descendants most charts of
// the tests show.
constexpr int32_t kSampleRoot = 14;

// The person with the most descendants, or the most ancestors, as the counts the selection
// dialog shows give them.
class BusiestChooser final : public RootChooser {
public:
    BusiestChooser(int32_t mode, bool byAncestors = false) : mode_(mode), byAncestors_(byAncestors) {}
    std::optional<RootChoice> choose(const PersonStore& store) override {
        const auto count = [&](int32_t i) { return byAncestors_ ? store[i].sosa : store[i].level; };
        int32_t best = 0;
        for (int32_t i = 1; i <= store.highestXref; ++i)
            if (store[i].xref != 0 && (best == 0 || count(i) > count(best))) best = i;
        return best == 0 ? std::nullopt : std::optional<RootChoice>(RootChoice{mode_, best});
    }

private:
    int32_t mode_;
    bool byAncestors_;
};

// A chart of the sample family (Pierre's ancestors and descendants unless told otherwise), laid
// out at zoom 1.
struct SampleChart {
    PersonStore store;
    ChartTree tree;
    ChartSettings settings = DefaultChartSettings();
    ListReporter reporter;

    explicit SampleChart(const std::function<void(ChartSettings&)>& tweak = {}) {
        if (tweak) tweak(settings);
        EXPECT_GT(ReadGedcom(store, SampleFamilyFile().string(), settings.m_gedcom, reporter), 0);
        compute(kModeBoth, kSampleRoot);
    }
    // The chart of another root, or of the file the store now holds.
    void compute(int32_t mode, int32_t person) {
        tree.descendantRoot = 0; // a new root is chosen
        FixedChooser chooser(mode, person);
        EXPECT_EQ(BuildChartTables(tree, store, settings, &chooser, reporter), 0);
        int64_t zoom = 1;
        LayoutTree(tree, settings, zoom);
    }
};

} // namespace arbolix::test
