// arbolix-cli chart: the file it writes is chosen by the extension.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_test_support.h"
#include "support/qt_support.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

class ChartCommand : public ::testing::Test {
protected:
    test::CommandResult chart(std::vector<std::string> options) {
        options.insert(options.begin(), {"chart", test::SampleFamilyFile().string(), "--root",
                                         "I14", "--mode", "both"});
        return test::RunCli(dir_, options);
    }
    std::string file(const char* name) const { return dir_.file(name).string(); }

    test::TempDir dir_;
};

TEST_F(ChartCommand, APictureOfHeight0TakesTheChartsProportions) {
    ASSERT_EQ(chart({"--size", "1000x0", "--colors", "mono", "-o", file("arbre.BMP")}).exitCode, 0);
    // Width rounded down to 992; height 0 takes the chart's proportions (about 5 to 1).
    const auto [format, width, height, bits] = test::PictureShape(file("arbre.BMP"));
    EXPECT_EQ(std::tuple(format, width, bits), std::tuple(FIF_BMP, 992u, 1u));
    EXPECT_TRUE(height > 150u && height < 250u) << height;
}

TEST_F(ChartCommand, VectorFilesAndPosters) {
    ASSERT_EQ(chart({"--size", "1600x400", "-o", file("arbre.svg")}).exitCode, 0);
    EXPECT_NE(test::ReadFileBytes(file("arbre.svg")).find("<svg"), std::string::npos);
    const auto poster = chart({"--pages", "2x3", "--paper", "letter", "-o", file("poster.pdf")});
    ASSERT_EQ(poster.exitCode, 0) << poster.err;
    EXPECT_NE(test::ReadFileBytes(file("poster.pdf")).find("/Count 6"), std::string::npos);
    // Without --pages, the pages of the print layout, as the window's export takes them.
    ASSERT_EQ(test::RunCli(dir_, {"--set", "m_miseenpage.m_largeur=2", "chart",
                                  test::SampleFamilyFile().string(), "--root", "I14", "-o",
                                  file("mise.pdf")})
                  .exitCode,
              0);
    EXPECT_NE(test::ReadFileBytes(file("mise.pdf")).find("/Count 2"), std::string::npos);

}

TEST_F(ChartCommand, WrongOutputsAreRefusedBeforeAnythingIsWritten) {
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"-o", file("arbre.gif")},
          {"--colors", "16", "-o", file("arbre.png")}, {"--pages", "9x1", "-o", file("arbre.pdf")},
          {"--overlap", "5mm", "-o", file("arbre.pdf")}, {"--size", "0x480", "-o", file("a.png")},
          {"--size", "640x480"}}) {
        const auto result = chart(wrong);
        EXPECT_EQ(result.exitCode, 2) << wrong[1];
        EXPECT_FALSE(result.err.empty());
    }
    const auto missing = chart({"-o", file("absent/arbre.png")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Dossier introuvable"), std::string::npos);
    const auto unknown = test::RunCli(
        dir_, {"chart", test::SampleFamilyFile().string(), "--root", "I9999", "-o", file("a.png")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("Personne inconnue"), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        EXPECT_EQ(entry.path().filename(), "profile.ini") << entry.path();
}

// A father of 33 children: the computation is refused, so no output of any kind is written and a
// file already there keeps its bytes.
TEST_F(ChartCommand, RefusedComputationWritesNoFile) {
    ASSERT_TRUE(test::WriteFileBytes(
        file("enfants.ged"), test::FamilyText().persons(34, "Enfant").children(1, 2, 34).text()));
    for (const char* name : {"arbre.png", "arbre.bmp", "arbre.svg", "arbre.pdf", "arbre.htm"}) {
        for (const bool existing : {false, true}) {
            const std::string path = file(name);
            std::filesystem::remove(path);
            const std::string before = existing ? "ancien contenu" : "";
            if (existing) {
                ASSERT_TRUE(test::WriteFileBytes(path, before));
            }
            const std::string command = std::string(name).ends_with(".htm") ? "vml" : "chart";
            const auto result = test::RunCli(dir_, {command, file("enfants.ged"), "--root", "I1",
                                                    "--mode", "desc", "-o", path});
            EXPECT_EQ(result.exitCode, 1) << name;
            EXPECT_NE(result.err.find("limité à 32 enfants par personne : 33"), std::string::npos)
                << result.err;
            EXPECT_EQ(std::filesystem::exists(path), existing) << name;
            EXPECT_TRUE(test::ReadFileBytes(path) == before) << name << " has been written";
        }
    }
    // Nor does the tree command print half-built tables.
    const auto tree =
        test::RunCli(dir_, {"tree", file("enfants.ged"), "--root", "I1", "--mode", "desc"});
    EXPECT_EQ(tree.exitCode, 1);
    EXPECT_EQ(tree.out, "");
}

} // namespace
} // namespace arbolix
