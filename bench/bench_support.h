#pragma once
// Generated GEDCOM files shared by the benchmarks: made once per run in the temporary folder.

#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "data/person_store.h"
#include "gedgen/generator.h"

namespace arbolix::bench {

// Path of a generated file with these options (written on first use, removed at exit).
const std::string& GeneratedFile(const gedgen::Options& options);

// Reads that generated file into the store; a file that gives nobody skips the benchmark.
bool ReadGenerated(benchmark::State& state, const gedgen::Options& options, PersonStore& store);

} // namespace arbolix::bench
