// The fill sheet's rules without its widgets: the pages a screen gets, the buttons of patterns and
// textures, taking a picture file, and the keys written when the sheet closes.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/chart_document.h"
#include "app/commands.h"
#include "app/fill_sheet.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "base/settings.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

// A profile that remembers the order of its writes.
class RecordingProfile final : public Profile {
public:
    std::optional<int32_t> readInt(std::string_view key) const override {
        return memory.readInt(key);
    }
    std::optional<std::string> readString(std::string_view key) const override {
        return memory.readString(key);
    }
    void writeInt(std::string_view key, int32_t value) override {
        written.emplace_back(key);
        memory.writeInt(key, value);
    }
    void writeString(std::string_view key, std::string_view value) override {
        written.emplace_back(key);
        memory.writeString(key, value);
    }
    MemoryProfile memory;
    std::vector<std::string> written;
};

// A 24-bit BMP file of one colour, rows padded to 4 bytes.
std::string SolidBmp(int width, int height, Colour colour) {
    const int rowSize = (width * 3 + 3) / 4 * 4;
    std::string bytes(54 + rowSize * height, '\0');
    const auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(y * rowSize + x * 3);
            bytes[at] = static_cast<char>(BlueOf(colour));
            bytes[at + 1] = static_cast<char>(GreenOf(colour));
            bytes[at + 2] = static_cast<char>(RedOf(colour));
        }
    return bytes;
}

TEST(FillSheet, PagesFollowTheScreenDepth) {
    const auto titles = [](int32_t depth) {
        std::vector<std::string> list;
        for (FillPage page : FillSheetPages(depth)) list.emplace_back(FillPageTitle(page));
        return list;
    };
    const std::vector<std::string> all = {"Dégradé", "Image", "Motif", "Texture"};
    EXPECT_EQ(titles(8), (std::vector<std::string>{"Dégradé", "Image", "Motif"}));
    for (int32_t depth : {16, 24, 32}) EXPECT_EQ(titles(depth), all) << depth;
    for (int32_t depth : {0, 1, 4, 15, 64}) EXPECT_TRUE(titles(depth).empty()) << depth;
}

TEST(FillSheet, ButtonsStandForTheirPatternsAndTextures) {
    const std::pair<int32_t, int32_t> patterns[] = {{1030, 0},  {1065, 35}, {1067, 36}, {1070, 39},
                                                    {1066, -1}, {1029, -1}, {1071, -1}, {1020, -1}};
    for (const auto& [control, pattern] : patterns)
        EXPECT_EQ(PatternOfButton(control), pattern) << control;
    const std::pair<int32_t, int32_t> textures[] = {{1020, 162}, {1030, 167}, {1045, 182},
                                                    {1058, 195}, {1059, 0},   {1029, 0}};
    for (const auto& [control, texture] : textures)
        EXPECT_EQ(TextureOfButton(control), texture) << control;
    // Every pattern and every texture has its own button, and only they have one.
    for (int32_t pattern = 0; pattern < 40; ++pattern)
        EXPECT_EQ(PatternOfButton(PatternButton(pattern)), pattern);
    EXPECT_EQ(PatternButton(40), 0);
    EXPECT_EQ(PatternButton(-1), 0);
    for (int32_t id = 150; id < 200; ++id) {
        const bool exists = id == 162 || (id >= 167 && id <= 195);
        EXPECT_EQ(TextureOfButton(TextureButton(id)), exists ? id : 0) << id;
    }
}

class PictureChoiceTest : public ::testing::Test {
protected:
    PictureChoice choose(const std::string& path) {
        return ChoosePictureFile(fill_, path, 24, preview_, profile_, reporter_);
    }
    test::TempDir dir_;
    FillSpec fill_ = DefaultChartSettings().texture_rectangle;
    FillBitmap preview_;
    MemoryProfile profile_;
    ListReporter reporter_;
};

