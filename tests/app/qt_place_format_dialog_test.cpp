// The place-format dialog offscreen: the samples under the role titles, the "<->" buttons, and
// the reading of the first sample as the roles change.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "app/ui/place_format_dialog.h"

namespace arbolix {
namespace {

QStringList Titles(PlaceFormatDialog& dialog) {
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("table"));
    QStringList titles;
    for (int column = 0; column < table->columnCount(); ++column)
        titles << table->horizontalHeaderItem(column)->text();
    return titles;
}

void Swap(PlaceFormatDialog& dialog, int button) {
    dialog.findChild<QPushButton*>(QStringLiteral("swap%1").arg(button))->click();
}

TEST(PlaceFormatDialog, ButtonsExchangeNeighbouringRolesOverStillSamples) {
    PlaceFormat format;
    PlaceFormatDialog dialog(format, {"\xC9vreux, 27000, Eure, Normandie, France"});
    const QStringList titles = {QStringLiteral("Commune"), QStringLiteral("Code Postal"),
                                QStringLiteral("Département"), QStringLiteral("Région"),
                                QStringLiteral("Pays")};
    EXPECT_EQ(Titles(dialog), titles);
    // A button exchanges its two columns, titles and codes, over the samples that stay still.
    Swap(dialog, 3);
    QStringList swapped = titles;
    swapped.swapItemsAt(2, 3);
    EXPECT_EQ(Titles(dialog), swapped);
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("role2"))->text(), "4");
    EXPECT_EQ(format.role(3), 3);
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("table"));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Évreux"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("Normandie"));
}

TEST(PlaceFormatDialog, TheFirstSampleIsReadWithTheCurrentRoles) {
    PlaceFormat format;
    PlaceFormatDialog dialog(format, {"Paris, 75000, Seine, Ile-de-France, France", "Lyon"});
    auto* reading = dialog.findChild<QLabel*>(QStringLiteral("reading"));
    auto* flag = dialog.findChild<QLabel*>(QStringLiteral("readingFlag"));
    EXPECT_EQ(reading->text(),
              QStringLiteral("Le premier lieu sera lu : commune « PARIS », pays « France »"));
    EXPECT_FALSE(flag->pixmap().isNull());
    // The country moved onto the région: no flag for it.
    Swap(dialog, 4);
    EXPECT_TRUE(
        reading->text().endsWith(QStringLiteral("pays « Ile-de-France », sans drapeau connu")));
    EXPECT_TRUE(flag->pixmap().isNull());
    Swap(dialog, 1);
    EXPECT_TRUE(reading->text().contains(QStringLiteral("commune « 75000 »")));

    PlaceFormatDialog empty(format, {}, "/home/a/vide.ged");
    EXPECT_EQ(empty.findChild<QTableWidget*>(QStringLiteral("table"))->rowCount(), 0);
    EXPECT_EQ(empty.findChild<QLabel*>(QStringLiteral("reading"))->text(),
              QStringLiteral("Aucun exemple de lieu dans /home/a/vide.ged."));
}

} // namespace
} // namespace arbolix
