#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/places.h"
#include "fills/flags.h"

namespace arbolix {
namespace {

// One country name (Windows-1252; where no name fits, the bare key) for every flag number of the
// country table, in increasing number order: together they reach every number LookupCountry can
// return. "DOM---S" stands for the key whose 7th letter is S, which no French name has.
// clang-format off
constexpr const char* kCountryTexts[] = {
    "France", "Belgique", "Irlande", "Italie", "Libye", "Afghanistan", "Sud-Afrique", "Albanie",
    "Alg\xE9rie", "Allemagne", "Australie", "Cambodge", "Chine", "Chypre", "Cuba", "Ab", "Ad",
    "Andorre", "Angola", "Anguilla", "Antarctique", "Autriche", "Azerba\xEF" "djan",
    "Antigua-et-Barbuda", "Antilles n\xE9" "erlandaises", "Arabie saoudite", "Arm\xE9nie", "Aruba",
    "Argentine", "Bahamas", "Bahre\xEFn", "Bangladesh", "Barbade", "Belize", "Benin", "Bermudes",
    "Bhoutan", "Bolivie", "Bi\xE9lorussie", "Bosnie-Herz\xE9govine", "Botswana", "Br\xE9sil",
    "Burkina Faso", "Burundi", "Brunei", "Bulgarie", "Chardja", "Colombie", "Ca\xEFmans",
    "Cameroun", "Canada", "Cap-Vert", "Centrafrique", "Chili", "Comores", "Congo", "Costa Rica",
    "Cote d'Ivoire", "Croatie", "Cor\xE9" "e du Sud", "Danemark", "Djibouti", "Dominique",
    "DOM---S", "\xE9gypte", "\xE9mirats arabes unis", "\xE9quateur", "Espagne", "Estonie",
    "Am\xE9rique", "\xE9thiopie", "Falkland", "F\xE9ro\xE9", "Fidji", "Finlande", "Fo", "Gabon",
    "Gambie", "G\xE9orgie", "Ghana", "Gibraltar", "Gr\xE8" "ce", "Grenade", "Groenland",
    "Guatemala", "Guin\xE9" "e-Bissau", "Guin\xE9" "e \xE9quatoriale", "Guyana", "Ha\xEFti",
    "Honduras", "Hongrie", "Inde", "Indon\xE9sie", "Iran", "Iraq", "Islande", "Isra\xEBl",
    "Jama\xEFque", "Japon", "Jordanie", "Kazakhstan", "Kenya", "Kirghizistan", "Kiribati",
    "Kowe\xEFt", "Laos", "Lesotho", "Lettonie", "Liban", "Lib\xE9ria", "Liechtenstein", "Lituanie",
    "Luxembourg", "Madagascar", "Malawi", "Maldives", "Mali", "Malte", "Maroc", "Marshall",
    "Maurice", "Mauritanie", "Mexique", "Micron\xE9sie", "Moldavie", "Monaco", "Mongolie",
    "Montserrat", "Mozambique", "Namibie", "Nauru", "N\xE9pal", "Nicaragua", "Niger", "Nigeria",
    "Norv\xE8ge", "Nouvelle-Z\xE9lande", "Oman", "Ouganda", "Ouzb\xE9kistan", "Pakistan", "Palaos",
    "Palestine", "Panama", "Papouasie-Nouvelle-Guin\xE9" "e", "Paraguay", "Hollande", "Perou",
    "Philippines", "Pitcairn", "Pologne", "Porto Rico", "Portugal", "Ras", "Roumanie", "Angleterre",
    "Russie", "Rwanda", "Saint-Christophe", "Saint-H\xE9l\xE8ne", "Saint-Lucie", "Saint-Marin",
    "Saint-Vincent", "Sao Tom\xE9-et-Principe", "Salomon", "Salvador", "Samoa", "S\xE9n\xE9gal",
    "Seychelles", "Sierra Leone", "Singapour", "Slovaquie", "Somalie", "Soudan", "Sri Lanka",
    "Su\xE8" "de", "Suisse", "Suriname", "Swaziland", "Slovenie", "Syrie", "Tadjikistan",
    "Ta\xEFwan", "Tanzanie", "Tchad", "Tch\xE9" "coslovaquie", "Tha\xEFlande", "Togo", "Tonga",
    "Trinit\xE9-et-Tobago", "Tunisie", "Turkm\xE9nistan", "Turks-et-Ca\xEF" "cos", "Turquie",
    "Tuvalu", "Ukraine", "Uruguay", "Vanuatu", "Vatican", "Venezuela", "Vierges britanniques",
    "Vietnam", "Y\xE9men", "Yougoslavie", "Za\xEFre", "Zimbabwe",
};
// clang-format on

TEST(Flags, EveryCountryOfTheTableHasAPicture) {
    const std::vector<int32_t> numbers = FlagNumbers();
    // 207..429 less the 17 numbers no key gives; a picture for each number and no other.
    EXPECT_EQ(numbers.size(), 206u);
    ASSERT_EQ(numbers.size(), std::size(kCountryTexts));
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(LookupCountry(kCountryTexts[i]), numbers[i]) << kCountryTexts[i];
    for (int32_t n : {0, -1, 206, 209, 375, 413, 430}) {
        EXPECT_TRUE(FlagSvg(n).empty()) << n;
        ASSERT_NE(FlagCountryCode(n), nullptr);
        EXPECT_STREQ(FlagCountryCode(n), "") << n;
    }
}

TEST(Flags, NumbersShowTheirCountries) {
    // Several keys give 214 (Afrique du Sud, Sud-Afrique), 283 (Etats-Unis, Amérique), 368
    // (Pays-Bas, Hollande, Néerlande) and 378 (Royaume-Uni, Angleterre); UK is the beginning of
    // Ukraine (419); Niger and Nigeria are neighbours; "an" and "yu" no longer exist.
    const std::vector<std::pair<int32_t, const char*>> known = {
        {207, "fr"}, {208, "be"}, {217, "de"}, {399, "ch"}, {214, "za"}, {283, "us"}, {368, "nl"},
        {378, "gb"}, {353, "ne"}, {354, "ng"}, {419, "ua"}, {233, "an"}, {427, "yu"}};
    for (const auto& [number, code] : known) EXPECT_STREQ(FlagCountryCode(number), code) << number;
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
