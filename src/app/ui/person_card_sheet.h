#pragma once
// The sheet "Fiche": the person card on three pages, "Personnel", "Evénement" and "Religion", one
// read-only field per fact of the file (dates and places side by side for the events).

#include <QDialog>

#include <cstdint>
#include <vector>

#include "app/person_card.h"

class QLineEdit;
class QTabWidget;

namespace arbolix {

class ChartDocument;

class PersonCardSheet final : public QDialog {
    Q_OBJECT

public:
    explicit PersonCardSheet(const PersonCard& card, QWidget* parent = nullptr);
    QTabWidget* pages() const { return pages_; }
    // The fields in the order of CardFields().
    const std::vector<QLineEdit*>& fields() const { return fields_; }

private:
    QTabWidget* pages_;
    std::vector<QLineEdit*> fields_;
};

// Ctrl + right click on a box: reads the card of the person `xref` from the document's file and
// shows it modally over `parent` (nothing without a file; a failure is reported instead).
void ShowPersonCard(QWidget* parent, ChartDocument& document, int32_t xref);

} // namespace arbolix
