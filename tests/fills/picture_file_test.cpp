#include <gtest/gtest.h>

#include <FreeImage.h>

#include <string>
#include <tuple>
#include <vector>

#include "fills/fill_bitmap.h"
#include "fills/picture_file.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

// The colour of pixel (x, y) of the test pictures: each pixel of a 300 × 200 picture differs.
Colour Sample(int x, int y) {
    return MakeColour(static_cast<uint8_t>(x % 256), static_cast<uint8_t>(y),
                      static_cast<uint8_t>(x / 256 * 100 + 7));
}

// Writes a 24-bit picture whose pixel (x, y), y from the top, is colour(x, y).
template <typename ColourOf>
bool WritePicture(const std::filesystem::path& file, FREE_IMAGE_FORMAT format, int width,
                  int height, ColourOf colour) {
    FreeImage_Initialise(TRUE);
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, height - 1 - y); // the library is bottom-up
        for (int x = 0; x < width; ++x) {
            const Colour c = colour(x, y);
            row[3 * x + FI_RGBA_BLUE] = BlueOf(c);
            row[3 * x + FI_RGBA_GREEN] = GreenOf(c);
            row[3 * x + FI_RGBA_RED] = RedOf(c);
        }
    }
    const bool written = FreeImage_Save(format, bitmap, file.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    FreeImage_DeInitialise();
    return written;
}

std::vector<int> Bgr(const std::vector<uint8_t>& pixels, std::size_t offset) {
    return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
}
std::vector<int> Bgr(Colour colour) {
    return {BlueOf(colour), GreenOf(colour), RedOf(colour)};
}

// What LoadPictureFile gives back.
struct Loaded {
    int result = 0;
    PictureInfo info;
    int32_t width = 0;
    int32_t height = 0;
};

Loaded Load(const std::string& file, int32_t depth, int32_t width = 0, int32_t height = 0) {
    Loaded loaded{0, {}, width, height};
    loaded.result = LoadPictureFile(file.c_str(), loaded.info, loaded.width, loaded.height, depth);
    return loaded;
}

class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WritePicture(picture, FIF_PNG, 300, 200, Sample)); }

    test::TempDir dir;
    std::string picture = dir.file("family.png").string();
};

// The whole picture, or its left part and top rows, top row first; sizes the picture does not
// reach take its own.
TEST_F(PictureFileTest, WholeOrCutToTheLeftPartAndTheTopRows) {
    const Loaded whole = Load(picture, 24), cut = Load(picture, 24, 100, 50);
    ASSERT_EQ(whole.result + cut.result, 2);
    EXPECT_EQ(std::tuple(whole.width, whole.height, cut.width, cut.height),
              std::tuple(300, 200, 100, 50));
    ASSERT_EQ(whole.info.pixels.size(), 900u * 200); // 900-byte rows need no padding
    for (auto [x, y] : {std::pair{0, 0}, {299, 0}, {0, 199}, {256, 3}, {17, 150}})
        EXPECT_EQ(Bgr(whole.info.pixels, y * 900 + 3 * x), Bgr(Sample(x, y))) << x << "," << y;
    for (auto [x, y] : {std::pair{0, 0}, {99, 0}, {99, 1}, {0, 49}, {99, 49}, {50, 20}})
        EXPECT_EQ(Bgr(cut.info.pixels, y * 300 + 3 * x), Bgr(Sample(x, y))) << x << "," << y;
}

TEST_F(PictureFileTest, DepthsOfTheResult) {
    // Any other depth than 8, 16 and 32 is 24 bits.
    EXPECT_EQ(Load(picture, 16).info.header.biBitCount, 16);
    EXPECT_EQ(Load(picture, 15).info.header.biBitCount, 24);

}

TEST(LoadPictureFile, EightBitPreviewUsesTheFillPalette) {
    // Red left half, blue right half: the preview pixels are the fill palette's entries for
    // red (10 + 36·5) and blue (10 + 5), not the quantizer's own indices.
    test::TempDir dir;
    const std::string file = dir.file("halves.bmp").string();
    ASSERT_TRUE(WritePicture(file, FIF_BMP, 8, 2, [](int x, int) {
        return x < 4 ? MakeColour(255, 0, 0) : MakeColour(0, 0, 255);
    }));
    std::string name = file;
    ListReporter reporter;
    FillBitmap fill;
    BuildDeviceFill(fill, 8, 0, 0, kFillPicture, 0, 0, 0, 0, name.data(), 0, 0, reporter);
    ASSERT_TRUE(fill.hasDeviceBitmap);
    EXPECT_EQ(fill.pixels, (std::vector<uint8_t>{190, 190, 190, 190, 15, 15, 15, 15, 190, 190, 190,
                                                 190, 15, 15, 15, 15}));
}

