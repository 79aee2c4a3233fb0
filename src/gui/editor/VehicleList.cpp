#include "VehicleList.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
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
                     QStringLiteral("Leistung"), QStringLiteral("Preis (netto)"), QStringLiteral("Preis (brutto)"),
                     QString(), QStringLiteral("Standtage")});
    headerItem()->setToolTip(kLightColumn, QStringLiteral("Rot: bricht eine Regel, gelb: Warnung, grün: bereit"));
    // A first click sorts up, on the light the red ones first.
    for (int c = 0; c < kColumnCount; ++c)
        headerItem()->setData(c, Qt::InitialSortOrderRole,
                              int(c == kLightColumn ? Qt::DescendingOrder : Qt::AscendingOrder));
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
    // The light stands beside the number, where the eye starts.
    header()->moveSection(header()->visualIndex(kLightColumn), 1);
    setColumnWidths(designedColumnWidths());
    // Sorting is the window's: it knows the values behind the texts. The header only shows and asks. A click on the
    // column sorted by turns the direction; another column starts with its initial direction.
    header()->setSectionsClickable(true);
    setSortIndicator(0, Qt::AscendingOrder);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const Qt::SortOrder order = column == sortColumn_
                                        ? (sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder)
                                        : Qt::SortOrder(headerItem()->data(column, Qt::InitialSortOrderRole).toInt());
        setSortIndicator(column, order);
        emit sortRequested(column, order);
    });

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
    return {27, 85, 103, 55, 55, 55, 70, 54, 75, 75, 26, 70};
}

namespace {

constexpr int kRowRole = Qt::UserRole + 2;

void setRowNumber(QTreeWidgetItem* item, int row) {
    item->setText(0, QString::number(row + 1));
    item->setData(0, kRowRole, row);
}

QTreeWidgetItem* newRowItem(int row, const QFont& bold) {
    auto* item = new QTreeWidgetItem;
    setRowNumber(item, row);
    for (int c = 0; c < 3; ++c)
        item->setFont(c, bold);
    item->setTextAlignment(VehicleList::kDaysColumn, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QIcon lightIcon(csv::Light light) {
    static const std::array<QIcon, 3> icons = [] {
        std::array<QIcon, 3> out;
        const std::array<QColor, 3> colours = {QColor(40, 170, 60), QColor(240, 190, 0), QColor(220, 40, 30)};
        for (size_t i = 0; i < out.size(); ++i) {
            QPixmap pixmap(12, 12);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(colours[i].darker(140));
            p.setBrush(colours[i]);
            p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
            out[i] = QIcon(pixmap);
        }
        return out;
    }();
    return icons[size_t(light)];
}

} // namespace

int VehicleList::appendRow() {
    const int row = rowCount();
    QFont bold = font();
    bold.setBold(true);
    QTreeWidgetItem* item = newRowItem(row, bold);
    items_.append(item);
    lights_.append(-1);
    addTopLevelItem(item);
    return row;
}

void VehicleList::appendRows(const QList<editor::RowTexts>& rows) {
    QFont bold = font();
    bold.setBold(true);
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    int row = rowCount();
    for (const editor::RowTexts& texts : rows) {
        QTreeWidgetItem* item = newRowItem(row++, bold);
        for (int c = 0; c < int(texts.cells.size()); ++c)
            item->setText(c + 1, texts.cells[c]);
        item->setData(0, kDetailRole, texts.detail);
        items.append(item);
    }
    items_.append(items);
    lights_.append(QList<int>(items.size(), -1));
    addTopLevelItems(items);
}

void VehicleList::removeRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    // Qt reports the selection while the row is half removed, with positions that are about to shift:
    // one report once the rows are settled.
    removing_ = true;
    delete items_.takeAt(row);
    lights_.removeAt(row);
    for (int r = row; r < rowCount(); ++r)
        setRowNumber(items_[r], r);
    removing_ = false;
    emit currentRowChanged(selectedRow());
}

void VehicleList::setRowTexts(int row, const editor::RowTexts& texts) {
    QTreeWidgetItem* item = itemOfRow(row);
    if (!item)
        return;
    for (int c = 0; c < int(texts.cells.size()); ++c)
        item->setText(c + 1, texts.cells[c]);
    item->setData(0, kDetailRole, texts.detail);
}

void VehicleList::setDaysText(int row, const QString& text) {
    if (QTreeWidgetItem* item = itemOfRow(row); item && item->text(kDaysColumn) != text)
        item->setText(kDaysColumn, text);
}

void VehicleList::setLights(const QList<csv::Light>& lights) {
    for (int row = 0; row < rowCount() && row < lights.size(); ++row) {
        if (lights_[row] == int(lights[row]))
            continue;
        lights_[row] = int(lights[row]);
        items_[row]->setIcon(kLightColumn, lightIcon(lights[row]));
    }
}

std::optional<csv::Light> VehicleList::light(int row) const {
    const int l = lights_.value(row, -1);
    return l < 0 ? std::nullopt : std::optional(csv::Light(l));
}

void VehicleList::clearRows() {
    clear();
    items_.clear();
    lights_.clear();
}

int VehicleList::rowOfItem(const QTreeWidgetItem* item) const {
    return item ? item->data(0, kRowRole).toInt() : -1;
}

int VehicleList::selectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : rowOfItem(items.first());
}

void VehicleList::setRowOrder(const QList<int>& order) {
    if (order.size() != rowCount())
        return;
    bool same = true;
    for (int i = 0; i < order.size() && same; ++i)
        same = topLevelItem(i) == items_.value(order[i]);
    if (same)
        return;
    // The same vehicle stays selected: nothing to report while the items are taken out and put back.
    const int selected = selectedRow();
    QList<bool> hidden(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        hidden[row] = items_[row]->isHidden();
    removing_ = true;
    setUpdatesEnabled(false);
    invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> ordered;
    ordered.reserve(order.size());
    for (const int row : order)
        ordered.append(items_[row]);
    addTopLevelItems(ordered);
    for (int row = 0; row < rowCount(); ++row)
        if (hidden[row])
            items_[row]->setHidden(true);
    if (selected >= 0)
        selectRow(selected);
    removing_ = false;
    setUpdatesEnabled(true);
}

void VehicleList::setSortIndicator(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    // The order of the stock needs no arrow, and the narrow number column keeps its caption.
    header()->setSortIndicatorShown(column != 0 || order != Qt::AscendingOrder);
    header()->setSortIndicator(column, order);
}

void VehicleList::selectRow(int row) {
    QTreeWidgetItem* item = itemOfRow(row);
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
    const QTreeWidgetItem* item = itemOfRow(row);
    return item ? item->text(column) : QString();
}

QString VehicleList::detailText(int row) const {
    const QTreeWidgetItem* item = itemOfRow(row);
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
    for (int row = 0; row < rowCount(); ++row) {
        QTreeWidgetItem* item = items_[row];
        const bool hide = !shown.value(row, true);
        if (item->isHidden() != hide)
            item->setHidden(hide);
    }
    setUpdatesEnabled(true);
}

bool VehicleList::isRowShown(int row) const {
    const QTreeWidgetItem* item = itemOfRow(row);
    return item && !item->isHidden();
}

void VehicleList::setRowShown(int row, bool shown) {
    if (QTreeWidgetItem* item = itemOfRow(row); item && item->isHidden() == shown)
        item->setHidden(!shown);
}

int VehicleList::firstShownRow() const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (!topLevelItem(i)->isHidden())
            return rowOfItem(topLevelItem(i));
    return -1;
}

} // namespace tarmelo::gui
