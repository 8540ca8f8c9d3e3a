#include "app/person_card.h"

#include <cerrno>
#include <cstring>

#include "app/chart_document.h"
#include "base/reporter.h"
#include "data/gedcom_lines.h"
#include "data/gedcom_reader.h"

namespace arbolix {

namespace {

// Windows-1252 upper case: a to z, the accented small letters à..þ (but ÷ and ß), š, œ, ž and ÿ.
char UpperCase(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 32);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 32);
    switch (byte) {
    case 0x9A:
        return static_cast<char>(0x8A);
    case 0x9C:
        return static_cast<char>(0x8C);
    case 0x9E:
        return static_cast<char>(0x8E);
    case 0xFF:
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}

std::string UpperCased(std::string text) {
    for (char& c : text) c = UpperCase(c);
    return text;
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

struct EventTag {
    const char* tag;
    CardEvent event;
};
constexpr EventTag kEventTags[] = {
    {"BIRT", kCardBirth},         {"CHR", kCardBaptism},       {"CHRA", kCardBaptism},
    {"BAPM", kCardBaptism},       {"DEAT", kCardDeath},        {"BURI", kCardBurial},
    {"BAPL", kCardMormonBaptism}, {"BARM", kCardBarMitzvah},   {"BASM", kCardBarMitzvah},
    {"BLES", kCardBlessing},      {"CONF", kCardConfirmation}, {"CONL", kCardMormonConfirmation},
    {"CREM", kCardCremation},     {"RETI", kCardRetirement},   {"FCOM", kCardFirstCommunion},
};

CardEvent EventOf(std::string_view tag) {
    for (const EventTag& entry : kEventTags)
        if (tag == entry.tag) return entry.event;
    return kCardNoEvent;
}

// The scan of one file: the lines of the person's record fill the card.
class CardScan {
public:
    CardScan(std::string_view id, PersonCard& card) : id_(id), card_(card) {}

    void line(std::string_view text) {
        const GedcomLineParts parts = SplitGedcomLine(text);
        const std::string_view value = SkipBlanks(parts.value);
        if (parts.level == 0) {
            // The reader keys a record by the id of a level-0 line whose value begins with INDI.
            inRecord_ = !id_.empty() && parts.value.starts_with("INDI") &&
                        CrossReferenceId(parts.tag) == id_;
            event_ = kCardNoEvent;
            return;
        }
        if (parts.level == 1 && parts.tag.starts_with("CHAR")) {
            // The reader's rule: a file read as ANSEL keeps ANSEL text unless it says ANSI.
            ansel_ = decodedAnsel_ && !parts.value.starts_with("ANSI");
            return;
        }
        if (!inRecord_) return;
        if (parts.level == 1)
            levelOne(parts.tag, value);
        else if (parts.level == 2)
            levelTwo(parts.tag, value);
    }

    void setDecodedAnsel(bool ansel) { decodedAnsel_ = ansel; }

private:
    void levelOne(std::string_view tag, std::string_view value) {
        event_ = EventOf(tag);
        if (tag == "NAME")
            name(value);
        else if (tag == "SEX")
            card_.sex = value.starts_with('M') ? "Masculin" : "F\xE9minin";
        else if (tag == "OCCU")
            card_.occupation = text(value);
        else if (tag == "CAST")
            card_.rank = text(value);
        else if (tag == "SSN")
            card_.socialSecurity = std::string(value);
        else if (tag == "RELI")
            card_.religion = text(value);
        else if (tag == "GRAD")
            card_.degree = text(value);
    }

    void levelTwo(std::string_view tag, std::string_view value) {
        if (tag == "DATE" || tag == "PLAC") {
            if (event_ == kCardNoEvent) return;
            PersonCard::Event& event = card_.events[event_];
            if (tag == "DATE")
                event.date = std::string(value);
            else if (event_ != kCardRetirement)
                event.place = UpperCased(text(value));
        } else if (tag == "NPFX" || tag == "TITL") {
            card_.title = text(value);
        } else if (tag == "CAST") {
            card_.rank = text(value);
        } else if (tag == "SURN") {
            card_.nickname = text(value);
        }
    }

    // The names come from the first NAME line, as the chart's do.
    void name(std::string_view value) {
        if (namesTaken_) return;
        namesTaken_ = true;
        std::string_view surname = value;
        if (!value.starts_with('/')) {
            const size_t slash = value.find('/');
            card_.givenNames = text(value.substr(0, slash));
            surname = slash == std::string_view::npos ? std::string_view() : value.substr(slash);
        }
        if (surname.empty()) return;
        surname.remove_prefix(1);
        surname = surname.substr(0, surname.find('/'));
        std::string stored(surname);
        if (ansel_) stored.resize(StripAnselDiacritics(stored.data(), stored.size()));
        card_.surname = UpperCased(std::move(stored));
    }

    // A text of the file in Windows-1252: ANSEL diacritics joined to their letters.
    std::string text(std::string_view value) const {
        std::string converted(value);
        if (ansel_) converted.resize(AnselToAnsi(converted.data(), converted.size()));
        return converted;
    }

    std::string_view id_;
    PersonCard& card_;
    bool decodedAnsel_ = false; // the file's bytes are ANSEL, not decoded to Windows-1252
    bool ansel_ = false;        // its texts are converted from ANSEL
    bool inRecord_ = false;
    bool namesTaken_ = false;
    CardEvent event_ = kCardNoEvent;
};

} // namespace

const char* CardPageTitle(CardPage page) {
    switch (page) {
    case CardPage::Personal:
        return "Personnel";
    case CardPage::Events:
        return "Evénement";
    case CardPage::Religion:
        return "Religion";
    }
    return "";
}

std::vector<CardField> CardFields(const PersonCard& card) {
    std::vector<CardField> fields = {
        {CardPage::Personal, "Prénoms :", "", card.givenNames},
        {CardPage::Personal, "Nom de famille :", "", card.surname},
        {CardPage::Personal, "Sex :", "", card.sex},
        {CardPage::Personal, "Profession :", "", card.occupation},
        {CardPage::Personal, "Rang :", "", card.rank},
        {CardPage::Personal, "Titre :", "", card.title},
        {CardPage::Personal, "Surnom :", "", card.nickname},
        {CardPage::Personal, "N° securite sociale :", "", card.socialSecurity},
        {CardPage::Personal, "Religion :", "", card.religion},
        {CardPage::Personal, "Diplôme :", "", card.degree},
    };
    struct EventRow {
        CardPage page;
        const char* label;
        CardEvent event;
    };
    static constexpr EventRow kRows[] = {
        {CardPage::Events, "Naissance :", kCardBirth},
        {CardPage::Events, "Décés :", kCardDeath},
        {CardPage::Events, "Sépulture :", kCardBurial},
        {CardPage::Events, "Incinération :", kCardCremation},
        {CardPage::Events, "Retraite :", kCardRetirement},
        {CardPage::Religion, "Baptème :", kCardBaptism},
        {CardPage::Religion, "Bap. mormon :", kCardMormonBaptism},
        {CardPage::Religion, "Bar Mitzvah :", kCardBarMitzvah},
        {CardPage::Religion, "Bénédiction :", kCardBlessing},
        {CardPage::Religion, "Confirmation :", kCardConfirmation},
        {CardPage::Religion, "Conf. mormon :", kCardMormonConfirmation},
        {CardPage::Religion, "1ère communion :", kCardFirstCommunion},
    };
    for (const EventRow& row : kRows) {
        const PersonCard::Event& event = card.events[row.event];
        fields.push_back({row.page, row.label, "date", event.date});
        if (row.event != kCardRetirement)
            fields.push_back({row.page, row.label, "lieu", event.place});
    }
    return fields;
}

bool ScanPersonCard(ByteSource& source, std::string_view id, PersonCard& card) {
    DetectedEncoding encoding;
    std::optional<CardScan> scan;
    const auto start = [&] {
        card = PersonCard{};
        scan.emplace(id, card);
    };
    start();
    return ForEachGedcomLine(source, encoding, start, [&](std::string_view line) {
        scan->setDecodedAnsel(encoding.encoding == TextEncoding::Ansel);
        scan->line(line);
        return true;
    });
}

std::optional<PersonCard> ReadPersonCard(const std::string& path, std::string_view id,
                                         const std::optional<FileStamp>& readAs,
                                         Reporter& reporter) {
    const auto fail = [&](const std::string& text) {
        reporter.report({text, "arbolix", MessageIcon::Stop});
        return std::nullopt;
    };
    std::string reason;
    const std::optional<FileStamp> now = StampOfFile(path, &reason);
    if (!now) return fail("Erreur ouverture fichier : " + path + " (" + reason + ")");
    if (readAs && *now != *readAs)
        return fail("Le fichier " + path +
                    " a été modifié depuis sa lecture : ouvrez-le à nouveau pour voir la fiche.");
    FileSource source;
    if (!source.open(path, reason))
        return fail("Erreur ouverture fichier : " + path + " (" + reason + ")");
    PersonCard card;
    if (!ScanPersonCard(source, id, card)) return fail("Erreur lecture fichier " + path);
    return card;
}

std::optional<PersonCard> PersonCardOf(ChartDocument& document, int32_t xref) {
    if (document.path().empty()) return std::nullopt;
    return ReadPersonCard(document.path(), document.store().idText(xref), document.fileStamp(),
                          document.reporter());
}

} // namespace arbolix
