#pragma once
// The operation behind every setting that changes the tree, and behind re-rooting the chart:
// start again from the file as read, compute, sort and lay out.

#include <cstdint>
#include <functional>

#include "base/settings.h"
#include "data/person_store.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;
class RootChooser;

// Restores the store from its snapshot (or, when there is none, calls `reread`, which reads the
// most recent file again and returns ReadGedcom's result), computes the chart of the person whose
// xref is `rootXref` in the mode the tree holds, sorts and finishes the tables and lays them out.
// Root 0 asks `chooser` for a new root and mode, as after opening the file (without a chooser,
// or when the choice is cancelled, the tables come out empty).
// Returns 0, or -1 after a reported failure or a cancelled choice (the tables are then empty or
// partial, as the computation left them; nothing is drawn from a failed restore).
int Recompute(ChartTree& tree, PersonStore& store, const ChartSettings& settings, int32_t rootXref,
              int64_t& zoom, Reporter& reporter, const std::function<int32_t()>& reread,
              RootChooser* chooser = nullptr);

} // namespace arbolix
