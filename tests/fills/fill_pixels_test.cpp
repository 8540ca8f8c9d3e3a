#include <gtest/gtest.h>

#include <vector>

#include "fills/fill_palette.h"
#include "fills/fill_pixels.h"
#include "fills/fill_test_support.h"
#include "fills/packed_dib.h"

namespace arbolix {
namespace {

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
    EXPECT_EQ(FillPalette()[228], MakeColour(36, 36, 36));
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
    EXPECT_EQ(fill(32, 0x80808080, 4), repeated({0x80, 0x80, 0x80, 0x80})); // the high byte is kept
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
    const auto kept16 = PackDeviceBitmap(words, 2, 1, 16, 16);
    EXPECT_EQ(ReadDibHeader(kept16).biBitCount, 16);
    EXPECT_EQ(Bits(kept16), (std::vector<int>{0xFF, 0x7F, 0x8A, 0x41}));

    // A target below 16 becomes 24; an 8-bit screen then keeps its bytes under an 8-bit header
    // with no colour table.
    const auto from8 = PackDeviceBitmap(std::vector<uint8_t>{1, 2, 3, 4, 5, 6}, 3, 2, 8, 8);
    EXPECT_EQ(ReadDibHeader(from8), (DibHeader{40, 3, 2, 1, 8, kDibRgb, 8}));
    EXPECT_EQ(Bits(from8), (std::vector<int>{1, 2, 3, 0, 4, 5, 6, 0}));

    EXPECT_TRUE(PackDeviceBitmap(words, 2, 2, 16, 24).empty()); // fewer pixels than the size
}

} // namespace
} // namespace arbolix
