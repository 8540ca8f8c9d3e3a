#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "TextureFiles.h"
#include "fills/fill_resources.h"
#include "support/test_support.h"
#include "texgen/noise.h"
#include "texgen/painters.h"
#include "texgen/texgen.h"

namespace arbolix {
namespace {

struct ExpectedTexture {
    int32_t id, width, height, bits;
};

// The sizes and depths of the texture bitmaps, in the order of the texture page's buttons.
std::vector<ExpectedTexture> ExpectedTextures() {
    std::vector<ExpectedTexture> list{{162, 128, 128, 8}};
    for (int32_t id = 167; id <= 188; ++id) list.push_back({id, 128, 128, 8});
    list.insert(list.end(), {{189, 135, 135, 8},
                             {190, 135, 131, 8},
                             {191, 125, 124, 24},
                             {192, 140, 124, 8},
                             {193, 144, 109, 24},
                             {194, 148, 148, 8},
                             {195, 135, 135, 8}});
    return list;
}

std::string FileName(int32_t id) {
    return "texture-" + std::to_string(id) + ".bmp";
}

const embedded::EmbeddedFile* EmbeddedTexture(int32_t id) {
    return embedded::FindEmbeddedFile(embedded::TextureFiles(), FileName(id));
}

uint32_t Read16(const unsigned char* p) {
    return p[0] | static_cast<uint32_t>(p[1]) << 8;
}
uint32_t Read32(const unsigned char* p) {
    return Read16(p) | Read16(p + 2) << 16;
}

ResourceBitmap Load(int32_t id) {
    ResourceBitmap bitmap;
    EXPECT_TRUE(LoadTextureBitmap(id, bitmap)) << "texture " << id;
    return bitmap;
}

// Mean absolute difference, over the three channels, between columns a and b (across) or rows
// a and b.
double Difference(const ResourceBitmap& t, bool across, int32_t a, int32_t b) {
    const int32_t count = across ? t.height : t.width;
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i) {
        const size_t pa =
            across ? static_cast<size_t>(i) * t.width + a : static_cast<size_t>(a) * t.width + i;
        const size_t pb =
            across ? static_cast<size_t>(i) * t.width + b : static_cast<size_t>(b) * t.width + i;
        for (int32_t c = 0; c < 3; ++c) sum += std::abs(t.bgr[pa * 3 + c] - t.bgr[pb * 3 + c]);
    }
    return static_cast<double>(sum) / (3.0 * count);
}

// The step from the last column (row) to the first, against the steps between neighbouring
// columns (rows) inside the picture: their mean and the largest.
struct Steps {
    double wrap;
    double mean;
    double largest;
};

Steps MeasureSteps(const ResourceBitmap& t, bool across) {
    const int32_t count = across ? t.width : t.height;
    Steps steps{Difference(t, across, count - 1, 0), 0.0, 0.0};
    for (int32_t i = 0; i + 1 < count; ++i) {
        const double d = Difference(t, across, i, i + 1);
        steps.mean += d;
        steps.largest = std::max(steps.largest, d);
    }
    steps.mean /= count - 1;
    return steps;
}

// The left `width` columns of a texture: cut anywhere but at its period, it no longer tiles.
ResourceBitmap CutWidth(const ResourceBitmap& t, int32_t width) {
    ResourceBitmap cut;
    cut.width = width;
    cut.height = t.height;
    for (int32_t y = 0; y < t.height; ++y) {
        const auto row = t.bgr.begin() + static_cast<std::ptrdiff_t>(y) * t.width * 3;
        cut.bgr.insert(cut.bgr.end(), row, row + static_cast<std::ptrdiff_t>(width) * 3);
    }
    return cut;
}

TEST(Textures, IdsFollowTheTexturePageButtons) {
    const std::vector<int32_t>& ids = TextureIds();
    ASSERT_EQ(ids.size(), 30u);
    EXPECT_EQ(ids.front(), 162);
    for (size_t i = 1; i < ids.size(); ++i) EXPECT_EQ(ids[i], static_cast<int32_t>(166 + i));
    // Button 1045 (id = control − 863) selects texture 182.
    EXPECT_EQ(ids[1045 - 1030 + 1], 182);
    for (int32_t id : {0, -1, 161, 163, 166, 196, 207}) {
        ResourceBitmap bitmap;
        bitmap.width = 7;
        EXPECT_FALSE(LoadTextureBitmap(id, bitmap)) << id;
        EXPECT_EQ(bitmap.width, 7) << "a failed load leaves the output alone";
    }
}

// Each texture: the generator's output, committed and built into the program, a BMP file of its
// size and depth that loads at that size.
TEST(Textures, EachIsTheGeneratorsOutputAtItsSizeAndDepth) {
    const std::filesystem::path folder =
        std::filesystem::path(ARBOLIX_SOURCE_DIR) / "resources" / "textures";
    const std::vector<texgen::TextureKind>& kinds = texgen::TextureKinds();
    const std::vector<ExpectedTexture> expected = ExpectedTextures();
    ASSERT_EQ(kinds.size(), expected.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        const ExpectedTexture& e = expected[i];
        SCOPED_TRACE("texture " + std::to_string(e.id));
        EXPECT_EQ(kinds[i].id, e.id);
        const std::vector<uint8_t> made = texgen::MakeTextureFile(e.id);
        ASSERT_GE(made.size(), 54u);
        EXPECT_TRUE(test::ReadFileBytes(folder / FileName(e.id)) ==
                    std::string(made.begin(), made.end()))
            << "resources/textures is out of date: run `cmake --build build --target "
               "arbolix_textures`";
        const embedded::EmbeddedFile* file = EmbeddedTexture(e.id);
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(file->size == made.size() && std::equal(made.begin(), made.end(), file->data))
            << "the program holds an older texture: rebuild";

        // The loader reads the rest of the header (and refuses a compressed file).
        EXPECT_EQ(Read32(made.data() + 2), made.size());
        EXPECT_EQ(static_cast<int32_t>(Read16(made.data() + 28)), e.bits);
        const ResourceBitmap bitmap = Load(e.id);
        EXPECT_EQ(bitmap.width, e.width);
        EXPECT_EQ(bitmap.height, e.height);
        EXPECT_EQ(bitmap.bgr.size(), static_cast<size_t>(e.width) * e.height * 3);
        // An 8-bit texture draws from its own palette of at most 256 colours; a 24-bit one uses
        // far more colours than a palette could hold.
        std::set<uint32_t> colours;
        for (size_t p = 0; p < bitmap.bgr.size(); p += 3)
            colours.insert(bitmap.bgr[p] | bitmap.bgr[p + 1] << 8 |
                           static_cast<uint32_t>(bitmap.bgr[p + 2]) << 16);
        if (e.bits == 8) {
            EXPECT_LE(colours.size(), 256u);
            EXPECT_GE(colours.size(), 32u)
                << "a palette chosen for the texture, not a handful of colours";
        } else {
            EXPECT_GT(colours.size(), 2000u);
        }
    }
    EXPECT_TRUE(texgen::MakeTextureFile(163).empty());
    EXPECT_EQ(embedded::TextureFiles().size(), 30u) << "only the textures are embedded";
}

TEST(Textures, RowsComeTopFirst) {
    // The sky (190) is deep blue along its top and bottom edges and light across its middle.
    const ResourceBitmap sky = Load(190);
    auto brightness = [&](int32_t y) {
        const auto row = sky.bgr.begin() + static_cast<std::ptrdiff_t>(y) * sky.width * 3;
        return std::accumulate(row, row + sky.width * 3, 0.0) / (sky.width * 3);
    };
    EXPECT_LT(brightness(0) + 30, brightness(sky.height / 2));

    // A 24-bit file stores its bottom row first, each row padded to 4 bytes, blue first.
    const ResourceBitmap pebbles = Load(193);
    const embedded::EmbeddedFile* file = EmbeddedTexture(193);
    ASSERT_NE(file, nullptr);
    const size_t offset = Read32(file->data + 10);
    const size_t rowSize = (144 * 3 + 3) / 4 * 4;
    for (int32_t x : {0, 1, 77, 143}) {
        const unsigned char* stored = file->data + offset + 108 * rowSize + x * 3; // top row
        for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(pebbles.bgr[x * 3 + c], stored[c]) << "x " << x;
        const unsigned char* bottom = file->data + offset + x * 3;
        for (int32_t c = 0; c < 3; ++c)
            EXPECT_EQ(pebbles.bgr[(108 * 144 + x) * 3 + c], bottom[c]) << "x " << x;
    }
}

TEST(Textures, AreDistinct) {
    std::vector<ResourceBitmap> bitmaps;
    for (int32_t id : TextureIds()) bitmaps.push_back(Load(id));
    for (size_t a = 0; a < bitmaps.size(); ++a) {
        for (size_t b = a + 1; b < bitmaps.size(); ++b) {
            const ResourceBitmap& x = bitmaps[a];
            const ResourceBitmap& y = bitmaps[b];
            if (x.width != y.width || x.height != y.height) continue;
            int64_t sum = 0;
            for (size_t i = 0; i < x.bgr.size(); ++i) sum += std::abs(x.bgr[i] - y.bgr[i]);
            EXPECT_GT(static_cast<double>(sum) / x.bgr.size(), 8.0)
                << "textures " << TextureIds()[a] << " and " << TextureIds()[b] << " look alike";
        }
    }
}

TEST(Textures, TileWithoutSeams) {
    // Where copies of a texture meet, the step is one more step between neighbours: of the order
    // of their mean and no larger than the largest inside the picture (ring edges of the wood,
    // strand edges of the basket are large steps wherever they fall).
    for (int32_t id : TextureIds()) {
        const ResourceBitmap t = Load(id);
        for (bool across : {true, false}) {
            const Steps s = MeasureSteps(t, across);
            const char* where = across ? ": last column to first" : ": last row to first";
            EXPECT_LT(s.wrap, 4.0 * s.mean) << "texture " << id << where;
            EXPECT_LE(s.wrap, 1.25 * s.largest) << "texture " << id << where;
        }
    }
}

TEST(Textures, SeamMeasureNoticesACutTexture) {
    // Smooth textures cut short of their period show a step where the copies meet that stands
    // out against every step inside them.
    for (int32_t id : {167, 175, 189, 190}) {
        const Steps s = MeasureSteps(CutWidth(Load(id), 90), true);
        EXPECT_GT(s.wrap, 1.5 * s.largest) << "texture " << id;
        EXPECT_GT(s.wrap, 4.0 * s.mean) << "texture " << id;
    }
}

TEST(TextureGenerator, DrawingsRepeatWithTheBitmapSize) {
    // Each texture is drawn by a function of the plane; shifted by its width or height it gives
    // the same colour, which is what makes the bitmaps tile exactly.
    for (const texgen::TextureKind& kind : texgen::TextureKinds()) {
        const texgen::Field field(kind.width, kind.height);
        int samples = 0;
        const texgen::Painter painter = texgen::MakePainter(kind.id, field, samples);
        ASSERT_TRUE(painter) << kind.id;
        EXPECT_GE(samples, 1);
        texgen::Random random(static_cast<uint64_t>(kind.id));
        double worst = 0;
        for (int i = 0; i < 300; ++i) {
            const double x = random.range(0.0, kind.width);
            const double y = random.range(0.0, kind.height);
            const texgen::Rgb a = painter(x, y);
            for (const texgen::Rgb& b : {painter(x + kind.width, y), painter(x, y - kind.height),
                                         painter(x - 2.0 * kind.width, y + kind.height)}) {
                worst = std::max(
                    {worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
        }
        EXPECT_LT(worst, 1e-9) << "texture " << kind.id << " (" << kind.name << ")";
    }
}

// (That the noise repeats with the field's size shows in DrawingsRepeatWithTheBitmapSize: every
// kind of noise feeds some texture.)
TEST(TextureGenerator, NoiseStaysInRange) {
    const texgen::Field field(135, 131);
    texgen::Random random(7);
    for (int i = 0; i < 200; ++i) {
        const double x = random.range(-200.0, 200.0);
        const double y = random.range(-200.0, 200.0);
        const double g = field.gradient(x, y, 3, 5, 1);
        EXPECT_TRUE(g >= -1.0 && g <= 1.0) << g;
        const double v = field.value(x, y, 4, 2, 2);
        EXPECT_TRUE(v >= 0.0 && v <= 1.0) << v;
        const texgen::Field::Cells c = field.cells(x, y, 6, 5, 1.0, 3);
        EXPECT_LE(c.f1, c.f2);
    }
    // Our own sine follows the library's closely (it exists for bit-exact results everywhere).
    for (double a = -10.0; a <= 10.0; a += 0.37)
        EXPECT_NEAR(texgen::Sin(a), std::sin(a), 1e-10) << a;
    // Different seeds give different noise.
    EXPECT_NE(field.gradient(10.3, 20.7, 3, 3, 1), field.gradient(10.3, 20.7, 3, 3, 2));
}

} // namespace
} // namespace arbolix
