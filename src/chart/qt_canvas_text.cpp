// The canvas's fonts and text output: logical fonts made into QFonts of the asked cell height and
// average width, text extents and text drawn with the device's alignment.

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "chart/qt_canvas.h"
#include "chart/qt_convert.h"

namespace arbolix {

namespace {

// Pixel size at which a face's proportions are measured.
constexpr int kReferencePixelSize = 200;
// Texts taller than this are drawn at this size (only an absurd zoom asks for more).
constexpr int64_t kMaxPixelSize = 1 << 20;
// The widest stretch QFont accepts, in per cent.
constexpr double kMaxStretch = 4000;
// Weights, per thousand, of the letters a..z and of the space in a face's average character
// width, as TrueType fonts defined xAvgCharWidth up to version 2 of their OS/2 table (later
// fonts, Liberation among them, store a plain average of all glyphs instead).
constexpr std::array<int, 27> kAverageWidthWeights = {64, 14, 27, 35, 100, 20, 14, 42, 63,
                                                      3,  6,  35, 20, 56,  56, 17, 4,  49,
                                                      56, 71, 31, 10, 18,  3,  18, 2,  166};

QString FaceKey(const QFont& font) {
    return font.family() + QLatin1Char('|') + QString::number(font.weight()) +
           (font.italic() ? QLatin1String("|i") : QLatin1String("|r"));
}

} // namespace

double QtCanvas::cellRatio(const QFont& font) {
    const QString key = FaceKey(font);
    const auto found = cellRatios_.constFind(key);
    if (found != cellRatios_.constEnd()) return *found;
    QFont reference = font;
    reference.setPixelSize(kReferencePixelSize);
    const QFontMetricsF metrics(reference, painter_->device());
    double ratio = (metrics.ascent() + metrics.descent()) / kReferencePixelSize;
    if (!(ratio > 0)) ratio = 1;
    cellRatios_.insert(key, ratio);
    return ratio;
}

double QtCanvas::averageWidth(const QFont& font) {
    const QString key = FaceKey(font) + QLatin1Char('|') + QString::number(font.pixelSize());
    const auto found = averageWidths_.constFind(key);
    if (found != averageWidths_.constEnd()) return *found;
    const QFontMetricsF metrics(font, painter_->device());
    double sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += kAverageWidthWeights[i] * metrics.horizontalAdvance(QChar(u'a' + i));
    sum += kAverageWidthWeights[26] * metrics.horizontalAdvance(QChar(u' '));
    const double average = sum / 1000;
    averageWidths_.insert(key, average);
    return average;
}

std::unique_ptr<QtCanvas::FontEntry> QtCanvas::makeFont(const LogFont& logFont) {
    QFont font;
    const QString family =
        QString::fromUtf8(logFont.lfFaceName, strnlen(logFont.lfFaceName, kFaceNameSize));
    if (!family.isEmpty()) font.setFamily(family);
    const int32_t weight = logFont.lfWeight <= 0 ? 400 : std::min(logFont.lfWeight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.lfItalic != 0);
    font.setKerning(false);
    if (smoothing_ == TextSmoothing::WholePixels) font.setStyleStrategy(QFont::NoAntialias);

    const int64_t height = logFont.lfHeight;
    int64_t pixelSize = 0;
    if (height < 0) {
        pixelSize = -height;
    } else {
        const int64_t cell = height == 0 ? kDefaultFontCellHeight : height;
        pixelSize = std::llround(static_cast<double>(cell) / cellRatio(font));
    }
    pixelSize = std::clamp<int64_t>(pixelSize, 1, kMaxPixelSize);
    font.setPixelSize(static_cast<int>(pixelSize));
    if (logFont.lfWidth != 0) {
        const double average = averageWidth(font);
        const double asked = std::fabs(static_cast<double>(logFont.lfWidth));
        if (average > 0)
            font.setStretch(static_cast<int>(
                std::clamp<double>(std::round(100 * asked / average), 1, kMaxStretch)));
    }
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);

