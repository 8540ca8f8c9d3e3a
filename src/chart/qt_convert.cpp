#include "chart/qt_convert.h"

#include <array>

#include "data/encoding.h"

namespace arbolix {

QColor ToQColor(Colour colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QString Windows1252ToQString(std::string_view text) {
    static const std::array<char16_t, 256> kTable = [] {
        std::array<char16_t, 256> table{};
        for (int byte = 0; byte < 256; ++byte)
            table[byte] =
                static_cast<char16_t>(Windows1252ToUnicode(static_cast<unsigned char>(byte)));
        return table;
    }();
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* data = out.data();
    for (size_t i = 0; i < text.size(); ++i)
        data[i] = QChar(kTable[static_cast<unsigned char>(text[i])]);
    return out;
}

Colour FromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return MakeColour(static_cast<uint8_t>(rgb.red()), static_cast<uint8_t>(rgb.green()),
                      static_cast<uint8_t>(rgb.blue()));
}

} // namespace arbolix
