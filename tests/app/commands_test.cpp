// The setting commands on a chart document: their settings, their profile keys, and whether the
// chart is drawn again, laid out again or computed again; the fill sheet's buttons and keys.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/chart_document.h"
#include "app/commands.h"
#include "app/fill_sheet.h"
#include "base/profile.h"
#include "support/chart_support.h"

namespace arbolix {
namespace {

class Commands : public ::testing::Test {
protected:
    void open(int32_t mode, int32_t person) {
        test::FixedChooser chooser(mode, person);
        ASSERT_EQ(document_.open(test::SampleFamilyFile().string(), chooser), ChartDocument::Opened::Chart);
    }
    MemoryProfile profile_;
    ListReporter reporter_;
    ChartDocument document_{profile_, reporter_};
};

TEST_F(Commands, TogglesWriteTheirKeyAndPipesExcludeBraces) {
    EXPECT_EQ(RunSettingCommand(cmd::kGivenName, document_), CommandEffect::Repaint);
    EXPECT_EQ(profile_.readInt("setprenom"), 1);
    EXPECT_EQ(SettingChecked(cmd::kGivenName, document_.settings()), true);
    RunSettingCommand(cmd::kGivenName, document_);
    EXPECT_EQ(profile_.readInt("setprenom"), 0);

    RunSettingCommand(cmd::kBraces, document_);
    RunSettingCommand(cmd::kPipes, document_);
    EXPECT_EQ(document_.settings().setaccolade, 0);
    EXPECT_EQ(profile_.readInt("setaccolade"), 0);
    RunSettingCommand(cmd::kBraces, document_);
    EXPECT_EQ(profile_.readInt("tuyau"), 0);
    EXPECT_EQ(profile_.readInt("setaccolade"), 1);
    // Switching one off leaves the other as it is.
    RunSettingCommand(cmd::kBraces, document_);
    EXPECT_EQ(document_.settings().tuyau, 0);
}

TEST_F(Commands, CousinModesAndSpousesRebuildWhenTheyMust) {
    open(kModeDescendants, 20);
    // The current mode again: nothing at all.
    EXPECT_EQ(RunSettingCommand(cmd::kWithCousins, document_), CommandEffect::None);
    EXPECT_FALSE(profile_.readInt("setcousin"));
    EXPECT_EQ(RunSettingCommand(cmd::kDuplicated, document_), CommandEffect::Rebuilt);
    EXPECT_EQ(profile_.readInt("setcousin"), 2);
    EXPECT_EQ(SettingChecked(cmd::kDuplicated, document_.settings()), true);
    // Spouses recompute only a chart with ancestors.
    EXPECT_EQ(RunSettingCommand(cmd::kSpouses, document_), CommandEffect::Repaint);
    open(kModeBoth, 14);
    EXPECT_EQ(RunSettingCommand(cmd::kSpouses, document_), CommandEffect::Rebuilt);
    EXPECT_EQ(document_.tree().descendants[1].xref, 14);
}

TEST_F(Commands, DialogsWriteTheirKeysAndRebuildOrLayOut) {
    open(kModeBoth, 14);
    const int32_t ancestors = document_.tree().ancestorCount;
    const int64_t extent = document_.tree().extentX;
    document_.settings().m_gene = 2;
    EXPECT_EQ(SettingsEdited(cmd::kGenerations, document_), CommandEffect::Rebuilt);
    EXPECT_EQ(profile_.readInt("m_gene"), 2);
    EXPECT_EQ(profile_.readInt("m_gened"), 16);
    EXPECT_LT(document_.tree().ancestorCount, ancestors);
    EXPECT_EQ(document_.tree().descendants[1].xref, 14);

    document_.settings().larg = 100;
    EXPECT_EQ(SettingsEdited(cmd::kBoxRatio, document_), CommandEffect::Rebuilt);
    EXPECT_EQ(profile_.readInt("larg"), 100);
    EXPECT_GT(document_.tree().extentX, extent);

    document_.settings().m_casevide.m_nag = 3;
    EXPECT_EQ(SettingsEdited(cmd::kEmptyBoxes, document_), CommandEffect::Rebuilt);
    EXPECT_EQ(profile_.readInt("m_casevide.m_nag"), 3);
    document_.settings().largeur_pen = 3;
    EXPECT_EQ(SettingsEdited(cmd::kPenWidth, document_), CommandEffect::Repaint);
    EXPECT_EQ(profile_.readInt("largeur_pen"), 3);
    document_.settings().m_miseenpage.m_largeur = 4;
    EXPECT_EQ(SettingsEdited(cmd::kPageLayout, document_), CommandEffect::None);
    EXPECT_EQ(profile_.readInt("m_miseenpage.m_largeur"), 4);
    EXPECT_EQ(SettingsEdited(cmd::kName, document_), std::nullopt);
}

TEST(FillSheet, ButtonsStandForTheirPatternsAndTextures) {
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
