#include "app/ui/export_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>


#include "export/picture_writer.h"
#include "export/vml_page.h"

namespace arbolix {

namespace {

// A column of radio buttons named `prefix`0, `prefix`1, ... under a titled frame; `checked` on.
QGroupBox* RadioColumn(QWidget* parent, const QString& title, const QStringList& labels,
                       const char* prefix, int checked, QButtonGroup*& group) {
    auto* box = new QGroupBox(title, parent);
    auto* column = new QVBoxLayout(box);
    group = new QButtonGroup(parent);
    for (int index = 0; index < labels.size(); ++index) {
        auto* radio = new QRadioButton(labels[index], box);
        radio->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(index));
        group->addButton(radio, index);
        column->addWidget(radio);
    }
    if (QAbstractButton* button = group->button(checked)) button->setChecked(true);
    return box;
}

} // namespace

PicturePropertiesDialog::PicturePropertiesDialog(int32_t& width, int32_t& height, int32_t& mode,
                                                 QWidget* parent, Reporter* reporter)
    : IntegerSettingsDialog(QStringLiteral("Propriété image"), parent, reporter), mode_(mode) {
    addField(QStringLiteral("Largeur image (l):"), "width", width, 32, 8192);
    addField(QStringLiteral("Hauteur image (h) :"), "height", height, 0, 8192);
    const QStringList labels = {QStringLiteral("&Monochrome"), QStringLiteral("&Gris"),
                                QStringLiteral("&256 couleurs"), QStringLiteral("24 bits")};
    const int checked = mode >= kColourMonochrome && mode <= kColour24Bits ? mode : kColour24Bits;
    QGroupBox* colours =
        RadioColumn(this, QStringLiteral("Couleurs"), labels, "mode", checked, modes_);
    // Below the two fields, above OK and Annuler.
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertWidget(1, new QLabel(QStringLiteral("h=0 l/h identique écran"), this));
    column->insertWidget(2, colours);
}

void PicturePropertiesDialog::accept() {
    IntegerSettingsDialog::accept();
    if (result() == QDialog::Accepted) mode_ = modes_->checkedId();
}

VmlSizeDialog::VmlSizeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("VML"));
    QStringList labels;
    for (const VmlPageSize& size : VmlPageSizes())
        labels << QString::fromUtf8(size.label.data(), static_cast<qsizetype>(size.label.size()));
    auto* column = new QVBoxLayout(this);
    column->addWidget(RadioColumn(this, QStringLiteral("Taille tracé"), labels, "size", 0, sizes_));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

int VmlSizeDialog::choice() const {
    return sizes_->checkedId() < 0 ? 0 : sizes_->checkedId();
}

bool RunPicturePropertiesDialog(QWidget* parent, int32_t& width, int32_t& height, int32_t& mode) {
    PicturePropertiesDialog dialog(width, height, mode, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> RunVmlSizeDialog(QWidget* parent) {
    VmlSizeDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

} // namespace arbolix
