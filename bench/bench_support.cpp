#include "bench_support.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "base/reporter.h"
#include "data/gedcom_reader.h"

namespace arbolix::bench {

namespace {

using Key = std::tuple<int64_t, uint64_t, int, int, int>;

struct Files {
    std::map<Key, std::string> paths;
    ~Files() {
        for (const auto& [key, path] : paths) std::remove(path.c_str());
    }
};

} // namespace

const std::string& GeneratedFile(const gedgen::Options& options) {
    static Files files;
    const Key key{options.persons, options.seed, static_cast<int>(options.shape),
                  options.generations, static_cast<int>(options.charset)};
    auto it = files.paths.find(key);
    if (it != files.paths.end()) return it->second;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("arbolix-bench-" + std::to_string(getpid()) + "-" +
                               std::to_string(files.paths.size()) + ".ged"))
                                 .string();
    std::ofstream out(path, std::ios::binary);
    gedgen::WriteGedcom(options, out);
    return files.paths.emplace(key, path).first->second;
}

bool ReadGenerated(benchmark::State& state, const gedgen::Options& options, PersonStore& store) {
    ListReporter reporter;
    if (ReadGedcom(store, GeneratedFile(options), {}, reporter) > 0) return true;
    state.SkipWithError("reading failed");
    return false;
}

} // namespace arbolix::bench
