#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "export/export_test_support.h"
#include "export/picture_writer.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

using test::ReadFileBytes;

constexpr Colour kPen = MakeColour(0x10, 0x20, 0x30);
constexpr Colour kBackground = MakeColour(0xF0, 0xE0, 0xD0);
constexpr Colour kRed = MakeColour(0xFF, 0x00, 0x00);

// A rendered chart in the renderer's layout: blue, green, red, unused; top row first.
struct Canvas {
    Canvas(int32_t width, int32_t height, Colour fill)
        : width(width), height(height), pixels(static_cast<size_t>(width) * height * 4) {
        fillRect(0, 0, width, height, fill);
    }
    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Colour colour) {
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) {
                uint8_t* pixel = &pixels[(static_cast<size_t>(y) * width + x) * 4];
                pixel[0] = BlueOf(colour);
                pixel[1] = GreenOf(colour);
                pixel[2] = RedOf(colour);
            }
    }
    void set(int32_t x, int32_t y, Colour colour) { fillRect(x, y, x + 1, y + 1, colour); }
    RenderedBitmap bitmap() const { return {pixels.data(), width, height, width * 4}; }

    int32_t width, height;
    std::vector<uint8_t> pixels; // the fourth byte of each pixel stays 0
};

// 64 × 48: the pen's colour top left, red top right, on the background, and between them a band
// of 32 × 48 different colours (blue odd, so none is black) for the reductions to work on.
Canvas ChartLikeCanvas() {
    Canvas canvas(64, 48, kBackground);
    canvas.fillRect(0, 0, 16, 16, kPen);
    canvas.fillRect(48, 0, 64, 16, kRed);
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 16; x < 48; ++x)
            canvas.set(x, y, MakeColour(uint8_t(x * 8), uint8_t(y * 5), uint8_t(x * y) | 1));
    return canvas;
}

using Picture = std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)>;

// The colour at (x, y), y counted from the top as in the chart.
Colour ColourAt(FIBITMAP* picture, int32_t x, int32_t y) {
    const Picture rgb(FreeImage_ConvertTo24Bits(picture), &FreeImage_Unload);
    RGBQUAD value{};
    FreeImage_GetPixelColor(rgb.get(), x, FreeImage_GetHeight(picture) - 1 - y, &value);
    return MakeColour(value.rgbRed, value.rgbGreen, value.rgbBlue);
}

bool Near(Colour a, Colour b, int tolerance) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance &&
           std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

std::string Le32(uint32_t value) {
    return {char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF),
            char(value >> 24)};
}

// Distances weigh green far above blue: 40 steps of green from the pen count for more than 60
// steps of blue from the background. The background colour itself stays background, even when
// the pen has it too. (Pixels near the pen or the background show in the monochrome BMP's bytes.)
TEST(MonochromeRule, GreenWeighsMostAndTheBackgroundStays) {
    const Colour green40 = MakeColour(0x80, 0xA8, 0x80), blue60 = MakeColour(0x80, 0x80, 0xBC);
    EXPECT_EQ(MonochromeIndex(0x80, 0x80, 0x80, green40, blue60), 1);
    EXPECT_EQ(MonochromeIndex(0x10, 0x20, 0x30, kPen, kPen), 1);
}

TEST(MonochromeBmp, IsWrittenByteByByte) {
    // 40 pixels wide: 5 bytes of pixels and 3 bytes of padding per row.
    Canvas canvas(40, 3, kBackground);
    canvas.set(0, 0, kPen);
    canvas.set(9, 0, kPen);
    canvas.set(1, 2, MakeColour(0xF8, 0xE8, 0xD8)); // near the background
    canvas.set(39, 2, kBlack);                      // near the pen
    test::TempDir dir;
    ListReporter reporter;
    ASSERT_EQ(WriteBmpFile(canvas.bitmap(), kColourMonochrome, dir.file("a.bmp").string(),
                           kBackground, kPen, reporter),
              0);

    std::string expected = "BM" + Le32(3 * 8 + 62) + Le32(0) + Le32(62);
    expected += Le32(40) + Le32(40) + Le32(3) + std::string("\x01\x00\x01\x00", 4) + Le32(0) +
                Le32(24) + Le32(3937) + Le32(3937) + Le32(2) + Le32(0);
    expected += std::string("\x30\x20\x10\x00", 4) + std::string("\xD0\xE0\xF0\x00", 4);
    expected += std::string("\xFF\xFF\xFF\xFF\xFE\x00\x00\x00", 8); // bottom row first
    expected += std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00\x00", 8);
    expected += std::string("\x7F\xBF\xFF\xFF\xFF\x00\x00\x00", 8); // top row
    EXPECT_EQ(ReadFileBytes(dir.file("a.bmp")), expected);
}

