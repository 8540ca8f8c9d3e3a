// The web site's dialog offscreen, and the command from the main window to the files.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/commands.h"
#include "app/ui/site_dialog.h"
#include "base/reporter.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

template <class Widget> Widget* Find(QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(QLatin1String(name));
}

bool Checked(QWidget& dialog, const char* name) {
    return Find<QRadioButton>(dialog, name)->isChecked();
}

TEST(SiteDialog, ShowsTheOptionsAndAppliesTheScreenRules) {
    SiteOptions options;
    options.pictureType = kSiteJpg;
    options.colourMode = 3;
    options.sizeIndex = 5;
    int screen = 1000;
    ListReporter reporter;
    SiteDialog dialog(
        options, nullptr, [&] { return screen; }, &reporter);
    // A screen 1000 pixels wide takes 24-bit pictures of 800x600 at most.
    EXPECT_TRUE(Checked(dialog, "type1") && Checked(dialog, "colour3") && Checked(dialog, "size2"));
    // Grey with 1024x768 needs 1025 pixels (the rules themselves are in the choices' test).
    Find<QRadioButton>(dialog, "size3")->click();
    EXPECT_TRUE(Checked(dialog, "colour0"));
    screen = 1200;
    Find<QRadioButton>(dialog, "colour1")->click();

    Find<QPushButton>(dialog, "help")->click();
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_TRUE(reporter.messages[0].text.starts_with("Optimisation taille des fichiers\n"));

    Find<QLineEdit>(dialog, "title")->setText(QStringLiteral("Famille été"));
    const SiteOptions chosen = dialog.options();
    EXPECT_EQ(chosen.title, "Famille \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(std::tuple(chosen.pictureType, chosen.colourMode, chosen.sizeIndex),
              std::tuple(kSiteJpg, 1, 3));
}

// The main page chosen with "Changer", or typed: always absolute, and the site's folder is its own.
TEST(SiteDialog, TheFolderIsThatOfTheMainPage) {
    SiteOptions options;
    options.mainPage = "index.htm";
    options.folder = "/data/site";
    SiteDialog dialog(options, nullptr, [] { return 1920; });
    QString openedIn;
    dialog.setMainPageChooser([&](QWidget*, const QString& file) {
        openedIn = file;
        return QStringLiteral("/srv/www/famille/accueil.htm");
    });
    auto* page = Find<QLineEdit>(dialog, "mainPage");
    EXPECT_EQ(page->text(), "/data/site/index.htm");
    Find<QPushButton>(dialog, "change")->click();
    EXPECT_EQ(openedIn, "/data/site/index.htm");
    EXPECT_EQ(page->text(), "/srv/www/famille/accueil.htm");
    page->setText(QStringLiteral("autre.htm"));
    EXPECT_EQ(dialog.options().mainPage, "/srv/www/famille/autre.htm");
    EXPECT_EQ(dialog.options().folder, "/srv/www/famille");
    page->setText(QString());
    EXPECT_EQ(dialog.options().mainPage, "/srv/www/famille/index.htm");

    std::unique_ptr<QFileDialog> save(MakeMainPageFileDialog(nullptr, QStringLiteral("/srv")));
    EXPECT_EQ(save->defaultSuffix(), "htm"); // a name typed bare still makes a page
}

// From the menu: the settings read and written, the site made, the window's chart as before.
TEST(SiteCommand, RunsFromTheMainWindow) {
    test::TempDir dir;
    auto profile = std::make_unique<MemoryProfile>();
    MemoryProfile& stored = *profile;
    stored.writeString("fichier_site", dir.file("index.htm").string());
    stored.writeInt("site_taille", 0);
    std::vector<std::string> messages;
    const auto window = test::ShownWindow(messages, std::move(profile), "");
    CMainFrame& frame = *window;
    frame.updateCommands();
    EXPECT_FALSE(frame.action(cmd::kWebSite)->isEnabled());
    frame.openFile(QString::fromStdString(test::SampleFamilyFile().string()));
    frame.updateCommands();
    ASSERT_TRUE(frame.action(cmd::kWebSite)->isEnabled());
    const int32_t root = frame.document().tree().rootXref;
    const int32_t boxes = frame.document().tree().descendantCount;

    // The dialog shows the stored settings; PNG is chosen before OK.
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Find<QLineEdit>(*dialog, "mainPage")->text().toStdString(),
                  dir.file("index.htm").string());
        Find<QRadioButton>(*dialog, "type2")->click();
        Find<QPushButton>(*dialog, "ok")->click();
    });
    frame.runCommand(cmd::kWebSite);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(stored.readInt("fichier_site_type"), kSitePng);
    EXPECT_EQ(stored.readString("dir_site"), dir.path().string());
    EXPECT_NE(
        test::ReadFileBytes(dir.file("index.htm")).find("<A HREF=\"a14.htm\">DELORME Pierre</A>"),
        std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir.file("a14.png")).substr(1, 3), "PNG");
    EXPECT_EQ(frame.reporter().statusLabel->text().toStdString(),
              "Site Web : 91 pages, " + dir.file("index.htm").string());
    EXPECT_EQ(frame.document().tree().rootXref, root);
    EXPECT_EQ(frame.document().tree().descendantCount, boxes);
}

} // namespace
} // namespace arbolix
