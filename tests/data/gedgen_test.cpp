// The synthetic GEDCOM generator: reproducible bytes and a sound structure, checked with a small
// parse of its own (independent of the program's GEDCOM reader).

#include "data/encoding.h"
#include "gedgen/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using arbolix::gedgen::Charset;
using arbolix::gedgen::GenerateGedcom;
using arbolix::gedgen::Options;
using arbolix::gedgen::Shape;

struct Record {
    std::string type;
    std::vector<std::pair<std::string, std::string>> fields; // level-1 tag and value
    std::vector<std::string> values(std::string_view tag) const {
        std::vector<std::string> out;
        for (const auto& [t, v] : fields)
            if (t == tag) out.push_back(v);
        return out;
    }
};

struct Parsed {
    std::map<std::string, Record> records; // by xref; the header under "HEAD"
    std::vector<std::string> order;        // record types in file order
    std::vector<std::string> headLines;
    int count(std::string_view type) const {
        int n = 0;
        for (const auto& [id, r] : records) n += r.type == type;
        return n;
    }
};

Parsed Parse(const std::string& text) {
    Parsed parsed;
    std::istringstream in(text);
    std::string line;
    Record* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string level, first, rest;
        words >> level >> first;
        std::getline(words, rest);
        if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
        if (level == "0") {
            const bool xref = first.size() > 2 && first.front() == '@';
            Record& r = parsed.records[first];
            r.type = xref ? rest : first;
            parsed.order.push_back(r.type);
            current = &r;
        } else {
            if (current && current->type == "HEAD") parsed.headLines.push_back(line);
            if (level == "1" && current) current->fields.emplace_back(first, rest);
        }
    }
    return parsed;
}

// Pointers lead to records of the right kind, and the links are stated from both sides.
void ExpectSoundLinks(const Parsed& p) {
    std::set<std::pair<std::string, std::string>> famc, chil, fams, spouses;
    for (const auto& [id, r] : p.records) {
        if (r.type == "INDI") {
            for (const char* tag : {"FAMC", "FAMS"}) {
                for (const auto& f : r.values(tag)) {
                    ASSERT_TRUE(p.records.contains(f)) << id << " " << tag << " " << f;
                    EXPECT_EQ(p.records.at(f).type, "FAM");
                    (std::string_view(tag) == "FAMC" ? famc : fams).emplace(f, id);
                }
            }
        } else if (r.type == "FAM") {
            for (const char* tag : {"HUSB", "WIFE", "CHIL"}) {
                for (const auto& i : r.values(tag)) {
                    ASSERT_TRUE(p.records.contains(i)) << id << " " << tag << " " << i;
                    EXPECT_EQ(p.records.at(i).type, "INDI");
                    (std::string_view(tag) == "CHIL" ? chil : spouses).emplace(id, i);
                }
            }
            EXPECT_LE(r.values("HUSB").size(), 1u);
            EXPECT_LE(r.values("WIFE").size(), 1u);
        }
    }
    EXPECT_EQ(famc, chil);
    EXPECT_EQ(fams, spouses);
}

void ExpectHeaderAndTrailer(const Parsed& p, std::string_view charset) {
    ASSERT_FALSE(p.order.empty());
    EXPECT_EQ(p.order.front(), "HEAD");
    EXPECT_EQ(p.order.back(), "TRLR");
    const auto& head = p.headLines;
    EXPECT_NE(std::find(head.begin(), head.end(), "2 VERS 5.5.1"), head.end());
    EXPECT_NE(std::find(head.begin(), head.end(), "1 CHAR " + std::string(charset)), head.end());
    const auto firstFamily = std::find(p.order.begin(), p.order.end(), "FAM");
    EXPECT_EQ(std::find(firstFamily, p.order.end(), "INDI"), p.order.end())
        << "persons first, then families";
}

std::vector<std::string> Parents(const Parsed& p, const std::string& person) {
    std::vector<std::string> out;
    for (const auto& f : p.records.at(person).values("FAMC"))
        for (const char* tag : {"HUSB", "WIFE"})
            for (const auto& i : p.records.at(f).values(tag)) out.push_back(i);
    return out;
}

TEST(Gedgen, PopulationIsReproducibleAndSound) {
    Options o;
    o.persons = 3000;
    o.seed = 5;
    const std::string text = GenerateGedcom(o);
    EXPECT_EQ(text, GenerateGedcom(o));
    std::ostringstream streamed;
    arbolix::gedgen::WriteGedcom(o, streamed);
    EXPECT_EQ(text, streamed.str());
    o.seed = 6;
    EXPECT_NE(text, GenerateGedcom(o));

    const Parsed p = Parse(text);
    ExpectHeaderAndTrailer(p, "UTF-8");
    ExpectSoundLinks(p);
    EXPECT_EQ(p.count("INDI"), 3000);
    EXPECT_TRUE(p.records.contains("@I1@") && p.records.contains("@I3000@"));
    EXPECT_FALSE(p.records.contains("@I3001@"));

    // Widowers who married again, and marriages of persons sharing a grandparent.
    int remarried = 0, cousins = 0;
    for (const auto& [id, r] : p.records) {
        if (r.type == "INDI") remarried += r.values("FAMS").size() >= 2;
        if (r.type != "FAM" || r.values("HUSB").empty() || r.values("WIFE").empty()) continue;
        std::set<std::string> grand;
        for (const auto& parent : Parents(p, r.values("HUSB")[0]))
            for (const auto& g : Parents(p, parent)) grand.insert(g);
        for (const auto& parent : Parents(p, r.values("WIFE")[0]))
            for (const auto& g : Parents(p, parent)) cousins += grand.contains(g);
    }
    EXPECT_GT(remarried, 0);
    EXPECT_GT(cousins, 0);
}

