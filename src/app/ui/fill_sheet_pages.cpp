#include "app/ui/fill_sheet_pages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/settings.h"
#include "fills/fill_resources.h"
#include "fills/pattern.h"
#include "fills/qt_fill_image.h"

namespace arbolix {
namespace {

// Thumbnails show their picture from its top-left corner at this size, unscaled: patterns and
// textures repeat, so a corner shows them as the fill will.
constexpr QSize kPatternShown(40, 40);
constexpr QSize kTextureShown(64, 64);

QSize SizeOf(FillPictureSize size) {
    return {size.width, size.height};
}

QPixmap PixmapOf(const FillBitmap& fill) {
    const QImage image = DeviceFillImage(fill);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QToolButton* ImageButton(QWidget* parent, QSize shown) {
    auto* button = new QToolButton(parent);
    button->setIconSize(shown);
    button->setCheckable(true);
    return button;
}

// The picture on a button, its top-left part when it is larger than the button shows.
void ShowOnButton(QAbstractButton* button, const QPixmap& picture) {
    const QSize shown = button->iconSize();
    button->setIcon(QIcon(picture.copy(0, 0, std::min(shown.width(), picture.width()),
                                       std::min(shown.height(), picture.height()))));
}

QPushButton* SwatchButton(QWidget* parent, const char* name, FillPictureSize size) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIconSize(SizeOf(size));
    button->setAutoDefault(false);
    return button;
}

// Checks the button of `id` in an exclusive group, or none when the group has no such button.
void ShowChecked(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

QButtonGroup* NamedGroup(QWidget* parent, const char* name) {
    auto* group = new QButtonGroup(parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

} // namespace

// --- Every page ----------------------------------------------------------------------------------

FillSheetPage::FillSheetPage(FillSheetContext& context, const char* objectName)
    : context_(context) {
    setObjectName(QLatin1String(objectName));
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("preview"));
    // A thin frame around the picture, so that a white fill shows on the page.
    preview_->setFrameShape(QFrame::Box);
    preview_->setLineWidth(1);
    const int frame = 2 * preview_->frameWidth();
    preview_->setFixedSize(SizeOf(kFillPreviewSize) + QSize(frame, frame));
    preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void FillSheetPage::setContent(QLayout* content) {
    auto* result = new QVBoxLayout;
    result->addWidget(new QLabel(QStringLiteral("Résultat"), this));
    result->addWidget(preview_);
    result->addStretch(1);
    auto* row = new QHBoxLayout(this);
    row->addLayout(content, 1);
    row->addSpacing(12);
    row->addLayout(result);
}

QPixmap FillSheetPage::build(FillPictureSize size, int32_t kind, Colour colour1, Colour colour2,
                             int32_t gradientType, int32_t variant, int32_t textureId,
                             int32_t pattern) const {
    FillBitmap built;
    BuildDeviceFill(built, context_.depth, size.width, size.height, kind, colour1, colour2,
                    gradientType, variant, nullptr, textureId, pattern, context_.reporter);
    return PixmapOf(built);
}

void FillSheetPage::showPreview() {
    FillBitmap built;
    BuildFill(built, FillMode::DeviceBitmap, context_.depth, kFillPreviewSize.width,
              kFillPreviewSize.height, context_.fill, context_.reporter);
    showPreview(built);
}

void FillSheetPage::showPreview(const FillBitmap& built) {
    preview_->setPixmap(PixmapOf(built));
}

// --- "Dégradé" -----------------------------------------------------------------------------------

GradientPage::GradientPage(FillSheetContext& context) : FillSheetPage(context, "degrade") {
    auto* column = new QVBoxLayout;

    kinds_ = NamedGroup(this, "kinds");
    auto* kindRow = new QHBoxLayout;
    for (const auto& [id, text] :
         {std::pair{kSolidRadio, "&Unicolore"}, {kTwoColourRadio, "B&icolore"}}) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), this);
        kinds_->addButton(radio, id);
        kindRow->addWidget(radio);
    }
    kindRow->addStretch(1);
    column->addLayout(kindRow);

    auto* colours = new QGridLayout;
    colour1_ = SwatchButton(this, "colour1", kGradientSwatchSize);
    colour2_ = SwatchButton(this, "colour2", kGradientSwatchSize);
    colours->addWidget(new QLabel(QStringLiteral("Couleur 1"), this), 0, 0);
    colours->addWidget(new QLabel(QStringLiteral("Couleur 2"), this), 0, 1);
    colours->addWidget(colour1_, 1, 0);
    colours->addWidget(colour2_, 1, 1);
    column->addLayout(colours);