// What a file of each format and mode holds: depth, colour type, and the colours found in the
// pen's block and in the red block.
struct Expected {
    const char* name;
    ColourMode mode;
    unsigned depth;
    FREE_IMAGE_COLOR_TYPE colourType;
    Colour atPen;
    Colour atRed;
};

constexpr Colour kSomeGrey = 0x01000000; // a grey, the red block lighter than the pen's

TEST(PictureWriters, EachFormatAndModeGivesItsDepthAndColours) {
    const std::vector<Expected> table = {
        {"0.bmp", kColourMonochrome, 1, FIC_PALETTE, kPen, kPen},
        {"1.bmp", kColourGrey, 8, FIC_MINISBLACK, kSomeGrey, kSomeGrey},
        {"2.bmp", kColour256, 8, FIC_PALETTE, kPen, kRed},
        {"0.jpg", kColourMonochrome, 24, FIC_RGB, kBlack, kBlack},
        {"1.jpg", kColourGrey, 8, FIC_MINISBLACK, kSomeGrey, kSomeGrey},
        {"0.png", kColourMonochrome, 24, FIC_RGB, kPen, kPen},
        {"1.png", kColourGrey, 8, FIC_MINISBLACK, kSomeGrey, kSomeGrey},
        {"2.png", kColour256, 24, FIC_RGB, kPen, kRed},
        {"0.tif", kColourMonochrome, 24, FIC_RGB, kBlack, kBlack},
        {"1.tif", kColourGrey, 24, FIC_RGB, kPen, kRed},
        {"2.tif", kColour256, 24, FIC_RGB, kPen, kRed},
    };
    const Canvas canvas = ChartLikeCanvas();
    test::TempDir dir;
    for (const Expected& row : table) {
        SCOPED_TRACE(row.name);
        const std::string file = dir.file(row.name).string();
        ListReporter reporter;
        ASSERT_EQ(WritePictureFile(canvas.bitmap(), row.mode, file, kBackground, kPen, reporter),
                  PictureWriteResult::Written);
        const Picture picture(FreeImage_Load(FreeImage_GetFileType(file.c_str()), file.c_str()),
                              &FreeImage_Unload);
        ASSERT_TRUE(picture);
        FIBITMAP* p = picture.get();
        EXPECT_EQ(FreeImage_GetBPP(p), row.depth);
        EXPECT_EQ(FreeImage_GetColorType(p), row.colourType);

        const bool jpeg = file.ends_with(".jpg");
        const int tolerance = jpeg ? 10 : row.mode == kColour256 ? 8 : 0;
        const Colour pen = ColourAt(p, 8, 8), red = ColourAt(p, 56, 8);
        if (row.atPen == kSomeGrey) {
            // (FIC_MINISBLACK: FreeImage found the palette to be the 256 greys in order.)
            EXPECT_GT(RedOf(red), RedOf(pen));
        } else {
            EXPECT_TRUE(Near(pen, row.atPen, tolerance));
            EXPECT_TRUE(Near(red, row.atRed, tolerance));
        }
    }
}

// The web site's compact PNG: a chart of a few colours keeps exactly its pixels in a palette of
// its own colours; one of more than 256 colours stays in 24 bits.
TEST(PictureWriters, CompactPngKeepsEveryPixelWithAPaletteOfTheChartsColours) {
    Canvas few(64, 48, kBackground);
    few.fillRect(0, 0, 16, 16, kPen);
    few.fillRect(48, 0, 64, 16, kRed);
    few.fillRect(20, 30, 40, 40, kBlack);
    const Canvas many = ChartLikeCanvas(); // 32 × 48 colours in its band
    test::TempDir dir;
    for (const auto& [canvas, depth] : {std::pair<const Canvas*, unsigned>{&few, 8}, {&many, 24}}) {
        SCOPED_TRACE(depth);
        const std::string file = dir.file("site.png").string();
        ListReporter reporter;
        ASSERT_EQ(WritePictureFile(canvas->bitmap(), kColour24Bits, file, kBackground, kPen,
                                   reporter, FileSync::Now, PngColours::Compact),
                  PictureWriteResult::Written);
        const Picture picture(FreeImage_Load(FIF_PNG, file.c_str()), &FreeImage_Unload);
        ASSERT_TRUE(picture);
        EXPECT_EQ(FreeImage_GetBPP(picture.get()), depth);
        const Picture rgb(FreeImage_ConvertTo24Bits(picture.get()), &FreeImage_Unload);
        for (int32_t y = 0; y < canvas->height; ++y)
            for (int32_t x = 0; x < canvas->width; ++x) {
                const uint8_t* pixel = &canvas->pixels[(static_cast<size_t>(y) * canvas->width + x) * 4];
                RGBQUAD value{};
                FreeImage_GetPixelColor(rgb.get(), x, canvas->height - 1 - y, &value);
                ASSERT_EQ(MakeColour(value.rgbRed, value.rgbGreen, value.rgbBlue),
                          MakeColour(pixel[2], pixel[1], pixel[0]))
                    << x << "," << y;
            }
    }
}

