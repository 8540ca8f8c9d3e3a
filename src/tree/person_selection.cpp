#include "tree/person_selection.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/reporter.h"

namespace arbolix {
namespace {

// ---------------------------------------------------------------------------------------------
// The list's order. Every Windows-1252 byte gets a class and one or two first-level weights (one
// byte each, never 0), an accent rank and a case; see ComparePersonListTexts.

enum Accent : uint8_t {
    kPlain = 1,
    kAcute,
    kGrave,
    kCircumflex,
    kDiaeresis,
    kTilde,
    kRing,
    kCedilla,
    kCaron,
    kStroke,
    kOtherMark,
};

enum class CharClass : uint8_t { Blank, Symbol, Digit, Letter };

constexpr uint8_t kBlankWeight = 1;
constexpr uint8_t kFirstSymbolWeight = 2;
constexpr uint8_t kFirstDigitWeight = 0xB0;
constexpr uint8_t kFirstLetterWeight = 0xC1;

struct CharWeights {
    uint8_t primary[2]; // the second is 0 unless the character weighs as two letters
    uint8_t accent;
    uint8_t upper; // 1 for lower case and non-letters, 2 for upper case
};

struct LetterForm {
    unsigned char byte;
    const char* base; // upper-case letters it weighs as
    uint8_t accent;
    bool upper;
};

// The letters and digits of Windows-1252 outside ASCII.
constexpr LetterForm kHighForms[] = {
    {0x83, "F", kOtherMark, false},  {0x8A, "S", kCaron, true},
    {0x8C, "OE", kOtherMark, true},  {0x8E, "Z", kCaron, true},
    {0x9A, "S", kCaron, false},      {0x9C, "OE", kOtherMark, false},
    {0x9E, "Z", kCaron, false},      {0x9F, "Y", kDiaeresis, true},
    {0xAA, "A", kOtherMark, false},  {0xB2, "2", kOtherMark, false},
    {0xB3, "3", kOtherMark, false},  {0xB9, "1", kOtherMark, false},
    {0xBA, "O", kOtherMark, false},  {0xC0, "A", kGrave, true},
    {0xC1, "A", kAcute, true},       {0xC2, "A", kCircumflex, true},
    {0xC3, "A", kTilde, true},       {0xC4, "A", kDiaeresis, true},
    {0xC5, "A", kRing, true},        {0xC6, "AE", kOtherMark, true},
    {0xC7, "C", kCedilla, true},     {0xC8, "E", kGrave, true},
    {0xC9, "E", kAcute, true},       {0xCA, "E", kCircumflex, true},
    {0xCB, "E", kDiaeresis, true},   {0xCC, "I", kGrave, true},
    {0xCD, "I", kAcute, true},       {0xCE, "I", kCircumflex, true},
    {0xCF, "I", kDiaeresis, true},   {0xD0, "D", kStroke, true},
    {0xD1, "N", kTilde, true},       {0xD2, "O", kGrave, true},
    {0xD3, "O", kAcute, true},       {0xD4, "O", kCircumflex, true},
    {0xD5, "O", kTilde, true},       {0xD6, "O", kDiaeresis, true},
    {0xD8, "O", kStroke, true},      {0xD9, "U", kGrave, true},
    {0xDA, "U", kAcute, true},       {0xDB, "U", kCircumflex, true},
    {0xDC, "U", kDiaeresis, true},   {0xDD, "Y", kAcute, true},
    {0xDE, "TH", kOtherMark, true},  {0xDF, "SS", kOtherMark, false},
    {0xE0, "A", kGrave, false},      {0xE1, "A", kAcute, false},
    {0xE2, "A", kCircumflex, false}, {0xE3, "A", kTilde, false},
    {0xE4, "A", kDiaeresis, false},  {0xE5, "A", kRing, false},
    {0xE6, "AE", kOtherMark, false}, {0xE7, "C", kCedilla, false},
    {0xE8, "E", kGrave, false},      {0xE9, "E", kAcute, false},
    {0xEA, "E", kCircumflex, false}, {0xEB, "E", kDiaeresis, false},
    {0xEC, "I", kGrave, false},      {0xED, "I", kAcute, false},
    {0xEE, "I", kCircumflex, false}, {0xEF, "I", kDiaeresis, false},
    {0xF0, "D", kStroke, false},     {0xF1, "N", kTilde, false},
    {0xF2, "O", kGrave, false},      {0xF3, "O", kAcute, false},
    {0xF4, "O", kCircumflex, false}, {0xF5, "O", kTilde, false},
    {0xF6, "O", kDiaeresis, false},  {0xF8, "O", kStroke, false},
    {0xF9, "U", kGrave, false},      {0xFA, "U", kAcute, false},
    {0xFB, "U", kCircumflex, false}, {0xFC, "U", kDiaeresis, false},
    {0xFD, "Y", kAcute, false},      {0xFE, "TH", kOtherMark, false},
    {0xFF, "Y", kDiaeresis, false},
};

constexpr uint8_t WeightOfBase(char c) {
    return c >= '0' && c <= '9' ? static_cast<uint8_t>(kFirstDigitWeight + (c - '0'))
                                : static_cast<uint8_t>(kFirstLetterWeight + (c - 'A'));
}

constexpr bool IsBlankByte(unsigned b) {
    // Controls, space, DEL, the bytes Windows-1252 leaves undefined and the no-break space.
    return b <= 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 ||
           b == 0x9D || b == 0xA0;
}

constexpr std::array<CharWeights, 256> MakeWeights() {
    std::array<CharWeights, 256> table{};
    std::array<CharClass, 256> classes{};
    for (unsigned b = 0; b < 256; ++b) {
        classes[b] = IsBlankByte(b) ? CharClass::Blank : CharClass::Symbol;
        table[b] = {{0, 0}, kPlain, 1};
        if (b >= '0' && b <= '9') {
            classes[b] = CharClass::Digit;
            table[b].primary[0] = WeightOfBase(static_cast<char>(b));
        } else if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            classes[b] = CharClass::Letter;
            const bool upper = b <= 'Z';
            table[b].primary[0] = WeightOfBase(static_cast<char>(upper ? b : b - 32));
            table[b].upper = upper ? 2 : 1;
        }
    }
    for (const LetterForm& form : kHighForms) {
        classes[form.byte] = CharClass::Letter;
        CharWeights& weights = table[form.byte];
        weights.primary[0] = WeightOfBase(form.base[0]);
        weights.primary[1] = form.base[1] != '\0' ? WeightOfBase(form.base[1]) : 0;
        weights.accent = form.accent;
        weights.upper = form.upper ? 2 : 1;
    }
    uint8_t symbol = kFirstSymbolWeight;
    for (unsigned b = 0; b < 256; ++b) {
        if (classes[b] == CharClass::Blank) table[b].primary[0] = kBlankWeight;
        if (classes[b] == CharClass::Symbol) table[b].primary[0] = symbol++;
    }
    return table;
}

constexpr std::array<CharWeights, 256> kWeights = MakeWeights();
static_assert(kWeights[0xFE].primary[0] == kFirstLetterWeight + ('T' - 'A'));
static_assert(kWeights[0xF7].primary[0] < kFirstDigitWeight); // the last symbol is below the digits

const CharWeights& WeightsOf(char c) {
    return kWeights[static_cast<unsigned char>(c)];
}

void AppendPrimaryKey(std::string_view text, std::string& out) {
    for (const char c : text) {
        const CharWeights& w = WeightsOf(c);
        out += static_cast<char>(w.primary[0]);
        if (w.primary[1] != 0) out += static_cast<char>(w.primary[1]);
    }
}

// The first 8 bytes of a key as a number that orders as the key does (weights are never 0).
uint64_t KeyHead(std::string_view key) {
    uint64_t head = 0;
    for (size_t k = 0; k < 8; ++k)
        head = head << 8 | (k < key.size() ? static_cast<uint8_t>(key[k]) : 0u);
    return head;
}

// The weights of one level of a text, one first-level unit after the other (a character that
// weighs as two letters gives two units, with the same accent and case).
class Units {
public:
    explicit Units(std::string_view text) : text_(text) {}
    bool done() const { return position_ >= text_.size(); }
    const CharWeights& weights() const { return WeightsOf(text_[position_]); }
    uint8_t primary() const { return weights().primary[second_ ? 1 : 0]; }
    void next() {
        second_ = !second_ && weights().primary[1] != 0;
        if (!second_) ++position_;
    }

private:
    std::string_view text_;
    size_t position_ = 0;
    bool second_ = false;
};

template <typename Level> int CompareLevel(std::string_view a, std::string_view b, Level level) {
    Units x(a);
    Units y(b);
    for (; !x.done() && !y.done(); x.next(), y.next()) {
        const int difference = level(x) - level(y);
        if (difference != 0) return difference;
    }
    return static_cast<int>(!x.done()) - static_cast<int>(!y.done());
}

// A person's list text built without allocating, for the comparisons of the sort.
class ListText {
public:
    explicit ListText(const Individual& person) {
        const size_t surname = strnlen(person.surname, sizeof person.surname);
        const size_t given = strnlen(person.givenName, sizeof person.givenName);
        std::memcpy(text_, person.surname, surname);
        text_[surname] = ' ';
        std::memcpy(text_ + surname + 1, person.givenName, given);
        length_ = surname + 1 + given;
    }
    std::string_view view() const { return {text_, length_}; }

private:
    char text_[sizeof(Individual::surname) + sizeof(Individual::givenName) + 1];
    size_t length_;
};

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// ---------------------------------------------------------------------------------------------

// A link to another person of the file, or 0.
int32_t Linked(const PersonStore& store, int32_t index) {
    return index >= 1 && index <= store.highestXref ? index : 0;
}

int32_t RelativeOf(const PersonStore& store, int32_t person, Relative relative) {
    if (Linked(store, person) == 0) return 0;
    const Individual& x = store[person];
    switch (relative) {
    case Relative::Father:
        return Linked(store, x.father);
    case Relative::Mother:
        return Linked(store, x.mother);
    case Relative::Spouse1:
    case Relative::Spouse2:
    case Relative::Spouse3: {
        const int k = static_cast<int>(relative) - static_cast<int>(Relative::Spouse1);
        return x.spouseCount > k ? Linked(store, x.spouses[k]) : 0;
    }
    }
    return 0;
}

std::string_view Field(const char* text, size_t size) {
    return {text, strnlen(text, size)};
}

RelativeDetails DescribeParent(const PersonStore& store, int32_t parent) {
    RelativeDetails details;
    if (parent == 0) return details;
    const Individual& x = store[parent];
    details.present = true;
    details.name = PersonListText(x);
    details.place = Field(x.place, sizeof x.place);
    details.birthYear = x.birthYear;
    details.deathYear = x.deathYear;
    return details;
}

} // namespace

