#pragma once

#include "csv/StockCheck.h"
#include "editor/RowTexts.h"

#include <QList>
#include <QTreeWidget>
#include <optional>

class QAction;

namespace tarmelo::gui {

// The list of vehicles: one row per record, the caption (position + 1) in column 0, the cells in columns 1 to 9,
// the light in column 10 (shown second), the days in stock in column 11, and the detail line drawn in blue under
// the cells of each row. "Row" always means the vehicle's position in the inventory; the order the rows are shown
// in is the view's own (setRowOrder).
class VehicleList : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 12;
    static constexpr int kLightColumn = 10;
    static constexpr int kDaysColumn = 11;
    static constexpr int kRowHeight = 32;
    // The detail text is kept in this role of column 0.
    static constexpr int kDetailRole = Qt::UserRole + 1;

    explicit VehicleList(QWidget* parent = nullptr);

    // Appends a row with the caption "count" and empty cells; returns its index.
    int appendRow();
    // Appends one complete row per entry in a single insertion; the view is told once, not once per cell.
    void appendRows(const QList<editor::RowTexts>& rows);
    // Removes the row and renumbers the captions from there on.
    void removeRow(int row);
    void setRowTexts(int row, const editor::RowTexts& texts);
    void setDaysText(int row, const QString& text);
    // One light per row; only rows whose light changed are drawn anew.
    void setLights(const QList<csv::Light>& lights);
    // The light shown in a row; nullopt when none is.
    std::optional<csv::Light> light(int row) const;
    void clearRows();
    int rowCount() const { return int(items_.size()); }
    // The item that shows a row (nullptr: none).
    QTreeWidgetItem* itemOfRow(int row) const { return items_.value(row); }

    // Shows the rows in this order (every row once); the selection and the hidden rows stay as they are.
    void setRowOrder(const QList<int>& order);
    // The arrow in the header; a click on a header asks for sortRequested with the column and the new direction.
    void setSortIndicator(int column, Qt::SortOrder order);

    // A filter: the rows whose entry is false are hidden, a missing entry shows its row. Rows keep their positions,
    // so a row is always the vehicle at that position of the inventory.
    void setRowsShown(const QList<bool>& shown);
    bool isRowShown(int row) const;
    void setRowShown(int row, bool shown);
    // The row shown first from the top (-1: none is shown).
    int firstShownRow() const;

    int selectedRow() const;
    // Selects the row, makes it current and scrolls it into view; -1 clears the selection.
    void selectRow(int row);

    QString cellText(int row, int column) const;
    QString detailText(int row) const;

    void setContextActions(const QList<QAction*>& actions);

    QList<int> columnWidths() const;
    // Widths that are missing or not positive keep the current width.
    void setColumnWidths(const QList<int>& widths);
    static QList<int> designedColumnWidths();

signals:
    // The selection changed, by the user or the program; current is the selected row (-1: none). Who shows a
    // record keeps track of which one that is: the list never blocks or drops this signal.
    void currentRowChanged(int current);
    void deletePressed();
    void sortRequested(int column, Qt::SortOrder order);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int rowOfItem(const QTreeWidgetItem* item) const;

    bool removing_ = false;
    QList<QTreeWidgetItem*> items_; // by position in the inventory
    QList<int> lights_;             // csv::Light per row, -1 none
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace tarmelo::gui
