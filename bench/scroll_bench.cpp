// Scrolling the zoomed chart of a founder with about 100 000 descendants in a 1280 × 1024 window:
// what the chart view draws for one scroll step (the strip the step uncovers) or for a whole
// window (after a click zoom or a thumb drag), at the deepest zoom the window allows and halfway
// there.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

#include "app/view_state.h"
#include "base/reporter.h"
#include "bench_support.h"
#include "chart/chart_renderer.h"
#include "chart/print_layout.h"
#include "chart/qt_canvas.h"
#include "data/gedcom_reader.h"
#include "fills/qt_flags.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix {
namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 1024;

struct FounderChart {
    PersonStore store;
    ChartTree tree;
    ChartSettings settings = DefaultChartSettings();
    ViewState window; // the window's size, zoomed in as far as it lets the user

    FounderChart() {
        // About 100 000 of the 147 000 persons descend from the founder.
        bench::ComputeFounderChart(147'000, 3, false, store, tree, settings);
        const PageTile tile = ScreenTile(kWindowWidth, kWindowHeight);
        window.windowWidth = tile.drawingWidth;
        window.windowHeight = tile.drawingHeight;
        while (ZoomIn(window, tree, settings)) {
        }
    }
};

FounderChart& Chart() {
    static FounderChart chart;
    return chart;
}

enum class Step { Down, Across, WholeWindow };

// The horizontal position whose window starts on the generation with the most boxes.
int32_t DensestGeneration(const ChartTree& tree, const ChartSettings& settings, int64_t zoom) {
    std::vector<int32_t> boxes;
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const auto x = static_cast<size_t>(tree.descendants[static_cast<size_t>(n)].layoutX);
        if (x >= boxes.size()) boxes.resize(x + 1);
        ++boxes[x];
    }
    const auto densest =
        static_cast<double>(std::max_element(boxes.begin(), boxes.end()) - boxes.begin());
    const double u = tree.descendantExtentX - densest; // the table is drawn mirrored
    const double units = tree.descendantExtentX + settings.larg + 18;
    return static_cast<int32_t>(2 * (u + 9) / units * static_cast<double>(zoom));
}

// One step down from the position `fraction` of the way along the scroll bar, or across from
// halfway down, on the generation with the most boxes, at the deepest zoom (argument 0) or
// halfway there in powers of two (argument 1). After a step the window moves its content by half
// a drawing and repaints the strip it uncovered: the painter is clipped to that strip, and the
// chart is drawn for the whole window.
void DrawForScroll(benchmark::State& state, Step step, double fraction) {
    FounderChart& chart = Chart();
    int64_t zoom = chart.window.zoom;
    if (state.range(0) == 1) {
        int shift = 0;
        while ((int64_t{1} << (2 * shift + 2)) <= zoom) ++shift;
        zoom = int64_t{1} << shift;
    }
    const int64_t last = 2 * zoom - 2;
    const auto position =
        std::min(static_cast<int64_t>(fraction * static_cast<double>(last)), last - 1);
    const int32_t densest = DensestGeneration(chart.tree, chart.settings, zoom);
    ChartView view{zoom, densest, position + 1};
    if (step == Step::Across) view = ChartView{zoom, densest + 1, zoom - 1};

    const PageTile tile = ScreenTile(kWindowWidth, kWindowHeight);
    ChartMetrics metrics = ChartMetrics::Of(chart.tree, chart.settings, zoom);
    metrics.extentX = chart.tree.descendantExtentX;
    const DrawingArea area = FitDrawingSize(tile.drawingWidth, tile.drawingHeight, metrics);
    QRect strip(0, 0, kWindowWidth, kWindowHeight);
    if (step == Step::Down) {
        const auto height = static_cast<int>(-ScrollPixels(position, position + 1, area.height));
        strip = QRect(0, kWindowHeight - height, kWindowWidth, height);
    } else if (step == Step::Across) {
        const auto width = static_cast<int>(-ScrollPixels(densest, densest + 1, area.width));
        strip = QRect(kWindowWidth - width, 0, width, kWindowHeight);
    }

    QImage image(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    ListReporter reporter;
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setClipRect(strip);
        QtCanvas canvas(painter);
        canvas.setFlagPainter([](QPainter& p, int32_t flag, const QRect& target) {
            DrawFlag(p, flag, QRectF(target));
        });
        DrawChart(canvas, chart.tree, chart.store, chart.settings, view, tile.drawingWidth,
                  tile.drawingHeight, tile.origin, reporter);
    }
    int64_t shown = 0;
    for (int32_t n = 1; n <= chart.tree.descendantCount; ++n) {
        const DescendantNode& node = chart.tree.descendants[static_cast<size_t>(n)];
        shown += node.boxRight > 0 && node.boxLeft < kWindowWidth && node.boxBottom > 0 &&
                 node.boxTop < kWindowHeight;
    }
    const BoxPixels box = BoxPixelsAt(chart.window, chart.tree, chart.settings, zoom);
    state.counters["boxes"] = chart.tree.descendantCount;
    state.counters["zoom"] = static_cast<double>(zoom);
    state.counters["boxW"] = box.length;
    state.counters["boxH"] = box.height;
    state.counters["shown"] = static_cast<double>(shown);
    state.counters["stripPx"] =
        static_cast<double>(step == Step::Across ? strip.width() : strip.height());
}

void BM_ScrollDownAtTheTop(benchmark::State& state) {
    DrawForScroll(state, Step::Down, 0.0);
}
void BM_ScrollDownInTheMiddle(benchmark::State& state) {
    DrawForScroll(state, Step::Down, 0.5);
}
void BM_ScrollDownAtTheBottom(benchmark::State& state) {
    DrawForScroll(state, Step::Down, 1.0);
}
void BM_ScrollAcrossInTheMiddle(benchmark::State& state) {
    DrawForScroll(state, Step::Across, 0.5);
}
void BM_WholeWindowInTheMiddle(benchmark::State& state) {
    DrawForScroll(state, Step::WholeWindow, 0.5);
}
BENCHMARK(BM_ScrollDownAtTheTop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollDownInTheMiddle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollDownAtTheBottom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollAcrossInTheMiddle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeWindowInTheMiddle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolix
