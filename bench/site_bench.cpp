// The whole web site of a 3,000-person family: one 640 x 480 PNG picture and one page per person
// reached, with the pictures written on every processor and on the walk's thread alone.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "base/reporter.h"
#include "bench_support.h"
#include "export/qt_site_pictures.h"
#include "export/web_site.h"
#include "tree/tree_compute.h"

namespace arbolix {
namespace {

// The person with the most descendants, as the selection dialog counts them.
class BusiestChooser final : public RootChooser {
public:
    std::optional<RootChoice> choose(const PersonStore& store) override {
        int32_t best = 1;
        for (int32_t i = 1; i <= store.highestXref; ++i)
            if (store[i].xref == i && store[i].level > store[best].level) best = i;
        return RootChoice{kModeBoth, best};
    }
};

void BM_WebSite(benchmark::State& state) {
    gedgen::Options generated;
    generated.persons = 3000;
    PersonStore store;
    if (!bench::ReadGenerated(state, generated, store)) return;
    ChartSettings settings = DefaultChartSettings();
    ListReporter reporter;
    ChartTree tree;
    BusiestChooser chooser;
    BuildChartTables(tree, store, settings, &chooser, reporter);
    const int writers =
        state.range(0) < 0 ? QtSitePictures::DefaultWriters() : static_cast<int>(state.range(0));
    SiteOptions options;
    options.pictureType = kSitePng;
    options.colourMode = kColour24Bits;
    options.sizeIndex = 1;
    SiteResult result;
    for (auto _ : state) {
        state.PauseTiming();
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / "arbolix-bench-site";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        options.mainPage = (folder / "index.htm").string();
        state.ResumeTiming();
        QtSitePictures pictures(reporter, writers);
        SiteChart chart{store, settings, tree.chartMode, tree.rootXref, ChartView{}, {}};
        result = GenerateWebSite(chart, options, pictures, reporter);
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        state.ResumeTiming();
    }
    state.counters["pages"] = result.pages;
    state.counters["writers"] = writers;
}
BENCHMARK(BM_WebSite)->Arg(-1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
} // namespace arbolix
