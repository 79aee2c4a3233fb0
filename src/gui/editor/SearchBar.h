#pragma once

#include "inventory/StockFilter.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarmelo::gui {

// Above the vehicle list: the search box (filters as one types; Escape clears it), the class drop-down ("alle" and
// the twelve classes) and "nur fehlerhafte". It only asks; the window decides what the list shows.
class SearchBar : public QWidget {
    Q_OBJECT
public:
    explicit SearchBar(QWidget* parent = nullptr);

    inventory::StockQuery query() const;
    // Whether the query lets anything less than the whole stock through.
    bool isActive() const;
    void focusSearch();
    // Back to the whole stock; announces the change only when something was set.
    void reset();

signals:
    void queryChanged();

private:
    QLineEdit* text_;
    QComboBox* klasse_;
    QCheckBox* faulty_;
};

} // namespace tarmelo::gui
