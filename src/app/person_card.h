#pragma once
// The person card: what the GEDCOM file says about one person beyond what the chart keeps (names,
// sex, occupation, titles, civil and religious events with their dates and places), read again
// from the file for that person's INDI record and shown on three pages, "Personnel", "Evénement"
// and "Religion".
//
// The file is read with the reader's own line splitting and decoding, and the record is the one
// the reader keyed under the person's id, so the card speaks of the person of the chart whatever
// the character set of the file and the form of its ids.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/file_stamp.h"

namespace arbolix {

class ByteSource;
class ChartDocument;
class Reporter;

// The events of the card, by the level-1 tags that open them.
enum CardEvent : int32_t {
    kCardNoEvent = 0,
    kCardBirth,              // BIRT
    kCardBaptism,            // CHR, CHRA, BAPM
    kCardDeath,              // DEAT
    kCardBurial,             // BURI
    kCardMormonBaptism,      // BAPL
    kCardBarMitzvah,         // BARM, BASM
    kCardBlessing,           // BLES
    kCardConfirmation,       // CONF
    kCardMormonConfirmation, // CONL
    kCardCremation,          // CREM
    kCardRetirement,         // RETI (a date, no place)
    kCardFirstCommunion,     // FCOM
    kCardEventEnd
};

// Every text in Windows-1252, empty when the file does not give it.
struct PersonCard {
    std::string givenNames;     // the NAME value before the first '/'
    std::string surname;        // between the first and the second '/', upper case
    std::string sex;            // "Masculin" for a value starting with M, otherwise "Féminin"
    std::string occupation;     // OCCU
    std::string rank;           // CAST
    std::string title;          // NPFX or TITL (level 2)
    std::string nickname;       // SURN (level 2)
    std::string socialSecurity; // SSN
    std::string religion;       // RELI
    std::string degree;         // GRAD
    struct Event {
        std::string date;
        std::string place; // upper case
    };
    std::array<Event, kCardEventEnd> events; // by CardEvent
};

enum class CardPage { Personal, Events, Religion };
// "Personnel", "Evénement", "Religion" (UTF-8).
const char* CardPageTitle(CardPage page);

// One field of the card as the pages show it.
struct CardField {
    CardPage page;
    const char* label;  // shown beside the field, UTF-8: "Prénoms :", "Naissance :"
    const char* column; // "" on the page "Personnel"; "date" or "lieu" for an event
    std::string value;  // Windows-1252
};
// Every field of the card, page after page, each page from top to bottom: the ten fields of
// "Personnel", then the date and the place of each event ("Retraite :" has a date only).
std::vector<CardField> CardFields(const PersonCard& card);

// Fills `card` from the lines of `source` that belong to the INDI record(s) with the id `id`, as
// between the '@' signs. A record given twice under the same id fills the card twice, later
// values winning, except the names: the first NAME line gives them, as it gives the chart's.
// An id found nowhere (or empty) leaves the card empty. False on a read error.
bool ScanPersonCard(ByteSource& source, std::string_view id, PersonCard& card);

// Reads the card of the person `id` from the file at `path`. When `readAs` is given, the file must
// still be the one it describes: a file that changed or vanished since the chart was read is
// reported, naming the file and the reason, and gives nullopt, as does a failure to read it.
std::optional<PersonCard> ReadPersonCard(const std::string& path, std::string_view id,
                                         const std::optional<FileStamp>& readAs,
                                         Reporter& reporter);

// The card of the chart's person `xref` (a box's person) from the document's open file. nullopt
// when no file is open or after a reported failure.
std::optional<PersonCard> PersonCardOf(ChartDocument& document, int32_t xref);

} // namespace arbolix
