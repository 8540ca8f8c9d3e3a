#include "app/ui/site_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "app/chart_document.h"
#include "app/site_command.h"
#include "base/reporter.h"
#include "export/qt_site_pictures.h"

namespace arbolix {

const char* const kSiteHelpText = "Optimisation taille des fichiers\n"
                                  "Format JPG : pour les représentations avec des images\n"
                                  "Format PNG : pour les représentations avec des couleurs unis";

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The screen the widget is on, in device pixels.
int ScreenPixels(const QWidget* widget) {
    const QScreen* screen = widget->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 1024;
    return qRound(screen->geometry().width() * screen->devicePixelRatio());
}

// A group of radio buttons named `prefix`0, `prefix`1, ... in a column.
QGroupBox* RadioGroup(const QString& title, const char* prefix, const QStringList& labels,
                      QButtonGroup*& group, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* column = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < labels.size(); ++i) {
        auto* button = new QRadioButton(labels[i], box);
        button->setObjectName(QString::fromLatin1(prefix) + QString::number(i));
        group->addButton(button, i);
        column->addWidget(button);
    }
    column->addStretch();
    return box;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// The site made under a progress window; the busy cursor shows meanwhile.
SiteResult MakeSite(QWidget* parent, ChartDocument& document, const SiteOptions& options) {
    QProgressDialog progress(parent);
    progress.setWindowTitle(QStringLiteral("Génération Site Web"));
    progress.setCancelButtonText(QStringLiteral("Annuler"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setRange(0, 1);
    progress.setValue(0);
    QtSitePictures pictures(document.reporter());
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const SiteResult result =
        GenerateDocumentSite(document, options, pictures, [&](const SiteProgress& step) {
            progress.setMaximum(step.reached);
            progress.setLabelText(QStringLiteral("Personnes : %1 / %2\n%3")
                                      .arg(step.done)
                                      .arg(step.reached)
                                      .arg(FromUtf8(step.name)));
            progress.setValue(step.done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    QApplication::restoreOverrideCursor();
    return result;
}

} // namespace

SiteDialog::SiteDialog(const SiteOptions& options, QWidget* parent, ScreenWidth screenWidth,
                       Reporter* reporter)
    : QDialog(parent), options_(options), screenWidth_(std::move(screenWidth)),
      reporter_(reporter) {
    setWindowTitle(QStringLiteral("Génération Site Web"));
    if (!screenWidth_) screenWidth_ = [this] { return ScreenPixels(this); };
    chooser_ = [](QWidget* owner, const QString& file) {
        QFileDialog* dialog = MakeMainPageFileDialog(owner, file);
        const QString chosen =
            dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()
                ? dialog->selectedFiles().first()
                : QString();
        delete dialog;
        return chosen;
    };

    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("title"));
    mainPage_ = new QLineEdit(FromUtf8(options_.mainPage), this);
    mainPage_->setObjectName(QStringLiteral("mainPage"));
    QPushButton* change = Button(QStringLiteral("Changer"), "change", this);
    connect(change, &QPushButton::clicked, this, &SiteDialog::changeMainPage);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Titre du site :"), this), 0, 0);
    fields->addWidget(title_, 0, 1, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("Fichier principal"), this), 1, 0);
    fields->addWidget(mainPage_, 1, 1);
    fields->addWidget(change, 1, 2);
    mainPage_->setMinimumWidth(320);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup(
        QStringLiteral("Type image"), "type",
        {QStringLiteral("BMP"), QStringLiteral("JPG"), QStringLiteral("PNG")}, types_, this));
    groups->addWidget(RadioGroup(QStringLiteral("Nombre de couleurs"), "colour",
                                 {QStringLiteral("B/W"), QStringLiteral("Gris"),
                                  QStringLiteral("256 "), QStringLiteral("24 bits")},
                                 colours_, this));
    QStringList sizes;
    for (int32_t i = 0; i < kSitePictureSizeCount; ++i)
        sizes << QString::fromLatin1(SitePictureSizeAt(i).label.data(),
                                     static_cast<qsizetype>(SitePictureSizeAt(i).label.size()));
    groups->addWidget(RadioGroup(QStringLiteral("Taille Image"), "size", sizes, sizes_, this));

    QPushButton* ok = Button(QStringLiteral("OK"), "ok", this);
    QPushButton* cancel = Button(QStringLiteral("A&nnuler"), "cancel", this);
    QPushButton* help = Button(QStringLiteral("&Aide"), "help", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &SiteDialog::showHelp);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(groups);
    layout->addLayout(buttons);

    // Numbers from elsewhere than the profile's reading are brought within the choices too.
    options_.pictureType = std::clamp(options_.pictureType, 0, 2);
    options_.colourMode = std::clamp(options_.colourMode, 0, 3);
    options_.sizeIndex = std::clamp(options_.sizeIndex, 0, kSitePictureSizeCount - 1);
    types_->button(options_.pictureType)->setChecked(true);
    showChoices(SiteChoicesOnOpening({options_.colourMode, options_.sizeIndex}, screenWidth_()));
    // Where the site will go, in full.
    mainPage_->setText(FromUtf8(this->options().mainPage));
    // The rules follow the user's clicks only.
    connect(sizes_, &QButtonGroup::idClicked, this,
            [this] { showChoices(SiteSizeChosen(choices(), screenWidth_())); });
    connect(colours_, &QButtonGroup::idClicked, this,
            [this] { showChoices(SiteColourChosen(choices(), screenWidth_())); });
}

SiteChoices SiteDialog::choices() const {
    return {colours_->checkedId(), sizes_->checkedId()};
}

void SiteDialog::showChoices(const SiteChoices& choices) {
    colours_->button(choices.colourMode)->setChecked(true);
    sizes_->button(choices.sizeIndex)->setChecked(true);
}

void SiteDialog::changeMainPage() {
    const QString chosen = chooser_(this, FromUtf8(options().mainPage));
    if (chosen.isEmpty()) return;
    mainPage_->setText(chosen);
    options_.folder = QFileInfo(chosen).absolutePath().toStdString();
}

void SiteDialog::showHelp() {
    const Message message{kSiteHelpText, "Arbolix", MessageIcon::Exclamation};
    if (reporter_ != nullptr) {
        reporter_->report(message);
        return;
    }
    QMessageBox::warning(this, QStringLiteral("Arbolix"), QString::fromUtf8(kSiteHelpText));
}

SiteOptions SiteDialog::options() const {
    SiteOptions options = options_;
    options.title = title_->text().toStdString();
    QString page = mainPage_->text().trimmed();
    if (page.isEmpty()) page = QStringLiteral("index.htm");
    if (QFileInfo(page).isRelative()) {
        const QDir base =
            options_.folder.empty() ? QDir::current() : QDir(FromUtf8(options_.folder));
        page = base.absoluteFilePath(page);
    }
    options.mainPage = QDir::cleanPath(page).toStdString();
    options.folder = QFileInfo(page).absolutePath().toStdString();
    options.pictureType = types_->checkedId();
    options.colourMode = colours_->checkedId();
    options.sizeIndex = sizes_->checkedId();
    return options;
}

QFileDialog* MakeMainPageFileDialog(QWidget* parent, const QString& file) {
    auto* dialog = new QFileDialog(parent, QStringLiteral("Sauver fichier image"), file,
                                   QStringLiteral("Fichier HTML *.htm (*.htm)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // A main page typed without an extension still opens as a page.
    dialog->setDefaultSuffix(QStringLiteral("htm"));
    return dialog;
}

bool RunWebSiteCommand(QWidget* parent, ChartDocument& document) {
    SiteDialog dialog(LoadSiteOptions(document), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const SiteOptions options = dialog.options();
    StoreSiteOptions(document, options);
    const SiteResult result = MakeSite(parent, document, options);
    document.reporter().status(
        Format(result.cancelled ? "Site Web interrompu : %d pages, %s" : "Site Web : %d pages, %s",
               result.pages, SiteMainPageOf(options).c_str()));
    return true;
}

} // namespace arbolix
