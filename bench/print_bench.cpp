// The print preview of a poster of 4 × 4 sheets of a founder's chart of about 3 000 boxes, on a
// printer at its own resolution: the time until the first page is shown (the preview lays out
// every page first), then the time to show each further page.

#include <benchmark/benchmark.h>

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <memory>

#include "app/chart_document.h"
#include "app/ui/print_commands.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "bench_support.h"
#include "tree/tree_compute.h"

namespace arbolix {
namespace {

struct PosterChart {
    MemoryProfile profile;
    ListReporter reporter;
    std::unique_ptr<ChartDocument> document;
    std::unique_ptr<ChartPrinting> printing;

    PosterChart() {
        gedgen::Options options;
        options.shape = gedgen::Shape::Founder;
        options.persons = 4'400; // about 3 000 of them descend from the founder
        options.seed = 5;
        for (const char* key : {"setprenom", "setnaissance", "setdece", "lieu", "epoux", "drapeau"})
            profile.writeInt(key, 1);
        profile.writeInt("m_gened", 62);
        profile.writeInt("m_miseenpage.m_largeur", 4);
        profile.writeInt("m_miseenpage.m_hauteur", 4);
        document = std::make_unique<ChartDocument>(profile, reporter);
        FixedRootChooser chooser(kModeDescendants, 1);
        document->open(bench::GeneratedFile(options), chooser);
        printing = std::make_unique<ChartPrinting>(*document, nullptr);
    }
};

PosterChart& Chart() {
    static PosterChart chart;
    return chart;
}

QPrintPreviewWidget* PreviewOf(QPrintPreviewDialog& dialog) {
    return dialog.findChild<QPrintPreviewWidget*>();
}

void BM_PreviewFirstPage(benchmark::State& state) {
    PosterChart& chart = Chart();
    int pages = 0;
    for (auto _ : state) {
        const std::unique_ptr<QPrintPreviewDialog> dialog = chart.printing->makePreview();
        dialog->resize(900, 1000);
        dialog->show(); // lays out every page
        PreviewOf(*dialog)->grab();
        pages = PreviewOf(*dialog)->pageCount();
    }
    state.counters["boxes"] = chart.document->tree().descendantCount;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PreviewFirstPage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PreviewNextPage(benchmark::State& state) {
    PosterChart& chart = Chart();
    const std::unique_ptr<QPrintPreviewDialog> dialog = chart.printing->makePreview();
    dialog->resize(900, 1000);
    dialog->show();
    QPrintPreviewWidget* preview = PreviewOf(*dialog);
    preview->setSinglePageViewMode();
    preview->grab();
    int page = 1;
    for (auto _ : state) {
        page = page % preview->pageCount() + 1;
        preview->setCurrentPage(page);
        preview->grab();
    }
}
BENCHMARK(BM_PreviewNextPage)->Unit(benchmark::kMillisecond)->Iterations(16);

} // namespace
} // namespace arbolix
