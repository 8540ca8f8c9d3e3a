#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "chart/qt_canvas.h"

namespace arbolix {
namespace {

constexpr int64_t k2p40 = int64_t{1} << 40;
constexpr int64_t k2p62 = int64_t{1} << 62;
constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);
constexpr Colour kGreen = MakeColour(0, 160, 0);

// Fonts need a GUI application; the offscreen platform serves when no display is set.
void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "arbolix_qt_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

LogFont Font(int32_t height, int32_t width, const char* face = "Times New Roman") {
    LogFont font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = 400;
    std::snprintf(font.lfFaceName, kFaceNameSize, "%s", face);
    return font;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A packed DIB of `width` × `rows.size()` pixels, `rows` given in stored order.
std::vector<uint8_t> Dib24(int32_t width, const std::vector<std::vector<Colour>>& rows,
                           bool topDown = false) {
    const size_t rowSize = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> dib(40 + rowSize * rows.size(), 0);
    const auto height = static_cast<int32_t>(rows.size());
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<uint32_t>(width));
    Put32(dib, 8, static_cast<uint32_t>(topDown ? -height : height));
    dib[12] = 1;
    dib[14] = 24;
    for (size_t y = 0; y < rows.size(); ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = &dib[40 + y * rowSize + 3 * static_cast<size_t>(x)];
            pixel[0] = BlueOf(rows[y][x]);
            pixel[1] = GreenOf(rows[y][x]);
            pixel[2] = RedOf(rows[y][x]);
        }
    return dib;
}

class QtCanvasTest : public testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }

    QtCanvasTest() : image_(200, 200, QImage::Format_RGB32) {
        image_.fill(Qt::white);
        canvas_ = std::make_unique<QtCanvas>(image_);
    }

    // Ends the painting and gives the picture.
    const QImage& picture() {
        canvas_.reset();
        return image_;
    }
    Colour at(int x, int y) {
        const QRgb rgb = picture().pixel(x, y);
        return MakeColour(static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                          static_cast<uint8_t>(qBlue(rgb)));
    }
    bool dark(int x, int y) { return qGray(picture().pixel(x, y)) < 128; }
    // The pixels of row y (columns from..to-1) as '#' (dark) and '.'.
    std::string row(int y, int from, int to) {
        std::string out;
        for (int x = from; x < to; ++x) out += dark(x, y) ? '#' : '.';
        return out;
    }
    // The smallest rectangle holding every pixel that is not white; empty when there is none.
    QRect inkBounds() {
        QRect bounds;
        const QImage& image = picture();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
};

TEST_F(QtCanvasTest, AnswersTheDeviceInformation) {
    const DeviceInfo info = canvas_->deviceInfo();
    EXPECT_EQ(info.width, 200);
    EXPECT_EQ(info.height, 200);
    EXPECT_EQ(info.bitsPerPixel, 32);
    EXPECT_EQ(info.pixelsPerInchX, image_.logicalDpiX());
    EXPECT_EQ(info.pixelsPerInchY, image_.logicalDpiY());
}

TEST_F(QtCanvasTest, RectangleLeavesOutItsRightAndBottomEdges) {
    canvas_->selectBrush({BrushStyle::Solid, kRed});
    canvas_->rectangle(10, 20, 110, 40);
    canvas_->selectPen({PenStyle::Null, 1, kBlack});
    canvas_->rectangle(120, 20, 130, 30); // without a pen one more pixel is left out
    canvas_->selectBrush({BrushStyle::Null, 0});
    canvas_->selectPen({PenStyle::Solid, 1, kBlue});
    canvas_->rectangle(60, 120, 50, 110); // corners in any order, outline only
    canvas_->selectBrush({BrushStyle::Solid, kRed});
    canvas_->selectPen({PenStyle::Solid, 3, kBlack}); // a wide pen is centred on the outline
    canvas_->rectangle(130, 120, 180, 170);

    EXPECT_EQ(at(10, 20), kBlack);
    EXPECT_EQ(at(109, 39), kBlack);
    EXPECT_EQ(at(109, 30), kBlack);
    EXPECT_EQ(at(50, 39), kBlack);
    EXPECT_EQ(at(50, 30), kRed);
    EXPECT_EQ(at(108, 38), kRed);
    EXPECT_EQ(at(110, 30), kWhite);
    EXPECT_EQ(at(50, 40), kWhite);
    EXPECT_EQ(at(9, 30), kWhite);
    EXPECT_EQ(at(50, 19), kWhite);

    EXPECT_EQ(at(120, 20), kRed);
    EXPECT_EQ(at(128, 28), kRed);
    EXPECT_EQ(at(129, 25), kWhite);
    EXPECT_EQ(at(125, 29), kWhite);

    EXPECT_EQ(at(50, 110), kBlue);
    EXPECT_EQ(at(59, 119), kBlue);
    EXPECT_EQ(at(55, 115), kWhite);
    EXPECT_EQ(at(60, 115), kWhite);

    EXPECT_EQ(at(155, 145), kRed);
    EXPECT_EQ(at(130, 145), kBlack);
    EXPECT_EQ(at(131, 145), kBlack);
    EXPECT_EQ(at(179, 145), kBlack);
    EXPECT_EQ(at(155, 169), kBlack);
    EXPECT_EQ(at(182, 145), kWhite);
    EXPECT_EQ(at(155, 172), kWhite);
}

