#include "tree/tree_compute.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "tree/tree_builder.h"

namespace arbolix {

namespace tree_detail {

namespace {

// The parent links of every person, copied out of the records, and who is listed as whose child:
// the walks over a large file then touch a few megabytes instead of the whole store.
struct Family {
    std::vector<int32_t> father;
    std::vector<int32_t> mother;
    std::vector<uint8_t> nameless;     // neither given name nor surname
    std::vector<int32_t> childrenFrom; // children of p: listed[childrenFrom[p] .. childrenFrom[p + 1])
    std::vector<int32_t> listed;       // in index order

    explicit Family(const PersonStore& store) {
        const int32_t highest = store.highestXref;
        const size_t size = static_cast<size_t>(highest) + 1;
        father.resize(size);
        mother.resize(size);
        nameless.resize(size);
        for (int32_t p = 0; p <= highest; ++p) {
            const Individual& x = store[p];
            const auto k = static_cast<size_t>(p);
            father[k] = x.father > 0 && x.father <= highest ? x.father : 0;
            mother[k] = x.mother > 0 && x.mother <= highest ? x.mother : 0;
            nameless[k] = x.givenName[0] == '\0' && x.surname[0] == '\0';
        }
        // A person is listed under its father and under its mother (twice when they are one);
        // persons without any name are left out.
        childrenFrom.assign(size + 1, 0);
        for (size_t p = 1; p < size; ++p) {
            if (nameless[p]) continue;
            if (father[p] != 0) ++childrenFrom[static_cast<size_t>(father[p]) + 1];
            if (mother[p] != 0) ++childrenFrom[static_cast<size_t>(mother[p]) + 1];
        }
        for (size_t p = 1; p <= size; ++p) childrenFrom[p] += childrenFrom[p - 1];
        listed.resize(static_cast<size_t>(childrenFrom[size]));
        std::vector<int32_t> fill(childrenFrom.begin(), childrenFrom.end() - 1);
        for (size_t p = 1; p < size; ++p) {
            if (nameless[p]) continue;
            if (father[p] != 0) listed[static_cast<size_t>(fill[static_cast<size_t>(father[p])]++)] = static_cast<int32_t>(p);
            if (mother[p] != 0) listed[static_cast<size_t>(fill[static_cast<size_t>(mother[p])]++)] = static_cast<int32_t>(p);
        }
    }