std::string PersonListText(const Individual& person) {
    return std::string(ListText(person).view());
}

int ComparePersonListTexts(std::string_view a, std::string_view b) {
    int order = CompareLevel(a, b, [](const Units& u) { return u.primary(); });
    if (order == 0) order = CompareLevel(a, b, [](const Units& u) { return u.weights().accent; });
    if (order == 0) order = CompareLevel(a, b, [](const Units& u) { return u.weights().upper; });
    if (order == 0) order = a.compare(b);
    return Sign(order);
}

PersonDetails DescribePerson(const PersonStore& store, int32_t person) {
    PersonDetails details;
    if (Linked(store, person) == 0) return details;
    const Individual& x = store[person];
    details.person = person;
    details.name = PersonListText(x);
    details.birthYear = x.birthYear;
    details.deathYear = x.deathYear;
    details.place = Field(x.place, sizeof x.place);
    details.descendantCount = x.level;
    details.ancestorCount = static_cast<int32_t>(static_cast<uint32_t>(x.sosa));
    details.descendantsChart = details.descendantCount != 0;
    details.ancestorsChart = details.ancestorCount != 0;
    details.parentChart = details.ancestorCount != 0;
    details.bothChart = details.descendantsChart || details.ancestorsChart;
    details.father = DescribeParent(store, RelativeOf(store, person, Relative::Father));
    details.mother = DescribeParent(store, RelativeOf(store, person, Relative::Mother));
    for (int k = 0; k < 3; ++k) {
        const auto relative = static_cast<Relative>(static_cast<int>(Relative::Spouse1) + k);
        const int32_t spouse = RelativeOf(store, person, relative);
        if (spouse == 0) continue;
        details.spouses[static_cast<size_t>(k)] = PersonListText(store[spouse]);
        details.spouseEnabled[static_cast<size_t>(k)] = true;
    }
    return details;
}

