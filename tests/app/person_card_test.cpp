// The person card read from the file: the fields each GEDCOM line fills, one family in every
// character set and id form the reader takes, and files changed since reading.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "app/person_card.h"
#include "base/reporter.h"
#include "data/encoding.h"
#include "data/gedcom_lines.h"
#include "data/gedcom_reader.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

// The card's non-empty fields, "label" or "label column" → value in UTF-8.
std::map<std::string, std::string> Filled(const PersonCard& card) {
    std::map<std::string, std::string> filled;
    for (const CardField& field : CardFields(card)) {
        if (field.value.empty()) continue;
        const std::string column = field.column[0] != '\0' ? std::string(" ") + field.column : "";
        filled[field.label + column] = Windows1252ToUtf8(field.value);
    }
    return filled;
}

PersonCard Scan(const std::string& bytes, std::string_view id = "I1") {
    MemorySource source(bytes);
    PersonCard card;
    EXPECT_TRUE(ScanPersonCard(source, id, card));
    return card;
}

// Each case is the record of @I1@ (after a header), followed by whatever the case adds; every
// field the case does not name must stay empty.
TEST(PersonCard, EachLineFillsItsFieldOnly) {
    const struct {
        const char* lines;
        std::map<std::string, std::string> filled;
    } cases[] = {
        {"1 BIRT\n2 DATE 12 MAR 1850\n2 PLAC paris\n",
         {{"Naissance : date", "12 MAR 1850"}, {"Naissance : lieu", "PARIS"}}},
        // Every baptism tag fills the same line; the last date and place read win.
        {"1 CHR\n2 DATE 1 JAN 1800\n1 CHRA\n2 PLAC rouen\n1 BAPM\n2 DATE 3 JAN 1800\n",
         {{"Baptème : date", "3 JAN 1800"}, {"Baptème : lieu", "ROUEN"}}},
        // Dates under tags that are no event of the card, or under NAME, fill nothing.
        {"1 EVEN\n2 DATE 1900\n1 RESI\n2 DATE 1901\n2 PLAC Caen\n1 NAME Jean /Roy/\n2 DATE 1902\n",
         {{"Prénoms :", "Jean "}, {"Nom de famille :", "ROY"}}},
        {"1 SEX F\n", {{"Sex :", "Féminin"}}}, {"1 SEX X\n", {{"Sex :", "Féminin"}}},
        // The first NAME gives the names, as it gives the chart's; the titles of both count.
        {"1 NAME Jean /Roy/\n2 TITL Dr\n1 NAME Johann /König/\n2 NPFX Sir\n2 SURN Konig\n",
         {{"Prénoms :", "Jean "}, {"Nom de famille :", "ROY"}, {"Titre :", "Sir"},
          {"Surnom :", "Konig"}}},
        {"1 DEAT\n2 DATE 1900\n3 DATE 1901\n1 BURI\n2 PLAC \xC3\xa9vreux\n1 CREM\n2 PLAC Sens\n",
         {{"Décés : date", "1900"}, {"Sépulture : lieu", "ÉVREUX"},
          {"Incinération : lieu", "SENS"}}},
        // A family record after the person never fills the card, nor does another person.
        {"1 SEX M\n0 @F1@ FAM\n1 MARR\n2 DATE 1870\n1 OCCU x\n0 @I2@ INDI\n1 NAME Paul /Roy/\n",
         {{"Sex :", "Masculin"}}},
    };
    for (const auto& c : cases) {
        const std::string file =
            "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n" + std::string(c.lines) + "0 TRLR\n";
        EXPECT_EQ(Filled(Scan(file)), c.filled) << c.lines;
    }
    // A person the file does not hold has an empty card.
    EXPECT_TRUE(Filled(Scan("0 @I1@ INDI\n1 NAME Jean /Roy/\n1 SEX M\n0 TRLR\n", "I2")).empty());
}

// ---------------------------------------------------------------------------------------------
// One family in every character set and id form

// The family, in UTF-8, with $ENC for the declared character set and $A, $B, $C for the ids.
constexpr const char* kFamily =
    "0 HEAD\n1 CHAR $ENC\n"
    "0 @$A@ INDI\n1 NAME François Noël /Pérez/\n1 SEX M\n1 OCCU pâtissier\n1 BIRT\n2 DATE 3 FEB "
    "1901\n"
    "2 PLAC Besançon, 25000, Doubs, Franche-Comté, France\n1 FAMS @F1@\n"
    "0 @$B@ INDI\n1 NAME Hélène /Lefèvre/\n1 SEX F\n1 CHR\n2 DATE 9 MAY 1905\n2 PLAC Sète\n1 FAMS "
    "@F1@\n"
    "0 @$C@ INDI\n1 NAME Zoé /Pérez/\n1 FAMC @F1@\n"
    "0 @F1@ FAM\n1 HUSB @$A@\n1 WIFE @$B@\n1 CHIL @$C@\n0 TRLR\n";

