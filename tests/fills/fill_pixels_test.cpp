// The pixels the fills are made of: gradients, two-colour patterns, solid colours, the palette of
// 8-bit screens, and screen pixels packed into DIBs.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "fills/fill_palette.h"
#include "fills/fill_pixels.h"
#include "fills/fill_test_support.h"
#include "fills/gradient.h"
#include "fills/packed_dib.h"
#include "fills/pattern.h"

namespace arbolix {
namespace {

using Grid = std::vector<std::vector<int>>;
constexpr int U = test::kUntouched; // a pixel the gradient did not write

// Colour 1 = red 0 and colour 2 = red 240, other channels 0, drawn at 24 bits into a buffer of
// filler bytes; the red channel of each row comes back. Pixels not written read as U.
Grid RedRamp(int32_t type, int32_t variant, int32_t width, int32_t height) {
    std::vector<uint8_t> pixels = test::UntouchedBuffer(width, height, 3);
    RenderGradient(24, type, variant, MakeColour(0, 0, 0), MakeColour(240, 0, 0), width, height,
                   pixels);
    Grid rows;
    for (int32_t y = 0; y < height; ++y) {
        rows.push_back(test::RedRow(pixels, width, y));
        for (int32_t x = 0; x < width; ++x)
            if (test::Channel24(pixels, width, x, y, 0) == U) rows[y][x] = U;
    }
    return rows;
}

Grid Bands(const std::vector<int>& perRow, int width) {
    Grid rows;
    for (int value : perRow) rows.emplace_back(width, value);
    return rows;
}

TEST(RenderGradient, HorizontalAndVerticalBands) {
    // Rows: Lerp(0, 240, y, 6) and, mirrored, Lerp(0, 240, 2y, 6); the last row never reaches 240.
    const std::vector<int> rows[] = {{0, 40, 80, 120, 160, 200}, {240, 200, 160, 120, 80, 40},
                                     {0, 80, 160, 160, 80, 0}, {240, 160, 80, 80, 160, 240}};
    const std::vector<int> columns[] = {{0, 30, 60, 90, 120, 150, 180, 210}, {240, 210, 180, 150, 120, 90, 60, 30},
                                        {0, 60, 120, 180, 180, 120, 60, 0}, {240, 180, 120, 60, 60, 120, 180, 240}};
    for (int variant = 0; variant < 4; ++variant) {
        EXPECT_EQ(RedRamp(kGradientHorizontal, variant, 8, 6), Bands(rows[variant], 8)) << variant;
        EXPECT_EQ(RedRamp(kGradientVertical, variant, 8, 6), Grid(6, columns[variant])) << variant;
    }
}

TEST(RenderGradient, Diagonals) {
    // Full ramp: 240 (x + y) / 14. Reversed, 240 (14 − x − y) / 14 is rounded on its own.
    const Grid up = RedRamp(kGradientRisingDiagonal, 0, 8, 6);
    EXPECT_EQ(up[0], (std::vector<int>{0, 17, 34, 51, 68, 85, 102, 120}));
    EXPECT_EQ(up[5], (std::vector<int>{85, 102, 120, 137, 154, 171, 188, 205}));

    // Mirrored: two point-symmetric triangles at 240 min(2 (k + j), 14) / 14.
    const Grid mirrored = RedRamp(kGradientRisingDiagonal, 2, 8, 6);
    EXPECT_EQ(mirrored[0], (std::vector<int>{0, 34, 68, 102, 137, 171, 205, 171}));
    EXPECT_EQ(mirrored[5], (std::vector<int>{171, 205, 171, 137, 102, 68, 34, 0}));
    // 5 × 3: column counts 3, 2, 1, 1, 0 leave pixel (2, 1) to neither triangle.
    EXPECT_EQ(RedRamp(kGradientRisingDiagonal, 2, 5, 3),
              (Grid{{0, 60, 120, 180, 120}, {60, 120, U, 120, 60}, {120, 180, 120, 60, 0}}));
}

TEST(RenderGradient, UncoveredPixelsAndBadArguments) {
    // Odd mirrored sizes leave the middle alone: 8 × 5 rows at 0 and 240 · 2 / 5 = 96.
    EXPECT_EQ(RedRamp(kGradientHorizontal, 2, 8, 5), Bands({0, 96, U, 96, 0}, 8));
    // 5 × 5 from the centre: frames 240 and 144, the centre pixel written by neither pass.
    EXPECT_EQ(RedRamp(kGradientCentre, 0, 5, 5)[2], (std::vector<int>{240, 144, U, 144, 240}));

    // An unknown shape gives horizontal bands, an unknown variant the plain ramp.
    EXPECT_EQ(RedRamp(9, 0, 8, 6), RedRamp(kGradientHorizontal, 0, 8, 6));
    EXPECT_EQ(RedRamp(kGradientVertical, 7, 8, 6), RedRamp(kGradientVertical, 0, 8, 6));

    for (int32_t depth : {15, 0, 48}) {
        std::vector<uint8_t> pixels = test::UntouchedBuffer(8, 6, 4);
        RenderGradient(depth, kGradientHorizontal, 0, kBlack, kWhite, 8, 6, pixels);
        EXPECT_EQ(pixels, test::UntouchedBuffer(8, 6, 4)) << depth;
    }
}

TEST(RenderGradient, StoredPixelsAtEachDepth) {
    // Row 3 of 6 is half-way: red (10 + 250) / 2 = 130, green 100, blue (30 + 130) / 2 = 80.
    // The high bytes of the colours never reach the pixels.
    const auto pixelOfRow3 = [](int32_t depth) {
        std::vector<uint8_t> pixels(static_cast<size_t>(8 * 6 * std::max(depth / 8, 1)));
        RenderGradient(depth, kGradientHorizontal, 0, 0xFF000000 | MakeColour(10, 200, 30),
                       0xFF000000 | MakeColour(250, 0, 130), 8, 6, pixels);
        const size_t bytes = pixels.size() / 48;
        return std::vector<int>(pixels.begin() + 24 * bytes, pixels.begin() + 25 * bytes);
    };
    EXPECT_EQ(pixelOfRow3(24), (std::vector<int>{80, 100, 130}));
    EXPECT_EQ(pixelOfRow3(32), (std::vector<int>{80, 100, 130, 0}));
    EXPECT_EQ(pixelOfRow3(16), (std::vector<int>{0x0A, 0x83})); // 16 << 11 | 12 << 6 | 10, low byte first
    // Nearest palette entry: cube levels 153, 102, 102, entry 10 + 36·3 + 6·2 + 2.
    EXPECT_EQ(pixelOfRow3(8), (std::vector<int>{132}));

    std::vector<uint8_t> white(60 * 56 * 2);
    RenderGradient(16, kGradientCorner, 3, kWhite, kWhite, 60, 56, white);
    for (std::size_t i = 0; i < 60 * 56; ++i) ASSERT_EQ(test::Word16(white, i), 0xFFDF) << i;
}

// Pixels of a 24-bit pattern of white (foreground, colour 2) on black (background, colour 1).
std::vector<std::pair<int, int>> ForegroundPixels(int32_t patternIndex, int32_t width,
                                                  int32_t height) {
    std::vector<uint8_t> pixels = test::UntouchedBuffer(width, height, 3);
    RenderPattern(24, patternIndex, 0, kBlack, kWhite, width, height, pixels);
    std::vector<std::pair<int, int>> set;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int red = test::Red24(pixels, width, x, y);
            EXPECT_TRUE(red == 0 || red == 0xFF) << x << "," << y;
            if (red == 0xFF) set.emplace_back(x, y);
        }
    return set;
}

TEST(RenderPattern, CheckerboardDotsAndPlainFills) {
    // 13: a checkerboard whose top-left pixel is the foreground.
    std::vector<std::pair<int, int>> checkerboard;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x + y) % 2 == 0) checkerboard.emplace_back(x, y);
    EXPECT_EQ(ForegroundPixels(13, 16, 16), checkerboard);

    // 8: one dot in the corner of each cell.
    EXPECT_EQ(ForegroundPixels(8, 16, 16),
              (std::vector<std::pair<int, int>>{{0, 0}, {8, 0}, {0, 8}, {8, 8}}));

    // Outside 0..39: plain colour 1.
    EXPECT_TRUE(ForegroundPixels(40, 16, 8).empty());
    EXPECT_TRUE(ForegroundPixels(-1, 16, 8).empty());
}

