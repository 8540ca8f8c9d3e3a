// The chart drawn with real fonts on a picture in memory: the pixels where the background, the
// box fill, the frames, the texts and the links must land.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstring>

#include "base/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/qt_canvas.h"
#include "chart/text_fitting.h"

namespace arbolix {
namespace {

constexpr Colour kSky = MakeColour(200, 220, 255);
constexpr Colour kCream = MakeColour(255, 250, 205);
constexpr Colour kBlack = MakeColour(0, 0, 0);

Colour At(const QImage& image, int64_t x, int64_t y) {
    const QRgb rgb = image.pixel(static_cast<int>(x), static_cast<int>(y));
    return MakeColour(static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                      static_cast<uint8_t>(qBlue(rgb)));
}

// A root with two children, laid out by hand (see the recording-canvas tests for the mapping):
// on a 1000 × 1000 picture px(u) = (u + 9) × 10 and py(v) = (v + 50) × 10.
struct PictureChart {
    ChartTree tree;
    PersonStore store;
    ChartSettings settings = DefaultChartSettings();
    ListReporter reporter;
    QImage image{1000, 1000, QImage::Format_RGB32};

    PictureChart() {
        tree.extentX = 32;
        tree.descendantExtentX = 32;
        tree.yMin = -45;
        tree.yMax = 45;
        tree.longestSurname = 8;
        tree.longestGivenName = 6;
        tree.chartMode = kModeDescendants;
        tree.descendantCount = 3;
        const int32_t x[] = {0, 0, 32, 32};
        const double y[] = {0, 0, -20, 20};
        const char* given[] = {"", "Pierre", "Marie", "Louis"};
        for (int32_t n = 1; n <= 3; ++n) {
            DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
            node.generation = n == 1 ? 0 : 1;
            node.layoutX = x[n];
            node.layoutY = y[n];
            node.parent1 = n == 1 ? 0 : 1;
            std::strcpy(node.surname, "DELORME");
            std::strcpy(node.givenName, given[n]);
            std::strcpy(node.place, "Lyon");
        }
        tree.descendants[1].children[0] = 2;
        tree.descendants[1].children[1] = 3;
        settings.texture_fond.kind = kFillSolid;
        settings.texture_fond.brush.lbColor = kSky;
        settings.texture_rectangle.kind = kFillSolid;
        settings.texture_rectangle.brush.lbColor = kCream;
        settings.color_pen = kBlack;
        settings.drapeau = 0;
    }
    void draw() {
        image.fill(Qt::white);
        QtCanvas canvas(image);
        DrawChart(canvas, tree, store, settings, ChartView{}, 1000, 1000, Rect{0, 0, 999, 999}, reporter);
    }
    // Pixels of the box of node n that are neither its fill nor its frame: the texts.
    int inkInside(int32_t n) const {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        int ink = 0;
        for (int64_t y = node.boxTop + 1; y < node.boxBottom - 1; ++y)
            for (int64_t x = node.boxLeft + 1; x < node.boxRight - 1; ++x)
                if (At(image, x, y) != kCream) ++ink;
        return ink;
    }
};

TEST(QtChartRenderer, BackgroundBoxesTextsAndLinksLandOnTheirPixels) {
    PictureChart c;
    c.draw();
    EXPECT_TRUE(c.reporter.messages.empty());
    EXPECT_EQ(At(c.image, 0, 0), kSky);
    EXPECT_EQ(At(c.image, 999, 999), kSky);

    for (int32_t n = 1; n <= 3; ++n) {
        const DescendantNode& node = c.tree.descendants[static_cast<size_t>(n)];
        ASSERT_LT(node.boxLeft, node.boxRight);
        ASSERT_LT(node.boxTop, node.boxBottom);
        const int64_t midY = (node.boxTop + node.boxBottom) / 2;
        EXPECT_EQ(At(c.image, node.boxLeft, midY), kBlack) << "left frame of " << n;
        EXPECT_EQ(At(c.image, node.boxLeft + 1, node.boxTop + 1), kCream) << "fill of " << n;
        if (n > 1) {
            EXPECT_EQ(At(c.image, node.boxLeft - 2, midY), kSky) << "left of " << n;
        }
        EXPECT_GT(c.inkInside(n), 50) << "text of " << n;
    }
    // The descendant table is drawn mirrored: the root's box begins at px(32) = 410, the
    // children's at px(0) = 90, and the links cross the background between them.
    EXPECT_EQ(c.tree.descendants[1].boxLeft, 410);
    EXPECT_EQ(c.tree.descendants[2].boxLeft, 90);
    const int64_t between = (c.tree.descendants[2].boxRight + 410) / 2;
    int linked = 0;
    for (int y = 0; y < 1000; ++y) linked += At(c.image, between, y) == kBlack ? 1 : 0;
    EXPECT_GE(linked, 2);
}

TEST(QtChartRenderer, EmptyTablesLeaveThePictureUntouched) {
    PictureChart c;
    c.tree.descendantCount = 0;
    c.draw();
    for (int y = 0; y < 1000; y += 7)
        for (int x = 0; x < 1000; x += 7) ASSERT_EQ(At(c.image, x, y), MakeColour(255, 255, 255)) << x << "," << y;
}

TEST(QtChartRenderer, LongerNamesGetNarrowerFontsThatStillFit) {
    QImage image(400, 100, QImage::Format_RGB32);
    QtCanvas canvas(image);
    LogFont style{};
    std::snprintf(style.lfFaceName, kFaceNameSize, "%s", "Times New Roman");
    style.lfWeight = 400;
    for (const char* text : {"DELORME P.", "DE LA TOUR D'AUVERGNE Marie-Antoinette-Josephine"}) {
        LogFont font{};
        const int32_t height = FitFont(canvas, style, 200, text, 20, font);
        ASSERT_GT(height, 0) << text;
        canvas.selectFont(font);
        EXPECT_LE(canvas.textExtent(text).cx, 200) << text;
    }
    LogFont shortFont{};
    LogFont longFont{};
    FitFont(canvas, style, 200, "DELORME P.", 20, shortFont);
    FitFont(canvas, style, 200, "DE LA TOUR D'AUVERGNE Marie-Antoinette-Josephine", 20, longFont);
    EXPECT_LT(longFont.lfWidth, shortFont.lfWidth);
}

} // namespace
} // namespace arbolix
