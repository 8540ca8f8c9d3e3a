#include <gtest/gtest.h>

#include <tuple>

#include "tree/person_selection.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

using test::FamilyText;

// The store as the dialog finds it: read, then every person's ancestors and descendants counted.
std::unique_ptr<PersonStore> Load(const std::string& gedcom) {
    auto store = std::make_unique<PersonStore>();
    ListReporter reporter;
    EXPECT_GE(ReadGedcomBytes(*store, gedcom, {}, reporter), 0);
    CountAncestorsAndDescendants(*store);
    return store;
}

// Persons 1, 2, ... with these names.
FamilyText Persons(std::initializer_list<const char*> names) {
    FamilyText text;
    int id = 0;
    for (const char* name : names) text.person(++id, name);
    return text;
}

std::vector<int32_t> Listed(const PersonSelection& selection) {
    std::vector<int32_t> persons;
    for (int32_t row = 0; row < selection.rowCount(); ++row) {
        persons.push_back(selection.personAt(row));
        EXPECT_EQ(selection.rowOf(selection.personAt(row)), row);
    }
    return persons;
}

// 3 and 4 with their children 2 (no surname), 5 and 6 (same name), 7 (surname after a blank);
// 1 is alone; 8 is 5's wife, without children or parents. "\xE9" is é.
std::string Durands() {
    return Persons({"Jules /SEUL/", "Luc //", "Jean /DURAND/", "Marie /MARTIN/", "Paul /DURAND/",
                    "Paul /DURAND/", "Anne / DURAND/", "Zo\xE9 /ZOLA/"})
        .family(3, 4, {2, 5, 6, 7})
        .family(5, 8, {})
        .text();
}

TEST(PersonSelection, ListsLinkedPersonsWithSurnameInSortedOrder) {
    const auto store = Load(Durands());
    const PersonSelection selection(*store);
    EXPECT_EQ(Listed(selection), (std::vector<int32_t>{3, 5, 6, 4}));
    EXPECT_EQ(selection.rowText(1), "DURAND Paul");
    for (const int32_t skipped : {1, 2, 7, 8}) EXPECT_EQ(selection.rowOf(skipped), -1) << skipped;
    // The listed person of lowest index is selected.
    EXPECT_EQ(selection.selectedPerson(), 3);
    EXPECT_EQ(selection.selectedRow(), 0);

    // Accents and case weigh nothing at first: Émile, emma, Eric; then they do: eve, Eve, Ève.
    const auto given =
        Load(Persons({"Eric /DUPONT/", "\xC9mile /DUPONT/", "emma /DUPONT/", "Ana /ABEL/",
                      "\xC8ve /DUPONT/", "eve /DUPONT/", "Eve /DUPONT/"})
                 .family(4, 0, {1, 2, 3, 5, 6, 7})
                 .text());
    EXPECT_EQ(Listed(PersonSelection(*given)), (std::vector<int32_t>{4, 2, 3, 1, 6, 7, 5}));
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
    // Nobody linked: person 2 is shown, no chart applies.
    const auto alone = Load(Persons({"A /UN/", "B /DEUX/"}).text());
    const PersonSelection two(*alone);
    EXPECT_EQ(two.rowCount(), 0);
    EXPECT_EQ(two.selectedPerson(), 2);
    EXPECT_EQ(two.selectedRow(), -1);
    EXPECT_EQ(two.details().name, "DEUX B");
    EXPECT_FALSE(two.details().bothChart);

    // With fewer than two persons there is nobody to show.
    for (const std::string& text : {FamilyText().text(), FamilyText().person(1, "A /UN/").text()}) {
        const auto store = Load(text);
        PersonSelection selection(*store);
        EXPECT_EQ(selection.selectedPerson(), 0);
        const PersonDetails details = selection.details();
        EXPECT_EQ(std::tuple(details.name, details.spouses[0]), std::tuple("", " "));
        EXPECT_FALSE(details.bothChart || details.father.present || details.spouseEnabled[0]);
        EXPECT_FALSE(selection.goTo(Relative::Father).moved);
    }
}

// Jean (1, born in Lyon) and Marie (2) have Paul (3), whose wives are Zoé (4), mother of Léa (6),
// and Anne (5), childless.
std::string Family() {
    return "0 HEAD\n1 CHAR ANSI\n"
           "0 @I1@ INDI\n1 NAME Jean /DURAND/\n1 BIRT\n2 DATE 1900\n2 PLAC Lyon\n"
           "1 DEAT\n2 DATE 1970\n"
           "0 @I2@ INDI\n1 NAME Marie /MARTIN/\n"
           "0 @I3@ INDI\n1 NAME Paul /DURAND/\n1 BIRT\n2 DATE 1930\n"
           "0 @I4@ INDI\n1 NAME Zo\xE9 /ZOLA/\n"
           "0 @I5@ INDI\n1 NAME Anne /BLANC/\n"
           "0 @I6@ INDI\n1 NAME L\xE9\x61 /DURAND/\n"
           "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n"
           "0 @F2@ FAM\n1 HUSB @I3@\n1 WIFE @I4@\n1 CHIL @I6@\n"
           "0 @F3@ FAM\n1 HUSB @I3@\n1 WIFE @I5@\n"
           "0 TRLR\n";
}

