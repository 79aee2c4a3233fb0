#pragma once

#include "intnr/Renaming.h"
#include "model/Fahrzeug.h"
#include "shell/Settings.h"
#include "util/Clock.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarmelo::gui {

// "Aktualisierung interner Nummern": new typed numbers for many vehicles at once, previewed row by row.
class TformUpdateIntNr : public QDialog {
    Q_OBJECT
public:
    TformUpdateIntNr(model::Inventory& vehicles, shell::Settings& settings, Clock clock, QWidget* parent = nullptr);

    // Set by OK once the ticked vehicles have their new numbers.
    bool numbersChanged() const { return numbersChanged_; }
    intnr::RenameOptions options() const;
    QList<bool> ticks() const;
    QStringList previewTexts() const;

    void RefreshIntNrList();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void rbRenameMaskClick();
    void rbDeleteCharClick();
    void sbClick(int tag);
    void btnSelectAllClick();
    void btnSelectNoneClick();
    void IntNrListChange(QTreeWidgetItem* item, int column);
    void RefreshTimerTimer();
    void btnOKClick();
    void setAllTicks(bool on);
    void paintRow(QTreeWidgetItem* item);

    model::Inventory& vehicles_;
    shell::Settings& settings_;
    Clock clock_;
    bool numbersChanged_ = false;
    bool refreshAllowed_ = false;
    bool shown_ = false;

    QTreeWidget* IntNrList = nullptr;
    QRadioButton* rbRenameMask = nullptr;
    QRadioButton* rbDeleteChar = nullptr;
    QComboBox* comboRenameMask = nullptr;
    QToolButton* sb[4] = {};
    QSpinBox* seBeginning = nullptr;
    QSpinBox* seEnding = nullptr;
    QSpinBox* seStart = nullptr;
    QSpinBox* seStep = nullptr;
    QComboBox* comboDigits = nullptr;
    QCheckBox* cbSkipNonSelected = nullptr;
    QLineEdit* leSearch = nullptr;
    QLineEdit* leReplace = nullptr;
    QPushButton* btnOK = nullptr;
    QTimer* RefreshTimer = nullptr;
};

} // namespace tarmelo::gui
