#include "app/ui/person_card_sheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "app/chart_document.h"
#include "app/ui/wait_cursor.h"
#include "data/encoding.h"

namespace arbolix {

namespace {

QString FromWindows1252(const std::string& text) {
    return QString::fromStdString(Windows1252ToUtf8(text));
}

QLineEdit* ReadOnlyField(const std::string& value, QWidget* parent) {
    auto* field = new QLineEdit(FromWindows1252(value), parent);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    return field;
}

} // namespace

PersonCardSheet::PersonCardSheet(const PersonCard& card, QWidget* parent)
    : QDialog(parent), pages_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Fiche"));
    QGridLayout* grids[3] = {};
    int rows[3] = {0, 1, 1}; // the event pages have a header row
    for (CardPage page : {CardPage::Personal, CardPage::Events, CardPage::Religion}) {
        auto* widget = new QWidget(pages_);
        auto* grid = new QGridLayout(widget);
        grid->setColumnStretch(2, 1);
        if (page != CardPage::Personal) {
            grid->addWidget(new QLabel(QStringLiteral("Date"), widget), 0, 1);
            grid->addWidget(new QLabel(QStringLiteral("Lieu"), widget), 0, 2);
        }
        grids[static_cast<int>(page)] = grid;
        pages_->addTab(widget, QString::fromUtf8(CardPageTitle(page)));
    }
    const char* lastLabel = nullptr;
    int labelWidth = 0; // the fields line up from one page to the next
    for (const CardField& field : CardFields(card)) {
        const int index = static_cast<int>(field.page);
        QGridLayout* grid = grids[index];
        QWidget* page = grid->parentWidget();
        if (field.label != lastLabel) {
            auto* label = new QLabel(QString::fromUtf8(field.label), page);
            labelWidth = std::max(labelWidth, label->sizeHint().width());
            grid->addWidget(label, rows[index]++, 0);
            lastLabel = field.label;
        }
        QLineEdit* edit = ReadOnlyField(field.value, page);
        const QString column = QString::fromUtf8(field.column);
        edit->setObjectName(QString::fromUtf8(field.label) +
                            (column.isEmpty() ? QString() : QLatin1Char(' ') + column));
        const int row = rows[index] - 1;
        if (field.page == CardPage::Personal)
            grid->addWidget(edit, row, 1, 1, 2);
        else
            grid->addWidget(edit, row, column == QLatin1String("lieu") ? 2 : 1);
        fields_.push_back(edit);
    }
    for (int i = 0; i < 3; ++i) {
        grids[i]->setColumnMinimumWidth(0, labelWidth);
        grids[i]->setRowStretch(rows[i], 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
}

void ShowPersonCard(QWidget* parent, ChartDocument& document, int32_t xref) {
    std::optional<PersonCard> card;
    {
        WaitCursor wait;
        card = PersonCardOf(document, xref);
    }
    if (!card) return;
    PersonCardSheet sheet(*card, parent);
    sheet.exec();
}

} // namespace arbolix
