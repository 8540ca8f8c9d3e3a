// The chart drawn with real fonts on a picture in memory: the pixels where the background, the
// box fill, the frames, the texts and the links must land.

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

#include "base/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/qt_canvas.h"

namespace arbolix {
namespace {

constexpr Colour kSky = MakeColour(200, 220, 255);
constexpr Colour kCream = MakeColour(255, 250, 205);

Colour At(const QImage& image, int64_t x, int64_t y) {
    const QRgb rgb = image.pixel(static_cast<int>(x), static_cast<int>(y));
    return MakeColour(static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                      static_cast<uint8_t>(qBlue(rgb)));
}

// A root with two children, laid out by hand (see the recording-canvas tests for the mapping):
// on a 1000 × 1000 picture px(u) = (u + 9) × 10 and py(v) = (v + 50) × 10.
TEST(QtChartRenderer, BackgroundBoxesTextsAndLinksLandOnTheirPixels) {
    ChartTree tree{.chartMode = kModeDescendants, .descendantCount = 3, .longestSurname = 8,
                   .longestGivenName = 6, .descendantExtentX = 32, .extentX = 32, .yMin = -45,
                   .yMax = 45};
    const char* given[] = {"", "Pierre", "Marie", "Louis"};
    for (int32_t n = 1; n <= 3; ++n) {
        DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        node.generation = node.parent1 = n == 1 ? 0 : 1;
        node.layoutX = n == 1 ? 0 : 32;
        node.layoutY = n == 1 ? 0 : n == 2 ? -20 : 20;
        std::strcpy(node.surname, "DELORME");
        std::strcpy(node.givenName, given[n]);
        std::strcpy(node.place, "Lyon");
    }
    tree.descendants[1].children[0] = 2;
    tree.descendants[1].children[1] = 3;
    ChartSettings settings = DefaultChartSettings();
    settings.texture_fond = {.kind = kFillSolid, .brush = {kBrushSolid, kSky, 0}};
    settings.texture_rectangle = {.kind = kFillSolid, .brush = {kBrushSolid, kCream, 0}};
    settings.color_pen = kBlack;
    PersonStore store;
    ListReporter reporter;
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QtCanvas canvas(image);
        DrawChart(canvas, tree, store, settings, ChartView{}, 1000, 1000, Rect{0, 0, 999, 999},
                  reporter);
    }
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(At(image, 0, 0), kSky);
    EXPECT_EQ(At(image, 999, 999), kSky);

    for (int32_t n = 1; n <= 3; ++n) {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        ASSERT_LT(node.boxLeft, node.boxRight);
        ASSERT_LT(node.boxTop, node.boxBottom);
        const int64_t midY = (node.boxTop + node.boxBottom) / 2;
        EXPECT_EQ(At(image, node.boxLeft, midY), kBlack) << "left frame of " << n;
        EXPECT_EQ(At(image, node.boxLeft + 1, node.boxTop + 1), kCream) << "fill of " << n;
        if (n > 1) {
            EXPECT_EQ(At(image, node.boxLeft - 2, midY), kSky) << "left of " << n;
        }
        // Pixels of the box that are neither its fill nor its frame: the texts.
        int ink = 0;
        for (int64_t y = node.boxTop + 1; y < node.boxBottom - 1; ++y)
            for (int64_t x = node.boxLeft + 1; x < node.boxRight - 1; ++x)
                ink += At(image, x, y) != kCream ? 1 : 0;
        EXPECT_GT(ink, 50) << "text of " << n;
    }
    // The descendant table is drawn mirrored: the root's box begins at px(32) = 410, the
    // children's at px(0) = 90, and the links cross the background between them.
    EXPECT_EQ(tree.descendants[1].boxLeft, 410);
    EXPECT_EQ(tree.descendants[2].boxLeft, 90);
    const int64_t between = (tree.descendants[2].boxRight + 410) / 2;
    int linked = 0;
    for (int y = 0; y < 1000; ++y) linked += At(image, between, y) == kBlack ? 1 : 0;
    EXPECT_GE(linked, 2);
}

} // namespace
} // namespace arbolix
