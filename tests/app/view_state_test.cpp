// The chart window's zoom, scroll steps and mouse without a window: how far a chart zooms for its
// size (an ordinary chart as it always did, a chart of thousands of boxes until its boxes can be
// read), where clicks zoom, what they hit, and the zoom a new layout leaves.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <tuple>

#include "app/chart_document.h"
#include "base/profile.h"
#include "gedgen/generator.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

// A window of 1280 × 1024 pixels: its drawing area inside the 1-pixel border.
ViewState InWindow() {
    ViewState view;
    view.windowWidth = 1278;
    view.windowHeight = 1022;
    return view;
}

int64_t ZoomAllTheWay(ViewState& view, const ChartTree& tree, const ChartSettings& settings) {
    while (ZoomIn(view, tree, settings)) {
    }
    return view.zoom;
}

// The descendants of a founder: about 14 000 boxes over some 70 000 layout units of breadth,
// far beyond what 2^18 units a zoom step let the window zoom.
gedgen::Options FounderFile() {
    gedgen::Options options;
    options.shape = gedgen::Shape::Founder;
    options.persons = 20'000;
    options.seed = 3;
    return options;
}

TEST(ViewState, OrdinaryChartsZoomAsBeforeInAWindowOrNot) {
    ChartSettings settings = DefaultChartSettings();
    ChartTree tree;
    tree.extentX = 700;
    tree.yMin = -60;
    tree.yMax = 100;
    for (const bool window : {false, true}) {
        SCOPED_TRACE(window);
        ViewState view = window ? InWindow() : ViewState{};
        EXPECT_FALSE(ZoomOut(view));
        ASSERT_TRUE(ZoomIn(view, tree, settings));
        view.scrollX = 1;
        view.scrollY = 2;
        ASSERT_TRUE(ZoomIn(view, tree, settings));
        EXPECT_EQ(view.zoom, 4);
        EXPECT_EQ(view.scrollX, 2);
        EXPECT_EQ(view.scrollY, 4);
        // Magnified enough: 160 ≤ 20 × 8 and 700 + 50 < 2 × 50 × 8.
        EXPECT_EQ(ZoomAllTheWay(view, tree, settings), 8);
        view.scrollX = 7;
        ASSERT_TRUE(ZoomOut(view));
        EXPECT_EQ(view.scrollX, 3); // halved, rounding toward zero

        // The coordinate bound: (yMax + 10) × Z must stay below 2^18; at zoom 64 this chart's boxes
        // are some 900 × 130 pixels, so the window keeps to the bound.
        ChartTree low = tree;
        low.yMin = -100;
        low.yMax = 5000;
        view.zoom = 1;
        EXPECT_EQ(ZoomAllTheWay(view, low, settings), 64); // 5010 × 64 > 262143

        // A small chart stops zooming once magnified enough for its size.
        ChartTree small;
        small.yMin = -5;
        small.yMax = 5;
        ViewState tiny = window ? InWindow() : ViewState{};
        EXPECT_FALSE(ZoomIn(tiny, small, settings));
    }
    // Odd drawing heights alternate so that two steps make the whole height.
    EXPECT_EQ(ScrollPixels(0, 1, 101.7), -50);
    EXPECT_EQ(ScrollPixels(1, 2, 101.7), -51);
}

// The chart of a founder with 100 000 descendants, by its extents: boxes of 0.15 × 0.02 pixels at
// zoom 1, legible from zoom 2048 on (307 × 41 pixels).
TEST(ViewState, ClicksZoomPast512WhileBoxesAreTooSmall) {
    ChartTree tree;
    tree.descendantCount = 100'369;
    tree.descendantExtentX = tree.extentX = 2100;
    tree.yMin = -359'163;
    tree.yMax = 148'507;
    const ChartSettings settings = DefaultChartSettings();
    ViewState view = InWindow();
    EXPECT_EQ(ZoomAllTheWay(view, tree, settings), 2048);
    const std::pair<int64_t, bool> clicks[] = {
        {256, true}, {512, true}, {1024, true}, {2048, false}};
    for (const auto& [zoom, zooms] : clicks) {
        view.zoom = zoom;
        view.scrollX = static_cast<int32_t>(zoom);
        view.scrollY = 2 * zoom - 2;
        const std::optional<ScrollPosition> target =
            ClickZoomTarget(view, tree, settings, 700, 900, 1280, 1024);
        ASSERT_EQ(target.has_value(), zooms) << zoom;
        if (zooms) {
            EXPECT_EQ(target->x, 2 * zoom + 2) << zoom;
            EXPECT_EQ(target->y, 4 * zoom - 2) << zoom; // the last position of the doubled zoom
        }
    }
    // Without a window the limit stays at 512.
    ViewState headless;
    headless.zoom = 512;
    EXPECT_FALSE(ClickZoomTarget(headless, tree, settings, 1, 1, 800, 600));

    // A chart too broad to be read at any zoom stops where the scroll positions fill 32 bits.
    tree.yMin = -1e13;
    tree.yMax = 1e13;
    view = InWindow();
    EXPECT_EQ(ZoomAllTheWay(view, tree, settings), kMaxZoom);
    EXPECT_EQ(view.scrollMax(), INT32_MAX - 1);
    view.zoom = kMaxZoom / 2;
    view.scrollX = static_cast<int32_t>(view.scrollMax());
    EXPECT_EQ(ClickZoomTarget(view, tree, settings, 1279, 1, 1280, 1024)->x, INT32_MAX - 1);
    view.zoom = kMaxZoom;
    EXPECT_FALSE(ClickZoomTarget(view, tree, settings, 1, 1, 1280, 1024));
}

