// The bundled sample family read back: every feature it was written to show.

#include <gtest/gtest.h>

#include <tuple>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

TEST(SampleFamily, PersonsCountriesAndFamilies) {
    auto store = std::make_unique<PersonStore>();
    ListReporter reporter;
    ASSERT_EQ(ReadGedcom(*store, test::SampleFamilyFile().string(), {}, reporter), 91);
    const PersonStore& p = *store;
    EXPECT_FALSE(p.numberedInOrder);
    for (int32_t i = 1; i <= 91; ++i) EXPECT_EQ(p[i].xref, i);
    EXPECT_STREQ(p[1].givenName, "Thomas");
    EXPECT_STREQ(p[1].surname, "DELORME");
    EXPECT_EQ(p[1].birthYear, 1989);
    EXPECT_STREQ(p[1].place, "ROUEN");
    EXPECT_STREQ(p[11].surname, "B\xC9RARD"); // accents in Windows-1252
    EXPECT_STREQ(p[11].place, "CH\xC2TEAUROUX");
    EXPECT_STREQ(p[20].givenName, "Jean"); // Jean Baptiste: the first word
    EXPECT_EQ(p[22].birthYear, 0);         // ABT 1678
    EXPECT_EQ(p[22].deathYear, 1741);
    EXPECT_EQ(p[21].deathYear, 0);                   // BEF 1760
    EXPECT_EQ(p[27].birthYear + p[27].deathYear, 0); // no dates at all
    EXPECT_STREQ(p[27].place, "");

    // France, Italie (NATI Italienne, born at Turin), Canada, Belgique, Suisse, Espagne.
    const std::pair<int32_t, int32_t> countries[] = {{1, 207}, {5, 211}, {58, 261}, {80, 208}, {84, 399}, {88, 281}};
    for (const auto& [i, flag] : countries) EXPECT_EQ(p[i].country, flag) << i;

    // The widower's two marriages, in the order of the family records.
    ASSERT_EQ(p[10].spouseCount, 2);
    EXPECT_EQ(p[10].spouses[0], 11);
    EXPECT_EQ(p[10].spouses[1], 66);
    // Child, father, mother: the widower's children of both marriages; the married cousins 12
    // and 13 share the grandparents 16 and 17; CHIL before HUSB and WIFE (61, 62) still gives both.
    const std::tuple<int32_t, int32_t, int32_t> parents[] = {{8, 10, 11},  {67, 10, 66}, {12, 14, 15}, {14, 16, 17},
                                                             {13, 53, 52}, {52, 16, 17}, {61, 59, 60}, {62, 59, 60}};
    for (const auto& [child, father, mother] : parents) {
        EXPECT_EQ(p[child].father, father) << child;
        EXPECT_EQ(p[child].mother, mother) << child;
    }
    // WIFE before HUSB: still a couple.
    ASSERT_EQ(p[79].spouseCount, 1);
    EXPECT_EQ(p[79].spouses[0], 80);
}

} // namespace
} // namespace arbolix
