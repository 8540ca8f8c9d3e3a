// Drawing a chart of about 10 000 boxes onto a 4000 × 3000 picture, whole and zoomed 16 times.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "base/reporter.h"
#include "bench_support.h"
#include "chart/chart_renderer.h"
#include "chart/qt_canvas.h"
#include "data/gedcom_reader.h"
#include "fills/qt_flags.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix {
namespace {

struct TenThousandBoxes {
    PersonStore store;
    ChartTree tree;
    ChartSettings settings = DefaultChartSettings();

    TenThousandBoxes() {
        // About 10 000 descendants of the founder.
        bench::ComputeFounderChart(14'500, 9, true, store, tree, settings);
    }
};

TenThousandBoxes& Chart() {
    static TenThousandBoxes chart;
    return chart;
}

void BM_DrawChart(benchmark::State& state) {
    TenThousandBoxes& chart = Chart();
    const int64_t zoom = state.range(0);
    QImage image(4000, 3000, QImage::Format_RGB32);
    ListReporter reporter;
    for (auto _ : state) {
        QtCanvas canvas(image);
        canvas.setFlagPainter([](QPainter& painter, int32_t flag, const QRect& target) { DrawFlag(painter, flag, target); });
        // Zoomed, the view shows the middle of the chart.
        const ChartView view{zoom, static_cast<int32_t>(zoom - 1), zoom - 1};
        DrawChart(canvas, chart.tree, chart.store, chart.settings, view, 4000, 3000, Rect{0, 0, 3999, 2999}, reporter);
    }
    state.counters["boxes"] = chart.tree.descendantCount;
}
BENCHMARK(BM_DrawChart)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolix
