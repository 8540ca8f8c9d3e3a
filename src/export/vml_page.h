#pragma once
// The chart as one HTML page drawn with VML: every frame, connector and link is a piece of a
// single unfilled path, and every text an absolutely positioned paragraph. The page is a static
// picture (no links, no scripts) in Windows-1252, as the names are kept in memory; every text
// that comes from the GEDCOM file is escaped (export/html_text.h), so a file cannot put markup or
// script into the page.
//
// The page always shows the whole chart: the command refuses a zoomed view (VmlPageAllowed), so
// the page mapping has no zoom factor and no scroll position.
//
// Link shapes on the page:
//  - plain links and braces as in the window, expressed with the page mapping;
//  - pipes: the descendant half carries no links, and the ancestor half draws plain links (a
//    single path has no room for the pipes' sockets and rounded bends);
//  - a brace of the ancestor half that the window draws with the implexe pen (an earlier box of
//    the same column reaches past that parent's height) is written twice, the page having one
//    stroke only.
// The page does not change the node tables: the box rectangles kept for the mouse stay those of
// the window.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/reporter.h"
#include "base/settings.h"
#include "data/person_store.h"
#include "export/atomic_file.h"
#include "tree/tree_tables.h"

namespace arbolix {

// The sizes of the "VML" dialog ("Taille tracé"), in the order of its radio buttons; the dialog
// starts on the first one.
struct VmlPageSize {
    std::string_view label; // "1024x768"
    int32_t width;          // pixels
    int32_t height;
};
const std::array<VmlPageSize, 7>& VmlPageSizes();
// The size of that label, or nullptr when the dialog has none such.
const VmlPageSize* FindVmlPageSize(std::string_view label);

// Where the page text goes: kept in memory (text()), or passed on to a file as it comes.
class VmlOutput {
public:
    VmlOutput() = default;
    explicit VmlOutput(AtomicFile& file) : file_(&file) {}

    void add(std::string_view piece);
    // printf-style, for integers and texts only (a decimal point would follow the locale).
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // What was written, when there is no file.
    const std::string& text() const { return text_; }

private:
    AtomicFile* file_ = nullptr;
    std::string text_;
};

// Pieces of the path, in page pixels.
// "m%d,%dl%d,%d,%d,%d,%d,%dx\n": the frame from the top-left corner round, closed.
void VmlRect(VmlOutput& out, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// "m%d,%d"
void VmlMoveTo(VmlOutput& out, int32_t x, int32_t y);
// "l%d,%d\n"
void VmlLineTo(VmlOutput& out, int32_t x, int32_t y);
// "m%d,%dc%d,%d,%d,%d,%d,%d\n": from (x1, y1), a cubic curve through the control points (x2, y1)
// and (x1, y2) to (x2, y2), which leaves and meets its ends horizontally (half a brace).
void VmlCurve(VmlOutput& out, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// "<P class=Chart style=\"FONT-SIZE: %.1fpx; LEFT: %dpx; TOP: %dpx\">%s</P>\n", the size with one
// decimal and a point whatever the locale; `text` (Windows-1252) is escaped here.
void VmlText(VmlOutput& out, double size, int32_t left, int32_t top, std::string_view text);

// The shape and the paragraphs of the chart, everything between the BODY line and "</HTML>", for
// a page of width × height pixels; nothing when both tables are empty. The page is narrowed or
// lowered to the chart's proportions, so that the names fit their boxes.
void WriteVmlChart(VmlOutput& out, const ChartTree& tree, const ChartSettings& settings,
                   int32_t width, int32_t height);

// The whole page: the HTML start tag, the head (titled with the name of the chart's root:
// descendant node 1, or ancestor node 1 when there are no descendants, named as the file names
// it), the body with the background colour, the chart, "</HTML>\n".
void WriteVmlPageText(VmlOutput& out, const ChartTree& tree, const PersonStore& store,
                      const ChartSettings& settings, int32_t width, int32_t height);

// The page written to `path` (UTF-8), completely or not at all. Returns 0, or -1 after reporting
// (caption "arbolix", stop icon) "Erreur fopen" when the file cannot be created, "Erreur fprintf"
// when writing fails and "Erreur fclose" when it cannot be synced, closed or put in place, each
// followed by a line naming the file and the reason; whatever fails, nothing is left at the path
// and an existing file there is kept.
int32_t WriteVmlPage(const std::string& path, const ChartTree& tree, const PersonStore& store,
                     const ChartSettings& settings, int32_t width, int32_t height,
                     Reporter& reporter);

// What the command checks first: a zoomed view (zoom other than 1) cannot be written as a page.
// False after reporting "La création de fichier au format VML ne fonctionne pas en mode zoom"
// (caption "arbolix", exclamation icon).
bool VmlPageAllowed(int64_t zoom, Reporter& reporter);

} // namespace arbolix
