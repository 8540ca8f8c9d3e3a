#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/canvas_test_support.h"
#include "chart/qt_canvas.h"

namespace arbolix {
namespace {

using test::Dib;
using test::Dib24;
using test::Font;
using test::Put32;

constexpr int64_t k2p40 = int64_t{1} << 40;
constexpr int64_t k2p62 = int64_t{1} << 62;
constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);
constexpr Colour kGreen = MakeColour(0, 160, 0);
constexpr Colour kLight = MakeColour(255, 255, 160);

// Counted letters spelled out: "2.3#" is "..###"; a letter without a count stands once.
std::string Expand(std::string_view counted) {
    std::string out;
    size_t count = 0;
    for (const char c : counted) {
        if (c >= '0' && c <= '9') {
            count = count * 10 + static_cast<size_t>(c - '0');
            continue;
        }
        out.append(count == 0 ? 1 : count, c);
        count = 0;
    }
    return out;
}

class QtCanvasTest : public testing::Test {
protected:
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
    // The smallest rectangle holding every dark pixel of the area.
    QRect ink(const QRect& area) {
        QRect bounds;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (dark(x, y)) bounds |= QRect(x, y, 1, 1);
        return bounds;
    }
    // `count` pixels from (x, y) rightwards (downwards when `down`), one letter each: '#' black,
    // '.' white, 'r' red, 'g' green, 'b' blue, '?' any other colour.
    std::string run(int x, int y, int count, bool down = false) {
        const std::array<Colour, 5> colours = {kBlack, kWhite, kRed, kGreen, kBlue};
        std::string out;
        for (int i = 0; i < count; ++i) {
            const Colour c = down ? at(x, y + i) : at(x + i, y);
            out += "#.rgb?"[std::find(colours.begin(), colours.end(), c) - colours.begin()];
        }
        return out;
    }

    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
};

TEST_F(QtCanvasTest, RectangleLeavesOutItsRightAndBottomEdges) {
    canvas_->selectBrush({BrushStyle::Solid, kRed});
    canvas_->rectangle(10, 20, 110, 40);
    canvas_->selectPen({PenStyle::Null, 1, kBlack});
    canvas_->rectangle(120, 20, 130, 30); // without a pen one more pixel is left out
    canvas_->selectBrush({BrushStyle::Null, 0});
    canvas_->selectPen({PenStyle::Solid, 1, kBlue});
    canvas_->rectangle(60, 120, 50, 110); // corners in any order, outline only

    EXPECT_EQ(run(8, 30, 104), Expand("..#98r#.."));
    EXPECT_EQ(run(50, 18, 24, true), Expand("..#18r#.."));
    EXPECT_EQ(run(119, 25, 12), Expand(".9r.."));
    EXPECT_EQ(run(48, 115, 14), "..b........b..");
}

TEST_F(QtCanvasTest, FrameAndFillUseTheirOwnBrush) {
    canvas_->selectBrush({BrushStyle::Solid, kRed}); // not used by either
    canvas_->frameRect({5, 5, 15, 15}, {BrushStyle::Solid, kBlue});
    canvas_->fillRect({20, 5, 30, 15}, {BrushStyle::Solid, kGreen});
    canvas_->frameRect({40, 5, 40, 15}, {BrushStyle::Solid, kBlue}); // empty
    canvas_->fillRect({50, 5, 60, 15}, {BrushStyle::Null, kBlue});

    EXPECT_EQ(run(4, 5, 58), Expand(".10b5.10g32."));
    EXPECT_EQ(run(4, 10, 58), Expand(".b8.b5.10g32."));
    EXPECT_EQ(run(4, 15, 58), Expand("58."));
}

TEST_F(QtCanvasTest, LinesLeaveOutTheirLastPixelAndFollowThePenStyle) {
    canvas_->moveTo(10, 10);
    canvas_->lineTo(20, 10);
    // An opaque background (the mode a canvas starts in) fills the gaps of styled pens.
    canvas_->setBackgroundColour(kRed);
    canvas_->selectPen({PenStyle::Dot, 1, kBlack});
    canvas_->moveTo(0, 40);
    canvas_->lineTo(20, 40);

    EXPECT_EQ(run(8, 10, 14), "..##########..");
    EXPECT_EQ(run(0, 40, 21), "###rrr###rrr###rrr##.");
}

TEST_F(QtCanvasTest, PolylineAndBezierDrawThroughTheirPoints) {
    const std::array<Point, 3> corner = {Point{10, 10}, Point{50, 10}, Point{50, 50}};
    canvas_->polyline(corner);
    // A brace link from (60, 100) to (180, 180): it leaves horizontally and passes through the
    // middle point.
    const std::array<Point, 4> brace = {Point{60, 100}, Point{180, 100}, Point{60, 180},
                                        Point{180, 180}};
    canvas_->polyBezier(brace);

    EXPECT_EQ(run(30, 9, 3, true), ".#.");
    EXPECT_FALSE(ink({118, 138, 5, 5}).isEmpty());
    EXPECT_TRUE(dark(62, 100)); // the brace leaves horizontally
}

TEST_F(QtCanvasTest, TextSitsWhereItsAlignmentPutsIt) {
    canvas_->selectFont(Font(30, 0));
    const Extent extent = canvas_->textExtent("Hp"); // a capital and a descender
    EXPECT_NEAR(static_cast<double>(extent.cy), 30, 1);
    // The background mode starts opaque: the first cell is filled (in a colour light enough to
    // leave the ink alone), the others not.
    canvas_->setBackgroundColour(kLight);
    canvas_->textOut(20, 10, "Hp"); // top left: the cell hangs below (20, 10)
    canvas_->setBackgroundMode(BackgroundMode::Transparent);
    canvas_->setTextAlign(kTaBottom | kTaRight);
    canvas_->textOut(180, 110, "Hp"); // the cell ends at (180, 110)
    canvas_->setTextAlign(kTaBaseline | kTaLeft);
    canvas_->textOut(20, 170, "HE"); // capitals stand on the baseline
    EXPECT_EQ(at(21, 11), kLight);   // just below the top of the cell, above the capitals
    EXPECT_EQ(at(181 - extent.cx, 111 - extent.cy), kWhite);
    const QRect cell(0, 0, static_cast<int>(extent.cx), static_cast<int>(extent.cy));
    EXPECT_TRUE(cell.translated(20, 10).contains(ink({0, 0, 200, 60})));
    EXPECT_TRUE(
        cell.translated(180 - cell.width(), 110 - cell.height()).contains(ink({0, 60, 200, 70})));
    EXPECT_NEAR(ink({0, 130, 200, 70}).bottom(), 169, 1);
}

TEST_F(QtCanvasTest, TheAskedAverageWidthCondensesOrExpandsTheText) {
    // What is drawn is as wide as what is measured, and four times the width gives four times the
    // text.
    canvas_->setBackgroundMode(BackgroundMode::Transparent);
    canvas_->selectFont(Font(24, 4));
    const Extent narrow = canvas_->textExtent("MARTIN");
    canvas_->textOut(10, 20, "MARTIN");
    canvas_->selectFont(Font(24, 16));
    const Extent wide = canvas_->textExtent("MARTIN");
    canvas_->textOut(10, 120, "MARTIN");
    EXPECT_NEAR(ink({0, 0, 200, 100}).width(), static_cast<double>(narrow.cx), 3);
    EXPECT_NEAR(ink({0, 100, 200, 100}).width(), static_cast<double>(wide.cx), 4);
    EXPECT_NEAR(static_cast<double>(wide.cx) / static_cast<double>(narrow.cx), 4, 0.3);
}

TEST_F(QtCanvasTest, TextIsReadAsWindows1252) {
    canvas_->selectFont(Font(40, 0));
    // 0x97 is an em dash and 0x96 an en dash, half as wide; read as Latin-1 both would be
    // control characters of the same width.
    const Extent em = canvas_->textExtent("\x97");
    const Extent en = canvas_->textExtent("\x96");
    EXPECT_GT(em.cx, en.cx + en.cx / 2);
}

// Whole-pixel text has no shades between the text colour and the background; smoothed text has.
TEST(QtCanvasTextSmoothing, WholePixelTextUsesOnlyTheTextColour) {
    for (const TextSmoothing smoothing : {TextSmoothing::Smoothed, TextSmoothing::WholePixels}) {
        QImage image(200, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QtCanvas canvas(image, smoothing);
            canvas.setBackgroundMode(BackgroundMode::Transparent);
            canvas.setTextColour(kRed);
            canvas.selectFont(Font(24, 6)); // condensed, as the chart's names are
            canvas.textOut(5, 5, "DELORME Marie");
        }
        int red = 0, shades = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                red += pixel == qRgb(255, 0, 0) ? 1 : 0;
                shades += pixel != qRgb(255, 0, 0) && pixel != qRgb(255, 255, 255) ? 1 : 0;
            }
        const bool whole = smoothing == TextSmoothing::WholePixels;
        EXPECT_GT(red, 60) << whole;
        EXPECT_EQ(shades == 0, whole) << shades;
    }
}

