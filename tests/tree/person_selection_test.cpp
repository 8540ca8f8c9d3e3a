#include <gtest/gtest.h>

#include <tuple>

#include "tree/person_selection.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::FamilyText;
using test::LoadForSelection;

// Persons 1, 2, ... with these names.
FamilyText Persons(std::initializer_list<const char*> names) {
    FamilyText text;
    int id = 0;
    for (const char* name : names) text.person(++id, name);
    return text;
}

std::vector<int32_t> Listed(const PersonSelection& selection) {
    std::vector<int32_t> persons;
    for (int32_t row = 0; row < selection.rowCount(); ++row)
        persons.push_back(selection.personAt(row));
    return persons;
}

// 3 and 4 with their children 2 (no surname), 5 and 6 (same name), 7 (surname after a blank);
// 1 is alone; 8 is 5's wife, without children or parents. "\xC9" is É, "\xE9" é.
std::string Durands() {
    return Persons({"Jules /SEUL/", "Luc //", "\xC9mile /DURAND/", "Marie /MARTIN/",
                    "Paul /DURAND/", "Paul /DURAND/", "Anne / DURAND/", "Zo\xE9 /ZOLA/"})
        .family(3, 4, {2, 5, 6, 7})
        .family(5, 8, {})
        .text();
}

TEST(PersonSelection, ListsLinkedPersonsWithSurnameInSortedOrder) {
    const auto store = LoadForSelection(Durands());
    const PersonSelection selection(*store);
    EXPECT_EQ(Listed(selection), (std::vector<int32_t>{3, 5, 6, 4}));
    for (const int32_t skipped : {1, 2, 7, 8}) EXPECT_EQ(selection.rowOf(skipped), -1) << skipped;
    // The listed person of lowest index is selected.
    EXPECT_EQ(selection.selectedPerson(), 3);
    EXPECT_EQ(selection.selectedRow(), 0);
}

TEST(PersonSelection, ListOrderLevels) {
    // Each text sorts before the next: letters without accents or case first (blanks, symbols,
    // digits, letters; a prefix first; ligatures as two letters), then accents position by
    // position, then lower case first. "\xC9" is É, "\xD4" Ô, "\x8C" Œ.
    const std::vector<std::string> ordered = {
        "COTE",  "COT\xC9", "C\xD4TE", "DE",  "de la",  "De la",    "DE LA",
        "DE-LA", "DE_X",    "DE1",     "DEA", "OEUVRE", "\x8CUVRE", "OFFICE",
    };
    for (size_t i = 0; i < ordered.size(); ++i)
        for (size_t j = 0; j < ordered.size(); ++j) {
            const int expected = (i > j) - (i < j);
            EXPECT_EQ(ComparePersonListTexts(ordered[i], ordered[j]), expected)
                << ordered[i] << " / " << ordered[j];
        }
}

TEST(PersonSelection, DefaultSelectionWithoutListedPersons) {
    // Nobody linked: person 2 is shown.
    const auto alone = LoadForSelection(Persons({"A /UN/", "B /DEUX/"}).text());
    const PersonSelection two(*alone);
    EXPECT_EQ(two.rowCount(), 0);
    EXPECT_EQ(two.selectedPerson(), 2);
    EXPECT_EQ(two.details().name, "DEUX B");

    // With a single person there is nobody to show.
    const auto one = LoadForSelection(FamilyText().person(1, "A /UN/").text());
    PersonSelection nobody(*one);
    EXPECT_EQ(nobody.selectedPerson(), 0);
    EXPECT_EQ(nobody.details().name, "");
}

// Jean (1, born in Lyon) and Marie (2) have Paul (3), whose wives are Zoé (4), mother of Léa (6),
// and Anne (5), childless. Jean's and Paul's names carry their other lines.
std::string Family() {
    return Persons({"Jean /DURAND/\n1 BIRT\n2 DATE 1900\n2 PLAC Lyon\n1 DEAT\n2 DATE 1970",
                    "Marie /MARTIN/", "Paul /DURAND/\n1 BIRT\n2 DATE 1930", "Zo\xE9 /ZOLA/",
                    "Anne /BLANC/", "L\xE9\x61 /DURAND/"})
        .family(1, 2, {3})
        .family(3, 4, {6})
        .family(3, 5, {})
        .text();
}

