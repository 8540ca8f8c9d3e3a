// Reading generated GEDCOM files of 10k, 100k and 1M persons, and the snapshot kept after reading.

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "base/reporter.h"
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
// Steady state: the store and the snapshot already have their memory, as when a second file is
// opened in the same session.
BENCHMARK(BM_ReadGedcom)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->MinWarmUpTime(1.0)
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);

// The first file of a session: a new process reads the file once, so that every page of the
// store and the snapshot is new to it. The child times its own reading and sends the figure back.
void BM_ReadGedcomFirstInProcess(benchmark::State& state) {
    const std::string& path = bench::GeneratedFile(Population(state.range(0)));
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) state.SkipWithError("pipe");
        const pid_t child = fork();
        if (child == 0) {
            const auto start = std::chrono::steady_clock::now();
            PersonStore store;
            ListReporter reporter;
            const bool whole = ReadGedcom(store, path, {}, reporter) >= state.range(0);
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (!whole) seconds = -1;
            const ssize_t written = write(channel[1], &seconds, sizeof seconds);
            _exit(written == sizeof seconds ? 0 : 1);
        }
        close(channel[1]);
        double seconds = -1;
        if (read(channel[0], &seconds, sizeof seconds) != sizeof seconds) seconds = -1;
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (seconds < 0) {
            state.SkipWithError("the file was not read whole");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ReadGedcomFirstInProcess)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

void BM_SnapshotSaveRestore(benchmark::State& state) {
    PersonStore store;
    if (!bench::ReadGenerated(state, Population(state.range(0)), store)) return;
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

