#pragma once

#include "model/PriceChange.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarmelo::gui {

// "Preise ändern": one change for the vehicles at rows, with a preview of every old and new price. The dialog
// changes nothing; after "OK" the caller applies preview().
class TformPriceChange : public QDialog {
    Q_OBJECT
public:
    TformPriceChange(const model::Inventory& vehicles, const QList<int>& rows, QWidget* parent = nullptr);

    model::PriceChange change() const;
    const model::PricePreview& preview() const { return preview_; }

private:
    void updatePreview();

    const model::Inventory vehicles_;
    const QList<int> rows_;
    model::PricePreview preview_;
    QComboBox* step_;
    QComboBox* direction_;
    QDoubleSpinBox* value_;
    QCheckBox* price_;
    QCheckBox* dealer_;
    QComboBox* rounding_;
    QComboBox* basis_;
    QCheckBox* useFloor_;
    QDoubleSpinBox* floor_;
    QTreeWidget* list_;
    QLabel* refusal_;
    QPushButton* ok_;
};

} // namespace tarmelo::gui
