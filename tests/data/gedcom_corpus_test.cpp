// Reads the public GEDCOM files written by other programs (../shared/gedcom) and checks what the
// store holds against what the files say.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

struct Loaded {
    std::unique_ptr<PersonStore> store = std::make_unique<PersonStore>();
    ListReporter reporter;
    int32_t result = -1;

    const Individual& byId(std::string_view id) const {
        for (int32_t i = 1; i <= store->highestXref; ++i)
            if (store->idText(i) == id) return (*store)[i];
        ADD_FAILURE() << "no record for @" << id << "@";
        return (*store)[0];
    }
    int32_t number(std::string_view id) const { return byId(id).xref; }
};

Loaded Load(const std::filesystem::path& file) {
    Loaded loaded;
    loaded.result = ReadGedcom(*loaded.store, file.string(), {}, loaded.reporter);
    return loaded;
}

template <size_t N> bool Terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

// What must hold for any store after any file.
void ExpectConsistent(const PersonStore& store) {
    ASSERT_LE(store.highestXref, store.topIndex());
    const auto links = [&](int32_t link, int32_t lowest) { return link >= lowest && link <= store.highestXref; };
    for (int32_t i = 0; i <= store.highestXref; ++i) {
        const Individual& p = store[i];
        ASSERT_TRUE(Terminated(p.givenName) && Terminated(p.surname) && Terminated(p.place)) << i;
        if (i == 0) continue;
        EXPECT_TRUE(links(p.father, 0) && links(p.mother, 0)) << i;
        ASSERT_TRUE(p.spouseCount >= 0 && p.spouseCount <= 4) << i;
        for (int k = 0; k < p.spouseCount; ++k) EXPECT_TRUE(links(p.spouses[k], 1)) << i;
    }
}

TEST(GedcomCorpus, EveryFileReadsIntoAConsistentStore) {
    ARBOLIX_REQUIRE_SHARED_GEDCOM(dir);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext != ".ged") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const Loaded loaded = Load(entry.path());
        ++files;
        EXPECT_GE(loaded.result, 0);
        EXPECT_TRUE(loaded.reporter.messages.empty());
        ExpectConsistent(*loaded.store);
    }
    EXPECT_GT(files, 100);
}

// The GEDCOM 5.5 torture test: ANSEL, CR only or CR LF, ids such as @PERSON1@ and families
// @PARENTS@ and @ADOPTIVE_PARENTS@ giving one person two sets of parents.
TEST(GedcomCorpus, TortureTestFiles) {
    ARBOLIX_REQUIRE_SHARED_GEDCOM(dir);
    for (const char* name : {"TGC551.ged", "TGC551LF.ged"}) {
        SCOPED_TRACE(name);
        const Loaded t = Load(dir / name);
        ASSERT_EQ(t.result, 15);
        EXPECT_EQ(t.store->ansiFlag, 0);
        const Individual& joseph = t.byId("PERSON1");
        ASSERT_EQ(joseph.spouseCount, 2);
        EXPECT_EQ(joseph.spouses[0], t.number("PERSON2"));
        EXPECT_EQ(joseph.spouses[1], t.number("PERSON8"));
        // Child, father, mother: PERSON1's are his first parents, @PARENTS@ before the adoptive ones.
        const std::tuple<const char*, const char*, const char*> parents[] = {
            {"PERSON1", "PERSON5", "PERSON6"}, {"PERSON3", "PERSON1", "PERSON2"}, {"PERSON4", "PERSON1", "PERSON2"},
            {"PERSON7", "PERSON1", "PERSON8"}, {"PERSON5", "I14", "I13"}, {"I14", nullptr, "I10"}, {"I11", "I9", "I15"}};
        for (const auto& [child, father, mother] : parents) {
            EXPECT_EQ(t.byId(child).father, father ? t.number(father) : 0) << child;
            EXPECT_EQ(t.byId(child).mother, t.number(mother)) << child;
        }
    }
    // CR-only and CR LF copies hold the same persons.
    for (const char* name : {"TGC551", "TGC55C"}) {
        const Loaded cr = Load(dir / (std::string(name) + ".ged"));
        const Loaded crlf = Load(dir / (std::string(name) + "LF.ged"));
        ASSERT_EQ(cr.result, 15);
        ASSERT_EQ(crlf.result, 15);
        for (int32_t i = 1; i <= 15; ++i)
            EXPECT_EQ(std::memcmp(&(*cr.store)[i], &(*crlf.store)[i], sizeof(Individual)), 0) << name << i;
    }
}

TEST(GedcomCorpus, UnusualIds) {
    ARBOLIX_REQUIRE_SHARED_GEDCOM(dir);
    // An id without digits beside @I1@..@I9@: every id numbered in order of appearance.
    const Loaded edges = Load(dir / "cc-structural-edge-cases.ged");
    EXPECT_EQ(edges.result, 10);
    EXPECT_TRUE(edges.store->numberedInOrder);
    const Individual& longId =
        edges.byId("INDIVIDUAL_WITH_VERY_LONG_XREF_IDENTIFIER_12345678901234567890");
    EXPECT_EQ(longId.father, edges.number("I1"));
    EXPECT_EQ(longId.mother, edges.number("I2"));
    EXPECT_EQ(edges.byId("I7").mother, edges.number("I3"));
    EXPECT_STREQ(edges.byId("I8").givenName, "Unicode"); // the first NAME names the person
    EXPECT_STREQ(edges.byId("I8").surname, "INVALUES");
    EXPECT_STREQ(edges.byId("I8").place, "TOKYO");
    EXPECT_EQ(edges.byId("I8").country, 0); // "Japan" is the second field, not the fifth

    // (Ids made of names and GEDCOM 7's @VOID@ are left to gedcom_reader_test.cpp.)
    // Ids written the other way round (@12I@) keep their digits.
    const Loaded heredis = Load(dir / "cc-vendor-heredis.ged");
    EXPECT_EQ(heredis.result, 179);
    EXPECT_FALSE(heredis.store->numberedInOrder);
    EXPECT_EQ(heredis.store->idText(179), "179I");
}

} // namespace
} // namespace arbolix
