// arbolix-cli as a user runs it: a separate process, its output, its exit code; the lists, the
// tables, the card, the VML page and the web site (the charts are in qt_cli_chart_test.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "export/export_test_support.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

class CommandLine : public ::testing::Test {
protected:
    test::CommandResult Cli(const std::vector<std::string>& args) {
        return test::RunCli(dir_, args);
    }
    // The lines of a text, without their ends.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    test::TempDir dir_;
    std::string profile_ = dir_.file("profile.ini").string();
    std::string sample_ = test::SampleFamilyFile().string();
};

TEST_F(CommandLine, HelpAndWrongCommandLines) {
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage : arbolix-cli"), std::string::npos);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{}, {"inconnue"}, {"persons", "a.ged", "b.ged"},
          {"--set", "pas_un_reglage=1", "persons", "a.ged"}, {"--profile"}}) {
        const auto result = Cli(wrong);
        EXPECT_EQ(result.exitCode, 2) << (wrong.empty() ? "" : wrong[0]);
        EXPECT_FALSE(result.err.empty());
    }
}

TEST_F(CommandLine, SetValuesMustHaveTheTypeOfTheirKey) {
    struct Case {
        const char* pair;
        const char* message; // nullptr: taken
    };
    for (const Case& c :
         {Case{"color_pen=0xFF0000", "Valeur invalide pour color_pen : 0xFF0000 (nombre entier "
                                     "attendu)"},
          Case{"setnom=2", "setnom : 2 (0 ou 1 attendu)"},
          Case{"m_gene=", "m_gene :  (nombre entier attendu)"}, Case{"m_gene= -3 ", nullptr},
          Case{"lf_nom.lfFaceName=DejaVu Sans", nullptr}}) {
        const auto result = Cli({"--set", c.pair, "persons", sample_});
        if (c.message == nullptr) {
            EXPECT_EQ(result.exitCode, 0) << c.pair << ": " << result.err;
        } else {
            EXPECT_EQ(result.exitCode, 2) << c.pair;
            EXPECT_NE(result.err.find(c.message), std::string::npos)
                << c.pair << ": " << result.err;
            EXPECT_TRUE(result.out.empty()) << c.pair;
        }
    }
}

TEST_F(CommandLine, ControlCharactersInTextsAreEscaped) {
    const auto file = dir_.file("controles.ged");
    ASSERT_TRUE(test::WriteFileBytes(
        file, "0 HEAD\n1 CHAR ANSI\n0 @I1@ INDI\n1 NAME \tHeribert /Back\\sl\x01sh/\n"
              "1 BIRT\n2 DATE 1900\n2 PLAC Saint\tL\x7F\n1 FAMS @F1@\n"
              "0 @I2@ INDI\n1 NAME Anna /Kind/\n1 FAMC @F1@\n"
              "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n0 TRLR\n"));
    const auto columnsOfEveryLine = [](const std::string& text) {
        std::vector<long> columns;
        for (const std::string& line : Lines(text))
            columns.push_back(std::count(line.begin(), line.end(), '\t') + 1);
        return columns;
    };
    const auto persons = Cli({"persons", file.string()});
    ASSERT_EQ(persons.exitCode, 0) << persons.err;
    EXPECT_EQ(columnsOfEveryLine(persons.out), std::vector<long>(3, 13));
    EXPECT_NE(persons.out.find("\tBACK\\\\SL\\x01SH\t\\tHeribert\t1900\t0\tSAINT\\tL\\x7F\t"),
              std::string::npos)
        << persons.out;

    const auto tree = Cli({"tree", file.string(), "--root", "I1", "--mode", "desc"});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    // Descendant header and two boxes; ancestor header; extents header and line.
    EXPECT_EQ(columnsOfEveryLine(tree.out), (std::vector<long>{15, 15, 15, 14, 5, 5}));
    EXPECT_NE(tree.out.find("\t\\tHeribert\tBACK\\\\SL\\x01SH\tSAINT\\tL\\x7F\t"),
              std::string::npos)
        << tree.out;
}

TEST_F(CommandLine, PlaceFormatFromTheProfileOrTheCommandLine) {
    // With the first field read as a postal code, no town is kept.
    const auto set = Cli({"--set", "m_gedcom.t0=2", "persons", sample_});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("1\tI1\tDELORME\tThomas\t1989\t0\t\t207\t"), std::string::npos);

    ASSERT_TRUE(test::WriteFileBytes(profile_, "[Arbolix]\nm_gedcom.t0=2\n"));
    const auto stored = Cli({"persons", sample_});
    EXPECT_EQ(stored.out, set.out);
}

