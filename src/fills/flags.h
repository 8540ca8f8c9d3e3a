#pragma once
// The flag pictures of the countries: one SVG drawing per flag number that LookupCountry can
// return (207..429), built into the program from resources/flags (see its README.md for which
// country each number shows).

#include <cstdint>
#include <string_view>
#include <vector>

namespace arbolix {

// The size a flag bitmap takes when nothing asks for another (a fill of kind 5): 3 by 2, the
// proportions of the 15 × 10 units a flag fills at the end of a box. The drawings are 4 by 3 and
// are stretched to it.
constexpr int32_t kFlagNaturalWidth = 480;
constexpr int32_t kFlagNaturalHeight = 320;

// The SVG drawing (UTF-8 text) of the flag with this number; "" when the number has no picture.
// Numbers whose country the country table does not make clear share a neutral picture: a plain
// light grey rectangle with a thin border.
std::string_view FlagSvg(int32_t flagNumber);

// The lower-case ISO 3166-1 alpha-2 code of the country the flag shows ("fr" for 207), or the
// code the country had when it existed ("an", "yu"); "" for the neutral picture and for a number
// without picture. Never null.
const char* FlagCountryCode(int32_t flagNumber);

// Every flag number that has a picture, in increasing order.
std::vector<int32_t> FlagNumbers();

} // namespace arbolix
