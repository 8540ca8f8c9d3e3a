// The GEDCOM reader on small texts, and on the bundled sample family.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>
#include <tuple>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

struct Read {
    PersonStore store;
    ListReporter reporter;
    int32_t result = 0;

    explicit Read(const std::string& text, const PlaceFormat& format = {}) {
        result = ReadGedcomBytes(store, text, format, reporter);
    }
    const Individual& operator[](int32_t i) const { return store[i]; }
};

std::string Ged(const std::string& body, const std::string& charset = "ANSI") {
    return "0 HEAD\n1 CHAR " + charset + "\n" + body + "0 TRLR\n";
}

// A file of the persons @I1@, @I2@..., each with its lines.
template <class Row> std::string Persons(const std::vector<Row>& rows) {
    std::string body;
    for (size_t i = 0; i < rows.size(); ++i)
        body += std::string("0 @I") + std::to_string(i + 1) + "@ INDI\n" + rows[i].lines;
    return Ged(body);
}

TEST(GedcomReader, Names) {
    struct Row {
        std::string lines, given, surname;
    };
    const std::vector<Row> rows = {
        {"1 NAME Jean Pierre /DUPONT-MARTIN/\n", "Jean", "DUPONT"},
        // Later NAME lines (aliases, married names) change nothing; an empty one names nobody.
        {"1 NAME Marie /Lef\xE8vre/\n1 NAME Marie Winklmayr\n1 NAME /martin/\n", "Marie",
         "LEF\xC8VRE"},
        {"1 NAME\n1 NAME //\n1 NAME Luc /Roy/\n", "Luc", "ROY"},
        // Every Windows-1252 letter with an upper-case form gets it; ß, µ and ÷ have none.
        {"1 NAME \xE9mile /tr\xE8ves h\xF6\xF0vir \x9A\x9C\x9E\xFF\xFE\xDF\xB5\xF7/\n", "\xE9mile",
         "TR\xC8VES H\xD6\xD0VIR \x8A\x8C\x8E\x9F\xDE\xDF\xB5\xF7"},
        {"1 NAME " + std::string(40, 'a') + " /" + std::string(80, 'x') + "/\n", std::string(31, 'a'),
         std::string(63, 'X')},
    };
    Read r(Persons(rows));
    EXPECT_EQ(r.result, 5);
    for (int32_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(r[i].givenName, rows[i - 1].given) << i;
        EXPECT_EQ(r[i].surname, rows[i - 1].surname) << i;
    }
}

TEST(GedcomReader, YearsOfBirthAndDeath) {
    struct Row {
        std::string lines;
        int32_t birth, death;
    };
    const std::vector<Row> rows = {
        {"1 BIRT\n2 DATE 12 MAR 1850\n1 DEAT\n2 DATE 3 1901\n", 1850, 1901},
        {"1 BIRT\n2 DATE ABT 1850\n1 DEAT\n2 DATE BEF 1900\n", 0, 0},
        // A christening is a birth, a burial no death.
        {"1 CHR\n2 DATE 1777\n1 BURI\n2 DATE 1830\n", 1777, 0},
        // Too large a year is the largest one; a date starts with a digit.
        {"1 BIRT\n2 DATE 2147483648\n1 DEAT\n2 DATE -99999999999\n", INT32_MAX, 0},
    };
    Read r(Persons(rows) + "0 @F1@ FAM\n1 HUSB @I1@\n1 MARR\n2 DATE 1875\n");
    for (int32_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(r[i].birthYear, rows[i - 1].birth) << i;
        EXPECT_EQ(r[i].deathYear, rows[i - 1].death) << i;
    }
}

