// arbolix-cli card: the card's fields as lines, the person found by any form of id, and refusals.

#include <gtest/gtest.h>

#include "support/qt_support.h"

namespace arbolix {
namespace {

test::CommandResult Card(std::vector<std::string> words, const test::TempDir& dir) {
    words.insert(words.begin(), "card");
    return test::RunCli(dir, words);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST(CardCommand, PrintsEveryFieldAsALabelAndItsValue) {
    test::TempDir dir;
    const auto result = Card({test::SampleFamilyFile().string(), "--id", "@I14@"}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[0], "Prénoms :\tPierre ");
    EXPECT_EQ(lines[3], "Profession :\tmeunier");
    EXPECT_EQ(lines[13], "Décés : lieu\tALENÇON, 61000, ORNE, NORMANDIE, FRANCE");
    EXPECT_EQ(lines[18], "Retraite : date\t");
    EXPECT_EQ(lines[19], "Baptème : date\t20 JAN 1788");
    EXPECT_EQ(lines[32], "1ère communion : lieu\t");
}

TEST(CardCommand, FindsPersonsByIdsWithoutDigitsAndRefusesUnknownOnes) {
    test::TempDir dir;
    const std::string file = dir.file("ids.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(file,
                                     "0 HEAD\n1 CHAR UTF-8\n0 @ADAM@ INDI\n1 NAME Adam /Premier/\n"
                                     "1 OCCU jardinier\tchef\n0 @EVE@ INDI\n1 NAME Ève /Première/\n"
                                     "0 @F1@ FAM\n1 HUSB @ADAM@\n1 WIFE @EVE@\n0 TRLR\n"));
    const auto adam = Card({file, "--id", "ADAM"}, dir);
    ASSERT_EQ(adam.exitCode, 0) << adam.err;
    EXPECT_EQ(Lines(adam.out)[3], "Profession :\tjardinier\\tchef");
    const auto eve = Card({file, "--id", "2"}, dir);
    ASSERT_EQ(eve.exitCode, 0) << eve.err;
    EXPECT_EQ(Lines(eve.out)[1], "Nom de famille :\tPREMIÈRE");

    const struct {
        std::vector<std::string> words;
        int exitCode;
        const char* message;
    } refusals[] = {
        {{file, "--id", "CAIN"}, 1, "Personne inconnue : CAIN"},
        {{dir.file("absent.ged").string(), "--id", "ADAM"}, 1, "Erreur ouverture fichier"},
        {{file}, 2, "card attend --id ID"},
        {{file, "--root", "ADAM"}, 2, "Option inconnue"},
    };
    for (const auto& refusal : refusals) {
        const auto result = Card(refusal.words, dir);
        EXPECT_EQ(result.exitCode, refusal.exitCode) << refusal.message;
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

} // namespace
} // namespace arbolix
