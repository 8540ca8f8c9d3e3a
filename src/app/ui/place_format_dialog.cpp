#include "app/ui/place_format_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/encoding.h"
#include "data/place_samples.h"
#include "fills/qt_flags.h"

namespace arbolix {
namespace {

constexpr int kColumnTwips = 1402;
constexpr QSize kFlagShown(30, 20);

QString FromAnsi(std::string_view text) {
    return QString::fromStdString(Windows1252ToUtf8(text));
}

QString RoleTitle(int32_t role) {
    return QString::fromUtf8(PlaceRoleTitle(role));
}

// How the first sample is read: the town, the country and whether its flag is known.
QString ReadingText(const PlaceReading& reading) {
    const QString town = reading.town.empty()
                             ? QStringLiteral("pas de commune")
                             : QStringLiteral("commune « %1 »").arg(FromAnsi(reading.town));
    QString country = QStringLiteral("pas de pays");
    if (!reading.country.empty()) {
        country = QStringLiteral("pays « %1 »").arg(FromAnsi(reading.country));
        if (reading.flag == 0) country += QStringLiteral(", sans drapeau connu");
    }
    return QStringLiteral("Le premier lieu sera lu : %1, %2").arg(town, country);
}

QPixmap FlagPixmap(int32_t flag) {
    QPixmap pixmap(kFlagShown);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (!DrawFlag(painter, flag, QRectF(QPointF(0, 0), QSizeF(kFlagShown)))) return {};
    return pixmap;
}

} // namespace

PlaceFormatDialog::PlaceFormatDialog(PlaceFormat& format, std::vector<std::string> samples,
                                     const std::string& sampleFile, QWidget* parent)
    : QDialog(parent), format_(format), samples_(std::move(samples)) {
    setWindowTitle(QStringLiteral("Choix format des places du format Gedcom"));
    noSample_ = sampleFile.empty()
                    ? QStringLiteral("Aucun fichier ouvert récemment : pas d'exemple de lieu.")
                    : QStringLiteral("Aucun exemple de lieu dans %1.")
                          .arg(QString::fromStdString(sampleFile));

    table_ = new QTableWidget(static_cast<int>(samples_.size()), kPlaceFieldCount, this);
    table_->setObjectName(QStringLiteral("table"));
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setMinimumHeight(14 * table_->verticalHeader()->defaultSectionSize());
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int columnWidth = kColumnTwips * logicalDpiX() / 1440;
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < kPlaceFieldCount; ++column)
        table_->setColumnWidth(column, columnWidth);
    table_->setFixedWidth(kPlaceFieldCount * columnWidth + 2 * table_->frameWidth() +
                          table_->verticalScrollBar()->sizeHint().width());
    for (int row = 0; row < static_cast<int>(samples_.size()); ++row) {
        const auto fields = PlaceFields(samples_[static_cast<size_t>(row)]);
        for (int column = 0; column < kPlaceFieldCount; ++column) {
            auto* item = new QTableWidgetItem(FromAnsi(fields[static_cast<size_t>(column)]));
            item->setToolTip(item->text());
            table_->setItem(row, column, item);
        }
    }

    strip_ = new QWidget(this);
    for (int field = 0; field < kPlaceFieldCount; ++field) {
        auto* edit = new QLineEdit(strip_);
        edit->setObjectName(QStringLiteral("role%1").arg(field));
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(columnWidth - 8);
        roles_[static_cast<size_t>(field)] = edit;
    }
    for (int left = 0; left < kPlaceFieldCount - 1; ++left) {
        auto* button = new QPushButton(QStringLiteral("<->"), strip_);
        button->setObjectName(QStringLiteral("swap%1").arg(left + 1));
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("<->")) + 16);
        connect(button, &QPushButton::clicked, this, [this, left] { swapColumns(left); });
        swaps_[static_cast<size_t>(left)] = button;
    }
    const int rowHeight = std::max(roles_[0]->sizeHint().height(), swaps_[0]->sizeHint().height());
    strip_->setFixedHeight(2 * rowHeight + 4);

    reading_ = new QLabel(this);
    reading_->setObjectName(QStringLiteral("reading"));
    flag_ = new QLabel(this);
    flag_->setObjectName(QStringLiteral("readingFlag"));
    flag_->setFixedSize(kFlagShown);
    auto* readingRow = new QHBoxLayout;
    readingRow->addWidget(reading_, 1);
    readingRow->addWidget(flag_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(strip_);
    column->addWidget(table_);
    column->addLayout(readingRow);
    column->addWidget(buttons);
    showRoles();
}

void PlaceFormatDialog::swapColumns(int left) {
    format_.swapFields(left, left + 1);
    showRoles();
}

void PlaceFormatDialog::showRoles() {
    QStringList titles;
    for (int field = 0; field < kPlaceFieldCount; ++field) {
        const int32_t role = format_.role(field);
        titles << RoleTitle(role);
        roles_[static_cast<size_t>(field)]->setText(QString::number(role));
        roles_[static_cast<size_t>(field)]->setToolTip(RoleTitle(role));
    }
    table_->setHorizontalHeaderLabels(titles);
    if (samples_.empty()) {
        reading_->setText(noSample_);
        flag_->clear();
        return;
    }
    const PlaceReading reading = ReadPlaceWithFormat(samples_.front(), format_);
    reading_->setText(ReadingText(reading));
    flag_->setPixmap(FlagPixmap(reading.flag));
}

// The role fields stand over their columns, the buttons over the borders between them.
void PlaceFormatDialog::placeAboveColumns() {
    const QHeaderView* header = table_->horizontalHeader();
    const auto columnX = [&](int column) {
        const QPoint inTable(header->sectionViewportPosition(column), 0);
        return strip_->mapFrom(this, table_->viewport()->mapTo(this, inTable)).x();
    };
    const int rowHeight = strip_->height() / 2;
    for (int field = 0; field < kPlaceFieldCount; ++field) {
        QLineEdit* edit = roles_[static_cast<size_t>(field)];
        const int middle = columnX(field) + header->sectionSize(field) / 2;
        edit->move(middle - edit->width() / 2, rowHeight + (rowHeight - edit->height()) / 2);
    }
    for (int left = 0; left < kPlaceFieldCount - 1; ++left) {
        QPushButton* button = swaps_[static_cast<size_t>(left)];
        button->resize(button->width(), rowHeight - 2);
        button->move(columnX(left + 1) - button->width() / 2, 0);
    }
}

void PlaceFormatDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeAboveColumns();
}

void PlaceFormatDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    placeAboveColumns();
}

void RunPlaceFormatDialog(QWidget* parent, PlaceFormat& format, const std::string& sampleFile) {
    std::vector<std::string> samples;
    if (!sampleFile.empty()) samples = ReadPlaceSamples(sampleFile);
    PlaceFormatDialog(format, std::move(samples), sampleFile, parent).exec();
}

} // namespace arbolix