    int32_t childCount(int32_t p) const {
        return childrenFrom[static_cast<size_t>(p) + 1] - childrenFrom[static_cast<size_t>(p)];
    }
    // The children a record can hold: the first 32.
    const int32_t* firstChildren(int32_t p, int32_t& count) const {
        count = std::min(childCount(p), kMaxChildren);
        return listed.data() + childrenFrom[static_cast<size_t>(p)];
    }
};

// Each parent's children list and count, written into the records in index order. Persons without
// any name get level 0.
void ListChildren(PersonStore& store, const Family& family) {
    for (int32_t p = 1; p <= store.highestXref; ++p) {
        Individual& x = store[p];
        int32_t listed = 0;
        const int32_t* children = family.firstChildren(p, listed);
        std::copy(children, children + listed, x.children);
        x.childCount = family.childCount(p);
        if (family.nameless[static_cast<size_t>(p)]) x.level = 0;
    }
}

void ListChildren(PersonStore& store) { ListChildren(store, Family(store)); }

// Ancestors counted along every line, into sosa: a person's count is the sum over its parents of
// the parent's count plus one. A line that comes back to a person already on it stops there.
void CountAncestors(PersonStore& store, const Family& family) {
    constexpr int64_t kUnset = -1;
    constexpr int64_t kOnLine = -2;
    std::vector<int64_t> count(family.father.size(), kUnset);
    std::vector<std::pair<int32_t, int32_t>> stack; // person, next parent to look at
    for (int32_t first = 1; first <= store.highestXref; ++first) {
        if (count[static_cast<size_t>(first)] != kUnset) continue;
        count[static_cast<size_t>(first)] = kOnLine;
        stack.push_back({first, 0});
        while (!stack.empty()) {
            const auto x = static_cast<size_t>(stack.back().first);
            const int32_t stage = stack.back().second++;
            if (stage < 2) {
                const int32_t parent = stage == 0 ? family.father[x] : family.mother[x];
                if (parent != 0 && count[static_cast<size_t>(parent)] == kUnset) {
                    count[static_cast<size_t>(parent)] = kOnLine;
                    stack.push_back({parent, 0});
                }
                continue;
            }
            int64_t sum = 0;
            for (int32_t parent : {family.father[x], family.mother[x]}) {
                if (parent == 0) continue;
                const int64_t above = count[static_cast<size_t>(parent)];
                if (above >= 0) sum = SaturatingAdd(sum, SaturatingAdd(above, 1));
            }
            count[x] = sum;
            stack.pop_back();
        }
    }
    for (int32_t p = 1; p <= store.highestXref; ++p) store[p].sosa = count[static_cast<size_t>(p)];
}

// Descendants counted along every line, into level, over the children lists (the first 32 of each
// person). Persons without any name keep level 0.
void CountDescendants(PersonStore& store, const Family& family) {
    constexpr int32_t kUnset = -1;
    constexpr int32_t kOnLine = -2;
    std::vector<int32_t> count(family.father.size(), kUnset);
    for (size_t p = 1; p < count.size(); ++p)
        if (family.nameless[p]) count[p] = 0;
    std::vector<std::pair<int32_t, int32_t>> stack; // person, next child to look at
    for (int32_t first = 1; first <= store.highestXref; ++first) {
        if (count[static_cast<size_t>(first)] != kUnset) continue;
        count[static_cast<size_t>(first)] = kOnLine;
        stack.push_back({first, 0});
        while (!stack.empty()) {
            const int32_t x = stack.back().first;
            int32_t listed = 0;
            const int32_t* children = family.firstChildren(x, listed);
            const int32_t k = stack.back().second++;
            if (k < listed) {
                const int32_t child = children[k];
                if (count[static_cast<size_t>(child)] == kUnset) {
                    count[static_cast<size_t>(child)] = kOnLine;
                    stack.push_back({child, 0});
                }
                continue;
            }
            int32_t sum = 0;
            for (int32_t i = 0; i < listed; ++i) {
                const int32_t below = count[static_cast<size_t>(children[i])];
                if (below >= 0) sum = SaturatingAdd32(sum, SaturatingAdd32(below, 1));
            }
            count[static_cast<size_t>(x)] = sum;
            stack.pop_back();
        }
    }
    for (int32_t p = 1; p <= store.highestXref; ++p) store[p].level = count[static_cast<size_t>(p)];
}

} // namespace

int32_t TreeBuilder::appendRecord(int32_t growthStep) {
    const int32_t last = std::max(store_.highestXref, usedEnd_);
    if (last >= std::numeric_limits<int32_t>::max() - 2048) return 0;
    const int32_t index = last + 1;
    if (index > store_.topIndex()) {
        const bool grown = growthStep == 512
                               ? store_.growTo(int64_t{store_.recordCount()} + 512, store_.topIndex() + 512)
                               : store_.growTo(int64_t{last} + 1024, last + 1023);
        if (!grown || index > store_.topIndex()) return 0;
    }
    store_[index] = BlankIndividual();
    store_.highestXref = index;
    if (linesActive_) {
        lines_.father.push_back(0);
        lines_.mother.push_back(0);
        lines_.number.push_back(0);
        lines_.firstChild.push_back(0);
        lines_.wasNumbered.push_back(0);
    }
    return index;
}

// A copy of a person's record: texts, years, xref, country, spouses, father and mother.
int32_t TreeBuilder::appendCopy(int32_t of) {
    const int32_t copy = appendRecord(1024);
    if (copy == 0) return 0;
    const Individual& from = store_[of];
    Individual& to = store_[copy];
    std::memcpy(to.givenName, from.givenName, sizeof to.givenName);
    std::memcpy(to.surname, from.surname, sizeof to.surname);
    std::memcpy(to.place, from.place, sizeof to.place);
    to.birthYear = from.birthYear;
    to.deathYear = from.deathYear;
    to.xref = from.xref;
    to.country = from.country;
    to.spouseCount = from.spouseCount;
    std::memcpy(to.spouses, from.spouses, sizeof to.spouses);
    to.father = from.father;
    to.mother = from.mother;
    if (linesActive_) {
        lines_.father[static_cast<size_t>(copy)] = lines_.father[static_cast<size_t>(of)];
        lines_.mother[static_cast<size_t>(copy)] = lines_.mother[static_cast<size_t>(of)];
    }
    return copy;
}

int32_t TreeBuilder::appendDuplicate(int32_t of) {
    if (duplicatesLeft_ <= 0) {
        if (duplicatesLeft_ == 0) {
            reporter_.report({Format("Duplication limitée à %d cases : les personnes atteintes par "
                                     "d'autres lignes n'y sont plus répétées",
                                     kDuplicateBudget),
                              "arbolix", MessageIcon::Exclamation});
            duplicatesLeft_ = -1;
        }
        return 0;
    }
    const int32_t copy = appendCopy(of);
    if (copy != 0) --duplicatesLeft_;
    return copy;
}

int TreeBuilder::run(RootChooser* chooser) {
    for (int32_t i = 0; i <= store_.highestXref; ++i) {
        store_[i].level = -1;
        store_[i].childCount = 0;
        store_[i].sosa = -1;
    }
    if (tree_.descendantRoot == 0) {
        const Family family(store_);
        ListChildren(store_, family);
        CountAncestors(store_, family);
        CountDescendants(store_, family);
        reporter_.status("chargement liste");
        const std::optional<RootChoice> choice = chooser ? chooser->choose(store_) : std::nullopt;
        if (!choice || choice->person <= 0 || choice->person > store_.highestXref) {
            tree_.descendantCount = 1;
            tree_.ancestorCount = 1;
            return -1;
        }
        tree_.chartMode = choice->mode;
        tree_.descendantRoot = choice->person;
        tree_.ancestorRoot = choice->person;
        tree_.rootXref = store_[choice->person].xref;
    } else {
        tree_.ancestorRoot = tree_.descendantRoot;
        if (emptyBelow_ != 0) ListChildren(store_);
    }

    tree_.descendantCount = 1;
    tree_.ancestorCount = 1;
    reporter_.status("Calcul de l'arbre");
    tree_.chartMode = (tree_.chartMode / 16) * 17;
    if (tree_.chartMode == kModeParent) {
        const Individual& chosen = store_[tree_.ancestorRoot];
        if (chosen.father > 0) {
            tree_.descendantRoot = chosen.father;
        } else if (chosen.mother > 0) {
            tree_.descendantRoot = chosen.mother;
        } else {
            tree_.chartMode = kModeParentMissing;
        }
    }
    const bool ancestors = (tree_.chartMode & 0x02) != 0;
    const bool descendants = tree_.chartMode != kModeAncestors;
    if (ancestors && ancestorPart() < 0) return -1;
    if (descendants) {
        if (ancestors) {
            // The second links of the ancestor part become ordinary links again.
            for (int32_t i = 1; i <= store_.highestXref; ++i) {
                store_[i].father = std::abs(store_[i].father);
                store_[i].mother = std::abs(store_[i].mother);
            }
            if (emptyBelow_ != 0) ListChildren(store_);
        }
        if (descendantPart() < 0) return -1;
    }
    return 0;
}

} // namespace tree_detail

using tree_detail::TreeBuilder;

// ---------------------------------------------------------------------------------------------

void CountAncestorsAndDescendants(PersonStore& store) {
    const tree_detail::Family family(store);
    tree_detail::ListChildren(store, family);
    tree_detail::CountAncestors(store, family);
    tree_detail::CountDescendants(store, family);
}

int ComputeTree(ChartTree& tree, PersonStore& store, const ChartSettings& settings,
                RootChooser* chooser, Reporter& reporter) {
    if (tree.descendants.size() < static_cast<size_t>(tree.descendantCapacity) + 1)
        tree.descendants.resize(static_cast<size_t>(tree.descendantCapacity) + 1);
    if (tree.ancestors.size() < static_cast<size_t>(tree.ancestorCapacity) + 1)
        tree.ancestors.resize(static_cast<size_t>(tree.ancestorCapacity) + 1);
    if (tree.descendantRoot > store.highestXref) tree.descendantRoot = 0;
    return TreeBuilder(tree, store, settings, reporter).run(chooser);
}

int BuildChartTables(ChartTree& tree, PersonStore& store, const ChartSettings& settings,
                     RootChooser* chooser, Reporter& reporter) {
    const int result = ComputeTree(tree, store, settings, chooser, reporter);
    tree.descendantCount = std::max(tree.descendantCount - 1, 0);
    tree.ancestorCount = std::max(tree.ancestorCount - 1, 0);
    if (SortTables(tree, reporter) == 0) FinishTables(tree);
    return result;
}

} // namespace arbolix
