#pragma once
// The small dialogs of the setting commands: spacing, pen width, box ratio, generations, empty
// boxes, pedigree-collapse marking, print layout, colour and font. Each is a dialog class that
// can be driven without running it, plus a function that runs it modally over a parent.
//
// The integer fields are spin boxes whose arrows stay within the field's range while any integer
// can be typed: OK refuses a text that is no integer or lies outside the range with a message,
// puts the focus on that field and leaves the dialog open. Nothing is written before OK, except
// by the "+" and "-" buttons of the print layout, whose fields are the settings themselves.
//
// Controls have object names, so that they can be found with findChild<>():
//   spacing: interval; pen width: penWidth; box ratio: ratio; generations: ascendants,
//   descendants; empty boxes: descendantGenerations, descendantsPerGeneration,
//   ascendantGenerations (BoundedSpinBox);
//   implexe: colourButton (QPushButton), style0 .. style4 (QRadioButton);
//   print layout: pagesWide, pagesHigh, overlap (BoundedSpinBox), widePlus, wideMinus, highPlus,
//   highMinus (QPushButton), cutMarks (QCheckBox);
//   font: colourButton (QPushButton).

#include <QColorDialog>
#include <QDialog>
#include <QFontDialog>
#include <QSpinBox>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "base/colour.h"
#include "base/log_font.h"
#include "base/settings.h"
#include "chart/qt_convert.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QFormLayout;
class QPushButton;

namespace arbolix {

class Reporter;

// Asks for a colour with `current` preselected; gives `current` back when the user cancels.
using ColourChooser = std::function<Colour(QWidget* parent, Colour current)>;

// The standard colour chooser: the current colour preselected and the 16 custom colours set to
// the greys 0x000000, 0x101010, ... 0xF0F0F0.
class ColourChoiceDialog final : public QColorDialog {
    Q_OBJECT

public:
    explicit ColourChoiceDialog(Colour current, QWidget* parent = nullptr);
    // The colour accepted, or the preselected one when the dialog was cancelled or is still open.
    Colour chosenColour() const;

private:
    Colour current_;
};

// Runs ColourChoiceDialog.
Colour ChooseColour(QWidget* parent, Colour current);

// A spin box for an integer setting: arrows, wheel and Page Up/Down keep within lowest..highest,
// but any integer can be typed (minimum() and maximum() are those of int), so that OK can refuse a
// value out of range instead of silently changing it.
class BoundedSpinBox final : public QSpinBox {
    Q_OBJECT

public:
    BoundedSpinBox(int lowest, int highest, int value, QWidget* parent = nullptr);
    int lowest() const { return lowest_; }
    int highest() const { return highest_; }
    // The integer the text holds, nullopt for an empty or partial text ("-").
    std::optional<int> typedValue() const;
    // Why the text cannot be taken ("Entrez un nombre entier compris entre 1 et 8."), or an empty
    // text when it can.
    QString refusal() const;
    void stepBy(int steps) override;
    // As wide as the field's own range needs.
    QSize sizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int lowest_;
    int highest_;
};

// A column of labelled integer fields, each bound to a setting written on OK.
class IntegerSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // Checks the fields in order; the first that cannot be taken is reported (to `reporter`, or in
    // a message box when it is null) and gets the focus. Otherwise every setting is written and the
    // dialog closes.
    void accept() override;

protected:
    IntegerSettingsDialog(const QString& title, QWidget* parent, Reporter* reporter);
    void addField(const QString& label, const char* objectName, int32_t& setting, int lowest,
                  int highest);

private:
    struct Field {
        BoundedSpinBox* box;
        int32_t* setting;
    };
    Reporter* reporter_;
    std::vector<Field> fields_;
    QFormLayout* form_;
};

// "CHOIX INTERVALLE": the spacing between boxes, 0..16384.
class SpacingDialog final : public IntegerSettingsDialog {
    Q_OBJECT
public:
    SpacingDialog(int32_t& interval, QWidget* parent = nullptr, Reporter* reporter = nullptr);
};

// "Définition épaisseur trait": the pen width, 0..255.
class PenWidthDialog final : public IntegerSettingsDialog {
    Q_OBJECT
public:
    PenWidthDialog(int32_t& width, QWidget* parent = nullptr, Reporter* reporter = nullptr);
};

// "Définition rapport cadre": the length-to-height ratio of a box, 2..16 (the box length / 10).
class BoxRatioDialog final : public IntegerSettingsDialog {
    Q_OBJECT
public:
    BoxRatioDialog(int32_t& ratio, QWidget* parent = nullptr, Reporter* reporter = nullptr);
};

// "Définition nombre de générations": ascendant and descendant generations, each 1..62.
class GenerationsDialog final : public IntegerSettingsDialog {
    Q_OBJECT
public:
    GenerationsDialog(int32_t& ascendants, int32_t& descendants, QWidget* parent = nullptr,
                      Reporter* reporter = nullptr);
};