TEST(ViewState, ClickQuartersAndStrictHits) {
    ChartTree tree;
    const ChartSettings settings = DefaultChartSettings();
    ViewState view;
    view.zoom = 2;
    view.scrollX = 1;
    view.scrollY = 2;
    const auto target = [&](double x, double y) {
        return ClickZoomTarget(view, tree, settings, x, y, 800, 600).value();
    };
    EXPECT_EQ(target(200, 150).x, 2); // exactly a quarter
    EXPECT_EQ(target(200, 150).y, 4);
    EXPECT_EQ(target(401, 301).x, 4);
    EXPECT_EQ(target(401, 301).y, 6);
    view.zoom = 512;
    EXPECT_FALSE(ClickZoomTarget(view, tree, settings, 1, 1, 800, 600));

    EXPECT_FALSE(HitTest(tree, 0, 0));
    EXPECT_EQ(StatusTextAt(tree, 0, 0), kMouseHint);
    tree.descendantCount = tree.ancestorCount = 1;
    DescendantNode& inner = tree.descendants[1] = DescendantNode{};
    AncestorNode& outer = tree.ancestors[1] = AncestorNode{};
    std::tie(inner.xref, inner.boxLeft, inner.boxRight, inner.boxTop, inner.boxBottom) =
        std::tuple(7, 10, 50, 20, 40);
    std::tie(outer.xref, outer.boxLeft, outer.boxRight, outer.boxTop, outer.boxBottom) =
        std::tuple(9, 0, 100, 0, 100);
    std::strcpy(inner.surname, "B\xC9RARD");
    std::strcpy(inner.givenName, "Eug\xE9nie");
    EXPECT_EQ(HitTest(tree, 11, 21)->xref, 7);
    EXPECT_EQ(HitTest(tree, 10, 30)->xref, 9); // on the border: not this box
    EXPECT_EQ(StatusTextAt(tree, 30, 30), "BÉRARD Eugénie");
    // Far beyond 32 bits, as the boxes of a deeply zoomed chart lie.
    outer.boxLeft = outer.boxTop = int64_t{3} << 40;
    outer.boxRight = outer.boxBottom = (int64_t{3} << 40) + 100;
    EXPECT_FALSE(HitTest(tree, 50, 50));
    EXPECT_EQ(HitTest(tree, (int64_t{3} << 40) + 1, (int64_t{3} << 40) + 99)->xref, 9);
}

// A new layout (a setting changed, a new root) lowers the zoom as the layout always did, unless
// the window could zoom that far because the boxes were too small to read.
TEST(ViewState, ALayoutKeepsTheZoomTheWindowCouldReach) {
    test::TempDir dir;
    const std::string broad = dir.file("fondateur.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(broad, gedgen::GenerateGedcom(FounderFile())));
    MemoryProfile profile;
    ListReporter reporter;
    ChartDocument document(profile, reporter);
    document.settings().m_gened = 62;
    // The sample's ancestors (43 boxes) are laid out at zoom 8 at most, less than 20 units of
    // breadth a zoom step beyond.
    const std::tuple<std::string, int32_t, int64_t> files[] = {
        {test::SampleFamilyFile().string(), kModeAncestors, 8}, {broad, kModeDescendants, 0}};
    for (const auto& [path, mode, laidOut] : files) {
        SCOPED_TRACE(path);
        document.view() = InWindow();
        test::FixedChooser chooser(mode, 1);
        ASSERT_EQ(document.open(path, chooser), ChartDocument::Opened::Chart);
        int64_t zoom = ZoomAllTheWay(document.view(), document.tree(), document.settings());
        if (laidOut == 0) {
            EXPECT_GT(zoom, 64);
        } else {
            document.view().zoom = zoom = 64; // further than this chart can be zoomed
        }
        document.view().scrollY = 2 * zoom - 2;
        document.relayout();
        const int64_t expected = laidOut == 0 ? zoom : laidOut;
        EXPECT_EQ(document.view().zoom, expected);
        EXPECT_EQ(document.view().scrollY, 2 * expected - 2);
        ASSERT_TRUE(document.rebuild());
        EXPECT_EQ(document.view().zoom, expected);
    }
}

} // namespace
} // namespace arbolix
