#pragma once
// The working class of the tree computation, shared by the source files that build the chart
// tables (tree_compute.cpp: the run and the counts; tree_ancestors.cpp; tree_descendants.cpp).
// Not for use outside tree/: the public face is tree_compute.h.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "base/settings.h"
#include "data/person_store.h"
#include "tree/tree_compute.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;

namespace tree_detail {

constexpr int32_t kMaxChildren = 32;
constexpr int32_t kLoopLevel = 128;
// Past this number a person's parents would not fit in 64 bits.
constexpr int64_t kLargestNumbering = (int64_t{1} << 62) - 1;
// Work allowed to the renumbering rounds, in persons visited, before the remaining second links
// are cut instead of being brought side by side.
constexpr int64_t kRenumberingBudget = int64_t{1} << 27;
// Boxes the duplication of persons reached along several lines may add to one chart. A few
// kilobytes of cousin marriages can ask for billions of them; past this number the remaining
// repetitions are cut and the user is told.
constexpr int32_t kDuplicateBudget = 250000;

template <size_t N>
void SetText(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

inline int64_t SaturatingAdd(int64_t a, int64_t b) {
    return a > std::numeric_limits<int64_t>::max() - b ? std::numeric_limits<int64_t>::max() : a + b;
}

inline int32_t SaturatingAdd32(int32_t a, int32_t b) {
    return a > std::numeric_limits<int32_t>::max() - b ? std::numeric_limits<int32_t>::max() : a + b;
}

class TreeBuilder {
public:
    TreeBuilder(ChartTree& tree, PersonStore& store, const ChartSettings& settings, Reporter& reporter)
        : tree_(tree), store_(store), reporter_(reporter),
          gene_(std::clamp(settings.m_gene, 1, 62)), gened_(std::clamp(settings.m_gened, 1, 62)),
          cousin_(std::clamp(settings.setcousin, 0, 2)),
          emptyBelow_(std::clamp(settings.m_casevide.m_ngd, 0, 61)),
          emptyPerPerson_(std::clamp(settings.m_casevide.m_ndg, 1, 16)),
          emptyAbove_(std::clamp(settings.m_casevide.m_nag, 0, 22)) {}

    int run(RootChooser* chooser);

private:
    // Records appended during the computation.
    int32_t appendRecord(int32_t growthStep);
    int32_t appendCopy(int32_t of);
    // A duplicate of a person reached again, within the duplicate budget; 0 past it (said once).
    int32_t appendDuplicate(int32_t of);

    // Ancestor part.
    int ancestorPart();
    void loadLines();
    void saveLines();
    void addEmptyAncestors();
    void addEmptyParents(int32_t person, int32_t generations);
    void measureLines();
    void bridgeGaps();
    void duplicateSharedAncestors();
    void clearNumbers();
    void numberAncestors();
    void numberFrom(int32_t person, std::vector<std::pair<int32_t, int32_t>>& stack);
    int32_t bringLinesSideBySide(int32_t person, int64_t number, int32_t parent);
    int copyAncestors();

    // Descendant part.
    int descendantPart();
    void addEmptyDescendants();
    void addEmptyChildren(int32_t person, int32_t generations);
    void markDescendants();
    void compact();
    bool checkChildrenLimit();
    void computeGenerations();
    void dropPersonsCutFromTheRoot();
    void duplicateChildrenOfRelatives();
    void duplicateDescendants(int32_t original, int32_t copy);
    void bridgeDescendantGaps();
    void keepOneParent();
    int copyDescendants();

    bool growAncestorTable();
    bool growDescendantTable();

    ChartTree& tree_;
    PersonStore& store_;
    Reporter& reporter_;
    const int32_t gene_;
    const int32_t gened_;
    const int32_t cousin_;
    const int32_t emptyBelow_;
    const int32_t emptyPerPerson_;
    const int32_t emptyAbove_;
    // After compaction the records of persons left out stay above the last one kept, so that the
    // spouses of the chart's persons keep their names; records appended later go after them.
    int32_t usedEnd_ = 0;
    int32_t duplicatesLeft_ = kDuplicateBudget;

    // Links and numbers of the ancestor part, by person index.
    struct AncestorLines {
        std::vector<int32_t> father;
        std::vector<int32_t> mother;
        std::vector<int64_t> number;     // line length, then ancestor number
        std::vector<int32_t> firstChild; // the child a person was numbered through
        std::vector<uint8_t> wasNumbered;
    };
    AncestorLines lines_;
    bool linesActive_ = false;
};

} // namespace tree_detail

} // namespace arbolix
