#pragma once
// The help window: the user guide in an HTML viewer, with "&Arrière" and "A&vant" through the
// pages and sections visited, and "Quitter".

#include <QDialog>
#include <QString>

class QEvent;
class QPushButton;
class QTextBrowser;

namespace arbolix {

class HelpWindow final : public QDialog {
    Q_OBJECT

public:
    // Shows `page` (a file path; nothing when empty), at the section `section` when one is given.
    HelpWindow(const QString& page, const QString& section, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* forwardButton() const { return forward_; }

private:
    QTextBrowser* browser_;
    QPushButton* back_;
    QPushButton* forward_;
};

// The guide of this program (found beside its executable), at `section` when given.
void ShowHelp(QWidget* parent, const QString& section = {});

// F1 pressed in a dialog opens the guide over it, at the section that explains that dialog (at its
// start for a dialog it does not explain). True when the event was such a key and is used up.
bool HelpKeyInDialog(QObject* watched, QEvent* event);

} // namespace arbolix
