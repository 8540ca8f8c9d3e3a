// The main window offscreen: its commands, check marks, recent files, and the chart view's mouse.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

#include "app/commands.h"
#include "app/ui/arbolix_view.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = test::ShownWindow(messages_, std::make_unique<MemoryProfile>(), "");
    }
    bool checked(int command) { return frame_->action(command)->isChecked(); }
    // Draws once so that the boxes' rectangles are known.
    void paint() { frame_->view().viewport()->grab(); }

    std::unique_ptr<CMainFrame> frame_;
    std::vector<std::string> messages_;
    QString sample_ = QString::fromStdString(test::SampleFamilyFile().string());
};

// (The start settings and the toggles' rules are the core tests'; here, their check marks.)
TEST_F(MainWindow, FirstStartShowsTheChecksAndEmptyRecentFiles) {
    frame_->updateCommands();
    EXPECT_TRUE(checked(cmd::kName) && checked(cmd::kToolbarFile) && !checked(cmd::kBraces));
    EXPECT_EQ(frame_->action(cmd::kRecent1)->text(), "-");
    EXPECT_FALSE(frame_->action(cmd::kRecent1)->isEnabled());

    // A toolbar hidden by the user shows its item unchecked.
    frame_->toolBar(1)->hide();
    frame_->updateCommands();
    EXPECT_FALSE(checked(cmd::kToolbarFile));
    // Pipes switched on while braces are on: the braces' check goes off.
    frame_->runCommand(cmd::kBraces);
    frame_->runCommand(cmd::kPipes);
    EXPECT_TRUE(checked(cmd::kPipes));
    EXPECT_FALSE(checked(cmd::kBraces));
}

TEST_F(MainWindow, OpeningShowsTheChartAndKeepsItWhenAFileIsBroken) {
    frame_->openFile(sample_);
    ASSERT_TRUE(frame_->document().hasChart());
    EXPECT_EQ(frame_->windowTitle(), "Généalogie - " + sample_);
    EXPECT_EQ(frame_->action(cmd::kRecent1)->text(), sample_);
    EXPECT_TRUE(frame_->action(cmd::kRecent1)->isEnabled());

    test::TempDir dir;
    const std::string broken = dir.file("vide.ged").string();
    ASSERT_TRUE(test::WriteFileBytes(broken, "0 HEAD\n0 TRLR\n"));
    frame_->openFile(QString::fromStdString(broken));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("Aucune personne"), std::string::npos);
    EXPECT_EQ(frame_->windowTitle(), "Généalogie - " + sample_);
}

TEST_F(MainWindow, ClicksZoomOnAQuarterAndCtrlClickReroots) {
    frame_->openFile(sample_);
    CArbolixView& view = frame_->view();
    QWidget* viewport = view.viewport();
    EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
    // Right of the middle and in the top quarter: the right half, top.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(viewport->width() * 3 / 4, viewport->height() / 8));
    const ViewState& state = frame_->document().view();
    EXPECT_EQ(std::tuple(state.zoom, state.scrollX, state.scrollY), std::tuple(2, 2, 0));
    EXPECT_EQ(view.horizontalScrollBar()->value(), 2);
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(state.zoom, 1);

    // Ctrl+click in the middle of a parent's box makes it the root; F2 comes back.
    paint();
    const AncestorNode& parent = frame_->document().tree().ancestors[2];
    const int32_t parentXref = parent.xref;
    const QPoint middle(static_cast<int>((parent.boxLeft + parent.boxRight) / 2),
                        static_cast<int>((parent.boxTop + parent.boxBottom) / 2));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, middle);
    EXPECT_EQ(frame_->document().tree().descendants[1].xref, parentXref);
    frame_->runCommand(cmd::kPreviousRoot);
    EXPECT_EQ(frame_->document().tree().descendants[1].xref, 14);
    // Ctrl+click beside every box does nothing.
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, QPoint(2, 2));
    EXPECT_EQ(frame_->document().tree().descendants[1].xref, 14);
}

TEST_F(MainWindow, ARestartShowsTheSameChartWithTheSameOptions) {
    MemoryProfile shared;
    const auto startOn = [&] { return test::ShownWindow(messages_, std::make_unique<OverlayProfile>(shared)); };
    auto first = startOn();
    for (int command : {cmd::kGivenName, cmd::kPlace, cmd::kBirth, cmd::kFlag, cmd::kPipes, cmd::kDuplicated})
        first->runCommand(command);
    // What the dialogs leave behind when confirmed.
    ChartSettings& settings = first->document().settings();
    settings.interval = 12;
    settings.m_gene = 3;
    for (int command : {cmd::kInterval, cmd::kGenerations})
        SettingsEdited(command, first->document());

    auto second = startOn();
    EXPECT_TRUE(second->document().settings() == first->document().settings());
    EXPECT_TRUE(second->action(cmd::kDuplicated)->isChecked());
    const QImage before = first->view().viewport()->grab().toImage();
    const QImage after = second->view().viewport()->grab().toImage();
    EXPECT_EQ(before, after);
    EXPECT_EQ(second->action(cmd::kRecent1)->text(), sample_);
}

} // namespace
} // namespace arbolix
