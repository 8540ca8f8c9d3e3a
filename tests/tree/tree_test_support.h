#pragma once
// Small families written as GEDCOM text, and the chart computed from them.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// What every computed chart must satisfy, whatever the file.
inline void ExpectConsistentTables(const ChartTree& tree) {
    const auto D = [&](int32_t n) -> const DescendantNode& { return tree.descendants[static_cast<size_t>(n)]; };
    const auto A = [&](int32_t n) -> const AncestorNode& { return tree.ancestors[static_cast<size_t>(n)]; };
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const DescendantNode& node = D(n);
        for (int k = 0; k < 32 && node.children[k] != 0; ++k) ASSERT_EQ(D(node.children[k]).parent1, n);
        if (n == 1) {
            ASSERT_TRUE(node.generation == 0 && node.parent1 == 0);
            continue;
        }
        ASSERT_GE(node.generation, D(n - 1).generation) << n;
        ASSERT_TRUE(node.parent1 >= 1 && node.parent1 <= tree.descendantCount) << n << ": " << node.parent1;
        ASSERT_LE(node.parent2, tree.descendantCount) << n;
        for (const int32_t parent : {node.parent1, node.parent2})
            if (parent != 0) { ASSERT_EQ(D(parent).generation, node.generation - 1) << n; }
        const DescendantNode& parent = D(node.parent1);
        bool listed = parent.children[31] != 0; // a full list may not hold it
        for (int k = 0; k < 32 && parent.children[k] != 0; ++k) listed |= parent.children[k] == n;
        ASSERT_TRUE(listed) << n;
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = A(n);
        if (n == 1) {
            ASSERT_TRUE(node.sosa == 1 && node.child == 0);
        } else {
            ASSERT_GT(node.sosa, A(n - 1).sosa) << n;
            ASSERT_GE(node.child, 1) << n;
            ASSERT_EQ(A(node.child).sosa, node.sosa / 2) << n;
        }
        for (const int32_t link : {node.father, node.mother}) ASSERT_LE(std::abs(link), tree.ancestorCount) << n;
        if (node.father > 0) { ASSERT_EQ(A(node.father).sosa, 2 * node.sosa) << n; }
        if (node.mother > 0) { ASSERT_EQ(A(node.mother).sosa, 2 * node.sosa + 1) << n; }
    }
}

} // namespace arbolix::test
