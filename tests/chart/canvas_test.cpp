#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "chart/canvas.h"
#include "chart/clip.h"
#include "chart/recording_canvas.h"

namespace arbolix {
namespace {

constexpr int64_t k2p62 = int64_t{1} << 62;
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

LogFont Font(int32_t height, int32_t width, const char* face = "Times New Roman",
             int32_t weight = 400) {
    LogFont font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    std::snprintf(font.lfFaceName, kFaceNameSize, "%s", face);
    return font;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A packed DIB header followed by `extra` bytes (colour masks, palette, rows).
std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bitCount, size_t extra,
                         uint32_t compression = kBiRgb, uint32_t coloursUsed = 0) {
    std::vector<uint8_t> dib(kBitmapInfoHeaderSize + extra, 0);
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<uint32_t>(width));
    Put32(dib, 8, static_cast<uint32_t>(height));
    dib[12] = 1;
    dib[14] = static_cast<uint8_t>(bitCount);
    Put32(dib, 16, compression);
    Put32(dib, 32, coloursUsed);
    return dib;
}

// --- Recording canvas
// ------------------------------------------------------------------------------

// The formats of the plain coordinate lists (MoveTo, Polyline, Arc, ...) show in the lines the
// chart renderer's tests expect; here the ones with names, flags, colours and quoted text.
TEST(RecordingCanvas, WritesOneLinePerCallWithExactValues) {
    RecordingCanvas canvas({24, 600, 300, 4960, 7016});
    LogFont italic = Font(20, 12);
    italic.lfItalic = 1;
    italic.lfUnderline = 1;

    canvas.deviceInfo();
    canvas.selectPen({PenStyle::Dash, 1, 0x0000FF});
    canvas.selectBrush({BrushStyle::Solid, 0x123456});
    canvas.selectFont(italic);
    canvas.setTextAlign(kTaBaseline | kTaRight);
    canvas.moveTo(-5, k2p62);
    canvas.frameRect({1, 2, 3, 4}, {BrushStyle::Null, 0});
    canvas.textOut(12, 20, "Say \"\xC9t\xE9\"\n\\");

    const std::vector<std::string> expected = {
        "DeviceInfo 24 600 300 4960 7016",
        "Pen dash 1 0x0000FF",
        "Brush solid 0x123456",
        "Font h=20 w=12 \"Times New Roman\" 400 italic underline",
        "TextAlign TA_BASELINE|TA_RIGHT",
        "MoveTo -5 4611686018427387904",
        "FrameRect 1 2 3 4 null",
        "TextOut 12 20 TA_BASELINE|TA_RIGHT \"Say \\\"\xC9t\xE9\\\"\\x0A\\\\\"",
    };
    EXPECT_EQ(canvas.lines(), expected);
}

TEST(RecordingCanvas, KeepsItsStateLikeADevice) {
    RecordingCanvas canvas;
    // A fresh canvas: black 1-pixel pen, black text at the top left; selecting gives back what was
    // selected, so that it can be put back.
    const Pen main{PenStyle::Solid, 3, 0x0000FF};
    EXPECT_EQ(canvas.selectPen(main), (Pen{PenStyle::Solid, 1, kBlack}));
    EXPECT_EQ(canvas.selectPen(Pen{}), main);
    EXPECT_EQ(canvas.selectFont(Font(30, 0)), LogFont{});
    EXPECT_EQ(canvas.setTextAlign(kTaBottom), kTaTop | kTaLeft);
    EXPECT_EQ(canvas.setTextColour(0x112233), kBlack);

    // moveTo answers the old position, lineTo moves it; TextOut shows the alignment in force.
    EXPECT_EQ(canvas.moveTo(5, 6), (Point{0, 0}));
    canvas.lineTo(kMin, kMax);
    canvas.textOut(1, 2, "A");
    EXPECT_EQ(canvas.linesStartingWith("TextOut"),
              (std::vector<std::string>{"TextOut 1 2 TA_BOTTOM|TA_LEFT \"A\""}));
    canvas.clear();
    EXPECT_TRUE(canvas.lines().empty());
    EXPECT_EQ(canvas.currentPosition(), (Point{kMin, kMax})); // the state outlives the lines
}

TEST(RecordingCanvas, MeasuresTextWithAFixedPitchFont) {
    RecordingCanvas canvas;
    // Default font: a 16-pixel cell, glyphs half as wide.
    EXPECT_EQ(canvas.textExtent("abc"), (Extent{24, 16}));
    canvas.selectFont(Font(-21, 0)); // the sign does not matter; half an odd height is rounded down
    EXPECT_EQ(canvas.textExtent("2999"), (Extent{40, 21}));
    canvas.selectFont(Font(20, 12));
    EXPECT_EQ(canvas.textExtent("DUPONT"), (Extent{72, 20}));
}

TEST(RecordingCanvas, ChecksTheBitmapsItIsGiven) {
    RecordingCanvas canvas;
    std::vector<uint8_t> topDown = Dib(3, -2, 24, 2 * 12);
    EXPECT_TRUE(canvas.stretchDib(0, 39, 100, -40, 0, 0, 3, 2, topDown.data(), topDown.size()));
    EXPECT_FALSE(canvas.stretchDib(0, 0, 6, 4, 0, 0, 3, 2, topDown.data(), topDown.size() - 1));
    EXPECT_EQ(canvas.linesStartingWith("StretchDIBits"),
              (std::vector<std::string>{"StretchDIBits 0 39 100 -40 0 0 3 2 3x-2x24",
                                        "StretchDIBits 0 0 6 4 0 0 3 2 invalid"}));
}

// --- Packed DIB layout
// -----------------------------------------------------------------------------

TEST(ReadDibLayout, FindsThePartsOfEachKindOfBitmap) {
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
}

TEST(ReadDibLayout, RefusesWhatItCannotDraw) {
    DibLayout layout;
    std::vector<uint8_t> odd = Dib(2, 2, 12, 64);
    EXPECT_FALSE(ReadDibLayout(odd.data(), odd.size(), layout));
    std::vector<uint8_t> rle = Dib(2, 2, 8, 1024 + 16, 1);
    EXPECT_FALSE(ReadDibLayout(rle.data(), rle.size(), layout));
    std::vector<uint8_t> empty = Dib(0, 2, 24, 16);
    EXPECT_FALSE(ReadDibLayout(empty.data(), empty.size(), layout));
    std::vector<uint8_t> tooManyColours = Dib(2, 2, 4, 17 * 4 + 8, kBiRgb, 17);
    EXPECT_FALSE(ReadDibLayout(tooManyColours.data(), tooManyColours.size(), layout));
}

// --- Line clipping
// ---------------------------------------------------------------------------------

const Rect kBox{0, 0, 100, 100};

ClippedLine Clip(Point a, Point b) {
    ClippedLine line;
    EXPECT_TRUE(ClipLine(a, b, kBox, line)) << a.x << "," << a.y << " " << b.x << "," << b.y;
    return line;
}

void ExpectEnds(const ClippedLine& line, PointF from, PointF to) {
    EXPECT_DOUBLE_EQ(line.from.x, from.x);
    EXPECT_DOUBLE_EQ(line.from.y, from.y);
    EXPECT_DOUBLE_EQ(line.to.x, to.x);
    EXPECT_DOUBLE_EQ(line.to.y, to.y);
}

TEST(ClipLine, KeepsWhatIsInsideAndCutsWhatCrosses) {
    const ClippedLine inside = Clip({10, 20}, {90, 80});
    ExpectEnds(inside, {10, 20}, {90, 80});
    EXPECT_FALSE(inside.fromMoved || inside.toMoved);

    const ClippedLine across = Clip({-100, 10}, {200, 10});
    ExpectEnds(across, {0, 10}, {100, 10});
    EXPECT_TRUE(across.fromMoved && across.toMoved);

    // One end cut, leaving through the bottom at a fraction.
    const ClippedLine down = Clip({50, 50}, {53, 150});
    ExpectEnds(down, {50, 50}, {51.5, 100});
    EXPECT_TRUE(!down.fromMoved && down.toMoved);
    // Ends beyond two edges: the line enters through the edge it actually crosses.
    ExpectEnds(Clip({-10, -40}, {10, 60}), {0, 10}, {10, 60});
    ExpectEnds(Clip({-10, -40}, {30, 60}), {6, 0}, {30, 60});
}

TEST(ClipLine, RejectsWhatMissesTheBox) {
    ClippedLine line;
    EXPECT_FALSE(ClipLine({-10, 5}, {-1, 95}, kBox, line));     // left of it
    EXPECT_FALSE(ClipLine({-100, 50}, {50, -100}, kBox, line)); // past the top-left corner
    EXPECT_FALSE(ClipLine({150, 90}, {90, 150}, kBox, line));   // past the bottom-right corner
    const ClippedLine point = Clip({7, 8}, {7, 8});
    ExpectEnds(point, {7, 8}, {7, 8});
}

TEST(ClipLine, StaysExactAndStraightForHugeCoordinates) {
    // A vertical line from one side of 2^62 to the other.
    ExpectEnds(Clip({37, k2p62}, {37, -k2p62}), {37, 100}, {37, 0});
    // Slope 1 + 2^-61: it crosses x = 0 at y = 2 exactly, and x = 98 at y = 100.
    ExpectEnds(Clip({-k2p62, -k2p62}, {k2p62, k2p62 + 4}), {0, 2}, {98, 100});
    // The whole range of int64, both ways.
    ExpectEnds(Clip({kMin, kMin}, {kMax, kMax}), {0, 0}, {100, 100});
    ExpectEnds(Clip({kMax, 100 - kMax}, {kMin + 101, kMax}), {100, 0}, {0, 100}); // x + y = 100
}

// (ClampRect and Intersects show in the Qt canvas's tests: boxes far larger than the device are
// filled, shapes far away draw nothing.)

// --- Bézier cutting
// --------------------------------------------------------------------------------

bool Within(const CubicF& piece, const Rect& box) {
    return std::all_of(piece.begin(), piece.end(), [&](const PointF& p) {
        return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
    });
}

const Rect kReach{-1000, -1000, 1100, 1100};

TEST(CutBezier, KeepsNearCurvesWholeAndDropsFarOnes) {
    std::vector<CubicF> pieces;
    CutBezier({Point{10, 10}, Point{90, 10}, Point{10, 90}, Point{90, 90}}, kBox, kReach, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_DOUBLE_EQ(pieces[0][2].y, 90);

    pieces.clear();
    CutBezier({Point{-k2p62, 0}, Point{-5, 0}, Point{-k2p62, 90}, Point{-1, 90}}, kBox, kReach,
              pieces);
    EXPECT_TRUE(pieces.empty());
}

TEST(CutBezier, CutsAHugeCurveToPiecesCoveringTheBox) {
    // A straight "curve" along y = 50 from -2^40 to 2^40: the pieces must cover 0..100.
    const int64_t far = int64_t{1} << 40;
    std::vector<CubicF> pieces;
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

// --- Arcs
// ------------------------------------------------------------------------------------------

TEST(GdiArcAngles, RunCounterClockwiseFromStartToEnd) {
    const Rect circle{0, 0, 100, 100};
    // From three o'clock to twelve o'clock: the upper-right quarter.
    ArcAngles a = GdiArcAngles(circle, {100, 50}, {50, 0});
    EXPECT_NEAR(a.start, 0, 1e-9);
    EXPECT_NEAR(a.sweep, 90, 1e-9);
    // A wide ellipse: the radial toward a corner of its box meets it at parametric 45 degrees.
    a = GdiArcAngles({0, 0, 200, 100}, {200, 0}, {0, 50});
    EXPECT_NEAR(a.start, 45, 1e-9);
    EXPECT_NEAR(a.sweep, 135, 1e-9);
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
