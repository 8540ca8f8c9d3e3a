#pragma once
// The command "Générer Site Web": its dialog "Génération Site Web", then the site made under a
// progress window whose "Annuler" stops the walk (the pages made stay and the main page lists
// them).
//
// Controls of the dialog, by object name: title, mainPage (QLineEdit); change, help, ok, cancel
// (QPushButton); type0 .. type2 ("BMP", "JPG", "PNG"), colour0 .. colour3 ("B/W", "Gris",
// "256 ", "24 bits"), size0 .. size5 ("320x240" .. "1600x1200") (QRadioButton).

#include <QDialog>

#include <functional>

#include "app/site_choices.h"
#include "export/web_site.h"

class QButtonGroup;
class QFileDialog;
class QLineEdit;

namespace arbolix {

class ChartDocument;
class Reporter;

// "Optimisation taille des fichiers" ...: what "&Aide" tells (caption "Arbolix").
extern const char* const kSiteHelpText;

class SiteDialog final : public QDialog {
    Q_OBJECT

public:
    // The screen's width in pixels, read each time a rule needs it.
    using ScreenWidth = std::function<int()>;
    // The main page chosen with "Changer", starting from `file` (the current main page in the
    // site's folder); empty when the user gives up.
    using MainPageChooser = std::function<QString(QWidget* parent, const QString& file)>;

    // Shows `options` (title empty, main page in full) with the opening rule applied. "&Aide" goes
    // to `reporter`, or to a message box when it is null.
    explicit SiteDialog(const SiteOptions& options, QWidget* parent = nullptr,
                        ScreenWidth screenWidth = {}, Reporter* reporter = nullptr);

    void setMainPageChooser(MainPageChooser chooser) { chooser_ = std::move(chooser); }
    // What the dialog shows: the main page made absolute (inside the site's folder, or the
    // current folder, when typed without one; "index.htm" when left empty) and the folder made
    // that of the main page, so that the main page's links reach the pages.
    SiteOptions options() const;

private:
    void changeMainPage();
    void showHelp();
    void showChoices(const SiteChoices& choices);
    SiteChoices choices() const;

    SiteOptions options_;
    ScreenWidth screenWidth_;
    Reporter* reporter_;
    MainPageChooser chooser_;
    QLineEdit* title_ = nullptr;
    QLineEdit* mainPage_ = nullptr;
    QButtonGroup* types_ = nullptr;
    QButtonGroup* colours_ = nullptr;
    QButtonGroup* sizes_ = nullptr;
};

// The save dialog of "Changer" on `file`: "Sauver fichier image", HTML files, ".htm" added to a
// name typed without an extension.
QFileDialog* MakeMainPageFileDialog(QWidget* parent, const QString& file);

// The whole command on the document's chart: the dialog (nothing more unless OK), the settings
// written, the site made with its progress window, the number of pages in the status bar. False
// when the dialog was cancelled.
bool RunWebSiteCommand(QWidget* parent, ChartDocument& document);

} // namespace arbolix
