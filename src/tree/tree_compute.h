#pragma once
// What a chart shows: from the person store and a root, the descendant and ancestor tables, with
// the generation limits, empty boxes, persons reached along two lines and the loop checks.

#include <cstdint>
#include <optional>

#include "base/settings.h"
#include "data/person_store.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;

// The root person and the kind of chart the user chose.
struct RootChoice {
    int32_t mode = kModeDescendants; // 0x11, 0x22, 0x33 or 0x77
    int32_t person = 0;              // person index
};

// Answers the choice of root after a file is read (the person selection dialog in the
// application; the command line and the tests answer it themselves).
class RootChooser {
public:
    virtual ~RootChooser() = default;
    // nullopt when the user gives up.
    virtual std::optional<RootChoice> choose(const PersonStore& store) = 0;
};

// Gives the choice it was made with (the benchmarks, the fuzzing harness, the tests).
class FixedRootChooser final : public RootChooser {
public:
    FixedRootChooser(int32_t mode, int32_t person) : choice_{mode, person} {}
    std::optional<RootChoice> choose(const PersonStore&) override { return choice_; }

private:
    RootChoice choice_;
};

// Builds both tables into `tree` from the roots and mode it holds, or, when no root is set yet,
// after counting every person's ancestors (in `sosa`) and descendants (in `level`) and asking
// `chooser`. Works destructively on the store. Leaves each count one above the last node, as the
// next free node. Returns 0, or -1 after a reported failure (or when the choice was given up).
int ComputeTree(ChartTree& tree, PersonStore& store, const ChartSettings& settings,
                RootChooser* chooser, Reporter& reporter);

// Counts every person's ancestors into `sosa` and descendants into `level`, along every line
// (saturating), after listing each parent's children. What the selection dialog shows.
void CountAncestorsAndDescendants(PersonStore& store);

// Puts both tables in their final order: the descendant table by generation, exactly in the order
// the exchange sort of the original program leaves, the ancestor table by ancestor number.
// Returns 0, or -1 ("Erreur malloc") when its work arrays cannot be had.
int SortTables(ChartTree& tree, Reporter& reporter);

// After sorting: clears node 1's parent, rebuilds every descendant's children list and records
// the longest surname, given name and place.
void FinishTables(ChartTree& tree);

// The whole sequence after a file is read or a tree setting changed: ComputeTree, the counts
// brought to the last node, SortTables and FinishTables. Returns ComputeTree's result.
int BuildChartTables(ChartTree& tree, PersonStore& store, const ChartSettings& settings,
                     RootChooser* chooser, Reporter& reporter);

// The exchange sort the descendant table's order comes from, done the slow way (quadratic): kept
// to check the fast one. Sorts `keys` (index 0 unused) and returns the permutation: result[p] is
// the original position of what ends at p.
std::vector<int32_t> ExchangeSortPermutationSlow(std::vector<int32_t> keys);
// The same permutation in O(n log n) per generation count.
std::vector<int32_t> ExchangeSortPermutation(const std::vector<int32_t>& keys);

} // namespace arbolix