TEST_F(QtCanvasTest, FrameAndFillUseTheirOwnBrush) {
    canvas_->selectBrush({BrushStyle::Solid, kRed}); // not used by either
    canvas_->frameRect({5, 5, 15, 15}, {BrushStyle::Solid, kBlue});
    canvas_->fillRect({20, 5, 30, 15}, {BrushStyle::Solid, kGreen});
    canvas_->frameRect({40, 5, 40, 15}, {BrushStyle::Solid, kBlue}); // empty
    canvas_->fillRect({50, 5, 60, 15}, {BrushStyle::Null, kBlue});

    EXPECT_EQ(at(5, 5), kBlue);
    EXPECT_EQ(at(14, 14), kBlue);
    EXPECT_EQ(at(14, 5), kBlue);
    EXPECT_EQ(at(10, 10), kWhite);
    EXPECT_EQ(at(15, 10), kWhite);
    EXPECT_EQ(at(10, 15), kWhite);
    EXPECT_EQ(at(20, 5), kGreen);
    EXPECT_EQ(at(29, 14), kGreen);
    EXPECT_EQ(at(30, 10), kWhite);
    EXPECT_EQ(at(25, 15), kWhite);
    EXPECT_EQ(at(40, 10), kWhite);
    EXPECT_EQ(at(55, 10), kWhite);
}

TEST_F(QtCanvasTest, LinesLeaveOutTheirLastPixelAndFollowThePenStyle) {
    canvas_->moveTo(10, 10);
    canvas_->lineTo(20, 10);
    canvas_->selectPen({PenStyle::Dash, 1, kBlack});
    canvas_->moveTo(0, 30);
    canvas_->lineTo(60, 30);
    canvas_->selectPen({PenStyle::Dot, 1, kBlack});
    canvas_->moveTo(0, 40);
    canvas_->lineTo(20, 40);
    canvas_->selectPen({PenStyle::Dash, 4, kBlack}); // styled pens wider than 1 draw solid
    canvas_->moveTo(0, 50);
    canvas_->lineTo(60, 50);

    EXPECT_EQ(row(10, 8, 22), "..##########..");
    EXPECT_EQ(row(30, 0, 60), "##################......##################......############");
    EXPECT_EQ(row(40, 0, 20), "###...###...###...##");
    EXPECT_EQ(row(50, 0, 60), std::string(60, '#'));
}

TEST_F(QtCanvasTest, AnOpaqueBackgroundFillsTheGapsOfStyledPens) {
    canvas_->selectPen({PenStyle::Dash, 1, kBlack});
    canvas_->setBackgroundColour(kRed);
    canvas_->moveTo(0, 10);
    canvas_->lineTo(30, 10);
    canvas_->setBackgroundMode(BackgroundMode::Transparent);
    canvas_->moveTo(0, 20);
    canvas_->lineTo(30, 20);

    EXPECT_EQ(at(20, 10), kRed);
    EXPECT_EQ(at(20, 20), kWhite);
    EXPECT_EQ(at(5, 20), kBlack);
}

