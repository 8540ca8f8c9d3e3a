#pragma once
// The chart's colours and Windows-1252 texts as Qt takes them.

#include <QColor>
#include <QString>

#include <string_view>

#include "base/colour.h"

namespace arbolix {

QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);
// Windows-1252 bytes to Unicode.
QString Windows1252ToQString(std::string_view text);

} // namespace arbolix
