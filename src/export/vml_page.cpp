#include "export/vml_page.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "chart/text_fitting.h"
#include "export/html_text.h"

namespace arbolix {

namespace {

// Text size for which a name of `chars` characters fills one box length, per pixel of that length.
constexpr double kCharsToTextSize = 1.747440218925476;

// "12.5": one decimal, with a point whatever the locale.
void AppendOneDecimal(std::string& out, double value) {
    char text[512];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    if (written.ec == std::errc()) out.append(text, written.ptr);
}

// A fixed-size text field up to its terminating zero.
template <size_t Size> std::string_view Field(const char (&text)[Size]) {
    return {text, strnlen(text, Size)};
}

// Boxes whose surname starts with "&" or "$" are connectors: a stroke, no frame and no text.
bool IsConnector(const char* surname) {
    return surname[0] == '&' || surname[0] == '$';
}

// 0x00BBGGRR as 0xRRGGBB.
uint32_t RedGreenBlue(Colour colour) {
    return (uint32_t{RedOf(colour)} << 16) | (uint32_t{GreenOf(colour)} << 8) | BlueOf(colour);
}

// Layout units to page pixels. The chart fills the page with a margin of 1 % on every side.
struct PageMapping {
    double span = 1; // extentX + larg: the chart's depth
    double yMin = 0;
    double rows = 1; // yMax − yMin + 10: the chart's breadth
    double larg = 0;
    int32_t width = 0;
    int32_t height = 0;

