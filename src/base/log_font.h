#pragma once
// A logical font as the chart settings keep it: the fields of the platform's LOGFONT record.
// Only weight, italic, underline, strike-out, character set and face name shape the drawn text;
// height and width are refitted to every box.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace arbolix {

constexpr std::size_t kFaceNameSize = 32; // bytes, terminating zero included

struct LogFont {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[kFaceNameSize] = {}; // UTF-8, NUL-terminated

    // Face names compare as texts: what follows their terminating zero does not count.
    bool operator==(const LogFont& other) const {
        return lfHeight == other.lfHeight && lfWidth == other.lfWidth &&
               lfEscapement == other.lfEscapement && lfOrientation == other.lfOrientation &&
               lfWeight == other.lfWeight && lfItalic == other.lfItalic &&
               lfUnderline == other.lfUnderline && lfStrikeOut == other.lfStrikeOut &&
               lfCharSet == other.lfCharSet && lfOutPrecision == other.lfOutPrecision &&
               lfClipPrecision == other.lfClipPrecision && lfQuality == other.lfQuality &&
               lfPitchAndFamily == other.lfPitchAndFamily &&
               std::strncmp(lfFaceName, other.lfFaceName, kFaceNameSize) == 0;
    }
};

static_assert(std::is_trivially_copyable_v<LogFont> && std::is_standard_layout_v<LogFont>);
static_assert(sizeof(LogFont) == 5 * 4 + 8 + kFaceNameSize);

} // namespace arbolix
