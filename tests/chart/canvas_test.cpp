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

TEST(RecordingCanvas, WritesOneLinePerCallWithExactValues) {
    RecordingCanvas canvas({24, 600, 300, 4960, 7016});
    LogFont italic = Font(20, 12);
    italic.lfItalic = 1;
    italic.lfUnderline = 1;
    const std::array<Point, 3> corner = {Point{0, 0}, Point{10, 0}, Point{10, 10}};
    const std::array<Point, 4> curve = {Point{0, 0}, Point{5, 0}, Point{0, 5}, Point{5, 5}};

    canvas.deviceInfo();
    canvas.selectPen({PenStyle::Dash, 1, 0x0000FF});
    canvas.selectBrush({BrushStyle::Solid, 0x123456});
    canvas.selectBrush({BrushStyle::Null, 0});
    canvas.selectFont(italic);
    canvas.setTextColour(0x00FF00);
    canvas.setTextAlign(kTaBaseline | kTaRight);
    canvas.setBackgroundMode(BackgroundMode::Transparent);
    canvas.setBackgroundColour(0xABCDEF);
    canvas.moveTo(-5, k2p62);
    canvas.lineTo(30, -20);
    canvas.polyline(corner);
    canvas.polyBezier(curve);
    canvas.arc(0, 0, 100, 100, 100, 50, 50, 0);
    canvas.rectangle(10, 20, 110, 40);
    canvas.fillRect({0, 0, 10, 10}, {BrushStyle::Solid, 0xFFFFFF});
    canvas.frameRect({1, 2, 3, 4}, {BrushStyle::Null, 0});
    canvas.textExtent("DUPONT");
    canvas.textOut(12, 20, "Say \"\xC9t\xE9\"\n\\");
    canvas.drawFlag(33, 200, 10, 30, 20);

    const std::vector<std::string> expected = {
        "DeviceInfo 24 600 300 4960 7016",
        "Pen dash 1 0x0000FF",
        "Brush solid 0x123456",
        "Brush null",
        "Font h=20 w=12 \"Times New Roman\" 400 italic underline",
        "TextColor 0x00FF00",
        "TextAlign TA_BASELINE|TA_RIGHT",
        "BkMode transparent",
        "BkColor 0xABCDEF",
        "MoveTo -5 4611686018427387904",
        "LineTo 30 -20",
        "Polyline 0 0 10 0 10 10",
        "PolyBezier 0 0 5 0 0 5 5 5",
        "Arc 0 0 100 100 100 50 50 0",
        "Rectangle 10 20 110 40",
        "FillRect 0 0 10 10 0xFFFFFF",
        "FrameRect 1 2 3 4 null",
        "TextExtent \"DUPONT\" 72 20",
        "TextOut 12 20 TA_BASELINE|TA_RIGHT \"Say \\\"\xC9t\xE9\\\"\\x0A\\\\\"",
        "Flag 33 200 10 30 20",
    };
    EXPECT_EQ(canvas.lines(), expected);
}

