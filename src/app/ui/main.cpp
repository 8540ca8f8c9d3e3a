// arbolix: the desktop chart generator. An optional argument names a GEDCOM file to open.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

#include "app/ui/main_frame.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("velmora"));
    QApplication::setApplicationName(QStringLiteral("Arbolix"));
    QApplication::setApplicationVersion(QStringLiteral(ARBOLIX_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/arbolix.svg")));
    const QStringList arguments = QApplication::arguments();
    if (arguments.contains(QStringLiteral("--version"))) {
        std::printf("arbolix %s\n", ARBOLIX_VERSION);
        return 0;
    }
    // The interface is French: the standard dialogs (fonts, colours, files) speak it too
    // when Qt's own translations are installed.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    arbolix::CMainFrame frame;
    frame.show();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QTimer::singleShot(0, &frame, [&frame, path] { frame.openFile(path); });
    }
    return QApplication::exec();
}
