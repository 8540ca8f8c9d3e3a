// Places: the countries a text names, the place format's columns, and the sample places of the
// place-format dialog, read from files of every encoding, split into fields and read back with a
// format as the reader would.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/encoding.h"
#include "data/place_samples.h"
#include "data/places.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

// A file's text in Windows-1252, with its CHAR line. Only the level-2 PLAC lines with a value
// are samples.
std::string Gedcom(const std::string& charset, const std::string& orleans,
                   const std::string& besancon) {
    return "0 HEAD\r\n1 CHAR " + charset + "\r\n0 @I1@ INDI\r\n1 NAME Jean /Dupont/\r\n1 BIRT\r\n" +
           "2 DATE 1900\r\n2 PLAC " + orleans + ", 45000, Loiret, Centre, France\r\n1 DEAT\r\n" +
           "2 PLAC   \r\n1 PLAC Ailleurs\r\n1 RESI\r\n2 PLACE Nulle part\r\n2 PLAC " + besancon +
           ", 25000\r\n3 PLAC Plus bas\r\n0 TRLR\r\n";
}

TEST(PlaceSamples, EveryEncodingGivesTheSameWindows1252Places) {
    const std::string orleans = "Orl\xE9" "ans";
    const std::string besancon = "Besan\xE7" "on";
    const std::vector<std::string> expected = {orleans + ", 45000, Loiret, Centre, France",
                                               besancon + ", 25000"};
    const std::string unicode = Windows1252ToUtf8(Gedcom("UNICODE", orleans, besancon));
    const std::pair<const char*, std::string> files[] = {
        {"ANSI", Gedcom("ANSI", orleans, besancon)},
        {"ANSEL", Gedcom("ANSEL", "Orl\xE2" "eans", "Besan\xF0" "con")},
        {"UTF-8", Windows1252ToUtf8(Gedcom("UTF-8", orleans, besancon))},
        {"UTF-16LE", "\xFF\xFE" + test::Utf16Bytes(unicode, true)},
        {"UTF-16BE", "\xFE\xFF" + test::Utf16Bytes(unicode, false)},
    };
    test::TempDir dir;
    for (const auto& [name, bytes] : files) {
        const auto path = dir.file(std::string(name) + ".ged");
        ASSERT_TRUE(test::WriteFileBytes(path, bytes));
        EXPECT_EQ(ReadPlaceSamples(path.string()), expected) << name;
    }
}

TEST(PlaceSamples, AtMostThirtyThreeInFileOrderAndNoneWithoutAFile) {
    std::string text = "0 HEAD\n1 CHAR ANSI\n0 @I1@ INDI\n";
    for (int i = 0; i < 40; ++i) text += "1 RESI\n2 PLAC Ville " + std::to_string(i) + "\n";
    test::TempDir dir;
    ASSERT_TRUE(test::WriteFileBytes(dir.file("many.ged"), text));
    const std::vector<std::string> samples = ReadPlaceSamples(dir.file("many.ged").string());
    ASSERT_EQ(samples.size(), 33u);
    EXPECT_EQ(samples.front(), "Ville 0");
    EXPECT_EQ(samples.back(), "Ville 32");
    EXPECT_TRUE(ReadPlaceSamples(dir.file("absent.ged").string()).empty());
    EXPECT_TRUE(ReadPlaceSamples(dir.path().string()).empty());
}

TEST(PlaceSamples, FieldsAndTheirReadingUnderAFormat) {
    using Fields = std::array<std::string, kPlaceFieldCount>;
    EXPECT_EQ(PlaceFields("Paris , 75000,,Ile-de-France, France, Europe"),
              (Fields{"Paris", "75000", "", "Ile-de-France", "France"}));
    EXPECT_EQ(PlaceFields("Lyon"), (Fields{"Lyon", "", "", "", ""}));

    PlaceReading reading =
        ReadPlaceWithFormat("Tours, 37000, Indre-et-Loire, Centre, France", PlaceFormat{});
    EXPECT_EQ(reading.town, "TOURS");
    EXPECT_EQ(reading.country, "France");
    EXPECT_EQ(reading.flag, 207);
    // Country first, town last: the roles follow the columns.
    reading = ReadPlaceWithFormat("Italie, Lazio, RM, 00100, Roma", PlaceFormat{5, 4, 3, 2, 1});
    EXPECT_EQ(reading.town, "ROMA");
    EXPECT_EQ(reading.country, "Italie");
    EXPECT_EQ(reading.flag, 211);
}

// The flags test reaches every flag number with one plain name; these are the other ways of
// writing a country, and texts that must give nothing.
TEST(LookupCountry, CaseAliasesAccentsAndKeyEnds) {
    const std::pair<const char*, int32_t> cases[] = {
        {"france", 207}, {"FRANCE", 207}, {"France, Europe", 207}, {"Fr", 207}, {"Pays-Bas", 368},
        {"N\xE9" "erlande", 368}, {"Etats-Unis", 283}, {"Bresil", 252},
        // Accented letters match whatever their case.
        {"\xE9tats-Unis", 283}, {"\xC9TATS-UNIS", 283}, {"br\xE9sil", 252}, {"BR\xC9SIL", 252},
        // Keys that must be followed by the end of the text, or stand at their position only.
        {"Niger, Afrique", 0}, {"Niger\n", 0}, {"Antigua", 232}, {"Antilles", 233}, {"Anti", 0}, {"Guin\xE9" "e", 0},
        {"", 0}, {"75000", 0}, {" France", 0}, {"Quebec", 0}, {"Wallonie", 0},
    };
    for (const auto& [text, flag] : cases) EXPECT_EQ(LookupCountry(text), flag) << text;
}

} // namespace
} // namespace arbolix
