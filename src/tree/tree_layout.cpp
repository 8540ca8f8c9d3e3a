#include "tree/tree_layout.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace arbolix {

namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();
constexpr int64_t kCoordinateLimit = int64_t{1} << 19;
constexpr int kSpouseClasses = 5; // 0 to 4 spouses shown beside a box

struct Spacing {
    double need;        // centre to centre between neighbouring boxes
    int32_t spouseUnit; // breadth taken by one spouse line: 5 when spouses are shown, else 0
};

Spacing SpacingOf(const ChartSettings& settings) {
    return {static_cast<double>(settings.interval) + 10.0, settings.epoux != 0 ? 5 : 0};
}

int32_t ChildCount(const DescendantNode& node) {
    int32_t count = 0;
    while (count < 32 && node.children[count] != 0) ++count;
    return count;
}

int32_t AncestorGeneration(int64_t sosa) {
    return sosa > 0 ? 63 - std::countl_zero(static_cast<uint64_t>(sosa)) : 0;
}

int32_t SpouseExtent(const DescendantNode& node, const Spacing& spacing) {
    return std::clamp(node.spouseCount, 0, 4) * spacing.spouseUnit;
}

// The smallest gap between what is placed and what comes beside it, over the generations where
// both have a box. A generation where one side has no box never limits the placement, however
// far the chart reaches.
double SmallestGap(const std::vector<double>& lower, const std::vector<double>& upper, size_t from) {
    double gap = kNone;
    for (size_t g = from; g < lower.size(); ++g) {
        if (lower[g] == kNone || upper[g] == -kNone) continue;
        gap = std::min(gap, lower[g] - upper[g]);
    }
    return gap;
}

// ---------------------------------------------------------------------------------------------
// The plain way: every subtree walked again for each sibling placed beside it.

template <class Visit>
void WalkDescendants(const ChartTree& tree, int32_t top, Visit&& visit) {
    std::vector<int32_t> pending{top};
    while (!pending.empty()) {
        const int32_t n = pending.back();
        pending.pop_back();
        visit(n);
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        for (int32_t k = ChildCount(node); k-- > 0;) pending.push_back(node.children[k]);
    }
}

template <class Visit>
void WalkAncestors(const ChartTree& tree, int32_t top, Visit&& visit) {
    std::vector<int32_t> pending{top};
    while (!pending.empty()) {
        const int32_t n = pending.back();
        pending.pop_back();
        visit(n);
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        if (node.mother > 0) pending.push_back(node.mother);
        if (node.father > 0) pending.push_back(node.father);
    }
}

void PlaceDescendantsDirect(ChartTree& tree, const Spacing& spacing, int32_t deepest) {
    const int32_t count = tree.descendantCount;
    std::vector<double> upper(static_cast<size_t>(deepest) + 1);
    std::vector<double> lower(static_cast<size_t>(deepest) + 1);
    const auto move = [&](int32_t top, double amount) {
        WalkDescendants(tree, top, [&](int32_t n) { tree.descendants[static_cast<size_t>(n)].layoutY += amount; });
    };
    for (int32_t p = count; p >= 1; --p) {
        DescendantNode& parent = tree.descendants[static_cast<size_t>(p)];
        const int32_t children = ChildCount(parent);
        for (int32_t k = 1; k < children; ++k) {
            std::fill(upper.begin(), upper.end(), -kNone);
            std::fill(lower.begin(), lower.end(), kNone);
            for (int32_t j = 0; j < k; ++j) {
                WalkDescendants(tree, parent.children[j], [&](int32_t n) {
                    const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
                    double& top = upper[static_cast<size_t>(node.generation)];
                    top = std::max(top, node.layoutY + SpouseExtent(node, spacing));
                });
            }
            WalkDescendants(tree, parent.children[k], [&](int32_t n) {
                const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
                double& bottom = lower[static_cast<size_t>(node.generation)];
                bottom = std::min(bottom, node.layoutY);
            });
            const double gap = SmallestGap(lower, upper, 0);
            double earlier = 0;
            double placed = 0;
            if (gap < spacing.need) {
                earlier = -((spacing.need - gap) / 2);
                placed = (spacing.need - gap) / 2;
            } else if (gap > spacing.need) {
                earlier = (gap - spacing.need) / 2;
                placed = -((gap - spacing.need) / 2);
            } else {
                continue;
            }
            for (int32_t j = 0; j < k; ++j) move(parent.children[j], earlier);
            move(parent.children[k], placed);
        }
        if (children > 0) {
            double sum = 0;
            for (int32_t k = 0; k < children; ++k) sum += tree.descendants[static_cast<size_t>(parent.children[k])].layoutY;
            parent.layoutY = sum / children;
        }
    }
}

