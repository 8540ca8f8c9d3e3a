#pragma once
// What the chart subcommands of arbolix-cli share: their words, and the chart they compute.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "data/person_store.h"
#include "export/picture_writer.h"
#include "tree/tree_tables.h"

namespace arbolix::cli {

// The words of a subcommand: positional arguments and "--name value" options.
struct Words {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    std::string get(std::string_view name, std::string_view fallback = {}) const {
        const auto it = options.find(name);
        return it == options.end() ? std::string(fallback) : it->second;
    }
};

// Splits the words; false, with a message, for an option not in `known` or without its value.
bool SplitWords(const std::vector<std::string>& arguments, const std::vector<std::string_view>& known,
                Words& words, Reporter& reporter);
bool ExpectOneFile(const Words& words, const char* command, Reporter& reporter);

// A chart computed from the command line: FICHIER.ged --root ID --mode desc|asc|both|parent, with
// the view's --zoom N (a power of two) and --scroll X,Y (in half drawing sizes).
struct Chart {
    std::unique_ptr<PersonStore> store = std::make_unique<PersonStore>();
    ChartTree tree;
    int64_t zoom = 1;
    int32_t scrollX = 0;
    int64_t scrollY = 0;
    bool computed = false; // the tables were computed (perhaps with a reported failure)
};

// The colour mode of --colors: "mono", "gris", "256" or "24"; none for another word.
std::optional<ColourMode> ColourModeNamed(std::string_view name);

// The options every chart subcommand takes besides its own.
const std::vector<std::string_view>& ChartOptions();

// Reads the file, computes, sorts and lays out the chart the words ask for. Returns kExitOk, or
// the exit code after a reported failure.
int LoadChart(CliContext& context, const Words& words, const char* command, Chart& chart);

} // namespace arbolix::cli
