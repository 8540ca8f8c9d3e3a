// The chart view offscreen on a broad chart: clicks and the zoom command go on past the coordinate
// bound until the boxes can be read in the window, and the scroll bars follow.

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QTest>

#include "app/chart_document.h"
#include "app/ui/arbolix_view.h"
#include "base/profile.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

// A founder whose line branches eight ways for four generations: 4681 boxes, the last 4096 of
// them one under the other, some 60 000 layout units of breadth.
std::string EightWayFamily() {
    std::string text = "0 HEAD\n1 CHAR ANSI\n";
    std::string families;
    int32_t next = 2;
    for (int32_t parent = 1; parent < next && next <= 4681; ++parent) {
        families +=
            "0 @F" + std::to_string(parent) + "@ FAM\n1 HUSB @I" + std::to_string(parent) + "@\n";
        for (int k = 0; k < 8; ++k) families += "1 CHIL @I" + std::to_string(next++) + "@\n";
    }
    for (int32_t person = 1; person < next; ++person)
        text += "0 @I" + std::to_string(person) + "@ INDI\n1 NAME Jean /DUPONT/\n";
    return text + families + "0 TRLR\n";
}

TEST(ChartView, ClicksAndTheZoomCommandGoOnUntilBoxesCanBeRead) {
    test::TempDir dir;
    const std::string path = dir.file("huit.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(path, EightWayFamily()));
    MemoryProfile profile;
    ListReporter reporter;
    ChartDocument document(profile, reporter);
    test::FixedChooser chooser(kModeDescendants, 1);
    ASSERT_EQ(document.open(path, chooser), ChartDocument::Opened::Chart);
    ASSERT_EQ(document.tree().descendantCount, 4681);
    CArbolixView view(document);
    view.resize(1280, 1024);
    view.show();

    // Each click in the bottom-left quarter doubles the zoom and keeps to that corner, where the
    // last generation ends.
    const ViewState& state = document.view();
    for (int click = 0; click < 12; ++click) {
        const int64_t before = state.zoom;
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          QPoint(5, view.viewport()->height() - 5));
        if (state.zoom == before) break;
        EXPECT_EQ(state.scrollX, 0);
        EXPECT_EQ(state.scrollY, 2 * state.zoom - 2);
    }
    const int64_t deepest = state.zoom;
    EXPECT_GE(deepest, 64); // the coordinate bound alone stops at 8
    EXPECT_TRUE(BoxesLegible(state, document.tree(), document.settings(), deepest));
    EXPECT_FALSE(BoxesLegible(state, document.tree(), document.settings(), deepest / 2));
    EXPECT_EQ(state.windowWidth, view.viewport()->width() - 2);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 2 * deepest - 2);
    EXPECT_EQ(view.verticalScrollBar()->value(), 2 * deepest - 2);
    EXPECT_FALSE(view.zoomIn());

    // The lowest box is shown at the bottom of the window.
    view.viewport()->grab();
    const ChartTree& tree = document.tree();
    const DescendantNode* lowest = &tree.descendants[1];
    for (int32_t n = 2; n <= tree.descendantCount; ++n)
        if (tree.descendants[static_cast<size_t>(n)].layoutY > lowest->layoutY)
            lowest = &tree.descendants[static_cast<size_t>(n)];
    EXPECT_LT(lowest->boxBottom, view.viewport()->height());
    EXPECT_GT(lowest->boxTop, view.viewport()->height() / 2);
}

} // namespace
} // namespace arbolix
