// The help window and its guide: found beside the built and the installed program, every link
// of the guide resolving, F1 in the window and in a dialog.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include <filesystem>
#include <set>

#include "app/commands.h"
#include "app/help_page.h"
#include "app/ui/help_window.h"
#include "app/ui/main_frame.h"
#include "app/ui/setting_dialogs.h"
#include "base/profile.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

namespace fs = std::filesystem;

QString BuiltGuide() {
    return QString::fromStdString(FindHelpPage(ARBOLIX_PROGRAM_DIR));
}

std::set<fs::path> FilesUnder(const fs::path& folder) {
    std::set<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder));
    return files;
}

TEST(HelpWindow, TheGuideIsFoundBesideTheBuiltAndTheInstalledProgram) {
    const fs::path built = fs::path(ARBOLIX_BINARY_DIR) / "share" / "arbolix" / "aide";
    EXPECT_EQ(BuiltGuide().toStdString(), fs::canonical(built / kHelpPageName).string());

    test::TempDir prefix;
    const test::CommandResult install =
        test::RunCommand({ARBOLIX_CMAKE, "--install", ARBOLIX_BINARY_DIR, "--component", "help",
                          "--prefix", prefix.path().string()});
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    fs::create_directory(prefix.file("bin"));
    const fs::path installed = prefix.path() / "share" / "arbolix" / "aide";
    EXPECT_EQ(FindHelpPage(prefix.file("bin").string()),
              fs::canonical(installed / kHelpPageName).string());
    const std::set<fs::path> files = FilesUnder(fs::path(ARBOLIX_SOURCE_DIR) / "docs" / "aide");
    EXPECT_GT(files.size(), 5u);
    EXPECT_EQ(FilesUnder(installed), files);
    EXPECT_EQ(FilesUnder(built), files);
    // A program with no guide beside it.
    EXPECT_EQ(FindHelpPage(prefix.path().string()), "");
}

TEST(HelpWindow, EveryLinkOfTheGuideResolves) {
    HelpWindow window(BuiltGuide(), {});
    const QTextDocument& guide = *window.browser()->document();
    QSet<QString> anchors;
    QStringList links;
    for (QTextBlock block = guide.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames()) anchors.insert(name);
            if (format.isAnchor() && !format.anchorHref().isEmpty()) links << format.anchorHref();
        }
    }
    EXPECT_GT(links.size(), 60);
    const QUrl page = window.browser()->source();
    for (const QString& link : links) {
        const QUrl target = page.resolved(QUrl(link));
        if (target.scheme() != QLatin1String("file")) continue;
        EXPECT_TRUE(QFileInfo::exists(target.toLocalFile())) << link.toStdString();
        if (target.adjusted(QUrl::RemoveFragment) == page) {
            EXPECT_TRUE(anchors.contains(target.fragment())) << link.toStdString();
        }
    }
    // The section of every dialog F1 can open.
    for (const DialogHelp& dialog : DialogHelpSections())
        EXPECT_TRUE(anchors.contains(QString::fromUtf8(dialog.section))) << dialog.title;
}

// Runs `act` and gives the page and section of the help window it opened (closed again), "" when
// none opened.
QString HelpOpenedBy(const std::function<void()>& act, QWidget** parent = nullptr) {
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* help = qobject_cast<HelpWindow*>(QApplication::activeModalWidget());
        if (help == nullptr) return;
        shown = help->browser()->source().toString();
        if (parent != nullptr) *parent = help->parentWidget();
        help->accept();
    });
    act();
    QCoreApplication::processEvents();
    return shown;
}

TEST(HelpWindow, F1OpensTheGuideAndInADialogItsSection) {
    CMainFrame frame(std::make_unique<MemoryProfile>());
    const QString guide = QUrl::fromLocalFile(BuiltGuide()).toString();
    QAction* help = frame.action(cmd::kHelp);
    EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(HelpOpenedBy([&] { help->trigger(); }), guide);

    int32_t interval = 5;
    SpacingDialog dialog(interval, &frame);
    dialog.show();
    QWidget* parent = nullptr;
    EXPECT_EQ(HelpOpenedBy([&] { QTest::keyClick(&dialog, Qt::Key_F1); }, &parent),
              guide + "#intervalle");
    EXPECT_EQ(parent, &dialog);
    EXPECT_EQ(HelpOpenedBy([&] { QTest::keyClick(&dialog, Qt::Key_F2); }), "");
}

} // namespace
} // namespace arbolix