TEST(RecordingCanvas, KeepsItsStateLikeADeviceAndFindsLinesByPrefix) {
    RecordingCanvas canvas;
    // A fresh canvas: black 1-pixel pen, white brush, black text at the top left, opaque white.
    EXPECT_EQ(canvas.pen(), (Pen{PenStyle::Solid, 1, kBlack}));
    EXPECT_EQ(canvas.brush(), (Brush{BrushStyle::Solid, kWhite}));
    EXPECT_EQ(canvas.textAlign(), kTaTop | kTaLeft);
    EXPECT_EQ(canvas.backgroundMode(), BackgroundMode::Opaque);
    EXPECT_EQ(canvas.currentPosition(), (Point{0, 0}));

    // Selecting gives back what was selected, so that it can be put back.
    const Pen main{PenStyle::Solid, 3, 0x0000FF}, implexe{PenStyle::Dot, 1, 0xFF0000};
    EXPECT_EQ(canvas.selectPen(main), (Pen{}));
    EXPECT_EQ(canvas.selectPen(implexe), main);
    EXPECT_EQ(canvas.selectPen(main), implexe);
    EXPECT_EQ(canvas.pen(), main);
    EXPECT_EQ(canvas.selectFont(Font(30, 0)), LogFont{});
    EXPECT_EQ(canvas.selectFont(Font(10, 4)), Font(30, 0));
    EXPECT_EQ(canvas.setTextAlign(kTaBottom), kTaTop | kTaLeft);
    EXPECT_EQ(canvas.setTextColour(0x112233), kBlack);
    EXPECT_EQ(canvas.setBackgroundMode(BackgroundMode::Transparent), BackgroundMode::Opaque);
    EXPECT_EQ(canvas.setBackgroundColour(0x010203), kWhite);

    // The current position: moveTo answers the old one, lineTo moves it, polyline does not.
    EXPECT_EQ(canvas.moveTo(5, 6), (Point{0, 0}));
    canvas.lineTo(50, 60);
    EXPECT_EQ(canvas.currentPosition(), (Point{50, 60}));
    const std::array<Point, 2> segment = {Point{1, 1}, Point{2, 2}};
    canvas.polyline(segment);
    EXPECT_EQ(canvas.moveTo(kMin, kMax), (Point{50, 60}));
    EXPECT_EQ(canvas.currentPosition(), (Point{kMin, kMax}));

    // TextOut shows the alignment in force when it was called.
    canvas.textOut(1, 2, "A");
    canvas.setTextAlign(kTaBaseline | kTaLeft);
    canvas.textOut(1, 2, "B");
    canvas.setTextAlign(kTaTop | kTaRight);
    canvas.textOut(1, 2, "C");
    EXPECT_EQ(canvas.linesStartingWith("TextOut"),
              (std::vector<std::string>{"TextOut 1 2 TA_BOTTOM|TA_LEFT \"A\"",
                                        "TextOut 1 2 TA_BASELINE|TA_LEFT \"B\"",
                                        "TextOut 1 2 TA_TOP|TA_RIGHT \"C\""}));
    EXPECT_EQ(canvas.countStartingWith("TextO"), 3u);
    EXPECT_EQ(canvas.countStartingWith("Arc"), 0u);
    canvas.clear();
    EXPECT_TRUE(canvas.lines().empty());
    EXPECT_EQ(canvas.currentPosition(), (Point{kMin, kMax})); // the state outlives the lines
}

TEST(RecordingCanvas, MeasuresTextWithAFixedPitchFont) {
    RecordingCanvas canvas;
    // Default font: a 16-pixel cell, glyphs half as wide.
    EXPECT_EQ(canvas.textExtent("abc"), (Extent{24, 16}));
    canvas.selectFont(Font(20, 0));
    EXPECT_EQ(canvas.textExtent("2999"), (Extent{40, 20}));
    canvas.selectFont(Font(21, 0)); // half of an odd height is rounded down
    EXPECT_EQ(canvas.textExtent("2999"), (Extent{40, 21}));
    canvas.selectFont(Font(20, 7));
    EXPECT_EQ(canvas.textExtent("DUPONT Jean"), (Extent{77, 20}));
    canvas.selectFont(Font(-18, -6)); // the signs do not matter
    EXPECT_EQ(canvas.textExtent("xy"), (Extent{12, 18}));
    EXPECT_EQ(canvas.textExtent(""), (Extent{0, 18}));
    EXPECT_EQ(canvas.linesStartingWith("TextExtent").back(), "TextExtent \"\" 0 18");
}