TEST_F(QtCanvasTest, StretchedBitmapsShowTheRightWayUpInEveryDepth) {
    // Stored first: a red row (the top row as the fill code sees it), then a blue one.
    const std::vector<uint8_t> dib = Dib24(2, {{kRed, kRed}, {kBlue, kBlue}});
    // Bottom-up and drawn with a negative height, as the chart draws its fills: red on top.
    EXPECT_TRUE(canvas_->stretchDib(10, 49, 40, -40, 0, 0, 2, 2, dib.data(), dib.size()));
    // Top-down: red on top with a positive height.
    const std::vector<uint8_t> topDown = Dib24(2, {{kRed, kRed}, {kBlue, kBlue}}, true);
    EXPECT_TRUE(canvas_->stretchDib(110, 10, 40, 40, 0, 0, 2, 2, topDown.data(), topDown.size()));
    // Half the source: rows are counted from the bottom of a bottom-up bitmap, which is its
    // first stored row: red.
    EXPECT_TRUE(canvas_->stretchDib(160, 10, 20, 20, 0, 0, 2, 1, dib.data(), dib.size()));
    EXPECT_FALSE(canvas_->stretchDib(0, 0, 10, 10, 0, 0, 2, 2, dib.data(), 40));

    // 8 bits, two palette entries (blue, green, red, 0): index 0 green, index 1 red; pixels red
    // then green.
    std::vector<uint8_t> indexed = Dib(2, 1, 8, 8 + 4);
    Put32(indexed, 32, 2);
    indexed[40 + 1] = 160;
    indexed[44 + 2] = 255;
    indexed[48] = 1;
    EXPECT_TRUE(canvas_->stretchDib(0, 60, 20, 10, 0, 0, 2, 1, indexed.data(), indexed.size()));

    EXPECT_EQ(run(30, 9, 42, true), Expand(".20r20b."));
    EXPECT_EQ(run(120, 10, 40, true), Expand("20r20b"));
    EXPECT_EQ(run(170, 10, 21, true), Expand("20r."));
    EXPECT_EQ(run(0, 65, 21), Expand("10r10g."));
}

