#pragma once

#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

namespace tarmelo::test {

// Clicks the check box of a row the way a person does.
inline void clickCheckBox(QTreeWidget* tree, int row) {
    const QModelIndex index = tree->model()->index(row, 0);
    tree->scrollTo(index);
    QStyleOptionViewItem opt;
    opt.initFrom(tree);
    opt.rect = tree->visualRect(index);
    opt.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
}

// Clicks a row the way a person does: scrolled into view, then a click on its rectangle in the viewport.
inline void clickRow(QTreeWidget* tree, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTreeWidgetItem* item = tree->topLevelItem(row);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers, tree->visualItemRect(item).center());
}

// Double-clicks at a point of a view's viewport as a person does: the press of the first click comes before the
// double click, which an item view needs to see its item.
inline void doubleClick(QAbstractItemView* view, QPoint at) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace tarmelo::test