    auto entry = std::make_unique<FontEntry>(
        FontEntry{font, QFontMetricsF(font, painter_->device()), 0, 0, std::nullopt});
    entry->ascent = std::llround(entry->metrics.ascent());
    entry->descent = std::llround(entry->metrics.descent());
    if (scalesText_ && font.stretch() != QFont::Unstretched) {
        QFont unstretched = font;
        unstretched.setStretch(QFont::Unstretched);
        entry->unstretched = unstretched;
    }
    return entry;
}

const QtCanvas::FontEntry& QtCanvas::currentFont() {
    if (font_ != nullptr) return *font_;
    auto found = fonts_.find(logFont_);
    if (found == fonts_.end()) {
        if (fonts_.size() >= 4096) { // a long session of ever new sizes: start again
            fonts_.clear();
            painterFont_ = nullptr;
        }
        found = fonts_.emplace(logFont_, makeFont(logFont_)).first;
    }
    font_ = found->second.get();
    return *font_;
}

Extent QtCanvas::textExtent(std::string_view text) {
    if (!active_) return {};
    const FontEntry& font = currentFont();
    const double advance =
        text.empty() ? 0 : font.metrics.horizontalAdvance(Windows1252ToQString(text));
    return {std::llround(advance), font.ascent + font.descent};
}

void QtCanvas::textOut(int64_t x, int64_t y, std::string_view text) {
    if (!active_ || text.empty()) return;
    const FontEntry& font = currentFont();
    // Skip, without measuring, a text that cannot come near the device.
    const double reach = static_cast<double>(text.size()) * font.metrics.maxWidth() +
                         static_cast<double>(font.ascent + font.descent);
    const auto fx = static_cast<double>(x), fy = static_cast<double>(y);
    if (fx + reach < static_cast<double>(clipBox_.left) ||
        fx - reach > static_cast<double>(clipBox_.right) ||
        fy + reach < static_cast<double>(clipBox_.top) ||
        fy - reach > static_cast<double>(clipBox_.bottom))
        return;

    const QString string = Windows1252ToQString(text);
    double left = fx;
    if ((textAlign_ & kTaHorizontalMask) == kTaRight)
        left -= static_cast<double>(std::llround(font.metrics.horizontalAdvance(string)));
    double baseline = fy;
    switch (textAlign_ & kTaVerticalMask) {
    case kTaBottom:
        baseline -= static_cast<double>(font.descent);
        break;
    case kTaBaseline:
        break;
    default:
        baseline += static_cast<double>(font.ascent);
        break;
    }

    useTextFont(font);
    if (painterPen_ != PainterPen::Text || painterTextColour_ != textColour_) {
        painter_->setPen(ToQColor(textColour_));
        painterPen_ = PainterPen::Text;
        painterTextColour_ = textColour_;
    }
    if (font.unstretched)
        drawScaledText(font, string, QPointF(left, baseline));
    else
        painter_->drawText(QPointF(left, baseline), string);
}

void QtCanvas::useTextFont(const FontEntry& font) {
    if (painterFont_ == &font) return;
    painter_->setFont(font.unstretched ? *font.unstretched : font.font);
    painterFont_ = &font;
}

// The text in the unstretched font, scaled horizontally about `origin` to the width the
// stretched font gives it.
void QtCanvas::drawScaledText(const FontEntry& font, const QString& text, QPointF origin) {
    const double width = font.metrics.horizontalAdvance(text);
    const double unstretchedWidth =
        QFontMetricsF(*font.unstretched, painter_->device()).horizontalAdvance(text);
    if (!(width > 0) || !(unstretchedWidth > 0)) return;
    const QTransform place(width / unstretchedWidth, 0, 0, 1, origin.x(), origin.y());
    painter_->setWorldTransform(place * baseTransform_);
    painter_->drawText(QPointF(0, 0), text);
    painter_->setWorldTransform(baseTransform_);
}

} // namespace arbolix
