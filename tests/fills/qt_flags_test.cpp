#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdlib>
#include <set>

#include "fills/flags.h"
#include "fills/qt_flags.h"

namespace arbolix {
namespace {

// QPainter on a QImage needs a GUI application (offscreen is enough).
class QtFlags : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QGuiApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "arbolix_qt_tests";
            static char* argv[] = {name, nullptr};
            static QGuiApplication* app = new QGuiApplication(argc, argv);
            (void)app;
        }
    }

    struct Bgr {
        int b, g, r;
    };
    static Bgr PixelAt(const ResourceBitmap& bitmap, int32_t x, int32_t y) {
        const size_t i = (static_cast<size_t>(y) * bitmap.width + x) * 3;
        return {bitmap.bgr[i], bitmap.bgr[i + 1], bitmap.bgr[i + 2]};
    }

    QtFlagRasterizer rasterizer;
};

TEST_F(QtFlags, NaturalSizeIsThreeByTwo) {
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(rasterizer.naturalSize(207, width, height));
    EXPECT_EQ(width, 480);
    EXPECT_EQ(height, 320);
    ASSERT_TRUE(rasterizer.naturalSize(224, width, height)); // the neutral picture too
    width = height = -5;
    EXPECT_FALSE(rasterizer.naturalSize(0, width, height));
    EXPECT_FALSE(rasterizer.naturalSize(209, width, height));
    EXPECT_EQ(width, -5) << "left alone when there is no picture";
}

TEST_F(QtFlags, FranceIsBlueWhiteRed) {
    ResourceBitmap flag;
    ASSERT_TRUE(rasterizer.rasterize(207, 30, 20, flag));
    ASSERT_EQ(flag.width, 30);
    ASSERT_EQ(flag.height, 20);
    ASSERT_EQ(flag.bgr.size(), 30u * 20u * 3u);
    for (int32_t y : {1, 10, 18}) {
        const Bgr blue = PixelAt(flag, 4, y);
        EXPECT_GT(blue.b, 100);
        EXPECT_LT(blue.r, 40);
        EXPECT_LT(blue.g, 40);
        const Bgr white = PixelAt(flag, 15, y);
        EXPECT_GT(white.b, 230);
        EXPECT_GT(white.g, 230);
        EXPECT_GT(white.r, 230);
        const Bgr red = PixelAt(flag, 25, y);
        EXPECT_GT(red.r, 180);
        EXPECT_LT(red.g, 50);
        EXPECT_LT(red.b, 60);
    }
    // The thirds fill the whole width: the 4 by 3 drawing is stretched, not letterboxed.
    EXPECT_GT(PixelAt(flag, 0, 10).b, 100);
    EXPECT_GT(PixelAt(flag, 29, 10).r, 180);
}

TEST_F(QtFlags, UnknownNumbersGiveNothing) {
    ResourceBitmap out;
    out.width = 3;
    EXPECT_FALSE(rasterizer.rasterize(0, 30, 20, out));
    EXPECT_FALSE(rasterizer.rasterize(209, 30, 20, out));
    EXPECT_FALSE(rasterizer.rasterize(430, 30, 20, out));
    EXPECT_EQ(out.width, 3);
    EXPECT_TRUE(out.bgr.empty());

    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    EXPECT_FALSE(DrawFlag(painter, 209, QRectF(0, 0, 20, 20)));
    painter.end();
    EXPECT_EQ(image.pixel(10, 10), QColor(Qt::green).rgb());
}

TEST_F(QtFlags, SizesAskedFor) {
    ResourceBitmap flag;
    ASSERT_TRUE(rasterizer.rasterize(283, 0, 0, flag));
    EXPECT_EQ(flag.width, 480);
    EXPECT_EQ(flag.height, 320);
    ASSERT_TRUE(rasterizer.rasterize(283, 1, 1, flag));
    EXPECT_EQ(flag.bgr.size(), 3u);
    EXPECT_FALSE(rasterizer.rasterize(283, 20000, 10, flag));
}

TEST_F(QtFlags, EveryFlagDraws) {
    for (int32_t n : FlagNumbers()) {
        ResourceBitmap flag;
        ASSERT_TRUE(rasterizer.rasterize(n, 24, 16, flag)) << n;
        std::set<int> colours;
        for (size_t i = 0; i < flag.bgr.size(); i += 3) colours.insert(flag.bgr[i] | flag.bgr[i + 1] << 8 | flag.bgr[i + 2] << 16);
        EXPECT_GE(colours.size(), 2u) << n;
    }
}

TEST_F(QtFlags, NeutralPictureIsLightGreyWithABorder) {
    ResourceBitmap flag;
    ASSERT_TRUE(rasterizer.rasterize(225, 96, 64, flag));
    const Bgr middle = PixelAt(flag, 48, 32);
    EXPECT_EQ(middle.r, middle.g);
    EXPECT_EQ(middle.g, middle.b);
    EXPECT_GT(middle.r, 200);
    EXPECT_LT(middle.r, 240);
    const Bgr edge = PixelAt(flag, 0, 32);
    EXPECT_LT(edge.r + 30, middle.r);
}

TEST_F(QtFlags, DrawingStaysInsideItsRectangle) {
    // The drawings of Gambia (291) and Libya (212), like many others, reach past their view box;
    // nothing may spill out of the target.
    for (int32_t n : {207, 291, 212}) {
        QImage image(100, 80, QImage::Format_RGB32);
        image.fill(QColor(0, 255, 0));
        QPainter painter(&image);
        ASSERT_TRUE(DrawFlag(painter, n, QRectF(20, 20, 60, 40)));
        painter.end();
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 100; ++x) {
                const bool inside = x >= 20 && x < 80 && y >= 20 && y < 60;
                if (!inside) {
                    ASSERT_EQ(image.pixel(x, y), qRgb(0, 255, 0)) << n << " at " << x << ", " << y;
                }
            }
        }
        EXPECT_NE(image.pixel(50, 40), qRgb(0, 255, 0)) << n;
    }
}

TEST_F(QtFlags, VectorOutputKeepsShapes) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(120, 80));
    generator.setViewBox(QRectF(0, 0, 120, 80));
    QPainter painter(&generator);
    ASSERT_TRUE(DrawFlag(painter, 378, QRectF(0, 0, 120, 80)));
    painter.end();
    const QByteArray svg = buffer.data();
    EXPECT_TRUE(svg.contains("<path")) << "the flag is drawn as paths";
    EXPECT_FALSE(svg.contains("<image")) << "no bitmap is embedded";
}

} // namespace
} // namespace arbolix
