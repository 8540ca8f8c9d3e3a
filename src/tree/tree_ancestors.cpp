// The ancestor table of a chart: empty parents, cousin handling, numbering and the nodes.

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "tree/tree_builder.h"

namespace arbolix::tree_detail {

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
// already on it is cut there. The walk goes no higher than the numbering will keep: a person
// whose ancestor number passes the generation limit is not followed to its parents, so nothing is
// copied that the chart would cut again.
void TreeBuilder::duplicateSharedAncestors() {
    const int32_t originals = store_.highestXref;
    const int64_t limit = std::min<int64_t>(int64_t{1} << gene_, kLargestNumbering);
    std::vector<int32_t> origin; // for copies: the person copied
    std::vector<uint8_t> onLine(static_cast<size_t>(originals) + 1, 0);
    const auto originOf = [&](int32_t person) {
        return person <= originals ? person : origin[static_cast<size_t>(person - originals - 1)];
    };
    struct Step {
        int32_t person;
        int32_t stage;  // 0 father next, 1 mother next, 2 done
        int64_t number; // ancestor number along this line
    };
    std::vector<Step> stack;
    const int32_t root = tree_.ancestorRoot;
    onLine[static_cast<size_t>(root)] = 1;
    stack.push_back({root, 0, 1});
    while (!stack.empty()) {
        Step& step = stack.back();
        const int32_t x = step.person;
        const int32_t stage = step.number > limit ? 2 : step.stage++;
        if (stage >= 2) {
            onLine[static_cast<size_t>(originOf(x))] = 0;
            stack.pop_back();
            continue;
        }
        const int64_t number = 2 * step.number + stage;
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
            next = appendDuplicate(parent);
            if (next == 0) {
                setLink(0);
                continue;
            }
            origin.push_back(originOf(parent));
            setLink(next);
        }
        lines_.number[static_cast<size_t>(next)] = lines_.number[k] + 1;
        onLine[static_cast<size_t>(originOf(next))] = 1;
        stack.push_back({next, 0, number});
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

} // namespace arbolix::tree_detail
