#include "app/ui/setting_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/reporter.h"
#include "chart/print_layout.h"

namespace arbolix {
namespace {

constexpr QSize kImplexeSample(140, 20);
constexpr QSize kFontColourSample(32, 14);

void Tell(QWidget* parent, Reporter* reporter, const QString& text) {
    const Message message{text.toStdString(), "arbolix", MessageIcon::Exclamation};
    if (reporter != nullptr) {
        reporter->report(message);
    } else {
        QMessageBox::warning(parent, QString::fromStdString(message.caption), text);
    }
}

// OK and Annuler under a dialog's fields.
QDialogButtonBox* AddButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A colour swatch with a thin grey edge, so that white shows on a white button.
QIcon SampleIcon(Colour colour, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(ToQColor(colour));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

QPushButton* MakeColourButton(QWidget* parent, Colour colour, QSize sample) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("colourButton"));
    button->setIconSize(sample);
    button->setIcon(SampleIcon(colour, sample));
    button->setAutoDefault(false);
    return button;
}

// Copies a face name into the fixed field, cut to 31 bytes without splitting a character.
void SetFaceName(LogFont& font, const QString& face) {
    const QByteArray bytes = face.toUtf8();
    auto length = std::min<qsizetype>(bytes.size(), kFaceNameSize - 1);
    while (length > 0 && length < bytes.size() &&
           (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
        --length;
    std::memset(font.lfFaceName, 0, kFaceNameSize);
    std::memcpy(font.lfFaceName, bytes.constData(), static_cast<std::size_t>(length));
}

QString FaceName(const LogFont& font) {
    return QString::fromUtf8(font.lfFaceName,
                             static_cast<qsizetype>(strnlen(font.lfFaceName, kFaceNameSize)));
}

} // namespace

// --- Colour ----------------------------------------------------------------------------------

ColourChoiceDialog::ColourChoiceDialog(Colour current, QWidget* parent)
    : QColorDialog(parent), current_(current) {
    for (int index = 0; index < 16; ++index) {
        const int grey = index * 0x10;
        QColorDialog::setCustomColor(index, QColor(grey, grey, grey));
    }
    setWindowTitle(QStringLiteral("Couleurs"));
    // Qt's own chooser, which shows the custom colours on every platform.
    setOption(QColorDialog::DontUseNativeDialog);
    setCurrentColor(ToQColor(current));
}

Colour ColourChoiceDialog::chosenColour() const {
    if (result() != QDialog::Accepted || !selectedColor().isValid()) return current_;
    return FromQColor(selectedColor());
}

Colour ChooseColour(QWidget* parent, Colour current) {
    ColourChoiceDialog dialog(current, parent);
    dialog.exec();
    return dialog.chosenColour();
}

// --- Integer fields ----------------------------------------------------------------------------

BoundedSpinBox::BoundedSpinBox(int lowest, int highest, int value, QWidget* parent)
    : QSpinBox(parent), lowest_(lowest), highest_(highest) {
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    setValue(value);
}

std::optional<int> BoundedSpinBox::typedValue() const {
    QString text = lineEdit()->displayText();
    int position = 0;
    if (validate(text, position) != QValidator::Acceptable) return std::nullopt;
    return valueFromText(text);
}

QString BoundedSpinBox::refusal() const {
    const std::optional<int> value = typedValue();
    if (value && *value >= lowest_ && *value <= highest_) return {};
    return QStringLiteral("Entrez un nombre entier compris entre %1 et %2.")
        .arg(lowest_)
        .arg(highest_);
}

void BoundedSpinBox::stepBy(int steps) {
    const int64_t stepped = int64_t{value()} + steps;
    setValue(static_cast<int>(std::clamp<int64_t>(stepped, lowest_, highest_)));
    selectAll();
}

QSize BoundedSpinBox::sizeHint() const {
    QSize hint = QSpinBox::sizeHint();
    const QFontMetrics metrics(font());
    const int widest = metrics.horizontalAdvance(textFromValue(minimum()));
    const int needed = std::max(metrics.horizontalAdvance(textFromValue(lowest_)),
                                metrics.horizontalAdvance(textFromValue(highest_)));
    hint.rwidth() -= std::max(0, widest - needed);
    return hint;
}

QAbstractSpinBox::StepEnabled BoundedSpinBox::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    StepEnabled enabled = StepNone;
    if (value() < highest_) enabled |= StepUpEnabled;
    if (value() > lowest_) enabled |= StepDownEnabled;
    return enabled;
}

IntegerSettingsDialog::IntegerSettingsDialog(const QString& title, QWidget* parent,
                                             Reporter* reporter)
    : QDialog(parent), reporter_(reporter) {
    setWindowTitle(title);
    form_ = new QFormLayout;
    auto* column = new QVBoxLayout(this);
    column->addLayout(form_);
    column->addWidget(AddButtons(this));
}

void IntegerSettingsDialog::addField(const QString& label, const char* objectName, int32_t& setting,
                                     int lowest, int highest) {
    auto* box = new BoundedSpinBox(lowest, highest, setting, this);
    box->setObjectName(QLatin1String(objectName));
    form_->addRow(label, box);
    fields_.push_back({box, &setting});
}

void IntegerSettingsDialog::accept() {
    for (const Field& field : fields_) {
        const QString refusal = field.box->refusal();
        if (refusal.isEmpty()) continue;
        Tell(this, reporter_, refusal);
        field.box->setFocus();
        field.box->selectAll();
        return;
    }
    for (const Field& field : fields_) *field.setting = *field.box->typedValue();
    QDialog::accept();
}

SpacingDialog::SpacingDialog(int32_t& interval, QWidget* parent, Reporter* reporter)
    : IntegerSettingsDialog(QStringLiteral("CHOIX INTERVALLE"), parent, reporter) {
    addField(QStringLiteral("Intervalle :"), "interval", interval, 0, 16384);
}

PenWidthDialog::PenWidthDialog(int32_t& width, QWidget* parent, Reporter* reporter)
    : IntegerSettingsDialog(QStringLiteral("Définition épaisseur trait"), parent, reporter) {
    addField(QStringLiteral("Epaisseur Trait :"), "penWidth", width, 0, 255);
}

BoxRatioDialog::BoxRatioDialog(int32_t& ratio, QWidget* parent, Reporter* reporter)
    : IntegerSettingsDialog(QStringLiteral("Définition rapport cadre"), parent, reporter) {
    addField(QStringLiteral("Rapport largeur/hauteur :"), "ratio", ratio, 2, 16);
}

GenerationsDialog::GenerationsDialog(int32_t& ascendants, int32_t& descendants, QWidget* parent,
                                     Reporter* reporter)
    : IntegerSettingsDialog(QStringLiteral("Définition nombre de générations"), parent, reporter) {
    addField(QStringLiteral("Ascendance  :"), "ascendants", ascendants, 1, 62);
    addField(QStringLiteral("Descendance :"), "descendants", descendants, 1, 62);
}

EmptyBoxesDialog::EmptyBoxesDialog(EmptyBoxes& boxes, QWidget* parent, Reporter* reporter)
    : IntegerSettingsDialog(QStringLiteral("Cases vides"), parent, reporter) {
    addField(QStringLiteral("Nombres de générations de descendants :"), "descendantGenerations",
             boxes.m_ngd, 0, 61);
    addField(QStringLiteral("Nombre de descendants par génération :"), "descendantsPerGeneration",
             boxes.m_ndg, 1, 16);
    addField(QStringLiteral("Nombre de générations d'ascendants :"), "ascendantGenerations",
             boxes.m_nag, 0, 22);
}

// --- Implexe -----------------------------------------------------------------------------------

ImplexeDialog::ImplexeDialog(ImplexeMarking& marking, QWidget* parent)
    : QDialog(parent), marking_(marking), colour_(marking.couleur), chooser_(ChooseColour) {
    setWindowTitle(QStringLiteral("Implexe"));
    colourButton_ = MakeColourButton(this, colour_, kImplexeSample);
    colourButton_->setToolTip(QStringLiteral("Couleur"));
    connect(colourButton_, &QPushButton::clicked, this, &ImplexeDialog::chooseColour);

    static constexpr std::array<const char*, 5> kStyles = {
        "&Plein", "&Pointillé", "Tiret", "Tiret - Pointillé", "Tiret - Pointillé - Pointillé"};
    auto* shapes = new QGroupBox(QStringLiteral("Forme trait"), this);
    auto* shapeColumn = new QVBoxLayout(shapes);
    styles_ = new QButtonGroup(this);
    for (int type = 0; type < static_cast<int>(kStyles.size()); ++type) {
        auto* radio =
            new QRadioButton(QString::fromUtf8(kStyles[static_cast<size_t>(type)]), shapes);
        radio->setObjectName(QStringLiteral("style%1").arg(type));
        styles_->addButton(radio, type);
        shapeColumn->addWidget(radio);
    }
    if (QAbstractButton* current = styles_->button(marking.m_type)) current->setChecked(true);

    auto* column = new QVBoxLayout(this);
    column->addWidget(colourButton_);
    column->addWidget(shapes);
    column->addWidget(AddButtons(this));
}

int32_t ImplexeDialog::lineStyle() const {
    const int checked = styles_->checkedId();
    return checked < 0 ? marking_.m_type : checked;
}

void ImplexeDialog::accept() {
    marking_.couleur = colour_;
    marking_.m_type = lineStyle();
    QDialog::accept();
}

void ImplexeDialog::chooseColour() {
    colour_ = chooser_(this, colour_);
    colourButton_->setIcon(SampleIcon(colour_, kImplexeSample));
}

// --- Print layout ------------------------------------------------------------------------------

PrintLayoutDialog::PrintLayoutDialog(PageLayout& layout, QWidget* parent, Reporter* reporter)
    : QDialog(parent), layout_(layout), reporter_(reporter) {
    setWindowTitle(QStringLiteral("Mise en page de l'impréssion"));
    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const QString& label, const char* name,
                            int32_t PageLayout::*count, const char* plusName,
                            const char* minusName) {
        auto* box = new BoundedSpinBox(1, 8, layout_.*count, this);
        box->setObjectName(QLatin1String(name));
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
        auto* plus = new QPushButton(QStringLiteral("+"), this);
        auto* minus = new QPushButton(QStringLiteral("-"), this);
        plus->setObjectName(QLatin1String(plusName));
        minus->setObjectName(QLatin1String(minusName));
        for (QPushButton* button : {plus, minus}) {
            button->setAutoDefault(false);
            button->setMaximumWidth(32);
        }
        connect(plus, &QPushButton::clicked, this, [this, count] { step(count, true); });
        connect(minus, &QPushButton::clicked, this, [this, count] { step(count, false); });
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(plus, row, 2);
        grid->addWidget(minus, row, 3);
        return box;
    };
    wide_ = addRow(0, QStringLiteral("Pages en largeur"), "pagesWide", &PageLayout::m_largeur,
                   "widePlus", "wideMinus");
    high_ = addRow(1, QStringLiteral("Pages en hauteur"), "pagesHigh", &PageLayout::m_hauteur,
                   "highPlus", "highMinus");
    // The aid to assemble a poster of many sheets, off by default.
    auto* assembly = new QGroupBox(QStringLiteral("Assemblage des feuilles"), this);
    auto* form = new QFormLayout(assembly);
    overlap_ = new BoundedSpinBox(0, kMaxOverlapMillimetres, layout_.m_recouvrement, assembly);
    overlap_->setObjectName(QStringLiteral("overlap"));
    form->addRow(QStringLiteral("Recouvrement (mm)"), overlap_);
    cutMarks_ = new QCheckBox(QStringLiteral("Repères de coupe et nom des feuilles"), assembly);
    cutMarks_->setObjectName(QStringLiteral("cutMarks"));
    cutMarks_->setChecked(layout_.m_reperes == 1);
    form->addRow(cutMarks_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(assembly);
    column->addWidget(AddButtons(this));
}

bool PrintLayoutDialog::refused(std::initializer_list<BoundedSpinBox*> boxes) {
    for (BoundedSpinBox* box : boxes) {
        const QString refusal = box->refusal();
        if (refusal.isEmpty()) continue;
        Tell(this, reporter_, refusal);
        box->setFocus();
        box->selectAll();
        return true;
    }
    return false;
}

bool PrintLayoutDialog::takeTexts() {
    if (refused({wide_, high_})) return false;
    layout_.m_largeur = *wide_->typedValue();
    layout_.m_hauteur = *high_->typedValue();
    return true;
}

void PrintLayoutDialog::showCounts() {
    wide_->setValue(layout_.m_largeur);
    high_->setValue(layout_.m_hauteur);
}

void PrintLayoutDialog::step(int32_t PageLayout::*count, bool up) {
    if (!takeTexts()) return;
    int32_t& pages = layout_.*count; // 1..8 once taken
    pages = up ? pages % 8 + 1 : (pages + 6) % 8 + 1;
    showCounts();
}

void PrintLayoutDialog::accept() {
    // Every field is checked before anything is taken.
    if (refused({wide_, high_, overlap_}) || !takeTexts()) return;
    layout_.m_recouvrement = *overlap_->typedValue();
    layout_.m_reperes = cutMarks_->isChecked() ? 1 : 0;
    QDialog::accept();
}

// --- Font --------------------------------------------------------------------------------------

QFont FontFromLogFont(const LogFont& font, int pointSize) {
    QFont result;
    const QString face = FaceName(font);
    if (!face.isEmpty()) result.setFamily(face);
    // Weights share the 1..1000 scale; 0 means the normal weight.
    const int32_t weight = font.lfWeight <= 0 ? 400 : std::min(font.lfWeight, 1000);
    result.setWeight(static_cast<QFont::Weight>(weight));
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    result.setPointSize(pointSize);
    return result;
}

// The installed style of the font's family nearest to its italic flag and weight, the shortest
// name among equals ("Bold Italic" rather than "Condensed Bold Italic"). The chooser finds a
// font's style by name, and the name it would make up is translated ("Italique") while the
// family lists its own ("Italic"): given no name, it would fall back to the first style of the
// list and change the font on OK.
QString InstalledStyleName(const QFont& font) {
    QString best;
    int bestScore = std::numeric_limits<int>::max();
    const QString family = font.family();
    for (const QString& style : QFontDatabase::styles(family)) {
        const QFont candidate = QFontDatabase::font(family, style, 12);
        const int score = (candidate.italic() != font.italic() ? 100000 : 0) +
                          100 * std::abs(candidate.weight() - font.weight()) +
                          static_cast<int>(std::min<qsizetype>(style.size(), 99));
        if (score < bestScore) {
            bestScore = score;
            best = style;
        }
    }
    return best;
}

LogFont LogFontFromFont(const QFont& font, const LogFont& base, int pointSize, double dotsPerInch) {
    LogFont result = base;
    result.lfHeight = -static_cast<int32_t>(std::lround(pointSize * dotsPerInch / 72.0));
    result.lfWidth = 0;
    result.lfEscapement = 0;
    result.lfOrientation = 0;
    result.lfWeight = font.weight();
    result.lfItalic = font.italic() ? 1 : 0;
    result.lfUnderline = font.underline() ? 1 : 0;
    result.lfStrikeOut = font.strikeOut() ? 1 : 0;
    SetFaceName(result, font.family());
    return result;
}

FontChoiceDialog::FontChoiceDialog(const LogFont& font, Colour colour, QWidget* parent)
    : QFontDialog(parent), base_(font), colour_(colour), chooser_(ChooseColour) {
    setWindowTitle(QStringLiteral("Police"));
    // Qt's own chooser, whose size controls and effects can be reached.
    setOption(QFontDialog::DontUseNativeDialog);
    setOption(QFontDialog::ScalableFonts);
    QFont initial = FontFromLogFont(font, kPointSize);
    // The list holds the installed faces only: show the one standing in for a missing face.
    if (!QFontDatabase::hasFamily(initial.family())) initial.setFamily(QFontInfo(initial).family());
    initial.setStyleName(InstalledStyleName(initial));
    setCurrentFont(initial);
    holdSize();

    colourButton_ = MakeColourButton(this, colour_, kFontColourSample);
    colourButton_->setText(QStringLiteral("&Couleur"));
    connect(colourButton_, &QPushButton::clicked, this, &FontChoiceDialog::chooseColour);
    // Beside underline and strike-out when the effects box is there.
    QGroupBox* effects = nullptr;
    for (QGroupBox* box : findChildren<QGroupBox*>()) {
        if (box->layout() != nullptr && !box->findChildren<QCheckBox*>().isEmpty()) {
            effects = box;
            break;
        }
    }
    if (effects != nullptr) {
        effects->layout()->addWidget(colourButton_);
    } else if (layout() != nullptr) {
        layout()->addWidget(colourButton_);
    }
}

// The size is fixed: the size field (the edit with an integer validator) and the list of sizes
// (the list whose entries are all numbers) only show it.
void FontChoiceDialog::holdSize() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (qobject_cast<const QIntValidator*>(edit->validator()) != nullptr)
            edit->setEnabled(false);
    }
    for (QListView* list : findChildren<QListView*>()) {
        const QAbstractItemModel* model = list->model();
        bool sizes = model != nullptr && model->rowCount() > 0;
        for (int row = 0; sizes && row < model->rowCount(); ++row)
            model->index(row, 0).data().toString().toInt(&sizes);
        if (sizes) list->setEnabled(false);
    }
}

