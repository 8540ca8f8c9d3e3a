#pragma once
// The command line of arbolix-cli: global options, the subcommand and its arguments.

#include <string>
#include <utility>
#include <vector>

namespace arbolix::cli {

struct CliOptions {
    std::string command;                // "persons", "help", ...
    std::vector<std::string> arguments; // the subcommand's own words, options included
    std::string profilePath;            // --profile FICHIER.ini
    std::vector<std::pair<std::string, std::string>> overrides; // --set clé=valeur
    bool help = false;
};

// Splits argv; false with `error` set (French, UTF-8) when the line cannot be understood.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

// The French usage text of --help.
const char* UsageText();

} // namespace arbolix::cli
