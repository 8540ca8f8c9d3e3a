#include "data/gedcom_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/reporter.h"
#include "data/encoding.h"
#include "data/gedcom_lines.h"

namespace arbolix {

namespace {

constexpr int kProgressLines = 10000;
// Records are numbered by the digits of their ids only when the largest number is at most
// kSparseRatio times the number of INDI records plus kSparseSlack.
constexpr int64_t kSparseRatio = 2;
constexpr int64_t kSparseSlack = 1024;

int32_t ReportReadError(Reporter& reporter) {
    reporter.report({"Erreur fread", "arbolix", MessageIcon::Stop});
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Lines

// Position of the first character of `text` from `from` on that is one of `set`, or npos. Faster
// than find_first_of on the short texts of GEDCOM lines.
template <size_t N> size_t FindAny(std::string_view text, const char (&set)[N], size_t from = 0) {
    for (size_t i = from; i < text.size(); ++i) {
        for (size_t k = 0; k + 1 < N; ++k)
            if (text[i] == set[k]) return i;
    }
    return std::string_view::npos;
}

struct Line {
    int32_t level = 0;
    std::string_view tag;
    std::string_view value;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Level: the decimal number at the start (blanks and a sign allowed; none means 0). Tag: the next
// token. Value: everything after the single space that follows the tag.
Line SplitLine(std::string_view text) {
    Line line;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    int64_t level = 0;
    for (; p < end && IsDigit(*p); ++p) {
        if (level < INT32_MAX) level = level * 10 + (*p - '0');
    }
    level = std::min<int64_t>(level, INT32_MAX);
    line.level = static_cast<int32_t>(negative ? -level : level);
    while (p < end && IsBlank(*p)) ++p;
    const char* tag = p;
    while (p < end && *p != ' ') ++p;
    line.tag = std::string_view(tag, static_cast<size_t>(p - tag));
    if (p < end) line.value = std::string_view(p + 1, static_cast<size_t>(end - p - 1));
    return line;
}

bool TagIs(std::string_view tag, const char* name, size_t compared) {
    return tag.size() >= compared && std::memcmp(tag.data(), name, compared) == 0;
}

// The id between the '@' signs of a cross-reference ("I12" for "@I12@"); empty when none.
std::string_view IdOf(std::string_view pointer) {
    size_t i = 0;
    while (i < pointer.size() && IsBlank(pointer[i])) ++i;
    if (i >= pointer.size() || pointer[i] != '@') return {};
    const size_t close = FindAny(pointer, "@", i + 1);
    if (close == std::string_view::npos) return {};
    return pointer.substr(i + 1, close - i - 1);
}

bool IsVoid(std::string_view id) {
    return id == "VOID";
}

// ---------------------------------------------------------------------------------------------
// Numbering of the records

// Records are numbered by the digits of their ids when every INDI id gives its own number and
// the largest fits the memory: the pass starts that way and gives up as soon as an id breaks the
// rule. Otherwise a quick scan numbers every distinct INDI id in order of first appearance and
// pointers are resolved by id.
struct IdHash {
    using is_transparent = void;
    size_t operator()(std::string_view id) const { return std::hash<std::string_view>()(id); }
};

struct Numbering {
    bool inOrder = false;
    int32_t highest = 0;              // in order: the number of distinct INDI ids
    std::vector<int32_t> indiNumbers; // in order: number of each INDI line, in file order
    std::unordered_map<std::string, int32_t, IdHash, std::equal_to<>> byId;
};

enum class Counted { Done, TooMany, ReadError, NotUtf8 };

Counted NumberInOrder(ByteSource& source, const DetectedEncoding& encoding, int64_t recordLimit,
                      Numbering& plan) {
    plan = Numbering{};
    plan.inOrder = true;
    if (!source.rewind()) return Counted::ReadError;
    LineReader reader(source, encoding);
    std::string_view raw;
    while (reader.next(raw)) {
        // Cheap test first: a level-0 record line starts with (blanks and) the digit 0.
        size_t i = 0;
        while (i < raw.size() && IsBlank(raw[i])) ++i;
        if (i >= raw.size() || (raw[i] != '0' && raw[i] != '+')) continue;
        const Line line = SplitLine(raw);
        if (line.level != 0 || line.tag.empty() || line.tag[0] != '@' ||
            !TagIs(line.value, "INDI", 4))
            continue;
        const std::string_view id = IdOf(line.tag);
        int32_t number = 0;
        if (!id.empty() && !IsVoid(id)) {
            auto it = plan.byId.find(id);
            if (it == plan.byId.end()) {
                if (static_cast<int64_t>(plan.highest) + 1 + 1025 > recordLimit) return Counted::TooMany;
                it = plan.byId.emplace(std::string(id), ++plan.highest).first;
            }
            number = it->second;
        }
        plan.indiNumbers.push_back(number);
    }
    if (reader.notUtf8()) return Counted::NotUtf8;
    return reader.failed() ? Counted::ReadError : Counted::Done;
}

// ---------------------------------------------------------------------------------------------
// Text rules

// Every byte from 0xE0 to 0xFE is a combining mark in ANSEL, written before its letter. Left in a
// Windows-1252 text, it would read as a letter of its own.
bool IsAnselDiacritic(unsigned char c) {
    return c >= 0xE0 && c <= 0xFE;
}

// The Windows-1252 form of an ANSEL special character (Ø, Þ, Æ, Œ, ß, £, ©...), or the nearest
// ASCII one for those Windows-1252 lacks (Ł, ı, ơ...); every other byte as it is.
unsigned char AnselSpecial(unsigned char c) {
    static constexpr unsigned char kSpecials[][2] = {
        {0xA1, 'L'},  {0xA2, 0xD8}, {0xA3, 0xD0}, {0xA4, 0xDE}, {0xA5, 0xC6}, {0xA6, 0x8C},
        {0xA7, '\''}, {0xA8, 0xB7}, {0xA9, 'b'},  {0xAA, 0xAE}, {0xAB, 0xB1}, {0xAC, 'O'},
        {0xAD, 'U'},  {0xAE, '\''}, {0xB0, '\''}, {0xB1, 'l'},  {0xB2, 0xF8}, {0xB3, 'd'},
        {0xB4, 0xFE}, {0xB5, 0xE6}, {0xB6, 0x9C}, {0xB7, '"'},  {0xB8, 'i'},  {0xB9, 0xA3},
        {0xBA, 0xF0}, {0xBC, 'o'},  {0xBD, 'u'},  {0xC0, 0xB0}, {0xC1, 'l'},  {0xC2, 'P'},
        {0xC3, 0xA9}, {0xC4, '#'},  {0xC5, 0xBF}, {0xC6, 0xA1}, {0xC7, 0xDF}, {0xC8, 0x80},
        {0xCF, 0xDF},
    };
    if (c < 0xA1 || c > 0xCF) return c;
    for (const auto& [ansel, windows] : kSpecials) {
        if (ansel == c) return windows;
    }
    return c;
}

// The Windows-1252 letter for an ANSEL diacritic and the letter after it; 0 when none is listed.
unsigned char AnselLetter(unsigned char diacritic, unsigned char letter) {
    const unsigned char lower = (letter >= 'A' && letter <= 'Z') ? letter + 32 : letter;
    switch (diacritic) {
    case 0xE1: // grave
        if (letter == 'a') return 0xE0;
        if (letter == 'e') return 0xE8;
        if (letter == 'u') return 0xF9;
        return 0;
    case 0xE2: // acute
        return (lower >= 'a' && lower <= 'z') ? 0xE9 : 0;
    case 0xE3: // circumflex
        switch (lower) {
        case 'a':
            return 0xE2;
        case 'e':
            return 0xEA;
        case 'i':
            return 0xEE;
        case 'o':
            return 0xF4;
        case 'u':
            return 0xFB;
        default:
            return 0;
        }
    case 0xE8: // diaeresis
        switch (letter) {
        case 'a':
            return 0xE4;
        case 'e':
            return 0xEB;
        case 'i':
            return 0xEF;
        case 'o':
            return 0xF6;
        case 'u':
            return 0xFC;
        default:
            return 0;
        }
    case 0xF0: // cedilla
        return lower == 'c' ? 0xE7 : 0;
    default:
        return 0;
    }
}

// Copies at most `capacity` bytes of the text and a NUL after them; returns how many were copied.
// The value of a line without one may have no bytes at all to copy from.
size_t CopyText(char* to, size_t capacity, std::string_view text) {
    const size_t length = std::min(text.size(), capacity);
    if (length > 0) std::memcpy(to, text.data(), length);
    to[length] = '\0';
    return length;
}

template <size_t N> void StoreText(char (&field)[N], std::string_view text) {
    CopyText(field, N - 1, text);
}

// A NAME value that holds more than blanks and slashes ("", "//" name nobody).
bool GivesAName(std::string_view value) {
    for (char c : value) {
        if (!IsSpace(c) && c != '/') return true;
    }
    return false;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// ---------------------------------------------------------------------------------------------
// The pass

// Pointers to numbers that no INDI record carries past the last one link nobody.
void DropLinksBeyond(PersonStore& store, int32_t highest) {
    for (int32_t i = 1; i <= highest; ++i) {
        Individual& person = store[i];
        if (person.father > highest) person.father = 0;
        if (person.mother > highest) person.mother = 0;
        int32_t kept = 0;
        for (int32_t k = 0; k < person.spouseCount; ++k) {
            if (person.spouses[k] <= highest) person.spouses[kept++] = person.spouses[k];
        }
        person.spouseCount = kept;
    }
}

// A HUSB, WIFE or CHIL line of the family being read.
struct FamilyLink {
    enum Kind : uint8_t { kHusband, kWife, kChild } kind;
    int32_t number;
};

struct Family {
    int32_t husband = 0;
    int32_t wife = 0;
    std::vector<int32_t> children;
    int32_t linkedHusband = 0; // the couple already entered in each other's spouses
    int32_t linkedWife = 0;
    // Links read but not applied yet. The persons of a family lie anywhere in the store; applying
    // the links a few lines later, once their records have been fetched, saves waiting for memory
    // on every line.
    std::vector<FamilyLink> pending;

    void clear() {
        husband = wife = linkedHusband = linkedWife = 0;
        children.clear();
        pending.clear();
    }
};

class GedcomPass {
public:
    GedcomPass(PersonStore& store, const PlaceFormat& format, Reporter& reporter, bool ansel)
        : store_(store), format_(format), reporter_(reporter), ansel_(ansel) {}

    enum class Outcome { Read, Failed, DigitsUnusable, NotUtf8 };
    // Failed: reported. DigitsUnusable: the ids cannot be numbered by their digits; the pass must
    // start again numbered in order. NotUtf8: the file must be read again in its other encoding.
    Outcome run(ByteSource& source, const DetectedEncoding& encoding, const Numbering& plan);

private:
    bool onLevel0(const Line& line);
    bool onLevel1(const Line& line);
    void onLevel2(const Line& line);
    bool usePointer(std::string_view value, int32_t& number);
    bool readLink(FamilyLink::Kind kind, std::string_view value);
    void applyLinks();
    bool grow(int32_t number);
    Outcome readFailure();
    bool mayNumberByDigits(int64_t number) const;
    void linkSpouses();
    void placeForFamily(std::string_view value);

    PersonStore& store_;
    const PlaceFormat& format_;
    Reporter& reporter_;
    bool ansel_;
    const Numbering* plan_ = nullptr;
    bool digitsUnusable_ = false;
    const LineReader* reader_ = nullptr;
    int64_t indiRecords_ = 0; // distinct INDI numbers met, when numbered by the digits
    size_t indiIndex_ = 0;
    int32_t current_ = 0;
    bool named_ = false; // the current record's first NAME has been read
    int32_t eventContext_ = kEventOther;
    Family family_;
    char scratch_[kMaxLineBytes + 1];
};

GedcomPass::Outcome GedcomPass::run(ByteSource& source, const DetectedEncoding& encoding,
                                    const Numbering& plan) {
    plan_ = &plan;
    if (!source.rewind()) return readFailure();
    LineReader reader(source, encoding);
    reader_ = &reader;
    std::string_view raw;
    int64_t lines = 0;
    while (reader.next(raw)) {
        if (++lines % kProgressLines == 0)
            reporter_.status(Format("Lignes lues : %lld\n", static_cast<long long>(lines)));
        const Line line = SplitLine(raw);
        bool going = true;
        switch (line.level) {
        case 0:
            going = onLevel0(line);
            break;
        case 1:
            going = onLevel1(line);
            break;
        case 2:
            onLevel2(line);
            break;
        default:
            break;
        }
        if (!going) return digitsUnusable_ ? Outcome::DigitsUnusable : Outcome::Failed;
    }
    if (reader.notUtf8()) return Outcome::NotUtf8;
    if (reader.failed()) return readFailure();
    applyLinks();
    if (!plan.inOrder) {
        if (store_.highestXref > kSparseRatio * indiRecords_ + kSparseSlack)
            return Outcome::DigitsUnusable;
        DropLinksBeyond(store_, store_.highestXref);
    }
    return Outcome::Read;
}

// Numbering by the digits wastes the records of the numbers no INDI record carries: it is kept
// only while the largest number stays within kSparseRatio times the records plus kSparseSlack.
// During the pass the final count is not known yet, but the rest of the file cannot hold more
// records than its bytes allow: a number beyond that is too large whatever follows, and is
// refused before the store grows for it.
bool GedcomPass::mayNumberByDigits(int64_t number) const {
    const int64_t records = indiRecords_ + 1;
    if (number <= kSparseRatio * records + kSparseSlack) return true; // without looking ahead
    constexpr uint64_t kShortestIndiLine = 9; // "@1@ INDI" and its end of line
    const auto recordsAhead = static_cast<int64_t>(reader_->bytesAhead() / kShortestIndiLine);
    return number <= kSparseRatio * (records + recordsAhead) + kSparseSlack;
}

GedcomPass::Outcome GedcomPass::readFailure() {
    ReportReadError(reporter_);
    return Outcome::Failed;
}

bool GedcomPass::grow(int32_t number) {
    if (store_.growFor(number)) return true;
    reporter_.report(
        {Format("Fichier GEDCOM limité à %d personnes par la mémoire\n", store_.topIndex()),
         "arbolix", MessageIcon::Stop});
    return false;
}

bool GedcomPass::onLevel0(const Line& line) {
    if (line.tag.empty() || line.tag[0] != '@') return true; // HEAD, TRLR: nothing changes
    applyLinks();
    family_.clear();
    if (TagIs(line.value, "FAM", 3)) {
        eventContext_ = kEventMarriage;
        current_ = 0;
        return true;
    }
    if (!TagIs(line.value, "INDI", 4)) {
        current_ = 0; // SOUR, NOTE, REPO, SUBM, OBJE...: their lines land on nobody
        return true;
    }
    const std::string_view id = IdOf(line.tag);
    int32_t number = 0;
    current_ = 0;
    named_ = false;
    if (plan_->inOrder) {
        number = indiIndex_ < plan_->indiNumbers.size() ? plan_->indiNumbers[indiIndex_] : 0;
        ++indiIndex_;
        if (number <= 0) return true;
    } else {
        // Two different ids with the same digits (@I7@ and @7@), an id without digits, a number
        // beyond the memory or far beyond the count of records: the digits cannot number this
        // file.
        const int64_t n = XrefNumber(line.tag);
        const std::string_view known =
            n > 0 ? store_.idText(static_cast<int32_t>(n)) : std::string_view();
        if (id.empty() || IsVoid(id) || n <= 0 || n + 1025 > store_.recordLimit() ||
            (!known.empty() && known != id) || !mayNumberByDigits(n)) {
            digitsUnusable_ = true;
            return false;
        }
        if (known.empty()) ++indiRecords_;
        number = static_cast<int32_t>(n);
    }
    if (!grow(number)) return false;
    store_[number].xref = number;
    store_.setIdText(number, id);
    store_.highestXref = std::max(store_.highestXref, number);
    current_ = number;
    return true;
}

// Resolves a HUSB, WIFE or CHIL pointer to a record, growing the store if needed. A pointer to
// nobody (@VOID@, an id that no INDI record carries) gives 0.
bool GedcomPass::usePointer(std::string_view value, int32_t& number) {
    number = 0;
    const std::string_view id = IdOf(value);
    if (id.empty() || IsVoid(id)) return true;
    if (plan_->inOrder) {
        const auto it = plan_->byId.find(id);
        if (it != plan_->byId.end()) number = it->second;
    } else {
        // Numbers past the last INDI record are dropped once the pass is over; those beyond what
        // the digits may number are sure to be.
        const int64_t n = XrefNumber(value);
        if (n > 0 && n + 1025 <= store_.recordLimit() && mayNumberByDigits(n))
            number = static_cast<int32_t>(n);
    }
    return number == 0 || grow(number);
}

bool GedcomPass::readLink(FamilyLink::Kind kind, std::string_view value) {
    int32_t number = 0;
    if (!usePointer(value, number)) return false;
    if (number != 0) {
        const Individual& person = store_[number];
        __builtin_prefetch(&person.xref, 1);
        __builtin_prefetch(&person.spouses[3], 1);
    }
    family_.pending.push_back({kind, number});
    return true;
}

// Applies the family's links in the order of its lines. Children listed before a parent get that
// parent too.
void GedcomPass::applyLinks() {
    for (const FamilyLink& link : family_.pending) {
        const int32_t number = link.number;
        if (number != 0) store_[number].xref = number;
        switch (link.kind) {
        case FamilyLink::kHusband:
            family_.husband = number;
            if (number == 0) break;
            for (int32_t child : family_.children) store_[child].father = number;
            linkSpouses();
            break;
        case FamilyLink::kWife:
            family_.wife = number;
            if (number == 0) break;
            for (int32_t child : family_.children) store_[child].mother = number;
            linkSpouses();
            break;
        case FamilyLink::kChild:
            if (number == 0) break;
            family_.children.push_back(number);
            if (family_.wife != 0) store_[number].mother = family_.wife;
            if (family_.husband != 0) store_[number].father = family_.husband;
            break;
        }
    }
    family_.pending.clear();
}

void GedcomPass::linkSpouses() {
    const int32_t h = family_.husband;
    const int32_t w = family_.wife;
    if (h == 0 || w == 0 || (family_.linkedHusband == h && family_.linkedWife == w)) return;
    Individual& husband = store_[h];
    if (husband.spouseCount < 4) husband.spouses[husband.spouseCount++] = w;
    Individual& wife = store_[w];
    if (wife.spouseCount < 4) wife.spouses[wife.spouseCount++] = h;
    family_.linkedHusband = h;
    family_.linkedWife = w;
}

bool GedcomPass::onLevel1(const Line& line) {
    const std::string_view tag = line.tag;
    if (tag.empty()) {
        eventContext_ = kEventOther;
        return true;
    }
    switch (tag[0]) {
    case 'B':
        eventContext_ = TagIs(tag, "BIRT", 4) ? kEventBirth : kEventOther;
        return true;
    case 'C':
        if (TagIs(tag, "CHR", 3)) {
            eventContext_ = kEventBirth;
        } else if (TagIs(tag, "CHAR", 4)) {
            // A file decoded to Windows-1252 is handled as such whatever it declares.
            store_.ansiFlag = (!ansel_ || TagIs(line.value, "ANSI", 4)) ? 1 : 0;
        } else if (TagIs(tag, "CHIL", 4)) {
            return readLink(FamilyLink::kChild, line.value);
        } else {
            eventContext_ = kEventOther;
        }
        return true;
    case 'D':
        eventContext_ = TagIs(tag, "DEAT", 4) ? kEventDeath : kEventOther;
        return true;
    case 'H':
        if (!TagIs(tag, "HUSB", 4)) {
            eventContext_ = kEventOther;
            return true;
        }
        return readLink(FamilyLink::kHusband, line.value);
    case 'M':
        eventContext_ = TagIs(tag, "MARR", 4) ? kEventMarriage : kEventOther;
        return true;
    case 'N':
        if (TagIs(tag, "NAME", 4)) {
            // The first name of a record is the person's; later ones are aliases or married names.
            if (current_ != 0 && !named_ && GivesAName(line.value)) {
                ParseName(line.value, store_[current_], store_.ansiFlag);
                named_ = true;
            }
        } else if (TagIs(tag, "NATI", 4)) {
            if (current_ != 0) {
                const size_t length = CopyText(scratch_, kMaxLineBytes, line.value);
                if (store_.ansiFlag == 0) AnselToAnsi(scratch_, length);
                store_[current_].country = LookupCountry(scratch_);
            }
        } else {
            eventContext_ = kEventOther;
        }
        return true;
    case 'W':
        if (!TagIs(tag, "WIFE", 4)) {
            eventContext_ = kEventOther;
            return true;
        }
        return readLink(FamilyLink::kWife, line.value);
    default:
        eventContext_ = kEventOther;
        return true;
    }
}

void GedcomPass::onLevel2(const Line& line) {
    if (TagIs(line.tag, "DATE", 4)) {
        if (current_ != 0) ParseDate(line.value, store_[current_], eventContext_);
        return;
    }
    if (!TagIs(line.tag, "PLAC", 4)) return;
    std::string_view value = line.value;
    if (store_.ansiFlag == 0) {
        const size_t length = CopyText(scratch_, kMaxLineBytes, value);
        value = std::string_view(scratch_, AnselToAnsi(scratch_, length));
    }
    if (current_ != 0) {
        Individual& person = store_[current_];
        if (person.place[0] == '\0' || eventContext_ == kEventBirth)
            ParsePlace(value, person, format_);
    } else if (eventContext_ == kEventMarriage) {
        applyLinks();
        placeForFamily(value);
    }
}

// A marriage place goes to the husband and the wife who have no place yet.
void GedcomPass::placeForFamily(std::string_view value) {
    for (int32_t spouse : {family_.husband, family_.wife}) {
        if (spouse == 0) continue;
        Individual& person = store_[spouse];
        if (person.place[0] == '\0') ParsePlace(value, person, format_);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

GedcomLineParts SplitGedcomLine(std::string_view line) {
    const Line split = SplitLine(line);
    return {split.level, split.tag, split.value};
}

std::string_view CrossReferenceId(std::string_view pointer) {
    return IdOf(pointer);
}

int64_t XrefNumber(std::string_view pointer) {
    size_t i = 0;
    while (i < pointer.size() && IsBlank(pointer[i])) ++i;
    pointer.remove_prefix(i);
    if (pointer.size() < 2) return -1;
    size_t start = IsDigit(pointer[1]) ? 1 : 2;
    if (start >= pointer.size() || !IsDigit(pointer[start])) return -1;
    int64_t number = 0;
    for (size_t k = start; k < pointer.size() && IsDigit(pointer[k]); ++k) {
        number = number * 10 + (pointer[k] - '0');
        if (number >= INT32_MAX) return INT32_MAX;
    }
    return number;
}

size_t AnselToAnsi(char* text, size_t length) {
    size_t w = 0;
    for (size_t r = 0; r < length; ++r) {
        const auto c = static_cast<unsigned char>(text[r]);
        if (!IsAnselDiacritic(c)) {
            text[w++] = static_cast<char>(AnselSpecial(c));
            continue;
        }
        if (r + 1 >= length) break; // a diacritic without its letter is dropped
        const unsigned char letter = AnselLetter(c, static_cast<unsigned char>(text[r + 1]));
        if (letter != 0) {
            text[w++] = static_cast<char>(letter);
            ++r;
        }
        // Otherwise the diacritic is dropped and the next byte is kept as it is.
    }
    text[w] = '\0';
    return w;
}

size_t StripAnselDiacritics(char* text, size_t length) {
    size_t w = 0;
    size_t r = 0;
    for (; r < length && text[r] != '/'; ++r) {
        if (!IsAnselDiacritic(static_cast<unsigned char>(text[r]))) text[w++] = text[r];
    }
    for (; r < length; ++r) text[w++] = text[r];
    text[w] = '\0';
    return w;
}

void ParseName(std::string_view value, Individual& person, int32_t ansiFlag) {
    size_t i = 0;
    while (i < value.size() && value[i] == ' ') ++i;
    value.remove_prefix(i);
    std::string_view surnamePart;
    if (!value.empty() && value[0] == '/') {
        surnamePart = value.substr(1);
    } else {
        const size_t separator = FindAny(value, "/=");
        const std::string_view givenPart = value.substr(0, separator);
        if (separator != std::string_view::npos) surnamePart = value.substr(separator + 1);
        std::string_view word = TrimTrailingBlanks(givenPart.substr(0, FindAny(givenPart, " ")));
        char buffer[kMaxLineBytes + 1];
        if (ansiFlag == 0) {
            const size_t length = CopyText(buffer, kMaxLineBytes, word);
            word = TrimTrailingBlanks(std::string_view(buffer, AnselToAnsi(buffer, length)));
        }
        StoreText(person.givenName, word);
    }
    std::string_view surname = surnamePart.substr(0, FindAny(surnamePart, "/-="));
    char buffer[sizeof person.surname];
    size_t length = 0;
    for (char c : surname) {
        if (length == sizeof buffer - 1) break;
        if (ansiFlag == 0) {
            const auto byte = static_cast<unsigned char>(c);
            if (IsAnselDiacritic(byte)) continue;
            c = static_cast<char>(AnselSpecial(byte));
        }
        buffer[length++] = UpperCase1252(c);
    }
    StoreText(person.surname, std::string_view(buffer, length));
}

void ParseDate(std::string_view value, Individual& person, int32_t eventContext) {
    if (eventContext < 0) return;
    size_t i = 0;
    while (i < value.size() && value[i] == ' ') ++i;
    if (i >= value.size() || !IsDigit(value[i])) return; // ABT 1850, BEF 1900, MAR 1850: no year
    std::string_view last;
    for (int token = 0; token < 3; ++token) {
        while (i < value.size() && IsSpace(value[i])) ++i;
        if (i >= value.size()) break;
        const size_t start = i;
        while (i < value.size() && !IsSpace(value[i])) ++i;
        last = value.substr(start, i - start);
        if (token == 2 && last.size() > 15) last = last.substr(0, 14);
    }
    // atoi of the last token, saturating instead of overflowing.
    size_t k = 0;
    while (k < last.size() && IsSpace(last[k])) ++k;
    bool negative = false;
    if (k < last.size() && (last[k] == '-' || last[k] == '+')) negative = last[k++] == '-';
    int64_t year = 0;
    for (; k < last.size() && IsDigit(last[k]); ++k)
        year = std::min<int64_t>(year * 10 + (last[k] - '0'), INT32_MAX);
    const auto result = static_cast<int32_t>(negative ? -year : year);
    if (eventContext == kEventBirth) person.birthYear = result;
    if (eventContext == kEventDeath) person.deathYear = result;
}

void ParsePlace(std::string_view value, Individual& person, const PlaceFormat& format) {
    const size_t n = value.size();
    size_t pos = 0;
    for (int field = 0; field < 5 && pos < n; ++field) {
        const int32_t role = format.role(field);
        if (role == kRoleTown || role == kRoleCountry) {
            // "Paris, 75000, Seine, Ile-de-France, France": the blank after a comma is no part
            // of the field.
            while (pos < n && IsBlank(value[pos])) ++pos;
        }
        if (role == kRoleTown) {
            size_t stored = 0;
            for (; pos < n && value[pos] != ','; ++pos) {
                if (stored < sizeof person.place - 1)
                    person.place[stored++] = UpperCase1252(value[pos]);
            }
            person.place[stored] = '\0';
        } else {
            if (role == kRoleCountry) {
                char country[16];
                const size_t length = std::min(n - pos, sizeof country - 1);
                std::memcpy(country, value.data() + pos, length);
                country[length] = '\0';
                person.country = LookupCountry(country);
            }
            const size_t separator = FindAny(value, ",;", pos);
            pos = separator == std::string_view::npos ? n : separator;
        }
        ++pos;
    }
}

namespace {

enum class Attempt { Read, Failed, NotUtf8 };

// Reads the source in one encoding, numbered by the digits of the ids when they allow it and in
// order of appearance otherwise. Failed: reported.
Attempt ReadAs(PersonStore& store, ByteSource& source, const DetectedEncoding& encoding,
               const PlaceFormat& format, Reporter& reporter) {
    const bool ansel = encoding.encoding == TextEncoding::Ansel;
    auto pass = [&](const Numbering& plan) {
        store.resetForReading();
        store.clearIdTexts();
        store.numberedInOrder = plan.inOrder;
        return GedcomPass(store, format, reporter, ansel).run(source, encoding, plan);
    };
    GedcomPass::Outcome outcome = pass(Numbering{});
    if (outcome == GedcomPass::Outcome::DigitsUnusable) {
        Numbering inOrder;
        const Counted count = NumberInOrder(source, encoding, store.recordLimit(), inOrder);
        if (count == Counted::NotUtf8) return Attempt::NotUtf8;
        if (count != Counted::Done) {
            // More persons than the memory allows leave an empty store, still usable.
            store.resetForReading();
            store.clearIdTexts();
            if (count == Counted::ReadError) {
                ReportReadError(reporter);
            } else {
                reporter.report({Format("Fichier GEDCOM limité à %d personnes par la mémoire\n",
                                        store.topIndex()),
                                 "arbolix", MessageIcon::Stop});
            }
            return Attempt::Failed;
        }
        outcome = pass(inOrder);
    }
    switch (outcome) {
    case GedcomPass::Outcome::Read:
        return Attempt::Read;
    case GedcomPass::Outcome::NotUtf8:
        return Attempt::NotUtf8;
    default:
        return Attempt::Failed;
    }
}

int32_t ReadFromSource(PersonStore& store, ByteSource& source, const PlaceFormat& format,
                       Reporter& reporter) {
    DetectedEncoding encoding;
    if (!DecideEncoding(source, encoding)) return ReportReadError(reporter);
    Attempt attempt = ReadAs(store, source, encoding, format, reporter);
    if (attempt == Attempt::NotUtf8) {
        // Decoding stopped at the first byte that is not UTF-8: the file is read again from the
        // top in its other encoding. A UTF-8 file is read once.
        encoding.encoding = *encoding.ifNotUtf8;
        encoding.ifNotUtf8.reset();
        attempt = ReadAs(store, source, encoding, format, reporter);
    }
    if (attempt != Attempt::Read) {
        store.dropSnapshot();
        return -1;
    }
    store.saveSnapshot();
    reporter.status("Pour l'aide, appuyer sur F1");
    return store.highestXref;
}

} // namespace

int32_t ReadGedcomBytes(PersonStore& store, std::string_view bytes, const PlaceFormat& format,
                        Reporter& reporter) {
    MemorySource source(bytes);
    return ReadFromSource(store, source, format, reporter);
}

int32_t ReadGedcom(PersonStore& store, const std::string& path, const PlaceFormat& format,
                   Reporter& reporter) {
    FileSource source;
    std::string reason;
    if (!source.open(path, reason)) {
        reporter.report({"Erreur ouverture fichier : " + path + " (" + reason + ")", "arbolix",
                         MessageIcon::Stop});
        return -1;
    }
    return ReadFromSource(store, source, format, reporter);
}

int32_t ReadGedcomPersons(PersonStore& store, const std::string& path, const PlaceFormat& format,
                          Reporter& reporter) {
    const int32_t highest = ReadGedcom(store, path, format, reporter);
    if (highest == 0) reporter.report({"Aucune personne dans le fichier " + path, "arbolix", MessageIcon::Exclamation});
    return highest;
}

} // namespace arbolix
