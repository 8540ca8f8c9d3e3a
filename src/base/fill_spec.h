#pragma once
// The description of one fill (chart background or person boxes): a plain, pointer-free record
// that is copied freely and persisted key by key in the profile (texture_fond.*,
// texture_rectangle.*).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "base/colour.h"

namespace arbolix {

// What a fill paints (FillSpec::kind, profile suffix "type_couleur").
enum FillKind : int32_t {
    kFillSolid = 0,    // one colour: brush.lbColor
    kFillGradient = 1, // brush.lbColor to colour2, shaped by gradientType and variant
    kFillTexture = 2,  // texture bitmap textureId, tiled
    kFillPattern = 3,  // pattern patternIndex: background brush.lbColor, foreground colour2
    kFillPicture = 4,  // picture file fileName, stretched
    kFillResource = 5, // bitmap resource textureId used as it is (flags); never offered to the user
};

// Brush style of LogBrush::lbStyle for a solid brush.
constexpr uint32_t kBrushSolid = 0;
// lbHatch given to every fill brush at start (it is not persisted).
constexpr int32_t kDefaultBrushHatch = 3;

// Mirror of the platform's logical brush. Only lbColor is persisted.
struct LogBrush {
    uint32_t lbStyle = kBrushSolid;
    Colour lbColor = 0; // colour 1: solid colour, gradient start, pattern background
    int32_t lbHatch = 0;

    bool operator==(const LogBrush&) const = default;
};

constexpr std::size_t kFillFileNameSize = 128; // bytes, terminating zero included

struct FillSpec {
    int32_t kind = kFillSolid; // FillKind; values outside 0..5 paint nothing
    int32_t gradientType = 0;  // 0 horizontal .. 5 from the centre
    int32_t variant = 0;       // 0..3, meaning per gradient type
    int32_t textureId = 0;     // texture bitmap id (162, 167..195), or the bitmap of kind 5
    int32_t patternIndex = 0;  // 0..39
    Colour colour2 = 0;        // gradient end colour, pattern foreground colour
    LogBrush brush;            // brush.lbColor is colour 1
    char fileName[kFillFileNameSize] = {}; // picture file of kind 4, UTF-8, "" = none

    // File names compare as texts: what follows their terminating zero does not count.
    bool operator==(const FillSpec& other) const {
        return kind == other.kind && gradientType == other.gradientType &&
               variant == other.variant && textureId == other.textureId &&
               patternIndex == other.patternIndex && colour2 == other.colour2 &&
               brush == other.brush &&
               std::strncmp(fileName, other.fileName, kFillFileNameSize) == 0;
    }
};

static_assert(std::is_trivially_copyable_v<FillSpec> && std::is_standard_layout_v<FillSpec>);
static_assert(sizeof(LogBrush) == 12 && sizeof(FillSpec) == 6 * 4 + 12 + kFillFileNameSize);

} // namespace arbolix