TEST(RenderPattern, MaskBitsFromTheLeft) {
    // Pattern 34 is 2A 44 A0 11 8A 44 A2 11, bit 7 the leftmost pixel, here over 2 × 2 cells at
    // 32 bits (blue, green, red, high byte of the colour).
    const std::array<uint8_t, 8> rows = {0x2A, 0x44, 0xA0, 0x11, 0x8A, 0x44, 0xA2, 0x11};
    const Colour background = 0x11000000 | MakeColour(0x30, 0x20, 0x10);
    const Colour foreground = 0x22000000 | MakeColour(0x01, 0x02, 0x03);
    std::vector<uint8_t> pixels(16 * 16 * 4);
    RenderPattern(32, 34, 3, background, foreground, 16, 16, pixels);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool set = (rows[y % 8] >> (7 - x % 8)) & 1;
            const auto pixel = pixels.begin() + (y * 16 + x) * 4;
            EXPECT_EQ(std::vector<int>(pixel, pixel + 4),
                      set ? (std::vector<int>{0x03, 0x02, 0x01, 0x22})
                          : (std::vector<int>{0x10, 0x20, 0x30, 0x11}))
                << x << "," << y;
        }
    }
}

TEST(RenderPattern, EightBitsTakeTheCubeEntries) {
    // Red on blue: the cube entries 10 + 36·5 and 10 + 5.
    std::vector<uint8_t> at8(8 * 8);
    RenderPattern(8, 13, 0, MakeColour(0, 0, 255), MakeColour(255, 0, 0), 8, 8, at8);
    EXPECT_EQ((std::vector<int>{at8[0], at8[1], at8[8], at8[9]}),
              (std::vector<int>{190, 15, 15, 190}));
}