// "Cases vides": descendant generations 0..61, descendants per generation 1..16, ascendant
// generations 0..22.
class EmptyBoxesDialog final : public IntegerSettingsDialog {
    Q_OBJECT
public:
    EmptyBoxesDialog(EmptyBoxes& boxes, QWidget* parent = nullptr, Reporter* reporter = nullptr);
};

// "Implexe": the colour (a button showing a 140 x 20 sample, which opens the colour chooser) and
// the line style (radio buttons 0..4 under "Forme trait") of the link to an ancestor reached a
// second time.
class ImplexeDialog final : public QDialog {
    Q_OBJECT

public:
    explicit ImplexeDialog(ImplexeMarking& marking, QWidget* parent = nullptr);
    // The chooser the colour button opens (ChooseColour unless replaced).
    void setColourChooser(ColourChooser chooser) { chooser_ = std::move(chooser); }
    // The colour and the style shown, written to the marking on OK.
    Colour colour() const { return colour_; }
    int32_t lineStyle() const;
    void accept() override;

private:
    void chooseColour();

    ImplexeMarking& marking_;
    Colour colour_;
    ColourChooser chooser_;
    QPushButton* colourButton_ = nullptr;
    QButtonGroup* styles_ = nullptr;
};

// "Mise en page de l'impréssion": pages across and down, 1..8 each. The fields are the layout
// itself: "+" and "-" first take both texts (refusing them as OK does), then change their count
// by one, wrapping from 8 to 1 and from 1 to 8, and show the counts again, so that their effect
// stays when the dialog is cancelled. A typed count is taken only by OK or by one of those buttons.
// Under them, the assembly aid: the overlap of neighbouring sheets in millimetres (0..20) and the
// cut marks with the sheets' names, taken by OK only.
class PrintLayoutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit PrintLayoutDialog(PageLayout& layout, QWidget* parent = nullptr,
                               Reporter* reporter = nullptr);
    void accept() override;

private:
    // Tells why the first of the fields cannot be taken and gives it the focus; false when all can.
    bool refused(std::initializer_list<BoundedSpinBox*> boxes);
    bool takeTexts();
    void showCounts();
    void step(int32_t PageLayout::*count, bool up);

    PageLayout& layout_;
    Reporter* reporter_;
    BoundedSpinBox* wide_ = nullptr;
    BoundedSpinBox* high_ = nullptr;
    BoundedSpinBox* overlap_ = nullptr;
    QCheckBox* cutMarks_ = nullptr;
};

// The font of a text kind at `pointSize` points: face, weight, italic, underline, strike-out.
QFont FontFromLogFont(const LogFont& font, int pointSize);
// `base` with what a font chooser returned: face (cut to 31 bytes on a character boundary),
// weight, italic, underline and strike-out; the height is that of `pointSize` points at
// `dotsPerInch`, given as the negative character height in pixels (how the canvas reads a negative
// lfHeight); width, escapement and orientation 0; the other fields are kept.
LogFont LogFontFromFont(const QFont& font, const LogFont& base, int pointSize, double dotsPerInch);

// The standard font chooser on a copy of a font, scalable faces only, its size held at 15 points,
// with a colour button among the effects for the text colour.
class FontChoiceDialog final : public QFontDialog {
    Q_OBJECT

public:
    static constexpr int kPointSize = 15;

    FontChoiceDialog(const LogFont& font, Colour colour, QWidget* parent = nullptr);
    void setColourChooser(ColourChooser chooser) { chooser_ = std::move(chooser); }
    // The accepted font, at 15 points on this dialog's screen. A face the system stands another
    // one in for keeps its name when the user left the stand-in selected.
    LogFont chosenFont() const;
    Colour chosenColour() const { return colour_; }

private:
    void holdSize();
    void chooseColour();

    LogFont base_;
    Colour colour_;
    ColourChooser chooser_;
    QPushButton* colourButton_ = nullptr;
};

// Run the dialogs modally. Each returns true when the user pressed OK; the settings are changed
// only then (the print layout's "+" and "-" excepted).
bool RunSpacingDialog(QWidget* parent, int32_t& interval, Reporter* reporter = nullptr);
bool RunPenWidthDialog(QWidget* parent, int32_t& width, Reporter* reporter = nullptr);
bool RunBoxRatioDialog(QWidget* parent, int32_t& ratio, Reporter* reporter = nullptr);
bool RunGenerationsDialog(QWidget* parent, int32_t& ascendants, int32_t& descendants,
                          Reporter* reporter = nullptr);
bool RunEmptyBoxesDialog(QWidget* parent, EmptyBoxes& boxes, Reporter* reporter = nullptr);
bool RunImplexeDialog(QWidget* parent, ImplexeMarking& marking);
bool RunPrintLayoutDialog(QWidget* parent, PageLayout& layout, Reporter* reporter = nullptr);
// Replaces `font` and `colour` by the user's choice; nothing changes on cancel.
bool RunFontDialog(QWidget* parent, LogFont& font, Colour& colour);

} // namespace arbolix
