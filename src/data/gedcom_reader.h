#pragma once
// Reads a GEDCOM file in one pass into the person store: first given name, surname, town, years of
// birth and death, country, parents and up to four spouses of every person.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/person_store.h"
#include "data/places.h"

namespace arbolix {

class Reporter;

// Event a DATE or PLAC line belongs to.
enum EventContext : int32_t {
    kEventOther = -1,
    kEventBirth = 0,
    kEventMarriage = 1,
    kEventDeath = 2
};

// Reads the file into the store and keeps its snapshot. Returns highestXref (0 when the file holds
// nobody), or -1 after a failure reported through `reporter`. Progress ("Lignes lues : %d") goes
// to reporter.status() every 10000 lines.
int32_t ReadGedcom(PersonStore& store, const std::string& path, const PlaceFormat& format,
                   Reporter& reporter);
// ReadGedcom that also says "Aucune personne dans le fichier <path>" when the file holds nobody
// (a text without INDI records, or no GEDCOM at all).
int32_t ReadGedcomPersons(PersonStore& store, const std::string& path, const PlaceFormat& format,
                          Reporter& reporter);
// The same on a file's bytes already in memory.
int32_t ReadGedcomBytes(PersonStore& store, std::string_view bytes, const PlaceFormat& format,
                        Reporter& reporter);

// Per-tag fillers. `value` is the text after the tag, without the end of line.
void ParseName(std::string_view value, Individual& person, int32_t ansiFlag);
void ParseDate(std::string_view value, Individual& person, int32_t eventContext);
// Fills the town and the country from the comma-separated fields of a PLAC value. ANSEL text must
// have been converted (AnselToAnsi) by the caller.
void ParsePlace(std::string_view value, Individual& person, const PlaceFormat& format);

// Rewrites ANSEL combining diacritics followed by their letter as one Windows-1252 letter, in
// place; a diacritic without such a letter is dropped and its letter kept. ANSEL's special
// characters become their Windows-1252 forms. Returns the new length (the text is NUL-terminated
// there).
size_t AnselToAnsi(char* text, size_t length);
// Removes the ANSEL combining bytes, stopping at the first '/'; returns the new length.
size_t StripAnselDiacritics(char* text, size_t length);

// One line split as the reader splits it: the level (the number at the start, 0 when there is
// none), the tag, and the value after the single space that follows the tag.
struct GedcomLineParts {
    int32_t level = 0;
    std::string_view tag;
    std::string_view value;
};
GedcomLineParts SplitGedcomLine(std::string_view line);
// The id between the '@' signs of a cross-reference ("I12" for "@I12@"), the key under which the
// reader keeps a record's id (PersonStore::idText); empty when there is none.
std::string_view CrossReferenceId(std::string_view pointer);

// Decimal number of a cross-reference the way records are numbered: the digits start at the
// second character (@123@) or at the third (@I123@). Returns -1 when there are none; numbers too
// large for 32 bits saturate at INT32_MAX.
int64_t XrefNumber(std::string_view pointer);

} // namespace arbolix