TEST(Gedgen, FounderDescendantsAndSpouses) {
    Options o;
    o.persons = 4000;
    o.seed = 9;
    o.shape = Shape::Founder;
    const Parsed p = Parse(GenerateGedcom(o));
    ExpectSoundLinks(p);
    ASSERT_EQ(p.count("INDI"), 4000);

    // Descendants of @I1@, walking down the families.
    std::set<std::string> descendants{"@I1@"};
    std::vector<std::string> todo{"@I1@"};
    while (!todo.empty()) {
        const std::string person = todo.back();
        todo.pop_back();
        for (const auto& f : p.records.at(person).values("FAMS"))
            for (const auto& c : p.records.at(f).values("CHIL"))
                if (descendants.insert(c).second) todo.push_back(c);
    }
    EXPECT_GT(descendants.size(), 2000u);
    for (const auto& [id, r] : p.records) {
        if (r.type != "INDI") continue;
        size_t children = 0;
        for (const auto& f : r.values("FAMS")) children += p.records.at(f).values("CHIL").size();
        EXPECT_LE(children, 32u) << id;
        if (descendants.contains(id)) continue;
        // Otherwise a spouse who married in: no parents, and married to a descendant.
        EXPECT_TRUE(r.values("FAMC").empty()) << id;
        bool married = false;
        for (const auto& f : r.values("FAMS"))
            for (const char* tag : {"HUSB", "WIFE"})
                for (const auto& i : p.records.at(f).values(tag))
                    married |= descendants.contains(i);
        EXPECT_TRUE(married) << id;
    }
}

TEST(Gedgen, PedigreeFillsEverySlot) {
    Options o;
    o.shape = Shape::Pedigree;
    o.generations = 10;
    o.seed = 3;
    o.persons = 5; // ignored by this shape
    const std::string text = GenerateGedcom(o);
    EXPECT_EQ(text, GenerateGedcom(o));
    const Parsed p = Parse(text);
    ExpectSoundLinks(p);

    // Sosa slots: father of n is 2n, mother 2n + 1.
    const int slots = (1 << o.generations) - 1;
    std::vector<std::string> at(static_cast<size_t>(slots) + 1);
    at[1] = "@I1@";
    for (int n = 1; 2 * n + 1 <= slots; ++n) {
        const auto famc = p.records.at(at[n]).values("FAMC");
        ASSERT_EQ(famc.size(), 1u) << "slot " << n;
        const Record& f = p.records.at(famc[0]);
        ASSERT_EQ(f.values("HUSB").size(), 1u);
        ASSERT_EQ(f.values("WIFE").size(), 1u);
        at[2 * n] = f.values("HUSB")[0];
        at[2 * n + 1] = f.values("WIFE")[0];
    }
    // The deepest generation has no parents in the file.
    for (int n = (slots + 1) / 2; n <= slots; ++n)
        EXPECT_TRUE(p.records.at(at[n]).values("FAMC").empty()) << "slot " << n;

    const std::set<std::string> distinct(at.begin() + 1, at.end());
    EXPECT_EQ(static_cast<int>(distinct.size()), p.count("INDI"));
    const int repeated = slots - static_cast<int>(distinct.size());
    EXPECT_GT(repeated, 0); // some ancestors are reached along two lines
    EXPECT_LT(repeated, slots / 20);
}

TEST(Gedgen, CharsetsAndLineEnds) {
    Options o;
    o.persons = 800;
    const std::string utf8 = GenerateGedcom(o);
    EXPECT_NE(utf8.find("\xC3\xA9"), std::string::npos); // é
    EXPECT_TRUE(arbolix::IsValidUtf8WithMultibyte(utf8));
    EXPECT_EQ(utf8.find('\r'), std::string::npos);

    o.charset = Charset::Ansi;
    o.crlf = true;
    const std::string ansi = GenerateGedcom(o);
    EXPECT_NE(ansi.find('\xE9'), std::string::npos); // é
    const auto utf8Pair = std::adjacent_find(ansi.begin(), ansi.end(), [](char a, char b) {
        return static_cast<unsigned char>(a) >= 0xC2 && static_cast<unsigned char>(a) <= 0xF4 &&
               (static_cast<unsigned char>(b) & 0xC0) == 0x80;
    });
    EXPECT_EQ(utf8Pair, ansi.end()) << "UTF-8 sequence at byte " << (utf8Pair - ansi.begin());
    for (size_t i = ansi.find('\n'); i != std::string::npos; i = ansi.find('\n', i + 1))
        ASSERT_EQ(ansi[i - 1], '\r') << "bare line feed at byte " << i;
    const Parsed p = Parse(ansi);
    ExpectHeaderAndTrailer(p, "ANSI");
    EXPECT_EQ(p.count("INDI"), 800);
}

} // namespace
