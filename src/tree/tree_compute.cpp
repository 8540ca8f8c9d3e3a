#include "tree/tree_compute.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "app/reporter.h"
#include "data/encoding.h"

namespace arbolix {

namespace {

constexpr int32_t kMaxChildren = 32;
constexpr int32_t kLoopLevel = 128;
// Past this number a person's parents would not fit in 64 bits.
constexpr int64_t kLargestNumbering = (int64_t{1} << 62) - 1;
// Work allowed to the renumbering rounds, in persons visited, before the remaining second links
// are cut instead of being brought side by side.
constexpr int64_t kRenumberingBudget = int64_t{1} << 27;

template <size_t N>
void SetText(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
    return a > std::numeric_limits<int64_t>::max() - b ? std::numeric_limits<int64_t>::max() : a + b;
}

int32_t SaturatingAdd32(int32_t a, int32_t b) {
    return a > std::numeric_limits<int32_t>::max() - b ? std::numeric_limits<int32_t>::max() : a + b;
}

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

// ---------------------------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------------------------
// Ancestor part
//
// The walks of this part run over copies of the links and numbers kept apart from the records:
// on a large file they then touch a few megabytes instead of the whole store. The records get
// the links and numbers back at the end.

int TreeBuilder::ancestorPart() {
    addEmptyAncestors();
    loadLines();
    lines_.number[static_cast<size_t>(tree_.ancestorRoot)] = 1;
    if (cousin_ == 1) {
        measureLines();
        bridgeGaps();
        clearNumbers();
    } else if (cousin_ == 2) {
        duplicateSharedAncestors();
        clearNumbers();
    }
    numberAncestors();
    const int copied = copyAncestors();
    saveLines();
    return copied;
}

void TreeBuilder::loadLines() {
    const size_t size = static_cast<size_t>(store_.highestXref) + 1;
    lines_.father.resize(size);
    lines_.mother.resize(size);
    for (size_t i = 0; i < size; ++i) {
        lines_.father[i] = store_[static_cast<int32_t>(i)].father;
        lines_.mother[i] = store_[static_cast<int32_t>(i)].mother;
    }
    lines_.number.assign(size, 0);
    lines_.firstChild.assign(size, 0);
    lines_.wasNumbered.assign(size, 0);
    linesActive_ = true;
}

// The records get their links and numbers; a person numbered and then taken back loses its
// children count, as its first-child mark was cleared.
void TreeBuilder::saveLines() {
    linesActive_ = false;
    for (int32_t i = 0; i <= store_.highestXref; ++i) {
        const auto k = static_cast<size_t>(i);
        Individual& person = store_[i];
        person.father = lines_.father[k];
        person.mother = lines_.mother[k];
        person.sosa = lines_.number[k];
        if (lines_.number[k] <= 0 && lines_.wasNumbered[k] != 0) person.childCount = 0;
    }
}

void TreeBuilder::clearNumbers() {
    std::fill(lines_.number.begin(), lines_.number.end(), 0);
    lines_.number[static_cast<size_t>(tree_.ancestorRoot)] = 1;
}

// Every person without parents gets an empty father and mother, for the asked generations.
void TreeBuilder::addEmptyAncestors() {
    if (emptyAbove_ == 0) return;
    for (int32_t p = store_.highestXref; p >= 1; --p) {
        if (store_[p].father == 0 && store_[p].mother == 0) addEmptyParents(p, emptyAbove_);
    }
}

void TreeBuilder::addEmptyParents(int32_t person, int32_t generations) {
    if (generations <= 0) return;
    for (bool father : {true, false}) {
        const int32_t box = appendRecord(1024);
        if (box == 0) return;
        Individual& parent = store_[box];
        SetText(parent.surname, " ");
        SetText(parent.givenName, " ");
        SetText(parent.place, " ");
        parent.xref = box;
        parent.childCount = 1;
        parent.children[0] = person;
        parent.level = SaturatingAdd32(store_[person].level, 1);
        (father ? store_[person].father : store_[person].mother) = box;
        addEmptyParents(box, generations - 1);
    }
}

// Each ancestor's value becomes the length of the longest line from the root to it (root 1). A
// line that comes back to a person already on it is cut there.
void TreeBuilder::measureLines() {
    const int32_t highest = store_.highestXref;
    std::vector<int32_t>& fathers = lines_.father;
    std::vector<int32_t>& mothers = lines_.mother;
    std::vector<int64_t>& value = lines_.number;
    enum : uint8_t { kNew, kOnLine, kDone };
    std::vector<uint8_t> state(static_cast<size_t>(highest) + 1, kNew);
    std::vector<int32_t> finished;
    std::vector<std::pair<int32_t, int32_t>> stack;
    const int32_t root = tree_.ancestorRoot;
    state[static_cast<size_t>(root)] = kOnLine;
    stack.push_back({root, 0});
    while (!stack.empty()) {
        const int32_t x = stack.back().first;
        const int32_t stage = stack.back().second++;
        if (stage < 2) {
            int32_t& link = stage == 0 ? fathers[static_cast<size_t>(x)] : mothers[static_cast<size_t>(x)];
            const int32_t parent = link;
            if (parent <= 0 || parent > highest) continue;
            if (state[static_cast<size_t>(parent)] == kOnLine) {
                link = 0;
            } else if (state[static_cast<size_t>(parent)] == kNew) {
                state[static_cast<size_t>(parent)] = kOnLine;
                stack.push_back({parent, 0});
            }
            continue;
        }
        state[static_cast<size_t>(x)] = kDone;
        finished.push_back(x);
        stack.pop_back();
    }
    // Children come before their parents in the reverse of the finishing order.
    for (auto it = finished.rbegin(); it != finished.rend(); ++it) {
        const int64_t above = value[static_cast<size_t>(*it)] + 1;
        for (int32_t parent : {fathers[static_cast<size_t>(*it)], mothers[static_cast<size_t>(*it)]}) {
            if (parent > 0 && parent <= highest && value[static_cast<size_t>(parent)] < above)
                value[static_cast<size_t>(parent)] = above;
        }
    }
    for (size_t i = 1; i <= static_cast<size_t>(highest); ++i) {
        for (int32_t* link : {&fathers[i], &mothers[i]}) {
            if (*link > 0 && *link <= highest && value[static_cast<size_t>(*link)] > gene_) *link = 0;
        }
    }
}

// Where a parent's line is longer than its child's, placeholders ("$") fill the generations
// between, so that the lines meeting at a shared ancestor have the same length.
void TreeBuilder::bridgeGaps() {
    for (int32_t i = 1; i <= store_.highestXref; ++i) {
        const auto k = static_cast<size_t>(i);
        const int64_t value = lines_.number[k];
        if (value <= 0) continue;
        const int32_t father = lines_.father[k];
        const int32_t mother = lines_.mother[k];
        const bool farFather = father > 0 && lines_.number[static_cast<size_t>(father)] > value + 1;
        const bool farMother = mother > 0 && lines_.number[static_cast<size_t>(mother)] > value + 1;
        if (!farFather && !farMother) continue;
        const int32_t placeholder = appendRecord(512);
        if (placeholder == 0) {
            if (farFather) lines_.father[k] = 0;
            if (farMother) lines_.mother[k] = 0;
            continue;
        }
        SetText(store_[placeholder].surname, "$");
        const auto b = static_cast<size_t>(placeholder);
        lines_.number[b] = value + 1;
        if (farFather && farMother) {
            lines_.father[b] = father;
            lines_.mother[b] = mother;
            lines_.father[k] = placeholder;
            lines_.mother[k] = 0;
        } else if (farFather) {
            lines_.father[b] = father;
            lines_.father[k] = placeholder;
        } else {
            lines_.mother[b] = mother;
            lines_.mother[k] = placeholder;
        }
    }
}

// A parent reached a second time is copied, with its whole ascendance walked again through the
// copy, so that every shared ancestor shows once per line. A line that comes back to a person
// already on it is cut there.
void TreeBuilder::duplicateSharedAncestors() {
    const int32_t originals = store_.highestXref;
    std::vector<int32_t> origin; // for copies: the person copied
    std::vector<uint8_t> onLine(static_cast<size_t>(originals) + 1, 0);
    const auto originOf = [&](int32_t person) {
        return person <= originals ? person : origin[static_cast<size_t>(person - originals - 1)];
    };
    std::vector<std::pair<int32_t, int32_t>> stack;
    const int32_t root = tree_.ancestorRoot;
    onLine[static_cast<size_t>(root)] = 1;
    stack.push_back({root, 0});
    while (!stack.empty()) {
        const int32_t x = stack.back().first;
        const int32_t stage = stack.back().second++;
        if (stage >= 2) {
            onLine[static_cast<size_t>(originOf(x))] = 0;
            stack.pop_back();
            continue;
        }
        const auto k = static_cast<size_t>(x);
        const int32_t parent = stage == 0 ? lines_.father[k] : lines_.mother[k];
        if (parent <= 0) continue;
        const auto setLink = [&](int32_t value) { (stage == 0 ? lines_.father : lines_.mother)[k] = value; };
        if (parent > store_.highestXref || onLine[static_cast<size_t>(originOf(parent))] != 0) {
            setLink(0);
            continue;
        }
        int32_t next = parent;
        if (lines_.number[static_cast<size_t>(parent)] != 0) {
            next = appendCopy(parent);
            if (next == 0) {
                setLink(0);
                continue;
            }
            origin.push_back(originOf(parent));
            setLink(next);
        }
        lines_.number[static_cast<size_t>(next)] = lines_.number[k] + 1;
        onLine[static_cast<size_t>(originOf(next))] = 1;
        stack.push_back({next, 0});
    }
}

// Numbers the ancestors from the root (father of n: 2n, mother: 2n + 1), depth first, fathers
// first. A person reached a second time along another line is cut off (or marked implexe); with
// cousinage the two lines are first turned, one swap of father and mother at a time, until they
// end side by side, and the numbering starts again after each swap.
//
// Starting again from the root would number everything before the swapped person exactly as
// before (nothing there has changed), so the numbering goes back only to the moment that person
// was numbered: the persons numbered since lose their numbers and the walk resumes from it. The
// work done that way is bounded; past the bound the remaining second links are cut.
void TreeBuilder::numberAncestors() {
    const int32_t highest = store_.highestXref;
    const int32_t root = tree_.ancestorRoot;
    const int64_t limit = std::min<int64_t>(int64_t{1} << gene_, kLargestNumbering);
    std::vector<int32_t>& fathers = lines_.father;
    std::vector<int32_t>& mothers = lines_.mother;
    std::vector<int64_t>& number = lines_.number;
    std::vector<int32_t>& firstChild = lines_.firstChild;
    std::vector<int32_t> order{root};                                  // persons in numbering order
    std::vector<int32_t> entry(static_cast<size_t>(highest) + 1, -1); // their place in `order`
    entry[static_cast<size_t>(root)] = 0;
    std::fill(number.begin(), number.end(), 0);
    number[static_cast<size_t>(root)] = 1;
    std::vector<std::pair<int32_t, int32_t>> stack{{root, 0}};
    int64_t work = 0;
    while (!stack.empty()) {
        const int32_t x = stack.back().first;
        const int32_t stage = stack.back().second++;
        if (stage >= 2) {
            stack.pop_back();
            continue;
        }
        int32_t& link = stage == 0 ? fathers[static_cast<size_t>(x)] : mothers[static_cast<size_t>(x)];
        const int32_t parent = link;
        if (parent <= 0) continue;
        if (parent > highest) {
            link = 0;
            continue;
        }
        const int64_t n = number[static_cast<size_t>(x)];
        if (n > limit) {
            link = 0;
            continue;
        }
        const auto p = static_cast<size_t>(parent);
        if (number[p] == 0) {
            number[p] = 2 * n + stage;
            firstChild[p] = x; // the line it was numbered through
            lines_.wasNumbered[p] = 1;
            entry[p] = static_cast<int32_t>(order.size());
            order.push_back(parent);
            stack.push_back({parent, 0});
            ++work;
            continue;
        }
        // Reached a second time.
        if (cousin_ != 1) {
            link = 0;
            continue;
        }
        if (n <= number[p] / 2 + 1) {
            link = -parent;
            continue;
        }
        const int32_t swapped = work < kRenumberingBudget ? bringLinesSideBySide(x, n, parent) : -1;
        if (swapped < 0) {
            link = 0;
            continue;
        }
        if (swapped == 0) {
            link = -parent;
            continue;
        }
        // Back to the moment the swapped person was numbered.
        const size_t kept = static_cast<size_t>(entry[static_cast<size_t>(swapped)]) + 1;
        for (size_t k = kept; k < order.size(); ++k) {
            const auto undone = static_cast<size_t>(order[k]);
            number[undone] = 0;
            firstChild[undone] = 0;
            entry[undone] = -1;
        }
        work += static_cast<int64_t>(order.size() - kept);
        order.resize(kept);
        numberFrom(swapped, stack);
    }
}

// The walk as it stood when `person` had just been numbered: the line from the root to it, each
// person on it waiting for its other parent (or done when the line went through its mother).
void TreeBuilder::numberFrom(int32_t person, std::vector<std::pair<int32_t, int32_t>>& stack) {
    std::vector<int32_t> line{person};
    while (line.back() != tree_.ancestorRoot && line.back() > 0)
        line.push_back(lines_.firstChild[static_cast<size_t>(line.back())]);
    stack.clear();
    for (size_t k = line.size(); k-- > 1;) {
        const int32_t below = line[k];
        stack.push_back({below, lines_.father[static_cast<size_t>(below)] == line[k - 1] ? 1 : 2});
    }
    stack.push_back({person, 0});
}

// The walk that turns father and mother links so that the new line reaches the shared ancestor
// through fathers and the earlier one through mothers. Returns the person whose father and mother
// were swapped, or 0 when no swap applies.
int32_t TreeBuilder::bringLinesSideBySide(int32_t person, int64_t number, int32_t parent) {
    // The person `generations` below on a line, following first children; 0 past the root.
    const auto below = [&](int32_t from, int32_t generations) {
        int32_t y = from;
        for (int32_t k = 0; k < generations; ++k) {
            if (y == tree_.ancestorRoot || y <= 0) return 0;
            y = lines_.firstChild[static_cast<size_t>(y)];
        }
        return y;
    };
    const auto swapParents = [&](int32_t y) {
        std::swap(lines_.father[static_cast<size_t>(y)], lines_.mother[static_cast<size_t>(y)]);
    };
    const int32_t earlier = lines_.firstChild[static_cast<size_t>(parent)];
    const int64_t earlierNumber = lines_.number[static_cast<size_t>(earlier)];
    for (int32_t j = 1; j < 62 && (int64_t{1} << j) < number; ++j) {
        const int64_t period = int64_t{1} << j;
        if (number % period != 0) {
            const int32_t y = below(person, j);
            if (y <= 0) return 0;
            swapParents(y);
            return y;
        }
        if (earlierNumber % period != period - 1) {
            const int32_t y = below(earlier, j);
            if (y <= 0) return 0;
            swapParents(y);
            return y;
        }
    }
    return 0;
}

bool TreeBuilder::growAncestorTable() {
    if (tree_.ancestorCount < tree_.ancestorCapacity) return true;
    const int32_t old = tree_.ancestorCapacity;
    if (int64_t{tree_.ancestorCount} + 512 <= store_.recordLimit()) {
        try {
            tree_.ancestors.resize(static_cast<size_t>(tree_.ancestorCount) + 512);
            tree_.ancestorCapacity = tree_.ancestorCount + 511;
            return true;
        } catch (const std::bad_alloc&) {
        }
    }
    reporter_.report({Format("Prise en compte de %d personnes uniquement", old), "arbolix", MessageIcon::Stop});
    tree_.ancestorCount = 0;
    return false;
}

// Every numbered person becomes an ancestor node, then the links are turned from person indices
// into node indices. The nodes are made in the order of their numbers, which is the order the
// table is sorted to (the numbers are all different).
int TreeBuilder::copyAncestors() {
    const int32_t highest = store_.highestXref;
    const std::vector<int64_t>& number = lines_.number;
    std::vector<int32_t> persons;
    int64_t largest = 0;
    for (int32_t i = 1; i <= highest; ++i) {
        const int64_t value = number[static_cast<size_t>(i)];
        if (value <= 0) continue;
        persons.push_back(i);
        largest = std::max(largest, value);
    }
    if (largest <= 8 * static_cast<int64_t>(persons.size()) + 1024) {
        // Numbers close together (full generations): placed by their value.
        std::vector<int32_t> byNumber(static_cast<size_t>(largest) + 1, 0);
        for (int32_t i : persons) byNumber[static_cast<size_t>(number[static_cast<size_t>(i)])] = i;
        persons.clear();
        for (int32_t i : byNumber)
            if (i != 0) persons.push_back(i);
    } else {
        std::sort(persons.begin(), persons.end(),
                  [&](int32_t a, int32_t b) { return number[static_cast<size_t>(a)] < number[static_cast<size_t>(b)]; });
    }
    std::vector<int32_t> nodeOfPerson(static_cast<size_t>(highest) + 1, 0);
    tree_.ancestors.reserve(persons.size() + 513); // one allocation, however the table grows
    for (int32_t i : persons) {
        if (!growAncestorTable()) return -1;
        const auto k = static_cast<size_t>(i);
        Individual& person = store_[i];
        if (person.place[0] == '\0') SetText(person.place, "?");
        AncestorNode& node = tree_.ancestors[static_cast<size_t>(tree_.ancestorCount)];
        node = AncestorNode{};
        node.father = lines_.father[k];
        node.mother = lines_.mother[k];
        node.child = i == tree_.ancestorRoot ? 0 : lines_.firstChild[k];
        node.birthYear = person.birthYear;
        node.deathYear = person.deathYear;
        node.xref = person.xref;
        node.country = person.country;
        node.sosa = number[k];
        std::memcpy(node.givenName, person.givenName, sizeof node.givenName);
        std::memcpy(node.surname, person.surname, sizeof node.surname);
        std::memcpy(node.place, person.place, sizeof node.place);
        nodeOfPerson[k] = tree_.ancestorCount;
        person.childCount = tree_.ancestorCount++;
    }
    const auto nodeOf = [&](int32_t person) -> int32_t {
        const int32_t magnitude = std::abs(person);
        if (magnitude == 0 || magnitude > highest) return 0;
        const int32_t node = nodeOfPerson[static_cast<size_t>(magnitude)];
        return person < 0 ? -node : node;
    };
    for (int32_t n = 1; n < tree_.ancestorCount; ++n) {
        AncestorNode& node = tree_.ancestors[static_cast<size_t>(n)];
        node.father = nodeOf(node.father);
        node.mother = nodeOf(node.mother);
        node.child = nodeOf(node.child);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Descendant part

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
        const int32_t copy = appendCopy(i);
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
                const int32_t childCopy = appendCopy(child);
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

} // namespace

// ---------------------------------------------------------------------------------------------

void CountAncestorsAndDescendants(PersonStore& store) {
    const Family family(store);
    ListChildren(store, family);
    CountAncestors(store, family);
    CountDescendants(store, family);
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
