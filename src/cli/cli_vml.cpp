#include "cli/cli_vml.h"

#include <string_view>

#include "base/reporter.h"
#include "cli/cli_chart.h"
#include "export/vml_page.h"

namespace arbolix::cli {

int RunVml(CliContext& context, const std::vector<std::string>& arguments) {
    // "-o FILE", the short form, is read as "--o FILE".
    std::vector<std::string> words = arguments;
    for (std::string& word : words)
        if (word == "-o") word = "--o";
    std::vector<std::string_view> known = ChartOptions();
    known.insert(known.end(), {"size", "o"});
    Words split;
    if (!SplitWords(words, known, split, context.reporter)) return kExitUsage;

    const std::string sizeLabel = split.get("size", VmlPageSizes()[0].label);
    const VmlPageSize* size = FindVmlPageSize(sizeLabel);
    if (size == nullptr) {
        std::string sizes;
        for (const VmlPageSize& each : VmlPageSizes())
            sizes += (sizes.empty() ? "" : ", ") + std::string(each.label);
        context.reporter.report({"--size attend l'une des tailles " + sizes + " : " + sizeLabel,
                                 "arbolix-cli", MessageIcon::Stop});
        return kExitUsage;
    }
    if (!split.has("o") || split.get("o").empty()) {
        context.reporter.report(
            {"vml attend -o FICHIER.htm, la page à écrire", "arbolix-cli", MessageIcon::Stop});
        return kExitUsage;
    }

    Chart chart;
    // A refused computation writes no page, as a zoomed view does not.
    const int loaded = LoadChart(context, split, "vml", chart);
    if (loaded != kExitOk) return loaded;
    // The view as the layout leaves it: a zoom the chart cannot take has been reduced.
    if (!VmlPageAllowed(chart.zoom, context.reporter)) return kExitUsage;
    if (WriteVmlPage(split.get("o"), chart.tree, *chart.store, context.settings, size->width,
                     size->height, context.reporter) < 0)
        return kExitFailure;
    return kExitOk;
}

} // namespace arbolix::cli
