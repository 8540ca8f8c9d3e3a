#include "fills/fill_palette.h"

namespace arbolix {
namespace {

std::array<Colour, kFillPaletteSize> MakePalette() {
    std::array<Colour, kFillPaletteSize> palette{};
    const Colour firstStatic[10] = {MakeColour(0x00, 0x00, 0x00), MakeColour(0x80, 0x00, 0x00),
                                    MakeColour(0x00, 0x80, 0x00), MakeColour(0x80, 0x80, 0x00),
                                    MakeColour(0x00, 0x00, 0x80), MakeColour(0x80, 0x00, 0x80),
                                    MakeColour(0x00, 0x80, 0x80), MakeColour(0xC0, 0xC0, 0xC0),
                                    MakeColour(0xC0, 0xDC, 0xC0), MakeColour(0xA6, 0xCA, 0xF0)};
    const Colour lastStatic[10] = {MakeColour(0xFF, 0xFB, 0xF0), MakeColour(0xA0, 0xA0, 0xA4),
                                   MakeColour(0x80, 0x80, 0x80), MakeColour(0xFF, 0x00, 0x00),
                                   MakeColour(0x00, 0xFF, 0x00), MakeColour(0xFF, 0xFF, 0x00),
                                   MakeColour(0x00, 0x00, 0xFF), MakeColour(0xFF, 0x00, 0xFF),
                                   MakeColour(0x00, 0xFF, 0xFF), MakeColour(0xFF, 0xFF, 0xFF)};
    int index = 0;
    for (Colour colour : firstStatic) palette[index++] = colour;
    for (int red = 0; red < 6; ++red)
        for (int green = 0; green < 6; ++green)
            for (int blue = 0; blue < 6; ++blue)
                palette[index++] =
                    MakeColour(static_cast<uint8_t>(red * 51), static_cast<uint8_t>(green * 51),
                               static_cast<uint8_t>(blue * 51));
    for (int k = 0; k < 20; ++k) {
        const auto level = static_cast<uint8_t>((k + 1) * 255 / 21);
        palette[index++] = MakeColour(level, level, level);
    }
    for (Colour colour : lastStatic) palette[index++] = colour;
    return palette;
}

} // namespace

const std::array<Colour, kFillPaletteSize>& FillPalette() {
    static const std::array<Colour, kFillPaletteSize> palette = MakePalette();
    return palette;
}

uint8_t NearestSystemIndex(Colour colour) {
    const std::array<Colour, kFillPaletteSize>& palette = FillPalette();
    int best = 0;
    int bestDistance = -1;
    for (int i = 0; i < kFillPaletteSize; ++i) {
        const int red = RedOf(palette[i]) - RedOf(colour);
        const int green = GreenOf(palette[i]) - GreenOf(colour);
        const int blue = BlueOf(palette[i]) - BlueOf(colour);
        const int distance = red * red + green * green + blue * blue;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

} // namespace arbolix
