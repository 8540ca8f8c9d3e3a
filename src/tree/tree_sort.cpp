#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>
#include <vector>

#include "base/reporter.h"
#include "tree/tree_compute.h"

namespace arbolix {

namespace {

constexpr int32_t kMaxChildren = 32;

// Minima over positions 1..n, answering "the first position after p holding a key below v".
class MinimumTree {
public:
    explicit MinimumTree(const std::vector<int32_t>& keys) : size_(1) {
        const size_t n = keys.size();
        while (size_ < n) size_ *= 2;
        nodes_.assign(2 * size_, std::numeric_limits<int32_t>::max());
        for (size_t i = 1; i < n; ++i) nodes_[size_ + i] = keys[i];
        for (size_t i = size_ - 1; i >= 1; --i) nodes_[i] = std::min(nodes_[2 * i], nodes_[2 * i + 1]);
    }

    void set(size_t position, int32_t key) {
        size_t i = size_ + position;
        nodes_[i] = key;
        for (i /= 2; i >= 1; i /= 2) nodes_[i] = std::min(nodes_[2 * i], nodes_[2 * i + 1]);
    }

    // First position greater than `after` whose key is below `key`; 0 when there is none.
    size_t firstBelow(size_t after, int32_t key) const { return find(1, 0, size_ - 1, after + 1, key); }

private:
    size_t find(size_t node, size_t low, size_t high, size_t from, int32_t key) const {
        if (high < from || nodes_[node] >= key) return 0;
        if (low == high) return low;
        const size_t middle = (low + high) / 2;
        const size_t left = find(2 * node, low, middle, from, key);
        return left != 0 ? left : find(2 * node + 1, middle + 1, high, from, key);
    }

    size_t size_;
    std::vector<int32_t> nodes_;
};

// Translates a link through the permutation; a link past the table's end becomes 0.
int32_t Moved(int32_t link, const std::vector<int32_t>& newPosition, int32_t count) {
    const int32_t magnitude = std::abs(link);
    if (magnitude == 0 || magnitude > count) return 0;
    const int32_t moved = newPosition[static_cast<size_t>(magnitude)];
    return link < 0 ? -moved : moved;
}

// Puts node from[p] at p for every p, following the permutation's cycles (no second table).
template <class Node>
void Permute(std::vector<Node>& nodes, std::vector<int32_t> from, int32_t count) {
    for (int32_t start = 1; start <= count; ++start) {
        if (from[static_cast<size_t>(start)] == start) continue;
        Node held = nodes[static_cast<size_t>(start)];
        int32_t p = start;
        while (from[static_cast<size_t>(p)] != start) {
            const int32_t next = from[static_cast<size_t>(p)];
            nodes[static_cast<size_t>(p)] = nodes[static_cast<size_t>(next)];
            from[static_cast<size_t>(p)] = p;
            p = next;
        }
        nodes[static_cast<size_t>(p)] = held;
        from[static_cast<size_t>(p)] = p;
    }
}

std::vector<int32_t> Inverse(const std::vector<int32_t>& from) {
    std::vector<int32_t> to(from.size(), 0);
    for (size_t p = 1; p < from.size(); ++p) to[static_cast<size_t>(from[p])] = static_cast<int32_t>(p);
    return to;
}

} // namespace

std::vector<int32_t> ExchangeSortPermutationSlow(std::vector<int32_t> keys) {
    std::vector<int32_t> from(keys.size());
    std::iota(from.begin(), from.end(), 0);
    const size_t n = keys.size();
    for (size_t i = 1; i < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (keys[j] < keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(from[i], from[j]);
            }
        }
    }
    return from;
}

