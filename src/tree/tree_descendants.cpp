// The descendant table of a chart: empty children, marking, compaction, generations, cousin
// handling and the nodes.

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "data/encoding.h"
#include "tree/tree_builder.h"

namespace arbolix::tree_detail {

namespace {

// Who hangs under whom: for every person, the persons whose father or mother it is, in index
// order. Built from the links of the moment; a link removed later is checked when walking.
class ChildrenIndex {
public:
    ChildrenIndex(const PersonStore& store, int32_t highest) {
        start_.assign(static_cast<size_t>(highest) + 2, 0);
        const auto counted = [&](int32_t parent) {
            return parent > 0 && parent <= highest;
        };
        for (int32_t p = 1; p <= highest; ++p) {
            const Individual& x = store[p];
            if (counted(x.father)) ++start_[static_cast<size_t>(x.father) + 1];
            if (counted(x.mother) && x.mother != x.father) ++start_[static_cast<size_t>(x.mother) + 1];
        }
        for (size_t i = 1; i < start_.size(); ++i) start_[i] += start_[i - 1];
        children_.resize(static_cast<size_t>(start_.back()));
        std::vector<int32_t> fill(start_.begin(), start_.end() - 1);
        for (int32_t p = 1; p <= highest; ++p) {
            const Individual& x = store[p];
            if (counted(x.father)) children_[static_cast<size_t>(fill[static_cast<size_t>(x.father)]++)] = p;
            if (counted(x.mother) && x.mother != x.father)
                children_[static_cast<size_t>(fill[static_cast<size_t>(x.mother)]++)] = p;
        }
    }