TEST_F(QtCanvasTest, AWidePenCoversItsWidth) {
    canvas_->selectPen({PenStyle::Solid, 2, kBlack});
    canvas_->moveTo(20, 100);
    canvas_->lineTo(180, 100);
    canvas_->selectPen({PenStyle::Solid, 0, kBlack}); // width 0: one pixel
    canvas_->moveTo(100, 20);
    canvas_->lineTo(100, 80);

    int wideRows = 0;
    for (int y = 90; y < 110; ++y) wideRows += dark(60, y) ? 1 : 0;
    EXPECT_EQ(wideRows, 2);
    EXPECT_TRUE(dark(60, 99) || dark(60, 101));
    EXPECT_TRUE(dark(60, 100));
    int thinColumns = 0;
    for (int x = 90; x < 110; ++x) thinColumns += dark(x, 50) ? 1 : 0;
    EXPECT_EQ(thinColumns, 1);
}

TEST_F(QtCanvasTest, PolylineAndBezierDrawThroughTheirPoints) {
    const std::array<Point, 3> corner = {Point{10, 10}, Point{50, 10}, Point{50, 50}};
    canvas_->polyline(corner);
    // A brace link from (60, 100) to (180, 180): it leaves and arrives horizontally and
    // passes through the middle point.
    const std::array<Point, 4> brace = {Point{60, 100}, Point{180, 100}, Point{60, 180},
                                        Point{180, 180}};
    canvas_->polyBezier(brace);
    const std::array<Point, 3> wrongCount = {Point{0, 150}, Point{50, 150}, Point{50, 190}};
    canvas_->polyBezier(wrongCount);

    EXPECT_TRUE(dark(30, 10));
    EXPECT_TRUE(dark(50, 30));
    EXPECT_FALSE(dark(30, 30));
    bool nearMiddle = false;
    for (int y = 138; y <= 142; ++y)
        for (int x = 118; x <= 122; ++x) nearMiddle = nearMiddle || dark(x, y);
    EXPECT_TRUE(nearMiddle);
    EXPECT_TRUE(dark(62, 100));
    EXPECT_FALSE(dark(62, 110));
    EXPECT_FALSE(dark(25, 150));
}

TEST_F(QtCanvasTest, ArcRunsCounterClockwise) {
    // From three o'clock to twelve o'clock: the upper-right quarter of the circle.
    canvas_->arc(50, 50, 150, 150, 150, 100, 100, 50);
    // From twelve o'clock to three o'clock: the other three quarters, on a smaller circle.
    canvas_->arc(80, 80, 120, 120, 100, 0, 200, 100);

    auto inkNear = [this](int cx, int cy) {
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x)
                if (dark(x, y)) return true;
        return false;
    };
    // Radius 50 at 45 degrees: 35 pixels from the centre along each axis.
    EXPECT_TRUE(inkNear(135, 65));
    EXPECT_FALSE(inkNear(65, 135));
    EXPECT_FALSE(inkNear(65, 65));
    EXPECT_FALSE(inkNear(135, 135));
    // Radius 20 at 45 degrees: 14 pixels.
    EXPECT_FALSE(inkNear(114, 86));
    EXPECT_TRUE(inkNear(86, 86));
    EXPECT_TRUE(inkNear(86, 114));
    EXPECT_TRUE(inkNear(114, 114));
}

TEST_F(QtCanvasTest, TextSitsWhereItsAlignmentPutsIt) {
    canvas_->selectFont(Font(30, 0));
    canvas_->setBackgroundMode(BackgroundMode::Transparent);
    const Extent extent = canvas_->textExtent("HE");
    EXPECT_NEAR(static_cast<double>(extent.cy), 30, 1);
    canvas_->textOut(20, 10, "HE"); // top left: the cell hangs below (20, 10)
    canvas_->setTextAlign(kTaBottom | kTaRight);
    canvas_->textOut(180, 110, "HE"); // the cell ends at (180, 110)
    canvas_->setTextAlign(kTaBaseline | kTaLeft);
    canvas_->textOut(20, 170, "HE"); // capitals stand on the baseline
    const QImage& image = picture();
    std::array<QRect, 3> ink; // by band of rows: 0..59, 60..129, 130..199
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink[y < 60 ? 0 : y < 130 ? 1 : 2] |= QRect(x, y, 1, 1);
    for (const QRect& text : ink) {
        ASSERT_FALSE(text.isEmpty());
        EXPECT_GE(text.width(), extent.cx * 8 / 10); // the text fills its extent
        EXPECT_LE(text.width(), extent.cx);
    }
    EXPECT_GE(ink[0].left(), 20);
    EXPECT_GE(ink[0].top(), 10);
    EXPECT_LE(ink[0].bottom(), 10 + extent.cy - 1);
    EXPECT_LE(ink[1].right(), 179);
    EXPECT_LE(ink[1].bottom(), 109);
    EXPECT_GE(ink[1].top(), 110 - extent.cy);
    EXPECT_NEAR(ink[2].bottom(), 169, 1);
    EXPECT_GE(ink[2].top(), 170 - extent.cy);
}