// ---------------------------------------------------------------------------------------------

PersonSelection::PersonSelection(const PersonStore& store) : store_(store) {
    const int32_t highest = std::max(store.highestXref, 0);
    rowOf_.assign(static_cast<size_t>(highest) + 1, -1);
    // Person 2 stands for "nobody listed", as long as the file has a person 2.
    selected_ = highest >= 2 ? 2 : 0;
    for (int32_t p = highest; p >= 1; --p) {
        const Individual& x = store[p];
        if (x.level < 1 && x.sosa <= 0) continue;
        if (x.surname[0] == '\0' || x.surname[0] == ' ') continue; // the text starts with a space
        const size_t start = keys_.size();
        AppendPrimaryKey(ListText(x).view(), keys_);
        const std::string_view rowKey(keys_.data() + start, keys_.size() - start);
        rows_.push_back({p, static_cast<uint32_t>(rowKey.size()), start, KeyHead(rowKey)});
        selected_ = p;
    }
    // First by the first level, the index deciding ties; then the runs of one first level whose
    // texts differ (accents, case) are put in full order. Runs of one name, by far the most common
    // on large files, are then left as they are without any further look at the store.
    std::sort(rows_.begin(), rows_.end(), [this](const Row& a, const Row& b) {
        if (a.keyHead != b.keyHead) return a.keyHead < b.keyHead;
        const int order = key(a).compare(key(b));
        return order != 0 ? order < 0 : a.person < b.person;
    });
    for (auto run = rows_.begin(); run != rows_.end();) {
        const auto end = std::find_if(run + 1, rows_.end(),
                                      [&](const Row& row) { return key(row) != key(*run); });
        const ListText first(store_[run->person]);
        const bool sameText = std::all_of(run + 1, end, [&](const Row& row) {
            return ListText(store_[row.person]).view() == first.view();
        });
        if (!sameText) {
            std::sort(run, end, [this](const Row& a, const Row& b) {
                const int order = ComparePersonListTexts(ListText(store_[a.person]).view(),
                                                         ListText(store_[b.person]).view());
                return order != 0 ? order < 0 : a.person < b.person;
            });
        }
        run = end;
    }
    for (size_t row = 0; row < rows_.size(); ++row)
        rowOf_[static_cast<size_t>(rows_[row].person)] = static_cast<int32_t>(row);
    selectedRow_ = rowOf(selected_);
}

