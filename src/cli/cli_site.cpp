#include "cli/cli_site.h"

#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string_view>

#include "base/reporter.h"
#include "cli/cli_chart.h"
#include "data/gedcom_reader.h"
#include "export/qt_site_pictures.h"
#include "export/web_site.h"

namespace arbolix::cli {

namespace {

std::optional<int32_t> ParseType(std::string_view text) {
    if (text == "bmp") return kSiteBmp;
    if (text == "jpg") return kSiteJpg;
    if (text == "png") return kSitePng;
    return std::nullopt;
}

// The site's own options over the profile's settings. False, with a message, for a wrong one.
bool ReadSiteOptions(const Words& words, SiteOptions& options, Reporter& reporter) {
    const auto refuse = [&](const std::string& text) {
        reporter.report({text, "arbolix-cli", MessageIcon::Stop});
        return false;
    };
    if (!words.has("o") || words.get("o").empty())
        return refuse("site attend -o DOSSIER/index.htm, la page principale du site");
    options.mainPage = words.get("o");
    options.folder.clear();
    options.title = words.get("title");
    if (words.has("type")) {
        const auto type = ParseType(words.get("type"));
        if (!type) return refuse("--type attend bmp, jpg ou png : " + words.get("type"));
        options.pictureType = *type;
    }
    if (words.has("colors")) {
        const auto colours = ColourModeNamed(words.get("colors"));
        if (!colours)
            return refuse("--colors attend mono, gris, 256 ou 24 : " + words.get("colors"));
        options.colourMode = *colours;
    }
    if (words.has("size")) {
        const int32_t size = FindSitePictureSize(words.get("size"));
        if (size < 0)
            return refuse("--size attend 320x240, 640x480, 800x600, 1024x768, 1280x1024 ou "
                          "1600x1200 : " +
                          words.get("size"));
        options.sizeIndex = size;
    }
    return true;
}

// One line per page on standard error; on a terminal the line is written over.
bool ShowProgress(const SiteProgress& step, bool terminal) {
    std::fprintf(stderr, terminal ? "\rsite : %d / %d %s\x1b[K" : "site : %d / %d %s\n", step.done,
                 step.reached, step.name.c_str());
    std::fflush(stderr);
    return true;
}

} // namespace

int RunSite(CliContext& context, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = arguments;
    for (std::string& word : words)
        if (word == "-o") word = "--o";
    std::vector<std::string_view> known = ChartOptions();
    known.insert(known.end(), {"o", "title", "type", "colors", "size"});
    Words split;
    SiteOptions options = SiteOptionsOf(context.settings);
    if (!SplitWords(words, known, split, context.reporter) ||
        !ReadSiteOptions(split, options, context.reporter))
        return kExitUsage;
    if (!CheckSiteFolder(SiteFolderOf(options), context.reporter)) return kExitFailure;

    Chart chart;
    const int loaded = LoadChart(context, split, "site", chart);
    if (loaded != kExitOk) return loaded;
    const std::string path = split.positional[0];
    SiteChart site{*chart.store,
                   context.settings,
                   chart.tree.chartMode,
                   chart.tree.rootXref,
                   ChartView{chart.zoom, chart.scrollX, chart.scrollY},
                   [&] {
                       return ReadGedcom(*chart.store, path, context.settings.m_gedcom,
                                         context.reporter);
                   }};
    const bool terminal = isatty(STDERR_FILENO) != 0;
    QtSitePictures pictures(context.reporter);
    const SiteResult result =
        GenerateWebSite(site, options, pictures, context.reporter,
                        [&](const SiteProgress& step) { return ShowProgress(step, terminal); });
    if (terminal) std::fputc('\n', stderr);
    std::fprintf(stderr, "site : %d pages, %s\n", result.pages, SiteMainPageOf(options).c_str());
    return result.failed ? kExitFailure : kExitOk;
}

} // namespace arbolix::cli
