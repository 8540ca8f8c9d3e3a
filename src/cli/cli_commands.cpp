#include "cli/cli_commands.h"

#include "app/reporter.h"
#include "data/encoding.h"
#include "data/gedcom_reader.h"

namespace arbolix::cli {

namespace {

void AppendField(std::string& line, std::string_view text) {
    line += Windows1252ToUtf8(text);
    line += '\t';
}

void AppendNumber(std::string& line, long long value) {
    line += std::to_string(value);
    line += '\t';
}

std::string PersonLine(const PersonStore& store, int32_t index) {
    const Individual& person = store[index];
    std::string line;
    AppendNumber(line, index);
    AppendField(line, store.idText(index));
    AppendField(line, person.surname);
    AppendField(line, person.givenName);
    AppendNumber(line, person.birthYear);
    AppendNumber(line, person.deathYear);
    AppendField(line, person.place);
    AppendNumber(line, person.country);
    AppendNumber(line, person.father);
    AppendNumber(line, person.mother);
    for (int32_t k = 0; k < person.spouseCount && k < 4; ++k) {
        if (k > 0) line += ',';
        line += std::to_string(person.spouses[k]);
    }
    line += '\n';
    return line;
}

bool ExpectOneFile(const std::vector<std::string>& arguments, const char* command,
                   Reporter& reporter) {
    if (arguments.size() == 1) return true;
    reporter.report({Format("%s attend un seul argument : le fichier GEDCOM", command),
                     "arbolix-cli", MessageIcon::Stop});
    return false;
}

} // namespace

int RunPersons(CliContext& context, const std::vector<std::string>& arguments) {
    if (!ExpectOneFile(arguments, "persons", context.reporter)) return kExitUsage;
    PersonStore store;
    const int32_t highest =
        ReadGedcom(store, arguments[0], context.settings.m_gedcom, context.reporter);
    if (highest < 0) return kExitFailure;
    std::string out =
        "numero\tid\tnom\tprenom\tnaissance\tdeces\tlieu\tpays\tpere\tmere\tconjoints\n";
    for (int32_t i = 1; i <= highest; ++i) {
        if (store[i].xref == 0) continue;
        out += PersonLine(store, i);
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), context.out);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), context.out);
    return std::fflush(context.out) == 0 ? kExitOk : kExitFailure;
}

} // namespace arbolix::cli