std::string PersonSelection::rowText(int32_t row) const {
    return PersonListText(store_[personAt(row)]);
}

int32_t PersonSelection::rowOf(int32_t person) const {
    if (person < 1 || static_cast<size_t>(person) >= rowOf_.size()) return -1;
    return rowOf_[static_cast<size_t>(person)];
}

void PersonSelection::selectRow(int32_t row) {
    if (row < 0 || row >= rowCount()) return;
    selectedRow_ = row;
    selected_ = personAt(row);
}

Navigation PersonSelection::goTo(Relative relative) {
    const int32_t target = RelativeOf(store_, selected_, relative);
    if (target == 0) return {false, selected_, selectedRow_};
    selected_ = target;
    if (const int32_t row = rowOf(target); row >= 0) selectedRow_ = row;
    return {true, selected_, selectedRow_};
}

int32_t PersonSelection::findByPrefix(std::string_view prefix, int32_t fromRow) const {
    std::string wanted;
    AppendPrimaryKey(prefix, wanted);
    if (wanted.empty()) return -1;
    // The rows are in the order of their keys, so those starting with the prefix follow each other.
    const auto first = std::partition_point(rows_.begin(), rows_.end(),
                                            [&](const Row& row) { return key(row) < wanted; });
    const auto last = std::partition_point(first, rows_.end(), [&](const Row& row) {
        return key(row).substr(0, wanted.size()) == wanted;
    });
    if (first == last) return -1;
    const auto from = static_cast<ptrdiff_t>(fromRow);
    if (from >= first - rows_.begin() && from < last - rows_.begin()) return fromRow;
    return static_cast<int32_t>(first - rows_.begin());
}

// ---------------------------------------------------------------------------------------------

bool IsValidYearText(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = std::min<int64_t>(value * 10 + (c - '0'), int64_t{kMaxYear} + 1);
    }
    if (negative) value = -value;
    return value >= kMinYear && value <= kMaxYear;
}

YearField FirstInvalidYear(std::string_view birthText, std::string_view deathText) {
    if (!IsValidYearText(birthText)) return YearField::Birth;
    if (!IsValidYearText(deathText)) return YearField::Death;
    return YearField::None;
}

std::string YearFieldMessage(YearField field) {
    if (field == YearField::None) return {};
    const char* which = field == YearField::Birth ? "de naissance" : "de décès";
    return Format("L'année %s doit être un nombre entier compris entre %d et %d.", which, kMinYear,
                  kMaxYear);
}

} // namespace arbolix
