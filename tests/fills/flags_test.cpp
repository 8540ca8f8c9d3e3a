#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "data/places.h"
#include "fills/flags.h"

namespace arbolix {
namespace {

struct CountryText {
    const char* text; // Windows-1252
    int32_t flag;
};

// One country name (or, where no name fits, the bare key) for every flag number of the country
// table: together they reach every number LookupCountry can return.
constexpr CountryText kCountryTexts[] = {
    {"France", 207},
    {"Belgique", 208},
    {"Irlande", 210},
    {"Italie", 211},
    {"Libye", 212},
    {"Afghanistan", 213},
    {"Sud-Afrique", 214},
    {"Albanie", 215},
    {"Alg\xE9rie", 216},
    {"Allemagne", 217},
    {"Australie", 219},
    {"Cambodge", 220},
    {"Chine", 221},
    {"Chypre", 222},
    {"Cuba", 223},
    {"Ab", 224},
    {"Ad", 225},
    {"Andorre", 226},
    {"Angola", 227},
    {"Anguilla", 228},
    {"Antarctique", 229},
    {"Autriche", 230},
    {"Azerba\xEF" "djan", 231},
    {"Antigua-et-Barbuda", 232},
    {"Antilles n\xE9" "erlandaises", 233},
    {"Arabie saoudite", 234},
    {"Arm\xE9nie", 236},
    {"Aruba", 237},
    {"Argentine", 239},
    {"Bahamas", 240},
    {"Bahre\xEFn", 241},
    {"Bangladesh", 242},
    {"Barbade", 243},
    {"Belize", 244},
    {"Benin", 245},
    {"Bermudes", 246},
    {"Bhoutan", 247},
    {"Bolivie", 248},
    {"Bi\xE9lorussie", 249},
    {"Bosnie-Herz\xE9govine", 250},
    {"Botswana", 251},
    {"Br\xE9sil", 252},
    {"Burkina Faso", 253},
    {"Burundi", 254},
    {"Brunei", 255},
    {"Bulgarie", 256},
    {"Chardja", 257},
    {"Colombie", 258},
    {"Ca\xEFmans", 259},
    {"Cameroun", 260},
    {"Canada", 261},
    {"Cap-Vert", 262},
    {"Centrafrique", 263},
    {"Chili", 264},
    {"Comores", 265},
    {"Congo", 266},
    {"Costa Rica", 268},
    {"Cote d'Ivoire", 269},
    {"Croatie", 270},
    {"Cor\xE9" "e du Sud", 271},
    {"Danemark", 272},
    {"Djibouti", 273},
    {"Dominique", 274},
    {"DOM---S", 275}, // no French name has S as its 7th letter
    {"\xE9gypte", 277},
    {"\xE9mirats arabes unis", 278},
    {"\xE9quateur", 279},
    {"Espagne", 281},
    {"Estonie", 282},
    {"Am\xE9rique", 283},
    {"\xE9thiopie", 284},
    {"Falkland", 285},
    {"F\xE9ro\xE9", 286},
    {"Fidji", 287},
    {"Finlande", 288},
    {"Fo", 289},
    {"Gabon", 290},
    {"Gambie", 291},
    {"G\xE9orgie", 292},
    {"Ghana", 293},
    {"Gibraltar", 294},
    {"Gr\xE8" "ce", 295},
    {"Grenade", 296},
    {"Groenland", 297},
    {"Guatemala", 298},
    {"Guin\xE9" "e-Bissau", 299},
    {"Guin\xE9" "e \xE9quatoriale", 301},
    {"Guyana", 302},
    {"Ha\xEFti", 303},
    {"Honduras", 304},
    {"Hongrie", 305},
    {"Inde", 306},
    {"Indon\xE9sie", 307},
    {"Iran", 308},
    {"Iraq", 309},
    {"Islande", 310},
    {"Isra\xEBl", 311},
    {"Jama\xEFque", 312},
    {"Japon", 313},
    {"Jordanie", 314},
    {"Kazakhstan", 315},
    {"Kenya", 316},
    {"Kirghizistan", 317},
    {"Kiribati", 318},
    {"Kowe\xEFt", 319},
    {"Laos", 320},
    {"Lesotho", 321},
    {"Lettonie", 322},
    {"Liban", 323},
    {"Lib\xE9ria", 324},
    {"Liechtenstein", 325},
    {"Lituanie", 326},
    {"Luxembourg", 327},
    {"Madagascar", 329},
    {"Malawi", 331},
    {"Maldives", 332},
    {"Mali", 333},
    {"Malte", 334},
    {"Maroc", 336},
    {"Marshall", 337},
    {"Maurice", 338},
    {"Mauritanie", 339},
    {"Mexique", 340},
    {"Micron\xE9sie", 341},
    {"Moldavie", 342},
    {"Monaco", 343},
    {"Mongolie", 344},
    {"Montserrat", 345},
    {"Mozambique", 346},
    {"Namibie", 348},
    {"Nauru", 349},
    {"N\xE9pal", 350},
    {"Nicaragua", 351},
    {"Niger", 353},
    {"Nigeria", 354},
    {"Norv\xE8ge", 355},
    {"Nouvelle-Z\xE9lande", 356},
    {"Oman", 358},
    {"Ouganda", 359},
    {"Ouzb\xE9kistan", 361},
    {"Pakistan", 362},
    {"Palaos", 363},
    {"Palestine", 364},
    {"Panama", 365},
    {"Papouasie-Nouvelle-Guin\xE9" "e", 366},
    {"Paraguay", 367},
    {"Hollande", 368},
    {"Perou", 369},
    {"Philippines", 370},
    {"Pitcairn", 371},
    {"Pologne", 372},
    {"Porto Rico", 373},
    {"Portugal", 374},
    {"Ras", 376},
    {"Roumanie", 377},
    {"Angleterre", 378},
    {"Russie", 379},
    {"Rwanda", 380},
    {"Saint-Christophe", 381},
    {"Saint-H\xE9l\xE8ne", 382},
    {"Saint-Lucie", 383},
    {"Saint-Marin", 384},
    {"Saint-Vincent", 385},
    {"Sao Tom\xE9-et-Principe", 386},
    {"Salomon", 387},
    {"Salvador", 388},
    {"Samoa", 389},
    {"S\xE9n\xE9gal", 390},
    {"Seychelles", 391},
    {"Sierra Leone", 392},
    {"Singapour", 393},
    {"Slovaquie", 394},
    {"Somalie", 395},
    {"Soudan", 396},
    {"Sri Lanka", 397},
    {"Su\xE8" "de", 398},
    {"Suisse", 399},
    {"Suriname", 400},
    {"Swaziland", 401},
    {"Slovenie", 402},
    {"Syrie", 403},
    {"Tadjikistan", 404},
    {"Ta\xEFwan", 405},
    {"Tanzanie", 406},
    {"Tchad", 407},
    {"Tch\xE9" "coslovaquie", 408},
    {"Tha\xEFlande", 409},
    {"Togo", 410},
    {"Tonga", 411},
    {"Trinit\xE9-et-Tobago", 412},
    {"Tunisie", 414},
    {"Turkm\xE9nistan", 415},
    {"Turks-et-Ca\xEF" "cos", 416},
    {"Turquie", 417},
    {"Tuvalu", 418},
    {"Ukraine", 419},
    {"Uruguay", 420},
    {"Vanuatu", 421},
    {"Vatican", 422},
    {"Venezuela", 423},
    {"Vierges britanniques", 424},
    {"Vietnam", 425},
    {"Y\xE9men", 426},
    {"Yougoslavie", 427},
    {"Za\xEFre", 428},
    {"Zimbabwe", 429},
};

std::vector<int32_t> TableNumbers() {
    std::set<int32_t> numbers;
    for (const CountryText& c : kCountryTexts) numbers.insert(c.flag);
    return {numbers.begin(), numbers.end()};
}

TEST(Flags, EveryCountryOfTheTableHasAPicture) {
    for (const CountryText& c : kCountryTexts) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(LookupCountry(c.text), c.flag);
        const std::string_view svg = FlagSvg(c.flag);
        ASSERT_FALSE(svg.empty());
        EXPECT_EQ(svg.substr(0, 4), "<svg");
        EXPECT_NE(svg.find("</svg>"), std::string_view::npos);
    }
    // 207 ..429 less the numbers no key gives.
    EXPECT_EQ(TableNumbers().size(), 206u);
    EXPECT_EQ(FlagNumbers(), TableNumbers()) << "a picture for each number of the table and no other";
}

TEST(Flags, NumbersOutsideTheTableHaveNone) {
    for (int32_t n : {0, -1, 206, 209, 218, 235, 300, 347, 375, 413, 430, 1000}) {
        EXPECT_TRUE(FlagSvg(n).empty()) << n;
        ASSERT_NE(FlagCountryCode(n), nullptr);
        EXPECT_STREQ(FlagCountryCode(n), "") << n;
    }
}

TEST(Flags, NumbersShowTheirCountries) {
    EXPECT_STREQ(FlagCountryCode(207), "fr");
    EXPECT_STREQ(FlagCountryCode(208), "be");
    EXPECT_STREQ(FlagCountryCode(210), "ie");
    EXPECT_STREQ(FlagCountryCode(211), "it");
    EXPECT_STREQ(FlagCountryCode(214), "za"); // Afrique du Sud and Sud-Afrique
    EXPECT_STREQ(FlagCountryCode(217), "de");
    EXPECT_STREQ(FlagCountryCode(283), "us"); // Etats-Unis and Amérique
    EXPECT_STREQ(FlagCountryCode(368), "nl"); // Pays-Bas, Hollande, Néerlande
    EXPECT_STREQ(FlagCountryCode(378), "gb"); // Royaume-Uni and Angleterre share the number
    EXPECT_STREQ(FlagCountryCode(399), "ch");
    EXPECT_STREQ(FlagCountryCode(353), "ne");
    EXPECT_STREQ(FlagCountryCode(354), "ng");
    EXPECT_STREQ(FlagCountryCode(419), "ua"); // UK is the beginning of Ukraine
    EXPECT_STREQ(FlagCountryCode(233), "an"); // the former Netherlands Antilles
    EXPECT_STREQ(FlagCountryCode(427), "yu");

    // Each country once, as a two-letter code.
    std::set<std::string> codes;
    for (int32_t n : FlagNumbers()) {
        const std::string code = FlagCountryCode(n);
        if (code.empty()) continue;
        EXPECT_EQ(code.size(), 2u) << n;
        EXPECT_TRUE(std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'z'; })) << n;
        EXPECT_TRUE(codes.insert(code).second) << "code " << code << " used twice";
    }
}

