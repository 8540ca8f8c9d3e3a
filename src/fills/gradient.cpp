#include "fills/gradient.h"

#include <algorithm>
#include <vector>

#include "fills/fill_pixels.h"

namespace arbolix {
namespace {

// The stored pixels of the bands n = 0 .. count − 1 of a ramp from s to e over d steps, each
// computed once (in 8 bits one palette search per band). positionOf(n) gives the Lerp position
// of band n.
template <typename Position>
std::vector<DevicePixel> Bands(const PixelCanvas& canvas, Colour s, Colour e, int64_t count,
                               int64_t d, Position positionOf) {
    std::vector<DevicePixel> bands;
    bands.reserve(static_cast<std::size_t>(std::max<int64_t>(count, 0)));
    for (int64_t n = 0; n < count; ++n)
        bands.push_back(canvas.encode(LerpColour(s, e, positionOf(n), d)));
    return bands;
}

int64_t Same(int64_t n) {
    return n;
}
int64_t Twice(int64_t n) {
    return 2 * n;
}

void Horizontal(PixelCanvas& canvas, Colour s, Colour e, bool mirrored) {
    const int32_t w = canvas.width();
    const int32_t h = canvas.height();
    if (!mirrored) {
        const auto bands = Bands(canvas, s, e, h, h, Same);
        for (int32_t y = 0; y < h; ++y) canvas.putRow(y, 0, w - 1, bands[y]);
        return;
    }
    const auto bands = Bands(canvas, s, e, h / 2, h, Twice);
    for (int32_t y = 0; y < h / 2; ++y) {
        canvas.putRow(y, 0, w - 1, bands[y]);
        canvas.putRow(h - 1 - y, 0, w - 1, bands[y]);
    }
}

void Vertical(PixelCanvas& canvas, Colour s, Colour e, bool mirrored) {
    const int32_t w = canvas.width();
    const int32_t h = canvas.height();
    if (!mirrored) {
        const auto bands = Bands(canvas, s, e, w, w, Same);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) canvas.put(x, y, bands[x]);
        return;
    }
    const auto bands = Bands(canvas, s, e, w / 2, w, Twice);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w / 2; ++x) {
            canvas.put(x, y, bands[x]);
            canvas.put(w - 1 - x, y, bands[x]);
        }
    }
}

// Rising diagonal, or its left-right mirror image, the falling diagonal.
void Diagonal(PixelCanvas& canvas, Colour s, Colour e, bool mirrored, bool falling) {
    const int64_t w = canvas.width();
    const int64_t h = canvas.height();
    const int64_t d = w + h;
    auto column = [&](int64_t x) { return static_cast<int32_t>(falling ? w - 1 - x : x); };
    if (!mirrored) {
        // Band x + y runs from 0 (top-left) to d − 2 (bottom-right).
        const auto bands = Bands(canvas, s, e, d - 1, d, Same);
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x)
                canvas.put(column(x), static_cast<int32_t>(y), bands[x + y]);
        return;
    }
    // Two triangles, each pixel (k, j) of the first written together with its point-symmetric
    // pixel; band k + j is at min(2 (k + j), d).
    const auto bands = Bands(canvas, s, e, d, d, [d](int64_t n) { return std::min(2 * n, d); });
    for (int64_t k = 0; k < w; ++k) {
        const int64_t count = (w * h - k * h) / w;
        for (int64_t j = 0; j < count; ++j) {
            const DevicePixel& pixel = bands[k + j];
            canvas.put(column(k), static_cast<int32_t>(j), pixel);
            canvas.put(column(w - 1 - k), static_cast<int32_t>(h - 1 - j), pixel);
        }
    }
}