TEST_F(QtCanvasTest, OpaqueTextFillsItsCell) {
    canvas_->selectFont(Font(40, 0));
    canvas_->setBackgroundColour(kRed); // the background mode starts opaque
    canvas_->textOut(20, 20, "HE");
    canvas_->setBackgroundMode(BackgroundMode::Transparent);
    canvas_->textOut(20, 120, "HE");
    // Just below the top of the cell, above the capitals.
    EXPECT_EQ(at(22, 22), kRed);
    EXPECT_EQ(at(22, 122), kWhite);
    int ink = 0; // the text is there all the same
    for (int x = 20; x < 60; ++x) ink += dark(x, 145) ? 1 : 0;
    EXPECT_GT(ink, 3);
}

TEST_F(QtCanvasTest, TheAskedAverageWidthCondensesOrExpandsTheText) {
    const std::string text = "DUPONT Jean-Baptiste";
    std::vector<int64_t> widths;
    for (const int32_t width : {6, 12, 24}) {
        canvas_->selectFont(Font(36, width));
        const Extent extent = canvas_->textExtent(text);
        EXPECT_NEAR(static_cast<double>(extent.cy), 36, 1);
        widths.push_back(extent.cx);
    }
    EXPECT_NEAR(static_cast<double>(widths[1]) / static_cast<double>(widths[0]), 2, 0.15);
    EXPECT_NEAR(static_cast<double>(widths[2]) / static_cast<double>(widths[1]), 2, 0.15);

    // The average is that of running lower-case text: a typical word is about as long as its
    // letter count times the width.
    canvas_->selectFont(Font(40, 10));
    const Extent word = canvas_->textExtent("generations");
    EXPECT_NEAR(static_cast<double>(word.cx), 110, 20);

    // What is drawn is as wide as what is measured.
    canvas_->setBackgroundMode(BackgroundMode::Transparent);
    canvas_->selectFont(Font(24, 4));
    const Extent narrow = canvas_->textExtent("MARTIN");
    canvas_->textOut(10, 20, "MARTIN");
    canvas_->selectFont(Font(24, 16));
    const Extent wide = canvas_->textExtent("MARTIN");
    canvas_->textOut(10, 120, "MARTIN");
    const QImage& image = picture();
    auto inkWidth = [&image](int fromY, int toY) {
        int left = 1000, right = -1;
        for (int y = fromY; y < toY; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return right - left + 1;
    };
    EXPECT_NEAR(inkWidth(0, 100), static_cast<double>(narrow.cx), 3);
    EXPECT_NEAR(inkWidth(100, 200), static_cast<double>(wide.cx), 4);
    EXPECT_GT(wide.cx, 3 * narrow.cx);
}

TEST_F(QtCanvasTest, TextIsReadAsWindows1252) {
    canvas_->selectFont(Font(40, 0));
    // 0x97 is an em dash and 0x96 an en dash, half as wide; read as Latin-1 both would be
    // control characters of the same width.
    const Extent em = canvas_->textExtent("\x97");
    const Extent en = canvas_->textExtent("\x96");
    EXPECT_GT(em.cx, en.cx + en.cx / 2);
    // 0x80 is the euro sign, as wide as a digit in this face.
    EXPECT_EQ(canvas_->textExtent("\x80").cx, canvas_->textExtent("0").cx);
}

TEST_F(QtCanvasTest, StretchedBitmapsShowTheRightWayUp) {
    // Stored first: a red row (the top row as the fill code sees it), then a blue one.
    const std::vector<uint8_t> dib = Dib24(2, {{kRed, kRed}, {kBlue, kBlue}});
    // Bottom-up and drawn with a negative height, as the chart draws its fills: red on top.
    EXPECT_TRUE(canvas_->stretchDib(10, 49, 40, -40, 0, 0, 2, 2, dib.data(), dib.size()));
    // The same with a positive height: stored upside down, so blue on top.
    EXPECT_TRUE(canvas_->stretchDib(60, 10, 40, 40, 0, 0, 2, 2, dib.data(), dib.size()));
    // Top-down: red on top with a positive height.
    const std::vector<uint8_t> topDown = Dib24(2, {{kRed, kRed}, {kBlue, kBlue}}, true);
    EXPECT_TRUE(canvas_->stretchDib(110, 10, 40, 40, 0, 0, 2, 2, topDown.data(), topDown.size()));
    // Half the source: rows are counted from the bottom of a bottom-up bitmap, which is its
    // first stored row: red.
    EXPECT_TRUE(canvas_->stretchDib(160, 10, 20, 20, 0, 0, 2, 1, dib.data(), dib.size()));
    // Left red, right blue, mirrored by a negative width.
    const std::vector<uint8_t> sides = Dib24(2, {{kRed, kBlue}});
    EXPECT_TRUE(canvas_->stretchDib(49, 100, -40, 20, 0, 0, 2, 1, sides.data(), sides.size()));
    EXPECT_FALSE(canvas_->stretchDib(0, 0, 10, 10, 0, 0, 2, 2, dib.data(), 40));

    EXPECT_EQ(at(10, 10), kRed);
    EXPECT_EQ(at(49, 29), kRed);
    EXPECT_EQ(at(10, 30), kBlue);
    EXPECT_EQ(at(49, 49), kBlue);
    EXPECT_EQ(at(30, 50), kWhite);
    EXPECT_EQ(at(30, 9), kWhite);
    EXPECT_EQ(at(70, 15), kBlue);
    EXPECT_EQ(at(70, 45), kRed);
    EXPECT_EQ(at(120, 15), kRed);
    EXPECT_EQ(at(120, 45), kBlue);
    EXPECT_EQ(at(170, 15), kRed);
    EXPECT_EQ(at(170, 25), kRed);
    EXPECT_EQ(at(20, 110), kBlue);
    EXPECT_EQ(at(40, 110), kRed);
}

// Over more than a million visible pixels the stretching is left to Qt; it must give the same
// picture: orientation, mirroring and extreme magnification included.
TEST(QtCanvasLargeStretch, KeepsOrientationAndPositionOverLargeAreas) {
    EnsureGuiApplication();
    const std::vector<uint8_t> rows = Dib24(2, {{kRed, kRed}, {kBlue, kBlue}});
    const std::vector<uint8_t> sides = Dib24(2, {{kRed, kBlue}});
    auto draw = [](const std::vector<uint8_t>& dib, int64_t x, int64_t y, int64_t width,
                   int64_t height, int32_t srcHeight) {
        QImage image(1200, 1000, QImage::Format_RGB32);
        image.fill(Qt::white);
        QtCanvas canvas(image);
        EXPECT_TRUE(
            canvas.stretchDib(x, y, width, height, 0, 0, 2, srcHeight, dib.data(), dib.size()));
        return image;
    };
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);

    QImage image = draw(rows, 0, 999, 1200, -1000, 2); // the chart's background stretch
    EXPECT_EQ(image.pixel(0, 0), red);
    EXPECT_EQ(image.pixel(1199, 499), red);
    EXPECT_EQ(image.pixel(0, 500), blue);
    EXPECT_EQ(image.pixel(1199, 999), blue);

    image = draw(sides, 1199, 0, -1200, 1000, 1); // mirrored
    EXPECT_EQ(image.pixel(0, 500), blue);
    EXPECT_EQ(image.pixel(599, 500), blue);
    EXPECT_EQ(image.pixel(600, 500), red);

    image = draw(sides, -k2p40 + 600, 0, 2 * k2p40, 1000, 1); // 2^41 pixels wide
    EXPECT_EQ(image.pixel(0, 10), red);
    EXPECT_EQ(image.pixel(599, 990), red);
    EXPECT_EQ(image.pixel(600, 10), blue);
    EXPECT_EQ(image.pixel(1199, 990), blue);
}

