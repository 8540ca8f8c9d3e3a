#include <gtest/gtest.h>

#include "data/places.h"

namespace arbolix {
namespace {

TEST(LookupCountry, FrenchNamesGiveTheirFlags) {
    EXPECT_EQ(LookupCountry("france"), 207);
    EXPECT_EQ(LookupCountry("FRANCE"), 207);
    EXPECT_EQ(LookupCountry("France, Europe"), 207);
    EXPECT_EQ(LookupCountry("Fr"), 207);
    EXPECT_EQ(LookupCountry("Belgique"), 208);
    EXPECT_EQ(LookupCountry("Irlande"), 210);
    EXPECT_EQ(LookupCountry("Italie"), 211);
    EXPECT_EQ(LookupCountry("Allemagne"), 217);
    EXPECT_EQ(LookupCountry("Alg\xE9rie"), 216);
    EXPECT_EQ(LookupCountry("Pays-Bas"), 368);
    EXPECT_EQ(LookupCountry("Hollande"), 368);
    EXPECT_EQ(LookupCountry("N\xE9"
                            "erlande"),
              368);
    EXPECT_EQ(LookupCountry("Etats-Unis"), 283);
    EXPECT_EQ(LookupCountry("\xC9tats-Unis"), 0); // capital É has no list
    EXPECT_EQ(LookupCountry("\xE9tats-Unis"), 283);
    EXPECT_EQ(LookupCountry("Suisse"), 399);
    EXPECT_EQ(LookupCountry("Espagne"), 281);
    EXPECT_EQ(LookupCountry("Canada"), 261);
}

TEST(LookupCountry, AccentsAreComparedAsWritten) {
    EXPECT_EQ(LookupCountry("Br\xE9sil"), 252);
    EXPECT_EQ(LookupCountry("Bresil"), 252);
    EXPECT_EQ(LookupCountry("BR\xC9SIL"), 0);
    EXPECT_EQ(LookupCountry("Su\xE8"
                            "de"),
              398);
    EXPECT_EQ(LookupCountry("Sud-Afrique"), 214);
    EXPECT_EQ(LookupCountry("Ha\xEF"
                            "ti"),
              303);
    EXPECT_EQ(LookupCountry("Ta\xEFwan"), 405);
}

TEST(LookupCountry, PositionAndEndKeys) {
    EXPECT_EQ(LookupCountry("Niger"), 353);
    EXPECT_EQ(LookupCountry("Niger, Afrique"), 0);
    EXPECT_EQ(LookupCountry("Niger\n"), 0);
    EXPECT_EQ(LookupCountry("Nigeria"), 354);
    EXPECT_EQ(LookupCountry("Antigua"), 232);
    EXPECT_EQ(LookupCountry("Antilles"), 233);
    EXPECT_EQ(LookupCountry("Anti"), 0);
    EXPECT_EQ(LookupCountry("Portugal"), 374);
    EXPECT_EQ(LookupCountry("Porto Rico"), 373);
    EXPECT_EQ(LookupCountry("Guin\xE9"
                            "e-Bissau"),
              299);
    EXPECT_EQ(LookupCountry("Guin\xE9"
                            "e \xE9quatoriale"),
              301);
    EXPECT_EQ(LookupCountry("Guin\xE9"
                            "e"),
              0);
    EXPECT_EQ(LookupCountry("Slovaquie"), 394);
    EXPECT_EQ(LookupCountry("Slovenie"), 402);
}

TEST(LookupCountry, UnknownTextsGiveNoFlag) {
    EXPECT_EQ(LookupCountry(""), 0);
    EXPECT_EQ(LookupCountry(nullptr), 0);
    EXPECT_EQ(LookupCountry("75000"), 0);
    EXPECT_EQ(LookupCountry(" France"), 0);
    EXPECT_EQ(LookupCountry("Quebec"), 0);
    EXPECT_EQ(LookupCountry("Wallonie"), 0);
}

TEST(PlaceFormat, ColumnsExchangeAndComeBack) {
    PlaceFormat format;
    EXPECT_EQ(format.role(0), kRoleTown);
    EXPECT_EQ(format.role(4), kRoleCountry);
    format.swapFields(0, 1);
    EXPECT_EQ(format.t0, 2);
    EXPECT_EQ(format.t1, 1);
    EXPECT_STREQ(PlaceRoleTitle(format.t0), "Code Postal");
    format.swapFields(0, 1);
    EXPECT_EQ(format, PlaceFormat{});
    EXPECT_STREQ(PlaceRoleTitle(9), "");
}

} // namespace
} // namespace arbolix
