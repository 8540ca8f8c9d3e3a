#pragma once
// The work one fuzz input does. The fuzz targets and the test that replays the inputs kept in
// fuzz/regressions call these same functions, so a replay runs exactly what the fuzzer ran.
//
// Beyond what the sanitizers catch, each function checks what the reader and the chart computation
// promise (links inside the tables, a store that reads back the same from a file, from memory and
// from its snapshot, layouts that agree with the plain computation...) and returns what broke, one
// text per broken rule.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arbolix {
struct ChartSettings;
struct ChartTree;
} // namespace arbolix

namespace arbolix::fuzz {

using Faults = std::vector<std::string>;

// Reads the bytes as a GEDCOM file into one store twice, from memory and then from a file holding
// them, and checks the store: both readings and the snapshot agree, links and texts stay inside
// their records, the encoding decided block by block is the one decided on the whole text.
Faults ReadInput(std::string_view bytes);

// Reads the bytes as a GEDCOM file, then for every chart mode and every cousin setting computes the
// chart of a person the input picks, lays it out and draws it on a recording canvas. The first
// chart goes through the root choice that follows the reading, the others are recomputed from the
// snapshot, as the program does when a setting changes. Generation limits, empty boxes, display
// settings, fills and the view vary with the input.
Faults ChartInput(std::string_view bytes);

// The charts ChartInput draws for these bytes, one line each (mode, cousin setting, root and the
// other settings). With the environment variable ARBOLIX_FUZZ_TRACE set, ChartInput also prints
// each line on standard error before drawing it.
std::vector<std::string> DescribeChartCases(std::string_view bytes);

// What the tables of a computation that succeeded must satisfy: every link inside its table and
// every text ended; the descendant table by generation, every box under a parent one generation up
// that lists it; the ancestor table by ancestor number, each parent numbered twice its child's
// number (plus one for the mother).
Faults TableFaults(const ChartTree& tree);

// What any layout of the tree must satisfy: parents centred on what hangs
// from them, boxes of one column at least the spacing apart (spouse lines counted) and, on charts
// of at most `plainLimit` boxes, the same positions when laid out again and from the plain
// computation. Leaves the tree laid out again at zoom 1.
Faults LayoutFaults(ChartTree& tree, const ChartSettings& settings, int32_t plainLimit);

// The end of a fuzz target's run on one input: prints the faults on standard error and aborts when
// there are any, so that the fuzzer keeps the input as a crash.
void AbortOnFaults(const Faults& faults);

} // namespace arbolix::fuzz