TEST(Flags, PicturesMatchTheirCodes) {
    // The drawings taken from flag-icons carry the code of their country in their id.
    for (int32_t n : FlagNumbers()) {
        std::string code = FlagCountryCode(n);
        if (code.empty() || code == "an" || code == "yu") continue;
        if (code == "sh") code = "sh-hl"; // Sainte-Hélène alone, not its dependencies
        EXPECT_NE(FlagSvg(n).find("id=\"flag-icons-" + code + "\""), std::string_view::npos) << n;
    }
}

TEST(Flags, UnclearNumbersShareTheNeutralPicture) {
    const std::string_view neutral = FlagSvg(224);
    ASSERT_FALSE(neutral.empty());
    int count = 0;
    for (int32_t n : FlagNumbers()) {
        if (FlagCountryCode(n)[0] != '\0') {
            EXPECT_NE(FlagSvg(n), neutral) << n;
            continue;
        }
        ++count;
        EXPECT_EQ(FlagSvg(n), neutral) << n;
    }
    EXPECT_EQ(count, 5); // AB 224, AD 225, CHA 257, FO 289, RA 376
    EXPECT_EQ(FlagSvg(LookupCountry("Abkhazie")), neutral);
}

TEST(Flags, DrawingsAreFourByThree) {
    for (int32_t n : FlagNumbers()) {
        const std::string_view svg = FlagSvg(n);
        EXPECT_NE(svg.substr(0, svg.find('>')).find("viewBox=\"0 0 640 480\""), std::string_view::npos) << n;
    }
    EXPECT_EQ(kFlagNaturalWidth * 2, kFlagNaturalHeight * 3);
}

} // namespace
} // namespace arbolix
