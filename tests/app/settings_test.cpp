#include "app/profile.h"
#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace arbolix {
namespace {

std::set<std::string> KeysOf(const MemoryProfile& profile) {
    std::set<std::string> keys;
    for (const auto& entry : profile.values()) keys.insert(entry.first);
    return keys;
}

ChartSettings LoadFrom(const Profile& profile) {
    ChartSettings settings = DefaultChartSettings();
    LoadChartSettings(profile, settings);
    return settings;
}

TEST(ProfileInt, AcceptsOnlyWholeDecimal32BitNumbers) {
    EXPECT_EQ(ParseProfileInt("+5"), 5);
    EXPECT_EQ(ParseProfileInt(" -12 "), -12);
    EXPECT_EQ(ParseProfileInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "+", "abc", "12abc", "12.5", "1e3", "0x10", "+-1", "2147483648",
                            "99999999999999999999"})
        EXPECT_EQ(ParseProfileInt(bad), std::nullopt) << '"' << bad << '"';
}

TEST(ChartSettingsLoad, EmptyProfileGivesTheStartSettings) {
    const LogFont font{20, 12, 0, 0, 400, 0, 0, 0, 0, 6, 1, 2, 0, "Times New Roman"};
    const FillSpec fill{.brush = {kBrushSolid, kWhite, 3}};
    // Every field not named is 0: the flags but setnom, black colours and pen.
    // clang-format off
    const ChartSettings start{.setnom = 1, .interval = 5, .larg = 50, .largeur_pen = 1,
                              .lf_nom = font, .lf_lieu = font, .lf_date = font, .lf_epoux = font,
                              .texture_rectangle = fill, .texture_fond = fill, .m_gene = 16,
                              .m_gened = 16, .setcousin = 1, .m_casevide = {0, 1, 0},
                              .m_implexe = {0, kBlack}, .m_miseenpage = {1, 1}, .m_largeur = 1024,
                              .m_hauteur = 768, .m_gedcom = {1, 2, 3, 4, 5}, .site_taille = 1,
                              .fichier_site = "index.htm", .fichier_site_ncouleur = 3,
                              .dir_site = ""};
    // clang-format on
    MemoryProfile empty;
    EXPECT_EQ(LoadFrom(empty), start);
    EXPECT_EQ(DefaultChartSettings(), start);
    EXPECT_TRUE(empty.values().empty()) << "loading wrote to the profile";

    // The load sets every persisted start field itself, whatever the record held before; only the
    // unpersisted parts and the web-site group are left alone.
    ChartSettings zero{};
    LoadChartSettings(empty, zero);
    for (LogFont* f : {&zero.lf_nom, &zero.lf_lieu, &zero.lf_date, &zero.lf_epoux}) {
        f->lfHeight = 20;
        f->lfWidth = 12;
    }
    zero.texture_rectangle.brush.lbHatch = zero.texture_fond.brush.lbHatch = 3;
    ASSERT_TRUE(LoadSettingGroup(empty, zero, "site"));
    EXPECT_EQ(zero, start);
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

TEST(ChartSettingsLoad, CorrectionsAtTheBoundsAndUnreadableValues) {
    ExpectLoads({
        // Flags: non-zero is 1 (setnom, epoux) or anything but 1 is 0; drapeau is taken as stored.
        {"setnom", FIELD(setnom), {{"7", 1}, {"-1", 1}, {"0", 0}, {"oui", 1}}},
        {"epoux", FIELD(epoux), {{"7", 1}, {"0", 0}}},
        {"setprenom", FIELD(setprenom), {{"7", 0}, {"-1", 0}, {"1", 1}}},
        {"setnaissance", FIELD(setnaissance), {{"2", 0}, {"1", 1}}},
        {"setdece", FIELD(setdece), {{"2", 0}, {"1", 1}}},
        {"lieu", FIELD(lieu), {{"2", 0}, {"1", 1}}},
        {"brique", FIELD(brique), {{"2", 0}, {"1", 1}}},
        {"tuyau", FIELD(tuyau), {{"2", 0}, {"1", 1}}},
        {"setaccolade", FIELD(setaccolade), {{"2", 0}, {"1", 1}}},
        {"inverse_nom", FIELD(inverse_nom), {{"2", 0}, {"1", 1}}},
        {"police_fixe", FIELD(police_fixe), {{"2", 0}, {"1", 1}}},
        {"drapeau", FIELD(drapeau), {{"7", 7}, {"-1", -1}}},
        // Ranges.
        {"larg",
         FIELD(larg),
         {{"5", 50}, {"9", 50}, {"10", 10}, {"250", 250}, {"251", 50}, {"120.5", 50}, {"", 50}}},
        {"largeur_pen", FIELD(largeur_pen), {{"0", 1}, {"1", 1}, {"128", 128}, {"129", 1}}},
        {"m_gene",
         FIELD(m_gene),
         {{"0", 16}, {"1", 1}, {"62", 62}, {"63", 16}, {"99999999999", 16}, {" 20 ", 20}}},
        {"m_gened", FIELD(m_gened), {{"0", 16}, {"1", 1}, {"62", 62}, {"63", 16}}},
        {"setcousin", FIELD(setcousin), {{"3", 1}, {"-1", 1}, {"0", 0}, {"2", 2}}},
        {"m_implexe.m_type", FIELD(m_implexe.m_type), {{"5", 0}, {"-1", 0}, {"4", 4}}},
        {"texture_rectangle.type_couleur", FIELD(texture_rectangle.kind), {{"5", 0}, {"4", 4}}},
        {"texture_fond.type_couleur", FIELD(texture_fond.kind), {{"5", 5}, {"-1", -1}}},
        {"m_miseenpage.m_largeur", FIELD(m_miseenpage.m_largeur), {{"0", 1}, {"-2", -2}}},
        {"m_miseenpage.m_hauteur", FIELD(m_miseenpage.m_hauteur), {{"0", 0}}},
        {"interval", FIELD(interval), {{"-7", -7}, {"20000", 20000}}}, // no check at all
        {"m_casevide.m_ndg", FIELD(m_casevide.m_ndg), {{"0", 0}}},
        // Bytes keep their low byte; colours are signed 32-bit numbers.
        {"lf_nom.lfItalic", FIELD(lf_nom.lfItalic), {{"257", 1}}},
        {"lf_epoux.lfCharSet", FIELD(lf_epoux.lfCharSet), {{"418", 0xA2}}},
        {"lf_lieu.lfQuality", FIELD(lf_lieu.lfQuality), {{"-1", 255}}},
        {"lf_date.lfWeight", FIELD(lf_date.lfWeight), {{"1000", 1000}}},
        {"texture_fond.brush.lbColor", FIELD(texture_fond.brush.lbColor), {{"blanc", kWhite}}},
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
    profile.writeString("lf_lieu.lfFaceName", std::string(29, 'a') + "é");
    profile.writeInt("setnom", 7);
    profile.writeInt("larg", 300);
    profile.writeInt("lf_nom.lfItalic", 257);
    const auto before = profile.values();

    const ChartSettings s = LoadFrom(profile);
    EXPECT_EQ(std::string(s.lf_nom.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(std::string(s.texture_fond.fileName), longFile.substr(0, 127));
    EXPECT_EQ(std::string(s.lf_date.lfFaceName), std::string(30, 'a'));
    EXPECT_EQ(std::string(s.lf_lieu.lfFaceName), std::string(29, 'a') + "é");
    EXPECT_EQ(s.setnom, 1);
    EXPECT_EQ(profile.values(), before);
}

TEST(ChartSettingsLoad, WebSiteGroupIsReadOnDemand) {
    MemoryProfile profile;
    profile.writeString("fichier_site", "arbre.htm");
    profile.writeString("dir_site", "/srv/www/famille Dupré");
    profile.writeInt("site_taille", 4);

    ChartSettings s = LoadFrom(profile);
    EXPECT_EQ(s.fichier_site, "index.htm");
    ASSERT_TRUE(LoadSettingGroup(profile, s, "site"));
    EXPECT_EQ(s.fichier_site, "arbre.htm");
    EXPECT_EQ(s.dir_site, "/srv/www/famille Dupré");
    EXPECT_EQ(s.site_taille, 4);
    EXPECT_EQ(s.fichier_site_ncouleur, 3);

    const ChartSettings unchanged = s;
    EXPECT_FALSE(LoadSettingGroup(profile, s, "web"));
    EXPECT_FALSE(LoadSettingGroup(profile, s, "open"));
    EXPECT_EQ(s, unchanged);
}

TEST(ChartSettingsStore, EachGroupWritesExactlyItsKeys) {
    const auto prefixed = [](const std::string& prefix, std::vector<std::string> suffixes) {
        std::set<std::string> keys;
        for (const std::string& suffix : suffixes) keys.insert(prefix + suffix);
        return keys;
    };
    std::set<std::string> font =
        prefixed("lf_epoux.", {"lfWeight", "lfItalic", "lfUnderline", "lfStrikeOut", "lfCharSet",
                               "lfOutPrecision", "lfClipPrecision", "lfQuality", "lfPitchAndFamily",
                               "lfFaceName"});
    font.insert("rgbColors_epoux");
    const std::vector<std::pair<std::string, std::set<std::string>>> groups = {
        {"lf_epoux", font},
        {"texture_fond",
         prefixed("texture_fond.", {"type_couleur", "type_degrade", "variante", "texture", "motif",
                                    "couleur", "brush.lbColor", "fichier"})},
        {"m_casevide", prefixed("m_casevide.", {"m_ngd", "m_ndg", "m_nag"})},
        {"m_implexe", prefixed("m_implexe.", {"m_type", "couleur"})},
        {"m_miseenpage", prefixed("m_miseenpage.", {"m_largeur", "m_hauteur"})},
        {"m_gedcom", prefixed("m_gedcom.t", {"0", "1", "2", "3", "4"})},
        {"site",
         {"fichier_site", "dir_site", "fichier_site_type", "fichier_site_ncouleur", "site_taille"}},
        {"setnom", {"setnom"}},
        {"larg", {"larg"}},
        {"m_largeur", {"m_largeur"}},
    };
    const ChartSettings settings = DefaultChartSettings();
    for (const auto& [group, keys] : groups) {
        MemoryProfile profile;
        EXPECT_TRUE(StoreSettingGroup(profile, settings, group)) << group;
        EXPECT_EQ(KeysOf(profile), keys) << group;
    }
    for (const char* notAGroup : {"", "lf_nom.lfWeight", "rgbColors_nom", "open", "file1"}) {
        MemoryProfile profile;
        EXPECT_FALSE(StoreSettingGroup(profile, settings, notAGroup)) << notAGroup;
        EXPECT_TRUE(profile.values().empty()) << notAGroup;
    }
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

TEST(PathKeys, DefaultsAndWrites) {
    MemoryProfile profile;
    EXPECT_EQ(ReadPathKey(profile, "file4"), "-");
    EXPECT_EQ(ReadPathKey(profile, "save_bmp"), "");
    EXPECT_TRUE(WritePathKey(profile, "file2", "/home/marie/Généalogie/famille Dupré.ged"));
    EXPECT_EQ(ReadPathKey(profile, "file2"), "/home/marie/Généalogie/famille Dupré.ged");
    EXPECT_EQ(ReadPathKey(profile, "file1"), "-");

    EXPECT_FALSE(WritePathKey(profile, "fichier_site", "x.htm"));
    EXPECT_FALSE(WritePathKey(profile, "file5", "x.ged"));
    EXPECT_EQ(KeysOf(profile), (std::set<std::string>{"file2"}));
}

TEST(SettingKeys, TableListsEveryKeyOnce) {
    std::set<std::string_view> names;
    int atStart = 0, paths = 0;
    for (const SettingKeyInfo& info : ListSettingKeys()) {
        EXPECT_TRUE(names.insert(info.key).second) << "duplicate " << info.key;
        atStart += info.loadedAtStart;
        paths += info.isPath;
    }
    // 9 box flags, 7 link and pen keys, 4 fonts of 11, 2 fills of 8, 8 tree keys, 9 page, picture
    // and place keys; then 5 web-site keys and 8 path keys that are not read at start.
    EXPECT_EQ(names.size(), 106u);
    EXPECT_EQ(atStart, 93);
    EXPECT_EQ(paths, 8);

    for (const char* known : {"lf_epoux.lfFaceName", "texture_fond.brush.lbColor", "file4"})
        EXPECT_TRUE(IsKnownSettingKey(known)) << known;
    for (const char* unknown : {"lf_nom", "lf_nom.lfHeight", "texture_fond.brush.lbStyle", "site"})
        EXPECT_FALSE(IsKnownSettingKey(unknown)) << unknown;
    EXPECT_EQ(SettingKeyType("setprenom"), SettingType::Bool);
    EXPECT_EQ(SettingKeyType("larg"), SettingType::DoubleAsInt);
    EXPECT_EQ(SettingKeyType("rgbColors_date"), SettingType::Colour);
    EXPECT_EQ(SettingKeyType("lf_date.lfCharSet"), SettingType::Byte);
    EXPECT_EQ(SettingKeyType("texture_rectangle.fichier"), SettingType::String);
    EXPECT_EQ(SettingKeyType("nothing"), std::nullopt);
}

TEST(OverlayProfile, OverridesReadsAndFollowsWrites) {
    MemoryProfile base;
    base.writeInt("interval", 5);
    OverlayProfile overlay(base);
    EXPECT_TRUE(overlay.set("interval", "9"));
    EXPECT_TRUE(overlay.set("lf_nom.lfFaceName", "DejaVu Serif"));
    EXPECT_EQ(LoadFrom(overlay).interval, 9);
    EXPECT_STREQ(LoadFrom(overlay).lf_nom.lfFaceName, "DejaVu Serif");
    EXPECT_EQ(base.readInt("interval"), 5);
    EXPECT_FALSE(base.contains("lf_nom.lfFaceName"));

    // A write reaches the base and replaces the override.
    overlay.writeInt("interval", 12);
    EXPECT_EQ(base.readInt("interval"), 12);
    EXPECT_EQ(overlay.readInt("interval"), 12);
    overlay.writeString("dir_site", "/tmp/site");
    EXPECT_EQ(base.readString("dir_site"), "/tmp/site");
    EXPECT_FALSE(overlay.isOverridden("dir_site"));

    // An override that is no number hides the base value: the default applies.
    EXPECT_TRUE(overlay.set("interval", "large"));
    EXPECT_EQ(LoadFrom(overlay).interval, 5);
    for (const char* bad : {"", "a=b", "texture/fond", "lf\\nom", "set\nnom"})
        EXPECT_FALSE(overlay.set(bad, "1")) << bad;

    auto owned = std::make_unique<MemoryProfile>();
    MemoryProfile* inner = owned.get();
    OverlayProfile owning(std::move(owned));
    owning.writeInt("m_gene", 12);
    EXPECT_EQ(inner->readInt("m_gene"), 12);
}

} // namespace
} // namespace arbolix
