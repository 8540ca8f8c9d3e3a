// arbolix: the desktop chart generator. An optional argument names a GEDCOM file to open.

#include <QApplication>
#include <QTimer>

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
    arbolix::CMainFrame frame;
    frame.show();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QTimer::singleShot(0, &frame, [&frame, path] { frame.openFile(path); });
    }
    return QApplication::exec();
}