    const int32_t* begin(int32_t parent) const { return children_.data() + start_[static_cast<size_t>(parent)]; }
    const int32_t* end(int32_t parent) const { return children_.data() + start_[static_cast<size_t>(parent) + 1]; }

private:
    std::vector<int32_t> start_;
    std::vector<int32_t> children_;
};

void AddToChildren(Individual& parent, int32_t child) {
    if (parent.childCount >= 0 && parent.childCount < kMaxChildren) parent.children[parent.childCount] = child;
    parent.childCount = SaturatingAdd32(parent.childCount, 1);
}

} // namespace

int TreeBuilder::descendantPart() {
    addEmptyDescendants();
    markDescendants();
    compact();
    if (!checkChildrenLimit()) return -1;
    computeGenerations();
    for (int32_t i = 1; i <= store_.highestXref; ++i) {
        Individual& x = store_[i];
        if (x.level > gened_) {
            x.father = 0;
            x.mother = 0;
            x.level = 0;
        }
    }
    dropPersonsCutFromTheRoot();
    switch (cousin_) {
    case 2: duplicateChildrenOfRelatives(); break;
    case 1: bridgeDescendantGaps(); break;
    default: keepOneParent(); break;
    }
    for (int32_t i = 1; i <= store_.highestXref; ++i) --store_[i].level;
    return copyDescendants();
}

void TreeBuilder::addEmptyDescendants() {
    if (emptyBelow_ == 0) return;
    for (int32_t p = store_.highestXref; p >= 1; --p) {
        if (store_[p].childCount == 0) addEmptyChildren(p, emptyBelow_);
    }
}

void TreeBuilder::addEmptyChildren(int32_t person, int32_t generations) {
    if (generations <= 0) return;
    for (int32_t k = 0; k < emptyPerPerson_; ++k) {
        const int32_t box = appendRecord(1024);
        if (box == 0) return;
        store_[box].xref = box;
        store_[box].father = person;
        AddToChildren(store_[person], box);
        addEmptyChildren(box, generations - 1);
    }
}

// The root and everybody whose father or mother is marked get level 1; links to the others go.
void TreeBuilder::markDescendants() {
    const int32_t highest = store_.highestXref;
    for (int32_t i = 0; i <= highest; ++i) store_[i].level = 0;
    const ChildrenIndex children(store_, highest);
    std::vector<int32_t> pending{tree_.descendantRoot};
    store_[tree_.descendantRoot].level = 1;
    while (!pending.empty()) {
        const int32_t x = pending.back();
        pending.pop_back();
        for (const int32_t* c = children.begin(x); c != children.end(x); ++c) {
            if (store_[*c].level == 0) {
                store_[*c].level = 1;
                pending.push_back(*c);
            }
        }
    }
    for (int32_t i = 1; i <= highest; ++i) {
        Individual& x = store_[i];
        if (x.father > 0 && (x.father > highest || store_[x.father].level != 1)) x.father = 0;
        if (x.mother > 0 && (x.mother > highest || store_[x.mother].level != 1)) x.mother = 0;
    }
}

// Moves the marked persons to the lowest indices: the highest marked record above each unmarked
// one takes its place, and every reference follows.
void TreeBuilder::compact() {
    const int32_t highest = store_.highestXref;
    std::vector<int32_t> renumber(static_cast<size_t>(highest) + 1);
    for (int32_t i = 0; i <= highest; ++i) renumber[static_cast<size_t>(i)] = i;
    int32_t top = highest;
    int32_t kept = 0;
    for (int32_t i = 1; i <= highest; ++i) kept += store_[i].level == 1;
    for (int32_t hole = 1; hole <= highest; ++hole) {
        if (store_[hole].level == 1) continue;
        while (top > hole && store_[top].level != 1) --top;
        if (top <= hole) break;
        store_[hole].father = 0;
        store_[hole].mother = 0;
        std::swap(store_[hole], store_[top]);
        renumber[static_cast<size_t>(top)] = hole;
        renumber[static_cast<size_t>(hole)] = top;
        --top;
    }
    const auto moved = [&](int32_t reference) {
        return reference > 0 && reference <= highest ? renumber[static_cast<size_t>(reference)] : reference;
    };
    for (int32_t i = 1; i <= highest; ++i) {
        Individual& x = store_[i];
        x.father = moved(x.father);
        x.mother = moved(x.mother);
        for (int32_t k = 0; k < std::clamp(x.spouseCount, 0, 4); ++k) x.spouses[k] = moved(x.spouses[k]);
    }
    tree_.descendantRoot = moved(tree_.descendantRoot);
    store_.highestXref = kept;
    usedEnd_ = highest;
    for (int32_t i = 1; i <= highest; ++i) {
        Individual& x = store_[i];
        if (i > kept || x.father > kept) x.father = 0;
        if (i > kept || x.mother > kept) x.mother = 0;
    }
}

// Children are counted from the parent links of the persons kept: the children lists may be
// stale here (the ancestor part reuses `childCount`, a recomputation does not list them again).
bool TreeBuilder::checkChildrenLimit() {
    const int32_t highest = store_.highestXref;
    std::vector<int32_t> children(static_cast<size_t>(highest) + 1, 0);
    for (int32_t i = 1; i <= highest; ++i) {
        const Individual& x = store_[i];
        if (x.father > 0 && x.father <= highest) ++children[static_cast<size_t>(x.father)];
        if (x.mother > 0 && x.mother <= highest && x.mother != x.father) ++children[static_cast<size_t>(x.mother)];
    }
    const int32_t largest = *std::max_element(children.begin(), children.end());
    if (largest <= kMaxChildren) return true;
    reporter_.report({Format("Fichier GEDCOM limité à %d enfants par personne : %d", kMaxChildren, largest),
                      "arbolix", MessageIcon::Stop});
    tree_.descendantCount = 1;
    return false;
}

// Levels from the root (1) down, each person one below its deepest parent. A person reaching
// level 128 stops its line: its ancestry loops.
void TreeBuilder::computeGenerations() {
    const int32_t highest = store_.highestXref;
    for (int32_t i = 0; i <= highest; ++i) store_[i].level = 0;
    const int32_t root = tree_.descendantRoot;
    store_[root].father = 0;
    store_[root].mother = 0;
    store_[root].level = 1;
    const ChildrenIndex children(store_, highest);
    struct Frame {
        int32_t person;
        const int32_t* next;
    };
    std::vector<Frame> stack{{root, children.begin(root)}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == children.end(frame.person)) {
            stack.pop_back();
            continue;
        }
        const int32_t child = *frame.next++;
        const int32_t level = store_[frame.person].level + 1;
        if (level <= store_[child].level) continue;
        store_[child].level = level;
        if (level >= kLoopLevel) {
            const Individual& looped = store_[child];
            reporter_.report({Format("Anomalie dans les ancêtres de %s %s né(e) en %d",
                                     Windows1252ToUtf8(looped.surname).c_str(),
                                     Windows1252ToUtf8(looped.givenName).c_str(), looped.birthYear),
                              "arbolix", MessageIcon::Exclamation});
            continue;
        }
        stack.push_back({child, children.begin(child)});
    }
}

