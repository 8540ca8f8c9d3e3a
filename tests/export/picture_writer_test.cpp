#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export/export_test_support.h"
#include "export/picture_writer.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

using test::FolderEntries;
using test::ReadFileBytes;
using Names = std::vector<std::string>;

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

// 64 × 48: the pen's colour top left, red top right, black bottom left, white bottom right, on the
// background, and between them a band of 32 × 48 different colours (blue odd, so none is black).
Canvas ChartLikeCanvas() {
    Canvas canvas(64, 48, kBackground);
    canvas.fillRect(0, 0, 16, 16, kPen);
    canvas.fillRect(48, 0, 64, 16, kRed);
    canvas.fillRect(0, 32, 16, 48, kBlack);
    canvas.fillRect(48, 32, 64, 48, kWhite);
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 16; x < 48; ++x)
            canvas.set(x, y, MakeColour(uint8_t(x * 8), uint8_t(y * 5), uint8_t(x * y) | 1));
    return canvas;
}

struct Unloader {
    void operator()(FIBITMAP* picture) const { FreeImage_Unload(picture); }
};
using Picture = std::unique_ptr<FIBITMAP, Unloader>;

Picture Load(const std::filesystem::path& file) {
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(file.c_str(), 0);
    if (format == FIF_UNKNOWN) return nullptr;
    return Picture(FreeImage_Load(format, file.c_str(), 0));
}

Colour PaletteColour(const RGBQUAD& entry) {
    return MakeColour(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}

// The colour at (x, y), y counted from the top as in the chart.
Colour ColourAt(FIBITMAP* picture, int32_t x, int32_t y) {
    const unsigned row = FreeImage_GetHeight(picture) - 1 - y;
    if (FreeImage_GetBPP(picture) <= 8) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(picture, x, row, &index);
        return PaletteColour(FreeImage_GetPalette(picture)[index]);
    }
    RGBQUAD value{};
    FreeImage_GetPixelColor(picture, x, row, &value);
    return PaletteColour(value);
}

bool Near(Colour a, Colour b, int tolerance) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance &&
           std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

size_t DistinctColours(FIBITMAP* picture) {
    std::set<Colour> colours;
    for (unsigned y = 0; y < FreeImage_GetHeight(picture); ++y)
        for (unsigned x = 0; x < FreeImage_GetWidth(picture); ++x)
            colours.insert(ColourAt(picture, int32_t(x), int32_t(y)));
    return colours.size();
}

std::string Le32(uint32_t value) {
    return {char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF),
            char(value >> 24)};
}