// The slow sort's inner scan only ever meets smaller and smaller keys at position i, so each of
// its swaps is the next position holding a key below the current one: found in the tree of
// minima instead of by scanning.
std::vector<int32_t> ExchangeSortPermutation(const std::vector<int32_t>& original) {
    std::vector<int32_t> keys = original;
    std::vector<int32_t> from(keys.size());
    std::iota(from.begin(), from.end(), 0);
    if (keys.size() < 2) return from;
    MinimumTree minima(keys);
    for (size_t i = 1; i < keys.size(); ++i) {
        size_t position = i;
        for (;;) {
            const size_t j = minima.firstBelow(position, keys[i]);
            if (j == 0) break;
            std::swap(keys[i], keys[j]);
            std::swap(from[i], from[j]);
            minima.set(j, keys[j]);
            minima.set(i, keys[i]);
            position = j;
        }
    }
    return from;
}

int SortTables(ChartTree& tree, Reporter& reporter) {
    try {
        const int32_t count = tree.descendantCount;
        if (count > 1) {
            std::vector<int32_t> generations(static_cast<size_t>(count) + 1, 0);
            for (int32_t n = 1; n <= count; ++n) generations[static_cast<size_t>(n)] = tree.descendants[static_cast<size_t>(n)].generation;
            const std::vector<int32_t> from = ExchangeSortPermutation(generations);
            const std::vector<int32_t> to = Inverse(from);
            Permute(tree.descendants, from, count);
            for (int32_t n = 1; n <= count; ++n) {
                DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
                node.parent1 = Moved(node.parent1, to, count);
                node.parent2 = Moved(node.parent2, to, count);
            }
        }
        const int32_t ancestors = tree.ancestorCount;
        bool sorted = true;
        for (int32_t n = 2; n <= ancestors && sorted; ++n)
            sorted = tree.ancestors[static_cast<size_t>(n - 1)].sosa < tree.ancestors[static_cast<size_t>(n)].sosa;
        if (!sorted) {
            // Ancestor numbers are all different, so any sort gives the exchange sort's order.
            std::vector<int32_t> from(static_cast<size_t>(ancestors) + 1);
            std::iota(from.begin(), from.end(), 0);
            std::sort(from.begin() + 1, from.end(), [&](int32_t a, int32_t b) {
                return tree.ancestors[static_cast<size_t>(a)].sosa < tree.ancestors[static_cast<size_t>(b)].sosa;
            });
            const std::vector<int32_t> to = Inverse(from);
            Permute(tree.ancestors, from, ancestors);
            for (int32_t n = 1; n <= ancestors; ++n) {
                AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
                node.father = Moved(node.father, to, ancestors);
                node.mother = Moved(node.mother, to, ancestors);
                node.child = Moved(node.child, to, ancestors);
            }
        }
    } catch (const std::bad_alloc&) {
        reporter.report({"Erreur malloc", "arbolix", MessageIcon::Stop});
        return -1;
    }
    return 0;
}

void FinishTables(ChartTree& tree) {
    const int32_t count = tree.descendantCount;
    if (count >= 1) tree.descendants[1].parent1 = 0;
    std::vector<int32_t> listed(static_cast<size_t>(count) + 1, 0);
    for (int32_t n = 1; n <= count; ++n) std::memset(tree.descendants[static_cast<size_t>(n)].children, 0, sizeof(DescendantNode::children));
    for (int32_t m = 1; m <= count; ++m) {
        const int32_t parent = tree.descendants[static_cast<size_t>(m)].parent1;
        if (parent <= 0 || parent > count) continue;
        int32_t& k = listed[static_cast<size_t>(parent)];
        if (k < kMaxChildren) tree.descendants[static_cast<size_t>(parent)].children[k++] = m;
    }
    int32_t surname = 0, given = 0, place = 0;
    const auto widen = [&](const char* s, const char* g, const char* p) {
        surname = std::max(surname, static_cast<int32_t>(std::strlen(s)));
        given = std::max(given, static_cast<int32_t>(std::strlen(g)));
        place = std::max(place, static_cast<int32_t>(std::strlen(p)));
    };
    for (int32_t n = 1; n <= count; ++n) {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        widen(node.surname, node.givenName, node.place);
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        widen(node.surname, node.givenName, node.place);
    }
    tree.longestSurname = surname;
    tree.longestGivenName = given;
    tree.longestPlace = place;
}

} // namespace arbolix
