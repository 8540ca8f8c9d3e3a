#include "cli/cli_picture.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/reporter.h"
#include "chart/print_layout.h"
#include "cli/cli_chart.h"
#include "export/qt_chart_file.h"

namespace arbolix::cli {

namespace {

enum class OutputKind { Picture, Svg, Pdf, Unknown };

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

OutputKind KindOfPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "svg") return OutputKind::Svg;
    if (extension == "pdf") return OutputKind::Pdf;
    return PictureFormatOfPath(path) == PictureFormat::Unknown ? OutputKind::Unknown : OutputKind::Picture;
}

// "AxB" with two whole numbers.
bool ParsePair(const std::string& text, int& first, int& second) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const auto number = [](std::string_view part, int& value) {
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        return !part.empty() && error == std::errc() && end == part.data() + part.size();
    };
    return number(std::string_view(text).substr(0, x), first) && number(std::string_view(text).substr(x + 1), second);
}

bool Refuse(Reporter& reporter, const std::string& text) {
    reporter.report({text, "arbolix-cli", MessageIcon::Stop});
    return false;
}

bool ParseColours(const Words& words, ColourMode& mode, Reporter& reporter) {
    const std::string colours = words.get("colors", "24");
    const std::optional<ColourMode> named = ColourModeNamed(colours);
    if (!named) return Refuse(reporter, "--colors attend mono, gris, 256 ou 24 : " + colours);
    mode = *named;
    return true;
}

bool ParsePoster(const Words& words, PosterLayout& layout, Reporter& reporter) {
    if (words.has("pages") &&
        (!ParsePair(words.get("pages"), layout.pagesWide, layout.pagesHigh) || layout.pagesWide < kMinPosterPages ||
         layout.pagesWide > kMaxPosterPages || layout.pagesHigh < kMinPosterPages ||
         layout.pagesHigh > kMaxPosterPages))
        return Refuse(reporter, "--pages attend LxH, de 1 à 8 pages dans chaque sens : " + words.get("pages"));
    std::string paper = words.get("paper", "A4");
    std::transform(paper.begin(), paper.end(), paper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (paper == "A4") layout.paper = PaperSize::A4;
    else if (paper == "A3") layout.paper = PaperSize::A3;
    else if (paper == "A0") layout.paper = PaperSize::A0;
    else if (paper == "LETTER") layout.paper = PaperSize::Letter;
    else return Refuse(reporter, "--paper attend A4, A3, A0 ou letter : " + words.get("paper"));
    const std::string overlap = words.get("overlap", "0");
    const auto [end, error] =
        std::from_chars(overlap.data(), overlap.data() + overlap.size(), layout.overlapMillimetres);
    if (overlap.empty() || error != std::errc() || end != overlap.data() + overlap.size() ||
        layout.overlapMillimetres < 0 || layout.overlapMillimetres > kMaxOverlapMillimetres)
        return Refuse(reporter, "--overlap attend un nombre de millimètres de 0 à 20 : " + overlap);
    return true;
}

// Width 1..32768 and height 0..32768 (0: the chart's proportions).
bool ParseSize(const Words& words, int& width, int& height, Reporter& reporter) {
    if (!ParsePair(words.get("size", "1024x768"), width, height) || width < 1 || height < 0 || width > 32768 ||
        height > 32768)
        return Refuse(reporter, "--size attend LARGEURxHAUTEUR, de 1 à 32768 pixels (hauteur 0 : les proportions de "
                                "l'arbre) : " + words.get("size"));
    return true;
}

// The options of the output checked before the file is read.
struct Output {
    std::string path;
    OutputKind kind = OutputKind::Unknown;
    int width = 0;
    int height = 0;
    ColourMode mode = kColour24Bits;
    PosterLayout poster;
};

bool ParseOutput(const Words& words, Output& output, Reporter& reporter) {
    if (!words.has("o")) return Refuse(reporter, "chart attend -o FICHIER (.bmp .jpg .png .tif .svg .pdf)");
    output.path = words.get("o");
    output.kind = KindOfPath(output.path);
    if (output.kind == OutputKind::Unknown)
        return Refuse(reporter, "Format de fichier inconnu (bmp, jpg, png, tif, svg ou pdf) : " + output.path);
    return ParseSize(words, output.width, output.height, reporter) && ParseColours(words, output.mode, reporter) &&
           ParsePoster(words, output.poster, reporter);
}

int32_t WriteOutput(const Output& output, const ChartToDraw& draw) {
    PictureSize size{output.width, output.height};
    if (output.height == 0) {
        const PictureSize shape = ChartProportions(draw.tree, draw.settings);
        size.height = static_cast<int32_t>(std::max<int64_t>(int64_t{output.width} * shape.height / shape.width, 1));
    }
    // The window's export command writes through the same function.
    const ExportRequest request{size, output.mode, output.poster};
    return ExportChartFile(draw, request, output.path) == ExportOutcome::Written ? 0 : -1;
}

// The folder must exist before the chart is computed and drawn for nothing.
bool FolderExists(const std::string& path, Reporter& reporter) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) return true;
    reporter.report({"Dossier introuvable : " + folder.string(), "arbolix-cli", MessageIcon::Stop});
    return false;
}

} // namespace

int RunChart(CliContext& context, const std::vector<std::string>& arguments) {
    std::vector<std::string_view> known = ChartOptions();
    known.insert(known.end(), {"size", "o", "colors", "pages", "paper", "overlap"});
    // The one switch without a value.
    std::vector<std::string> rest = arguments;
    const bool cutMarks = std::erase(rest, std::string("--cut-marks")) > 0;
    Words words;
    Output output;
    // Posters have the pages of the print layout, as in the window, unless --pages says otherwise.
    output.poster = PosterOfSettings(context.settings);
    if (!SplitWords(rest, known, words, context.reporter) ||
        !ParseOutput(words, output, context.reporter))
        return kExitUsage;
    output.poster.cutMarks = cutMarks;
    if (!FolderExists(output.path, context.reporter)) return kExitFailure;
    Chart chart;
    // A refused computation leaves half a chart: nothing is drawn, no file is written.
    const int loaded = LoadChart(context, words, "chart", chart);
    if (loaded != kExitOk) return loaded;
    const ChartToDraw draw{chart.tree, *chart.store, context.settings, ChartView{chart.zoom, chart.scrollX, chart.scrollY},
                           context.reporter};
    return WriteOutput(output, draw) == 0 ? kExitOk : kExitFailure;
}

} // namespace arbolix::cli