TEST(RecordingCanvas, ChecksTheBitmapsItIsGiven) {
    RecordingCanvas canvas;
    std::vector<uint8_t> upright = Dib(3, 2, 24, 2 * 12);
    EXPECT_TRUE(canvas.stretchDib(0, 39, 100, -40, 0, 0, 3, 2, upright.data(), upright.size()));
    std::vector<uint8_t> topDown = Dib(3, -2, 24, 2 * 12);
    EXPECT_TRUE(canvas.stretchDib(0, 0, 6, 4, 0, 0, 3, 2, topDown.data(), topDown.size()));
    EXPECT_FALSE(canvas.stretchDib(0, 0, 6, 4, 0, 0, 3, 2, upright.data(), upright.size() - 1));
    EXPECT_FALSE(canvas.stretchDib(0, 0, 6, 4, 0, 0, 3, 2, nullptr, 0));
    EXPECT_EQ(canvas.linesStartingWith("StretchDIBits"),
              (std::vector<std::string>{"StretchDIBits 0 39 100 -40 0 0 3 2 3x2x24",
                                        "StretchDIBits 0 0 6 4 0 0 3 2 3x-2x24",
                                        "StretchDIBits 0 0 6 4 0 0 3 2 invalid",
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
        // 8 bits with 2 colours used; 1 bit per pixel, 33 pixels: two 32-bit words per row.
        {Dib(3, 1, 8, 8 + 4, kBiRgb, 2), 4, 2, 48, 1, true, 0},
        {Dib(33, 1, 1, 8 + 8), 8, 2, 48, 1, true, 0},
        // Bit fields, and plain 16 bits meaning 5-5-5.
        {fields, 4, 0, 52, 1, true, 0x07E0},
        {Dib(2, 1, 16, 4), 4, 0, 40, 1, true, 0x03E0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dib[14] + 0 << " bits, " << c.dib.size() << " bytes");
        DibLayout layout;
        ASSERT_TRUE(ReadDibLayout(c.dib.data(), c.dib.size(), layout));
        EXPECT_EQ(layout.rowSize, c.rowSize);
        EXPECT_EQ(layout.paletteOffset, c.bitsOffset - 4 * c.paletteCount);
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
    std::vector<uint8_t> dib = Dib(2, 2, 24, 16);
    ASSERT_TRUE(ReadDibLayout(dib.data(), dib.size(), layout));
    for (const uint16_t bits : {0, 2, 12, 48}) {
        std::vector<uint8_t> odd = Dib(2, 2, bits, 64);
        EXPECT_FALSE(ReadDibLayout(odd.data(), odd.size(), layout)) << bits;
    }
    std::vector<uint8_t> rle = Dib(2, 2, 8, 1024 + 16, 1);
    EXPECT_FALSE(ReadDibLayout(rle.data(), rle.size(), layout));
    std::vector<uint8_t> empty = Dib(0, 2, 24, 16);
    EXPECT_FALSE(ReadDibLayout(empty.data(), empty.size(), layout));
    std::vector<uint8_t> tooManyColours = Dib(2, 2, 4, 17 * 4 + 8, kBiRgb, 17);
    EXPECT_FALSE(ReadDibLayout(tooManyColours.data(), tooManyColours.size(), layout));
    std::vector<uint8_t> twoPlanes = dib;
    twoPlanes[12] = 2;
    EXPECT_FALSE(ReadDibLayout(twoPlanes.data(), twoPlanes.size(), layout));
    EXPECT_FALSE(ReadDibLayout(dib.data(), 39, layout));
}

// --- Line clipping
// ---------------------------------------------------------------------------------

const Rect kBox{0, 0, 100, 100};

ClippedLine Clip(Point a, Point b, const Rect& box = kBox) {
    ClippedLine line;
    EXPECT_TRUE(ClipLine(a, b, box, line)) << a.x << "," << a.y << " " << b.x << "," << b.y;
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

    // The edges belong to the box.
    ExpectEnds(Clip({0, 100}, {100, 0}), {0, 100}, {100, 0});

    const ClippedLine across = Clip({-100, 10}, {200, 10});
    ExpectEnds(across, {0, 10}, {100, 10});
    EXPECT_TRUE(across.fromMoved && across.toMoved);

    const ClippedLine down = Clip({40, -5}, {40, 50});
    ExpectEnds(down, {40, 0}, {40, 50});
    EXPECT_TRUE(down.fromMoved);
    EXPECT_FALSE(down.toMoved);

    // A diagonal through two corners, and one leaving through the bottom at a fraction.
    ExpectEnds(Clip({-50, -50}, {150, 150}), {0, 0}, {100, 100});
    ExpectEnds(Clip({50, 50}, {53, 150}), {50, 50}, {51.5, 100});
    // Ends beyond two edges: the line enters through the edge it actually crosses.
    ExpectEnds(Clip({-10, -40}, {10, 60}), {0, 10}, {10, 60});
    ExpectEnds(Clip({-10, -40}, {30, 60}), {6, 0}, {30, 60});
}

TEST(ClipLine, RejectsWhatMissesTheBox) {
    ClippedLine line;
    EXPECT_FALSE(ClipLine({-10, 5}, {-1, 95}, kBox, line));     // left of it
    EXPECT_FALSE(ClipLine({5, 101}, {95, 500}, kBox, line));    // below it
    EXPECT_FALSE(ClipLine({-100, 50}, {50, -100}, kBox, line)); // past the top-left corner
    EXPECT_FALSE(ClipLine({150, 90}, {90, 150}, kBox, line));   // past the bottom-right corner
    EXPECT_FALSE(ClipLine({-5, -5}, {-5, -5}, kBox, line));     // a point outside
    const ClippedLine point = Clip({7, 8}, {7, 8});
    ExpectEnds(point, {7, 8}, {7, 8});
}

TEST(ClipLine, StaysExactAndStraightForHugeCoordinates) {
    // Horizontal and vertical lines from one side of 2^62 to the other.
    ExpectEnds(Clip({-k2p62, 10}, {k2p62, 10}), {0, 10}, {100, 10});
    ExpectEnds(Clip({37, k2p62}, {37, -k2p62}), {37, 100}, {37, 0});
    // A diagonal: with doubles alone the crossing would be hundreds of pixels off.
    ExpectEnds(Clip({-k2p62, -k2p62}, {k2p62, k2p62}), {0, 0}, {100, 100});
    // Slope 1 + 2^-61: it crosses x = 0 at y = 2 exactly, and x = 98 at y = 100.
    ExpectEnds(Clip({-k2p62, -k2p62}, {k2p62, k2p62 + 4}), {0, 2}, {98, 100});
    // The whole range of int64, both ways.
    ExpectEnds(Clip({kMin, kMin}, {kMax, kMax}), {0, 0}, {100, 100});
    ExpectEnds(Clip({kMax, 100 - kMax}, {kMin + 101, kMax}), {100, 0}, {0, 100}); // x + y = 100
    ExpectEnds(Clip({kMin, 50}, {kMax, 50}), {0, 50}, {100, 50});
    // A box far from the origin.
    const Rect far{k2p62, -k2p62, k2p62 + 100, -k2p62 + 100};
    ExpectEnds(Clip({kMin, 50 - k2p62}, {kMax, 50 - k2p62}, far),
               {static_cast<double>(k2p62), static_cast<double>(50 - k2p62)},
               {static_cast<double>(k2p62 + 100), static_cast<double>(50 - k2p62)});
}

TEST(ClampRect, KeepsThePartInsideTheBox) {
    EXPECT_EQ(ClampRect({10, 20, 30, 40}, kBox), (Rect{10, 20, 30, 40}));
    EXPECT_EQ(ClampRect({-k2p62, 20, k2p62, 40}, kBox), (Rect{0, 20, 100, 40}));
    EXPECT_EQ(ClampRect({kMin, kMin, kMax, kMax}, kBox), (Rect{0, 0, 100, 100}));
    // Wholly outside: it collapses onto an edge, leaving nothing to fill.
    const Rect outside = ClampRect({-50, 10, -20, 30}, kBox);
    EXPECT_EQ(outside.left, outside.right);
}

TEST(BoxTests, TellInsideFromBeyondAnEdge) {
    EXPECT_TRUE(Intersects({-10, -10, 0, 0}, kBox)); // touching a corner
    EXPECT_FALSE(Intersects({-10, -10, -1, 50}, kBox));
    EXPECT_FALSE(Intersects({101, 0, 200, 50}, kBox));
    const std::array<Point, 2> in = {Point{0, 0}, Point{100, 100}};
    const std::array<Point, 2> out = {Point{0, 0}, Point{101, 100}};
    EXPECT_TRUE(AllInside(in, kBox));
    EXPECT_FALSE(AllInside(out, kBox));
    // Around a corner but beyond no single edge: a curve of these might still cross the box.
    const std::array<PointF, 2> corner = {PointF{-10, 50}, PointF{50, -10}};
    EXPECT_FALSE(AllBeyondOneEdge(corner, kBox));
    const std::array<PointF, 3> above = {PointF{-10, -1}, PointF{500, -0.5}, PointF{50, -10}};
    EXPECT_TRUE(AllBeyondOneEdge(above, kBox));
}

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
    EXPECT_DOUBLE_EQ(pieces[0][1].x, 90);
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

    // (An S-shaped brace link between far ends, cut the same way, is drawn in
    // QtCanvasTest.CurvesFarOutsideAreCutToWhatShows.)
}

// --- Arcs
// ------------------------------------------------------------------------------------------

TEST(GdiArcAngles, RunCounterClockwiseFromStartToEnd) {
    const Rect circle{0, 0, 100, 100};
    // From three o'clock to twelve o'clock: the upper-right quarter.
    ArcAngles a = GdiArcAngles(circle, {100, 50}, {50, 0});
    EXPECT_NEAR(a.start, 0, 1e-9);
    EXPECT_NEAR(a.sweep, 90, 1e-9);
    // The other way round: three quarters, through nine and six o'clock.
    a = GdiArcAngles(circle, {50, 0}, {100, 50});
    EXPECT_NEAR(a.start, 90, 1e-9);
    EXPECT_NEAR(a.sweep, 270, 1e-9);
    // Radial points need not lie on the ellipse; equal radials give the whole ellipse.
    a = GdiArcAngles(circle, {1000, 50}, {51, 50});
    EXPECT_NEAR(a.sweep, 360, 1e-9);
    // The box may come in any corner order.
    a = GdiArcAngles({100, 100, 0, 0}, {0, 50}, {50, 100});
    EXPECT_NEAR(a.start, 180, 1e-9);
    EXPECT_NEAR(a.sweep, 90, 1e-9);
    // A wide ellipse: the radial toward a corner of its box meets it at parametric 45 degrees.
    a = GdiArcAngles({0, 0, 200, 100}, {200, 0}, {0, 50});
    EXPECT_NEAR(a.start, 45, 1e-9);
    EXPECT_NEAR(a.sweep, 135, 1e-9);
}

TEST(ArcChords, FollowTheArcWhereItCrossesTheBox) {
    // A small circle, the upper-right quarter: chords from three o'clock to twelve o'clock.
    std::vector<std::array<PointF, 2>> chords;
    ArcChords({0, 0, 100, 100}, GdiArcAngles({0, 0, 100, 100}, {100, 50}, {50, 0}), kReach, chords);
    ASSERT_FALSE(chords.empty());
    EXPECT_NEAR(chords.front()[0].x, 100, 1e-9);
    EXPECT_NEAR(chords.front()[0].y, 50, 1e-9);
    EXPECT_NEAR(chords.back()[1].x, 50, 1e-9);
    EXPECT_NEAR(chords.back()[1].y, 0, 1e-9);
    for (size_t i = 1; i < chords.size(); ++i) {
        EXPECT_DOUBLE_EQ(chords[i][0].x, chords[i - 1][1].x); // joined, in order
        EXPECT_GE(chords[i][0].x, 50);
        EXPECT_LE(chords[i][0].y, 50);
    }

    // A circle of radius 2^40 whose top touches (50, 50): only chords near the box come back,
    // they stay within a quarter pixel of the circle and cover the box's width.
    const int64_t r = int64_t{1} << 40;
    const Rect huge{50 - r, 50, 50 + r, 50 + 2 * r};
    chords.clear();
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