void Corner(PixelCanvas& canvas, Colour s, Colour e, int32_t variant) {
    const int64_t w = canvas.width();
    const int64_t h = canvas.height();
    const bool right = variant == 1 || variant == 3;
    const bool bottom = variant == 2 || variant == 3;
    const auto columnBands = Bands(canvas, s, e, w, w, Same);
    const auto rowBands = Bands(canvas, s, e, h, h, Same);
    for (int64_t y = 0; y < h; ++y) {
        const int64_t dy = bottom ? h - 1 - y : y;
        for (int64_t x = 0; x < w; ++x) {
            const int64_t dx = right ? w - 1 - x : x;
            const DevicePixel& pixel = dx * h >= dy * w ? columnBands[dx] : rowBands[dy];
            canvas.put(static_cast<int32_t>(x), static_cast<int32_t>(y), pixel);
        }
    }
}

void Centre(PixelCanvas& canvas, Colour outer, Colour inner) {
    const int64_t w = canvas.width();
    const int64_t h = canvas.height();
    // Top and bottom sides of the frames.
    const auto rowBands = Bands(canvas, outer, inner, h / 2, h, Twice);
    for (int64_t i = 0; i < h / 2; ++i) {
        const int64_t x0 = i * w / h;
        const int64_t x1 = w - 1 - x0;
        if (x0 > x1) continue;
        canvas.putRow(static_cast<int32_t>(i), static_cast<int32_t>(x0), static_cast<int32_t>(x1),
                      rowBands[i]);
        canvas.putRow(static_cast<int32_t>(h - 1 - i), static_cast<int32_t>(x0),
                      static_cast<int32_t>(x1), rowBands[i]);
    }
    // Left and right sides, over the top and bottom ones; the last row y1 of a side is left as
    // the row pass drew it.
    const auto columnBands = Bands(canvas, outer, inner, w / 2, w, Twice);
    for (int64_t j = 0; j < w / 2; ++j) {
        const int64_t y0 = j * h / w;
        const int64_t y1 = h - 1 - y0;
        for (int64_t y = y0; y < y1; ++y) {
            canvas.put(static_cast<int32_t>(j), static_cast<int32_t>(y), columnBands[j]);
            canvas.put(static_cast<int32_t>(w - 1 - j), static_cast<int32_t>(y), columnBands[j]);
        }
    }
}

} // namespace

Colour LerpColour(Colour a, Colour b, int64_t n, int64_t d) {
    if (d <= 0) return a & 0xFFFFFF;
    auto channel = [&](int shift) {
        const int64_t from = (a >> shift) & 0xFF;
        const int64_t to = (b >> shift) & 0xFF;
        return static_cast<Colour>((from * (d - n) + to * n) / d) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

void RenderGradient(int32_t bitsPerPixel, int32_t gradientType, int32_t variant, Colour colour1,
                    Colour colour2, int32_t width, int32_t height, std::span<uint8_t> buffer) {
    PixelCanvas canvas(bitsPerPixel, width, height, buffer);
    if (!canvas.usable()) return;
    if (variant < 0 || variant > 3) variant = 0;

    // Shapes 0 to 3: variants 1 and 3 swap the colours, 2 and 3 mirror the ramp.
    const bool swapped = variant == 1 || variant == 3;
    const Colour s = swapped ? colour2 : colour1;
    const Colour e = swapped ? colour1 : colour2;
    const bool mirrored = variant >= 2;
    switch (gradientType) {
    case kGradientVertical:
        Vertical(canvas, s, e, mirrored);
        break;
    case kGradientRisingDiagonal:
        Diagonal(canvas, s, e, mirrored, false);
        break;
    case kGradientFallingDiagonal:
        Diagonal(canvas, s, e, mirrored, true);
        break;
    case kGradientCorner:
        Corner(canvas, colour1, colour2, variant);
        break;
    case kGradientCentre:
        if (variant == 1 || variant == 3)
            Centre(canvas, colour1, colour2);
        else
            Centre(canvas, colour2, colour1);
        break;
    default:
        Horizontal(canvas, s, e, mirrored);
        break;
    }
}

} // namespace arbolix