    static constexpr const char* kTypes[] = {"Hori&zontal",    "&Vertical", "Diagonale &haut",
                                             "Diagonale &bas", "Du coi&n",  "Du &centre"};
    auto* typeBox = new QGroupBox(QStringLiteral("Type de dégradé"), this);
    auto* typeGrid = new QGridLayout(typeBox);
    types_ = NamedGroup(this, "gradientTypes");
    for (int type = 0; type < 6; ++type) {
        auto* radio = new QRadioButton(QString::fromUtf8(kTypes[type]), typeBox);
        types_->addButton(radio, kFirstGradientTypeRadio + type);
        typeGrid->addWidget(radio, type / 2, type % 2);
    }
    column->addWidget(typeBox);

    auto* variantBox = new QGroupBox(QStringLiteral("Va&riantes"), this);
    auto* variantRow = new QHBoxLayout(variantBox);
    variants_ = NamedGroup(this, "variants");
    for (int variant = 0; variant < 4; ++variant) {
        QToolButton* button = ImageButton(variantBox, SizeOf(kVariantSize));
        variants_->addButton(button, kFirstVariantButton + variant);
        variantRow->addWidget(button);
    }
    variantRow->addStretch(1);
    column->addWidget(variantBox);
    column->addStretch(1);
    setContent(column);

    FillSpec& fill = context_.fill;
    connect(kinds_, &QButtonGroup::idClicked, this, [this, &fill](int id) {
        fill.kind = id == kSolidRadio ? kFillSolid : kFillGradient;
        showPreview();
        showVariants();
    });
    connect(colour1_, &QPushButton::clicked, this,
            [this, &fill] { chooseColour(fill.brush.lbColor); });
    connect(colour2_, &QPushButton::clicked, this, [this, &fill] { chooseColour(fill.colour2); });
    // The shape applies to gradients only: choosing one keeps the kind of fill.
    connect(types_, &QButtonGroup::idClicked, this, [this, &fill](int id) {
        fill.gradientType = id - kFirstGradientTypeRadio;
        showPreview();
        showVariants();
    });
    connect(variants_, &QButtonGroup::idClicked, this, [this, &fill](int id) {
        fill.variant = id - kFirstVariantButton;
        showPreview();
    });
}

void GradientPage::activate() {
    const FillSpec& fill = context_.fill;
    ShowChecked(kinds_, fill.kind == kFillSolid      ? kSolidRadio
                        : fill.kind == kFillGradient ? kTwoColourRadio
                                                     : 0);
    ShowChecked(types_, kFirstGradientTypeRadio + fill.gradientType);
    ShowChecked(variants_, kFirstVariantButton + fill.variant);
    showSwatches();
    showPreview();
    showVariants();
}

// The colour chooser's answer is taken whatever button closed it: after Annuler it is the colour
// it was opened on.
void GradientPage::chooseColour(Colour& colour) {
    colour = context_.chooseColour(this, colour);
    showSwatches();
    showPreview();
    showVariants();
}

void GradientPage::showSwatches() {
    const FillSpec& fill = context_.fill;
    colour1_->setIcon(build(kGradientSwatchSize, kFillSolid, fill.brush.lbColor));
    colour2_->setIcon(build(kGradientSwatchSize, kFillSolid, fill.colour2));
}

void GradientPage::showVariants() {
    const FillSpec& fill = context_.fill;
    for (int variant = 0; variant < 4; ++variant)
        ShowOnButton(variants_->button(kFirstVariantButton + variant),
                     build(kVariantSize, kFillGradient, fill.brush.lbColor, fill.colour2,
                           fill.gradientType, variant));
}

// --- "Motif" -------------------------------------------------------------------------------------

PatternPage::PatternPage(FillSheetContext& context) : FillSheetPage(context, "motif") {
    auto* column = new QVBoxLayout;
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    patterns_ = NamedGroup(this, "patterns");
    for (int32_t pattern = 0; pattern < kPatternCount; ++pattern) {
        QToolButton* button = ImageButton(this, kPatternShown);
        patterns_->addButton(button, PatternButton(pattern));
        grid->addWidget(button, pattern / 10, pattern % 10);
    }
    grid->setColumnStretch(10, 1);
    column->addLayout(grid);
    auto* colours = new QGridLayout;
    colour1_ = SwatchButton(this, "colour1", kPatternSwatchSize);
    colour2_ = SwatchButton(this, "colour2", kPatternSwatchSize);
    colours->addWidget(new QLabel(QStringLiteral("Couleur 1 (fond)"), this), 0, 0);
    colours->addWidget(new QLabel(QStringLiteral("Couleur 2 (motif)"), this), 0, 2);
    colours->addWidget(colour1_, 1, 0);
    colours->addWidget(colour2_, 1, 2);
    colours->setColumnStretch(1, 1);
    column->addLayout(colours);
    column->addStretch(1);
    setContent(column);

    FillSpec& fill = context_.fill;
    connect(patterns_, &QButtonGroup::idClicked, this, [this, &fill](int id) {
        fill.kind = kFillPattern;
        fill.patternIndex = PatternOfButton(id);
        showPreview();
    });
    connect(colour1_, &QPushButton::clicked, this,
            [this, &fill] { chooseColour(fill.brush.lbColor); });
    connect(colour2_, &QPushButton::clicked, this, [this, &fill] { chooseColour(fill.colour2); });
}

void PatternPage::activate() {
    const FillSpec& fill = context_.fill;
    showPreview();
    for (int32_t pattern = 0; pattern < kPatternCount; ++pattern)
        ShowOnButton(patterns_->button(PatternButton(pattern)),
                     build(kPatternThumbnailSize, kFillPattern, fill.brush.lbColor, fill.colour2, 0,
                           0, 0, pattern));
    colour1_->setIcon(build(kPatternSwatchSize, kFillSolid, fill.brush.lbColor));
    colour2_->setIcon(build(kPatternSwatchSize, kFillSolid, fill.colour2));
    ShowChecked(patterns_, fill.kind == kFillPattern ? PatternButton(fill.patternIndex) : 0);
}

// The chooser's answer is taken whatever closed it; every picture shows the new colour.
void PatternPage::chooseColour(Colour& colour) {
    colour = context_.chooseColour(this, colour);
    activate();
}

// --- "Texture" -----------------------------------------------------------------------------------

TexturePage::TexturePage(FillSheetContext& context) : FillSheetPage(context, "texture") {
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    textures_ = NamedGroup(this, "textures");
    const std::vector<int32_t>& ids = TextureIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        QToolButton* button = ImageButton(this, kTextureShown);
        textures_->addButton(button, TextureButton(ids[i]));
        grid->addWidget(button, static_cast<int>(i / 6), static_cast<int>(i % 6));
    }
    grid->setColumnStretch(6, 1);
    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addStretch(1);
    setContent(column);

