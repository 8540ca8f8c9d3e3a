#include "cli/cli_card.h"

#include <optional>

#include "app/file_stamp.h"
#include "app/person_card.h"
#include "base/reporter.h"
#include "cli/cli_chart.h"
#include "data/encoding.h"
#include "data/gedcom_reader.h"

namespace arbolix::cli {

int RunCard(CliContext& context, const std::vector<std::string>& arguments) {
    Words words;
    if (!SplitWords(arguments, {"id"}, words, context.reporter) ||
        !ExpectOneFile(words, "card", context.reporter))
        return kExitUsage;
    if (!words.has("id")) {
        context.reporter.report({"card attend --id ID", "arbolix-cli", MessageIcon::Stop});
        return kExitUsage;
    }
    const std::string& path = words.positional[0];
    // The card is read from the file as it was when the persons were read, as in the window.
    const std::optional<FileStamp> stamp = StampOfFile(path);
    PersonStore store;
    if (ReadGedcomPersons(store, path, context.settings.m_gedcom, context.reporter) <= 0)
        return kExitFailure;
    const int32_t person = FindPerson(store, words.get("id"));
    if (person == 0) {
        context.reporter.report(
            {"Personne inconnue : " + words.get("id"), "arbolix-cli", MessageIcon::Stop});
        return kExitFailure;
    }
    const std::optional<PersonCard> card =
        ReadPersonCard(path, store.idText(person), stamp, context.reporter);
    if (!card) return kExitFailure;
    std::string out;
    for (const CardField& field : CardFields(*card)) {
        out += field.label;
        if (field.column[0] != '\0') out += std::string(" ") + field.column;
        out += '\t' + EscapeField(Windows1252ToUtf8(field.value)) + '\n';
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), context.out) == out.size();
    return written && std::fflush(context.out) == 0 ? kExitOk : kExitFailure;
}

} // namespace arbolix::cli
