#pragma once
// Places every box of a computed chart: the depth position (layoutX, one pitch per generation)
// and the breadth position (layoutY, the box's centre), and the chart's extents.

#include <cstdint>

#include "base/settings.h"
#include "tree/tree_tables.h"

namespace arbolix {

// Lays out both halves of the chart and sets the extents; reduces `zoom` (1, 2, 4, ...) while the
// chart would leave the drawable range at that zoom. The tables must be sorted and finished.
// When the work arrays cannot be had, the previous layout stays.
void LayoutTree(ChartTree& tree, const ChartSettings& settings, int64_t& zoom);

// The breadth positions the contour method gives, computed the plain way: every subtree walked
// again for each sibling placed beside it. Slow on large charts; kept to check the fast one.
void LayoutTreeDirect(ChartTree& tree, const ChartSettings& settings, int64_t& zoom);

} // namespace arbolix
