#include "app/ui/person_dialog.h"

#include <QAbstractListModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <string>

#include "base/reporter.h"
#include "data/encoding.h"

namespace arbolix {
namespace {

QString FromWindows1252(const std::string& text) {
    return QString::fromStdString(Windows1252ToUtf8(text));
}

} // namespace

// The rows of the selection, read as they are shown: the list can hold a million persons, so no
// item is made for each. Finding a row by typing goes through the selection's own search, which
// follows the list's order (case and accents ignored).
class PersonListModel final : public QAbstractListModel {
public:
    PersonListModel(const PersonSelection& selection, QObject* parent)
        : QAbstractListModel(parent), selection_(selection) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : selection_.rowCount();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= selection_.rowCount()) return {};
        if (role == Qt::DisplayRole) return FromWindows1252(selection_.rowText(index.row()));
        if (role == Qt::UserRole) return selection_.personAt(index.row());
        return {};
    }

    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override {
        const bool typedSearch = role == Qt::DisplayRole && hits == 1 && start.isValid() &&
                                 (flags & Qt::MatchTypeMask) == Qt::MatchStartsWith &&
                                 !(flags & Qt::MatchCaseSensitive);
        if (!typedSearch) return QAbstractListModel::match(start, role, value, hits, flags);
        const std::string prefix = Utf8ToWindows1252(value.toString().toStdString());
        const int32_t row = selection_.findByPrefix(prefix, start.row());
        if (row < 0 || (row < start.row() && !(flags & Qt::MatchWrap))) return {};
        return {index(row)};
    }

private:
    const PersonSelection& selection_;
};

// ---------------------------------------------------------------------------------------------

PersonSelectionDialog::PersonSelectionDialog(const PersonStore& store, QWidget* parent,
                                             Reporter* reporter)
    : QDialog(parent), selection_(store), reporter_(reporter) {
    setWindowTitle(QStringLiteral("Ouverture fichier GED"));
    build();
    showDetails();
    showSelectedRowAtTop();
}

PersonSelectionDialog::~PersonSelectionDialog() = default;

QLineEdit* PersonSelectionDialog::addField(const char* objectName, bool editable) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(objectName));
    field->setReadOnly(!editable);
    return field;
}

QPushButton* PersonSelectionDialog::addButton(const char* text, const char* objectName) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::fromLatin1(objectName));
    // Enter in a year field must not close the dialog through a chart button.
    button->setAutoDefault(false);
    return button;
}

void PersonSelectionDialog::build() {
    model_ = new PersonListModel(selection_, this);
    list_ = new QListView(this);
    list_->setObjectName(QStringLiteral("personList"));
    list_->setModel(model_);
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setMinimumSize(260, 380);

    const auto label = [this](const char* text) {
        return new QLabel(QString::fromUtf8(text), this);
    };

    // The selected person.
    name_ = addField("nameEdit");
    birth_ = addField("birthEdit", true);
    death_ = addField("deathEdit", true);
    place_ = addField("placeEdit");
    descendants_ = addField("descendantCount");
    ancestors_ = addField("ancestorCount");
    auto* person = new QGridLayout;
    person->addWidget(name_, 0, 0, 1, 4);
    person->addWidget(label("Naissance"), 1, 0);
    person->addWidget(birth_, 1, 1);
    person->addWidget(label("Décès"), 1, 2);
    person->addWidget(death_, 1, 3);
    person->addWidget(label("Lieu"), 2, 0);
    person->addWidget(place_, 2, 1, 1, 3);
    person->addWidget(label("Descend :"), 3, 0);
    person->addWidget(descendants_, 3, 1);
    person->addWidget(label("Ascend:"), 3, 2);
    person->addWidget(ancestors_, 3, 3);

    const int yearWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    for (QLineEdit* year : {birth_, death_}) year->setMinimumWidth(yearWidth);

    // The parents: the button, then the name, the place and the years.
    const auto parentBox = [&](const char* title, ParentFields& fields, const char* prefix,
                               const char* buttonText, Relative relative) {
        const std::string name(prefix);
        fields.button = addButton(buttonText, (name + "Button").c_str());
        fields.name = addField((name + "Name").c_str());
        fields.place = addField((name + "Place").c_str());
        fields.birth = addField((name + "Birth").c_str());
        fields.death = addField((name + "Death").c_str());
        fields.button->setMaximumWidth(32);
        fields.place->setToolTip(QStringLiteral("Lieu"));
        fields.birth->setToolTip(QStringLiteral("Naissance"));
        fields.death->setToolTip(QString::fromUtf8("Décès"));
        for (QLineEdit* year : {fields.birth, fields.death}) year->setMinimumWidth(yearWidth);
        connect(fields.button, &QPushButton::clicked, this, [this, relative] { goTo(relative); });
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* grid = new QGridLayout(box);
        grid->addWidget(fields.button, 0, 0);
        grid->addWidget(fields.name, 0, 1, 1, 3);
        grid->addWidget(fields.place, 1, 1);
        grid->addWidget(fields.birth, 1, 2);
        grid->addWidget(fields.death, 1, 3);
        grid->setColumnStretch(1, 3);
        grid->setColumnStretch(2, 1);
        grid->setColumnStretch(3, 1);
        return box;
    };
    QGroupBox* fatherBox = parentBox("Père", father_, "father", "P", Relative::Father);
    QGroupBox* motherBox = parentBox("Mère", mother_, "mother", "M", Relative::Mother);

    // The first three spouses.
    auto* spouseBox = new QGroupBox(QStringLiteral("Conjoints"), this);
    auto* spouseGrid = new QGridLayout(spouseBox);
    for (int k = 0; k < 3; ++k) {
        const std::string number = std::to_string(k + 1);
        spouses_[static_cast<size_t>(k)] = addField(("spouse" + number).c_str());
        QPushButton* button = addButton(number.c_str(), ("spouse" + number + "Button").c_str());
        button->setMaximumWidth(32);
        spouseButtons_[static_cast<size_t>(k)] = button;
        const auto relative = static_cast<Relative>(static_cast<int>(Relative::Spouse1) + k);
        connect(button, &QPushButton::clicked, this, [this, relative] { goTo(relative); });
        spouseGrid->addWidget(label(("Epo " + number).c_str()), k, 0);
        spouseGrid->addWidget(spouses_[static_cast<size_t>(k)], k, 1);
        spouseGrid->addWidget(button, k, 2);
    }

    // The chart buttons and Annuler.
    descendantsButton_ = addButton("&Descen.", "descendantsButton");
    ancestorsButton_ = addButton("&Ascendance", "ancestorsButton");
    bothButton_ = addButton("Asc &+ Desc", "bothButton");
    parentButton_ = addButton("Epoux", "parentButton");
    QPushButton* cancel = addButton("Annuler", "cancelButton");
    const std::array<std::pair<QPushButton*, int32_t>, 4> charts{
        {{descendantsButton_, kModeDescendants},
         {ancestorsButton_, kModeAncestors},
         {bothButton_, kModeBoth},
         {parentButton_, kModeParent}}};
    auto* buttons = new QHBoxLayout;
    for (const auto& [button, mode] : charts) {
        connect(button, &QPushButton::clicked, this, [this, mode = mode] { chartChosen(mode); });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* details = new QVBoxLayout;
    details->addLayout(person);
    details->addWidget(fatherBox);
    details->addWidget(motherBox);
    details->addWidget(spouseBox);
    details->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0);
    grid->addLayout(details, 0, 1);
    grid->addLayout(buttons, 1, 0, 1, 2);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);

    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { rowChosen(current.row()); });
    // A click on the row still highlighted after a move to a person who is not listed.
    connect(list_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { rowChosen(index.row()); });
}

void PersonSelectionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only now has the list its size, to bring the row to the top.
    if (list_->currentIndex().isValid())
        list_->scrollTo(list_->currentIndex(), QAbstractItemView::PositionAtTop);
}

void PersonSelectionDialog::rowChosen(int row) {
    if (row < 0) return;
    if (row == selection_.selectedRow() && selection_.personAt(row) == selection_.selectedPerson())
        return;
    selection_.selectRow(row);
    showDetails();
}

void PersonSelectionDialog::goTo(Relative relative) {
    if (!selection_.goTo(relative).moved) return;
    showDetails();
    showSelectedRowAtTop();
}

void PersonSelectionDialog::showSelectedRowAtTop() {
    const int32_t row = selection_.selectedRow();
    if (row < 0 || selection_.personAt(row) != selection_.selectedPerson()) return;
    const QModelIndex index = model_->index(row);
    list_->setCurrentIndex(index);
    list_->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void PersonSelectionDialog::showDetails() {
    const PersonDetails details = selection_.details();
    name_->setText(FromWindows1252(details.name));
    birth_->setText(QString::number(details.birthYear));
    death_->setText(QString::number(details.deathYear));
    place_->setText(FromWindows1252(details.place));
    descendants_->setText(QString::number(details.descendantCount));
    ancestors_->setText(QString::number(details.ancestorCount));
    for (const auto& [fields, parent] :
         {std::pair{&father_, &details.father}, std::pair{&mother_, &details.mother}}) {
        fields->name->setText(FromWindows1252(parent->name));
        fields->place->setText(FromWindows1252(parent->place));
        fields->birth->setText(QString::number(parent->birthYear));
        fields->death->setText(QString::number(parent->deathYear));
        fields->button->setEnabled(parent->present);
    }
    for (size_t k = 0; k < 3; ++k) {
        spouses_[k]->setText(FromWindows1252(details.spouses[k]));
        spouseButtons_[k]->setEnabled(details.spouseEnabled[k]);
    }
    descendantsButton_->setEnabled(details.descendantsChart);
    ancestorsButton_->setEnabled(details.ancestorsChart);
    bothButton_->setEnabled(details.bothChart);
    parentButton_->setEnabled(details.parentChart);
}

void PersonSelectionDialog::chartChosen(int32_t mode) {
    const YearField wrong =
        FirstInvalidYear(birth_->text().toStdString(), death_->text().toStdString());
    if (wrong != YearField::None) {
        const Message message{YearFieldMessage(wrong), "arbolix", MessageIcon::Exclamation};
        if (reporter_ != nullptr) {
            reporter_->report(message);
        } else {
            QMessageBox::warning(this, QString::fromStdString(message.caption),
                                 QString::fromStdString(message.text));
        }
        QLineEdit* field = wrong == YearField::Birth ? birth_ : death_;
        field->setFocus();
        field->selectAll();
        return;
    }
    if (selection_.selectedPerson() == 0) return;
    choice_ = RootChoice{mode, selection_.selectedPerson()};
    accept();
}

// ---------------------------------------------------------------------------------------------

std::optional<RootChoice> DialogRootChooser::choose(const PersonStore& store) {
    // The file is read under the wait cursor; the user needs the ordinary one to choose.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    PersonSelectionDialog dialog(store, parent_, reporter_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (busy) QGuiApplication::restoreOverrideCursor();
    return accepted ? dialog.choice() : std::nullopt;
}

} // namespace arbolix
