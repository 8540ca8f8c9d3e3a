#pragma once
// The person selection dialog ("Ouverture fichier GED"): shown once a file is read, it lists the
// persons, shows the facts of the selected one, of the parents and spouses, and returns the root
// person with the kind of chart chosen by one of its four chart buttons.
//
// Every control has an object name, so that it can be found with findChild<>():
//   personList (QListView); nameEdit, birthEdit, deathEdit, placeEdit, descendantCount,
//   ancestorCount, fatherName, fatherPlace, fatherBirth, fatherDeath, motherName, motherPlace,
//   motherBirth, motherDeath, spouse1, spouse2, spouse3 (QLineEdit); descendantsButton,
//   ancestorsButton, bothButton, parentButton, fatherButton, motherButton, spouse1Button,
//   spouse2Button, spouse3Button, cancelButton (QPushButton).

#include <array>
#include <cstdint>
#include <optional>

#include <QDialog>

#include "tree/person_selection.h"
#include "tree/tree_compute.h"

class QLineEdit;
class QListView;
class QPushButton;

namespace arbolix {

class PersonListModel;
class Reporter;

class PersonSelectionDialog final : public QDialog {
    Q_OBJECT

public:
    // `reporter` receives the message about a wrong year; a message box shows it when null.
    // The store must stay unchanged while the dialog exists.
    PersonSelectionDialog(const PersonStore& store, QWidget* parent = nullptr,
                          Reporter* reporter = nullptr);
    ~PersonSelectionDialog() override;

    const PersonSelection& selection() const { return selection_; }
    // The person and the mode of the chart button that closed the dialog; nullopt before one did.
    std::optional<RootChoice> choice() const { return choice_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    QLineEdit* addField(const char* objectName, bool editable = false);
    QPushButton* addButton(const char* text, const char* objectName);

    void rowChosen(int row);
    void goTo(Relative relative);
    void chartChosen(int32_t mode);
    void showDetails();
    void showSelectedRowAtTop();

    PersonSelection selection_;
    Reporter* reporter_;
    std::optional<RootChoice> choice_;

    PersonListModel* model_ = nullptr;
    QListView* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* birth_ = nullptr;
    QLineEdit* death_ = nullptr;
    QLineEdit* place_ = nullptr;
    QLineEdit* descendants_ = nullptr;
    QLineEdit* ancestors_ = nullptr;
    struct ParentFields {
        QLineEdit* name = nullptr;
        QLineEdit* place = nullptr;
        QLineEdit* birth = nullptr;
        QLineEdit* death = nullptr;
        QPushButton* button = nullptr;
    };
    ParentFields father_;
    ParentFields mother_;
    std::array<QLineEdit*, 3> spouses_{};
    std::array<QPushButton*, 3> spouseButtons_{};
    QPushButton* descendantsButton_ = nullptr;
    QPushButton* ancestorsButton_ = nullptr;
    QPushButton* bothButton_ = nullptr;
    QPushButton* parentButton_ = nullptr;
};

// Asks the user through the dialog, modal over `parent`.
class DialogRootChooser final : public RootChooser {
public:
    explicit DialogRootChooser(QWidget* parent, Reporter* reporter = nullptr)
        : parent_(parent), reporter_(reporter) {}
    std::optional<RootChoice> choose(const PersonStore& store) override;

private:
    QWidget* parent_;
    Reporter* reporter_;
};

} // namespace arbolix
