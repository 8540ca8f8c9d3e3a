#pragma once
// Generated GEDCOM files shared by the benchmarks: made once per run in the temporary folder.

#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "base/settings.h"
#include "data/person_store.h"
#include "tree/tree_tables.h"
#include "gedgen/generator.h"

namespace arbolix::bench {

// Path of a generated file with these options (written on first use, removed at exit).
const std::string& GeneratedFile(const gedgen::Options& options);

// Reads that generated file into the store; a file that gives nobody skips the benchmark.
bool ReadGenerated(benchmark::State& state, const gedgen::Options& options, PersonStore& store);

// The descendants of the founder @I1@ of a generated file with everything a box can show (years,
// place, spouses, flag; `givenNames` adds the given name), laid out at zoom 1: the drawing
// benchmarks' chart. The settings used are left in `settings`.
void ComputeFounderChart(int64_t persons, uint64_t seed, bool givenNames, PersonStore& store,
                         ChartTree& tree, ChartSettings& settings);

} // namespace arbolix::bench
