#include "bench_support.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

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

void ComputeFounderChart(int64_t persons, uint64_t seed, bool givenNames, PersonStore& store,
                         ChartTree& tree, ChartSettings& settings) {
    gedgen::Options options;
    options.shape = gedgen::Shape::Founder;
    options.persons = persons;
    options.seed = seed;
    ListReporter reporter;
    ReadGedcom(store, GeneratedFile(options), {}, reporter);
    settings = DefaultChartSettings();
    settings.m_gened = 62;
    settings.setprenom = givenNames ? 1 : 0;
    settings.setnaissance = 1;
    settings.setdece = 1;
    settings.lieu = 1;
    settings.epoux = 1;
    settings.drapeau = 1;
    FixedRootChooser chooser(kModeDescendants, 1);
    BuildChartTables(tree, store, settings, &chooser, reporter);
    int64_t zoom = 1;
    LayoutTree(tree, settings, zoom);
}

} // namespace arbolix::bench
