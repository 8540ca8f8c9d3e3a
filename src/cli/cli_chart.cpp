#include "cli/cli_chart.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix::cli {

namespace {

std::optional<int32_t> ParseMode(std::string_view text) {
    if (text == "desc") return kModeDescendants;
    if (text == "asc") return kModeAncestors;
    if (text == "both") return kModeBoth;
    if (text == "parent") return kModeParent;
    return std::nullopt;
}

template <class Number>
bool ParseNumber(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The root and mode given on the command line, checked against the file.
class CommandLineChooser final : public RootChooser {
public:
    CommandLineChooser(std::string root, int32_t mode) : root_(std::move(root)), mode_(mode) {}
    std::optional<RootChoice> choose(const PersonStore& store) override {
        const int32_t person = FindPerson(store, root_);
        if (person == 0) return std::nullopt;
        return RootChoice{mode_, person};
    }

private:
    std::string root_;
    int32_t mode_;
};

// The view's zoom (a power of two) and scroll positions (0 .. 2 × zoom − 2).
bool ReadView(const Words& words, Chart& chart, Reporter& reporter) {
    const auto refuse = [&](const std::string& text) {
        reporter.report({text, "arbolix-cli", MessageIcon::Stop});
        return false;
    };
    if (words.has("zoom")) {
        if (!ParseNumber(words.get("zoom"), chart.zoom) || chart.zoom < 1 || chart.zoom > (int64_t{1} << 40) ||
            (chart.zoom & (chart.zoom - 1)) != 0)
            return refuse("--zoom attend une puissance de deux : " + words.get("zoom"));
    }
    if (words.has("scroll")) {
        const std::string text = words.get("scroll");
        const size_t comma = text.find(',');
        if (comma == std::string::npos || !ParseNumber(std::string_view(text).substr(0, comma), chart.scrollX) ||
            !ParseNumber(std::string_view(text).substr(comma + 1), chart.scrollY))
            return refuse("--scroll attend X,Y : " + text);
    }
    const int64_t last = 2 * chart.zoom - 2;
    if (chart.scrollX < 0 || chart.scrollX > last || chart.scrollY < 0 || chart.scrollY > last)
        return refuse(Format("--scroll : chaque position va de 0 à %lld pour ce zoom", static_cast<long long>(last)));
    return true;
}

} // namespace

bool SplitWords(const std::vector<std::string>& arguments, const std::vector<std::string_view>& known,
                Words& words, Reporter& reporter) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        // "--name" or the short "-o".
        const bool isOption = word.starts_with("--") || (word.size() == 2 && word[0] == '-' && std::isalpha(static_cast<unsigned char>(word[1])));
        if (!isOption) {
            words.positional.push_back(word);
            continue;
        }
        const std::string name = word.substr(word[1] == '-' ? 2 : 1);
        if (std::find(known.begin(), known.end(), name) == known.end() || i + 1 >= arguments.size()) {
            reporter.report({"Option inconnue ou sans valeur : " + word, "arbolix-cli", MessageIcon::Stop});
            return false;
        }
        words.options[name] = arguments[++i];
    }
    return true;
}

bool ExpectOneFile(const Words& words, const char* command, Reporter& reporter) {
    if (words.positional.size() == 1) return true;
    reporter.report({Format("%s attend un seul fichier GEDCOM", command), "arbolix-cli", MessageIcon::Stop});
    return false;
}

std::optional<ColourMode> ColourModeNamed(std::string_view name) {
    if (name == "mono") return kColourMonochrome;
    if (name == "gris") return kColourGrey;
    if (name == "256") return kColour256;
    if (name == "24") return kColour24Bits;
    return std::nullopt;
}

const std::vector<std::string_view>& ChartOptions() {
    static const std::vector<std::string_view> options{"root", "mode", "zoom", "scroll"};
    return options;
}

int LoadChart(CliContext& context, const Words& words, const char* command, Chart& chart) {
    if (!ExpectOneFile(words, command, context.reporter)) return kExitUsage;
    const auto mode = ParseMode(words.get("mode", "desc"));
    if (!mode || !words.has("root")) {
        context.reporter.report({Format("%s attend --root ID et --mode desc|asc|both|parent", command),
                                 "arbolix-cli", MessageIcon::Stop});
        return kExitUsage;
    }
    if (!ReadView(words, chart, context.reporter)) return kExitUsage;
    if (ReadGedcomPersons(*chart.store, words.positional[0], context.settings.m_gedcom, context.reporter) <= 0)
        return kExitFailure;
    if (FindPerson(*chart.store, words.get("root")) == 0) {
        context.reporter.report({"Personne inconnue : " + words.get("root"), "arbolix-cli", MessageIcon::Stop});
        return kExitFailure;
    }
    CommandLineChooser chooser(words.get("root"), *mode);
    const int computed = BuildChartTables(chart.tree, *chart.store, context.settings, &chooser, context.reporter);
    chart.computed = true;
    // The layout halves the zoom asked for when the chart would leave the drawable range.
    LayoutTree(chart.tree, context.settings, chart.zoom);
    chart.scrollX = static_cast<int32_t>(std::min<int64_t>(chart.scrollX, 2 * chart.zoom - 2));
    chart.scrollY = std::min<int64_t>(chart.scrollY, 2 * chart.zoom - 2);
    return computed < 0 ? kExitFailure : kExitOk;
}

} // namespace arbolix::cli
