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

TEST_F(QtFlags, FranceIsBlueWhiteRedOverTheWholeBitmap) {
    ResourceBitmap flag;
    ASSERT_TRUE(rasterizer.rasterize(207, 30, 20, flag));
    ASSERT_EQ(flag.width, 30);
    ASSERT_EQ(flag.height, 20);
    ASSERT_EQ(flag.bgr.size(), 30u * 20u * 3u);
    // The 4 by 3 drawing is stretched, not letterboxed: the thirds reach every edge.
    for (int32_t y : {0, 10, 19}) {
        const uint8_t* blue = Pixel(flag, 0, y);
        EXPECT_TRUE(blue[0] > 100 && blue[1] < 40 && blue[2] < 40) << y;
        const uint8_t* white = Pixel(flag, 15, y);
        EXPECT_TRUE(white[0] > 230 && white[1] > 230 && white[2] > 230) << y;
        const uint8_t* red = Pixel(flag, 29, y);
        EXPECT_TRUE(red[0] < 60 && red[1] < 50 && red[2] > 180) << y;
    }
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

TEST_F(QtFlags, DrawingStaysInsideItsRectangle) {
    // The drawings of Gambia (291) and Libya (212), like many others, reach past their view box;
    // nothing may spill out of the target.
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
        EXPECT_NE(image.pixel(50, 40), qRgb(0, 255, 0)) << n;
    }
}

} // namespace
} // namespace arbolix
