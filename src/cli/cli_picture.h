#pragma once
// arbolix-cli chart: the chart drawn into a picture file.

#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace arbolix::cli {

// chart FICHIER.ged --root ID --mode M --size LxH -o FICHIER [--zoom N --scroll X,Y]
int RunChart(CliContext& context, const std::vector<std::string>& arguments);

} // namespace arbolix::cli
