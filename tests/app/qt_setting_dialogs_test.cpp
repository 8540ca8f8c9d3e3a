// The setting dialogs offscreen: the ranges refused on OK, writing only on OK, the print layout's
// wrapping buttons, the implexe style and colour, the colour chooser and the 15-point font chooser.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTranslator>

#include <cmath>
#include <cstring>

#include "app/ui/setting_dialogs.h"
#include "base/reporter.h"

namespace arbolix {
namespace {

BoundedSpinBox* Field(QWidget& dialog, const char* name) {
    return dialog.findChild<BoundedSpinBox*>(QLatin1String(name));
}

// Replaces the text as the user would, key by key.
void Type(BoundedSpinBox* box, const QString& text) {
    auto* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

void Click(QDialog& dialog, const char* name) {
    dialog.findChild<QPushButton*>(QLatin1String(name))->click();
}

// Each field shows its setting, takes only its range and is written on OK.
TEST(SettingDialogs, EveryIntegerFieldTakesItsRangeOnlyAndOnlyOnOk) {
    ListReporter reporter;
    int32_t ratio = 5, gene = 16, gened = 16;
    EmptyBoxes boxes{0, 1, 0};
    BoxRatioDialog boxRatio(ratio, nullptr, &reporter);
    GenerationsDialog generations(gene, gened, nullptr, &reporter);
    EmptyBoxesDialog empty(boxes, nullptr, &reporter);
    const auto check = [](QDialog& dialog, const char* name, int32_t& setting, int lowest,
                          int highest) {
        SCOPED_TRACE(name);
        BoundedSpinBox* box = Field(dialog, name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toInt(), setting);
        for (const int value : {lowest - 1, highest + 1, lowest, highest}) {
            Type(box, QString::number(value));
            EXPECT_EQ(box->refusal().isEmpty(), value >= lowest && value <= highest) << value;
        }
        dialog.accept();
        EXPECT_EQ(setting, highest);
    };
    check(boxRatio, "ratio", ratio, 2, 16);
    check(generations, "descendants", gened, 1, 62);
    check(empty, "ascendantGenerations", boxes.m_nag, 0, 22);

    // Nothing is written while a field cannot be taken: OK says which and leaves the dialog open.
    generations.show();
    Type(Field(generations, "ascendants"), QStringLiteral("4"));
    Type(Field(generations, "descendants"), QStringLiteral("63"));
    generations.accept();
    EXPECT_TRUE(generations.isVisible());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Entrez un nombre entier compris entre 1 et 62.");
    EXPECT_EQ(std::pair(gene, gened), std::pair(16, 62));
}

TEST(SettingDialogs, PrintLayoutButtonsWrapAndWriteAtOnce) {
    ListReporter reporter;
    PageLayout layout{8, 1};
    PrintLayoutDialog dialog(layout, nullptr, &reporter);
    Click(dialog, "widePlus");
    Click(dialog, "highMinus");
    EXPECT_EQ(layout, (PageLayout{1, 8}));
    Click(dialog, "highPlus"); // from the counts the buttons showed
    EXPECT_EQ(layout, (PageLayout{1, 1}));

    // A button takes the typed counts first; a count out of range stops it.
    Type(Field(dialog, "pagesWide"), QStringLiteral("3"));
    Click(dialog, "wideMinus");
    EXPECT_EQ(layout, (PageLayout{2, 1}));
    Type(Field(dialog, "pagesHigh"), QStringLiteral("9"));
    Click(dialog, "widePlus");
    EXPECT_EQ(layout, (PageLayout{2, 1}));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

// The assembly aid shows the layout's, is taken by OK only, and an overlap beyond 20 mm keeps OK
// from taking anything, typed counts included.
TEST(SettingDialogs, PrintLayoutTakesTheAssemblyAidOnOk) {
    ListReporter reporter;
    PageLayout layout{2, 2, 5, 0};
    PrintLayoutDialog dialog(layout, nullptr, &reporter);
    auto* marks = dialog.findChild<QCheckBox*>(QStringLiteral("cutMarks"));
    EXPECT_FALSE(marks->isChecked());
    EXPECT_EQ(Field(dialog, "overlap")->text(), "5");
    marks->setChecked(true);
    Type(Field(dialog, "overlap"), QStringLiteral("21"));
    Type(Field(dialog, "pagesWide"), QStringLiteral("4"));
    Click(dialog, "highPlus"); // takes the counts, not the aid
    EXPECT_EQ(layout, (PageLayout{4, 3, 5, 0}));
    Type(Field(dialog, "pagesWide"), QStringLiteral("5"));
    dialog.accept();
    EXPECT_EQ(layout, (PageLayout{4, 3, 5, 0}));
    EXPECT_EQ(reporter.messages.size(), 1u);
    Type(Field(dialog, "overlap"), QStringLiteral("20"));
    dialog.accept();
    EXPECT_EQ(layout, (PageLayout{5, 3, 20, 1}));
}

TEST(SettingDialogs, ImplexeTakesStyleAndColourOnOkOnly) {
    ImplexeMarking marking{2, MakeColour(1, 2, 3)};
    ImplexeDialog dialog(marking);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("style2"))->isChecked());
    dialog.setColourChooser([](QWidget*, Colour current) {
        return current == MakeColour(1, 2, 3) ? MakeColour(0xFF, 0, 0) : kBlack;
    });
    Click(dialog, "colourButton");
    dialog.findChild<QRadioButton*>(QStringLiteral("style4"))->click();
    EXPECT_EQ(marking, (ImplexeMarking{2, MakeColour(1, 2, 3)}));
    dialog.accept();
    EXPECT_EQ(marking, (ImplexeMarking{4, MakeColour(0xFF, 0, 0)}));
}

TEST(SettingDialogs, ColourChooserGivesTheAcceptedColourOrTheCurrentOne) {
    const Colour current = MakeColour(0x12, 0x34, 0x56);
    ColourChoiceDialog dialog(current);
    EXPECT_EQ(dialog.currentColor(), QColor(0x12, 0x34, 0x56));
    dialog.setCurrentColor(QColor(0xAB, 0xCD, 0xEF));
    dialog.accept();
    EXPECT_EQ(dialog.chosenColour(), 0xEFCDABu);
    ColourChoiceDialog cancelled(current);
    cancelled.setCurrentColor(Qt::green);
    cancelled.reject();
    EXPECT_EQ(cancelled.chosenColour(), current);
}

TEST(SettingDialogs, FontChooserGivesFifteenPointsTheChosenFaceAndEffects) {
    // A missing face keeps its name when the user leaves its stand-in.
    LogFont base{.lfHeight = 20, .lfWidth = 12, .lfWeight = 400, .lfQuality = 2};
    std::strcpy(base.lfFaceName, "Times New Roman");
    FontChoiceDialog standIn(base, kBlack);
    standIn.accept();
    const double dpi = standIn.screen()->logicalDotsPerInchY();
    EXPECT_EQ(standIn.chosenFont().lfHeight, -std::lround(15 * dpi / 72));
    EXPECT_STREQ(standIn.chosenFont().lfFaceName, "Times New Roman");

    // A face the package list installs, with a bold style of its own.
    const QString family = QStringLiteral("Liberation Sans");
    ASSERT_TRUE(QFontDatabase::hasFamily(family)) << "fonts-liberation2 is missing";
    FontChoiceDialog dialog(base, kBlack);
    dialog.setCurrentFont(QFont(family, 30, QFont::Bold));
    dialog.accept();
    EXPECT_STREQ(dialog.chosenFont().lfFaceName, family.toUtf8().constData());
    EXPECT_EQ(dialog.chosenFont().lfWeight, 700);

    // Opened and closed untouched under the French interface, an italic font stays so (the
    // chooser's own name for the style is translated and matches no installed style).
    QTranslator french;
    if (french.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&french);
        LogFont italic{.lfWeight = 400, .lfItalic = 1};
        std::strcpy(italic.lfFaceName, "Liberation Serif");
        FontChoiceDialog untouched(italic, kBlack);
        untouched.accept();
        QCoreApplication::removeTranslator(&french);
        EXPECT_EQ(untouched.chosenFont().lfWeight, 400);
        EXPECT_EQ(untouched.chosenFont().lfItalic, 1);
    } else {
        ADD_FAILURE() << "Qt's French translations are missing (package qt6-translations-l10n)";
    }

    // 15 points at 96 dpi is the classic 20-pixel character height; long faces are cut whole.
    QFont longFace(QString(30, QLatin1Char('x')) + QStringLiteral("é"));
    longFace.setItalic(true);
    const LogFont converted = LogFontFromFont(longFace, base, 15, 96);
    EXPECT_EQ(converted.lfHeight, -20);
    EXPECT_EQ(converted.lfItalic, 1);
    EXPECT_EQ(std::string(converted.lfFaceName), std::string(30, 'x'));
}

} // namespace
} // namespace arbolix
