#include "VehicleList.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace tarmelo::gui {

namespace {

constexpr int kDetailIndent = 16;
const QColor kSelection(225, 233, 236);
const QColor kSelectionText(0, 64, 128);
const QColor kDetailColour(0, 0, 255);

// Draws the cells in the upper half of the 32-pixel row; the lower half belongs to the detail line.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), VehicleList::kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.state &= ~QStyle::State_HasFocus;
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        // The selection is a flat fill over the full height, so it covers the detail line too; styles that
        // draw it as a gradient would change the designed colour.
        if (opt.state & QStyle::State_Selected) {
            const QPalette::ColorGroup group = opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
            painter->fillRect(opt.rect, opt.palette.brush(group, QPalette::Highlight));
            opt.palette.setColor(group, QPalette::Text, opt.palette.color(group, QPalette::HighlightedText));
            opt.state &= ~QStyle::State_Selected;
        } else {
            style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
        }
        opt.backgroundBrush = Qt::NoBrush;
        opt.rect.setHeight(option.rect.height() / 2);
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    }
};

} // namespace

VehicleList::VehicleList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("VehicleList"));
    setColumnCount(kColumnCount);
    setHeaderLabels({QStringLiteral(" Nr."), QStringLiteral("Marke"), QStringLiteral("Modell"), QStringLiteral("EZ"),
                     QStringLiteral("TÜV"), QStringLiteral("AU"), QStringLiteral("Laufleistung"),
                     QStringLiteral("Leistung"), QStringLiteral("Preis (netto)"), QStringLiteral("Preis (brutto)")});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row has the same height: lets the view skip measuring each row of a long inventory.
    setUniformRowHeights(true);
    setItemDelegate(new CellDelegate(this));
    // allColumnsShowFocus stays off: the row focus frame of some styles paints over the selection colour.

    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setSectionsMovable(false);
    setColumnWidths(designedColumnWidths());

    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, kSelection);
        pal.setColor(group, QPalette::HighlightedText, kSelectionText);
    }
    setPalette(pal);

    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!removing_)
            emit currentRowChanged(selectedRow());
    });
}

QList<int> VehicleList::designedColumnWidths() {
    return {27, 85, 103, 55, 55, 55, 70, 54, 75, 75};
}

namespace {
QTreeWidgetItem* newRowItem(int row, const QFont& bold) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::number(row + 1));
    for (int c = 0; c < 3; ++c)
        item->setFont(c, bold);
    return item;
}
} // namespace

int VehicleList::appendRow() {
    const int row = topLevelItemCount();
    QFont bold = font();
    bold.setBold(true);
    addTopLevelItem(newRowItem(row, bold));
    return row;
}

void VehicleList::appendRows(const QList<editor::RowTexts>& rows) {
    QFont bold = font();
    bold.setBold(true);
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    int row = topLevelItemCount();
    for (const editor::RowTexts& texts : rows) {
        QTreeWidgetItem* item = newRowItem(row++, bold);
        for (int c = 0; c < int(texts.cells.size()); ++c)
            item->setText(c + 1, texts.cells[c]);
        item->setData(0, kDetailRole, texts.detail);
        items.append(item);
    }
    addTopLevelItems(items);
}

void VehicleList::removeRow(int row) {
    if (row < 0 || row >= topLevelItemCount())
        return;
    // Qt reports the selection while the row is half removed, with positions that are about to shift:
    // one report once the rows are settled.
    removing_ = true;
    delete takeTopLevelItem(row);
    for (int r = row; r < topLevelItemCount(); ++r)
        topLevelItem(r)->setText(0, QString::number(r + 1));
    removing_ = false;
    emit currentRowChanged(selectedRow());
}

void VehicleList::setRowTexts(int row, const editor::RowTexts& texts) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    for (int c = 0; c < int(texts.cells.size()); ++c)
        item->setText(c + 1, texts.cells[c]);
    item->setData(0, kDetailRole, texts.detail);
}

void VehicleList::clearRows() {
    clear();
}

int VehicleList::selectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.first());
}

void VehicleList::selectRow(int row) {
    QTreeWidgetItem* item = row >= 0 ? topLevelItem(row) : nullptr;
    if (!item) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

QString VehicleList::cellText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

QString VehicleList::detailText(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kDetailRole).toString() : QString();
}

void VehicleList::setContextActions(const QList<QAction*>& actions) {
    for (QAction* a : this->actions())
        removeAction(a);
    addActions(actions);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QList<int> VehicleList::columnWidths() const {
    QList<int> widths;
    for (int c = 0; c < kColumnCount; ++c)
        widths.append(columnWidth(c));
    return widths;
}

void VehicleList::setColumnWidths(const QList<int>& widths) {
    for (int c = 0; c < kColumnCount && c < widths.size(); ++c)
        if (widths[c] > 0)
            setColumnWidth(c, widths[c]);
}

void VehicleList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deletePressed();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void VehicleList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QTreeWidget::drawRow(painter, option, index);

    const int top = option.rect.top() + option.rect.height() / 2;
    const int left = -horizontalScrollBar()->value();
    const int right = left + std::max(header()->length(), viewport()->width());
    painter->save();
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(left + kDetailIndent, top, right, top);
    const QString detail = index.siblingAtColumn(0).data(kDetailRole).toString();
    if (!detail.isEmpty()) {
        const QRect textRect(left + kDetailIndent, top + 1, right - left - kDetailIndent - 4,
                             option.rect.bottom() - top);
        painter->setFont(font());
        painter->setPen(kDetailColour);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          painter->fontMetrics().elidedText(detail, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

void VehicleList::setRowsShown(const QList<bool>& shown) {
    setUpdatesEnabled(false);
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        const bool hide = !shown.value(row, true);
        if (item->isHidden() != hide)
            item->setHidden(hide);
    }
    setUpdatesEnabled(true);
}

bool VehicleList::isRowShown(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && !item->isHidden();
}

} // namespace tarmelo::gui