// Over more than a million visible pixels the stretching is left to Qt; it must give the same
// picture: orientation and extreme magnification included.
TEST(QtCanvasLargeStretch, KeepsOrientationAndPositionOverLargeAreas) {
    QImage image(1200, 1800, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QtCanvas canvas(image);
        const std::vector<uint8_t> rows = Dib24(2, {{kRed, kRed}, {kBlue, kBlue}});
        const std::vector<uint8_t> sides = Dib24(2, {{kRed, kBlue}});
        // The chart's background stretch over the upper half, and a bitmap 2^41 pixels wide whose
        // middle falls at x = 600 over the lower half.
        EXPECT_TRUE(canvas.stretchDib(0, 899, 1200, -900, 0, 0, 2, 2, rows.data(), rows.size()));
        EXPECT_TRUE(canvas.stretchDib(-k2p40 + 600, 900, 2 * k2p40, 900, 0, 0, 2, 1, sides.data(),
                                      sides.size()));
    }
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    EXPECT_EQ(image.pixel(0, 449), red);
    EXPECT_EQ(image.pixel(1199, 450), blue);
    EXPECT_EQ(image.pixel(599, 900), red);
    EXPECT_EQ(image.pixel(600, 1799), blue);
}

TEST_F(QtCanvasTest, HugeCoordinatesNeitherOverflowNorBend) {
    canvas_->moveTo(-k2p40, 10);
    canvas_->lineTo(k2p40, 10);
    canvas_->moveTo(-k2p62, -k2p62 + 40); // y = x + 40, ends near the limits of int64
    canvas_->lineTo(k2p62, k2p62 + 40);
    canvas_->selectPen({PenStyle::Solid, 3, kBlack}); // a wide pen is centred on the line
    canvas_->moveTo(150, -k2p62);
    canvas_->lineTo(150, k2p62);
    // A box far larger than the device.
    canvas_->selectPen({PenStyle::Solid, 1, kBlue});
    canvas_->selectBrush({BrushStyle::Solid, kGreen});
    canvas_->rectangle(-k2p40, 185, k2p40, 190);

    EXPECT_EQ(run(0, 10, 200), Expand("200#"));
    for (int x = 0; x < 110; x += 7) {
        EXPECT_TRUE(dark(x, x + 40)) << x;
        EXPECT_FALSE(dark(x, x + 42)) << x;
    }
    EXPECT_EQ(run(140, 100, 20), Expand("9.###8."));
    EXPECT_EQ(run(0, 185, 6, true), "bgggb."); // the big box: its top and bottom edges
    EXPECT_EQ(run(199, 185, 6, true), "bgggb.");
}

// Arcs run counter-clockwise from their start to their end, near or far away.
TEST_F(QtCanvasTest, CurvesFarOutsideAreCutToWhatShows) {
    // From twelve o'clock to three o'clock: three quarters of the circle, all but the upper right.
    canvas_->arc(50, 0, 150, 100, 100, 0, 150, 50);
    // A circle of radius 2^40 whose top passes through (100, 150), from its top to its left: only
    // the part left of x = 100 shows.
    canvas_->arc(100 - k2p40, 150, 100 + k2p40, 150 + 2 * k2p40, 100, 0, 0, 150 + k2p40);

    EXPECT_TRUE(ink({133, 13, 5, 5}).isEmpty()); // radius 50 at 45 degrees: 35 pixels off
    EXPECT_FALSE(ink({63, 13, 5, 5}).isEmpty());
    for (int x = 0; x < 100; x += 10) EXPECT_TRUE(dark(x, 150)) << x;
    for (int x = 102; x < 200; x += 10) EXPECT_FALSE(dark(x, 150)) << x;
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
    canvas_->drawFlag(43, 5000, 5000, 30, 20); // far away: no call
    canvas_->moveTo(0, 100);
    canvas_->lineTo(100, 100);

    EXPECT_EQ(asked, (std::vector<int32_t>{41}));
    EXPECT_EQ(run(0, 20, 82), Expand("50.30g.."));
    EXPECT_EQ(at(50, 100), kBlack);
}

} // namespace
} // namespace arbolix
