#pragma once
// Place fields of a GEDCOM PLAC value and the recognition of countries written in French.

#include <cstdint>

#include "base/place_format.h"

namespace arbolix {

// Flag number (the resource number of the country's flag picture, 207..429) of a country name
// written in French, Windows-1252; 0 when it is not recognised. Only the beginning is examined.
int32_t LookupCountry(const char* text);

} // namespace arbolix
