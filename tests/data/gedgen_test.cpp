// The synthetic GEDCOM generator: reproducible bytes and a sound structure, checked with a small
// parse of its own (independent of the program's GEDCOM reader).

#include "data/encoding.h"
#include "gedgen/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using arbolix::gedgen::GenerateGedcom;
using arbolix::gedgen::Options;
using arbolix::gedgen::Shape;

struct Parsed {
    std::vector<std::string> order; // record types in file order, "HEAD" and "TRLR" too
    // (family, person) links as the persons state them (FAMC, FAMS) and as the families do (CHIL;
    // HUSB, WIFE), the child links first. A link to a missing record is stated from one side only.
    std::set<std::pair<std::string, std::string>> fromPersons[2], fromFamilies[2];
};

Parsed Parse(const std::string& text) {
    Parsed p;
    std::istringstream in(text);
    std::string line, current;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string level, first, rest;
        words >> level >> first >> rest;
        if (level == "0") {
            current = first;
            p.order.push_back(rest.empty() ? first : rest);
        } else if (level == "1" && (first == "FAMC" || first == "FAMS")) {
            p.fromPersons[first == "FAMS"].emplace(rest, current);
        } else if (level == "1" && (first == "CHIL" || first == "HUSB" || first == "WIFE")) {
            p.fromFamilies[first != "CHIL"].emplace(current, rest);
        }
    }
    return p;
}

// Header first, trailer last, and every link stated from both sides.
void ExpectValid(const Parsed& p) {
    ASSERT_GE(p.order.size(), 2u);
    EXPECT_EQ(p.order.front(), "HEAD");
    EXPECT_EQ(p.order.back(), "TRLR");
    EXPECT_EQ(p.fromPersons[0], p.fromFamilies[0]);
    EXPECT_EQ(p.fromPersons[1], p.fromFamilies[1]);
    EXPECT_FALSE(p.fromPersons[0].empty() || p.fromPersons[1].empty());
}

TEST(Gedgen, SameOptionsGiveTheSameBytes) {
    Options o;
    o.seed = 5;
    const std::string text = GenerateGedcom(o);
    EXPECT_EQ(text, GenerateGedcom(o));
    std::ostringstream streamed;
    arbolix::gedgen::WriteGedcom(o, streamed);
    EXPECT_EQ(text, streamed.str());
    o.seed = 6;
    EXPECT_NE(text, GenerateGedcom(o));
}

TEST(Gedgen, EachShapeGivesAValidFileOfItsSize) {
    for (const Shape shape : {Shape::Population, Shape::Founder, Shape::Pedigree}) {
        SCOPED_TRACE(static_cast<int>(shape));
        const Options o{.persons = 3000, .seed = 9, .shape = shape, .generations = 10};
        const std::string text = GenerateGedcom(o);
        EXPECT_TRUE(arbolix::IsValidUtf8WithMultibyte(text));
        EXPECT_NE(text.find("\n1 CHAR UTF-8\n"), std::string::npos);
        const Parsed p = Parse(text);
        ExpectValid(p);
        // A pedigree of 10 generations has 1023 slots; a few ancestors are reached along two
        // lines and stand in the file once.
        const bool pedigree = shape == Shape::Pedigree;
        const auto persons = std::count(p.order.begin(), p.order.end(), "INDI");
        EXPECT_LE(persons, pedigree ? 1022 : 3000);
        EXPECT_GE(persons, pedigree ? 1023 - 1023 / 20 : 3000);
    }
}

TEST(Gedgen, AnsiWithCrLf) {
    const Options o{.persons = 800, .charset = arbolix::gedgen::Charset::Ansi, .crlf = true};
    const std::string text = GenerateGedcom(o);
    EXPECT_NE(text.find("\r\n1 CHAR ANSI\r\n"), std::string::npos);
    EXPECT_NE(text.find('\xE9'), std::string::npos); // é
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_EQ(text[i - 1], '\r') << "bare line feed at byte " << i;
}

} // namespace
