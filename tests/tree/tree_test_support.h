#pragma once
// Small families written as GEDCOM text, and the chart computed from them.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_inputs.h"
#include "support/chart_support.h"
#include "tree/person_selection.h"

namespace arbolix::test {

// Builds GEDCOM text: persons named by their number, families by (husband, wife, children).
class FamilyText {
public:
    FamilyText& person(int id, const std::string& name, int birth = 0) {
        text_ += std::string("0 @I") + std::to_string(id) + "@ INDI\n1 NAME " + name + "\n";
        if (birth != 0) text_ += std::string("1 BIRT\n2 DATE ") + std::to_string(birth) + "\n";
        return *this;
    }
    // Persons 1..count named "<prefix><number> /N/", born in firstYear + number when it is given.
    FamilyText& persons(int count, const std::string& prefix, int firstYear = 0) {
        for (int i = 1; i <= count; ++i) person(i, prefix + std::to_string(i) + " /N/", firstYear ? firstYear + i : 0);
        return *this;
    }
    FamilyText& family(int husband, int wife, std::vector<int> children) {
        text_ += std::string("0 @F") + std::to_string(++families_) + "@ FAM\n";
        if (husband != 0) text_ += std::string("1 HUSB @I") + std::to_string(husband) + "@\n";
        if (wife != 0) text_ += std::string("1 WIFE @I") + std::to_string(wife) + "@\n";
        for (int child : children) text_ += std::string("1 CHIL @I") + std::to_string(child) + "@\n";
        return *this;
    }
    // The family of `husband` and his children first..last.
    FamilyText& children(int husband, int first, int last) {
        std::vector<int> list;
        for (int child = first; child <= last; ++child) list.push_back(child);
        return family(husband, 0, list);
    }
    std::string text() const { return "0 HEAD\n1 CHAR ANSI\n" + text_ + "0 TRLR\n"; }

private:
    std::string text_;
    int families_ = 0;
};

// The store as the selection dialog finds it: read, then every person's ancestors and
// descendants counted.
inline std::unique_ptr<PersonStore> LoadForSelection(const std::string& gedcom) {
    auto store = std::make_unique<PersonStore>();
    ListReporter reporter;
    EXPECT_GE(ReadGedcomBytes(*store, gedcom, {}, reporter), 0);
    CountAncestorsAndDescendants(*store);
    return store;
}

struct Chart {
    std::unique_ptr<PersonStore> store = std::make_unique<PersonStore>();
    ChartTree tree;
    ListReporter reporter;
    int result = 0;
    int64_t zoom = 1;

    const DescendantNode& d(int32_t n) const { return tree.descendants[static_cast<size_t>(n)]; }
    const AncestorNode& a(int32_t n) const { return tree.ancestors[static_cast<size_t>(n)]; }
    // One field of every node of the descendant (ds) or ancestor (as) table, in table order.
    template <class T> std::vector<T> ds(T DescendantNode::*field) const {
        std::vector<T> column;
        for (int32_t n = 1; n <= tree.descendantCount; ++n) column.push_back(d(n).*field);
        return column;
    }
    template <class T> std::vector<T> as(T AncestorNode::*field) const {
        std::vector<T> column;
        for (int32_t n = 1; n <= tree.ancestorCount; ++n) column.push_back(a(n).*field);
        return column;
    }
};

// The chart of `root` computed from the text, laid out with this zoom when one is given.
inline std::unique_ptr<Chart> ComputeChart(const std::string& gedcom, int32_t mode, int32_t root,
                                           const std::function<void(ChartSettings&)>& tweak = {},
                                           int64_t layoutZoom = 0) {
    auto chart = std::make_unique<Chart>();
    ListReporter readReporter;
    EXPECT_GE(ReadGedcomBytes(*chart->store, gedcom, {}, readReporter), 0);
    ChartSettings settings = DefaultChartSettings();
    if (tweak) tweak(settings);
    FixedChooser chooser(mode, root);
    chart->result = BuildChartTables(chart->tree, *chart->store, settings, &chooser, chart->reporter);
    if (layoutZoom > 0) LayoutTree(chart->tree, settings, chart->zoom = layoutZoom);
    return chart;
}

// What every computed chart must satisfy, whatever the file (the fuzzing harness checks the same).
inline void ExpectConsistentTables(const ChartTree& tree) {
    EXPECT_EQ(fuzz::TableFaults(tree), fuzz::Faults{});
}

} // namespace arbolix::test
