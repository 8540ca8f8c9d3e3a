#pragma once
// arbolix-cli vml: the chart as an HTML page drawn with VML, as the window's "Sauver en VML"
// writes it.

#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace arbolix::cli {

// vml FICHIER.ged --root ID --mode desc|asc|both|parent -o PAGE.htm [--size LxH]
//     [--zoom N --scroll X,Y]
// --size is one of the sizes of the window's dialog (640x480 by default, as the dialog starts).
// Exit 2 for a wrong command line (a size the dialog does not offer, no -o, a zoomed view: like
// the window's command, a zoomed view is refused), 1 when the file cannot be read, the chart's
// computation is refused or the page cannot be written. Nothing is written unless exit 0.
int RunVml(CliContext& context, const std::vector<std::string>& arguments);

} // namespace arbolix::cli