TEST_F(QtCanvasTest, ReadsPalettesAndSixteenBitPixels) {
    // 8 bits, two palette entries (blue, green, red, 0): index 0 green, index 1 red.
    std::vector<uint8_t> indexed(40 + 8 + 4, 0);
    Put32(indexed, 0, 40);
    Put32(indexed, 4, 2);
    Put32(indexed, 8, 1);
    indexed[12] = 1;
    indexed[14] = 8;
    Put32(indexed, 32, 2);
    indexed[40 + 1] = 160; // entry 0: green
    indexed[44 + 2] = 255; // entry 1: red
    indexed[48] = 1;       // pixels: red, green
    indexed[49] = 0;
    EXPECT_TRUE(canvas_->stretchDib(0, 0, 20, 10, 0, 0, 2, 1, indexed.data(), indexed.size()));
    // 16 bits 5-5-5: pure blue then pure red.
    std::vector<uint8_t> words(40 + 4, 0);
    Put32(words, 0, 40);
    Put32(words, 4, 2);
    Put32(words, 8, 1);
    words[12] = 1;
    words[14] = 16;
    words[40] = 0x1F;
    words[43] = 0x7C;
    EXPECT_TRUE(canvas_->stretchDib(0, 20, 20, 10, 0, 0, 2, 1, words.data(), words.size()));

    EXPECT_EQ(at(5, 5), kRed);
    EXPECT_EQ(at(15, 5), kGreen);
    EXPECT_EQ(at(5, 25), kBlue);
    EXPECT_EQ(at(15, 25), kRed);
}