TEST(MonochromeRule, PixelsGoToTheNearerOfPenAndBackground) {
    const auto index = [](Colour pixel, Colour pen, Colour background) {
        return MonochromeIndex(RedOf(pixel), GreenOf(pixel), BlueOf(pixel), pen, background);
    };
    EXPECT_EQ(index(kBackground, kPen, kBackground), 1);
    EXPECT_EQ(index(kPen, kPen, kBackground), 0);
    EXPECT_EQ(index(MakeColour(0xFF, 0xFF, 0xE0), kBlack, kWhite), 1); // light box fill
    EXPECT_EQ(index(MakeColour(0x40, 0x00, 0x80), kBlack, kWhite), 0); // dark box fill
    // A white pen on a black background: light pixels are drawing, not background.
    EXPECT_EQ(index(MakeColour(0xE0, 0xE0, 0xE0), kWhite, kBlack), 0);
    EXPECT_EQ(index(MakeColour(0x20, 0x20, 0x20), kWhite, kBlack), 1);
    // Distances weigh green far above blue: 40 steps of green from the pen count for more than
    // 60 steps of blue from the background.
    const Colour grey = MakeColour(0x80, 0x80, 0x80);
    EXPECT_EQ(index(grey, MakeColour(0x80, 0xA8, 0x80), MakeColour(0x80, 0x80, 0xBC)), 1);
    EXPECT_EQ(index(grey, MakeColour(0x80, 0x80, 0xBC), MakeColour(0x80, 0xA8, 0x80)), 0);
    // Halfway goes to the pen; the background colour itself always stays background.
    EXPECT_EQ(index(MakeColour(0x40, 0x80, 0x80), MakeColour(0x00, 0x80, 0x80), grey), 0);
    EXPECT_EQ(index(kPen, kPen, kPen), 1);
    EXPECT_EQ(index(kRed, kPen, kPen), 0);
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
    EXPECT_TRUE(reporter.messages.empty());

    std::string expected = "BM" + Le32(3 * 8 + 62) + Le32(0) + Le32(62);
    expected += Le32(40) + Le32(40) + Le32(3) + std::string("\x01\x00\x01\x00", 4) + Le32(0) +
                Le32(24) + Le32(3937) + Le32(3937) + Le32(2) + Le32(0);
    expected += std::string("\x30\x20\x10\x00", 4) + std::string("\xD0\xE0\xF0\x00", 4);
    expected += std::string("\xFF\xFF\xFF\xFF\xFE\x00\x00\x00", 8); // bottom row first
    expected += std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00\x00", 8);
    expected += std::string("\x7F\xBF\xFF\xFF\xFF\x00\x00\x00", 8); // top row
    EXPECT_EQ(ReadFileBytes(dir.file("a.bmp")), expected);

    // Another reader sees the same picture.
    const Picture picture = Load(dir.file("a.bmp"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(FreeImage_GetBPP(picture.get()), 1u);
    EXPECT_EQ(ColourAt(picture.get(), 0, 0), kPen);
    EXPECT_EQ(ColourAt(picture.get(), 1, 0), kBackground);
    EXPECT_EQ(ColourAt(picture.get(), 39, 2), kPen);
    EXPECT_EQ(FreeImage_GetDotsPerMeterX(picture.get()), 3937u);
}

// What a file of each format and mode holds: depth, colour type, the colours found in the pen's
// block and in the red block, and how many colours in all (negative: at most that many).
struct Expected {
    const char* name;
    ColourMode mode;
    unsigned depth;
    FREE_IMAGE_COLOR_TYPE colourType;
    Colour atPen;
    Colour atRed;
    int colours;
};

constexpr Colour kSomeGrey = 0x01000000; // any colour with red = green = blue
constexpr int kAllColours = 32 * 48 + 5;

TEST(PictureWriters, EachFormatAndModeGivesItsDepthAndColours) {
    const std::vector<Expected> table = {
        {"0.bmp", kColourMonochrome, 1, FIC_PALETTE, kPen, kPen, 2},
        {"1.bmp", kColourGrey, 8, FIC_MINISBLACK, kSomeGrey, kSomeGrey, 0},
        {"2.bmp", kColour256, 8, FIC_PALETTE, kPen, kRed, -256},
        {"3.bmp", kColour24Bits, 24, FIC_RGB, kPen, kRed, kAllColours},
        {"0.jpg", kColourMonochrome, 24, FIC_RGB, kBlack, kBlack, 0},
        {"1.jpg", kColourGrey, 8, FIC_MINISBLACK, kSomeGrey, kSomeGrey, 0},
        {"2.jpg", kColour256, 24, FIC_RGB, kPen, kRed, 0},
        {"3.jpg", kColour24Bits, 24, FIC_RGB, kPen, kRed, 0},
        {"0.png", kColourMonochrome, 24, FIC_RGB, kPen, kPen, 2},
        {"1.png", kColourGrey, 8, FIC_MINISBLACK, kSomeGrey, kSomeGrey, 0},
        {"2.png", kColour256, 24, FIC_RGB, kPen, kRed, -256},
        {"3.png", kColour24Bits, 24, FIC_RGB, kPen, kRed, kAllColours},
        {"0.tif", kColourMonochrome, 24, FIC_RGB, kBlack, kBlack, 2},
        {"1.tif", kColourGrey, 24, FIC_RGB, kPen, kRed, kAllColours},
        {"2.tif", kColour256, 24, FIC_RGB, kPen, kRed, kAllColours},
        {"3.tif", kColour24Bits, 24, FIC_RGB, kPen, kRed, kAllColours},
    };
    const Canvas canvas = ChartLikeCanvas();
    test::TempDir dir;
    for (const Expected& row : table) {
        SCOPED_TRACE(row.name);
        ListReporter reporter;
        ASSERT_EQ(WritePictureFile(canvas.bitmap(), row.mode, dir.file(row.name).string(),
                                   kBackground, kPen, reporter),
                  PictureWriteResult::Written);
        EXPECT_TRUE(reporter.messages.empty());
        const Picture picture = Load(dir.file(row.name));
        ASSERT_TRUE(picture);
        FIBITMAP* p = picture.get();
        EXPECT_EQ(FreeImage_GetWidth(p), 64u);
        EXPECT_EQ(FreeImage_GetHeight(p), 48u);
        EXPECT_EQ(FreeImage_GetBPP(p), row.depth);
        EXPECT_EQ(FreeImage_GetColorType(p), row.colourType);

        const bool jpeg = std::string(row.name).ends_with(".jpg");
        const int tolerance = jpeg ? 10 : row.mode == kColour256 ? 8 : 0;
        if (row.atPen == kSomeGrey) {
            const RGBQUAD* palette = FreeImage_GetPalette(p);
            ASSERT_NE(palette, nullptr);
            for (int i = 0; i < 256; ++i)
                ASSERT_EQ(PaletteColour(palette[i]),
                          MakeColour(uint8_t(i), uint8_t(i), uint8_t(i)));
            EXPECT_TRUE(Near(ColourAt(p, 8, 40), kBlack, tolerance));
            EXPECT_TRUE(Near(ColourAt(p, 56, 40), kWhite, tolerance));
            EXPECT_GT(RedOf(ColourAt(p, 56, 8)), RedOf(ColourAt(p, 8, 8)));
        } else {
            EXPECT_TRUE(Near(ColourAt(p, 8, 8), row.atPen, tolerance));
            EXPECT_TRUE(Near(ColourAt(p, 56, 8), row.atRed, tolerance));
        }
        if (row.colours > 0) {
            EXPECT_EQ(DistinctColours(p), size_t(row.colours));
        } else if (row.colours < 0) {
            EXPECT_LE(DistinctColours(p), size_t(-row.colours));
        }
    }
    // The monochrome BMP's palette is the pen's colour, then the background's.
    const Picture bmp = Load(dir.file("0.bmp"));
    EXPECT_EQ(PaletteColour(FreeImage_GetPalette(bmp.get())[0]), kPen);
    EXPECT_EQ(PaletteColour(FreeImage_GetPalette(bmp.get())[1]), kBackground);
}

TEST(PictureSize, FollowsTheWidthAndPixelRules) {
    EXPECT_EQ(AdjustPictureSize(1000, 700, kColourMonochrome, 0, 0).width, 992);
    EXPECT_EQ(AdjustPictureSize(1000, 700, kColour24Bits, 0, 0).width, 992);
    EXPECT_EQ(AdjustPictureSize(1000, 700, kColour24Bits, 0, 0).height, 700);
    for (ColourMode mode : {kColourGrey, kColour256, kColour24Bits}) {
        EXPECT_EQ(AdjustPictureSize(8192, 8192, mode, 0, 0).width, 2016);
        EXPECT_EQ(AdjustPictureSize(8192, 8192, mode, 0, 0).height, 2041);
    }
    EXPECT_EQ(AdjustPictureSize(8192, 8192, kColourMonochrome, 0, 0).height, 8192); // no cap

    // Exactly at the cap nothing is scaled; above it the proportions are kept.
    EXPECT_EQ(AdjustPictureSize(4096, 1018, kColour24Bits, 0, 0).height, 1018);
    const PictureSize wide = AdjustPictureSize(8192, 2048, kColour24Bits, 0, 0);
    EXPECT_EQ(wide.height, 1020); // 2048 × √(4169728 ÷ 16777216) = 1020.99…
    EXPECT_EQ(wide.width, 4064);  // 8192 × the same factor = 4083.98…, rounded down to 32

    // Height 0 takes the window's proportions.
    EXPECT_EQ(AdjustPictureSize(1024, 0, kColour24Bits, 800, 600).height, 768);
    EXPECT_EQ(AdjustPictureSize(1000, 0, kColourMonochrome, 300, 200).height, 666);
    EXPECT_EQ(AdjustPictureSize(1024, 0, kColour24Bits, 0, 0).height, 1024);
    EXPECT_EQ(AdjustPictureSize(20, 10, kColourMonochrome, 0, 0).width, 32); // one word at least
}

TEST(PictureWriters, TheExtensionChoosesTheFormatInAnyCase) {
    for (const char* other : {"a.gif", "a.txt", "bmp", "a.bmp.txt", "dossier.bmp/a", "a.bm"})
        EXPECT_EQ(PictureFormatOfPath(other), PictureFormat::Unknown) << other;

    const Canvas canvas = ChartLikeCanvas();
    test::TempDir dir;
    ListReporter reporter;
    const std::vector<std::pair<std::string, FREE_IMAGE_FORMAT>> files = {
        {"ARBRE.BMP", FIF_BMP}, {"b.Jpg", FIF_JPEG}, {"c.JPEG", FIF_JPEG},
        {"d.Png", FIF_PNG},     {"e.TIF", FIF_TIFF}, {"f.tiff", FIF_TIFF}};
    for (const auto& [name, format] : files) {
        ASSERT_EQ(WritePictureFile(canvas.bitmap(), kColourMonochrome, dir.file(name).string(),
                                   kBackground, kPen, reporter),
                  PictureWriteResult::Written);
        EXPECT_EQ(FreeImage_GetFileType(dir.file(name).c_str(), 0), format) << name;
    }
    EXPECT_EQ(WritePictureFile(canvas.bitmap(), kColourMonochrome, dir.file("g.gif").string(),
                               kBackground, kPen, reporter),
              PictureWriteResult::UnknownType);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(FolderEntries(dir.path()).size(), files.size());
}

// Writes through the writer of the file's extension; the one message reported ("" when the file
// is written, the count when there are several).
std::string OnlyMessage(const RenderedBitmap& bitmap, ColourMode mode,
                        const std::filesystem::path& file) {
    ListReporter reporter;
    const PictureWriteResult result =
        WritePictureFile(bitmap, mode, file.string(), kBackground, kPen, reporter);
    EXPECT_EQ(result == PictureWriteResult::Failed, !reporter.messages.empty()) << file;
    if (reporter.messages.size() > 1) return std::to_string(reporter.messages.size()) + " messages";
    if (reporter.messages.empty()) return "";
    const Message& message = reporter.messages[0];
    // Only the PNG writer's bitmap failure has its own caption and icon.
    EXPECT_EQ(message.icon, message.caption == "GetBitmapBits" ? MessageIcon::Information
                                                               : MessageIcon::Exclamation);
    return message.caption == "arbolix" ? message.text : message.caption + ": " + message.text;
}

TEST(PictureWriters, FailuresAreReportedAndKeepWhatWasThere) {
    const Canvas canvas = ChartLikeCanvas();
    const RenderedBitmap bitmap = canvas.bitmap();
    test::TempDir dir;
    // The monochrome BMP has its own writer; the others go through FreeImage.
    EXPECT_EQ(OnlyMessage(bitmap, kColourMonochrome, dir.file("absent/a.bmp")), "Erreur OpenFile");
    EXPECT_EQ(OnlyMessage(bitmap, kColour24Bits, dir.file("absent/a.bmp")), "Erreur OpenFile");
    EXPECT_EQ(OnlyMessage(bitmap, kColourMonochrome, dir.file("absent/a.jpg")), "Erreur OpenFile");

    ASSERT_TRUE(test::WriteFileBytes(dir.file("a.bmp"), "old picture"));
    ASSERT_TRUE(test::WriteFileBytes(dir.file("a.tif"), "old picture"));
    {
        test::FileSizeLimit limit(200); // every picture of this canvas is larger
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(OnlyMessage(bitmap, kColourMonochrome, dir.file("a.bmp")), "Erreur _lwrite");
        EXPECT_EQ(OnlyMessage(bitmap, kColour256, dir.file("a.bmp")), "Erreur _lwrite");
        EXPECT_EQ(OnlyMessage(bitmap, kColour24Bits, dir.file("a.tif")), "Erreur _lwrite");
    }
    EXPECT_EQ(ReadFileBytes(dir.file("a.bmp")), "old picture");
    EXPECT_EQ(ReadFileBytes(dir.file("a.tif")), "old picture");

    RenderedBitmap noPixels = bitmap;
    noPixels.pixels = nullptr;
    RenderedBitmap shortRows = bitmap;
    shortRows.stride = 63 * 4;
    for (const RenderedBitmap& unusable : {noPixels, shortRows}) {
        EXPECT_EQ(OnlyMessage(unusable, kColourMonochrome, dir.file("b.bmp")),
                  "Erreur GetBitmapBits");
        EXPECT_EQ(OnlyMessage(unusable, kColourGrey, dir.file("b.jpg")), "Erreur GetBitmapBits");
        EXPECT_EQ(OnlyMessage(unusable, kColour24Bits, dir.file("b.png")),
                  "GetBitmapBits: Paramètre incorrect.");
    }
    EXPECT_EQ(FolderEntries(dir.path()), (Names{"a.bmp", "a.tif"}));
}

TEST(PictureWriters, AReadOnlyFolderGetsNothing) {
    const Canvas canvas = ChartLikeCanvas();
    test::TempDir dir;
    test::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.usable()) GTEST_SKIP() << "this user can write into a read-only folder";
    EXPECT_EQ(OnlyMessage(canvas.bitmap(), kColourMonochrome, dir.file("a.bmp")),
              "Erreur OpenFile");
    EXPECT_EQ(OnlyMessage(canvas.bitmap(), kColour256, dir.file("a.png")), "Erreur OpenFile");
    EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

} // namespace
} // namespace arbolix
