#pragma once
// The palette that 8-bit fill pixels index.
//
// There is no system palette to ask, so every 8-bit pixel of a fill is an index into one fixed
// 256-colour palette, the same on every run:
//   0..9      the first ten static colours of an 8-bit Windows screen: black, dark red, dark
//             green, olive, navy, purple, teal, silver, money green (C0 DC C0), sky blue (A6 CA F0)
//   10..225   a 6 × 6 × 6 colour cube, levels 0, 51, 102, 153, 204, 255:
//             index 10 + 36 × red level + 6 × green level + blue level
//   226..245  twenty greys, grey k (k = 0..19) being (k + 1) × 255 / 21 (integer division)
//   246..255  the last ten static colours: cream (FF FB F0), medium grey (A0 A0 A4), dark grey
//             (80 80 80), red, green, yellow, blue, magenta, cyan, white
// (static colours written red, green, blue). The Qt side builds its colour table for indexed
// previews from FillPalette().

#include <array>
#include <cstdint>

#include "base/colour.h"

namespace arbolix {

constexpr int kFillPaletteSize = 256;

// Entry i as a colour 0x00BBGGRR.
const std::array<Colour, kFillPaletteSize>& FillPalette();

// The index of the palette entry nearest to `colour`: smallest sum of squared differences of
// red, green and blue, the lowest index on a tie. The high byte of the colour is ignored.
uint8_t NearestSystemIndex(Colour colour);

} // namespace arbolix
