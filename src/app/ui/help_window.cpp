#include "app/ui/help_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/help_page.h"

namespace arbolix {

HelpWindow::HelpWindow(const QString& page, const QString& section, QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)),
      back_(new QPushButton(QStringLiteral("&Arrière"), this)),
      forward_(new QPushButton(QStringLiteral("A&vant"), this)) {
    setObjectName(QStringLiteral("helpWindow"));
    setSizeGripEnabled(true);
    browser_->setOpenExternalLinks(true);
    back_->setObjectName(QStringLiteral("back"));
    forward_->setObjectName(QStringLiteral("forward"));
    auto* quit = new QPushButton(QStringLiteral("Quitter"), this);
    quit->setObjectName(QStringLiteral("quit"));
    // The keys go to the page; Enter does not close the window.
    for (QPushButton* button : {back_, forward_, quit}) button->setAutoDefault(false);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(quit, &QPushButton::clicked, this, &QDialog::accept);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch(1);
    buttons->addWidget(quit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_, 1);
    layout->addLayout(buttons);
    resize(760, 560);

    if (page.isEmpty()) return;
    QUrl url = QUrl::fromLocalFile(page);
    if (!section.isEmpty()) url.setFragment(section);
    browser_->setSource(url);
}

void ShowHelp(QWidget* parent, const QString& section) {
    const std::string page = FindHelpPage(QCoreApplication::applicationDirPath().toStdString());
    HelpWindow window(QString::fromStdString(page), section, parent);
    window.exec();
}

bool HelpKeyInDialog(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier || !watched->isWidgetType())
        return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    auto* dialog = qobject_cast<QDialog*>(window);
    if (dialog == nullptr || qobject_cast<HelpWindow*>(dialog) != nullptr) return false;
    const std::string section = HelpSectionOfDialog(dialog->windowTitle().toStdString());
    ShowHelp(dialog, QString::fromStdString(section));
    return true;
}

} // namespace arbolix
