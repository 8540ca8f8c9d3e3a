#pragma once
// Two-colour gradients: six shapes with four variants each, in integer arithmetic.

#include <cstdint>
#include <span>

#include "base/colour.h"

namespace arbolix {

// Shapes of FillSpec::gradientType; any other value draws horizontal bands.
enum GradientType : int32_t {
    kGradientHorizontal = 0,      // "Hori&zontal": bands along the rows
    kGradientVertical = 1,        // "&Vertical": bands along the columns
    kGradientRisingDiagonal = 2,  // "Diagonale &haut"
    kGradientFallingDiagonal = 3, // "Diagonale &bas"
    kGradientCorner = 4,          // "Du coi&n": L-shaped bands around the corner of the variant
    kGradientCentre = 5,          // "Du &centre": nested frames
};

// The colour n / d of the way from a to b, each channel rounded down:
// (a × (d − n) + b × n) / d. The high byte of the result is 0.
Colour LerpColour(Colour a, Colour b, int64_t n, int64_t d);

// Fills a raw pixel buffer (fills/fill_pixels.h) of width × height pixels with the gradient
// from colour1 (FillSpec::brush.lbColor) to colour2. For shapes 0 to 3 the variant picks
// 0 colour 1 → colour 2, 1 colour 2 → colour 1, 2 and 3 the same mirrored around the middle
// (any other value acts as 0); for the corner shape it picks the corner of colour 1 (0 top-left,
// 1 top-right, 2 bottom-left, 3 bottom-right); for the centre shape the outer frame is colour 2
// for variants 0 and 2, colour 1 for 1 and 3. Pixels that a shape does not cover (the middle row
// or column of odd mirrored ramps, a few pixels along the diagonal of non-square mirrored
// diagonals, the centre pixel of odd-by-odd centre gradients) keep what the buffer held. At a
// depth other than 8, 16, 24 or 32, or with a buffer too small, nothing is written.
void RenderGradient(int32_t bitsPerPixel, int32_t gradientType, int32_t variant, Colour colour1,
                    Colour colour2, int32_t width, int32_t height, std::span<uint8_t> buffer);

} // namespace arbolix
