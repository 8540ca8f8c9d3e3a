#pragma once
// The subcommands of arbolix-cli. Each returns the process exit code.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"

namespace arbolix {
class Reporter;
}

namespace arbolix::cli {

struct CliContext {
    ChartSettings settings;
    Reporter& reporter;
    std::FILE* out;
};

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A text as one field of a tab-separated line: tabs, line ends, other control bytes and the
// backslash itself are written as escapes ("\t", "\n", "\r", "\\", "\x1B"), so a name read
// with a tab inside cannot shift the columns.
std::string EscapeField(std::string_view text);

// persons FICHIER.ged
int RunPersons(CliContext& context, const std::vector<std::string>& arguments);
// tree FICHIER.ged --root ID --mode desc|asc|both|parent
int RunTree(CliContext& context, const std::vector<std::string>& arguments);

} // namespace arbolix::cli
