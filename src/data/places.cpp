#include "data/places.h"

#include <cstring>
#include <iterator>

#include "data/encoding.h"

namespace arbolix {

namespace {

// One entry of the country table. The key is matched against the beginning of the text in upper
// case, accented letters included (BRÉ for Brésil); `position` (counted from 1) asks for `at`
// there as well; `wholeText` asks that the text ends right after the key. Keys are Windows-1252.
struct CountryKey {
    const char* key;
    int32_t flag;
    int position = 0;
    char at = 0;
    bool wholeText = false;
};

struct CountryList {
    unsigned char first;
    const CountryKey* keys;
    size_t count;
};

#define COUNTRY_LIST(name, ...) constexpr CountryKey name[] = {__VA_ARGS__};

COUNTRY_LIST(kA, {"AB", 224}, {"AD", 225}, {"AFG", 213}, {"AFR", 214}, {"ALB", 215}, {"ALG", 216},
             {"ALL", 217}, {"AM", 283}, {"AND", 226}, {"ANGL", 378}, {"ANGO", 227}, {"ANGU", 228},
             {"ANTA", 229}, {"ANTI", 232, 5, 'G'}, {"ANTI", 233, 5, 'L'}, {"ARA", 234},
             {"ARG", 239}, {"ARM", 236}, {"ARU", 237}, {"AUS", 219}, {"AUT", 230}, {"AZ", 231})
COUNTRY_LIST(kB, {"BELG", 208}, {"BAHA", 240}, {"BAHR", 241}, {"BAN", 242}, {"BAR", 243},
             {"B\xC9", 244}, {"BELI", 244}, {"BEN", 245}, {"BER", 246}, {"BH", 247}, {"BI", 249},
             {"BOL", 248}, {"BOS", 250}, {"BOT", 251}, {"BR\xC9", 252}, {"BRE", 252}, {"BRU", 255},
             {"BUL", 256}, {"BURK", 253}, {"BURU", 254})
COUNTRY_LIST(kC, {"CA\xCF", 259}, {"CAI", 259}, {"CAMB", 220}, {"CAME", 260}, {"CAN", 261},
             {"CAP", 262}, {"CE", 263}, {"CHA", 257}, {"CH\xC2", 257}, {"CHIL", 264}, {"CHIN", 221},
             {"CHY", 222}, {"COL", 258}, {"COM", 265}, {"CON", 266}, {"COR", 271}, {"COS", 268},
             {"COT", 269}, {"CR", 270}, {"CU", 223})
COUNTRY_LIST(kD, {"DA", 272}, {"DJ", 273}, {"DOM", 274, 7, 'Q'}, {"DOM", 275, 7, 'S'})
COUNTRY_LIST(kE, {"ESP", 281}, {"EST", 282}, {"ETA", 283}, {"ETH", 284})
COUNTRY_LIST(kEAcute, {"\xC9G", 277}, {"\xC9M", 278}, {"\xC9Q", 279}, {"\xC9TA", 283},
             {"\xC9TH", 284})
COUNTRY_LIST(kF, {"FR", 207}, {"FA", 285}, {"F\xC9", 286}, {"FE", 286}, {"FID", 287}, {"FIN", 288},
             {"FO", 289})
COUNTRY_LIST(kG, {"GAB", 290}, {"GAM", 291}, {"G\xC9", 292}, {"GE", 292}, {"GH", 293}, {"GI", 294},
             {"GR\xC8", 295}, {"GREC", 295}, {"GREN", 296}, {"GRO", 297}, {"GUA", 298},
             {"GUI", 299, 7, '-'}, {"GUI", 301, 9, 'Q'}, {"GUY", 302})
COUNTRY_LIST(kH, {"HA", 303}, {"HOL", 368}, {"HOND", 304}, {"HONG", 305})
COUNTRY_LIST(kI, {"IRL", 210}, {"IT", 211}, {"INDE", 306}, {"INDO", 307}, {"IRAN", 308},
             {"IRAQ", 309}, {"ISL", 310}, {"ISR", 311})
COUNTRY_LIST(kJ, {"JAM", 312}, {"JAP", 313}, {"JO", 314})
COUNTRY_LIST(kK, {"KA", 315}, {"KE", 316}, {"KIRG", 317}, {"KIRI", 318}, {"KO", 319})
COUNTRY_LIST(kL, {"LA", 320}, {"L\xC9", 321}, {"LES", 321}, {"LET", 322}, {"LIBA", 323},
             {"LIB\xC9", 324}, {"LIBE", 324}, {"LIBY", 212}, {"LIE", 325}, {"LIT", 326},
             {"LU", 327})
COUNTRY_LIST(kM, {"MAD", 329}, {"MALA", 331}, {"MALD", 332}, {"MALI", 333}, {"MALT", 334},
             {"MARO", 336}, {"MARS", 337}, {"MAU", 338, 6, 'C'}, {"MAU", 339, 6, 'T'}, {"ME", 340},
             {"MI", 341}, {"MOL", 342}, {"MONA", 343}, {"MONG", 344}, {"MONT", 345}, {"MOZ", 346})
COUNTRY_LIST(kN, {"NAM", 348}, {"NAU", 349},
             {"N\xC9"
              "E",
              368},
             {"NEE", 368}, {"N\xC9P", 350}, {"NEP", 350}, {"NIC", 351}, {"NIGER", 353, 0, 0, true},
             {"NIG", 354, 7, 'A'}, {"NOR", 355}, {"NOU", 356})
COUNTRY_LIST(kO, {"OM", 358}, {"OUG", 359}, {"OUZ", 361})
COUNTRY_LIST(kP, {"PAK", 362}, {"PALA", 363}, {"PALE", 364}, {"PAN", 365}, {"PAP", 366},
             {"PAR", 367}, {"PAY", 368}, {"PE", 369}, {"PH", 370}, {"PI", 371}, {"POL", 372},
             {"POR", 373, 5, 'O'}, {"POR", 374, 5, 'U'})
COUNTRY_LIST(kR, {"R\xC2", 376}, {"RA", 376}, {"ROU", 377}, {"ROY", 378}, {"RU", 379}, {"RW", 380})
COUNTRY_LIST(kS, {"SAI", 381, 7, 'C'}, {"SAI", 382, 7, 'H'}, {"SAI", 383, 7, 'L'},
             {"SAI", 384, 7, 'M'}, {"SAI", 385, 7, 'V'}, {"SAO", 386}, {"SALO", 387}, {"SALV", 388},
             {"SAM", 389}, {"S\xC9", 390}, {"SEY", 391}, {"SIE", 392}, {"SIN", 393},
             {"SL", 394, 5, 'A'}, {"SL", 402, 5, '\xC8'}, {"SL", 402, 5, 'E'}, {"SOM", 395},
             {"SOU", 396}, {"SR", 397}, {"SUD", 214}, {"SU\xC8", 398}, {"SUE", 398}, {"SUI", 399},
             {"SUR", 400}, {"SW", 401}, {"SY", 403})
COUNTRY_LIST(kT, {"TAD", 404}, {"TA\xCF", 405}, {"TAI", 405}, {"TAN", 406}, {"TCHA", 407},
             {"TCH\xC9", 408}, {"TCHE", 408}, {"TH", 409}, {"TOG", 410}, {"TON", 411},
             {"TRIN", 412}, {"TUN", 414}, {"TURK", 415, 5, 'M'}, {"TURK", 416, 5, 'S'},
             {"TURQ", 417}, {"TUV", 418})
COUNTRY_LIST(kU, {"UK", 419}, {"UR", 420})
COUNTRY_LIST(kV, {"VAN", 421}, {"VAT", 422}, {"VE", 423}, {"VIER", 424}, {"VI\xC9T", 425},
             {"VIET", 425})
COUNTRY_LIST(kY, {"Y\xC9", 426}, {"YE", 426}, {"YO", 427})
COUNTRY_LIST(kZ, {"ZA", 428}, {"ZI", 429})

#undef COUNTRY_LIST

#define LIST(c, name)                                                                              \
    { static_cast<unsigned char>(c), name, std::size(name) }
constexpr CountryList kCountryLists[] = {
    LIST('A', kA),         LIST('B', kB), LIST('C', kC), LIST('D', kD), LIST('E', kE),
    LIST('\xC9', kEAcute), LIST('F', kF), LIST('G', kG), LIST('H', kH), LIST('I', kI),
    LIST('J', kJ),         LIST('K', kK), LIST('L', kL), LIST('M', kM), LIST('N', kN),
    LIST('O', kO),         LIST('P', kP), LIST('R', kR), LIST('S', kS), LIST('T', kT),
    LIST('U', kU),         LIST('V', kV), LIST('Y', kY), LIST('Z', kZ),
};
#undef LIST

bool Matches(const CountryKey& entry, const char* text, size_t length) {
    const size_t keyLength = std::strlen(entry.key);
    if (length < keyLength || std::memcmp(text, entry.key, keyLength) != 0) return false;
    if (entry.wholeText) return length == keyLength;
    if (entry.position > 0) {
        const size_t index = static_cast<size_t>(entry.position - 1);
        return index < length && text[index] == entry.at;
    }
    return true;
}

} // namespace

int32_t LookupCountry(const char* text) {
    if (text == nullptr) return 0;
    // Only the beginning matters: the longest key with a position looks at the 9th character, and
    // the whole-text key needs to know whether the text goes on after its 5 characters.
    constexpr size_t kExamined = 10;
    char upper[kExamined];
    size_t length = 0;
    while (length < kExamined && text[length] != '\0') {
        upper[length] = UpperCase1252(text[length]);
        ++length;
    }
    if (length == 0) return 0;
    for (const CountryList& list : kCountryLists) {
        if (list.first != static_cast<unsigned char>(upper[0])) continue;
        for (size_t i = 0; i < list.count; ++i) {
            if (Matches(list.keys[i], upper, length)) return list.keys[i].flag;
        }
        return 0;
    }
    return 0;
}

} // namespace arbolix
