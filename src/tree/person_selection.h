#pragma once
// What the person selection dialog shows and does, without any window: the sorted list of the
// persons worth a chart, the selected person's details and which chart buttons apply, the moves
// to a parent or a spouse, and the check of the two year fields. Texts stay in Windows-1252 here;
// the dialog converts them for display.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/person_store.h"

namespace arbolix {

// The text a person is listed and shown under: "%s %s" of surname and given name.
std::string PersonListText(const Individual& person);

// The order of the list, close to the one of a sorted Windows list box: negative, 0 or positive
// like strcmp. Levels, each deciding only when the ones before tie:
//  1. the letters without their case and accents ("é" and "E" weigh as "e"; "œ", "æ", "ß" and
//     "þ" weigh as "oe", "ae", "ss" and "th"; "²" as "2"), spaces and controls before
//     punctuation and symbols (among themselves in byte order), then digits, then letters;
//     every character counts, hyphens and apostrophes included;
//  2. the accents, position by position: the plain letter first, then acute, grave, circumflex,
//     diaeresis, tilde, ring, cedilla, caron, stroke and the other marks (ligatures, "ª", "²");
//  3. the case, position by position: lower case before upper case;
//  4. the bytes themselves.
// Only texts identical byte for byte compare equal; the list orders those by person index.
int ComparePersonListTexts(std::string_view a, std::string_view b);

// A parent as the details show it; empty texts and zero years when there is none.
struct RelativeDetails {
    bool present = false; // enables the "P" or "M" button
    std::string name;
    std::string place;
    int32_t birthYear = 0;
    int32_t deathYear = 0;
};

// Everything the dialog shows of one person (texts in Windows-1252).
struct PersonDetails {
    int32_t person = 0; // 0: nobody to show (every field empty, every button disabled)
    std::string name;
    int32_t birthYear = 0;
    int32_t deathYear = 0;
    std::string place;
    int32_t descendantCount = 0; // the person's level left by the counting pass
    int32_t ancestorCount = 0;   // the low 32 bits of the person's sosa left by that pass
    RelativeDetails father;
    RelativeDetails mother;
    std::array<std::string, 3> spouses{" ", " ", " "}; // a single space when absent
    std::array<bool, 3> spouseEnabled{};               // the "1", "2", "3" buttons
    bool descendantsChart = false;                     // "&Descen."
    bool ancestorsChart = false;                       // "&Ascendance"
    bool bothChart = false;                            // "Asc &+ Desc"
    bool parentChart = false;                          // "Epoux"
};

// The details of `person` (0, or a person outside 1..highestXref, gives the empty details).
PersonDetails DescribePerson(const PersonStore& store, int32_t person);

// The relatives the dialog's small buttons lead to.
enum class Relative { Father, Mother, Spouse1, Spouse2, Spouse3 };

// Where a move to a relative ended.
struct Navigation {
    bool moved = false; // false when the relative is missing: nothing changed
    int32_t person = 0; // the selected person after the move
    int32_t row = -1;   // the list row selected after the move (-1: none)
};

// The list of one file and the current selection. Built while the counts of ancestors (`sosa`) and
// descendants (`level`) are those of the counting pass, and valid as long as the store is not
// changed. The store is only read: the row of each listed person is kept here rather than in the
// persons' `listRow` field.
class PersonSelection {
public:
    explicit PersonSelection(const PersonStore& store);

    const PersonStore& store() const { return store_; }

    // Persons highestXref down to 1 are listed unless they have neither descendant (level < 1)
    // nor ancestor (sosa <= 0), or their list text starts with a space (no surname).
    int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
    int32_t personAt(int32_t row) const { return rows_[static_cast<size_t>(row)].person; }
    std::string rowText(int32_t row) const;
    // The row of a listed person, -1 for anybody else.
    int32_t rowOf(int32_t person) const;

    // The person whose details are shown: at first the listed person of lowest index; when nobody
    // is listed, person 2 if the file has two persons at least, else nobody (0).
    int32_t selectedPerson() const { return selected_; }
    // The row the list shows selected (-1: none). It stays where it was when a move leads to a
    // person who is not listed, so it may then differ from the selected person's row.
    int32_t selectedRow() const { return selectedRow_; }
    PersonDetails details() const { return DescribePerson(store_, selected_); }

    // The user picked a row of the list; out-of-range rows are ignored.
    void selectRow(int32_t row);
    // The "P", "M", "1", "2", "3" buttons: the relative becomes the selected person; the list
    // selects the relative's row when it is listed and keeps its selection otherwise.
    Navigation goTo(Relative relative);

    // The first row, from `fromRow` on and wrapping round to row 0, whose text starts with
    // `prefix` (Windows-1252) on the first level of the list's order (case and accents ignored);
    // -1 when none does or the prefix is empty. For finding a person by typing the name.
    int32_t findByPrefix(std::string_view prefix, int32_t fromRow) const;

private:
    struct Row {
        int32_t person;
        uint32_t keyLength;
        size_t keyStart;  // in keys_
        uint64_t keyHead; // the first 8 bytes of the key, big-endian, 0 after its end
    };
    std::string_view key(const Row& row) const {
        return {keys_.data() + row.keyStart, row.keyLength};
    }

    const PersonStore& store_;
    std::vector<Row> rows_;      // in list order
    std::string keys_;           // the first-level keys of the rows, end to end
    std::vector<int32_t> rowOf_; // by person index, -1 when not listed
    int32_t selected_ = 0;
    int32_t selectedRow_ = -1;
};

// The two editable year fields of the dialog, checked when a chart button is pressed.
enum class YearField { None, Birth, Death };
constexpr int32_t kMinYear = 0;
constexpr int32_t kMaxYear = 3000;

// A year field's value: a whole number (blanks around it and a sign allowed) within 0..3000.
bool IsValidYearText(std::string_view text);
// The first of the two fields that is not valid, or YearField::None.
YearField FirstInvalidYear(std::string_view birthText, std::string_view deathText);
// The message (UTF-8) telling what the field must hold.
std::string YearFieldMessage(YearField field);

} // namespace arbolix
