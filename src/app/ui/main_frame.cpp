#include "app/ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/commands.h"
#include "app/qt_profile.h"
#include "app/ui/arbolix_view.h"
#include "app/ui/export_commands.h"
#include "app/ui/fill_sheet_dialog.h"
#include "app/ui/help_window.h"
#include "app/ui/lock_keys.h"
#include "app/ui/person_card_sheet.h"
#include "app/ui/person_dialog.h"
#include "app/ui/place_format_dialog.h"
#include "app/ui/print_commands.h"
#include "app/ui/setting_dialogs.h"
#include "app/ui/site_dialog.h"
#include "app/ui/wait_cursor.h"
#include "base/profile.h"
#include "tree/tree_compute.h"

// The pictures are built into the library; a static library needs them registered by hand.
static void RegisterResources() {
    Q_INIT_RESOURCE(arbolix);
}

namespace arbolix {

namespace {

constexpr const char* kIdleText = "Pour l'aide, appuyez sur F1";

struct CommandText {
    int command;
    const char* text;
    const char* keys = ""; // portable key text, "" for none
};

// Menu texts with their mnemonics, and the keys of the accelerators.
constexpr CommandText kCommandTexts[] = {
    {cmd::kOpen, "&Ouvrir...", "Ctrl+O"},
    {cmd::kPlaceFormat, "Format Gedcom"},
    {cmd::kExportPicture, "&Exporter image"},
    {cmd::kSaveVml, "Sauver en VML"},
    {cmd::kWebSite, "Générer Site Web"},
    {cmd::kPrint, "&Imprimer...", "Ctrl+P"},
    {cmd::kPrintPreview, "Aperçu a&vant impression"},
    {cmd::kPrintSetup, "C&onfiguration de l'impression"},
    {cmd::kPageLayout, "&Mise en page"},
    {cmd::kExit, "&Quitter"},
    {cmd::kName, "&Nom"},
    {cmd::kGivenName, "&Prénom"},
    {cmd::kInvertName, "In&version Nom"},
    {cmd::kBirth, "N&aissance"},
    {cmd::kDeath, "&Décés"},
    {cmd::kPlace, "&Lieu"},
    {cmd::kSpouses, "Epoux"},
    {cmd::kFlag, "D&rapeau"},
    {cmd::kEmptyBoxes, "&Case vide"},
    {cmd::kWithCousins, "&Avec cousinage"},
    {cmd::kWithoutCousins, "&Sans cousinage"},
    {cmd::kDuplicated, "&Dupliqué"},
    {cmd::kGenerations, "&Générations"},
    {cmd::kInterval, "&Intervalle"},
    {cmd::kBrick, "&Brique"},
    {cmd::kPipes, "&Tuyau"},
    {cmd::kBraces, "&Accolade"},
    {cmd::kBoxRatio, "Taille &cadre"},
    {cmd::kFontName, "&Nom"},
    {cmd::kFontPlace, "&Lieu"},
    {cmd::kFontDate, "&Date"},
    {cmd::kFontSpouse, "&Epoux"},
    {cmd::kColourPen, "&Trait"},
    {cmd::kColourBox, "&Rectangle"},
    {cmd::kColourBackground, "&Fond"},
    {cmd::kTextureBox, "&Rectangle"},
    {cmd::kTextureBackground, "&Fond"},
    {cmd::kPenWidth, "&Epaisseur trait"},
    {cmd::kFixedFont, "&Police Fixe"},
    {cmd::kImplexe, "&Implexe"},
    {cmd::kZoomIn, "&Zoom avant", "PgUp"},
    {cmd::kZoomOut, "Zoom &arrière", "PgDown"},
    {cmd::kZoomDefault, "Défaut"},
    {cmd::kToolbarFile, "Barre Fichier"},
    {cmd::kToolbarPresentation, "&Barre Présentation"},
    {cmd::kToolbarFormat, "Barre Format"},
    {cmd::kToolbarView, "Barre Affichage"},
    {cmd::kStatusBar, "Barre d'é&tat"},
    {cmd::kHelp, "A&ide", "F1"},
    {cmd::kAbout, "&A propos de arbolix..."},
    {cmd::kPreviousRoot, "Racine précédente", "F2"},
    {cmd::kChooseRoot, "Choisir une autre personne", "F3"},
    {cmd::kRecent1, "-"},
    {cmd::kRecent2, "-"},
    {cmd::kRecent3, "-"},
    {cmd::kRecent4, "-"},
};

// Our own pictures first, the desktop theme's for the common ones otherwise.
QIcon CommandIcon(int command) {
    const QString own = QStringLiteral(":/icons/%1.svg").arg(command);
    if (QFile::exists(own)) return QIcon(own);
    switch (command) {
    case cmd::kOpen: return QIcon::fromTheme(QStringLiteral("document-open"));
    case cmd::kPrint: return QIcon::fromTheme(QStringLiteral("document-print"));
    case cmd::kPrintPreview: return QIcon::fromTheme(QStringLiteral("document-print-preview"));
    case cmd::kZoomIn: return QIcon::fromTheme(QStringLiteral("zoom-in"));
    case cmd::kZoomOut: return QIcon::fromTheme(QStringLiteral("zoom-out"));
    case cmd::kZoomDefault: return QIcon::fromTheme(QStringLiteral("zoom-original"));
    case cmd::kAbout: return QIcon::fromTheme(QStringLiteral("help-about"));
    case cmd::kHelp: return QIcon::fromTheme(QStringLiteral("help-contents"));
    default: return {};
    }
}

// The person dialog shows with the normal cursor, whatever runs around it.
class DialogWithCursor final : public RootChooser {
public:
    explicit DialogWithCursor(QWidget* parent) : dialog_(parent) {}
    std::optional<RootChoice> choose(const PersonStore& store) override {
        const bool waiting = QApplication::overrideCursor() != nullptr;
        if (waiting) QApplication::restoreOverrideCursor();
        std::optional<RootChoice> choice = dialog_.choose(store);
        if (waiting) QApplication::setOverrideCursor(Qt::WaitCursor);
        return choice;
    }

private:
    DialogRootChooser dialog_;
};

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void WidgetReporter::report(const Message& message) {
    if (sink) {
        sink(message);
        return;
    }
    QMessageBox box(parent_);
    box.setWindowTitle(FromUtf8(message.caption));
    box.setText(FromUtf8(message.text));
    switch (message.icon) {
    case MessageIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::restoreOverrideCursor();
    box.exec();
    if (waiting) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetReporter::status(std::string_view text) {
    if (statusLabel == nullptr) return;
    statusLabel->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    statusLabel->repaint();
}

CMainFrame::CMainFrame(std::unique_ptr<Profile> profile, QWidget* parent)
    : QMainWindow(parent), profile_(profile ? std::move(profile) : OpenProfile()), reporter_(this),
      document_(std::make_unique<ChartDocument>(*profile_, reporter_)) {
    RegisterResources();
    makeChooser = [this]() -> std::unique_ptr<RootChooser> { return std::make_unique<DialogWithCursor>(this); };
    setWindowTitle(QStringLiteral("Arbolix"));
    setWindowIcon(QIcon(QStringLiteral(":/arbolix.svg")));
    view_ = new CArbolixView(*document_, this);
    setCentralWidget(view_);
    printing_ = new ChartPrinting(*document_, this);
    exports_ = std::make_unique<ExportCommands>(*this, *document_,
                                                [this] { return view_->viewport()->size(); });
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    connect(view_, &CArbolixView::statusText, this, &CMainFrame::setStatus);
    view_->onPersonCard = [this](int32_t xref) { ShowPersonCard(this, *document_, xref); };
    view_->onRerooted = [this] {
        setStatus(QString::fromUtf8(kIdleText));
        updateCommands();
    };
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    updateCommands();
    resize(1024, 720);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
}

QAction* CMainFrame::action(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::createActions() {
    for (const CommandText& entry : kCommandTexts) {
        auto* action = new QAction(CommandIcon(entry.command), QString::fromUtf8(entry.text), this);
        if (entry.keys[0] != '\0')
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.keys), QKeySequence::PortableText));
        const int command = entry.command;
        const bool checkable = SettingChecked(command, document_->settings()).has_value() ||
                               command == cmd::kToolbarFile || command == cmd::kToolbarPresentation ||
                               command == cmd::kToolbarFormat || command == cmd::kToolbarView ||
                               command == cmd::kStatusBar;
        action->setCheckable(checkable);
        // Menus show the check mark itself rather than a framed picture.
        action->setIconVisibleInMenu(!checkable);
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        actions_[command] = action;
    }
    // The keys without a menu item work anywhere in the window.
    addAction(action(cmd::kPreviousRoot));
    addAction(action(cmd::kChooseRoot));
}

void CMainFrame::createMenus() {
    const auto add = [this](QMenu* menu, std::initializer_list<int> commands) {
        for (int command : commands) {
            if (command == 0) menu->addSeparator();
            else menu->addAction(action(command));
        }
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier"));
    add(file, {cmd::kOpen, cmd::kPlaceFormat, 0, cmd::kExportPicture, cmd::kSaveVml, cmd::kWebSite, 0, cmd::kPrint,
               cmd::kPrintPreview, cmd::kPrintSetup, cmd::kPageLayout, 0, cmd::kRecent1, cmd::kRecent2, cmd::kRecent3,
               cmd::kRecent4, 0, cmd::kExit});

    QMenu* presentation = menuBar()->addMenu(QStringLiteral("&Présentation"));
    add(presentation, {cmd::kName, cmd::kGivenName, cmd::kInvertName, cmd::kBirth, cmd::kDeath, cmd::kPlace,
                       cmd::kSpouses, cmd::kFlag, cmd::kEmptyBoxes});
    add(presentation->addMenu(QStringLiteral("C&ousinages")),
        {cmd::kWithCousins, cmd::kWithoutCousins, cmd::kDuplicated});
    add(presentation, {cmd::kGenerations, cmd::kInterval});
    add(presentation->addMenu(QStringLiteral("&Forme")), {cmd::kBrick, cmd::kPipes, cmd::kBraces, cmd::kBoxRatio});
    QMenu* format = presentation->addMenu(QStringLiteral("&Format"));
    add(format->addMenu(QStringLiteral("P&olice")), {cmd::kFontName, cmd::kFontPlace, cmd::kFontDate, cmd::kFontSpouse});
    add(format->addMenu(QStringLiteral("C&ouleur")), {cmd::kColourPen, cmd::kColourBox, cmd::kColourBackground});
    add(format->addMenu(QStringLiteral("Texture")), {cmd::kTextureBox, cmd::kTextureBackground});
    add(format, {cmd::kPenWidth, cmd::kFixedFont, cmd::kImplexe});

    QMenu* display = menuBar()->addMenu(QStringLiteral("&Affichage"));
    add(display, {cmd::kZoomIn, cmd::kZoomOut, cmd::kZoomDefault, 0, cmd::kToolbarFile, cmd::kToolbarPresentation,
                  cmd::kToolbarFormat, cmd::kToolbarView, cmd::kStatusBar});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    add(help, {cmd::kHelp, cmd::kAbout});

    for (QMenu* menu : {file, presentation, display, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommands);
}

void CMainFrame::createToolBars() {
    struct Bar {
        const char* caption;
        std::initializer_list<int> commands;
    };
    // Kept in this order: "Présentation", "Fichier", "Affichage", "Format".
    const Bar bars[] = {
        {"Présentation",
         {cmd::kName, cmd::kGivenName, cmd::kInvertName, cmd::kBirth, cmd::kDeath, cmd::kPlace, cmd::kSpouses,
          cmd::kFlag, 0, cmd::kEmptyBoxes, cmd::kInterval, cmd::kBraces}},
        {"Fichier",
         {cmd::kOpen, 0, cmd::kExportPicture, cmd::kSaveVml, cmd::kWebSite, 0, cmd::kPrintPreview, cmd::kPrint,
          cmd::kPrintSetup, cmd::kPageLayout}},
        {"Affichage", {cmd::kZoomIn, cmd::kZoomOut, cmd::kZoomDefault, 0, cmd::kAbout}},
        {"Format", {cmd::kPenWidth, cmd::kFixedFont, cmd::kImplexe}},
    };
    for (int i = 0; i < 4; ++i) {
        auto* bar = new QToolBar(QString::fromUtf8(bars[i].caption), this);
        bar->setObjectName(QString::fromUtf8(bars[i].caption));
        bar->setIconSize(QSize(16, 16));
        for (int command : bars[i].commands) {
            if (command == 0) bar->addSeparator();
            else bar->addAction(action(command));
        }
        toolBars_[i] = bar;
    }
    // "Fichier" first along the top, then "Présentation", "Format" and "Affichage" beside it.
    for (int i : {1, 0, 3, 2}) addToolBar(Qt::TopToolBarArea, toolBars_[i]);
}

void CMainFrame::createStatusBar() {
    status_ = new QLabel(QString::fromUtf8(kIdleText));
    statusBar()->addWidget(status_, 1);
    const char* names[] = {"MAJ", "NUM", "DEF"};
    for (int i = 0; i < 3; ++i) {
        locks_[i] = new QLabel(QString::fromUtf8(names[i]));
        locks_[i]->setFrameShape(QFrame::Panel);
        locks_[i]->setFrameShadow(QFrame::Sunken);
        locks_[i]->setMinimumWidth(locks_[i]->fontMetrics().horizontalAdvance(QStringLiteral("MAJ")) + 12);
        locks_[i]->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(locks_[i]);
    }
    reporter_.statusLabel = status_;
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::updateLockIndicators);
    timer->start(500);
    updateLockIndicators();
}

void CMainFrame::updateLockIndicators() {
    const LockStates states = CurrentLockStates();
    const bool on[] = {states.caps, states.num, states.scroll};
    for (int i = 0; i < 3; ++i) locks_[i]->setEnabled(on[i]);
}

void CMainFrame::setStatus(const QString& text) {
    status_->setText(text);
}

void CMainFrame::updateCommands() {
    const ChartSettings& settings = document_->settings();
    for (const auto& [command, act] : actions_) {
        if (const std::optional<bool> checked = SettingChecked(command, settings)) act->setChecked(*checked);
    }
    action(cmd::kToolbarPresentation)->setChecked(toolBars_[0]->isVisible());
    action(cmd::kToolbarFile)->setChecked(toolBars_[1]->isVisible());
    action(cmd::kToolbarView)->setChecked(toolBars_[2]->isVisible());
    action(cmd::kToolbarFormat)->setChecked(toolBars_[3]->isVisible());
    action(cmd::kStatusBar)->setChecked(statusBar()->isVisible());
    action(cmd::kPreviousRoot)->setEnabled(document_->view().previousRootXref != 0);
    action(cmd::kChooseRoot)->setEnabled(document_->hasChart());
    action(cmd::kWebSite)->setEnabled(document_->hasChart());
    updateRecentFiles();
}

void CMainFrame::updateRecentFiles() {
    const RecentFiles& recent = document_->recentFiles();
    const int commands[] = {cmd::kRecent1, cmd::kRecent2, cmd::kRecent3, cmd::kRecent4};
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        QAction* entry = action(commands[i]);
        // The path is shown as it is: no "&" in it may turn into a mnemonic.
        entry->setText(FromUtf8(recent.entry(i)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        entry->setEnabled(recent.isFile(i));
    }
}

void CMainFrame::runCommand(int command) {
    if (const int index = RecentFileIndex(command); index >= 0) {
        reopen(index);
        return;
    }
    switch (command) {
    case cmd::kOpen: openWithDialog(); return;
    case cmd::kExit: close(); return;
    case cmd::kZoomIn: view_->zoomIn(); return;
    case cmd::kZoomOut: view_->zoomOut(); return;
    case cmd::kZoomDefault: view_->defaultZoom(); return;
    case cmd::kPrint: printing_->print(); return;
    case cmd::kPrintDirect: printing_->printDirect(); return;
    case cmd::kPrintPreview: printing_->preview(); return;
    case cmd::kPrintSetup: printing_->pageSetup(); return;
    case cmd::kAbout:
    case cmd::kAbout2: showAbout(); return;
    case cmd::kHelp: ShowHelp(this); return;
    case cmd::kPreviousRoot: {
        bool back = false;
        {
            WaitCursor wait;
            back = document_->back();
        }
        if (back) afterNewChart();
        break;
    }
    case cmd::kChooseRoot: chooseAgain(); break;
    case cmd::kExportPicture: exports_->exportPicture(); break;
    case cmd::kSaveVml: exports_->saveVml(); break;
    case cmd::kWebSite:
        // The walk computes other charts from the store the view draws its spouses from.
        view_->setUpdatesEnabled(false);
        RunWebSiteCommand(this, *document_);
        view_->setUpdatesEnabled(true);
        view_->chartChanged();
        break;
    case cmd::kToolbarPresentation: toolBars_[0]->setVisible(!toolBars_[0]->isVisible()); break;
    case cmd::kToolbarFile: toolBars_[1]->setVisible(!toolBars_[1]->isVisible()); break;
    case cmd::kToolbarView: toolBars_[2]->setVisible(!toolBars_[2]->isVisible()); break;
    case cmd::kToolbarFormat: toolBars_[3]->setVisible(!toolBars_[3]->isVisible()); break;
    case cmd::kStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
    default: {
        std::optional<CommandEffect> effect;
        if (editSettings(command)) {
            WaitCursor wait;
            effect = SettingsEdited(command, *document_);
        } else {
            WaitCursor wait;
            effect = RunSettingCommand(command, *document_);
        }
        if (effect == CommandEffect::Rebuilt) view_->chartChanged();
        else if (effect == CommandEffect::Repaint) view_->viewport()->update();
        setStatus(QString::fromUtf8(kIdleText));
        break;
    }
    }
    updateCommands();
}

// The dialog of a setting command, on the settings themselves. False for other commands.
bool CMainFrame::editSettings(int command) {
    ChartSettings& settings = document_->settings();
    switch (command) {
    case cmd::kInterval: RunSpacingDialog(this, settings.interval); return true;
    case cmd::kPenWidth: RunPenWidthDialog(this, settings.largeur_pen); return true;
    case cmd::kBoxRatio: {
        int32_t ratio = static_cast<int32_t>(settings.larg) / 10;
        RunBoxRatioDialog(this, ratio);
        settings.larg = ratio * 10.0;
        return true;
    }
    case cmd::kGenerations: RunGenerationsDialog(this, settings.m_gene, settings.m_gened); return true;
    case cmd::kEmptyBoxes: RunEmptyBoxesDialog(this, settings.m_casevide); return true;
    case cmd::kImplexe: RunImplexeDialog(this, settings.m_implexe); return true;
    case cmd::kPageLayout: RunPrintLayoutDialog(this, settings.m_miseenpage); return true;
    case cmd::kFontName: RunFontDialog(this, settings.lf_nom, settings.rgbColors_nom); return true;
    case cmd::kFontPlace: RunFontDialog(this, settings.lf_lieu, settings.rgbColors_lieu); return true;
    case cmd::kFontDate: RunFontDialog(this, settings.lf_date, settings.rgbColors_date); return true;
    case cmd::kFontSpouse: RunFontDialog(this, settings.lf_epoux, settings.rgbColors_epoux); return true;
    case cmd::kColourPen: settings.color_pen = ChooseColour(this, settings.color_pen); return true;
    case cmd::kColourBox:
        settings.texture_rectangle.brush.lbColor = ChooseColour(this, settings.texture_rectangle.brush.lbColor);
        return true;
    case cmd::kColourBackground:
        settings.texture_fond.brush.lbColor = ChooseColour(this, settings.texture_fond.brush.lbColor);
        return true;
    case cmd::kTextureBox: RunFillSheet(this, settings.texture_rectangle, *profile_, reporter_); return true;
    case cmd::kTextureBackground: RunFillSheet(this, settings.texture_fond, *profile_, reporter_); return true;
    case cmd::kPlaceFormat: {
        const RecentFiles& recent = document_->recentFiles();
        RunPlaceFormatDialog(this, settings.m_gedcom, recent.isFile(0) ? recent.entry(0) : std::string());
        return true;
    }
    default: return false;
    }
}

void CMainFrame::openWithDialog() {
    const QString folder = FromUtf8(ReadPathKey(*profile_, "open"));
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir fichier généalogie"), folder,
                                                      QStringLiteral("Fichier Gedcom *.ged (*.ged *.GED)"));
    if (!path.isEmpty()) openFile(path);
}

void CMainFrame::openFile(const QString& path) {
    const std::unique_ptr<RootChooser> chooser = makeChooser();
    ChartDocument::Opened opened;
    {
        WaitCursor wait;
        opened = document_->open(QFileInfo(path).absoluteFilePath().toStdString(), *chooser);
    }
    if (opened == ChartDocument::Opened::Chart) afterNewChart();
    setStatus(QString::fromUtf8(kIdleText));
    updateCommands();
}

void CMainFrame::reopen(int index) {
    const std::unique_ptr<RootChooser> chooser = makeChooser();
    ChartDocument::Opened opened;
    {
        WaitCursor wait;
        opened = document_->reopen(index, *chooser);
    }
    if (opened == ChartDocument::Opened::Chart) afterNewChart();
    updateCommands();
}

void CMainFrame::chooseAgain() {
    const std::unique_ptr<RootChooser> chooser = makeChooser();
    bool chosen = false;
    {
        WaitCursor wait;
        chosen = document_->chooseAgain(*chooser);
    }
    if (chosen) afterNewChart();
}

void CMainFrame::afterNewChart() {
    setWindowTitle(FromUtf8(document_->title()));
    setStatus(QString::fromUtf8(kIdleText));
    view_->chartChanged();
}

void CMainFrame::showAbout() {
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("A propos de arbolix"));
    box.setIconPixmap(QIcon(QStringLiteral(":/arbolix.svg")).pixmap(64, 64));
    box.setText(QStringLiteral("Arbolix version 2.6c\nGénération d'arbres généalogiques\n12 octobre 2003"));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            openFile(url.toLocalFile());
            return;
        }
    }
}

// The lock keys are read again as soon as one of them is pressed; F1 in a dialog opens the guide.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (HelpKeyInDialog(watched, event)) return true;
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) {
            NoteLockKey(key);
            updateLockIndicators();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace arbolix
