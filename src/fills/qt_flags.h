#pragma once
// Flag pictures drawn with Qt: the SVG drawings of fills/flags.h rendered by QSvgRenderer, either
// straight onto a painter (sharp at every zoom, and kept as vectors in SVG and PDF output) or
// into pixels for the fills.

#include <QRectF>
#include <cstdint>

#include "fills/fill_resources.h"

class QPainter;

namespace arbolix {

// Draws the flag with this number stretched over `target` (in the painter's coordinates) and
// clipped to it. False, and nothing drawn, when the number has no picture.
bool DrawFlag(QPainter& painter, int32_t flagNumber, const QRectF& target);

// FlagRasterizer over the built-in SVG drawings. Every picture has the natural size
// kFlagNaturalWidth × kFlagNaturalHeight (480 × 320). The parsed drawing of each flag is kept
// for the life of the program, shared with DrawFlag.
class QtFlagRasterizer final : public FlagRasterizer {
public:
    bool naturalSize(int32_t flagNumber, int32_t& width, int32_t& height) const override;
    // A width or height of 0 or less asks for the natural size; sizes above 16384 are refused.
    bool rasterize(int32_t flagNumber, int32_t width, int32_t height, ResourceBitmap& out) const override;
};

} // namespace arbolix
