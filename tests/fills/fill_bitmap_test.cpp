#include <gtest/gtest.h>

#include <vector>

#include "fills/fill_bitmap.h"
#include "fills/fill_test_support.h"

namespace arbolix {
namespace {

// Builds a fill of colours black → white (pattern 8 for kind 3), with no file and no flags.
FillBitmap Build(FillMode mode, int32_t bitsPerPixel, int32_t width, int32_t height, int32_t kind,
                 Colour colour1 = kBlack, Colour colour2 = kWhite,
                 ListReporter* reporter = nullptr) {
    ListReporter local;
    FillBitmap fill;
    BuildFill(fill, mode, bitsPerPixel, width, height, kind, colour1, colour2, 0, 0, nullptr, 162,
              8, reporter != nullptr ? *reporter : local);
    return fill;
}

TEST(BuildFill, SolidColourIsADeviceBitmapOnly) {
    const FillBitmap fill =
        Build(FillMode::DeviceBitmap, 32, 140, 15, kFillSolid, MakeColour(0x30, 0x20, 0x10));
    ASSERT_TRUE(fill.hasDeviceBitmap);
    EXPECT_EQ(fill.width, 140);
    EXPECT_EQ(fill.height, 15);
    EXPECT_EQ(fill.bitsPerPixel, 32);
    ASSERT_EQ(fill.pixels.size(), 140u * 15 * 4);
    EXPECT_EQ(std::vector<int>(fill.pixels.end() - 4, fill.pixels.end()),
              (std::vector<int>{0x10, 0x20, 0x30, 0x00}));
    EXPECT_TRUE(fill.dib.empty());
    // The renderer paints solid fills with a brush: nothing is made for it.
    EXPECT_TRUE(Build(FillMode::PackedDib, 32, 140, 15, kFillSolid).empty());
}

TEST(BuildFill, PatternSizesAreCutToMultiplesOfEight) {
    const FillBitmap preview = Build(FillMode::DeviceBitmap, 24, 60, 13, kFillPattern);
    EXPECT_EQ(preview.width, 56);
    EXPECT_EQ(preview.height, 8);
    ASSERT_EQ(preview.pixels.size(), 56u * 8 * 3);
    EXPECT_EQ(test::Red24(preview.pixels, 56, 48, 0), 0xFF); // pattern 8 repeats every 8
    EXPECT_EQ(test::Red24(preview.pixels, 56, 49, 0), 0);

    const FillBitmap tile = Build(FillMode::PackedDib, 32, 60, 8, kFillPattern);
    EXPECT_EQ(tile.width, 56);
    EXPECT_EQ(tile.dibHeader(), (DibHeader{40, 56, 8, 1, 24, kDibRgb, 56 * 3 * 8}));

    // Below 8 the width becomes 0: an empty bitmap.
    const FillBitmap narrow = Build(FillMode::DeviceBitmap, 24, 7, 8, kFillPattern);
    EXPECT_EQ(narrow.width, 0);
    EXPECT_TRUE(narrow.pixels.empty());
    EXPECT_EQ(Build(FillMode::PackedDib, 24, 7, 8, kFillPattern).dib.size(), 40u);
}

TEST(MakePackedDib, RowsArePaddedToFourBytes) {
    FillBitmap fill;
    fill.width = 5;
    fill.height = 2;
    std::vector<uint8_t> pixels(30);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i + 1);
    MakePackedDib(fill, pixels, 3, 15); // rows of 15 bytes in, 16 out
    ASSERT_EQ(fill.dib.size(), 40u + 32);
    EXPECT_EQ(fill.dibHeader(), (DibHeader{40, 5, 2, 1, 24, kDibRgb, 32}));
    EXPECT_EQ((std::vector<int>{fill.dib[40], fill.dib[54], fill.dib[55], fill.dib[56]}),
              (std::vector<int>{1, 15, 0, 16}));

}

// Flag 250 is 3 × 2: blue, white and red columns; no other number has a picture.
class FakeFlags final : public FlagRasterizer {
public:
    bool naturalSize(int32_t flagNumber, int32_t& width, int32_t& height) const override {
        width = 3;
        height = 2;
        return flagNumber == 250;
    }
    bool rasterize(int32_t flagNumber, int32_t width, int32_t height,
                   ResourceBitmap& out) const override {
        out.width = width;
        out.height = height;
        out.bgr = {255, 0, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255};
        return flagNumber == 250;
    }
};

TEST(BuildFill, FlagsAreDeviceBitmapsInBothModes) {
    const FakeFlags flags;
    ListReporter reporter;
    for (FillMode mode : {FillMode::DeviceBitmap, FillMode::PackedDib}) {
        FillBitmap fill;
        BuildFill(fill, mode, 32, 0, 0, kFillResource, 0, 0, 0, 0, nullptr, 250, 0, reporter,
                  &flags);
        ASSERT_TRUE(fill.hasDeviceBitmap);
        EXPECT_TRUE(fill.dib.empty());
        EXPECT_EQ(fill.width, 3);
        EXPECT_EQ(fill.height, 2);
        EXPECT_EQ(fill.bitsPerPixel, 32);
        EXPECT_EQ(std::vector<int>(fill.pixels.begin(), fill.pixels.begin() + 12),
                  (std::vector<int>{255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0}));
    }
    // At 8 bits: blue is entry 10 + 5, white 225, red 10 + 180.
    FillBitmap indexed;
    BuildDeviceFill(indexed, 8, 0, 0, kFillResource, 0, 0, 0, 0, nullptr, 250, 0, reporter, &flags);
    EXPECT_EQ(indexed.pixels, (std::vector<uint8_t>{15, 225, 190, 15, 225, 190}));
    EXPECT_TRUE(reporter.messages.empty());

    // A number without a picture is an error.
    FillBitmap missing;
    BuildFill(missing, FillMode::PackedDib, 24, 0, 0, kFillResource, 0, 0, 0, 0, nullptr, 251, 0,
              reporter, &flags);
    EXPECT_TRUE(missing.empty());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Erreur LoadBitmap");
}

TEST(BuildFill, TextureAtItsOwnSize) {
    ListReporter reporter;
    FillBitmap unknown; // ids 163..166 name no texture
    BuildFill(unknown, FillMode::PackedDib, 32, 16, 16, kFillTexture, 0, 0, 0, 0, nullptr, 164, 0,
              reporter);
    EXPECT_TRUE(unknown.empty());
    EXPECT_TRUE(reporter.messages.empty());

    ResourceBitmap texture;
    ASSERT_TRUE(LoadTextureBitmap(193, texture));
    // The texture's size replaces the 16 × 16 asked for; a 32-bit screen gives 24-bit rows of
    // 144 × 3 = 432 bytes.
    FillBitmap fill;
    BuildFill(fill, FillMode::PackedDib, 32, 16, 16, kFillTexture, 0, 0, 0, 0, nullptr, 193, 0,
              reporter);
    EXPECT_EQ(fill.width, 144);
    EXPECT_EQ(fill.height, 109);
    EXPECT_EQ(fill.dibHeader(), (DibHeader{40, 144, 109, 1, 24, kDibRgb, 432 * 109}));
    ASSERT_EQ(fill.dib.size(), 40u + 432 * 109);
    const std::size_t lastPixel = 108 * 144 * 3 + 143 * 3;
    EXPECT_EQ(std::vector<uint8_t>(fill.dib.begin() + 40 + 432 * 108 + 143 * 3, fill.dib.end()),
              std::vector<uint8_t>(texture.bgr.begin() + lastPixel, texture.bgr.end()));

    EXPECT_TRUE(reporter.messages.empty());
}

} // namespace
} // namespace arbolix
