#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart/canvas_test_support.h"
#include "chart/clip.h"
#include "chart/recording_canvas.h"

namespace arbolix {
namespace {

using test::Dib;
using test::Put32;

constexpr int64_t k2p62 = int64_t{1} << 62;
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

TEST(ReadDibLayout, FindsThePartsOfEachKindOfBitmapAndRefusesTheRest) {
    // Bit fields: three masks after a 40-byte header.
    std::vector<uint8_t> fields = Dib(2, 1, 16, 12 + 4, kBiBitfields);
    Put32(fields, 40, 0xF800);
    Put32(fields, 44, 0x07E0);
    Put32(fields, 48, 0x001F);
    const struct {
        std::vector<uint8_t> dib;
        size_t rowSize, paletteCount, bitsOffset;
        int32_t height;
        bool bottomUp;
        uint32_t greenMask;
    } cases[] = {
        // 24 bits, 5 pixels: 15 bytes padded to 16 per row, rows right after the header.
        {Dib(5, 3, 24, 3 * 16), 16, 0, 40, 3, true, 0},
        // 8 bits without biClrUsed: a full palette of 256 entries comes first.
        {Dib(3, -2, 8, 1024 + 2 * 4), 4, 256, 40 + 1024, 2, false, 0},
        // 1 bit per pixel, 33 pixels: two 32-bit words per row, and a palette of 2.
        {Dib(33, 1, 1, 8 + 8), 8, 2, 48, 1, true, 0},
        // Bit fields. (8 bits with biClrUsed, and 16 bits meaning 5-5-5, show in the colours the
        // Qt canvas draws.)
        {fields, 4, 0, 52, 1, true, 0x07E0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dib[14] + 0 << " bits, " << c.dib.size() << " bytes");
        DibLayout layout;
        ASSERT_TRUE(ReadDibLayout(c.dib.data(), c.dib.size(), layout));
        EXPECT_EQ(layout.rowSize, c.rowSize);
        EXPECT_EQ(layout.paletteCount, c.paletteCount);
        EXPECT_EQ(layout.bitsOffset, c.bitsOffset);
        EXPECT_EQ(layout.height, c.height);
        EXPECT_EQ(layout.bottomUp, c.bottomUp);
        EXPECT_EQ(layout.greenMask, c.greenMask);
        EXPECT_FALSE(ReadDibLayout(c.dib.data(), c.dib.size() - 1, layout)) << "one byte short";
    }
    // 12 bits, run-length coding, no width, more colours than 4 bits hold.
    for (const std::vector<uint8_t>& refused :
         {Dib(2, 2, 12, 64), Dib(2, 2, 8, 1024 + 16, 1), Dib(0, 2, 24, 16),
          Dib(2, 2, 4, 17 * 4 + 8, kBiRgb, 17)}) {
        DibLayout layout;
        EXPECT_FALSE(ReadDibLayout(refused.data(), refused.size(), layout)) << refused[14] + 0;
    }
}

const Rect kBox{0, 0, 100, 100};

TEST(ClipLine, KeepsWhatIsInsideCutsWhatCrossesAndStaysExactForHugeCoordinates) {
    const struct {
        Point a, b;
        PointF from, to;
    } cases[] = {
        {{-100, 10}, {200, 10}, {0, 10}, {100, 10}},
        {{50, 50}, {53, 150}, {50, 50}, {51.5, 100}}, // leaving through the bottom at a fraction
        // Ends beyond two edges: the line enters through the edge it actually crosses.
        {{-10, -40}, {10, 60}, {0, 10}, {10, 60}},
        {{-10, -40}, {30, 60}, {6, 0}, {30, 60}},
        // A vertical line from one side of 2^62 to the other; slope 1 + 2^-61, crossing x = 0 at
        // y = 2 exactly and x = 98 at y = 100; the whole range of int64 both ways.
        {{37, k2p62}, {37, -k2p62}, {37, 100}, {37, 0}},
        {{-k2p62, -k2p62}, {k2p62, k2p62 + 4}, {0, 2}, {98, 100}},
        {{kMin, kMin}, {kMax, kMax}, {0, 0}, {100, 100}},
        {{kMax, 100 - kMax}, {kMin + 101, kMax}, {100, 0}, {0, 100}}, // x + y = 100
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.x << "," << c.a.y << " " << c.b.x << "," << c.b.y);
        ClippedLine line;
        ASSERT_TRUE(ClipLine(c.a, c.b, kBox, line));
        EXPECT_DOUBLE_EQ(line.from.x, c.from.x);
        EXPECT_DOUBLE_EQ(line.from.y, c.from.y);
        EXPECT_DOUBLE_EQ(line.to.x, c.to.x);
        EXPECT_DOUBLE_EQ(line.to.y, c.to.y);
        EXPECT_EQ(line.fromMoved, c.a.x != c.from.x || c.a.y != c.from.y);
        EXPECT_EQ(line.toMoved, c.b.x != c.to.x || c.b.y != c.to.y);
    }
    ClippedLine line;
    EXPECT_FALSE(ClipLine({-10, 5}, {-1, 95}, kBox, line));     // left of it
    EXPECT_FALSE(ClipLine({-100, 50}, {50, -100}, kBox, line)); // past the top-left corner
    EXPECT_FALSE(ClipLine({150, 90}, {90, 150}, kBox, line));   // past the bottom-right corner
}

// (ClampRect and Intersects show in the Qt canvas's tests: boxes far larger than the device are
// filled, shapes far away draw nothing.)

bool Within(const CubicF& piece, const Rect& box) {
    return std::all_of(piece.begin(), piece.end(), [&](const PointF& p) {
        return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
    });
}

const Rect kReach{-1000, -1000, 1100, 1100};

TEST(CutBezier, KeepsNearCurvesWholeDropsFarOnesAndCutsHugeOnes) {
    std::vector<CubicF> pieces;
    CutBezier({Point{10, 10}, Point{90, 10}, Point{10, 90}, Point{90, 90}}, kBox, kReach, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_DOUBLE_EQ(pieces[0][2].y, 90);
    pieces.clear();
    CutBezier({Point{-k2p62, 0}, Point{-5, 0}, Point{-k2p62, 90}, Point{-1, 90}}, kBox, kReach,
              pieces);
    EXPECT_TRUE(pieces.empty());

    // A straight "curve" along y = 50 from -2^40 to 2^40: the pieces must cover 0..100.
    const int64_t far = int64_t{1} << 40;
    CutBezier({Point{-far, 50}, Point{-far / 2, 50}, Point{far / 2, 50}, Point{far, 50}}, kBox,
              kReach, pieces);
    ASSERT_FALSE(pieces.empty());
    std::vector<std::pair<double, double>> spans;
    for (const CubicF& piece : pieces) {
        EXPECT_TRUE(Within(piece, kReach));
        EXPECT_DOUBLE_EQ(piece[0].y, 50);
        spans.emplace_back(std::min(piece[0].x, piece[3].x), std::max(piece[0].x, piece[3].x));
    }
    std::sort(spans.begin(), spans.end());
    double covered = spans.front().first;
    EXPECT_LE(covered, 0);
    for (const auto& [from, to] : spans) {
        EXPECT_LE(from, covered); // no gap
        covered = std::max(covered, to);
    }
    EXPECT_GE(covered, 100);
}

// (Which part of a huge arc shows, counter-clockwise from start to end, is drawn in
// QtCanvasTest.CurvesFarOutsideAreCutToWhatShows.)
TEST(ArcChords, FollowTheArcWhereItCrossesTheBox) {
    // A circle of radius 2^40 whose top touches (50, 50): only chords near the box come back,
    // they stay within a quarter pixel of the circle and cover the box's width.
    const int64_t r = int64_t{1} << 40;
    const Rect huge{50 - r, 50, 50 + r, 50 + 2 * r};
    std::vector<std::array<PointF, 2>> chords;
    ArcChords(huge, GdiArcAngles(huge, {0, 0}, {0, 0}), kBox, chords); // the whole circle
    ASSERT_FALSE(chords.empty());
    EXPECT_LT(chords.size(), 10u);
    double left = 1e300, right = -1e300;
    for (const auto& chord : chords) {
        const PointF middle{(chord[0].x + chord[1].x) / 2, (chord[0].y + chord[1].y) / 2};
        for (const PointF& p : {chord[0], chord[1], middle}) {
            const double off = std::hypot(p.x - 50, p.y - (50.0 + static_cast<double>(r)));
            EXPECT_NEAR(off, static_cast<double>(r), 0.25);
        }
        left = std::min({left, chord[0].x, chord[1].x});
        right = std::max({right, chord[0].x, chord[1].x});
    }
    EXPECT_LE(left, 0);
    EXPECT_GE(right, 100);
}

} // namespace
} // namespace arbolix
