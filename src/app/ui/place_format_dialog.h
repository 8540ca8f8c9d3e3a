#pragma once
// "Choix format des places du format Gedcom": sample places of a file in five columns under the
// titles of the roles the format gives them, four "<->" buttons that exchange the roles of two
// neighbouring columns (the samples stay where they are, so the user moves the titles until each
// stands over its data), the role codes above the columns, and a line under the table telling how
// the first sample would be read. The buttons change the format itself, so Annuler keeps their
// work too; the caller writes the format whatever closed the dialog.
//
// Object names, for findChild<>(): "table" (QTableWidget), "swap1" .. "swap4" (QPushButton;
// swapK exchanges columns K and K + 1, counted from 1), "role0" .. "role4" (QLineEdit),
// "reading" (QLabel), "readingFlag" (QLabel showing the flag).

#include <QDialog>

#include <array>
#include <string>
#include <vector>

#include "base/place_format.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace arbolix {

class PlaceFormatDialog final : public QDialog {
    Q_OBJECT
public:
    // `samples` are PLAC values in Windows-1252 (ReadPlaceSamples) of `sampleFile` (UTF-8; empty
    // when no file was opened yet), which is named when it gives none.
    PlaceFormatDialog(PlaceFormat& format, std::vector<std::string> samples,
                      const std::string& sampleFile = {}, QWidget* parent = nullptr);

    // Exchanges the roles of columns `left` and `left` + 1 (counted from 0).
    void swapColumns(int left);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showRoles();
    void placeAboveColumns();

    PlaceFormat& format_;
    std::vector<std::string> samples_;
    QString noSample_; // what the reading line says without samples
    QTableWidget* table_ = nullptr;
    QWidget* strip_ = nullptr; // the role fields and the buttons above the table
    std::array<QLineEdit*, 5> roles_{};
    std::array<QPushButton*, 4> swaps_{};
    QLabel* reading_ = nullptr;
    QLabel* flag_ = nullptr;
};

// Runs the dialog on `format` with the samples of `sampleFile` (none when it is empty or cannot
// be read).
void RunPlaceFormatDialog(QWidget* parent, PlaceFormat& format, const std::string& sampleFile);

} // namespace arbolix
