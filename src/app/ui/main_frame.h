#pragma once
// The main window: menus, the four toolbars, the status bar, and the chart view in the middle.
// It binds every command number to its menu item, button and key, and runs the commands on the
// chart document.

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

#include "app/chart_document.h"
#include "base/reporter.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace arbolix {

class CArbolixView;
class ChartPrinting;
class ExportCommands;
class Profile;
class RootChooser;

// Failures in a message box, progress in the status bar.
class WidgetReporter final : public Reporter {
public:
    explicit WidgetReporter(QWidget* parent) : parent_(parent) {}
    void report(const Message& message) override;
    void status(std::string_view text) override;
    QLabel* statusLabel = nullptr;
    // When set, messages go here instead of a message box (tests, batch use).
    std::function<void(const Message&)> sink;

private:
    QWidget* parent_;
};

class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    // Works on `profile` (the user's own one when null).
    explicit CMainFrame(std::unique_ptr<Profile> profile = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The open flow on a path (a file given on the command line or dropped on the window).
    void openFile(const QString& path);
    // Runs a command by its number, as its menu item would.
    void runCommand(int command);

    QAction* action(int command) const;
    QToolBar* toolBar(int index) const { return toolBars_[index]; }
    ChartDocument& document() { return *document_; }
    WidgetReporter& reporter() { return reporter_; }
    // Makes the chooser of the root person for each opening (the person dialog by default).
    std::function<std::unique_ptr<RootChooser>()> makeChooser;
    CArbolixView& view() { return *view_; }
    ExportCommands& exports() { return *exports_; }
    // Sets check marks, enabled states and the recent files from the document (the menus call it
    // as they open).
    void updateCommands();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void updateLockIndicators();
    void updateRecentFiles();
    void afterNewChart();
    void openWithDialog();
    bool editSettings(int command);
    void reopen(int index);
    void chooseAgain();
    void showAbout();
    void setStatus(const QString& text);

    std::unique_ptr<Profile> profile_;
    WidgetReporter reporter_;
    std::unique_ptr<ChartDocument> document_;
    CArbolixView* view_ = nullptr;
    ChartPrinting* printing_ = nullptr;
    std::unique_ptr<ExportCommands> exports_;
    std::map<int, QAction*> actions_;
    QToolBar* toolBars_[4] = {};
    QLabel* status_ = nullptr;
    QLabel* locks_[3] = {};
};

} // namespace arbolix