TEST(NearestSystemIndex, NearestEntryAndLowestIndexOnTies) {
    // Black is also cube entry 10, white static entry 255; the high byte does not count. (6, 6, 6)
    // is 108 away from black and from grey 12 (entry 226); (7, 7, 7) is nearer grey 12.
    // (60, 110, 250): cube levels 51, 102, 255. (48, 32, 16): grey 36 (entry 228) is
    // 144 + 16 + 400 = 560 away, the cube's (51, 51, 0) 9 + 361 + 256 = 626.
    const std::pair<Colour, int32_t> cases[] = {
        {kBlack, 0}, {kWhite, 225}, {MakeColour(0xC0, 0xC0, 0xC0), 7}, {0x80808080, 248}, {MakeColour(60, 60, 60), 230},
        {MakeColour(6, 6, 6), 0}, {MakeColour(7, 7, 7), 226}, {MakeColour(60, 110, 250), 10 + 36 + 12 + 5},
        {MakeColour(48, 32, 16), 228}};
    for (const auto& [colour, index] : cases) EXPECT_EQ(NearestSystemIndex(colour), index) << std::hex << colour;
}

TEST(FillSolid, PixelLayoutsByDepth) {
    const Colour colour = MakeColour(0x30, 0x20, 0x10);
    const auto fill = [](int32_t depth, Colour c, int32_t bytes) {
        std::vector<uint8_t> pixels = test::UntouchedBuffer(3, 2, bytes);
        FillSolid(depth, c, 3, 2, pixels);
        return pixels;
    };
    const auto repeated = [](std::vector<uint8_t> pixel) {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < 6; ++i) pixels.insert(pixels.end(), pixel.begin(), pixel.end());
        return pixels;
    };
    EXPECT_EQ(fill(32, colour, 4), repeated({0x10, 0x20, 0x30, 0x00}));
    EXPECT_EQ(fill(24, colour, 3), repeated({0x10, 0x20, 0x30}));
    EXPECT_EQ(fill(16, kWhite, 2), repeated({0xDF, 0xFF})); // 0xFFDF, low byte first
    EXPECT_EQ(fill(8, MakeColour(0, 0, 255), 1), repeated({15}));
    EXPECT_EQ(fill(15, colour, 2), test::UntouchedBuffer(3, 2, 2));
}

std::vector<int> Bits(const std::vector<uint8_t>& dib) {
    return std::vector<int>(dib.begin() + kDibHeaderSize, dib.end());
}

TEST(PackDeviceBitmap, ScreenPixelsToTheDib) {
    // 32-bit screen: the first three bytes of each pixel, rows of 6 bytes padded to 8.
    const auto from32 = PackDeviceBitmap(
        std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 2, 2, 32, 24);
    EXPECT_EQ(ReadDibHeader(from32), (DibHeader{40, 2, 2, 1, 24, kDibRgb, 16}));
    EXPECT_EQ(Bits(from32), (std::vector<int>{1, 2, 3, 5, 6, 7, 0, 0, 9, 10, 11, 13, 14, 15, 0, 0}));

    // 16-bit screen, words 0xFFDF and 0x830A: blue (v << 3) & 0xFF, green ((v & 0x7E0) >> 5) << 2,
    // red (v >> 8) & 0xF8.
    const std::vector<uint8_t> words = {0xDF, 0xFF, 0x0A, 0x83};
    const auto from16 = PackDeviceBitmap(words, 2, 1, 16, 24);
    EXPECT_EQ(ReadDibHeader(from16).biBitCount, 24);
    EXPECT_EQ(Bits(from16), (std::vector<int>{0xF8, 0xF8, 0xF8, 0x50, 0x60, 0x80, 0, 0}));
    // Kept at 16 bits the words become 5-5-5: ((v >> 1) & 0x7FE0) + (v & 0x1F).

    // A target below 16 becomes 24; an 8-bit screen then keeps its bytes under an 8-bit header
    // with no colour table.
    const auto from8 = PackDeviceBitmap(std::vector<uint8_t>{1, 2, 3, 4, 5, 6}, 3, 2, 8, 8);
    EXPECT_EQ(ReadDibHeader(from8), (DibHeader{40, 3, 2, 1, 8, kDibRgb, 8}));
    EXPECT_EQ(Bits(from8), (std::vector<int>{1, 2, 3, 0, 4, 5, 6, 0}));

    EXPECT_TRUE(PackDeviceBitmap(words, 2, 2, 16, 24).empty()); // fewer pixels than the size
}

} // namespace
} // namespace arbolix
