#pragma once
// Generated GEDCOM files shared by the benchmarks: made once per run in the temporary folder.

#include <cstdint>
#include <string>

#include "gedgen/generator.h"

namespace arbolix::bench {

// Path of a generated file with these options (written on first use, removed at exit).
const std::string& GeneratedFile(const gedgen::Options& options);

} // namespace arbolix::bench
