// The setting dialogs offscreen: range refusal on OK, writing only on OK, the print layout's
// wrapping buttons, the implexe styles, the colour chooser's greys and the 15-point font chooser.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstring>

#include "app/reporter.h"
#include "app/ui/setting_dialogs.h"

namespace arbolix {
namespace {

class SettingDialogs : public ::testing::Test {
protected:

    static BoundedSpinBox* field(QWidget& dialog, const char* name) {
        auto* box = dialog.findChild<BoundedSpinBox*>(QLatin1String(name));
        EXPECT_NE(box, nullptr) << name;
        return box;
    }
    // Replaces the text as the user would, key by key.
    static void type(BoundedSpinBox* box, const QString& text) {
        auto* edit = box->findChild<QLineEdit*>();
        edit->selectAll();
        edit->del();
        QTest::keyClicks(edit, text);
    }
    static void press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        dialog.findChild<QDialogButtonBox*>()->button(which)->click();
    }
    static void click(QDialog& dialog, const char* name) {
        dialog.findChild<QPushButton*>(QLatin1String(name))->click();
    }

    ListReporter reporter_;
};

std::pair<int32_t, int32_t> Pages(const PageLayout& layout) {
    return {layout.m_largeur, layout.m_hauteur};
}

TEST_F(SettingDialogs, EveryIntegerFieldRefusesOutOfRangeTextsAndTakesItsBounds) {
    int32_t interval = 5, pen = 1, ratio = 5, gene = 16, gened = 16;
    EmptyBoxes boxes{0, 1, 0};
    SpacingDialog spacing(interval, nullptr, &reporter_);
    PenWidthDialog penWidth(pen, nullptr, &reporter_);
    BoxRatioDialog boxRatio(ratio, nullptr, &reporter_);
    GenerationsDialog generations(gene, gened, nullptr, &reporter_);
    EmptyBoxesDialog empty(boxes, nullptr, &reporter_);
    struct Case {
        IntegerSettingsDialog& dialog;
        const char* name;
        int32_t& setting;
        int lowest, highest;
    };
    const Case cases[] = {{spacing, "interval", interval, 0, 16384},
                          {penWidth, "penWidth", pen, 0, 255},
                          {boxRatio, "ratio", ratio, 2, 16},
                          {generations, "ascendants", gene, 1, 62},
                          {generations, "descendants", gened, 1, 62},
                          {empty, "descendantGenerations", boxes.m_ngd, 0, 61},
                          {empty, "descendantsPerGeneration", boxes.m_ndg, 1, 16},
                          {empty, "ascendantGenerations", boxes.m_nag, 0, 22}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoundedSpinBox* box = field(c.dialog, c.name);
        EXPECT_EQ(box->text().toInt(), c.setting);
        const int32_t before = c.setting;
        const QString range = QStringLiteral("Entrez un nombre entier compris entre %1 et %2.")
                                  .arg(c.lowest)
                                  .arg(c.highest);
        for (const int wrong : {c.highest + 1, c.lowest - 1}) {
            c.dialog.show();
            reporter_.messages.clear();
            type(box, QString::number(wrong));
            // Leaving the field must not pull the text back into the range.
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(box, &out);
            press(c.dialog, QDialogButtonBox::Ok);
            EXPECT_TRUE(c.dialog.isVisible()) << wrong;
            ASSERT_EQ(reporter_.messages.size(), 1u) << wrong;
            EXPECT_EQ(QString::fromStdString(reporter_.messages[0].text), range);
            EXPECT_EQ(c.setting, before);
        }
        // The arrows stop at the bounds.
        box->setValue(c.highest);
        box->stepBy(1);
        EXPECT_EQ(box->value(), c.highest);
        box->setValue(c.lowest);
        box->stepBy(-3);
        EXPECT_EQ(box->value(), c.lowest);
        type(box, QString::number(c.highest));
        press(c.dialog, QDialogButtonBox::Ok);
        EXPECT_FALSE(c.dialog.isVisible());
        EXPECT_EQ(c.setting, c.highest);
    }
}

TEST_F(SettingDialogs, NothingIsWrittenUnlessEveryFieldIsTaken) {
    int32_t gene = 16, gened = 16;
    GenerationsDialog dialog(gene, gened, nullptr, &reporter_);
    dialog.show();
    type(field(dialog, "ascendants"), QStringLiteral("4"));
    type(field(dialog, "descendants"), QString());
    press(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(reporter_.messages.size(), 1u);
    EXPECT_EQ(std::pair(gene, gened), std::pair(16, 16));
    type(field(dialog, "descendants"), QStringLiteral("7"));
    press(dialog, QDialogButtonBox::Cancel);
    EXPECT_EQ(std::pair(gene, gened), std::pair(16, 16));

    // Through the modal runner: Enter in the field is OK.
    int32_t interval = 5;
    QTimer::singleShot(0, [this] {
        auto* box = field(*QApplication::activeModalWidget(), "interval");
        type(box, QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_TRUE(RunSpacingDialog(nullptr, interval, &reporter_));
    EXPECT_EQ(interval, 12);
}

TEST_F(SettingDialogs, PrintLayoutButtonsWrapAndWriteAtOnce) {
    PageLayout layout{8, 1};
    PrintLayoutDialog dialog(layout, nullptr, &reporter_);
    dialog.show();
    click(dialog, "widePlus");
    click(dialog, "highMinus");
    EXPECT_EQ(Pages(layout), std::pair(1, 8));
    EXPECT_EQ(field(dialog, "pagesWide")->text(), QStringLiteral("1"));
    EXPECT_EQ(field(dialog, "pagesHigh")->text(), QStringLiteral("8"));
    click(dialog, "wideMinus");
    click(dialog, "highPlus");
    EXPECT_EQ(Pages(layout), std::pair(8, 1));

    // A button takes the typed counts first; a count out of range stops it.
    type(field(dialog, "pagesWide"), QStringLiteral("3"));
    click(dialog, "highPlus");
    EXPECT_EQ(Pages(layout), std::pair(3, 2));
    type(field(dialog, "pagesHigh"), QStringLiteral("9"));
    click(dialog, "widePlus");
    EXPECT_EQ(Pages(layout), std::pair(3, 2));
    ASSERT_EQ(reporter_.messages.size(), 1u);
    EXPECT_EQ(reporter_.messages[0].text, "Entrez un nombre entier compris entre 1 et 8.");

    // A typed count is lost on cancel, what the buttons did stays.
    type(field(dialog, "pagesHigh"), QStringLiteral("5"));
    press(dialog, QDialogButtonBox::Cancel);
    EXPECT_EQ(Pages(layout), std::pair(3, 2));

    PrintLayoutDialog again(layout, nullptr, &reporter_);
    type(field(again, "pagesHigh"), QStringLiteral("6"));
    press(again, QDialogButtonBox::Ok);
    EXPECT_EQ(Pages(layout), std::pair(3, 6));
}

TEST_F(SettingDialogs, ImplexeTakesStyleAndColourOnOkOnly) {
    ImplexeMarking marking{2, MakeColour(1, 2, 3)};
    ImplexeDialog dialog(marking);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("style2"))->isChecked());
    dialog.setColourChooser([](QWidget*, Colour current) {
        return current == MakeColour(1, 2, 3) ? MakeColour(0xFF, 0, 0) : kBlack;
    });
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("colourButton"));
    button->click();
    EXPECT_EQ(button->iconSize(), QSize(140, 20));
    EXPECT_EQ(button->icon().pixmap(QSize(140, 20)).toImage().pixelColor(70, 10), QColor(Qt::red));
    dialog.findChild<QRadioButton*>(QStringLiteral("style4"))->click();
    dialog.reject();
    EXPECT_EQ(marking, (ImplexeMarking{2, MakeColour(1, 2, 3)}));

    for (int type = 0; type <= 4; ++type) {
        ImplexeDialog choose(marking);
        choose.findChild<QRadioButton*>(QStringLiteral("style%1").arg(type))->click();
        choose.accept();
        EXPECT_EQ(marking.m_type, type);
    }
    EXPECT_EQ(marking.couleur, MakeColour(1, 2, 3));
}

TEST_F(SettingDialogs, ColourChooserOffersGreysAndKeepsTheColourOnCancel) {
    const Colour current = MakeColour(0x12, 0x34, 0x56);
    ColourChoiceDialog dialog(current);
    for (int index = 0; index < 16; ++index)
        EXPECT_EQ(QColorDialog::customColor(index), QColor(index * 16, index * 16, index * 16));
    EXPECT_EQ(dialog.currentColor(), QColor(0x12, 0x34, 0x56));
    dialog.setCurrentColor(QColor(0xAB, 0xCD, 0xEF));
    dialog.accept();
    EXPECT_EQ(dialog.chosenColour(), 0xEFCDABu);
    ColourChoiceDialog cancelled(current);
    cancelled.setCurrentColor(Qt::green);
    cancelled.reject();
    EXPECT_EQ(cancelled.chosenColour(), current);
}

TEST_F(SettingDialogs, FontChooserGivesFifteenPointsAndTheEffects) {
    const QString family = QFontDatabase::families().value(0);
    ASSERT_FALSE(family.isEmpty());
    LogFont base{.lfHeight = 20, .lfWidth = 12, .lfWeight = 400, .lfQuality = 2};
    std::strncpy(base.lfFaceName, family.toUtf8().constData(), kFaceNameSize - 1);
    FontChoiceDialog dialog(base, kBlack);
    EXPECT_EQ(dialog.currentFont().pointSize(), 15);
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) // the size field only shows 15
        EXPECT_FALSE(qobject_cast<const QIntValidator*>(edit->validator()) && edit->isEnabled());

    QFont asked(family, 30);
    asked.setWeight(QFont::Bold);
    asked.setUnderline(true);
    asked.setStrikeOut(true);
    dialog.setCurrentFont(asked);
    dialog.setColourChooser([](QWidget*, Colour) { return MakeColour(0, 0, 0xFF); });
    dialog.findChild<QPushButton*>(QStringLiteral("colourButton"))->click();
    dialog.accept();
    const LogFont chosen = dialog.chosenFont();
    const double dpi = dialog.screen()->logicalDotsPerInchY();
    EXPECT_EQ(chosen.lfHeight, -std::lround(15 * dpi / 72));
    EXPECT_EQ(chosen.lfWidth, 0);
    EXPECT_EQ(chosen.lfWeight, 700);
    EXPECT_EQ(chosen.lfUnderline, 1);
    EXPECT_EQ(chosen.lfStrikeOut, 1);
    EXPECT_EQ(chosen.lfQuality, 2);
    EXPECT_STREQ(chosen.lfFaceName, family.toUtf8().constData());
    EXPECT_EQ(dialog.chosenColour(), MakeColour(0, 0, 0xFF));

    // 15 points at 96 dpi is the classic 20-pixel character height; long faces are cut whole.
    QFont longFace(QString(30, QLatin1Char('x')) + QStringLiteral("é"));
    longFace.setItalic(true);
    const LogFont converted = LogFontFromFont(longFace, base, 15, 96);
    EXPECT_EQ(converted.lfHeight, -20);
    EXPECT_EQ(converted.lfItalic, 1);
    EXPECT_EQ(std::string(converted.lfFaceName), std::string(30, 'x'));

    // A missing face is shown as its stand-in and keeps its name when the user leaves it.
    std::strcpy(base.lfFaceName, "Times New Roman");
    FontChoiceDialog standIn(base, kBlack);
    EXPECT_EQ(standIn.currentFont().family(), QFontInfo(QFont("Times New Roman")).family());
    standIn.accept();
    EXPECT_STREQ(standIn.chosenFont().lfFaceName, "Times New Roman");

    // Cancel changes nothing.
    LogFont font = base;
    Colour colour = kWhite;
    QTimer::singleShot(0,
                       [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
    EXPECT_FALSE(RunFontDialog(nullptr, font, colour));
    EXPECT_EQ(font, base);
    EXPECT_EQ(colour, kWhite);
}

} // namespace
} // namespace arbolix
