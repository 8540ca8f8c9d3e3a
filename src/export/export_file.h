#pragma once
// What the export commands settle before anything is drawn: the kind of file a chosen name asks
// for, the file types the save dialogs offer and the size each kind of file is drawn at. The
// window and arbolix-cli decide these the same way.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "export/picture_writer.h"

namespace arbolix {

enum class ExportFormat { None, Bmp, Jpeg, Png, Tiff, Svg, Pdf };

// The kind of file a path asks for, by its extension (what follows the last dot of the file
// name), in any case: "svg" and "pdf" are the vector drawings; any other extension chooses a
// picture by its first letter, b BMP, j JPEG, p PNG, t TIFF ("arbre.Tif", "arbre.jpeg",
// "arbre.b"). None for another letter and for a file name without extension.
ExportFormat ExportFormatOfPath(std::string_view path);
bool IsPictureFormat(ExportFormat format);

// One file type of a save dialog: "Fichier PNG *.png" and "*.png".
struct SaveFilter {
    std::string_view description;
    std::string_view pattern;
};

// The file types the picture's save dialog offers in a colour mode, the first one chosen at
// first: BMP only in monochrome; BMP, JPEG and PNG in grey; BMP and PNG in 256 colours; BMP,
// JPEG, TIFF, PNG, SVG and PDF in 24 bits (the drawings keep every colour, so they are offered
// with that mode only). A mode outside 0..3 counts as 24 bits.
std::span<const SaveFilter> PictureSaveFilters(ColourMode mode);
// The VML page's one file type: "Fichier HTML *.htm".
const SaveFilter& VmlSaveFilter();

// The extension of a file type's pattern: "*.png" gives "png".
std::string_view FilterExtension(const SaveFilter& filter);
// `path` with the file type's extension added when its file name has no extension of its own
// ("/a/arbre" with "*.png" gives "/a/arbre.png"; "/a/arbre.bmp" stays).
std::string WithFilterExtension(const std::string& path, const SaveFilter& filter);

// The picture size asked for, the height 0 standing for the proportions of the chart window:
// width × viewHeight / viewWidth in integers (a square when the window has no size). At least 1.
PictureSize RequestedPictureSize(int32_t width, int32_t height, int32_t viewWidth,
                                 int32_t viewHeight);

// The size a file of `format` is drawn at, from the size asked (height already resolved): a
// picture's as AdjustPictureSize gives it for the colour mode; an SVG drawing's as asked; a PDF
// poster takes its pages' size and returns the size asked.
PictureSize ExportDrawingSize(ExportFormat format, PictureSize requested, ColourMode mode);

// Pictures from this side length on are drawn under a progress indication.
constexpr int32_t kProgressPictureSide = 4097;

} // namespace arbolix