TEST(GedcomReader, PlacesTownsAndCountries) {
    struct Row {
        std::string lines, place;
        int32_t country;
    };
    const std::vector<Row> rows = {
        {"1 BIRT\n2 PLAC paris, 75000, Seine, Ile-de-France, France\n", "PARIS", 207},
        // The birth place replaces the burial place; the first place stays when there is no birth.
        {"1 BURI\n2 PLAC Lyon\n1 BIRT\n2 PLAC \xC9vreux,27000,Eure,Normandie,France\n", "\xC9VREUX", 207},
        {"1 RESI\n2 PLAC Li\xE8ge, , , , Belgique\n1 DEAT\n2 PLAC Namur\n", "LI\xC8GE", 208},
        {"1 BIRT\n2 PLAC " + std::string(70, 'a') + ",1,2,3,Italie\n", std::string(63, 'A'), 211},
        // No letter of a town is dropped.
        {"1 BIRT\n2 PLAC a\xF1o \xF8\xF0\xFE\xDF\xFF \xD1\xD8\xD0\xDE,,,,BR\xC9SIL\n",
         "A\xD1O \xD8\xD0\xDE\xDF\x9F \xD1\xD8\xD0\xDE", 252},
    };
    Read r(Persons(rows));
    for (int32_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(r[i].place, rows[i - 1].place) << i;
        EXPECT_EQ(r[i].country, rows[i - 1].country) << i;
    }

    // Another order of the fields; ";" ends the country field, so the town is the third field.
    Read swapped(Ged("0 @I1@ INDI\n1 BIRT\n2 PLAC Suisse; 1200, Gen\xE8ve, Romandie\n"),
                 PlaceFormat{kRoleCountry, kRolePostalCode, kRoleTown, kRoleRegion, kRoleDepartment});
    EXPECT_STREQ(swapped[1].place, "GEN\xC8VE");
    EXPECT_EQ(swapped[1].country, 399);
}

TEST(GedcomReader, FamilyLinksInEveryOrderAndTheMarriagePlace) {
    const std::string persons = "0 @I1@ INDI\n1 BIRT\n2 PLAC Rouen\n0 @I2@ INDI\n0 @I3@ INDI\n0 @I4@ INDI\n";
    for (const std::string family : {"1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I4@\n",
                                     "1 CHIL @I3@\n1 WIFE @I2@\n1 CHIL @I4@\n1 HUSB @I1@\n"}) {
        SCOPED_TRACE(family);
        Read r(Ged(persons + "0 @F1@ FAM\n" + family + "1 MARR\n2 PLAC Dieppe,,,,France\n"));
        for (int child : {3, 4}) {
            EXPECT_EQ(r[child].father, 1);
            EXPECT_EQ(r[child].mother, 2);
        }
        // The marriage place goes to the spouses without a place.
        EXPECT_STREQ(r[1].place, "ROUEN");
        EXPECT_STREQ(r[2].place, "DIEPPE");
        EXPECT_STREQ(r[3].place, "");
    }
}

TEST(GedcomReader, SpousesBeyondTheFourthAreNotRecorded) {
    std::string text = "0 @I1@ INDI\n";
    for (int w = 2; w <= 6; ++w) text += std::string("0 @I") + std::to_string(w) + "@ INDI\n";
    for (int w = 2; w <= 6; ++w)
        text += std::string("0 @F") + std::to_string(w) + "@ FAM\n1 HUSB @I1@\n1 WIFE @I" + std::to_string(w) + "@\n";
    text += "0 @F9@ FAM\n1 HUSB @I3@\n1 WIFE @I3@\n"; // a record married to itself
    Read r(Ged(text));
    ASSERT_EQ(r[1].spouseCount, 4);
    EXPECT_EQ(r[1].spouses[3], 5);
    EXPECT_EQ(r[6].spouseCount, 1); // his fifth wife still has him
    EXPECT_EQ(r[3].spouseCount, 3);
    EXPECT_EQ(r[3].spouses[1], 3);
}

