// Computing and sorting the tables of large charts: a founder with about 100 000 descendants, and
// twenty full generations of ancestors with pedigree collapse.

#include <benchmark/benchmark.h>

#include "base/reporter.h"
#include "bench_support.h"
#include "data/gedcom_reader.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix {
namespace {

gedgen::Options Founder() {
    gedgen::Options options;
    options.shape = gedgen::Shape::Founder;
    options.persons = 147'000; // about 100 000 of them descend from the founder
    options.seed = 3;
    return options;
}

gedgen::Options Pedigree() {
    gedgen::Options options;
    options.shape = gedgen::Shape::Pedigree;
    options.generations = 20;
    options.seed = 3;
    return options;
}

// Computing and sorting the tables as a recomputation does (the root already chosen: the
// operation behind every tree setting), or as the first computation after reading, which also
// counts every person's ancestors and descendants for the selection dialog.
void ComputeChart(benchmark::State& state, const gedgen::Options& options, int32_t mode, int cousin, bool first) {
    PersonStore store;
    if (!bench::ReadGenerated(state, options, store)) return;
    ListReporter reporter;
    ChartSettings settings = DefaultChartSettings();
    settings.setcousin = cousin;
    settings.m_gene = 20;
    settings.m_gened = 62;
    // The tables keep their capacity from one computation to the next, as in the program.
    ChartTree tree;
    FixedRootChooser chooser(mode, 1);
    BuildChartTables(tree, store, settings, &chooser, reporter);
    for (auto _ : state) {
        state.PauseTiming();
        store.restoreSnapshot();
        tree.descendantRoot = first ? 0 : tree.rootXref;
        tree.chartMode = mode;
        state.ResumeTiming();
        benchmark::DoNotOptimize(BuildChartTables(tree, store, settings, &chooser, reporter));
    }
    state.counters["nodes"] = mode == kModeAncestors ? tree.ancestorCount : tree.descendantCount;
}

// The argument is the cousin mode (setcousin).
void BM_DescendantsOfFounder(benchmark::State& state) {
    ComputeChart(state, Founder(), kModeDescendants, static_cast<int>(state.range(0)), false);
}
BENCHMARK(BM_DescendantsOfFounder)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_TwentyAncestorGenerations(benchmark::State& state) {
    ComputeChart(state, Pedigree(), kModeAncestors, static_cast<int>(state.range(0)), false);
}
BENCHMARK(BM_TwentyAncestorGenerations)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_FirstComputationDescendantsOfFounder(benchmark::State& state) {
    ComputeChart(state, Founder(), kModeDescendants, 1, true);
}
BENCHMARK(BM_FirstComputationDescendantsOfFounder)->Unit(benchmark::kMillisecond);

void BM_FirstComputationTwentyAncestorGenerations(benchmark::State& state) {
    ComputeChart(state, Pedigree(), kModeAncestors, 1, true);
}
BENCHMARK(BM_FirstComputationTwentyAncestorGenerations)->Unit(benchmark::kMillisecond);

// Laying out the same two charts (the tables computed once).
void LayoutChart(benchmark::State& state, const gedgen::Options& options, int32_t mode) {
    PersonStore store;
    if (!bench::ReadGenerated(state, options, store)) return;
    ListReporter reporter;
    ChartSettings settings = DefaultChartSettings();
    settings.m_gene = 20;
    settings.m_gened = 62;
    settings.epoux = 1;
    ChartTree tree;
    FixedRootChooser chooser(mode, 1);
    BuildChartTables(tree, store, settings, &chooser, reporter);
    for (auto _ : state) {
        int64_t zoom = 1;
        LayoutTree(tree, settings, zoom);
        benchmark::DoNotOptimize(tree.yMax);
    }
    state.counters["nodes"] = mode == kModeAncestors ? tree.ancestorCount : tree.descendantCount;
}

void BM_LayoutDescendantsOfFounder(benchmark::State& state) { LayoutChart(state, Founder(), kModeDescendants); }
BENCHMARK(BM_LayoutDescendantsOfFounder)->Unit(benchmark::kMillisecond);

void BM_LayoutTwentyAncestorGenerations(benchmark::State& state) { LayoutChart(state, Pedigree(), kModeAncestors); }
BENCHMARK(BM_LayoutTwentyAncestorGenerations)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolix
