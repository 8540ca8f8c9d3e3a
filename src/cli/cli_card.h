#pragma once
// arbolix-cli card: the person card of one person, as the window's sheet "Fiche" shows it.

#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace arbolix::cli {

// card FICHIER.ged --id ID: one "label<TAB>value" line per field of the card, page after page
// ("Naissance : date", "Naissance : lieu" for the events).
int RunCard(CliContext& context, const std::vector<std::string>& arguments);

} // namespace arbolix::cli
