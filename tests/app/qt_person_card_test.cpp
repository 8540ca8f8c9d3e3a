// The person card in the window: Ctrl + right click on a box opens the sheet "Fiche" with that
// person's fields; beside a box, on its border or without Ctrl nothing opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "app/ui/arbolix_view.h"
#include "app/ui/person_card_sheet.h"
#include "data/encoding.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

// What the sheet showed: each field's page and text.
struct Shown {
    std::vector<int> pages;
    QStringList texts;
};

class CardWindow : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(test::SampleFamilyFile(), path_);
        frame_ = test::ShownWindow(messages_, std::make_unique<MemoryProfile>(), path_);
        ASSERT_TRUE(frame_->document().hasChart());
        frame_->view().viewport()->grab(); // the boxes' rectangles
    }

    // Right-clicks at `point` and gives what the sheet opened by it showed (closing it again).
    std::optional<Shown> rightClick(QPoint point,
                                    Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        std::optional<Shown> shown;
        QTimer::singleShot(0, [&] {
            auto* sheet = qobject_cast<PersonCardSheet*>(QApplication::activeModalWidget());
            if (sheet == nullptr) return;
            shown = Shown{};
            for (QLineEdit* field : sheet->fields()) {
                shown->pages.push_back(sheet->pages()->indexOf(field->parentWidget()));
                shown->texts << field->text();
            }
            sheet->reject();
        });
        QTest::mouseClick(frame_->view().viewport(), Qt::RightButton, modifiers, point);
        QCoreApplication::processEvents();
        return shown;
    }

    const AncestorNode& root() const { return frame_->document().tree().ancestors[1]; }
    QPoint middleOf(const AncestorNode& node) const {
        return {static_cast<int>((node.boxLeft + node.boxRight) / 2),
                static_cast<int>((node.boxTop + node.boxBottom) / 2)};
    }

    test::TempDir dir_;
    std::string path_ = dir_.file("famille.ged").string();
    std::unique_ptr<CMainFrame> frame_;
    std::vector<std::string> messages_;
};

TEST_F(CardWindow, CtrlRightClickInABoxShowsThatPersonsCard) {
    const std::optional<Shown> shown = rightClick(middleOf(root()));
    ASSERT_TRUE(shown.has_value());
    // Every field of the card on its own page, in order, with the file's values.
    const std::optional<PersonCard> card = PersonCardOf(frame_->document(), root().xref);
    ASSERT_TRUE(card.has_value());
    const std::vector<CardField> fields = CardFields(*card);
    ASSERT_EQ(shown->texts.size(), static_cast<qsizetype>(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(shown->pages[i], static_cast<int>(fields[i].page)) << fields[i].label;
        EXPECT_EQ(shown->texts[static_cast<qsizetype>(i)].toStdString(),
                  Windows1252ToUtf8(fields[i].value));
    }
    EXPECT_TRUE(shown->texts.contains("ALENÇON, 61000, ORNE, NORMANDIE, FRANCE"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CardWindow, NothingOpensBesideABoxOnItsBorderWithoutCtrlOrFromAChangedFile) {
    // The top border of the root's box lies in no box (the hit rules are the view state's).
    const QPoint border(middleOf(root()).x(), static_cast<int>(root().boxTop));
    EXPECT_FALSE(rightClick(border).has_value());
    EXPECT_TRUE(rightClick(border + QPoint(0, 1)).has_value());
    frame_->view().zoomIn();
    frame_->view().viewport()->grab();
    EXPECT_FALSE(rightClick(middleOf(root()), Qt::NoModifier).has_value());
    EXPECT_EQ(frame_->document().view().zoom, 1);
    EXPECT_TRUE(messages_.empty());

    // Nor when the file changed since the chart was read: a message says so.
    ASSERT_TRUE(test::WriteFileBytes(dir_.file("copie.ged"),
                                     test::ReadFileBytes(path_) + "0 @I999@ INDI\n"));
    std::filesystem::rename(dir_.file("copie.ged"), path_);
    frame_->view().viewport()->grab();
    EXPECT_FALSE(rightClick(middleOf(root())).has_value());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(path_ + " a été modifié"), std::string::npos) << messages_[0];
}

} // namespace
} // namespace arbolix
