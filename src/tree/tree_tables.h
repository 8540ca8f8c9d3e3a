#pragma once
// The two box tables of a chart: the descendant chart, drawn from the root downwards, and the
// ancestor chart, drawn upwards. Node 1 is the root of each; node 0 is never used.

#include <cstdint>
#include <vector>

namespace arbolix {

// Chart modes (the low hexadecimal digit copies the high one once normalised).
enum ChartMode : int32_t {
    kModeDescendants = 0x11,
    kModeAncestors = 0x22,
    kModeBoth = 0x33,
    kModeParent = 0x77,        // ancestors of the chosen person with the descendants of a parent
    kModeParentMissing = 0x73, // the same when the chosen person has no parent
};

struct DescendantNode {
    int32_t generation; // 0 = root
    int32_t parent1;    // node the box hangs from; 0 for the root
    int32_t parent2;    // the mother's node when both parents are in the chart, else 0
    int32_t birthYear;
    int32_t deathYear;
    int32_t xref; // the person's xref number (0 for added boxes)
    int32_t country;
    int32_t spouseCount;
    int32_t spouses[4];   // person indices
    int32_t children[32]; // node indices, filled after sorting; 0 ends the list
    char givenName[32];
    char surname[64]; // "$" marks a placeholder bridging generations
    char place[64];   // "?" when unknown
    int32_t layoutX;  // depth position
    double layoutY;   // breadth position of the box's centre
    // The box as last drawn, in device pixels (right and bottom one past the edge): hit testing.
    int64_t boxLeft, boxRight, boxTop, boxBottom;
};

struct AncestorNode {
    int32_t father; // node index; -n is a second (implexe) link to node n; 0 none
    int32_t mother;
    int32_t child; // node through which this ancestor was reached; 0 for the root
    int32_t birthYear;
    int32_t deathYear;
    int32_t xref;
    int32_t country;
    int64_t sosa; // root 1, father of n 2n, mother of n 2n+1
    char givenName[32];
    char surname[64];
    char place[64];
    int32_t layoutX;
    double layoutY;
    int64_t boxLeft, boxRight, boxTop, boxBottom;
};

// A computed chart: mode, roots, both tables and the text maxima the renderer fits fonts to.
struct ChartTree {
    int32_t chartMode = 0;
    int32_t descendantRoot = 0; // person index whose descendants are computed (0 = none chosen)
    int32_t ancestorRoot = 0;   // person index whose ancestors are computed
    int32_t rootXref = 0;       // xref of the chosen person, for recomputations

    // Records 1..count are in use; index 0 is never used. The vectors keep their capacity.
    std::vector<DescendantNode> descendants = std::vector<DescendantNode>(513);
    std::vector<AncestorNode> ancestors = std::vector<AncestorNode>(513);
    int32_t descendantCount = 0;
    int32_t ancestorCount = 0;
    int32_t descendantCapacity = 512;
    int32_t ancestorCapacity = 512;

    int32_t longestSurname = 0;
    int32_t longestGivenName = 0;
    int32_t longestPlace = 0;

    // Layout results.
    int32_t descendantExtentX = 0;
    int32_t extentX = 0;
    double yMin = 0;
    double yMax = 0;
    double ancestorYMin = 0;
    double ancestorYMax = 0;
};

} // namespace arbolix