    int32_t px(double u) const { return static_cast<int32_t>((u / span * 0.98 + 0.01) * width); }
    int32_t py(double v) const {
        return static_cast<int32_t>(((v - yMin + 5) / rows * 0.98 + 0.01) * height);
    }
};

struct Box {
    int32_t left, right, top, bottom;
    int32_t centre; // the height of the box's middle: links and connector strokes
};

Box BoxAt(const PageMapping& page, double u, double layoutY) {
    return {page.px(u), page.px(u + page.larg), page.py(layoutY - 5), page.py(layoutY + 5),
            page.py(layoutY)};
}

bool OnPage(const Box& box, const PageMapping& page) {
    return box.left <= page.width && box.top <= page.height && box.right >= 0 && box.bottom >= 0;
}

// Depth position on the page: the descendant half is mirrored, generations running leftwards
// from the root.
double DepthOf(const ChartTree& tree, const DescendantNode& node) {
    return tree.descendantExtentX - node.layoutX;
}
double DepthOf(const ChartTree&, const AncestorNode& node) {
    return node.layoutX;
}

// A connector "&" is always stroked; a "$" one and a frame only when the box is on the page.
void WriteFrame(VmlOutput& out, const Box& box, const char* surname, const PageMapping& page) {
    if (surname[0] != '&' && !OnPage(box, page)) return;
    if (IsConnector(surname)) {
        VmlMoveTo(out, box.left, box.centre);
        VmlLineTo(out, box.right, box.centre);
    } else {
        VmlRect(out, box.left, box.top, box.right, box.bottom);
    }
}

// A parent to its children (on its left), and a child to its second parent (on its right).
void WriteDescendantLinks(VmlOutput& out, const ChartTree& tree, const ChartSettings& settings,
                          const PageMapping& page, const DescendantNode& node, const Box& box) {
    if (settings.tuyau == 1) return;
    const auto nodeAt = [&](int32_t n) -> const DescendantNode& {
        return tree.descendants[static_cast<size_t>(n)];
    };
    int32_t childCount = 0;
    while (childCount < 32 && node.children[childCount] > 0) ++childCount;
    const auto childEdge = [&](int32_t k) {
        return page.px(DepthOf(tree, nodeAt(node.children[k])) + page.larg);
    };
    const auto childCentre = [&](int32_t k) { return page.py(nodeAt(node.children[k]).layoutY); };

    if (settings.setaccolade == 1) {
        for (int32_t k = 0; k < childCount; ++k)
            VmlCurve(out, box.left, box.centre, childEdge(k), childCentre(k));
        if (node.parent2 > 0) {
            const DescendantNode& parent = nodeAt(node.parent2);
            VmlCurve(out, box.right, box.centre, page.px(DepthOf(tree, parent)),
                     page.py(parent.layoutY));
        }
        return;
    }
    if (childCount > 0) {
        // The link column, 10 units left of the parent's box.
        const int32_t column = page.px(DepthOf(tree, node) - 10);
        VmlMoveTo(out, box.left, box.centre);
        VmlLineTo(out, column, box.centre);
        for (int32_t k = 0; k < childCount; ++k) {
            const int32_t centre = childCentre(k);
            VmlMoveTo(out, childEdge(k), centre);
            VmlLineTo(out, column, centre);
            if (centre != box.centre) VmlLineTo(out, column, box.centre);
        }
        VmlMoveTo(out, column, childCentre(0));
        VmlLineTo(out, column, childCentre(childCount - 1));
    }
    if (node.parent2 > 0) {
        const DescendantNode& parent = nodeAt(node.parent2);
        VmlMoveTo(out, box.right, box.centre);
        VmlLineTo(out, page.px(DepthOf(tree, parent)), page.py(parent.layoutY));
    }
}

// Which braces of ancestor node n an earlier box of its column already crosses: the nearest such
// box (down to node 3) reaching below the father (1) or the mother (2).
int BraceCrossings(const ChartTree& tree, int32_t n, double fatherY, double motherY) {
    const int32_t column = tree.ancestors[static_cast<size_t>(n)].layoutX;
    for (int32_t j = n - 1; j >= 3; --j) {
        const AncestorNode& earlier = tree.ancestors[static_cast<size_t>(j)];
        if (earlier.layoutX != column) continue;
        int crossings = 0;
        for (const int32_t link : {earlier.father, earlier.mother}) {
            if (link == 0) continue;
            const double y = tree.ancestors[static_cast<size_t>(std::abs(link))].layoutY;
            if (y > fatherY) crossings |= 1;
            if (y > motherY) crossings |= 2;
        }
        return crossings;
    }
    return 0;
}

// A child (on the left) to its father and mother (on the right): a bus or a brace in the gap
// between them, and short strokes from the boxes to it.
void WriteAncestorLinks(VmlOutput& out, const ChartTree& tree, const ChartSettings& settings,
                        const PageMapping& page, int32_t n, const Box& box) {
    const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
    int32_t fatherIndex = std::abs(node.father);
    int32_t motherIndex = std::abs(node.mother);
    if (fatherIndex == 0 && motherIndex == 0) return;
    // A single parent gets one link: the other end takes its place.
    if (fatherIndex == 0) fatherIndex = motherIndex;
    if (motherIndex == 0) motherIndex = fatherIndex;
    const AncestorNode& father = tree.ancestors[static_cast<size_t>(fatherIndex)];
    const AncestorNode& mother = tree.ancestors[static_cast<size_t>(motherIndex)];

    const bool braces = settings.setaccolade == 1 && settings.tuyau == 0;
    const double halfGap = braces ? 2 : 0; // braces open over 4 units
    const double x = node.layoutX;
    const double parentsX = std::min(father.layoutX, mother.layoutX);
    // In the parent chart the chosen person's box is a line only: its link starts half a box
    // earlier.
    const bool lineRoot = tree.chartMode == kModeParent && n == 1;
    const double middle = lineRoot ? (x + parentsX) / 2 : (x + page.larg + parentsX) / 2;
    const int32_t childSide = page.px(middle - halfGap);
    const int32_t parentSide = page.px(middle + halfGap);
    const int32_t fatherX = page.px(father.layoutX), fatherY = page.py(father.layoutY);
    const int32_t motherX = page.px(mother.layoutX), motherY = page.py(mother.layoutY);
    const int32_t start = lineRoot ? page.px(middle - halfGap - 10) : box.right;

    if (braces) {
        const int crossings = BraceCrossings(tree, n, father.layoutY, mother.layoutY);
        for (int i = (crossings & 1) ? 2 : 1; i > 0; --i)
            VmlCurve(out, childSide, box.centre, parentSide, fatherY);
        for (int i = (crossings & 2) ? 2 : 1; i > 0; --i)
            VmlCurve(out, childSide, box.centre, parentSide, motherY);
    } else {
        VmlMoveTo(out, parentSide, fatherY);
        VmlLineTo(out, childSide, box.centre);
        if (mother.layoutY != father.layoutY) VmlLineTo(out, parentSide, motherY);
    }
    VmlMoveTo(out, start, box.centre);
    VmlLineTo(out, childSide, box.centre);
    VmlMoveTo(out, fatherX, fatherY);
    VmlLineTo(out, parentSide, fatherY);
    VmlMoveTo(out, motherX, motherY);
    VmlLineTo(out, parentSide, motherY);
}

struct TextSizes {
    double name = 0; // 0: no texts
    double year = 0;
    bool years = false;
};

// The name, the years beside the box and the place at its foot.
template <class Node>
void WriteTexts(VmlOutput& out, const ChartTree& tree, const ChartSettings& settings,
                const PageMapping& page, const TextSizes& sizes, const Node& node) {
    if (IsConnector(node.surname)) return;
    const double u = DepthOf(tree, node);
    const Box box = BoxAt(page, u, node.layoutY);
    if (!OnPage(box, page)) return;
    const int32_t textLeft = page.px(u + 1);
    VmlText(out, sizes.name, textLeft, box.top,
            ComposeLabel(Field(node.surname), Field(node.givenName), settings));
    if (settings.setnaissance == 1 && node.birthYear > 0 && sizes.years)
        VmlText(out, sizes.year, box.right + 1, box.top, std::to_string(node.birthYear));
    if (settings.setdece == 1 && node.deathYear > 0 && sizes.years)
        VmlText(out, sizes.year, box.right + 1, static_cast<int32_t>(box.top + 2 * sizes.year),
                std::to_string(node.deathYear));
    if (sizes.name > 3.0 && settings.lieu == 1 && Field(node.place).size() > 2)
        VmlText(out, sizes.name * 0.5, textLeft,
                static_cast<int32_t>((box.bottom - 1) - sizes.name * 0.5), Field(node.place));
}

} // namespace

const std::array<VmlPageSize, 7>& VmlPageSizes() {
    static const std::array<VmlPageSize, 7> sizes{{
        {"640x480", 640, 480},
        {"800x600", 800, 600},
        {"1024x768", 1024, 768},
        {"1280x1024", 1280, 1024},
        {"2048x1536", 2048, 1536},
        {"4096x3072", 4096, 3072},
        {"8192x6144", 8192, 6144},
    }};
    return sizes;
}

const VmlPageSize* FindVmlPageSize(std::string_view label) {
    for (const VmlPageSize& size : VmlPageSizes())
        if (size.label == label) return &size;
    return nullptr;
}

void VmlOutput::add(std::string_view piece) {
    if (file_ != nullptr) {
        file_->write(piece); // a failure is kept by the file and told by its commit
    } else {
        text_.append(piece);
    }
}

void VmlOutput::print(const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length >= 0 && static_cast<size_t>(length) < sizeof text) {
        add(std::string_view(text, static_cast<size_t>(length)));
    } else if (length >= 0) {
        std::string longer(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(longer.data(), longer.size(), format, again);
        longer.pop_back();
        add(longer);
    }
    va_end(again);
}

void VmlRect(VmlOutput& out, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    out.print("m%d,%dl%d,%d,%d,%d,%d,%dx\n", x1, y1, x2, y1, x2, y2, x1, y2);
}

void VmlMoveTo(VmlOutput& out, int32_t x, int32_t y) {
    out.print("m%d,%d", x, y);
}

void VmlLineTo(VmlOutput& out, int32_t x, int32_t y) {
    out.print("l%d,%d\n", x, y);
}

void VmlCurve(VmlOutput& out, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    out.print("m%d,%dc%d,%d,%d,%d,%d,%d\n", x1, y1, x2, y1, x1, y2, x2, y2);
}

void VmlText(VmlOutput& out, double size, int32_t left, int32_t top, std::string_view text) {
    std::string paragraph = "<P class=Chart style=\"FONT-SIZE: ";
    AppendOneDecimal(paragraph, size);
    paragraph += "px; LEFT: " + std::to_string(left) + "px; TOP: " + std::to_string(top) + "px\">";
    AppendEscapedHtml(paragraph, text);
    paragraph += "</P>\n";
    out.add(paragraph);
}

void WriteVmlChart(VmlOutput& out, const ChartTree& tree, const ChartSettings& settings,
                   int32_t width, int32_t height) {
    if (tree.descendantCount <= 0 && tree.ancestorCount <= 0) return;
    const double extentX = tree.ancestorCount <= 0 ? tree.descendantExtentX : tree.extentX;
    PageMapping page;
    page.span = extentX + settings.larg;
    page.yMin = tree.yMin;
    page.rows = tree.yMax - tree.yMin + 10;
    page.larg = settings.larg;

    // Fitting the page to the chart: the text size the box length allows for the longest name
    // and the one the box height allows must agree, so the page takes the chart's proportions.
    int32_t chars = tree.longestSurname + 4;
    if (settings.setprenom == 1) chars += tree.longestGivenName - 1;
    const auto sizeByWidth = [&](int32_t pageWidth) {
        return double(pageWidth) * settings.larg / page.span / chars * kCharsToTextSize;
    };
    const double byWidth = sizeByWidth(width);
    double byHeight = 10.0 * height / page.rows;
    if (settings.lieu == 1) byHeight *= 0.6;
    if (byHeight > byWidth) {
        height = static_cast<int32_t>(height * byWidth / byHeight);
    } else {
        width = static_cast<int32_t>(width * byHeight / byWidth);
    }
    page.width = width;
    page.height = height;

    // The text sizes: the name fills the box height (two thirds of it, less, with the place).
    TextSizes sizes;
    sizes.name = 10.0 * height / page.rows;
    if (sizeByWidth(width) < 3.0 || settings.setnom == 0) {
        sizes.name = 0;
    } else {
        sizes.years = sizes.name >= 6.0;
    }
    sizes.year = sizes.name / 3;
    if (settings.lieu == 1) sizes.name *= 0.6;

    out.print("<v:shape style='top: 0; left: 0; width: %dpx; height: %dpx'\n", width, height);
    // Six digits with their leading zeros: a black pen is #000000, not "#     0".
    out.print("stroke=\"true\" strokecolor=#%06X strokeweight=\"", RedGreenBlue(settings.color_pen));
    std::string weight;
    AppendOneDecimal(weight, sizes.name * 0.025); // never shorter than "0.0": no padding
    out.add(weight);
    out.add("pt\" fill=\"false\"\n");
    out.print("coordorigin=\"0 0\" coordsize=\"%d %d\">\n", width, height);
    out.add("<v:path v=\"nf m1,1l1,1x ");

    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
        const Box box = BoxAt(page, DepthOf(tree, node), node.layoutY);
        WriteFrame(out, box, node.surname, page);
        WriteDescendantLinks(out, tree, settings, page, node, box);
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = tree.ancestors[static_cast<size_t>(n)];
        const Box box = BoxAt(page, DepthOf(tree, node), node.layoutY);
        WriteFrame(out, box, node.surname, page);
        WriteAncestorLinks(out, tree, settings, page, n, box);
    }
    out.add("<e \">\n");

