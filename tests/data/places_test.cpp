#include <gtest/gtest.h>

#include "data/places.h"

namespace arbolix {
namespace {

// The flags test reaches every flag number with one plain name; these are the other ways of
// writing a country, and texts that must give nothing.
TEST(LookupCountry, CaseAliasesAccentsAndKeyEnds) {
    const std::pair<const char*, int32_t> cases[] = {
        {"france", 207}, {"FRANCE", 207}, {"France, Europe", 207}, {"Fr", 207}, {"Pays-Bas", 368},
        {"N\xE9" "erlande", 368}, {"Etats-Unis", 283}, {"Bresil", 252},
        // Accented letters match whatever their case.
        {"\xE9tats-Unis", 283}, {"\xC9TATS-UNIS", 283}, {"br\xE9sil", 252}, {"BR\xC9SIL", 252},
        {"SU\xC8" "DE", 398}, {"sl\xF6v\xE8nie", 402}, {"SL\xD6V\xC8NIE", 402},
        // Keys that must be followed by the end of the text, or stand at their position only.
        {"Niger, Afrique", 0}, {"Niger\n", 0}, {"Antigua", 232}, {"Antilles", 233}, {"Anti", 0}, {"Guin\xE9" "e", 0},
        {"", 0}, {"75000", 0}, {" France", 0}, {"Quebec", 0}, {"Wallonie", 0},
    };
    for (const auto& [text, flag] : cases) EXPECT_EQ(LookupCountry(text), flag) << text;
    EXPECT_EQ(LookupCountry(nullptr), 0);
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
