// The fill sheet's rules without its widgets: the buttons of patterns and textures, and the keys
// written when the sheet closes.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/chart_document.h"
#include "app/commands.h"
#include "app/fill_sheet.h"
#include "base/profile.h"
#include "base/reporter.h"

namespace arbolix {
namespace {

TEST(FillSheet, ButtonsStandForTheirPatternsAndTextures) {
    const std::pair<int32_t, int32_t> patterns[] = {{1030, 0},  {1065, 35}, {1067, 36}, {1070, 39},
                                                    {1066, -1}, {1029, -1}, {1071, -1}};
    for (const auto& [control, pattern] : patterns)
        EXPECT_EQ(PatternOfButton(control), pattern) << control;
    const std::pair<int32_t, int32_t> textures[] = {{1020, 162}, {1030, 167}, {1045, 182},
                                                    {1058, 195}, {1059, 0},   {1029, 0}};
    for (const auto& [control, texture] : textures)
        EXPECT_EQ(TextureOfButton(control), texture) << control;
    // Every pattern and every texture has its own button, and only they have one.
    for (int32_t pattern = -1; pattern <= 40; ++pattern)
        EXPECT_EQ(PatternOfButton(PatternButton(pattern)), pattern < 40 ? pattern : -1);
    for (int32_t id = 150; id < 200; ++id) {
        const bool exists = id == 162 || (id >= 167 && id <= 195);
        EXPECT_EQ(TextureOfButton(TextureButton(id)), exists ? id : 0) << id;
    }
}

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

TEST(FillSheet, ClosingWritesTheFillKeysInTheSheetOrder) {
    RecordingProfile profile;
    ListReporter reporter;
    ChartDocument document(profile, reporter);
    FillSpec& fill = document.settings().texture_fond;
    fill.kind = kFillPattern;
    fill.patternIndex = 12;
    std::strcpy(fill.fileName, "/img/photo.png");
    EXPECT_EQ(SettingsEdited(cmd::kTextureBackground, document), CommandEffect::Repaint);
    EXPECT_EQ(profile.written,
              (std::vector<std::string>{"texture_fond.type_couleur", "texture_fond.type_degrade",
                                        "texture_fond.couleur", "texture_fond.variante",
                                        "texture_fond.texture", "texture_fond.motif",
                                        "texture_fond.fichier", "texture_fond.brush.lbColor"}));
    EXPECT_EQ(profile.readInt("texture_fond.motif"), 12);
    EXPECT_EQ(profile.readString("texture_fond.fichier"), "/img/photo.png");
    // The place format waits for the next reading of a file.
    EXPECT_EQ(SettingsEdited(cmd::kPlaceFormat, document), CommandEffect::None);
    EXPECT_EQ(profile.written.back(), "m_gedcom.t4");
}

} // namespace
} // namespace arbolix
