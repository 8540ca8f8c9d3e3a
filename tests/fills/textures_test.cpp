#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TextureFiles.h"
#include "fills/fill_resources.h"
#include "support/test_support.h"
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

ResourceBitmap Load(int32_t id) {
    ResourceBitmap bitmap;
    EXPECT_TRUE(LoadTextureBitmap(id, bitmap)) << "texture " << id;
    return bitmap;
}

// Mean absolute difference, over the three channels, between columns a and b (across) or rows
// a and b.
double Difference(const ResourceBitmap& t, bool across, int32_t a, int32_t b) {
    const int32_t count = across ? t.height : t.width;
    const auto at = [&](int32_t line, int32_t i, int32_t c) {
        return t.bgr[(across ? size_t(i) * t.width + line : size_t(line) * t.width + i) * 3 + c];
    };
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i)
        for (int32_t c = 0; c < 3; ++c) sum += std::abs(at(a, i, c) - at(b, i, c));
    return static_cast<double>(sum) / (3.0 * count);
}

// Tiling the first `period` columns (rows): the step from the last of them to the first, against
// the steps between neighbouring columns (rows) inside them: their mean and the largest.
struct Steps {
    double wrap, mean = 0, largest = 0;
};

Steps MeasureSteps(const ResourceBitmap& t, bool across, int32_t period) {
    Steps steps{Difference(t, across, period - 1, 0)};
    for (int32_t i = 0; i + 1 < period; ++i) {
        const double d = Difference(t, across, i, i + 1);
        steps.mean += d / (period - 1);
        steps.largest = std::max(steps.largest, d);
    }
    return steps;
}

// Each texture: the generator's output, committed and built into the program, a BMP file of its
// size and depth that loads at that size.
TEST(Textures, EachIsTheGeneratorsOutputAtItsSizeAndDepth) {
    const std::filesystem::path folder =
        std::filesystem::path(ARBOLIX_SOURCE_DIR) / "resources" / "textures";
    for (const ExpectedTexture& e : ExpectedTextures()) {
        const std::string name = std::string("texture-") + std::to_string(e.id) + ".bmp";
        SCOPED_TRACE(name);
        const std::vector<uint8_t> made = texgen::MakeTextureFile(e.id);
        ASSERT_GE(made.size(), 54u);
        EXPECT_TRUE(test::ReadFileBytes(folder / name) == std::string(made.begin(), made.end()))
            << "resources/textures is out of date: run `cmake --build build --target "
               "arbolix_textures`";
        const embedded::EmbeddedFile* file =
            embedded::FindEmbeddedFile(embedded::TextureFiles(), name);
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(file->size == made.size() && std::equal(made.begin(), made.end(), file->data))
            << "the program holds an older texture: rebuild";

        EXPECT_EQ(made[28] | made[29] << 8, e.bits);
        const ResourceBitmap bitmap = Load(e.id);
        EXPECT_EQ(bitmap.width, e.width);
        EXPECT_EQ(bitmap.height, e.height);
        EXPECT_EQ(bitmap.bgr.size(), static_cast<size_t>(e.width) * e.height * 3);
    }
}

TEST(Textures, RowsComeTopFirstBlueFirst) {
    // The 24-bit pebbles (144 × 109) store their bottom row first, each row of 432 bytes.
    const ResourceBitmap pebbles = Load(193);
    const std::vector<uint8_t> file = texgen::MakeTextureFile(193);
    const uint8_t* rows = file.data() + (file[10] | file[11] << 8); // the pixel offset, < 64 KiB
    ASSERT_EQ(pebbles.bgr.size(), 109u * 432u);
    EXPECT_TRUE(std::equal(pebbles.bgr.begin(), pebbles.bgr.begin() + 432, rows + 108 * 432));
    EXPECT_TRUE(std::equal(pebbles.bgr.end() - 432, pebbles.bgr.end(), rows));
}

TEST(Textures, TileWithoutSeams) {
    // Where copies of a texture meet, the step is one more step between neighbours: of the order
    // of their mean and no larger than the largest inside the picture (ring edges of the wood,
    // strand edges of the basket are large steps wherever they fall).
    for (int32_t id : TextureIds()) {
        const ResourceBitmap t = Load(id);
        for (bool across : {true, false}) {
            const Steps s = MeasureSteps(t, across, across ? t.width : t.height);
            const char* where = across ? ": last column to first" : ": last row to first";
            EXPECT_LT(s.wrap, 4.0 * s.mean) << "texture " << id << where;
            EXPECT_LE(s.wrap, 1.25 * s.largest) << "texture " << id << where;
        }
    }
}

} // namespace
} // namespace arbolix