TEST_F(PictureFileTest, BuildFillShapesOfThePicture) {
    std::string name = picture;
    ListReporter reporter;

    // The renderer's 0 × 0: the picture's own size in a 24-bit DIB, top row first.
    FillBitmap dibFill;
    BuildFill(dibFill, FillMode::PackedDib, 32, 0, 0, kFillPicture, 0, 0, 0, 0, name.data(), 0, 0,
              reporter);
    const DibHeader header = dibFill.dibHeader();
    EXPECT_EQ(header.biWidth, 300);
    EXPECT_EQ(header.biHeight, 200);
    EXPECT_EQ(header.biBitCount, 24);
    const auto bits = dibFill.dibBits();
    EXPECT_EQ((std::vector<int>{bits[199 * 900 + 3], bits[199 * 900 + 4], bits[199 * 900 + 5]}),
              Bgr(Sample(1, 199)));

    // A device bitmap has rows without padding: 101 pixels, 303 bytes a row.
    FillBitmap device;
    BuildDeviceFill(device, 24, 101, 50, kFillPicture, 0, 0, 0, 0, name.data(), 0, 0, reporter);
    ASSERT_EQ(device.pixels.size(), 303u * 50);
    EXPECT_EQ(Bgr(device.pixels, 49 * 303 + 3 * 100), Bgr(Sample(100, 49)));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(BuildFill, UnreadablePictureFallsBackToGrey) {
    test::TempDir dir;
    ASSERT_TRUE(test::WriteFileBytes(dir.file("notes.txt"), "not a picture at all"));
    FillSpec description;
    description.kind = kFillPicture;
    const std::string path = dir.file("notes.txt").string();
    ASSERT_LT(path.size(), sizeof description.fileName);
    path.copy(description.fileName, path.size());

    // The first build tells the user and forgets the name; the fill is plain grey.
    ListReporter reporter;
    FillBitmap fill;
    BuildFill(fill, FillMode::DeviceBitmap, 24, 4, 3, description, reporter);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Format inconnu de fichier");
    EXPECT_EQ(description.fileName[0], '\0');
    EXPECT_EQ(fill.pixels, std::vector<uint8_t>(4 * 3 * 3, 0x80));

    // The next builds are silent; the renderer gets nothing to draw.
    FreeFill(fill);
    BuildFill(fill, FillMode::PackedDib, 24, 0, 0, description, reporter);
    EXPECT_TRUE(fill.empty());
    EXPECT_EQ(reporter.messages.size(), 1u);

}

// Picture files of 16 bits per channel (as many programs write PNG and TIFF files) load at every
// depth, keeping the high byte of each channel.

// A 4 × 3 PNG of one 16-bit colour (red, green, blue; a grey picture takes red).
bool WriteWidePng(const std::string& file, FREE_IMAGE_TYPE type, WORD red, WORD green, WORD blue) {
    FreeImage_Initialise(TRUE);
    const int bpp = type == FIT_UINT16 ? 16 : type == FIT_RGB16 ? 48 : 64;
    FIBITMAP* bitmap = FreeImage_AllocateT(type, 4, 3, bpp);
    for (unsigned y = 0; y < 3; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned x = 0; x < 4; ++x) {
            if (type == FIT_UINT16) {
                reinterpret_cast<WORD*>(row)[x] = red;
            } else if (type == FIT_RGB16) {
                reinterpret_cast<FIRGB16*>(row)[x] = {red, green, blue};
            } else {
                reinterpret_cast<FIRGBA16*>(row)[x] = {red, green, blue, 0xFFFF};
            }
        }
    }
    const bool written = FreeImage_Save(FIF_PNG, bitmap, file.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    FreeImage_DeInitialise();
    return written;
}

TEST(WideChannelPictures, LoadAtEveryDepthWithTheHighBytes) {
    test::TempDir dir;
    struct Case {
        const char* name;
        FREE_IMAGE_TYPE type;
        std::vector<uint8_t> bgr; // the first pixel at 24 bits
    };
    const Case cases[] = {{"rgb16.png", FIT_RGB16, {0xFF, 0x80, 0x12}},
                          {"grey16.png", FIT_UINT16, {0x12, 0x12, 0x12}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file(c.name).string();
        ASSERT_TRUE(WriteWidePng(file, c.type, 0x1234, 0x8000, 0xFF00));
        for (int32_t depth : {8, 16, 24, 32}) {
            PictureInfo info;
            int32_t width = 0, height = 0;
            ASSERT_EQ(LoadPictureFile(file.c_str(), info, width, height, depth), 1) << depth;
            EXPECT_EQ(std::pair(width, height), std::pair(4, 3));
            EXPECT_EQ(info.header.biBitCount, depth);
            if (depth == 24) {
                EXPECT_EQ(std::vector<uint8_t>(info.pixels.begin(), info.pixels.begin() + 3),
                          c.bgr);
            }
        }
    }
}

} // namespace
} // namespace arbolix