std::string Replaced(std::string text,
                     const std::vector<std::pair<std::string, std::string>>& pairs) {
    for (const auto& [from, to] : pairs)
        for (size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    return text;
}

struct Copy {
    const char* name;
    std::string bytes;
    bool ansel;
};

std::vector<Copy> Copies(const std::string& family) {
    const auto declared = [&](const char* value) { return Replaced(family, {{"$ENC", value}}); };
    // ANSEL puts each mark before its letter: cedilla F0, acute E2, grave E1, diaeresis E8,
    // circumflex E3.
    const std::string ansel = Replaced(declared("ANSEL"), {{"ç", "\xF0" "c"}, {"é", "\xE2" "e"},
                                                           {"è", "\xE1" "e"}, {"ë", "\xE8" "e"},
                                                           {"â", "\xE3" "a"}});
    return {
        {"ANSI", Utf8ToWindows1252(declared("ANSI")), false},
        {"ANSEL", ansel, true},
        {"UTF-8", declared("UTF-8"), false},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + declared("UTF-8"), false},
        {"UTF-8 said to be ANSI", declared("ANSI"), false},
        {"UTF-16LE with a mark", "\xFF\xFE" + test::Utf16Bytes(declared("UNICODE"), true),
         false},
        {"UTF-16BE without a mark", test::Utf16Bytes(declared("UNICODE"), false), false},
    };
}

TEST(PersonCard, EveryCopyOfAFamilyGivesTheChartsPersonsTheSameCards) {
    const auto expected = [](int person, bool ansel) -> std::map<std::string, std::string> {
        const std::string perez = ansel ? "PEREZ" : "PÉREZ";
        switch (person) {
        case 0:
            return {{"Prénoms :", "François Noël "}, {"Nom de famille :", perez},
                    {"Sex :", "Masculin"}, {"Profession :", "pâtissier"},
                    {"Naissance : date", "3 FEB 1901"},
                    {"Naissance : lieu", "BESANÇON, 25000, DOUBS, FRANCHE-COMTÉ, FRANCE"}};
        case 1:
            return {{"Prénoms :", "Hélène "}, {"Nom de famille :", ansel ? "LEFEVRE" : "LEFÈVRE"},
                    {"Sex :", "Féminin"}, {"Baptème : date", "9 MAY 1905"},
                    {"Baptème : lieu", "SÈTE"}};
        default:
            return {{"Prénoms :", "Zoé "}, {"Nom de famille :", perez}};
        }
    };
    // Ids numbered by their digits, without digits, too long for a number, and ids whose digits
    // clash (I2 and 2), which the reader numbers in the order of the file.
    const std::vector<std::vector<std::string>> idForms = {
        {"I1", "I2", "I3"}, {"ADAM", "EVE", "ZOE"},
        {"I100000000001", "I100000000002", "I100000000003"}, {"I2", "2", "X"}};
    test::TempDir dir;
    const std::string path = dir.file("famille.ged").string();
    for (const std::vector<std::string>& ids : idForms) {
        const std::string family =
            Replaced(kFamily, {{"$A", ids[0]}, {"$B", ids[1]}, {"$C", ids[2]}});
        for (const Copy& copy : Copies(family)) {
            SCOPED_TRACE(std::string(copy.name) + " " + ids[0]);
            ASSERT_TRUE(test::WriteFileBytes(path, copy.bytes));
            PersonStore store;
            ListReporter reporter;
            ASSERT_EQ(ReadGedcom(store, path, PlaceFormat{}, reporter), 3);
            const std::optional<FileStamp> stamp = StampOfFile(path);
            for (int32_t xref = 1; xref <= 3; ++xref) {
                const auto person =
                    std::find(ids.begin(), ids.end(), store.idText(xref)) - ids.begin();
                ASSERT_LT(person, 3);
                const std::optional<PersonCard> card =
                    ReadPersonCard(path, store.idText(xref), stamp, reporter);
                ASSERT_TRUE(card.has_value());
                EXPECT_EQ(Filled(*card), expected(static_cast<int>(person), copy.ansel));
                // The chart's first given name is the card's first.
                EXPECT_EQ(card->givenNames.substr(0, card->givenNames.find(' ')),
                          store[xref].givenName);
            }
            EXPECT_TRUE(reporter.messages.empty());
        }
    }
}

TEST(PersonCard, AFileChangedOrGoneSinceReadingIsNamedWithTheReason) {
    test::TempDir dir;
    const std::string path = dir.file("roy.ged").string();
    const std::string file = "0 HEAD\n0 @I1@ INDI\n1 NAME Jean /Roy/\n0 TRLR\n";
    ASSERT_TRUE(test::WriteFileBytes(path, file));
    const std::optional<FileStamp> stamp = StampOfFile(path);
    ASSERT_TRUE(stamp.has_value());
    ListReporter reporter;
    ASSERT_TRUE(ReadPersonCard(path, "I1", stamp, reporter).has_value());

    const auto refused = [&](const std::string& why) {
        reporter.messages.clear();
        EXPECT_FALSE(ReadPersonCard(path, "I1", stamp, reporter).has_value()) << why;
        ASSERT_EQ(reporter.messages.size(), 1u) << why;
        EXPECT_NE(reporter.messages[0].text.find(path), std::string::npos)
            << reporter.messages[0].text;
        EXPECT_NE(reporter.messages[0].text.find(why), std::string::npos)
            << reporter.messages[0].text;
    };
    // Rewritten with other contents of the same size, then removed, then a folder in its place.
    const std::filesystem::path other = dir.file("autre.ged");
    ASSERT_TRUE(test::WriteFileBytes(other, "0 HEAD\n0 @I1@ INDI\n1 NAME Paul /Roy/\n0 TRLR\n"));
    std::filesystem::rename(other, path);
    refused("modifié depuis sa lecture");
    std::filesystem::remove(path);
    refused("Erreur ouverture fichier : " + path + " (" + std::strerror(ENOENT) + ")");
    std::filesystem::create_directory(path);
    refused("Erreur ouverture fichier : " + path + " (" + std::strerror(EISDIR) + ")");
}

} // namespace
} // namespace arbolix
