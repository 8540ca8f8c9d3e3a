#pragma once
// The drawing of each texture: a function from a point of the picture (in pixels, anywhere on
// the plane) to a colour, periodic with the picture's size.

#include <cstdint>
#include <functional>

#include "texgen/noise.h"

namespace arbolix::texgen {

using Painter = std::function<Rgb(double x, double y)>;

// The painter of texture `id` for a picture of `field`'s size, and the number of samples per
// pixel and per axis that smooth its edges; an empty painter for an unknown id.
Painter MakePainter(int32_t id, const Field& field, int& samplesPerAxis);

} // namespace arbolix::texgen
