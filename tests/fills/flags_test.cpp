#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/places.h"
#include "fills/flags.h"

namespace arbolix {
namespace {

TEST(Flags, EveryCountryOfTheTableHasAPicture) {
    const std::vector<int32_t> numbers = FlagNumbers();
    // 207..429 less the 17 numbers no key gives; a picture for each number and no other.
    EXPECT_EQ(numbers.size(), 206u);
    EXPECT_EQ(numbers.front(), 207);
    EXPECT_EQ(numbers.back(), 429);
    for (int32_t n : {0, -1, 206, 209, 375, 413, 430}) {
        EXPECT_TRUE(FlagSvg(n).empty()) << n;
        ASSERT_NE(FlagCountryCode(n), nullptr);
        EXPECT_STREQ(FlagCountryCode(n), "") << n;
    }
}

// Each picture: an SVG drawing of 4 by 3 that shows its country, each country once as a
// two-letter code; the numbers whose country is unclear share the neutral picture.
TEST(Flags, PicturesAreFourByThreeDrawingsOfTheirCountries) {
    const std::string_view neutral = FlagSvg(224);
    ASSERT_FALSE(neutral.empty());
    std::set<std::string> codes;
    int neutrals = 0;
    for (int32_t n : FlagNumbers()) {
        const std::string_view svg = FlagSvg(n);
        EXPECT_TRUE(svg.starts_with("<svg")) << n;
        EXPECT_NE(svg.find("</svg>"), std::string_view::npos) << n;
        EXPECT_NE(svg.substr(0, svg.find('>')).find("viewBox=\"0 0 640 480\""),
                  std::string_view::npos)
            << n;
        std::string code = FlagCountryCode(n);
        if (code.empty()) {
            ++neutrals;
            EXPECT_EQ(svg, neutral) << n;
            continue;
        }
        EXPECT_NE(svg, neutral) << n;
        EXPECT_TRUE(code.size() == 2 &&
                    code.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos)
            << n << " " << code;
        EXPECT_TRUE(codes.insert(code).second) << "code " << code << " used twice";
        // The drawings taken from flag-icons carry the code of their country in their id.
        if (code == "an" || code == "yu") continue;
        if (code == "sh") code = "sh-hl"; // Sainte-Hélène alone, not its dependencies
        EXPECT_NE(svg.find("id=\"flag-icons-" + code + "\""), std::string_view::npos) << n;
    }
    EXPECT_EQ(neutrals, 5); // AB 224, AD 225, CHA 257, FO 289, RA 376
    EXPECT_EQ(FlagSvg(LookupCountry("Abkhazie")), neutral);
    EXPECT_EQ(kFlagNaturalWidth * 2, kFlagNaturalHeight * 3);
}

} // namespace
} // namespace arbolix
