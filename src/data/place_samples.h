#pragma once
// Sample places of a GEDCOM file, for the dialog where the user tells which comma-separated field
// of a PLAC value is the town, the postal code, the département, the région and the country.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/place_format.h"

namespace arbolix {

constexpr int kMaxPlaceSamples = 33;
constexpr int kPlaceFieldCount = 5;

// The values of the first `limit` level-2 PLAC lines whose value is not blank, in file order,
// decoded to Windows-1252 as the reader decodes the file (any encoding it recognises; ANSEL
// accents put back on their letters). Empty when the path is not a regular file that can be read.
std::vector<std::string> ReadPlaceSamples(const std::string& path, int limit = kMaxPlaceSamples);

// The first five comma-separated fields of a place value, blanks around each removed; fields the
// value does not have are empty, fields after the fifth are left out.
std::array<std::string, kPlaceFieldCount> PlaceFields(std::string_view value);

// What the reader keeps of a place value under a format: the town as the chart shows it (upper
// case), the text of the field whose role is the country, and the flag number found for it (0 for
// none). Windows-1252 in and out.
struct PlaceReading {
    std::string town;
    std::string country;
    int32_t flag = 0;
};
PlaceReading ReadPlaceWithFormat(std::string_view value, const PlaceFormat& format);

} // namespace arbolix
