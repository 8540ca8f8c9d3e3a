#include "cli/cli_commands.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <string_view>

#include "base/reporter.h"
#include "cli/cli_chart.h"
#include "data/encoding.h"
#include "data/gedcom_reader.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix::cli {

std::string EscapeField(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (byte < 0x20 || byte == 0x7F)
            out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        else
            out += c;
    }
    return out;
}

namespace {

// A line of tab-separated fields, texts converted from Windows-1252 to UTF-8 and escaped.
class Row {
public:
    Row& text(std::string_view value) {
        separate();
        line_ += EscapeField(Windows1252ToUtf8(value));
        return *this;
    }
    Row& number(long long value) {
        separate();
        line_ += std::to_string(value);
        return *this;
    }
    // The shortest text that reads back as the same double.
    Row& real(double value) {
        separate();
        char text[32];
        const auto written = std::to_chars(text, text + sizeof text, value);
        line_.append(text, written.ptr);
        return *this;
    }
    Row& list(const int32_t* values, int32_t count) {
        separate();
        for (int32_t k = 0; k < count; ++k) {
            if (k > 0) line_ += ',';
            line_ += std::to_string(values[k]);
        }
        return *this;
    }
    std::string end() { return line_ + '\n'; }

private:
    void separate() {
        if (!first_) line_ += '\t';
        first_ = false;
    }
    std::string line_;
    bool first_ = true;
};

// Output gathered and written in large pieces.
class Output {
public:
    explicit Output(std::FILE* file) : file_(file) {}
    ~Output() { flush(); }
    void add(const std::string& text) {
        buffer_ += text;
        if (buffer_.size() > (1 << 20)) flush();
    }
    bool flush() {
        const bool written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
        buffer_.clear();
        return written && std::fflush(file_) == 0;
    }

private:
    std::FILE* file_;
    std::string buffer_;
};

void PrintDescendants(const ChartTree& tree, Output& out) {
    out.add("noeud\tgeneration\tparent1\tparent2\tnaissance\tdeces\txref\tpays\tconjoints\tenfants\t"
            "prenom\tnom\tlieu\tx\ty\n");
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        int32_t children = 0;
        while (children < 32 && node.children[children] != 0) ++children;
        out.add(Row()
                    .number(n)
                    .number(node.generation)
                    .number(node.parent1)
                    .number(node.parent2)
                    .number(node.birthYear)
                    .number(node.deathYear)
                    .number(node.xref)
                    .number(node.country)
                    .list(node.spouses, node.spouseCount)
                    .list(node.children, children)
                    .text(node.givenName)
                    .text(node.surname)
                    .text(node.place)
                    .number(node.layoutX)
                    .real(node.layoutY)
                    .end());
    }
}

void PrintAncestors(const ChartTree& tree, Output& out) {
    out.add("noeud\tpere\tmere\tenfant\tnaissance\tdeces\txref\tpays\tsosa\tprenom\tnom\tlieu\tx\ty\n");
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        out.add(Row()
                    .number(n)
                    .number(node.father)
                    .number(node.mother)
                    .number(node.child)
                    .number(node.birthYear)
                    .number(node.deathYear)
                    .number(node.xref)
                    .number(node.country)
                    .number(node.sosa)
                    .text(node.givenName)
                    .text(node.surname)
                    .text(node.place)
                    .number(node.layoutX)
                    .real(node.layoutY)
                    .end());
    }
}

} // namespace

int RunPersons(CliContext& context, const std::vector<std::string>& arguments) {
    Words words;
    if (!SplitWords(arguments, {}, words, context.reporter) ||
        !ExpectOneFile(words, "persons", context.reporter))
        return kExitUsage;
    PersonStore store;
    const int32_t highest =
        ReadGedcomPersons(store, words.positional[0], context.settings.m_gedcom, context.reporter);
    if (highest <= 0) return kExitFailure;
    CountAncestorsAndDescendants(store);
    Output out(context.out);
    out.add("numero\tid\tnom\tprenom\tnaissance\tdeces\tlieu\tpays\tpere\tmere\tconjoints\tdescendants\t"
            "ascendants\n");
    for (int32_t i = 1; i <= highest; ++i) {
        const Individual& person = store[i];
        if (person.xref == 0) continue;
        out.add(Row()
                    .number(i)
                    .text(store.idText(i))
                    .text(person.surname)
                    .text(person.givenName)
                    .number(person.birthYear)
                    .number(person.deathYear)
                    .text(person.place)
                    .number(person.country)
                    .number(person.father)
                    .number(person.mother)
                    .list(person.spouses, std::clamp(person.spouseCount, 0, 4))
                    .number(person.level)
                    .number(person.sosa)
                    .end());
    }
    return out.flush() ? kExitOk : kExitFailure;
}

int RunTree(CliContext& context, const std::vector<std::string>& arguments) {
    Words words;
    if (!SplitWords(arguments, ChartOptions(), words, context.reporter)) return kExitUsage;
    Chart chart;
    const int loaded = LoadChart(context, words, "tree", chart);
    // A refused computation prints nothing: half-built tables would read as a chart.
    if (!chart.computed || loaded != kExitOk) return loaded;
    const ChartTree& tree = chart.tree;
    Output out(context.out);
    PrintDescendants(tree, out);
    PrintAncestors(tree, out);
    out.add("etendue\tdescendants\ttotale\tymin\tymax\n");
    out.add(Row()
                .text("")
                .number(tree.descendantExtentX)
                .number(tree.extentX)
                .real(tree.yMin)
                .real(tree.yMax)
                .end());
    if (!out.flush()) return kExitFailure;
    return loaded;
}

} // namespace arbolix::cli
