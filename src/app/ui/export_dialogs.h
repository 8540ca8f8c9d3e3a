#pragma once
// The dialogs of the two export commands. Like the setting dialogs, each can be driven without
// being run, and a function runs it modally.
//
// Object names for findChild<>():
//   picture properties: width, height (BoundedSpinBox), mode0 .. mode3 (QRadioButton);
//   VML: size0 .. size6 (QRadioButton).

#include <QDialog>

#include <cstdint>
#include <optional>

#include "app/ui/setting_dialogs.h"

class QButtonGroup;

namespace arbolix {

class Reporter;

// "Propriété image": the picture's width (32..8192) and height (0..8192, 0 keeping the chart
// window's proportions) and its colours: "&Monochrome", "&Gris", "&256 couleurs", "24 bits"
// (modes 0 to 3). OK refuses a size out of range as the setting dialogs do; the three values are
// written on OK only.
class PicturePropertiesDialog final : public IntegerSettingsDialog {
    Q_OBJECT
public:
    PicturePropertiesDialog(int32_t& width, int32_t& height, int32_t& mode,
                            QWidget* parent = nullptr, Reporter* reporter = nullptr);
    void accept() override;

private:
    int32_t& mode_;
    QButtonGroup* modes_ = nullptr;
};

// "VML": the page size, one of VmlPageSizes() under "Taille tracé", the first one chosen when the
// dialog opens.
class VmlSizeDialog final : public QDialog {
    Q_OBJECT
public:
    explicit VmlSizeDialog(QWidget* parent = nullptr);
    // The index in VmlPageSizes() of the size chosen.
    int choice() const;

private:
    QButtonGroup* sizes_ = nullptr;
};

// True when the user pressed OK; the values change only then.
bool RunPicturePropertiesDialog(QWidget* parent, int32_t& width, int32_t& height, int32_t& mode);
// The size chosen, nullopt when the dialog was cancelled.
std::optional<int> RunVmlSizeDialog(QWidget* parent);

} // namespace arbolix