TEST_F(QtCanvasTest, HugeCoordinatesNeitherOverflowNorBend) {
    canvas_->moveTo(-k2p40, 10);
    canvas_->lineTo(k2p40, 10);
    canvas_->moveTo(-k2p40, -k2p40 + 3); // y = x + 3
    canvas_->lineTo(k2p40, k2p40 + 3);
    canvas_->moveTo(-k2p62, -k2p62 + 40); // y = x + 40, ends near the limits of int64
    canvas_->lineTo(k2p62, k2p62 + 40);
    canvas_->selectPen({PenStyle::Solid, 3, kBlack});
    canvas_->moveTo(150, -k2p62);
    canvas_->lineTo(150, k2p62);
    // A bitmap stretched over 2^41 pixels: its middle falls at x = 100.
    const std::vector<uint8_t> sides = Dib24(2, {{kRed, kBlue}});
    EXPECT_TRUE(canvas_->stretchDib(-k2p40 + 100, 160, 2 * k2p40, 20, 0, 0, 2, 1, sides.data(),
                                    sides.size()));
    // A box far larger than the device, and one far away.
    canvas_->selectPen({PenStyle::Solid, 1, kBlue});
    canvas_->selectBrush({BrushStyle::Solid, kGreen});
    canvas_->rectangle(-k2p40, 185, k2p40, 190);
    canvas_->rectangle(k2p40, 0, k2p40 + 10, 10);

    EXPECT_EQ(row(10, 0, 200), std::string(200, '#'));
    EXPECT_EQ(row(9, 20, 140), std::string(120, '.'));
    EXPECT_EQ(row(11, 20, 140), std::string(120, '.'));
    for (int x = 0; x < 110; x += 7) {
        EXPECT_TRUE(dark(x, x + 3)) << x;
        EXPECT_FALSE(dark(x, x + 5)) << x;
        EXPECT_TRUE(dark(x, x + 40)) << x;
        EXPECT_FALSE(dark(x, x + 42)) << x;
    }
    int columns = 0;
    for (int x = 140; x < 160; ++x) columns += dark(x, 100) ? 1 : 0;
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(at(50, 170), kRed);
    EXPECT_EQ(at(99, 170), kRed);
    EXPECT_EQ(at(100, 170), kBlue);
    EXPECT_EQ(at(199, 170), kBlue);
    EXPECT_EQ(at(0, 185), kBlue); // top edge of the big box
    EXPECT_EQ(at(0, 187), kGreen);
    EXPECT_EQ(at(199, 189), kBlue);
    EXPECT_EQ(at(0, 190), kWhite);
}

