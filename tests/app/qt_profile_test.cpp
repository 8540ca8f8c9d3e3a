#include "app/qt_profile.h"
#include "base/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <QVariant>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>

namespace arbolix {
namespace {

std::set<std::string> KeysInFile(const std::filesystem::path& file) {
    QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
    std::set<std::string> keys;
    for (const QString& key : settings.allKeys()) keys.insert(key.toStdString());
    return keys;
}

QVariant ValueInFile(const std::filesystem::path& file, const char* key) {
    QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
    return settings.value(QString("Arbolix/") + key);
}

TEST(QtProfile, DottedKeysAndUtf8TextsReachTheFileAtOnce) {
    test::TempDir dir;
    const auto ini = dir.file("arbolix.ini");
    const std::string face = "Gâtine Éditions œ";
    // Each write is in the file as soon as it returns, under its own key.
    auto profile = OpenProfile(ini.string());
    profile->writeInt("lf_nom.lfWeight", 700);
    EXPECT_NE(test::ReadFileBytes(ini).find("[Arbolix]\nlf_nom.lfWeight=700\n"), std::string::npos);
    profile->writeString("lf_nom.lfFaceName", face);
    EXPECT_NE(test::ReadFileBytes(ini).find("lf_nom.lfFaceName=" + face), std::string::npos);

    profile.reset();
    // Backslashes, empty texts and the other values come back in EveryGroupSurvivesARestart.
    EXPECT_EQ(OpenProfile(ini.string())->readString("lf_nom.lfFaceName"), face);
}

TEST(QtProfile, HandWrittenFileLoadsWithoutBeingRewritten) {
    test::TempDir dir;
    const auto ini = dir.file("arbolix.ini");
    // (The corrections of values out of range are left to settings_test.cpp.)
    const std::string original = "[Arbolix]\n"
                                 "setnom=abc\n"
                                 "interval=7\n"
                                 "lf_lieu.lfFaceName=Noto Serif, Condensed\n"
                                 "lf_nom.lfFaceName=Liberation Serif\n";
    ASSERT_TRUE(test::WriteFileBytes(ini, original));
    {
        auto profile = OpenProfile(ini.string());
        EXPECT_EQ(profile->readInt("setnom"), std::nullopt);
        ChartSettings s = DefaultChartSettings();
        LoadChartSettings(*profile, s);
        EXPECT_EQ(s.setnom, 1);
        EXPECT_EQ(s.interval, 7);
        EXPECT_STREQ(s.lf_lieu.lfFaceName, "Noto Serif, Condensed"); // unquoted commas
        EXPECT_STREQ(s.lf_nom.lfFaceName, "Liberation Serif");
    }
    EXPECT_EQ(test::ReadFileBytes(ini), original);
}

// Settings whose texts hold what an INI file treats apart (commas, '#', ';', backslashes, a
// trailing backslash, accents), and a colour above the largest int (the core tests take each
// field's key through a profile).
ChartSettings Changed() {
    ChartSettings s = DefaultChartSettings();
    s.interval = 12;
    s.texture_fond.colour2 = 0x80FFFFFF;
    std::strcpy(s.lf_nom.lfFaceName, "Gâtine Éditions");
    std::strcpy(s.lf_epoux.lfFaceName, "Noto Serif, Condensed");
    std::strcpy(s.texture_fond.fileName, "/home/marie/Mes images/fond été #2;v=1.png");
    s.fichier_site = "C:\\Mes documents\\arbre Dupré.htm";
    s.dir_site = "C:\\Mes documents\\généalogie\\";
    return s;
}

TEST(QtProfile, EveryGroupSurvivesARestart) {
    test::TempDir dir;
    const auto ini = dir.file("profil arbolix.ini");
    std::set<std::string> groups, keys;
    for (const SettingKeyInfo& info : ListSettingKeys()) {
        if (info.isPath) continue;
        groups.emplace(info.group);
        keys.insert("Arbolix/" + std::string(info.key));
    }
    {
        auto profile = OpenProfile(ini.string());
        for (const std::string& group : groups)
            ASSERT_TRUE(StoreSettingGroup(*profile, Changed(), group)) << group;
        ASSERT_TRUE(WritePathKey(*profile, "file1", "/home/marie/Généalogie/famille Dupré.ged"));
    }
    keys.insert("Arbolix/file1");
    EXPECT_EQ(KeysInFile(ini), keys);

    auto profile = OpenProfile(ini.string());
    ChartSettings restarted = DefaultChartSettings();
    LoadChartSettings(*profile, restarted);
    ASSERT_TRUE(LoadSettingGroup(*profile, restarted, "site"));
    EXPECT_EQ(restarted, Changed());
    EXPECT_STREQ(restarted.lf_nom.lfFaceName, "Gâtine Éditions");
    EXPECT_EQ(ReadPathKey(*profile, "file1"), "/home/marie/Généalogie/famille Dupré.ged");
    EXPECT_EQ(ReadPathKey(*profile, "file2"), "-");
}

TEST(QtProfile, FileFromArgumentEnvironmentOrUserFolder) {
    test::TempDir dir;
    const auto fromEnvironment = dir.file("env.ini");
    const auto fromArgument = dir.file("arg.ini");
    setenv("ARBOLIX_PROFILE", fromEnvironment.c_str(), 1);
    EXPECT_EQ(ProfileFilePath(), fromEnvironment.string());
    OpenProfile()->writeInt("interval", 11);
    OpenProfile(fromArgument.string())->writeInt("interval", 12);
    EXPECT_EQ(ValueInFile(fromEnvironment, "interval").toInt(), 11);
    EXPECT_EQ(ValueInFile(fromArgument, "interval").toInt(), 12);
    // Only the name of the user's own profile is looked at: nothing is written there.
    unsetenv("ARBOLIX_PROFILE");
    const std::string user = ProfileFilePath();
    EXPECT_TRUE(user.ends_with("/velmora/Arbolix.ini")) << user;
}

} // namespace
} // namespace arbolix
