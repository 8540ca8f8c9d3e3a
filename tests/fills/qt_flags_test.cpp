#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <set>

#include "fills/flags.h"
#include "fills/qt_flags.h"

namespace arbolix {
namespace {

class QtFlags : public ::testing::Test {
protected:
    // Blue, green and red of pixel (x, y) of a bitmap.
    static const uint8_t* Pixel(const ResourceBitmap& bitmap, int32_t x, int32_t y) {
        return &bitmap.bgr[(static_cast<size_t>(y) * bitmap.width + x) * 3];
    }

    QtFlagRasterizer rasterizer;
};

// A number without picture gives nothing; the neutral picture has a size; a size too large for
// memory is refused.
TEST_F(QtFlags, NumbersWithoutPictureAndSizesOutOfReachGiveNothing) {
    int32_t width = -5, height = -5;
    EXPECT_FALSE(rasterizer.naturalSize(209, width, height));
    ASSERT_TRUE(rasterizer.naturalSize(224, width, height));
    EXPECT_EQ(std::pair(width, height), std::pair(480, 320));
    ResourceBitmap out;
    for (int32_t n : {0, 209, 430}) EXPECT_FALSE(rasterizer.rasterize(n, 30, 20, out)) << n;
    EXPECT_TRUE(out.bgr.empty());
    EXPECT_FALSE(rasterizer.rasterize(283, 20000, 10, out));
}

TEST_F(QtFlags, EveryFlagDraws) {
    for (int32_t n : FlagNumbers()) {
        ResourceBitmap flag;
        ASSERT_TRUE(rasterizer.rasterize(n, 24, 16, flag)) << n;
        std::set<int> colours;
        for (size_t i = 0; i < flag.bgr.size(); i += 3)
            colours.insert(flag.bgr[i] | flag.bgr[i + 1] << 8 | flag.bgr[i + 2] << 16);
        EXPECT_GE(colours.size(), 2u) << n;
    }
}

TEST_F(QtFlags, DrawingFillsItsRectangleAndStaysInside) {
    // The drawings of Gambia (291) and Libya (212), like many others, reach past their view box;
    // nothing may spill out of the target. The 4 by 3 drawings are stretched, not letterboxed:
    // they reach every corner of this 3 by 2 target.
    for (int32_t n : {207, 291, 212}) {
        QImage image(100, 80, QImage::Format_RGB32);
        image.fill(QColor(0, 255, 0));
        QPainter painter(&image);
        ASSERT_TRUE(DrawFlag(painter, n, QRectF(20, 20, 60, 40)));
        painter.end();
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (x < 20 || x >= 80 || y < 20 || y >= 60) {
                    ASSERT_EQ(image.pixel(x, y), qRgb(0, 255, 0)) << n << " at " << x << ", " << y;
                }
        for (const QPoint inside : {QPoint(50, 40), QPoint(20, 20), QPoint(79, 59)})
            EXPECT_NE(image.pixel(inside), qRgb(0, 255, 0)) << n << " at " << inside.x();
    }
}

} // namespace
} // namespace arbolix