void PlaceAncestorsDirect(ChartTree& tree, const Spacing& spacing, int32_t deepest) {
    const int32_t count = tree.ancestorCount;
    std::vector<double> upper(static_cast<size_t>(deepest) + 1);
    std::vector<double> lower(static_cast<size_t>(deepest) + 1);
    const auto move = [&](int32_t top, double amount) {
        WalkAncestors(tree, top, [&](int32_t n) { tree.ancestors[static_cast<size_t>(n)].layoutY += amount; });
    };
    for (int32_t n = count; n >= 1; --n) {
        AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        if (node.father > 0 && node.mother > 0) {
            const auto from = static_cast<size_t>(AncestorGeneration(node.sosa));
            std::fill(upper.begin(), upper.end(), -kNone);
            std::fill(lower.begin(), lower.end(), kNone);
            WalkAncestors(tree, node.father, [&](int32_t a) {
                const AncestorNode& above = tree.ancestors[static_cast<size_t>(a)];
                double& top = upper[static_cast<size_t>(AncestorGeneration(above.sosa))];
                top = std::max(top, above.layoutY);
            });
            WalkAncestors(tree, node.mother, [&](int32_t a) {
                const AncestorNode& above = tree.ancestors[static_cast<size_t>(a)];
                double& bottom = lower[static_cast<size_t>(AncestorGeneration(above.sosa))];
                bottom = std::min(bottom, above.layoutY);
            });
            const double gap = std::min(spacing.need, SmallestGap(lower, upper, from));
            if (gap < spacing.need) {
                move(node.father, -((spacing.need - gap) / 2));
                move(node.mother, (spacing.need - gap) / 2);
            }
            node.layoutY = (tree.ancestors[static_cast<size_t>(node.father)].layoutY +
                            tree.ancestors[static_cast<size_t>(node.mother)].layoutY) /
                           2;
        } else if (node.father > 0) {
            node.layoutY = tree.ancestors[static_cast<size_t>(node.father)].layoutY;
        } else if (node.mother > 0) {
            node.layoutY = tree.ancestors[static_cast<size_t>(node.mother)].layoutY;
        } else {
            node.layoutY = 0;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The fast way. Each subtree keeps its contour (per generation, the smallest breadth position of
// its boxes and the largest one for each number of spouses shown), so that placing a sibling
// reads two contours instead of walking subtrees. Moves are recorded per subtree and applied to
// each box at the end, in the order the plain way applies them, so that every position comes out
// the same to the last bit: adding the same amount to every box of a subtree moves its smallest
// and largest positions by exactly that amount, as rounding keeps the order of the sums.

// One generation of a contour: the smallest position, and the largest one for each number of
// spouses shown (one class on the ancestor side, where no spouses are shown).
template <int kClasses>
struct ContourLevel {
    double lower = kNone;
    double upper[kClasses];
    ContourLevel() { std::fill(upper, upper + kClasses, -kNone); }
};

// The contour of a subtree, its deepest generation first and its top's last, so that the level
// of a parent is added at the end.
template <int kClasses>
using Contour = std::vector<ContourLevel<kClasses>>;

template <int kClasses>
void Shift(Contour<kClasses>& contour, double amount) {
    for (ContourLevel<kClasses>& level : contour) {
        if (level.lower != kNone) level.lower += amount;
        for (double& top : level.upper)
            if (top != -kNone) top += amount;
    }
}

// Adds `other`, whose top is at the same generation as `into`'s.
template <int kClasses>
void Merge(Contour<kClasses>& into, Contour<kClasses>&& other) {
    if (other.size() > into.size()) std::swap(into, other);
    const size_t intoTop = into.size() - 1;
    const size_t otherTop = other.size() - 1;
    for (size_t k = 0; k < other.size(); ++k) {
        ContourLevel<kClasses>& level = into[intoTop - k];
        const ContourLevel<kClasses>& add = other[otherTop - k];
        level.lower = std::min(level.lower, add.lower);
        for (int s = 0; s < kClasses; ++s) level.upper[s] = std::max(level.upper[s], add.upper[s]);
    }
    other.clear();
}

// The gap between `earlier` (its largest positions, spouses counted) and `placed` (its smallest
// positions), both with their top at the same generation.
template <int kClasses>
double ContourGap(const Contour<kClasses>& earlier, const Contour<kClasses>& placed, int32_t spouseUnit) {
    double gap = kNone;
    const size_t levels = std::min(earlier.size(), placed.size());
    for (size_t k = 0; k < levels; ++k) {
        const ContourLevel<kClasses>& above = earlier[earlier.size() - 1 - k];
        const ContourLevel<kClasses>& below = placed[placed.size() - 1 - k];
        if (below.lower == kNone) continue;
        double top = -kNone;
        for (int s = 0; s < kClasses; ++s) {
            if (above.upper[s] != -kNone) top = std::max(top, above.upper[s] + s * spouseUnit);
        }
        if (top == -kNone) continue;
        gap = std::min(gap, below.lower - top);
    }
    return gap;
}

template <int kClasses>
void AddTop(Contour<kClasses>& contour, double position, int spouseClass) {
    contour.emplace_back();
    contour.back().lower = position;
    contour.back().upper[spouseClass] = position;
}

// Moves recorded for each box while its parent placed its children, in order.
class MoveLog {
public:
    explicit MoveLog(size_t boxes) : from_(boxes + 1, 0), count_(boxes + 1, 0) {}
    void record(int32_t box, const std::vector<double>& moves) {
        from_[static_cast<size_t>(box)] = static_cast<uint32_t>(moves_.size());
        count_[static_cast<size_t>(box)] = static_cast<uint32_t>(moves.size());
        moves_.insert(moves_.end(), moves.begin(), moves.end());
    }
    double apply(int32_t box, double value) const {
        const uint32_t from = from_[static_cast<size_t>(box)];
        for (uint32_t k = 0; k < count_[static_cast<size_t>(box)]; ++k) value += moves_[from + k];
        return value;
    }

private:
    std::vector<uint32_t> from_;
    std::vector<uint32_t> count_;
    std::vector<double> moves_;
};

void PlaceDescendantsFast(ChartTree& tree, const Spacing& spacing) {
    const int32_t count = tree.descendantCount;
    std::vector<Contour<kSpouseClasses>> contours(static_cast<size_t>(count) + 1);
    std::vector<double> placedAt(static_cast<size_t>(count) + 1, 0); // position when its parent starts
    std::vector<int32_t> layoutParent(static_cast<size_t>(count) + 1, 0);
    MoveLog log(static_cast<size_t>(count));
    std::vector<std::vector<double>> moves;
    for (int32_t p = count; p >= 1; --p) {
        const DescendantNode& parent = tree.descendants[static_cast<size_t>(p)];
        const int32_t children = ChildCount(parent);
        Contour<kSpouseClasses> forest;
        if (children > 0) {
            moves.assign(static_cast<size_t>(children), {});
            forest = std::move(contours[static_cast<size_t>(parent.children[0])]);
            for (int32_t k = 1; k < children; ++k) {
                Contour<kSpouseClasses>& placed = contours[static_cast<size_t>(parent.children[k])];
                const double gap = ContourGap(forest, placed, spacing.spouseUnit);
                double earlier = 0;
                double mine = 0;
                bool moved = true;
                if (gap < spacing.need) {
                    earlier = -((spacing.need - gap) / 2);
                    mine = (spacing.need - gap) / 2;
                } else if (gap > spacing.need) {
                    earlier = (gap - spacing.need) / 2;
                    mine = -((gap - spacing.need) / 2);
                } else {
                    moved = false;
                }
                if (moved) {
                    Shift(forest, earlier);
                    Shift(placed, mine);
                    for (int32_t j = 0; j < k; ++j) moves[static_cast<size_t>(j)].push_back(earlier);
                    moves[static_cast<size_t>(k)].push_back(mine);
                }
                Merge(forest, std::move(placed));
            }
            double sum = 0;
            for (int32_t k = 0; k < children; ++k) {
                const int32_t child = parent.children[k];
                log.record(child, moves[static_cast<size_t>(k)]);
                layoutParent[static_cast<size_t>(child)] = p;
                sum += log.apply(child, placedAt[static_cast<size_t>(child)]);
            }
            placedAt[static_cast<size_t>(p)] = sum / children;
        }
        // The subtree's contour: the box itself above its children's.
        AddTop(forest, placedAt[static_cast<size_t>(p)], std::clamp(parent.spouseCount, 0, 4));
        contours[static_cast<size_t>(p)] = std::move(forest);
    }
    for (int32_t n = 1; n <= count; ++n) {
        double value = placedAt[static_cast<size_t>(n)];
        for (int32_t box = n; layoutParent[static_cast<size_t>(box)] != 0; box = layoutParent[static_cast<size_t>(box)])
            value = log.apply(box, value);
        tree.descendants[static_cast<size_t>(n)].layoutY = value;
    }
}

void PlaceAncestorsFast(ChartTree& tree, const Spacing& spacing) {
    const int32_t count = tree.ancestorCount;
    std::vector<Contour<1>> contours(static_cast<size_t>(count) + 1);
    std::vector<double> placedAt(static_cast<size_t>(count) + 1, 0);
    std::vector<double> moved(static_cast<size_t>(count) + 1, 0); // the one move of each ancestry
    std::vector<uint8_t> wasMoved(static_cast<size_t>(count) + 1, 0);
    std::vector<int32_t> layoutChild(static_cast<size_t>(count) + 1, 0);
    for (int32_t n = count; n >= 1; --n) {
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        const auto at = [&](int32_t a) {
            return wasMoved[static_cast<size_t>(a)] ? placedAt[static_cast<size_t>(a)] + moved[static_cast<size_t>(a)]
                                                   : placedAt[static_cast<size_t>(a)];
        };
        Contour<1> above;
        if (node.father > 0 && node.mother > 0) {
            Contour<1>& fathers = contours[static_cast<size_t>(node.father)];
            Contour<1>& mothers = contours[static_cast<size_t>(node.mother)];
            const double gap = std::min(spacing.need, ContourGap(fathers, mothers, 0));
            if (gap < spacing.need) {
                const double apart = (spacing.need - gap) / 2;
                Shift(fathers, -apart);
                Shift(mothers, apart);
                moved[static_cast<size_t>(node.father)] = -apart;
                moved[static_cast<size_t>(node.mother)] = apart;
                wasMoved[static_cast<size_t>(node.father)] = 1;
                wasMoved[static_cast<size_t>(node.mother)] = 1;
            }
            placedAt[static_cast<size_t>(n)] = (at(node.father) + at(node.mother)) / 2;
            above = std::move(fathers);
            Merge(above, std::move(mothers));
        } else if (node.father > 0 || node.mother > 0) {
            const int32_t parent = node.father > 0 ? node.father : node.mother;
            placedAt[static_cast<size_t>(n)] = at(parent);
            above = std::move(contours[static_cast<size_t>(parent)]);
        }
        for (int32_t parent : {node.father, node.mother}) {
            if (parent > 0) layoutChild[static_cast<size_t>(parent)] = n;
        }
        AddTop(above, placedAt[static_cast<size_t>(n)], 0);
        contours[static_cast<size_t>(n)] = std::move(above);
    }
    for (int32_t n = 1; n <= count; ++n) {
        double value = placedAt[static_cast<size_t>(n)];
        for (int32_t a = n; layoutChild[static_cast<size_t>(a)] != 0; a = layoutChild[static_cast<size_t>(a)]) {
            if (wasMoved[static_cast<size_t>(a)]) value += moved[static_cast<size_t>(a)];
        }
        tree.ancestors[static_cast<size_t>(n)].layoutY = value;
    }
}

// ---------------------------------------------------------------------------------------------

// Depth positions and extents, once the breadth positions are known.
void PlaceGenerations(ChartTree& tree, const ChartSettings& settings, int32_t deepestDescendant,
                      int32_t deepestAncestor) {
    const auto length = static_cast<int32_t>(settings.larg);
    const int32_t pitch = length + 20;
    // In the parent chart the ancestors come one box length closer: the chosen person's box and
    // its parent's are drawn as lines only.
    const int32_t offset = tree.chartMode == kModeParent ? 0 : length;
    if (tree.chartMode == kModeParent) {
        if (tree.ancestorCount >= 1) tree.ancestors[1].surname[0] = '$';
        if (tree.descendantCount >= 1) tree.descendants[1].surname[0] = '$';
    }
    tree.descendantExtentX = 0;
    if (tree.descendantCount >= 1) {
        tree.descendants[1].layoutX = 0;
        tree.yMin = tree.yMax = tree.descendants[1].layoutY;
        for (int32_t n = 2; n <= tree.descendantCount; ++n) {
            DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
            tree.yMin = std::min(tree.yMin, node.layoutY);
            tree.yMax = std::max(tree.yMax, node.layoutY);
            node.layoutX = pitch * node.generation;
        }
        tree.descendantExtentX = pitch * deepestDescendant;
        tree.extentX = tree.descendantExtentX;
        tree.ancestorYMin = tree.yMin;
        tree.ancestorYMax = tree.yMax;
    } else {
        tree.yMin = tree.yMax = 0;
        tree.ancestorYMin = tree.ancestorYMax = 0;
        tree.extentX = 0;
    }
    if (tree.ancestorCount < 1) return;
    AncestorNode& root = tree.ancestors[1];
    root.layoutX = pitch * AncestorGeneration(root.sosa) + tree.descendantExtentX;
    double low = root.layoutY;
    double high = root.layoutY;
    for (int32_t n = 2; n <= tree.ancestorCount; ++n) {
        AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        low = std::min(low, node.layoutY);
        high = std::max(high, node.layoutY);
        node.layoutX = pitch * AncestorGeneration(node.sosa) - length + tree.descendantExtentX + offset;
    }
    tree.extentX = pitch * deepestAncestor + tree.descendantExtentX;
    if (tree.descendantCount >= 1) {
        // Both roots on the same line.
        const double shift = tree.descendants[1].layoutY;
        for (int32_t n = 1; n <= tree.ancestorCount; ++n) tree.ancestors[static_cast<size_t>(n)].layoutY += shift;
        low += shift;
        high += shift;
    }
    tree.yMin = std::min(tree.yMin, low);
    tree.yMax = std::max(tree.yMax, high);
    tree.ancestorYMin = tree.yMin;
    tree.ancestorYMax = tree.yMax;
}

// Halves the zoom while the chart would leave the drawable range, or is narrower than 20 units
// a zoom step.
void FitZoom(const ChartTree& tree, int64_t& zoom) {
    while (zoom > 1) {
        const auto z = static_cast<double>(zoom);
        if ((tree.yMax + 10) * z > static_cast<double>(kCoordinateLimit - 1) ||
            (tree.yMin - 10) * z < static_cast<double>(1 - kCoordinateLimit) || tree.yMax - tree.yMin < 20 * z) {
            zoom /= 2;
        } else {
            break;
        }
    }
}

template <bool kFast>
void Layout(ChartTree& tree, const ChartSettings& settings, int64_t& zoom) {
    const Spacing spacing = SpacingOf(settings);
    int32_t deepestDescendant = 0;
    for (int32_t n = 1; n <= tree.descendantCount; ++n)
        deepestDescendant = std::max(deepestDescendant, tree.descendants[static_cast<size_t>(n)].generation);
    int32_t deepestAncestor = 0;
    for (int32_t n = 1; n <= tree.ancestorCount; ++n)
        deepestAncestor = std::max(deepestAncestor, AncestorGeneration(tree.ancestors[static_cast<size_t>(n)].sosa));
    // The breadth positions need work arrays; when they cannot be had the layout stays as it was.
    std::vector<double> previous;
    try {
        previous.reserve(static_cast<size_t>(tree.descendantCount + tree.ancestorCount));
        for (int32_t n = 1; n <= tree.descendantCount; ++n) {
            previous.push_back(tree.descendants[static_cast<size_t>(n)].layoutY);
            tree.descendants[static_cast<size_t>(n)].layoutY = 0;
        }
        for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
            previous.push_back(tree.ancestors[static_cast<size_t>(n)].layoutY);
            tree.ancestors[static_cast<size_t>(n)].layoutY = 0;
        }
        if constexpr (kFast) {
            if (tree.descendantCount >= 1) PlaceDescendantsFast(tree, spacing);
            if (tree.ancestorCount >= 1) PlaceAncestorsFast(tree, spacing);
        } else {
            if (tree.descendantCount >= 1) PlaceDescendantsDirect(tree, spacing, deepestDescendant);
            if (tree.ancestorCount >= 1) PlaceAncestorsDirect(tree, spacing, deepestAncestor);
        }
    } catch (const std::bad_alloc&) {
        if (previous.size() == static_cast<size_t>(tree.descendantCount + tree.ancestorCount)) {
            size_t k = 0;
            for (int32_t n = 1; n <= tree.descendantCount; ++n) tree.descendants[static_cast<size_t>(n)].layoutY = previous[k++];
            for (int32_t n = 1; n <= tree.ancestorCount; ++n) tree.ancestors[static_cast<size_t>(n)].layoutY = previous[k++];
        }
        return;
    }
    PlaceGenerations(tree, settings, deepestDescendant, deepestAncestor);
    FitZoom(tree, zoom);
}

} // namespace

void LayoutTree(ChartTree& tree, const ChartSettings& settings, int64_t& zoom) { Layout<true>(tree, settings, zoom); }

void LayoutTreeDirect(ChartTree& tree, const ChartSettings& settings, int64_t& zoom) {
    Layout<false>(tree, settings, zoom);
}

} // namespace arbolix
