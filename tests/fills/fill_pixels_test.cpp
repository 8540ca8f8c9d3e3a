#include <gtest/gtest.h>

#include <vector>

#include "fills/fill_palette.h"
#include "fills/fill_pixels.h"
#include "fills/fill_test_support.h"
#include "fills/packed_dib.h"

namespace arbolix {
namespace {

TEST(NearestSystemIndex, NearestEntryAndLowestIndexOnTies) {
    EXPECT_EQ(NearestSystemIndex(kBlack), 0);   // also cube entry 10
    EXPECT_EQ(NearestSystemIndex(kWhite), 225); // also static entry 255
    EXPECT_EQ(NearestSystemIndex(MakeColour(0xC0, 0xC0, 0xC0)), 7);
    EXPECT_EQ(NearestSystemIndex(0x80808080), 248); // dark grey; the high byte does not count
    EXPECT_EQ(NearestSystemIndex(MakeColour(60, 60, 60)), 230); // grey k = 4
    // (6, 6, 6) is 108 away from black and from grey 12 (entry 226); (7, 7, 7) is nearer grey 12.
    EXPECT_EQ(NearestSystemIndex(MakeColour(6, 6, 6)), 0);
    EXPECT_EQ(NearestSystemIndex(MakeColour(7, 7, 7)), 226);
    // (60, 110, 250): cube levels 51, 102, 255.
    EXPECT_EQ(NearestSystemIndex(MakeColour(60, 110, 250)), 10 + 36 + 12 + 5);
    // (48, 32, 16): grey 36 (entry 228) is 144 + 16 + 400 = 560 away, the cube's (51, 51, 0)
    // 9 + 361 + 256 = 626.
    EXPECT_EQ(NearestSystemIndex(MakeColour(48, 32, 16)), 228);
    EXPECT_EQ(FillPalette()[228], MakeColour(36, 36, 36));
}

TEST(FillSolid, PixelLayoutsByDepth) {
    const Colour colour = MakeColour(0x30, 0x20, 0x10);
    std::vector<uint8_t> at32(3 * 2 * 4), grey32(4), at24(3), white16(3 * 2 * 2), at8(5);
    FillSolid(32, colour, 3, 2, at32);
    for (std::size_t i = 0; i < at32.size(); i += 4)
        EXPECT_EQ(std::vector<int>(at32.begin() + i, at32.begin() + i + 4),
                  (std::vector<int>{0x10, 0x20, 0x30, 0x00}));
    FillSolid(32, 0x80808080, 1, 1, grey32);
    EXPECT_EQ(grey32, (std::vector<uint8_t>{0x80, 0x80, 0x80, 0x80}));
    FillSolid(24, colour, 1, 1, at24);
    EXPECT_EQ(at24, (std::vector<uint8_t>{0x10, 0x20, 0x30}));
    FillSolid(16, kWhite, 3, 2, white16);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(test::Word16(white16, i), 0xFFDF);
    EXPECT_EQ(white16[0], 0xDF); // low byte first
    FillSolid(8, MakeColour(0, 0, 255), 5, 1, at8);
    EXPECT_EQ(at8, std::vector<uint8_t>(5, 15));

    std::vector<uint8_t> at15 = test::UntouchedBuffer(3, 2, 2);
    FillSolid(15, colour, 3, 2, at15);
    EXPECT_EQ(at15, test::UntouchedBuffer(3, 2, 2));
}

std::vector<int> Bits(const std::vector<uint8_t>& dib) {
    return std::vector<int>(dib.begin() + kDibHeaderSize, dib.end());
}

TEST(PackDeviceBitmap, ScreenPixelsToTheDib) {
    // 32-bit screen: the first three bytes of each pixel, rows of 6 bytes padded to 8.
    const auto from32 = PackDeviceBitmap(
        std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 2, 2, 32, 24);
    const DibHeader header = ReadDibHeader(from32);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 2);
    EXPECT_EQ(header.biHeight, 2);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biSizeImage, 16u);
    EXPECT_EQ(Bits(from32),
              (std::vector<int>{1, 2, 3, 5, 6, 7, 0, 0, 9, 10, 11, 13, 14, 15, 0, 0}));

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
    EXPECT_EQ(ReadDibHeader(from8).biBitCount, 8);
    EXPECT_EQ(ReadDibHeader(from8).biClrUsed, 0u);
    EXPECT_EQ(Bits(from8), (std::vector<int>{1, 2, 3, 0, 4, 5, 6, 0}));

    EXPECT_TRUE(PackDeviceBitmap(words, 2, 2, 16, 24).empty()); // fewer pixels than the size
}

} // namespace
} // namespace arbolix
