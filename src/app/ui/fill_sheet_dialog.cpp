#include "app/ui/fill_sheet_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ui/fill_sheet_pages.h"

namespace arbolix {

QString AskPictureFile(QWidget* parent, const QString& folder) {
    static constexpr const char* kFilters[] = {
        "Fichiers BMP *.bmp (*.bmp *.BMP)",   "Fichiers PNG *.png (*.png *.PNG)",
        "Fichiers TARGA *.tga (*.tga *.TGA)", "Fichiers PCX *.pcx (*.pcx *.PCX)",
        "fichiers JPEG *.jpg (*.jpg *.JPG)",  "Fichiers TIFF *.tif (*.tif *.TIF)",
        "Tous les fichiers *.* (*)"};
    QStringList filters;
    for (const char* filter : kFilters) filters << QString::fromUtf8(filter);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Ouvrir fichier image"), folder,
                                        filters.join(QStringLiteral(";;")), &filters.first());
}

// --- The whole picture
// -----------------------------------------------------------------------------

PictureArea::PictureArea(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    const int frame = 2 * frameWidth();
    setFixedSize(kPictureAreaSize.width + frame, kPictureAreaSize.height + frame);
}

void PictureArea::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void PictureArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), image_);
}

// --- The sheet
// -------------------------------------------------------------------------------------

FillSheet::FillSheet(FillSpec& fill, int32_t screenDepth, Profile& profile, Reporter& reporter,
                     QWidget* parent)
    : QDialog(parent), context_(new FillSheetContext{fill, screenDepth, profile, reporter,
                                                     ChooseColour, AskPictureFile}) {
    setWindowTitle(QStringLiteral("Motifs et textures"));
    tabs_ = new QTabWidget(this);
    for (FillPage page : FillSheetPages(screenDepth)) {
        FillSheetPage* widget = nullptr;
        switch (page) {
        case FillPage::Gradient:
            widget = new GradientPage(*context_);
            break;
        case FillPage::Picture:
            widget = new PicturePage(*context_);
            break;
        case FillPage::Pattern:
            widget = new PatternPage(*context_);
            break;
        case FillPage::Texture:
            widget = new TexturePage(*context_);
            break;
        }
        tabs_->addTab(widget, QString::fromUtf8(FillPageTitle(page)));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(tabs_);
    column->addWidget(buttons);

    connect(tabs_, &QTabWidget::currentChanged, this, &FillSheet::activatePage);
    activatePage(tabs_->currentIndex());
}

FillSheet::~FillSheet() {
    // The pages refer to the context: they go first, without activating one another on the way.
    disconnect(tabs_, nullptr, this, nullptr);
    delete tabs_;
}

void FillSheet::setColourChooser(ColourChooser chooser) {
    context_->chooseColour = std::move(chooser);
}

void FillSheet::setPictureChooser(PictureFileChooser chooser) {
    context_->choosePicture = std::move(chooser);
}

void FillSheet::activatePage(int index) {
    if (auto* page = dynamic_cast<FillSheetPage*>(tabs_->widget(index))) page->activate();
}

int32_t FillSheet::ScreenDepth(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 32;
}

void RunFillSheet(QWidget* parent, FillSpec& fill, Profile& profile, Reporter& reporter) {
    FillSheet sheet(fill, FillSheet::ScreenDepth(parent), profile, reporter, parent);
    sheet.exec();
}

} // namespace arbolix
