// Reading generated GEDCOM files of 10k, 100k and 1M persons, and the snapshot kept after reading.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/reporter.h"
#include "bench_support.h"
#include "data/gedcom_reader.h"

namespace arbolix {
namespace {

gedgen::Options Population(int64_t persons) {
    gedgen::Options options;
    options.persons = persons;
    options.seed = 7;
    return options;
}

void BM_ReadGedcom(benchmark::State& state) {
    const std::string& path = bench::GeneratedFile(Population(state.range(0)));
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    PersonStore store;
    ListReporter reporter;
    int32_t persons = 0;
    for (auto _ : state) {
        persons = ReadGedcom(store, path, {}, reporter);
        benchmark::DoNotOptimize(persons);
    }
    if (persons < state.range(0)) state.SkipWithError("the file was not read whole");
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["persons/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * persons), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadGedcom)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_SnapshotSaveRestore(benchmark::State& state) {
    const std::string& path = bench::GeneratedFile(Population(state.range(0)));
    PersonStore store;
    ListReporter reporter;
    if (ReadGedcom(store, path, {}, reporter) <= 0) state.SkipWithError("reading failed");
    for (auto _ : state) {
        store.saveSnapshot();
        benchmark::DoNotOptimize(store.restoreSnapshot());
    }
    state.SetBytesProcessed(state.iterations() * 2 * (store.highestXref + 1) *
                            static_cast<int64_t>(sizeof(Individual)));
}
BENCHMARK(BM_SnapshotSaveRestore)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolix

BENCHMARK_MAIN();