TEST(PersonSelection, DetailsAndButtons) {
    const auto store = LoadForSelection(Family());
    const PersonDetails paul = DescribePerson(*store, 3);
    EXPECT_EQ(std::tuple(paul.name, paul.birthYear, paul.descendantCount, paul.ancestorCount),
              std::tuple("DURAND Paul", 1930, 1, 2));
    const RelativeDetails& father = paul.father;
    EXPECT_EQ(
        std::tuple(father.present, father.name, father.place, father.birthYear, father.deathYear),
        std::tuple(true, "DURAND Jean", "LYON", 1900, 1970));
    EXPECT_EQ(paul.spouses, (std::array<std::string, 3>{"ZOLA Zo\xE9", "BLANC Anne", " "}));
    EXPECT_EQ(paul.spouseEnabled, (std::array<bool, 3>{true, true, false}));
    EXPECT_TRUE(paul.descendantsChart && paul.ancestorsChart && paul.bothChart && paul.parentChart);

    // No ancestor: only the descendant charts.
    const PersonDetails jean = DescribePerson(*store, 1);
    EXPECT_TRUE(jean.descendantsChart && jean.bothChart);
    EXPECT_FALSE(jean.ancestorsChart || jean.parentChart);

    // No descendant; ancestors along every line: Paul (with his two) and Zoé.
    const PersonDetails lea = DescribePerson(*store, 6);
    EXPECT_EQ(lea.ancestorCount, 4);
    EXPECT_FALSE(lea.descendantsChart);
    EXPECT_TRUE(lea.ancestorsChart && lea.bothChart && lea.parentChart);
}

TEST(PersonSelection, MovesToParentsAndSpouses) {
    const auto store = LoadForSelection(Family());
    PersonSelection selection(*store);
    ASSERT_EQ(Listed(selection), (std::vector<int32_t>{1, 6, 3, 2, 4})); // Anne has no line
    selection.selectRow(selection.rowOf(6));
    const auto expectMove = [&](Relative relative, int32_t person, int32_t row) {
        const Navigation move = selection.goTo(relative);
        EXPECT_EQ(std::tuple(move.moved, move.person, move.row, selection.selectedRow()),
                  std::tuple(true, person, row, row));
    };
    expectMove(Relative::Mother, 4, 4);
    expectMove(Relative::Spouse1, 3, 2);
    // Anne is not listed: she is shown while the list keeps Paul's row.
    expectMove(Relative::Spouse2, 5, 2);
    EXPECT_FALSE(selection.goTo(Relative::Father).moved);
    expectMove(Relative::Spouse1, 3, 2);
    expectMove(Relative::Father, 1, 0);
}

TEST(PersonSelection, FindByTypedPrefix) {
    const auto store = LoadForSelection(Family());
    const PersonSelection selection(*store); // DURAND Jean, Léa, Paul; MARTIN; ZOLA
    // From the given row on, wrapping round.
    EXPECT_EQ(std::tuple(selection.findByPrefix("dur", 0), selection.findByPrefix("dur", 2),
                         selection.findByPrefix("dur", 3), selection.findByPrefix("z", 1)),
              std::tuple(0, 2, 0, 4));
    EXPECT_EQ(selection.findByPrefix("DURAND L\xC9", 0), 1);
    EXPECT_EQ(selection.findByPrefix("x", 0) + selection.findByPrefix("", 0), -2);
}

TEST(PersonSelection, YearFields) {
    for (const char* good : {"0", "3000", " 1950 ", "+12"})
        EXPECT_TRUE(IsValidYearText(good)) << good;
    for (const char* bad : {"-1", "3001", "", "19 50", "99999999999999999999"})
        EXPECT_FALSE(IsValidYearText(bad)) << bad;
    EXPECT_EQ(FirstInvalidYear("5000", "x"), YearField::Birth);
    EXPECT_EQ(FirstInvalidYear("1900", "5000"), YearField::Death);
}

} // namespace
} // namespace arbolix