TEST_F(CommandLine, TreeTablesForEachCousinMode) {
    const auto tables = [&](const std::string& cousin) {
        const auto result = Cli({"--set", "setcousin=" + cousin, "tree", sample_, "--root", "@I1@", "--mode", "asc"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    };
    const auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    // Two table headers, 43 persons and the two lines of the extents; with duplication the two
    // shared ancestors and their 10 ancestors come twice.
    const std::string once = tables("1");
    EXPECT_EQ(lines(once), 2 + 43 + 2);
    EXPECT_NE(once.find("\t-30\t-31\t"), std::string::npos); // the implexe links of Rose DELORME
    EXPECT_EQ(lines(tables("2")), 2 + 55 + 2);
    EXPECT_EQ(Cli({"tree", sample_, "--root", "@I999@", "--mode", "asc"}).exitCode, 1);
    EXPECT_EQ(Cli({"tree", sample_, "--root", "I1", "--mode", "sideways"}).exitCode, 2);
    EXPECT_EQ(Cli({"tree", sample_, "--mode", "asc"}).exitCode, 2);
}

TEST_F(CommandLine, FilesThatCannotBeRead) {
    const auto missing = Cli({"persons", dir_.file("absent.ged").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Erreur ouverture fichier"), std::string::npos);

    const auto folder = Cli({"persons", dir_.path().string()});
    EXPECT_EQ(folder.exitCode, 1);

    // A file holding nobody is said so rather than listed empty.
    ASSERT_TRUE(test::WriteFileBytes(dir_.file("empty.ged"), ""));
    const auto nobody = Cli({"persons", dir_.file("empty.ged").string()});
    EXPECT_EQ(nobody.exitCode, 1);
    EXPECT_NE(nobody.err.find("Aucune personne dans le fichier"), std::string::npos);
}

TEST_F(CommandLine, CardFindsPersonsByIdsWithoutDigitsAndRefusesUnknownOnes) {
    // The sample's Windows-1252 comes out in UTF-8.
    const auto pierre = Cli({"card", sample_, "--id", "@I14@"});
    ASSERT_EQ(Lines(pierre.out).size(), 33u) << pierre.err;
    EXPECT_EQ(Lines(pierre.out)[13], "Décés : lieu\tALENÇON, 61000, ORNE, NORMANDIE, FRANCE");
    const std::string file = dir_.file("ids.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(file,
                                     "0 HEAD\n1 CHAR UTF-8\n0 @ADAM@ INDI\n1 NAME Adam /Premier/\n"
                                     "1 OCCU jardinier\tchef\n0 @EVE@ INDI\n1 NAME Ève /Première/\n"
                                     "0 @F1@ FAM\n1 HUSB @ADAM@\n1 WIFE @EVE@\n0 TRLR\n"));
    const auto adam = Cli({"card", file, "--id", "ADAM"});
    ASSERT_EQ(adam.exitCode, 0) << adam.err;
    EXPECT_EQ(Lines(adam.out)[3], "Profession :\tjardinier\\tchef");
    const auto eve = Cli({"card", file, "--id", "2"});
    ASSERT_EQ(eve.exitCode, 0) << eve.err;
    EXPECT_EQ(Lines(eve.out)[1], "Nom de famille :\tPREMIÈRE");

    const struct {
        std::vector<std::string> words;
        int exitCode;
        const char* message;
    } refusals[] = {
        {{"card", file, "--id", "CAIN"}, 1, "Personne inconnue : CAIN"},
        {{"card", dir_.file("absent.ged").string(), "--id", "ADAM"}, 1, "Erreur ouverture fichier"},
        {{"card", file}, 2, "card attend --id ID"},
        {{"card", file, "--root", "ADAM"}, 2, "Option inconnue"},
    };
    for (const auto& refusal : refusals) {
        const auto result = Cli(refusal.words);
        EXPECT_EQ(result.exitCode, refusal.exitCode) << refusal.message;
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(CommandLine, VmlPageAndRefusals) {
    const std::string page = dir_.file("arbre.htm").string();
    const auto vml = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"vml", sample_, "--root", "@I1@", "--mode", "asc", "-o", page});
        return Cli(args);
    };
    const auto zoomed = vml({"--size", "1024x768", "--zoom", "2"});
    EXPECT_EQ(zoomed.exitCode, 2);
    EXPECT_NE(zoomed.err.find("ne fonctionne pas en mode zoom"), std::string::npos);
    for (const char* size : {"1000x700", "1024", "1024x768x2"})
        EXPECT_EQ(vml({"--size", size}).exitCode, 2) << size;
    EXPECT_FALSE(std::filesystem::exists(page));
    // (What the page holds is compared with the window's in qt_export_commands_test.cpp.)
    EXPECT_EQ(vml({"--size", "1024x768"}).exitCode, 0);
}

TEST_F(CommandLine, SiteOfTheSampleAndRefusals) {
    std::filesystem::create_directory(dir_.file("site"));
    const std::string main = dir_.file("site/index.htm").string();
    const auto site = [&](std::vector<std::string> args, const std::string& page) {
        args.insert(args.begin(), {"--set", "site_taille=0", "site", sample_, "--root", "@I14@",
                                   "--mode", "both", "-o", page});
        return Cli(args);
    };
    for (const auto& wrong : {std::vector<std::string>{"--size", "640x400"}, {"--type", "gif"}})
        EXPECT_EQ(site(wrong, main).exitCode, 2) << wrong[0];
    const auto missing = site({}, dir_.file("nulle/part/index.htm").string());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Dossier introuvable : " + dir_.file("nulle/part").string()),
              std::string::npos);
    EXPECT_EQ(test::FolderEntries(dir_.file("site")), std::vector<std::string>{});

    const auto made = site({"--type", "jpg", "--colors", "gris", "--title", "Les Delorme"}, main);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.err.find("site : 91 pages, " + main + "\n"), std::string::npos) << made.err;
    EXPECT_NE(test::ReadFileBytes(main).find("<TITLE>Les Delorme</TITLE>"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir_.file("site/a14.jpg")).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(test::FolderEntries(dir_.file("site")).size(), 91u * 2 + 1);
}

} // namespace
} // namespace arbolix
