// The bundled sample family read back: every feature it was written to show.

#include <gtest/gtest.h>

#include "app/reporter.h"
#include "data/gedcom_reader.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

class SampleFamily : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        store_ = new PersonStore;
        ListReporter reporter;
        result_ = ReadGedcom(*store_, test::SampleFamilyFile().string(), {}, reporter);
    }
    static void TearDownTestSuite() { delete store_; }
    const Individual& operator[](int32_t i) const { return (*store_)[i]; }

    static PersonStore* store_;
    static int32_t result_;
};

PersonStore* SampleFamily::store_ = nullptr;
int32_t SampleFamily::result_ = 0;

TEST_F(SampleFamily, PersonsNamesYearsAndTowns) {
    ASSERT_EQ(result_, 91);
    EXPECT_FALSE(store_->numberedInOrder);
    for (int32_t i = 1; i <= 91; ++i) EXPECT_EQ((*this)[i].xref, i);
    EXPECT_STREQ((*this)[1].givenName, "Thomas");
    EXPECT_STREQ((*this)[1].surname, "DELORME");
    EXPECT_EQ((*this)[1].birthYear, 1989);
    EXPECT_STREQ((*this)[1].place, "ROUEN");
    EXPECT_STREQ((*this)[11].surname, "B\xC9RARD"); // accents in Windows-1252
    EXPECT_STREQ((*this)[11].place, "CH\xC2TEAUROUX");
    EXPECT_STREQ((*this)[20].givenName, "Jean"); // Jean Baptiste: the first word
    EXPECT_EQ((*this)[22].birthYear, 0);         // ABT 1678
    EXPECT_EQ((*this)[22].deathYear, 1741);
    EXPECT_EQ((*this)[21].deathYear, 0);                         // BEF 1760
    EXPECT_EQ((*this)[27].birthYear + (*this)[27].deathYear, 0); // no dates at all
    EXPECT_STREQ((*this)[27].place, "");
}

TEST_F(SampleFamily, CountriesFromPlacesAndNationality) {
    EXPECT_EQ((*this)[1].country, 207);  // France
    EXPECT_EQ((*this)[5].country, 211);  // NATI Italienne, born at Turin, Italie
    EXPECT_EQ((*this)[58].country, 261); // Canada
    EXPECT_EQ((*this)[80].country, 208); // Belgique
    EXPECT_EQ((*this)[84].country, 399); // Suisse
    EXPECT_EQ((*this)[88].country, 281); // Espagne
}

TEST_F(SampleFamily, FamiliesWidowerCousinsAndUnusualOrders) {
    // The widower's two marriages, in the order of the family records.
    const Individual& auguste = (*this)[10];
    ASSERT_EQ(auguste.spouseCount, 2);
    EXPECT_EQ(auguste.spouses[0], 11);
    EXPECT_EQ(auguste.spouses[1], 66);
    EXPECT_EQ((*this)[67].mother, 66);
    EXPECT_EQ((*this)[8].mother, 11);
    // The married cousins share the grandparents 16 and 17.
    EXPECT_EQ((*this)[12].father, 14);
    EXPECT_EQ((*this)[14].father, 16);
    EXPECT_EQ((*this)[13].mother, 52);
    EXPECT_EQ((*this)[52].father, 16);
    EXPECT_EQ((*this)[52].mother, 17);
    // WIFE before HUSB: still a couple; CHIL before HUSB and WIFE: still both parents.
    ASSERT_EQ((*this)[79].spouseCount, 1);
    EXPECT_EQ((*this)[79].spouses[0], 80);
    for (int32_t child : {61, 62}) {
        EXPECT_EQ((*this)[child].father, 59);
        EXPECT_EQ((*this)[child].mother, 60);
    }
}

} // namespace
} // namespace arbolix