    if (sizes.name > 2.0 && settings.setnom == 1) {
        for (int32_t n = 1; n <= tree.descendantCount; ++n)
            WriteTexts(out, tree, settings, page, sizes, tree.descendants[static_cast<size_t>(n)]);
        for (int32_t n = 1; n <= tree.ancestorCount; ++n)
            WriteTexts(out, tree, settings, page, sizes, tree.ancestors[static_cast<size_t>(n)]);
    }
    out.add("</v:shape>\n");
}

void WriteVmlPageText(VmlOutput& out, const ChartTree& tree, const PersonStore& store,
                      const ChartSettings& settings, int32_t width, int32_t height) {
    // The root's name as the file gives it: the parent chart marks both roots' surnames with
    // "$" in the tables.
    std::string_view surname, givenName;
    const auto nameOf = [&](const auto& node) {
        surname = Field(node.surname);
        givenName = Field(node.givenName);
        if (node.xref > 0 && node.xref <= store.topIndex() && store[node.xref].xref == node.xref) {
            surname = Field(store[node.xref].surname);
            givenName = Field(store[node.xref].givenName);
        }
    };
    if (tree.descendantCount >= 1) {
        nameOf(tree.descendants[1]);
    } else if (tree.ancestorCount >= 1) {
        nameOf(tree.ancestors[1]);
    }

    out.add("<HTML xmlns=\"http://www.w3.org/TR/REC-html40\" xmlns:v = "
            "\"urn:schemas-microsoft-com:vml\">\n");
    out.add("<HEAD><TITLE>G\xE9n\xE9"
            "alogie de ");
    out.add(EscapeHtml(surname));
    out.add(" ");
    out.add(EscapeHtml(givenName));
    out.add("</TITLE>\n");
    out.add("<META content=\"text/html; charset=windows-1252\" http-equiv=Content-Type>\n");
    out.add("<STYLE>v\\:* {\n    BEHAVIOR: url(#default#VML)\n}\n.shape {\n\tBEHAVIOR: "
            "url(#default#VML)\n}\n");
    out.add("P.Chart {\nCOLOR: black; FONT-FAMILY: \"courier new\"; POSITION: absolute; "
            "TEXT-ALIGN: right\n}\n");
    out.add("</STYLE>\n");
    out.print("<BODY bgColor=#%06X lang=FR link=blue style=\"tab-interval: 35.4pt\" "
              "vLink=purple>\n",
              RedGreenBlue(settings.texture_fond.brush.lbColor));
    WriteVmlChart(out, tree, settings, width, height);
    out.add("</HTML>\n");
}

int32_t WriteVmlPage(const std::string& path, const ChartTree& tree, const PersonStore& store,
                     const ChartSettings& settings, int32_t width, int32_t height,
                     Reporter& reporter) {
    AtomicFile file;
    if (!file.open(path)) {
        reporter.report({"Erreur fopen\n" + file.error().describe(), "arbolix", MessageIcon::Stop});
        return -1;
    }
    VmlOutput out(file);
    WriteVmlPageText(out, tree, store, settings, width, height);
    if (!file.commit()) {
        const bool writing = file.error().step == FileStep::Write;
        reporter.report({std::string(writing ? "Erreur fprintf" : "Erreur fclose") + "\n" +
                             file.error().describe(),
                         "arbolix", MessageIcon::Stop});
        return -1;
    }
    return 0;
}

bool VmlPageAllowed(int64_t zoom, Reporter& reporter) {
    if (zoom == 1) return true;
    reporter.report({"La création de fichier au format VML ne fonctionne pas en mode zoom",
                     "arbolix", MessageIcon::Exclamation});
    return false;
}

} // namespace arbolix
