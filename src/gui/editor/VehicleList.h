#pragma once

#include "editor/RowTexts.h"

#include <QList>
#include <QTreeWidget>

class QAction;

namespace tarmelo::gui {

// The list of vehicles: one row per record, the caption (position + 1) in column 0, the cells in columns 1 to 9
// and the detail line drawn in blue under the cells of each row.
class VehicleList : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 10;
    static constexpr int kRowHeight = 32;
    // The detail text is kept in this role of column 0.
    static constexpr int kDetailRole = Qt::UserRole + 1;

    explicit VehicleList(QWidget* parent = nullptr);

    // Appends a row with the caption "count" and empty cells; returns its index.
    int appendRow();
    // Removes the row and renumbers the captions from there on. Removing the selected row leaves no row
    // selected and emits currentRowChanged(-1, -1): the row that was left no longer exists.
    void removeRow(int row);
    void setRowTexts(int row, const editor::RowTexts& texts);
    // Removes every row; emits currentRowChanged(-1, -1) when a row was selected.
    void clearRows();
    int rowCount() const { return topLevelItemCount(); }

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
    // The selected row changed (-1: none); previous is -1 when that row no longer exists.
    void currentRowChanged(int current, int previous);
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void onSelectionChanged();

    int m_selected = -1;
    bool m_quiet = false; // set while rows are removed, which moves the selection by itself
};

} // namespace tarmelo::gui
