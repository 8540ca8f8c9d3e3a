#include "app/ui/person_dialog.h"
#include "tree/tree_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

namespace arbolix {
namespace {

using test::FamilyText;
using test::LoadForSelection;

// Listed as DURAND Jean (1), DURAND Léa (6), DURAND Paul (3), MARTIN Marie (2), ZOLA Zoé (4);
// Paul's second wife, Anne BLANC (5), is not listed.
std::string Family() {
    FamilyText text;
    int id = 0;
    for (const char* name : {"Jean /DURAND/", "Marie /MARTIN/", "Paul /DURAND/", "Zo\xE9 /ZOLA/",
                             "Anne /BLANC/", "L\xE9\x61 /DURAND/"})
        text.person(++id, name);
    return text.family(1, 2, {3}).family(3, 4, {6}).family(3, 5, {}).text();
}

template <typename T> T* Find(const QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// The dialog wired to the selection: its list and details, a move to a spouse who is not listed,
// the year fields checked by a chart button (the rules themselves are in the selection's tests).
TEST(PersonDialog, ListDetailsMovesAndYears) {
    const auto store = LoadForSelection(Family());
    ListReporter reporter;
    PersonSelectionDialog dialog(*store, nullptr, &reporter);
    QListView* list = Find<QListView>(dialog, "personList");
    ASSERT_EQ(list->model()->rowCount(), 5);
    EXPECT_EQ(list->model()->index(1, 0).data().toString(), QString::fromUtf8("DURAND Léa"));
    list->setCurrentIndex(list->model()->index(2, 0)); // Paul
    EXPECT_EQ(Find<QLineEdit>(dialog, "fatherName")->text(), "DURAND Jean");
    Find<QPushButton>(dialog, "spouse2Button")->click();
    EXPECT_EQ(Find<QLineEdit>(dialog, "nameEdit")->text(), "BLANC Anne");
    EXPECT_EQ(list->currentIndex().row(), 2);
    Find<QPushButton>(dialog, "spouse1Button")->click();

    QLineEdit* death = Find<QLineEdit>(dialog, "deathEdit");
    death->setText("19x");
    Find<QPushButton>(dialog, "bothButton")->click();
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].text.find("décès"), std::string::npos);
    EXPECT_FALSE(dialog.choice().has_value());
    death->setText(" 0 ");
    Find<QPushButton>(dialog, "parentButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.choice().has_value());
    EXPECT_EQ(dialog.choice()->mode, kModeParent);
    EXPECT_EQ(dialog.choice()->person, 3);
}

// The dialog run by the computation, answered by a click once it is on screen.
TEST(PersonDialog, RootChooserRunsTheDialog) {
    const auto store = LoadForSelection(Family());
    ListReporter reporter;
    DialogRootChooser chooser(nullptr, &reporter);
    const auto compute = [&](const char* button, ChartTree& tree) {
        QTimer::singleShot(0, [button] {
            Find<QPushButton>(*QApplication::activeModalWidget(), button)->click();
        });
        return BuildChartTables(tree, *store, DefaultChartSettings(), &chooser, reporter);
    };
    ChartTree cancelled, tree;
    EXPECT_EQ(compute("cancelButton", cancelled), -1);
    EXPECT_EQ(compute("bothButton", tree), 0);
    EXPECT_EQ(tree.chartMode, kModeBoth);
    EXPECT_EQ(tree.descendantRoot, 1);
}

} // namespace
} // namespace arbolix
