#include "export/export_file.h"

#include <algorithm>

namespace arbolix {

namespace {

constexpr SaveFilter kBmp{"Fichier BMP *.bmp", "*.bmp"};
constexpr SaveFilter kJpeg{"Fichier JPEG *.jpg", "*.jpg"};
constexpr SaveFilter kPng{"Fichier PNG *.png", "*.png"};
constexpr SaveFilter kTiff{"Fichier TIFF *.tif", "*.tif"};
constexpr SaveFilter kSvg{"Fichier SVG *.svg", "*.svg"};
constexpr SaveFilter kPdf{"Fichier PDF *.pdf", "*.pdf"};
constexpr SaveFilter kHtml{"Fichier HTML *.htm", "*.htm"};

constexpr SaveFilter kMonochromeFilters[] = {kBmp};
constexpr SaveFilter kGreyFilters[] = {kBmp, kJpeg, kPng};
constexpr SaveFilter k256Filters[] = {kBmp, kPng};
constexpr SaveFilter k24BitsFilters[] = {kBmp, kJpeg, kTiff, kPng, kSvg, kPdf};

// The file name's extension without its dot; "" when the name has none.
std::string_view ExtensionOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

} // namespace

ExportFormat ExportFormatOfPath(std::string_view path) {
    const std::string_view extension = ExtensionOf(path);
    if (extension.empty()) return ExportFormat::None;
    if (SameLetters(extension, "svg")) return ExportFormat::Svg;
    if (SameLetters(extension, "pdf")) return ExportFormat::Pdf;
    switch (Lower(extension.front())) {
    case 'b':
        return ExportFormat::Bmp;
    case 'j':
        return ExportFormat::Jpeg;
    case 'p':
        return ExportFormat::Png;
    case 't':
        return ExportFormat::Tiff;
    default:
        return ExportFormat::None;
    }
}

bool IsPictureFormat(ExportFormat format) {
    return format == ExportFormat::Bmp || format == ExportFormat::Jpeg ||
           format == ExportFormat::Png || format == ExportFormat::Tiff;
}

std::span<const SaveFilter> PictureSaveFilters(ColourMode mode) {
    switch (mode) {
    case kColourMonochrome:
        return kMonochromeFilters;
    case kColourGrey:
        return kGreyFilters;
    case kColour256:
        return k256Filters;
    default:
        return k24BitsFilters;
    }
}

const SaveFilter& VmlSaveFilter() {
    return kHtml;
}

std::string_view FilterExtension(const SaveFilter& filter) {
    const size_t dot = filter.pattern.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : filter.pattern.substr(dot + 1);
}

std::string WithFilterExtension(const std::string& path, const SaveFilter& filter) {
    const std::string_view extension = FilterExtension(filter);
    if (path.empty() || path.back() == '/' || extension.empty() || !ExtensionOf(path).empty() ||
        path.back() == '.')
        return path;
    return path + "." + std::string(extension);
}

PictureSize RequestedPictureSize(int32_t width, int32_t height, int32_t viewWidth,
                                 int32_t viewHeight) {
    const int64_t w = std::max<int64_t>(width, 1);
    int64_t h = height;
    if (h <= 0) h = viewWidth > 0 && viewHeight > 0 ? w * viewHeight / viewWidth : w;
    return {static_cast<int32_t>(w), static_cast<int32_t>(std::clamp<int64_t>(h, 1, INT32_MAX))};
}

PictureSize ExportDrawingSize(ExportFormat format, PictureSize requested, ColourMode mode) {
    if (IsPictureFormat(format))
        return AdjustPictureSize(requested.width, requested.height, mode, requested.width,
                                 requested.height);
    return requested;
}

} // namespace arbolix