TEST_F(QtCanvasTest, CurvesFarOutsideAreCutToWhatShows) {
    // A brace link between ends 2^40 pixels away on either side. Its middle is at (100, 100);
    // at this scale the part that crosses the device is a straight run along y = 100.
    const std::array<Point, 4> brace = {Point{100 - k2p40, 0}, Point{100 + k2p40, 0},
                                        Point{100 - k2p40, 200}, Point{100 + k2p40, 200}};
    canvas_->polyBezier(brace);
    // A curve wholly to the left of the device draws nothing.
    const std::array<Point, 4> away = {Point{-k2p40, 0}, Point{-5000, 50}, Point{-k2p40, 100},
                                       Point{-3000, 150}};
    canvas_->polyBezier(away);
    // An arc whose ellipse lies far away.
    canvas_->arc(k2p40, k2p40, k2p40 + 100, k2p40 + 100, 0, 0, 0, 0);
    // A circle of radius 2^40 whose top passes through (100, 150): from its top to its left,
    // counter-clockwise, so only the part left of x = 100 shows.
    canvas_->arc(100 - k2p40, 150, 100 + k2p40, 150 + 2 * k2p40, 100, 0, 0, 150 + k2p40);

    const QRect ink = inkBounds();
    ASSERT_FALSE(ink.isEmpty());
    for (int x = 0; x < 200; x += 10) EXPECT_TRUE(dark(x, 99) || dark(x, 100)) << x;
    for (int x = 0; x < 100; x += 10) EXPECT_TRUE(dark(x, 150)) << x;
    for (int x = 102; x < 200; x += 10) EXPECT_FALSE(dark(x, 150)) << x;
    int inked = 0;
    for (int y = 0; y < 200; ++y) inked += (dark(50, y) ? 1 : 0);
    EXPECT_EQ(inked, 2); // the brace's run and the circle's top, nothing else
}

TEST_F(QtCanvasTest, FlagsAreDrawnByTheFlagPainterOnly) {
    canvas_->drawFlag(33, 10, 10, 30, 20); // no flag painter yet: nothing
    std::vector<int32_t> asked;
    canvas_->setFlagPainter([&asked](QPainter& painter, int32_t flag, const QRect& target) {
        asked.push_back(flag);
        painter.setPen(Qt::red); // the canvas puts the painter's state back
        painter.fillRect(target, QColor(0, 160, 0));
    });
    canvas_->drawFlag(41, 50, 10, 30, 20);
    canvas_->drawFlag(42, 100, 10, 0, 20);     // empty: nothing, and no call
    canvas_->drawFlag(43, 5000, 5000, 30, 20); // far away: no call
    canvas_->moveTo(0, 100);
    canvas_->lineTo(100, 100);
    canvas_->drawFlag(44, -k2p40, 150, 2 * k2p40, 30); // larger than the device

    EXPECT_EQ(asked, (std::vector<int32_t>{41, 44}));
    EXPECT_EQ(at(20, 20), kWhite);
    EXPECT_EQ(at(50, 10), kGreen);
    EXPECT_EQ(at(79, 29), kGreen);
    EXPECT_EQ(at(80, 20), kWhite);
    EXPECT_EQ(at(65, 30), kWhite);
    EXPECT_EQ(at(50, 100), kBlack);
    EXPECT_EQ(at(0, 150), kGreen);
    EXPECT_EQ(at(199, 179), kGreen);
    EXPECT_EQ(at(100, 180), kWhite);
}

TEST(QtCanvasOnAPainter, FollowsThePaintersTransformationAndRestoresItsState) {
    EnsureGuiApplication();
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(1000, 1000);
    const QPen pen(Qt::green);
    painter.setPen(pen);
    {
        QtCanvas canvas(painter);
        canvas.selectPen({PenStyle::Solid, 1, kBlue});
        canvas.moveTo(-1000, -990);
        canvas.lineTo(-900, -990);
        canvas.moveTo(-k2p40, -950);
        canvas.lineTo(k2p40, -950);
    }
    EXPECT_EQ(painter.pen(), pen);
    painter.end();
    EXPECT_EQ(image.pixel(50, 10), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(99, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(50, 49), qRgb(255, 255, 255));
}

} // namespace
} // namespace arbolix
