#include "fills/flags.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "FlagFiles.h"

namespace arbolix {

namespace {

struct FlagEntry {
    int32_t number;
    const char* code; // "" = the neutral picture
};

// Flag number → country, decided from the keys of the country table (data/places.cpp). The
// picture of number N is resources/flags/flag-N.svg, or resources/flags/neutral.svg for code "".
constexpr FlagEntry kFlags[] = {
    {207, "fr"}, // FR: France
    {208, "be"}, // BELG: Belgique
    {210, "ie"}, // IRL: Irlande
    {211, "it"}, // IT: Italie
    {212, "ly"}, // LIBY: Libye
    {213, "af"}, // AFG: Afghanistan
    {214, "za"}, // AFR, SUD: Afrique du Sud
    {215, "al"}, // ALB: Albanie
    {216, "dz"}, // ALG: Algérie
    {217, "de"}, // ALL: Allemagne
    {219, "au"}, // AUS: Australie
    {220, "kh"}, // CAMB: Cambodge
    {221, "cn"}, // CHIN: Chine
    {222, "cy"}, // CHY: Chypre
    {223, "cu"}, // CU: Cuba
    {224, ""}, // AB: country unclear, neutral picture
    {225, ""}, // AD: country unclear, neutral picture
    {226, "ad"}, // AND: Andorre
    {227, "ao"}, // ANGO: Angola
    {228, "ai"}, // ANGU: Anguilla
    {229, "aq"}, // ANTA: Antarctique
    {230, "at"}, // AUT: Autriche
    {231, "az"}, // AZ: Azerbaïdjan
    {232, "ag"}, // ANTI (5th G): Antigua-et-Barbuda
    {233, "an"}, // ANTI (5th L): Antilles néerlandaises
    {234, "sa"}, // ARA: Arabie saoudite
    {236, "am"}, // ARM: Arménie
    {237, "aw"}, // ARU: Aruba
    {239, "ar"}, // ARG: Argentine
    {240, "bs"}, // BAHA: Bahamas
    {241, "bh"}, // BAHR: Bahreïn
    {242, "bd"}, // BAN: Bangladesh
    {243, "bb"}, // BAR: Barbade
    {244, "bz"}, // Bé, BELI: Belize
    {245, "bj"}, // BEN: Bénin
    {246, "bm"}, // BER: Bermudes
    {247, "bt"}, // BH: Bhoutan
    {248, "bo"}, // BOL: Bolivie
    {249, "by"}, // BI: Biélorussie
    {250, "ba"}, // BOS: Bosnie-Herzégovine
    {251, "bw"}, // BOT: Botswana
    {252, "br"}, // BRé, BRE: Brésil
    {253, "bf"}, // BURK: Burkina Faso
    {254, "bi"}, // BURU: Burundi
    {255, "bn"}, // BRU: Brunei
    {256, "bg"}, // BUL: Bulgarie
    {257, ""}, // CHA, CHâ: country unclear, neutral picture
    {258, "co"}, // COL: Colombie
    {259, "ky"}, // CAï, CAI: Îles Caïmans
    {260, "cm"}, // CAME: Cameroun
    {261, "ca"}, // CAN: Canada
    {262, "cv"}, // CAP: Cap-Vert
    {263, "cf"}, // CE: Centrafrique
    {264, "cl"}, // CHIL: Chili
    {265, "km"}, // COM: Comores
    {266, "cg"}, // CON: Congo
    {268, "cr"}, // COS: Costa Rica
    {269, "ci"}, // COT: Côte d'Ivoire
    {270, "hr"}, // CR: Croatie
    {271, "kr"}, // COR: Corée du Sud
    {272, "dk"}, // DA: Danemark
    {273, "dj"}, // DJ: Djibouti
    {274, "dm"}, // DOM (7th Q): Dominique
    {275, "do"}, // DOM (7th S): République dominicaine
    {277, "eg"}, // éG: Égypte
    {278, "ae"}, // éM: Émirats arabes unis
    {279, "ec"}, // éQ: Équateur
    {281, "es"}, // ESP: Espagne
    {282, "ee"}, // EST: Estonie
    {283, "us"}, // ETA, éTA, AM: États-Unis
    {284, "et"}, // ETH, éTH: Éthiopie
    {285, "fk"}, // FA: Îles Falkland
    {286, "fo"}, // Fé, FE: Îles Féroé
    {287, "fj"}, // FID: Fidji
    {288, "fi"}, // FIN: Finlande
    {289, ""}, // FO: country unclear, neutral picture
    {290, "ga"}, // GAB: Gabon
    {291, "gm"}, // GAM: Gambie
    {292, "ge"}, // Gé, GE: Géorgie
    {293, "gh"}, // GH: Ghana
    {294, "gi"}, // GI: Gibraltar
    {295, "gr"}, // GRè, GREC: Grèce
    {296, "gd"}, // GREN: Grenade
    {297, "gl"}, // GRO: Groenland
    {298, "gt"}, // GUA: Guatemala
    {299, "gw"}, // GUI (7th -): Guinée-Bissau
    {301, "gq"}, // GUI (9th Q): Guinée équatoriale
    {302, "gy"}, // GUY: Guyana
    {303, "ht"}, // HA: Haïti
    {304, "hn"}, // HOND: Honduras
    {305, "hu"}, // HONG: Hongrie
    {306, "in"}, // INDE: Inde
    {307, "id"}, // INDO: Indonésie
    {308, "ir"}, // IRAN: Iran
    {309, "iq"}, // IRAQ: Irak
    {310, "is"}, // ISL: Islande
    {311, "il"}, // ISR: Israël
    {312, "jm"}, // JAM: Jamaïque
    {313, "jp"}, // JAP: Japon
    {314, "jo"}, // JO: Jordanie
    {315, "kz"}, // KA: Kazakhstan
    {316, "ke"}, // KE: Kenya
    {317, "kg"}, // KIRG: Kirghizistan
    {318, "ki"}, // KIRI: Kiribati
    {319, "kw"}, // KO: Koweït
    {320, "la"}, // LA: Laos
    {321, "ls"}, // Lé, LES: Lesotho
    {322, "lv"}, // LET: Lettonie
    {323, "lb"}, // LIBA: Liban
    {324, "lr"}, // LIBé, LIBE: Libéria
    {325, "li"}, // LIE: Liechtenstein
    {326, "lt"}, // LIT: Lituanie
    {327, "lu"}, // LU: Luxembourg
    {329, "mg"}, // MAD: Madagascar
    {331, "mw"}, // MALA: Malawi
    {332, "mv"}, // MALD: Maldives
    {333, "ml"}, // MALI: Mali
    {334, "mt"}, // MALT: Malte
    {336, "ma"}, // MARO: Maroc
    {337, "mh"}, // MARS: Îles Marshall
    {338, "mu"}, // MAU (6th C): Maurice
    {339, "mr"}, // MAU (6th T): Mauritanie
    {340, "mx"}, // ME: Mexique
    {341, "fm"}, // MI: Micronésie
    {342, "md"}, // MOL: Moldavie
    {343, "mc"}, // MONA: Monaco
    {344, "mn"}, // MONG: Mongolie
    {345, "ms"}, // MONT: Montserrat
    {346, "mz"}, // MOZ: Mozambique
    {348, "na"}, // NAM: Namibie
    {349, "nr"}, // NAU: Nauru
    {350, "np"}, // NéP, NEP: Népal
    {351, "ni"}, // NIC: Nicaragua
    {353, "ne"}, // NIGER (end): Niger
    {354, "ng"}, // NIG (7th A): Nigeria
    {355, "no"}, // NOR: Norvège
    {356, "nz"}, // NOU: Nouvelle-Zélande
    {358, "om"}, // OM: Oman
    {359, "ug"}, // OUG: Ouganda
    {361, "uz"}, // OUZ: Ouzbékistan
    {362, "pk"}, // PAK: Pakistan
    {363, "pw"}, // PALA: Palaos
    {364, "ps"}, // PALE: Palestine
    {365, "pa"}, // PAN: Panama
    {366, "pg"}, // PAP: Papouasie-Nouvelle-Guinée
    {367, "py"}, // PAR: Paraguay
    {368, "nl"}, // PAY, HOL, NéE, NEE: Pays-Bas
    {369, "pe"}, // PE: Pérou
    {370, "ph"}, // PH: Philippines
    {371, "pn"}, // PI: Îles Pitcairn
    {372, "pl"}, // POL: Pologne
    {373, "pr"}, // POR (5th O): Porto Rico
    {374, "pt"}, // POR (5th U): Portugal
    {376, ""}, // RA, Râ: country unclear, neutral picture
    {377, "ro"}, // ROU: Roumanie
    {378, "gb"}, // ROY, ANGL: Royaume-Uni
    {379, "ru"}, // RU: Russie
    {380, "rw"}, // RW: Rwanda
    {381, "kn"}, // SAI (7th C): Saint-Christophe-et-Niévès
    {382, "sh"}, // SAI (7th H): Sainte-Hélène
    {383, "lc"}, // SAI (7th L): Sainte-Lucie
    {384, "sm"}, // SAI (7th M): Saint-Marin
    {385, "vc"}, // SAI (7th V): Saint-Vincent-et-les-Grenadines
    {386, "st"}, // SAO: Sao Tomé-et-Principe
    {387, "sb"}, // SALO: Îles Salomon
    {388, "sv"}, // SALV: Salvador
    {389, "ws"}, // SAM: Samoa
    {390, "sn"}, // Sé: Sénégal
    {391, "sc"}, // SEY: Seychelles
    {392, "sl"}, // SIE: Sierra Leone
    {393, "sg"}, // SIN: Singapour
    {394, "sk"}, // SL (5th A): Slovaquie
    {395, "so"}, // SOM: Somalie
    {396, "sd"}, // SOU: Soudan
    {397, "lk"}, // SR: Sri Lanka
    {398, "se"}, // SUè, SUE: Suède
    {399, "ch"}, // SUI: Suisse
    {400, "sr"}, // SUR: Suriname
    {401, "sz"}, // SW: Swaziland (Eswatini)
    {402, "si"}, // SL (5th è), SL (5th E): Slovénie
    {403, "sy"}, // SY: Syrie
    {404, "tj"}, // TAD: Tadjikistan
    {405, "tw"}, // TAï, TAI: Taïwan
    {406, "tz"}, // TAN: Tanzanie
    {407, "td"}, // TCHA: Tchad
    {408, "cz"}, // TCHé, TCHE: Tchéquie
    {409, "th"}, // TH: Thaïlande
    {410, "tg"}, // TOG: Togo
    {411, "to"}, // TON: Tonga
    {412, "tt"}, // TRIN: Trinité-et-Tobago
    {414, "tn"}, // TUN: Tunisie
    {415, "tm"}, // TURK (5th M): Turkménistan
    {416, "tc"}, // TURK (5th S): Îles Turques-et-Caïques
    {417, "tr"}, // TURQ: Turquie
    {418, "tv"}, // TUV: Tuvalu
    {419, "ua"}, // UK: Ukraine
    {420, "uy"}, // UR: Uruguay
    {421, "vu"}, // VAN: Vanuatu
    {422, "va"}, // VAT: Vatican
    {423, "ve"}, // VE: Venezuela
    {424, "vg"}, // VIER: Îles Vierges britanniques
    {425, "vn"}, // VIéT, VIET: Viêt Nam
    {426, "ye"}, // Yé, YE: Yémen
    {427, "yu"}, // YO: Yougoslavie
    {428, "cd"}, // ZA: Zaïre (République démocratique du Congo)
    {429, "zw"}, // ZI: Zimbabwe
};

static_assert(std::is_sorted(std::begin(kFlags), std::end(kFlags),
                             [](const FlagEntry& a, const FlagEntry& b) { return a.number < b.number; }));

const FlagEntry* FindFlag(int32_t number) {
    const auto it = std::lower_bound(std::begin(kFlags), std::end(kFlags), number,
                                     [](const FlagEntry& e, int32_t n) { return e.number < n; });
    return it != std::end(kFlags) && it->number == number ? &*it : nullptr;
}

} // namespace

std::string_view FlagSvg(int32_t flagNumber) {
    const FlagEntry* entry = FindFlag(flagNumber);
    if (entry == nullptr) return {};
    const std::string name = entry->code[0] == '\0' ? std::string("neutral.svg")
                                                    : "flag-" + std::to_string(flagNumber) + ".svg";
    const embedded::EmbeddedFile* file = embedded::FindEmbeddedFile(embedded::FlagFiles(), name);
    return file == nullptr ? std::string_view() : file->text();
}

const char* FlagCountryCode(int32_t flagNumber) {
    const FlagEntry* entry = FindFlag(flagNumber);
    return entry == nullptr ? "" : entry->code;
}

std::vector<int32_t> FlagNumbers() {
    std::vector<int32_t> numbers;
    numbers.reserve(std::size(kFlags));
    for (const FlagEntry& e : kFlags) numbers.push_back(e.number);
    return numbers;
}

} // namespace arbolix
