#pragma once
// arbolix-cli site: the web site of a chart, as the window's "Générer Site Web" makes it.

#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace arbolix::cli {

// site FICHIER.ged --root ID --mode desc|asc|both|parent -o DOSSIER/index.htm [--title T]
//      [--type bmp|jpg|png] [--colors mono|gris|256|24] [--size 320x240|...|1600x1200]
//      [--zoom N --scroll X,Y]
// The pages go into the folder of -o, which must exist. The type, colours and size not given
// are those of the profile's site settings (the caller loads their group into the context).
// Progress goes to standard error, one line per page.
// Exit 2 for a wrong command line; 1 when the file cannot be read, the first chart's computation
// is refused, the folder cannot be written or the walk stopped on a failure (the pages made and
// the main page listing them are written then); 0 otherwise.
int RunSite(CliContext& context, const std::vector<std::string>& arguments);

} // namespace arbolix::cli