// (Each format written shows in EachFormatAndModeGivesItsDepthAndColours.)
TEST(PictureWriters, TheExtensionChoosesTheFormatInAnyCase) {
    using F = PictureFormat;
    const std::pair<const char*, PictureFormat> cases[] = {
        {"ARBRE.BMP", F::Bmp}, {"b.Jpg", F::Jpeg},      {"c.JPEG", F::Jpeg},        {"d.Png", F::Png},
        {"e.TIF", F::Tiff},    {"f.tiff", F::Tiff},     {"bmp", F::Unknown},        {"g.gif", F::Unknown},
        {"a.bmp.txt", F::Unknown}, {"dossier.bmp/a", F::Unknown}};
    for (const auto& [path, format] : cases) EXPECT_EQ(PictureFormatOfPath(path), format) << path;
    test::TempDir dir;
    ListReporter reporter;
    EXPECT_EQ(WritePictureFile(ChartLikeCanvas().bitmap(), kColourMonochrome,
                               dir.file("g.gif").string(), kBackground, kPen, reporter),
              PictureWriteResult::UnknownType);
    EXPECT_TRUE(test::FolderEntries(dir.path()).empty());
}

// Writes through the writer of the file's extension, which must fail with one message; that
// message, after its caption when that is not the program's name.
std::string OnlyMessage(const RenderedBitmap& bitmap, ColourMode mode,
                        const std::filesystem::path& file) {
    ListReporter reporter;
    EXPECT_EQ(WritePictureFile(bitmap, mode, file.string(), kBackground, kPen, reporter),
              PictureWriteResult::Failed);
    EXPECT_EQ(reporter.messages.size(), 1u) << file;
    const Message message = reporter.messages.empty() ? Message{} : reporter.messages.back();
    return message.caption == "arbolix" ? message.text : message.caption + ": " + message.text;
}

TEST(PictureWriters, FailuresAreReportedAndKeepWhatWasThere) {
    const Canvas canvas = ChartLikeCanvas();
    const RenderedBitmap bitmap = canvas.bitmap();
    test::TempDir dir;
    // The monochrome BMP has its own writer; the others go through FreeImage.
    // The failed call, then the file and the reason.
    const std::string absent = dir.file("absent/").string();
    EXPECT_EQ(OnlyMessage(bitmap, kColourMonochrome, dir.file("absent/a.bmp")),
              "Erreur OpenFile\n" + absent + "a.bmp : dossier introuvable");

    ASSERT_TRUE(test::WriteFileBytes(dir.file("a.bmp"), "old picture"));
    ASSERT_TRUE(test::WriteFileBytes(dir.file("a.tif"), "old picture"));
    {
        test::FileSizeLimit limit(200); // every picture of this canvas is larger
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(OnlyMessage(bitmap, kColourMonochrome, dir.file("a.bmp")),
                  "Erreur _lwrite\n" + dir.file("a.bmp").string() + " : fichier trop grand pour le disque");
        EXPECT_EQ(OnlyMessage(bitmap, kColour24Bits, dir.file("a.tif")),
                  "Erreur _lwrite\n" + dir.file("a.tif").string() + " : fichier trop grand pour le disque");
    }
    EXPECT_EQ(ReadFileBytes(dir.file("a.bmp")), "old picture");
    EXPECT_EQ(ReadFileBytes(dir.file("a.tif")), "old picture");

    RenderedBitmap shortRows = bitmap;
    shortRows.stride = 63 * 4;
    EXPECT_EQ(OnlyMessage(shortRows, kColourMonochrome, dir.file("b.bmp")), "Erreur GetBitmapBits");
    EXPECT_EQ(OnlyMessage(shortRows, kColour24Bits, dir.file("b.png")),
              "GetBitmapBits: Paramètre incorrect.");
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::vector<std::string>{"a.bmp", "a.tif"}));
}

} // namespace
} // namespace arbolix
