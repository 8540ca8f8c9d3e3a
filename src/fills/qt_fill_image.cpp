#include "fills/qt_fill_image.h"

#include <QList>

#include "fills/fill_palette.h"
#include "fills/fill_pixels.h"
#include "fills/packed_dib.h"

namespace arbolix {
namespace {

QImage::Format FormatOfDepth(int32_t bitsPerPixel, bool dib) {
    switch (bitsPerPixel) {
    case 8:
        return dib ? QImage::Format_Invalid : QImage::Format_Indexed8;
    case 16:
        return dib ? QImage::Format_RGB555 : QImage::Format_RGB16;
    case 24:
        return QImage::Format_BGR888;
    case 32:
        return QImage::Format_RGB32;
    default:
        return QImage::Format_Invalid;
    }
}

const QList<QRgb>& FillColourTable() {
    static const QList<QRgb> table = [] {
        QList<QRgb> colours;
        for (Colour colour : FillPalette())
            colours.push_back(qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour)));
        return colours;
    }();
    return table;
}

// A deep copy of rows `rowBytes` apart, so that the image outlives the fill.
QImage CopyRows(const uint8_t* bits, std::size_t available, int32_t width, int32_t height,
                std::size_t rowBytes, QImage::Format format) {
    if (format == QImage::Format_Invalid || width <= 0 || height <= 0 ||
        available < rowBytes * static_cast<std::size_t>(height))
        return {};
    QImage image(bits, width, height, static_cast<qsizetype>(rowBytes), format);
    if (format == QImage::Format_Indexed8) image.setColorTable(FillColourTable());
    return image.copy();
}

} // namespace

QImage DeviceFillImage(const FillBitmap& fill) {
    if (!fill.hasDeviceBitmap || !IsDeviceDepth(fill.bitsPerPixel)) return {};
    const std::size_t rowBytes = static_cast<std::size_t>(std::max(fill.width, 0)) *
                                 static_cast<std::size_t>(fill.bitsPerPixel / 8);
    return CopyRows(fill.pixels.data(), fill.pixels.size(), fill.width, fill.height, rowBytes,
                    FormatOfDepth(fill.bitsPerPixel, false));
}

QImage PackedFillImage(const FillBitmap& fill) {
    const DibHeader header = fill.dibHeader();
    if (header.biSize != kDibHeaderSize || header.biCompression != kDibRgb) return {};
    const std::span<const uint8_t> bits = fill.dibBits();
    return CopyRows(bits.data(), bits.size(), header.biWidth, header.biHeight,
                    DibRowSize(header.biWidth, header.biBitCount / 8),
                    FormatOfDepth(header.biBitCount, true));
}

} // namespace arbolix
