// The place-format dialog offscreen: the samples under the role titles, the "<->" buttons, and
// the reading of the first sample as the roles change.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "app/ui/place_format_dialog.h"
#include "data/place_samples.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

struct Shown {
    QStringList titles;
    QStringList roles;
};

Shown ShownRoles(PlaceFormatDialog& dialog) {
    Shown shown;
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("table"));
    for (int column = 0; column < table->columnCount(); ++column) {
        shown.titles << table->horizontalHeaderItem(column)->text();
        shown.roles << dialog.findChild<QLineEdit*>(QStringLiteral("role%1").arg(column))->text();
    }
    return shown;
}

void Swap(PlaceFormatDialog& dialog, int button) {
    dialog.findChild<QPushButton*>(QStringLiteral("swap%1").arg(button))->click();
}

TEST(PlaceFormatDialog, ButtonsExchangeNeighbouringRolesOverStillSamples) {
    PlaceFormat format;
    PlaceFormatDialog dialog(format, {"Paris, 75000, Seine, Ile-de-France, France"});
    const QStringList titles = {QStringLiteral("Commune"), QStringLiteral("Code Postal"),
                                QStringLiteral("Département"), QStringLiteral("Région"),
                                QStringLiteral("Pays")};
    EXPECT_EQ(ShownRoles(dialog).titles, titles);
    // Each button exchanges its two columns, titles and codes; twice brings them back.
    for (int button = 1; button <= 4; ++button) {
        SCOPED_TRACE(button);
        Swap(dialog, button);
        QStringList swapped = titles;
        swapped.swapItemsAt(button - 1, button);
        EXPECT_EQ(ShownRoles(dialog).titles, swapped);
        EXPECT_EQ(ShownRoles(dialog).roles[button - 1], QString::number(button + 1));
        EXPECT_EQ(format.role(button), button);
        Swap(dialog, button);
        EXPECT_EQ(format, PlaceFormat{});
    }
    Swap(dialog, 1);
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("table"));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Paris"));
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("France"));
}

TEST(PlaceFormatDialog, TheFirstSampleIsReadWithTheCurrentRoles) {
    PlaceFormat format;
    PlaceFormatDialog dialog(format, {"Paris, 75000, Seine, Ile-de-France, France", "Lyon"});
    auto* reading = dialog.findChild<QLabel*>(QStringLiteral("reading"));
    auto* flag = dialog.findChild<QLabel*>(QStringLiteral("readingFlag"));
    EXPECT_TRUE(reading->text().contains(QStringLiteral("commune « PARIS »")));
    EXPECT_TRUE(reading->text().contains(QStringLiteral("pays « France »")));
    EXPECT_FALSE(flag->pixmap().isNull());
    // The country moved onto the région: no flag for it.
    Swap(dialog, 4);
    EXPECT_TRUE(reading->text().contains(QStringLiteral("pays « Ile-de-France », sans drapeau")));
    EXPECT_TRUE(flag->pixmap().isNull());
    Swap(dialog, 1);
    EXPECT_TRUE(reading->text().contains(QStringLiteral("commune « 75000 »")));

    PlaceFormatDialog empty(format, {}, "/home/a/vide.ged");
    EXPECT_EQ(empty.findChild<QTableWidget*>(QStringLiteral("table"))->rowCount(), 0);
    EXPECT_EQ(empty.findChild<QLabel*>(QStringLiteral("reading"))->text(),
              QStringLiteral("Aucun exemple de lieu dans /home/a/vide.ged."));
}

// The samples of a UTF-16 file show their accents in the table.
TEST(PlaceFormatDialog, SamplesOfAUnicodeFileKeepTheirAccents) {
    const std::u16string text =
        u"0 HEAD\n1 CHAR UNICODE\n0 @I1@ INDI\n1 BIRT\n2 PLAC Orléans, 45000\n0 TRLR\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    test::TempDir dir;
    ASSERT_TRUE(test::WriteFileBytes(dir.file("unicode.ged"), bytes));
    PlaceFormat format;
    PlaceFormatDialog dialog(format, ReadPlaceSamples(dir.file("unicode.ged").string()));
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("table"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Orléans"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("45000"));
}

} // namespace
} // namespace arbolix