// The digits number the records only while the largest number stays within twice the records
// plus 1024; otherwise the records are numbered in order and the store does not grow for them.
TEST(GedcomReader, RecordsNumberedByTheirDigitsUnlessTooSparse) {
    std::string ten;
    for (int i = 1; i <= 10; ++i) ten += "0 @I" + std::to_string(i) + "@ INDI\n";
    std::string descending;
    for (int i = 1500; i >= 1; --i) descending += "0 @I" + std::to_string(i) + "@ INDI\n";
    const struct {
        std::string text;
        bool inOrder;
        int32_t result;
        std::string idOfLast; // id of the record numbered `result`
    } cases[] = {
        {Ged("0 @I7@ INDI\n1 NAME A /A/\n"), false, 7, "I7"},
        {Ged("0 @7@ INDI\n1 NAME B /B/\n"), false, 7, "7"},
        // A pointer to a number without INDI record still makes a referenced record; a pointer
        // past the last INDI number links nobody.
        {Ged("0 @I1@ INDI\n0 @I5@ INDI\n0 @F1@ FAM\n1 HUSB @I3@\n1 WIFE @I9@\n1 CHIL @I1@\n"), false, 5,
         "I5"},
        {"0 @I400000@ INDI\n1 NAME Ann /Far/\n", true, 1, "I400000"},
        {Ged("0 @I1@ INDI\n0 @I5000@ INDI\n0 @I2@ INDI\n"), true, 3, "I2"},
        {Ged(ten + "0 @I1046@ INDI\n"), false, 1046, "I1046"},
        {Ged(ten + "0 @I1047@ INDI\n"), true, 11, "I1047"},
        {Ged(descending), false, 1500, "I1500"},
        // A pointer far beyond the records links nobody.
        {Ged("0 @I1@ INDI\n0 @I2@ INDI\n0 @F1@ FAM\n1 HUSB @I400000@\n1 WIFE @I2@\n1 CHIL @I1@\n"),
         false, 2, "I2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        Read r(c.text);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.store.numberedInOrder, c.inOrder);
        EXPECT_EQ(r.store.idText(r.result), c.idOfLast);
        EXPECT_LE(r.store.recordCount(), std::max(c.result, PersonStore::kInitialTop) + 1025);
    }
    EXPECT_EQ(Read(cases[0].text)[3].xref, 0); // never referenced
    Read pointers(cases[2].text);
    EXPECT_EQ(pointers[3].xref, 3);
    EXPECT_EQ(pointers[1].father, 3);
    EXPECT_EQ(pointers[1].mother, 0);
    Read far(cases[3].text);
    EXPECT_EQ(FindPerson(far.store, "@I400000@"), 1);
    EXPECT_STREQ(far[1].surname, "FAR");
    Read family(cases[8].text);
    EXPECT_EQ(family[1].father, 0);
    EXPECT_EQ(family[1].mother, 2);
}

TEST(GedcomReader, IdsWithoutUsableDigitsAreNumberedInOrder) {
    // @I7@ and @7@ in one file, ids without digits, GEDCOM 7's @VOID@.
    Read r(Ged("0 @FATHER@ INDI\n1 NAME Pierre /Durand/\n0 @MOTHER@ INDI\n1 NAME Anne /Roux/\n"
               "0 @I7@ INDI\n1 NAME Luc /Durand/\n0 @7@ INDI\n1 NAME Eve /Durand/\n0 @CHILD32@ INDI\n"
               "0 @FAM1@ FAM\n1 HUSB @FATHER@\n1 WIFE @MOTHER@\n1 CHIL @I7@\n1 CHIL @7@\n1 CHIL @CHILD32@\n"
               "0 @FAM2@ FAM\n1 HUSB @VOID@\n1 WIFE @MOTHER@\n1 CHIL @NOBODY@\n"));
    EXPECT_TRUE(r.store.numberedInOrder);
    EXPECT_EQ(r.result, 5);
    EXPECT_STREQ(r[4].givenName, "Eve");
    EXPECT_EQ(r.store.idText(1), "FATHER");
    EXPECT_EQ(r.store.idText(5), "CHILD32");
    for (int child : {3, 4, 5}) {
        EXPECT_EQ(r[child].father, 1);
        EXPECT_EQ(r[child].mother, 2);
    }
    EXPECT_EQ(r[2].spouseCount, 1); // @VOID@ is nobody: no second husband
}

TEST(GedcomReader, MemoryLimitStopsWithMessageAndLeavesAnEmptyStore) {
    Read r(Ged("0 @I1@ INDI\n1 NAME Jean /Avant/\n"));
    r.store.setRecordLimit(1500);
    std::string big;
    for (int i = 1; i <= 600; ++i) big += std::string("0 @X") + std::to_string(i) + "x@ INDI\n";
    big += "0 @A1@ INDI\n0 @B1@ INDI\n"; // same digits: numbered in order, 602 + 1025 > 1500
    ListReporter reporter;
    EXPECT_EQ(ReadGedcomBytes(r.store, Ged(big), {}, reporter), -1);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Fichier GEDCOM limité à 1024 personnes par la mémoire\n");
    EXPECT_EQ(r.store.highestXref, 0);
    EXPECT_FALSE(r.store.hasSnapshot());
    // Still usable: the next file reads normally.
    EXPECT_EQ(ReadGedcomBytes(r.store, Ged("0 @I1@ INDI\n1 NAME Jean /Apres/\n"), {}, reporter), 1);
    EXPECT_STREQ(r[1].surname, "APRES");
}

TEST(GedcomReader, AnselDiacritics) {
    Read r(Ged("0 @I1@ INDI\n1 NAME \xE2\x65loise /B\xE2\x65rard/\n1 BIRT\n2 PLAC \xF0\x43r\xE8teil,,,,France\n"
               "1 NATI \xE2\x45tats-Unis\n0 @I2@ INDI\n1 NAME \xE1\x61\xE3o\xE8u\xE1x /X/\n"
               "0 @I3@ INDI\n1 NAME \xE5\x41nna /\xFEOdin\xA5\xB2/\n1 BIRT\n"
               "2 PLAC \xE4\x42ourg \xA2\xB5\xCF\n",
               "ANSEL"));
    EXPECT_EQ(r.store.ansiFlag, 0);
    EXPECT_STREQ(r[1].givenName, "\xE9loise");
    EXPECT_STREQ(r[1].surname, "BERARD");
    EXPECT_STREQ(r[1].place, "\xC7RTEIL"); // cedilla on C, diaeresis on t: the t stays
    EXPECT_EQ(r[1].country, 283);          // "éEtats-Unis" gives the key éTA
    EXPECT_STREQ(r[2].givenName, "\xE0\xF4\xFCx");
    // Marks without a Windows-1252 letter (macron, tilde, high comma) leave the bare letter;
    // special characters (Æ ø Ø æ ß) become Windows-1252 ones.
    EXPECT_EQ(std::string(r[3].givenName) + " " + r[3].surname + " " + r[3].place,
              "Anna ODIN\xC6\xD8 BOURG \xD8\xC6\xDF");

    char text[] = "a\xE2";
    EXPECT_EQ(AnselToAnsi(text, 2), 1u); // a trailing diacritic is dropped
}

// A file declared ANSI or UTF-8, or without CHAR, is UTF-8 when every byte of it is; otherwise it
// is Windows-1252, wherever its valid UTF-8 sequences and its other bytes lie: no letter becomes
// '?'. (Each character set's own conversion is left to encoding_test.cpp, UTF-16 and ANSEL files
// to person_card_test.cpp.)
TEST(GedcomReader, FilesAreUtf8OnlyWhenEveryByteIs) {
    const std::string body = "0 @I1@ INDI\n1 NAME \xC3\xA9lodie /C\xC5\x93ur/\n1 BIRT\n2 PLAC S\xC3\xA9\x65s\n";
    for (const std::string& file : {Ged(body, "ANSI"), "0 HEAD\n" + body}) {
        Read r(file);
        EXPECT_EQ(std::string(r[1].givenName) + " " + r[1].surname + " " + r[1].place,
                  "\xE9lodie C\x8CUR S\xC9\x45S");
    }
    const std::string helene = "0 @I1@ INDI\n1 NAME H\xE9l\xE8ne /M\xFCller/\n";
    const std::string andre = "0 @I2@ INDI\n1 NAME Andr\xC3\xA9 /Caf\xC3\xA9/\n";
    std::string longUtf8; // past the first block read
    for (int i = 0; i < 400; ++i) longUtf8 += "1 NOTE " + std::string(3000, 'x') + "\xC3\xA9\n";
    for (const std::string& file :
         {"0 HEAD\n" + andre + helene, "0 HEAD\n" + helene + andre, Ged(andre + helene, "UTF-8"),
          "0 HEAD\n" + andre + longUtf8 + helene}) {
        Read r(file);
        ASSERT_EQ(r.result, 2);
        EXPECT_EQ(std::string(r[1].givenName) + " " + r[1].surname, "H\xE9l\xE8ne M\xDCLLER");
        EXPECT_EQ(std::string(r[2].givenName) + " " + r[2].surname, "Andr\xC3\xA9 CAF\xC3\xA9");
    }
}

// A tag without a value has nothing to copy (UBSan watches these copies).
TEST(GedcomReader, TagsWithoutValue) {
    for (const char* charset : {"ANSI", "ANSEL"}) {
        Read r(Ged("0 @I1@ INDI\n1 NAME\n1 NATI\n1 BIRT\n2 PLAC\n2 DATE\n1 NAME Paul /Roy/\n"
                   "1 RESI\n2 PLAC Liege\n0 @F1@ FAM\n1 HUSB @I1@\n1 MARR\n2 PLAC\n",
                   charset));
        EXPECT_EQ(std::string(r[1].givenName) + " " + r[1].surname + " " + r[1].place,
                  "Paul ROY LIEGE");
    }
}

// (Line ends are left to the CR-only and CR LF files of gedcom_corpus_test.cpp.)
TEST(GedcomReader, EmptyFilesBlankLinesAndLongLines) {
    EXPECT_EQ(Read("").result, 0);
    Read loose(Ged("\n\n   0 @I1@ INDI\n\n    1 NAME Jean /Roy/\n \t 1 BIRT\n      2 DATE 1900\n\n"));
    EXPECT_STREQ(loose[1].surname, "ROY");
    EXPECT_EQ(loose[1].birthYear, 1900);
    // The rest of a line longer than 4095 bytes is skipped, never read as a line of its own.
    const std::string longNote = "1 NOTE " + std::string(4100, 'n') + "1 NAME Faux /FAUX/\n";
    Read longLine(Ged("0 @I1@ INDI\n1 NAME Jean /Roy/\n" + longNote + "1 BIRT\n2 DATE 1901\n"));
    EXPECT_STREQ(longLine[1].surname, "ROY");
    EXPECT_EQ(longLine[1].birthYear, 1901);
}

// A folder, a pipe or a device is refused at once; the message names the file and the reason.
TEST(GedcomReader, FilesThatCannotBeOpened) {
    test::TempDir dir;
    const std::string pipe = dir.file("pipe.ged").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("absent.ged").string(), std::strerror(ENOENT)},
        {dir.path().string(), std::strerror(EISDIR)},
        {pipe, "pas un fichier ordinaire"},
        {"/dev/null", "pas un fichier ordinaire"},
    };
    for (const auto& [path, reason] : cases) {
        PersonStore store;
        ListReporter reporter;
        auto reading = std::async(std::launch::async, [&] { return ReadGedcom(store, path, {}, reporter); });
        if (reading.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            ADD_FAILURE() << "waiting on " << path;
            ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK)); // lets the reading end
        }
        EXPECT_EQ(reading.get(), -1) << path;
        ASSERT_EQ(reporter.messages.size(), 1u) << path;
        EXPECT_EQ(reporter.messages[0].text, "Erreur ouverture fichier : " + path + " (" + reason + ")");
    }
}

} // namespace
} // namespace arbolix