TEST_F(PictureChoiceTest, AUsablePictureBecomesTheFillAndItsFolderIsRemembered) {
    std::filesystem::create_directory(dir_.file("img"));
    const std::string path = dir_.file("img").string() + "/photo.bmp";
    ASSERT_TRUE(test::WriteFileBytes(path, SolidBmp(100, 50, MakeColour(0x10, 0x20, 0x30))));
    fill_.kind = kFillPattern;
    EXPECT_EQ(choose(path), PictureChoice::Taken);
    EXPECT_EQ(fill_.kind, kFillPicture);
    EXPECT_STREQ(fill_.fileName, path.c_str());
    EXPECT_EQ(profile_.readString("load_bmp"), dir_.file("img").string() + "/");
    // The preview is the picture's top-left corner, at most 80 × 120.
    EXPECT_EQ(std::pair(preview_.width, preview_.height), std::pair(80, 50));
    EXPECT_EQ(std::vector<uint8_t>(preview_.pixels.begin(), preview_.pixels.begin() + 3),
              (std::vector<uint8_t>{0x30, 0x20, 0x10}));
    EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(PictureChoiceTest, AnUnusableOrTooLongPathChangesNothing) {
    const FillSpec before = fill_;
    const std::string text = dir_.file("notes.bmp").string();
    ASSERT_TRUE(test::WriteFileBytes(text, "pas une image"));
    EXPECT_EQ(choose(text), PictureChoice::Unusable);
    ASSERT_EQ(reporter_.messages.size(), 1u);
    EXPECT_EQ(reporter_.messages[0].text, "Format inconnu de fichier");

    // A name that does not fit is refused as it is, not cut into the name of another file.
    const std::string folder = dir_.file(std::string(120, 'd')).string();
    std::filesystem::create_directory(folder);
    const std::string longPath = folder + "/photo.bmp";
    ASSERT_GT(longPath.size(), 127u);
    ASSERT_TRUE(test::WriteFileBytes(longPath, SolidBmp(8, 8, kWhite)));
    EXPECT_EQ(choose(longPath), PictureChoice::TooLong);
    ASSERT_EQ(reporter_.messages.size(), 2u);
    EXPECT_NE(reporter_.messages[1].text.find("trop long"), std::string::npos);
    EXPECT_EQ(fill_, before);
    EXPECT_FALSE(profile_.contains("load_bmp"));
}

TEST(FillSheet, ClosingWritesTheFillKeysInTheSheetOrder) {
    RecordingProfile profile;
    ListReporter reporter;
    ChartDocument document(profile, reporter);
    FillSpec& fill = document.settings().texture_fond;
    fill.kind = kFillPattern;
    fill.patternIndex = 12;
    std::strcpy(fill.fileName, "/img/photo.png");
    EXPECT_EQ(SettingsEdited(cmd::kTextureBackground, document), CommandEffect::Repaint);
    const std::vector<std::string> order = {
        "texture_fond.type_couleur", "texture_fond.type_degrade", "texture_fond.couleur",
        "texture_fond.variante",     "texture_fond.texture",      "texture_fond.motif",
        "texture_fond.fichier",      "texture_fond.brush.lbColor"};
    EXPECT_EQ(profile.written, order);
    EXPECT_EQ(profile.readInt("texture_fond.type_couleur"), kFillPattern);
    EXPECT_EQ(profile.readInt("texture_fond.motif"), 12);
    EXPECT_EQ(profile.readString("texture_fond.fichier"), "/img/photo.png");

    profile.written.clear();
    EXPECT_EQ(SettingsEdited(cmd::kTextureBox, document), CommandEffect::Repaint);
    ASSERT_EQ(profile.written.size(), 8u);
    EXPECT_EQ(profile.written.front(), "texture_rectangle.type_couleur");

    // The place format is written too, and the chart waits for the next reading.
    profile.written.clear();
    document.settings().m_gedcom.swapFields(0, 1);
    EXPECT_EQ(SettingsEdited(cmd::kPlaceFormat, document), CommandEffect::None);
    EXPECT_EQ(profile.written,
              (std::vector<std::string>{"m_gedcom.t0", "m_gedcom.t1", "m_gedcom.t2", "m_gedcom.t3",
                                        "m_gedcom.t4"}));
    EXPECT_EQ(profile.readInt("m_gedcom.t0"), 2);
}

} // namespace
} // namespace arbolix
