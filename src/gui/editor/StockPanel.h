#pragma once

#include "model/Stock.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QToolButton;

namespace tarmelo::gui {

// Beside the page buttons: the shown vehicle's status, its days in stock and its price history. Only the dealer's
// choice in the status box writes anything, through statusChosen.
class StockPanel : public QWidget {
    Q_OBJECT
public:
    explicit StockPanel(QWidget* parent = nullptr);

    // Shows a vehicle's stock data as of today; nullptr shows none.
    void showStock(const model::StockInfo* stock, QDate today);

signals:
    void statusChosen(model::StockStatus status);

private:
    QComboBox* status_;
    QLabel* days_;
    QToolButton* history_;
};

} // namespace tarmelo::gui