void FontChoiceDialog::chooseColour() {
    colour_ = chooser_(this, colour_);
    colourButton_->setIcon(SampleIcon(colour_, kFontColourSample));
}

LogFont FontChoiceDialog::chosenFont() const {
    const QFont selected = selectedFont();
    const QScreen* shown = screen();
    const double dotsPerInch = shown != nullptr ? shown->logicalDotsPerInchY() : 96.0;
    LogFont result = LogFontFromFont(selected, base_, kPointSize, dotsPerInch);
    const QString face = FaceName(base_);
    if (!face.isEmpty() &&
        QFontInfo(FontFromLogFont(base_, kPointSize)).family() == selected.family())
        SetFaceName(result, face);
    return result;
}

// --- Running them ------------------------------------------------------------------------------

bool RunSpacingDialog(QWidget* parent, int32_t& interval, Reporter* reporter) {
    return SpacingDialog(interval, parent, reporter).exec() == QDialog::Accepted;
}

bool RunPenWidthDialog(QWidget* parent, int32_t& width, Reporter* reporter) {
    return PenWidthDialog(width, parent, reporter).exec() == QDialog::Accepted;
}

bool RunBoxRatioDialog(QWidget* parent, int32_t& ratio, Reporter* reporter) {
    return BoxRatioDialog(ratio, parent, reporter).exec() == QDialog::Accepted;
}

bool RunGenerationsDialog(QWidget* parent, int32_t& ascendants, int32_t& descendants,
                          Reporter* reporter) {
    return GenerationsDialog(ascendants, descendants, parent, reporter).exec() == QDialog::Accepted;
}

bool RunEmptyBoxesDialog(QWidget* parent, EmptyBoxes& boxes, Reporter* reporter) {
    return EmptyBoxesDialog(boxes, parent, reporter).exec() == QDialog::Accepted;
}

bool RunImplexeDialog(QWidget* parent, ImplexeMarking& marking) {
    return ImplexeDialog(marking, parent).exec() == QDialog::Accepted;
}

bool RunPrintLayoutDialog(QWidget* parent, PageLayout& layout, Reporter* reporter) {
    return PrintLayoutDialog(layout, parent, reporter).exec() == QDialog::Accepted;
}

bool RunFontDialog(QWidget* parent, LogFont& font, Colour& colour) {
    FontChoiceDialog dialog(font, colour, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    font = dialog.chosenFont();
    colour = dialog.chosenColour();
    return true;
}

} // namespace arbolix