    FillSpec& fill = context_.fill;
    connect(textures_, &QButtonGroup::idClicked, this, [this, &fill](int id) {
        fill.textureId = TextureOfButton(id);
        fill.kind = kFillTexture;
        showPreview();
    });
}

void TexturePage::activate() {
    if (!built_) {
        for (int32_t id : TextureIds())
            ShowOnButton(textures_->button(TextureButton(id)),
                         build({0, 0}, kFillTexture, 0, 0, 0, 0, id));
        built_ = true;
    }
    showPreview();
    const FillSpec& fill = context_.fill;
    ShowChecked(textures_, fill.kind == kFillTexture ? TextureButton(fill.textureId) : 0);
}

// --- "Image" -------------------------------------------------------------------------------------

PicturePage::PicturePage(FillSheetContext& context) : FillSheetPage(context, "imagec") {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(QStringLiteral("Image :"), this));
    area_ = new PictureArea(this);
    area_->setObjectName(QStringLiteral("pictureArea"));
    column->addWidget(area_);
    name_ = new QLabel(this);
    name_->setObjectName(QStringLiteral("pictureName"));
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(name_);
    auto* button = new QPushButton(QStringLiteral("Image ..."), this);
    button->setObjectName(QStringLiteral("pictureButton"));
    button->setAutoDefault(false);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(button);
    buttonRow->addStretch(1);
    column->addLayout(buttonRow);
    column->addStretch(1);
    setContent(column);
    connect(button, &QPushButton::clicked, this, &PicturePage::choosePicture);
}

void PicturePage::activate() {
    if (!built_) {
        showWholePicture();
        built_ = true;
    }
    showPreview();
}

// The picture file of the fill, whole, whatever the kind of fill (none without a usable file).
void PicturePage::showWholePicture() {
    const FillSpec& fill = context_.fill;
    FillBitmap whole;
    BuildFill(whole, FillMode::PackedDib, context_.depth, 0, 0, kFillPicture, fill.brush.lbColor,
              fill.colour2, fill.gradientType, fill.variant, context_.fill.fileName, fill.textureId,
              fill.patternIndex, context_.reporter);
    area_->setImage(PackedFillImage(whole));
    // The name as it stands after the build, which forgets a file it cannot read.
    const QString name = area_->image().isNull() ? QString() : QString::fromUtf8(fill.fileName);
    name_->setText(name_->fontMetrics().elidedText(name, Qt::ElideMiddle, area_->width()));
    name_->setToolTip(name);
}

void PicturePage::choosePicture() {
    const QString folder = QString::fromStdString(ReadPathKey(context_.profile, "load_bmp"));
    const QString path = context_.choosePicture(this, folder);
    if (path.isEmpty()) return;
    FillBitmap preview;
    if (ChoosePictureFile(context_.fill, path.toStdString(), context_.depth, preview,
                          context_.profile, context_.reporter) != PictureChoice::Taken)
        return;
    showPreview(preview);
    showWholePicture();
}

} // namespace arbolix
