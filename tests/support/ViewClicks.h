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

} // namespace tarmelo::test
