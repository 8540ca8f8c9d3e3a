#pragma once
// Two-colour 8 × 8 patterns.

#include <cstdint>
#include <span>

#include "base/colour.h"

namespace arbolix {

constexpr int32_t kPatternCount = 40; // FillSpec::patternIndex 0..39

// Fills a raw pixel buffer (fills/fill_pixels.h) with pattern patternIndex repeated from the
// top-left corner in cells of 8 × 8: a set bit of the pattern's mask in colour2 (foreground), a
// clear bit in colour1 (background). An index outside 0..39 gives plain colour1. The variant is
// accepted and not used. Callers pass sizes that are multiples of 8 (BuildFill cuts them);
// other sizes end with partial cells. At a depth other than 8, 16, 24 or 32 nothing is written.
void RenderPattern(int32_t bitsPerPixel, int32_t patternIndex, int32_t variant, Colour colour1,
                   Colour colour2, int32_t width, int32_t height, std::span<uint8_t> buffer);

} // namespace arbolix
