#include "base/profile.h"
#include "base/settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace arbolix {
namespace {

ChartSettings LoadFrom(const Profile& profile) {
    ChartSettings settings = DefaultChartSettings();
    LoadChartSettings(profile, settings);
    return settings;
}

TEST(ProfileInt, AcceptsOnlyWholeDecimal32BitNumbers) {
    EXPECT_EQ(ParseProfileInt(" -12 "), -12);
    EXPECT_EQ(ParseProfileInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "+", "12abc", "12.5", "0x10", "+-1", "2147483648"})
        EXPECT_EQ(ParseProfileInt(bad), std::nullopt) << '"' << bad << '"';
}

// (The start values themselves show in the loads below, where unreadable values fall back to them.)
TEST(ChartSettingsLoad, EmptyProfileGivesTheStartSettings) {
    MemoryProfile empty;
    EXPECT_EQ(LoadFrom(empty), DefaultChartSettings());

    // The load sets every persisted start field itself, whatever the record held before; only the
    // unpersisted parts (font sizes, the fills' hatch) and the web-site group are left alone.
    ChartSettings zero{};
    LoadChartSettings(empty, zero);
    for (LogFont* f : {&zero.lf_nom, &zero.lf_lieu, &zero.lf_date, &zero.lf_epoux}) {
        f->lfHeight = 20;
        f->lfWidth = 12;
    }
    zero.texture_rectangle.brush.lbHatch = zero.texture_fond.brush.lbHatch = 3;
    ASSERT_TRUE(LoadSettingGroup(empty, zero, "site"));
    EXPECT_EQ(zero, DefaultChartSettings());
}

// A key, how to read its field, and pairs of stored text and loaded value.
struct LoadCase {
    const char* key;
    std::function<double(const ChartSettings&)> field;
    std::vector<std::pair<const char*, double>> storedToLoaded;
};

void ExpectLoads(const std::vector<LoadCase>& cases) {
    for (const LoadCase& c : cases) {
        for (const auto& [stored, loaded] : c.storedToLoaded) {
            MemoryProfile profile;
            profile.writeString(c.key, stored);
            EXPECT_EQ(c.field(LoadFrom(profile)), loaded) << c.key << " stored as " << stored;
        }
    }
}

#define FIELD(path) [](const ChartSettings& s) -> double { return s.path; }

// One key of each kind of correction.
TEST(ChartSettingsLoad, CorrectionsAtTheBoundsAndUnreadableValues) {
    ExpectLoads({
        // Flags: non-zero is 1 (setnom) or anything but 1 is 0; drapeau is taken as stored.
        {"setnom", FIELD(setnom), {{"7", 1}, {"0", 0}, {"oui", 1}}},
        // Ranges, their bounds included.
        {"larg", FIELD(larg), {{"9", 50}, {"10", 10}, {"250", 250}, {"251", 50}, {"120.5", 50}}},
        {"m_gene", FIELD(m_gene), {{"0", 16}, {"62", 62}, {"63", 16}, {" 20 ", 20}}},
        {"texture_rectangle.type_couleur", FIELD(texture_rectangle.kind), {{"5", 0}, {"4", 4}}},
        {"m_miseenpage.m_largeur", FIELD(m_miseenpage.m_largeur), {{"0", 1}, {"-2", -2}}},
        {"m_miseenpage.m_recouvrement",
         FIELD(m_miseenpage.m_recouvrement),
         {{"20", 20}, {"21", 0}, {"-1", 0}}},
        // Bytes keep their low byte; colours are signed 32-bit numbers.
        {"lf_lieu.lfQuality", FIELD(lf_lieu.lfQuality), {{"-1", 255}}},
        {"texture_fond.couleur", FIELD(texture_fond.colour2), {{"-2139062144", 0x80808080u}}},
    });
}

#undef FIELD

TEST(ChartSettingsLoad, LongTextsAreCutAndCorrectionsStayInMemory) {
    MemoryProfile profile;
    const std::string longFile = "/home/u/" + std::string(200, 'p') + ".png";
    profile.writeString("lf_nom.lfFaceName", std::string(40, 'F'));
    profile.writeString("texture_fond.fichier", longFile);
    // A cut never splits a UTF-8 character: 30 bytes, then a 2-byte "é".
    profile.writeString("lf_date.lfFaceName", std::string(30, 'a') + "é");
    profile.writeInt("setnom", 7);
    const auto before = profile.values();

    const ChartSettings s = LoadFrom(profile);
    EXPECT_EQ(std::string(s.lf_nom.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(std::string(s.texture_fond.fileName), longFile.substr(0, 127));
    EXPECT_EQ(std::string(s.lf_date.lfFaceName), std::string(30, 'a'));
    EXPECT_EQ(s.setnom, 1);
    EXPECT_EQ(profile.values(), before);
}

// The web-site group and the path keys are no part of the settings read at start.
TEST(ChartSettingsLoad, SiteGroupAndPathKeysAreLeftForLater) {
    MemoryProfile profile;
    profile.writeString("fichier_site", "arbre.htm");
    ChartSettings s = LoadFrom(profile);
    EXPECT_EQ(s.fichier_site, "index.htm");
    ASSERT_TRUE(LoadSettingGroup(profile, s, "site"));
    EXPECT_EQ(s.fichier_site, "arbre.htm");

    EXPECT_EQ(ReadPathKey(profile, "file4"), "-");
    EXPECT_FALSE(WritePathKey(profile, "fichier_site", "x.htm")); // a setting, not a path key
    EXPECT_EQ(profile.readString("fichier_site"), "arbre.htm");
}

TEST(ChartSettingsStore, FontSizeIsNotPersisted) {
    ChartSettings chosen = DefaultChartSettings();
    chosen.lf_nom = {-37, 9, 900, 900, 700, 1, 0, 1, 0, 3, 2, 1, 0x22, "Liberation Sans"};
    chosen.rgbColors_nom = MakeColour(0x12, 0x34, 0x56);
    MemoryProfile profile;
    ASSERT_TRUE(StoreSettingGroup(profile, chosen, "lf_nom"));

    const ChartSettings restarted = LoadFrom(profile);
    const LogFont expected{20, 12, 0, 0, 700, 1, 0, 1, 0, 3, 2, 1, 0x22, "Liberation Sans"};
    EXPECT_EQ(restarted.lf_nom, expected);
    EXPECT_EQ(restarted.rgbColors_nom, 0x563412u);
}

TEST(OverlayProfile, OverridesReadsAndFollowsWrites) {
    MemoryProfile base;
    base.writeInt("interval", 5);
    OverlayProfile overlay(base);
    EXPECT_TRUE(overlay.set("lf_nom.lfFaceName", "DejaVu Serif"));
    EXPECT_STREQ(LoadFrom(overlay).lf_nom.lfFaceName, "DejaVu Serif");
    EXPECT_FALSE(base.contains("lf_nom.lfFaceName"));

    // A write reaches the base and replaces the override.
    EXPECT_TRUE(overlay.set("interval", "9"));
    overlay.writeInt("interval", 12);
    EXPECT_EQ(base.readInt("interval"), 12);
    EXPECT_EQ(overlay.readInt("interval"), 12);

    // An override that is no number hides the base value: the default applies.
    EXPECT_TRUE(overlay.set("interval", "large"));
    EXPECT_EQ(LoadFrom(overlay).interval, 5);
    for (const char* bad : {"", "a=b", "set\nnom"}) EXPECT_FALSE(overlay.set(bad, "1")) << bad;
}

} // namespace
} // namespace arbolix