// A line stopped by a loop keeps the levels it gave further down before it stopped: persons
// below the loop would then hang from persons who have left the chart. Taken generation by
// generation, a person keeps only the links to parents still in the chart above it, and leaves the
// chart with everything under it when none is left; one that keeps a parent comes one generation
// under the lowest of them, so that it still has a parent one generation up. Without loops nothing
// changes: every person already has a parent one generation up.
void TreeBuilder::dropPersonsCutFromTheRoot() {
    const int32_t highest = store_.highestXref;
    std::vector<int32_t> start(static_cast<size_t>(gened_) + 2, 0);
    for (int32_t i = 1; i <= highest; ++i) {
        const int32_t level = store_[i].level;
        if (level >= 2 && level <= gened_) ++start[static_cast<size_t>(level) + 1];
    }
    for (size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
    std::vector<int32_t> byLevel(static_cast<size_t>(start.back()));
    std::vector<int32_t> fill(start.begin(), start.end() - 1);
    for (int32_t i = 1; i <= highest; ++i) {
        const int32_t level = store_[i].level;
        if (level >= 2 && level <= gened_) byLevel[static_cast<size_t>(fill[static_cast<size_t>(level)]++)] = i;
    }
    // Parents come before their children, whose levels they can only lower.
    for (const int32_t i : byLevel) {
        Individual& x = store_[i];
        int32_t deepestParent = 0;
        for (int32_t* link : {&x.father, &x.mother}) {
            if (*link <= 0) continue;
            const int32_t above = store_[*link].level;
            if (above >= 1 && above < x.level) {
                deepestParent = std::max(deepestParent, above);
            } else {
                *link = 0;
            }
        }
        x.level = deepestParent == 0 ? 0 : deepestParent + 1;
    }
}

// A child of two persons of the chart is shown under each: the record keeps the parent on the
// deeper line, a copy (with copies of all its descendants) hangs under the other.
void TreeBuilder::duplicateChildrenOfRelatives() {
    const int32_t originals = store_.highestXref;
    const ChildrenIndex children(store_, originals);
    for (int32_t i = 1; i <= originals; ++i) {
        if (store_[i].level <= 1 || store_[i].father <= 0 || store_[i].mother <= 0) continue;
        const int32_t father = store_[i].father;
        const int32_t mother = store_[i].mother;
        const bool copyTakesFather = store_[father].level < store_[mother].level;
        const int32_t copy = appendDuplicate(i);
        if (copyTakesFather) {
            store_[i].father = 0;
        } else {
            store_[i].mother = 0;
        }
        if (copy == 0) continue;
        Individual& twin = store_[copy];
        if (copyTakesFather) {
            twin.mother = 0;
            twin.level = store_[father].level + 1;
        } else {
            twin.father = 0;
            twin.level = store_[mother].level + 1;
        }
        // Every descendant of the record gets a copy under the copy.
        std::vector<std::pair<int32_t, int32_t>> pending{{i, copy}};
        while (!pending.empty()) {
            const auto [original, duplicate] = pending.back();
            pending.pop_back();
            if (original > originals) continue;
            for (const int32_t* c = children.begin(original); c != children.end(original); ++c) {
                const int32_t child = *c;
                const bool viaFather = store_[child].father == original;
                if (!viaFather && store_[child].mother != original) continue;
                const int32_t childCopy = appendDuplicate(child);
                if (childCopy == 0) continue;
                Individual& made = store_[childCopy];
                made.father = viaFather ? duplicate : 0;
                made.mother = viaFather ? 0 : duplicate;
                made.level = store_[duplicate].level + 1;
                pending.push_back({child, childCopy});
            }
        }
    }
}

// A parent on a shorter line is reached through placeholders ("$"), one per generation between.
void TreeBuilder::bridgeDescendantGaps() {
    for (int32_t i = 1; i <= store_.highestXref; ++i) {
        if (store_[i].level <= 1) continue;
        for (bool father : {true, false}) {
            const int32_t parent = father ? store_[i].father : store_[i].mother;
            if (parent <= 0 || store_[parent].level + 1 >= store_[i].level) continue;
            const int32_t placeholder = appendRecord(1024);
            int32_t& link = father ? store_[i].father : store_[i].mother;
            if (placeholder == 0) {
                link = 0;
                continue;
            }
            Individual& bridge = store_[placeholder];
            SetText(bridge.surname, "$");
            bridge.level = store_[i].level - 1;
            (father ? bridge.father : bridge.mother) = parent;
            link = placeholder;
        }
    }
}

// Without cousinage, a child hangs under one parent only, on the deeper line.
void TreeBuilder::keepOneParent() {
    for (int32_t i = 1; i <= store_.highestXref; ++i) {
        Individual& x = store_[i];
        if (x.level <= 1) continue;
        if (x.father > 0 && store_[x.father].level + 1 < x.level) x.father = 0;
        if (x.mother > 0 && store_[x.mother].level + 1 < x.level) x.mother = 0;
        if (x.father > 0 && x.mother > 0) x.mother = 0;
    }
}

bool TreeBuilder::growDescendantTable() {
    if (tree_.descendantCount < tree_.descendantCapacity) return true;
    const int32_t old = tree_.descendantCapacity;
    if (int64_t{tree_.descendantCount} + 512 <= store_.recordLimit()) {
        try {
            tree_.descendants.resize(static_cast<size_t>(tree_.descendantCount) + 512);
            tree_.descendantCapacity = tree_.descendantCount + 511;
            return true;
        } catch (const std::bad_alloc&) {
        }
    }
    reporter_.report({Format("Prise en compte de %d personnes uniquement", old), "arbolix", MessageIcon::Stop});
    tree_.descendantCount = 0;
    return false;
}

int TreeBuilder::copyDescendants() {
    const int32_t highest = store_.highestXref;
    const auto inChart = [&](int32_t person) {
        return person > 0 && person <= highest && store_[person].level >= 0;
    };
    size_t nodes = 0;
    for (int32_t i = 1; i <= highest; ++i) nodes += store_[i].level >= 0;
    tree_.descendants.reserve(nodes + 513); // one allocation, however the table grows
    for (int32_t i = 1; i <= highest; ++i) {
        Individual& person = store_[i];
        if (person.level < 0) continue;
        if (!growDescendantTable()) return -1;
        if (person.place[0] == '\0') SetText(person.place, "?");
        DescendantNode& node = tree_.descendants[static_cast<size_t>(tree_.descendantCount)];
        node = DescendantNode{};
        node.generation = person.level;
        node.birthYear = person.birthYear;
        node.deathYear = person.deathYear;
        node.xref = person.xref;
        node.country = person.country;
        node.spouseCount = std::clamp(person.spouseCount, 0, 4);
        std::memcpy(node.spouses, person.spouses, sizeof node.spouses);
        const bool father = inChart(person.father);
        const bool mother = inChart(person.mother);
        node.parent1 = father ? person.father : (mother ? person.mother : 0);
        node.parent2 = father && mother ? person.mother : 0;
        std::memcpy(node.givenName, person.givenName, sizeof node.givenName);
        std::memcpy(node.surname, person.surname, sizeof node.surname);
        std::memcpy(node.place, person.place, sizeof node.place);
        person.childCount = tree_.descendantCount++;
    }
    for (int32_t n = 1; n < tree_.descendantCount; ++n) {
        DescendantNode& node = tree_.descendants[static_cast<size_t>(n)];
        if (node.parent1 > 0) node.parent1 = store_[node.parent1].childCount;
        if (node.parent2 > 0) node.parent2 = store_[node.parent2].childCount;
    }
    return 0;
}

} // namespace arbolix::tree_detail
