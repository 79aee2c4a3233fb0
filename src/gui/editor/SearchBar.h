#pragma once

#include "inventory/StockFilter.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarmelo::gui {

// Above the vehicle list: the search box (filters as one types; Escape clears it), the class drop-down ("alle" and
// the twelve classes), "nur fehlerhafte" and the switch to the sold vehicles. It only asks; the window decides what
// the list shows.
class SearchBar : public QWidget {
    Q_OBJECT
public:
    explicit SearchBar(QWidget* parent = nullptr);

    inventory::StockQuery query() const;
    // Whether the query lets anything less than the whole stock (or all sold vehicles) through.
    bool isActive() const;
    // "Verkaufte Fahrzeuge": the list shows the sold vehicles instead of the stock.
    bool soldView() const;
    void setSoldView(bool on);
    void focusSearch();
    // Back to the whole stock, sold ones hidden; announces the change only when something was set.
    void reset();

signals:
    void queryChanged();

private:
    QLineEdit* text_;
    QComboBox* klasse_;
    QCheckBox* faulty_;
    QCheckBox* sold_;
};

} // namespace tarmelo::gui