TEST(PersonSelection, DetailsAndButtons) {
    auto store = Load(Family());
    const PersonDetails paul = DescribePerson(*store, 3);
    EXPECT_EQ(std::tuple(paul.name, paul.birthYear, paul.descendantCount, paul.ancestorCount),
              std::tuple("DURAND Paul", 1930, 1, 2));
    const RelativeDetails& father = paul.father;
    EXPECT_EQ(
        std::tuple(father.present, father.name, father.place, father.birthYear, father.deathYear),
        std::tuple(true, "DURAND Jean", "LYON", 1900, 1970));
    EXPECT_TRUE(paul.mother.present);
    EXPECT_EQ(paul.spouses, (std::array<std::string, 3>{"ZOLA Zo\xE9", "BLANC Anne", " "}));
    EXPECT_EQ(paul.spouseEnabled, (std::array<bool, 3>{true, true, false}));
    EXPECT_TRUE(paul.descendantsChart && paul.ancestorsChart && paul.bothChart && paul.parentChart);

    // No ancestor: no parent shown, only the descendant charts.
    const PersonDetails jean = DescribePerson(*store, 1);
    EXPECT_FALSE(jean.father.present);
    EXPECT_EQ(jean.descendantCount, 2);
    EXPECT_TRUE(jean.descendantsChart && jean.bothChart);
    EXPECT_FALSE(jean.ancestorsChart || jean.parentChart);

    // No descendant; ancestors along every line: Paul (with his two) and Zoé.
    const PersonDetails lea = DescribePerson(*store, 6);
    EXPECT_EQ(lea.ancestorCount, 4);
    EXPECT_FALSE(lea.descendantsChart);
    EXPECT_TRUE(lea.ancestorsChart && lea.bothChart && lea.parentChart);

    // Only the low 32 bits of the ancestor count are shown, and decide.
    (*store)[6].sosa = (int64_t{1} << 32) + 5;
    EXPECT_EQ(DescribePerson(*store, 6).ancestorCount, 5);
    (*store)[6].sosa = int64_t{1} << 32;
    EXPECT_FALSE(DescribePerson(*store, 6).ancestorsChart);
    EXPECT_FALSE(DescribePerson(*store, 6).bothChart);
}

TEST(PersonSelection, MovesToParentsAndSpouses) {
    const auto store = Load(Family());
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
    EXPECT_EQ(selection.details().name, "BLANC Anne");
    EXPECT_FALSE(selection.goTo(Relative::Father).moved);
    EXPECT_EQ(selection.selectedPerson(), 5);
    expectMove(Relative::Spouse1, 3, 2);
    EXPECT_FALSE(selection.goTo(Relative::Spouse3).moved);
    expectMove(Relative::Father, 1, 0);
}

TEST(PersonSelection, FindByTypedPrefix) {
    const auto store = Load(Family());
    const PersonSelection selection(*store); // DURAND Jean, Léa, Paul; MARTIN; ZOLA
    // From the given row on, wrapping round.
    EXPECT_EQ(std::tuple(selection.findByPrefix("dur", 0), selection.findByPrefix("dur", 2),
                         selection.findByPrefix("dur", 3), selection.findByPrefix("z", 1)),
              std::tuple(0, 2, 0, 4));
    EXPECT_EQ(selection.findByPrefix("DURAND L\xC9", 0), 1);
    EXPECT_EQ(selection.findByPrefix("x", 0) + selection.findByPrefix("", 0), -2);
}

TEST(PersonSelection, YearFields) {
    for (const char* good : {"0", "3000", " 1950 ", "+12", "-0", "0001"})
        EXPECT_TRUE(IsValidYearText(good)) << good;
    for (const char* bad :
         {"-1", "3001", "", " ", "abc", "19 50", "1950a", "+", "99999999999999999999"})
        EXPECT_FALSE(IsValidYearText(bad)) << bad;
    EXPECT_EQ(FirstInvalidYear("1900", "1970"), YearField::None);
    EXPECT_EQ(FirstInvalidYear("5000", "x"), YearField::Birth);
    EXPECT_EQ(FirstInvalidYear("1900", "5000"), YearField::Death);
    EXPECT_NE(YearFieldMessage(YearField::Birth).find("0 et 3000"), std::string::npos);
}

} // namespace
} // namespace arbolix
