#include "editor/VehicleList.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using tarmelo::editor::RowTexts;
using tarmelo::gui::VehicleList;

namespace {

QStringList captions(const VehicleList& list) {
    QStringList out;
    for (int r = 0; r < list.rowCount(); ++r)
        out << list.cellText(r, 0);
    return out;
}

struct VehicleListTest : testing::Test {
    VehicleList list;
    void fill(int n) {
        for (int i = 0; i < n; ++i)
            list.appendRow();
    }
};

TEST_F(VehicleListTest, ColumnsHaveDesignedCaptionsAndWidths) {
    const QStringList expected = {" Nr.",     "Marke",         "Modell",         "EZ", "TÜV",      "AU", "Laufleistung",
                                  "Leistung", "Preis (netto)", "Preis (brutto)", "",   "Standtage"};
    ASSERT_EQ(list.columnCount(), 12);
    for (int c = 0; c < 12; ++c)
        EXPECT_EQ(list.headerItem()->text(c), expected[c]) << c;
    EXPECT_EQ(list.columnWidths(), QList<int>({27, 85, 103, 55, 55, 55, 70, 54, 75, 75, 26, 70}));
    EXPECT_EQ(list.header()->visualIndex(VehicleList::kLightColumn), 1) << "the light beside the number";
    EXPECT_EQ(list.objectName(), "VehicleList");
    EXPECT_EQ(list.header()->sectionResizeMode(3), QHeaderView::Interactive);

    list.setColumnWidths({40, 0, 120});
    EXPECT_EQ(list.columnWidths().mid(0, 4), QList<int>({40, 85, 120, 55}));
}

TEST_F(VehicleListTest, AppendAndRemoveRenumberCaptions) {
    fill(5);
    EXPECT_EQ(captions(list), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(list.appendRow(), 5);
    list.removeRow(5);

    list.removeRow(1); // row 2 of 5
    EXPECT_EQ(captions(list), QStringList({"1", "2", "3", "4"}));
    list.removeRow(3);
    EXPECT_EQ(captions(list), QStringList({"1", "2", "3"}));
    list.clearRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.appendRow(), 0);
    EXPECT_EQ(captions(list), QStringList({"1"}));
}

TEST_F(VehicleListTest, RowTextsFillCellsAndDetail) {
    fill(2);
    RowTexts t;
    for (int i = 0; i < 9; ++i)
        t.cells[i] = QStringLiteral("c%1").arg(i + 1);
    t.detail = "Klima, AHK";
    list.setRowTexts(1, t);
    for (int c = 1; c <= 9; ++c)
        EXPECT_EQ(list.cellText(1, c), QStringLiteral("c%1").arg(c));
    EXPECT_EQ(list.cellText(1, 0), "2"); // the caption is not a cell
    EXPECT_EQ(list.detailText(1), "Klima, AHK");
    EXPECT_TRUE(list.cellText(0, 1).isEmpty());
    EXPECT_TRUE(list.detailText(0).isEmpty());
}

// Whoever shows a record relies on hearing of every change of the selection, whatever caused it.
TEST_F(VehicleListTest, EverySelectionChangeIsReported) {
    fill(5);
    QSignalSpy spy(&list, &VehicleList::currentRowChanged);
    for (int row : {2, 4, -1, 1}) {
        list.selectRow(row);
        ASSERT_FALSE(spy.isEmpty());
        EXPECT_EQ(spy.last(), QVariantList{QVariant(row)});
        EXPECT_EQ(list.selectedRow(), row);
    }
    // Removing the selected row moves or clears the selection; the last report says where it is now.
    const qsizetype before = spy.count();
    list.removeRow(1);
    ASSERT_GT(spy.count(), before);
    EXPECT_EQ(spy.last(), QVariantList{QVariant(list.selectedRow())});
    for (int r = 0; r < list.rowCount(); ++r)
        EXPECT_EQ(list.topLevelItem(r)->text(0), QString::number(r + 1));
    list.clearRows();
    EXPECT_EQ(spy.last(), QVariantList{QVariant(-1)});
}

TEST_F(VehicleListTest, DeleteKeyAsksForRemoval) {
    fill(3);
    list.selectRow(0);
    QSignalSpy spy(&list, &VehicleList::deletePressed);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(list.rowCount(), 3); // removal is the caller's decision
}

TEST_F(VehicleListTest, KeyboardMovesSelection) {
    fill(3);
    list.show();
    list.selectRow(0);
    QSignalSpy spy(&list, &VehicleList::currentRowChanged);
    QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0], QVariantList{QVariant(1)});
}

TEST_F(VehicleListTest, FirstThreeColumnsBoldAndRowsTall) {
    fill(3);
    list.resize(700, 300);
    list.show();
    QTreeWidgetItem* item = list.topLevelItem(1);
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(item->font(c).bold(), c < 3) << c;
    EXPECT_EQ(list.visualItemRect(item).height(), 32);
    EXPECT_EQ(list.visualItemRect(list.topLevelItem(2)).top() - list.visualItemRect(item).top(), 32);
}

TEST_F(VehicleListTest, SelectionColoursStayWhenUnfocused) {
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        EXPECT_EQ(list.palette().color(g, QPalette::Highlight), QColor(225, 233, 236));
        EXPECT_EQ(list.palette().color(g, QPalette::HighlightedText), QColor(0, 64, 128));
    }
}

} // namespace

namespace {

// What the user sees: the flat selection colour over both lines of the row and the detail text in blue.
TEST_F(VehicleListTest, PaintsSelectionAndDetailLine) {
    fill(3);
    RowTexts t;
    t.detail = QString(40, QChar(u'M'));
    list.setRowTexts(0, t);
    list.resize(700, 200);
    list.show();
    list.selectRow(1);
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.setFocus();
    const QImage image = list.viewport()->grab().toImage();

    const QRect selected = list.visualItemRect(list.topLevelItem(1));
    const int emptyCellX = list.header()->sectionViewportPosition(5) + 20;
    for (int y : {selected.top() + 2, selected.center().y(), selected.bottom() - 2})
        EXPECT_EQ(image.pixelColor(emptyCellX, y).name(), "#e1e9ec") << y;

    const QRect first = list.visualItemRect(list.topLevelItem(0));
    int bluePixels = 0, bluePixelsInUpperHalf = 0;
    for (int y = first.top(); y <= first.bottom(); ++y)
        for (int x = 0; x < 300; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 120 && c.green() < 120) {
                ++bluePixels;
                if (y < first.top() + first.height() / 2)
                    ++bluePixelsInUpperHalf;
                EXPECT_GE(x, 16);
            }
        }
    EXPECT_GT(bluePixels, 50);
    EXPECT_EQ(bluePixelsInUpperHalf, 0);
}

} // namespace
