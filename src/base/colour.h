#pragma once
// Colours as the chart stores them: 32-bit values laid out 0x00BBGGRR (red in the low byte).

#include <cstdint>

namespace arbolix {

using Colour = uint32_t;

constexpr Colour MakeColour(uint8_t red, uint8_t green, uint8_t blue) {
    return Colour{red} | (Colour{green} << 8) | (Colour{blue} << 16);
}
constexpr uint8_t RedOf(Colour colour) {
    return static_cast<uint8_t>(colour & 0xFF);
}
constexpr uint8_t GreenOf(Colour colour) {
    return static_cast<uint8_t>((colour >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(Colour colour) {
    return static_cast<uint8_t>((colour >> 16) & 0xFF);
}

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

} // namespace arbolix
