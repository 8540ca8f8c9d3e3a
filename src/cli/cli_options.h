#pragma once
// The command line of arbolix-cli: global options, the subcommand and its arguments.

#include <string>
#include <string_view>
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

// Why a --set value cannot be taken for `key` (a key of the settings table), as a French message
// naming the key and the type expected; "" when the value reads as the profile would read it:
// 0 or 1 for a flag, a decimal integer for numbers, colours and bytes, anything for a text.
std::string CheckOverrideValue(std::string_view key, std::string_view value);

// The French usage text of --help.
const char* UsageText();

} // namespace arbolix::cli
