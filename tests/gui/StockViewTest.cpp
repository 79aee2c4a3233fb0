// The list as a view of the stock, used as a dealer does: header clicks sort it, the status box sends a vehicle
// to the sold ones and back, the light and the days in stock stand in their columns, the price history under its
// button.
#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "support/TestVehicles.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace tarmelo;
using gui::TformMain;
using gui::VehicleList;

namespace {

const QDate kToday(2026, 12, 9);

class StockViewTest : public testing::Test {
protected:
    void SetUp() override {
        gui::Dialogs::setTestMode(true);
        w.setClock(fixedClock(QDateTime(kToday, QTime(10, 0))));
        const char* km[] = {"50000", "9000", "120000", "", "30000"};
        model::Inventory inv;
        for (const char* k : km) {
            model::TFahrzeug v = test::validVehicle(1);
            v.kilometer = k;
            inv.append(v);
        }
        w.setInventory(inv);
        show(w);
    }
    void TearDown() override { gui::Dialogs::setTestMode(false); }

    static void show(TformMain& window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // The rows from the top down as the dealer sees them.
    static QList<int> seen(const TformMain& window) {
        QList<int> rows;
        for (int i = 0; i < window.list()->topLevelItemCount(); ++i)
            if (!window.list()->topLevelItem(i)->isHidden())
                rows << window.list()->topLevelItem(i)->text(0).toInt() - 1;
        return rows;
    }
    // Clicks the row of a vehicle wherever the view shows it.
    static void clickVehicle(VehicleList* list, int row) {
        QTreeWidgetItem* item = list->itemOfRow(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    static void clickHeader(const TformMain& window, int column) {
        QHeaderView* h = window.list()->header();
        const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
    }
    template <class T> T* child(const char* name) const { return w.findChild<T*>(QLatin1StringView(name)); }

    TformMain w;
};

TEST_F(StockViewTest, AHeaderClickSortsTheViewAndNeverTheStock) {
    const model::Inventory before = w.vehicles();
    const bool saved = w.isSaved();
    test::clickRow(w.list(), 2);
    ASSERT_EQ(w.shownRow(), 2);
    const struct {
        int column;
        QList<int> rows;
    } clicks[] = {
        {6, {1, 4, 0, 2, 3}},                         // mileage as numbers, the empty one last
        {6, {2, 0, 4, 1, 3}},                         // again: the other way, the empty one still last
        {VehicleList::kLightColumn, {3, 0, 1, 2, 4}}, // red first (no mileage), then yellow (no photo)
        {0, {0, 1, 2, 3, 4}},                         // the number: the order of the stock
    };
    for (const auto& c : clicks) {
        clickHeader(w, c.column);
        EXPECT_EQ(seen(w), c.rows) << c.column;
        EXPECT_EQ(w.list()->selectedRow(), 2) << "the same vehicle stays selected";
        EXPECT_EQ(w.shownRow(), 2);
    }
    EXPECT_EQ(w.vehicles(), before);
    EXPECT_EQ(w.isSaved(), saved);

    // The topmost row of a sorted list is the vehicle it shows; the arrow key goes to the next one shown.
    clickHeader(w, 6);
    clickHeader(w, 6);
    test::clickRow(w.list(), 0);
    EXPECT_EQ(w.shownRow(), 2);
    QTest::keyClick(w.list(), Qt::Key_Down);
    EXPECT_EQ(w.shownRow(), 0);

    // Kept in the settings: the next start shows the same order.
    const shell::Settings kept = w.currentSettings();
    EXPECT_EQ(kept.SortColumn, 6);
    EXPECT_TRUE(kept.SortDescending);
    TformMain next;
    next.applySettings(kept);
    next.setInventory(before);
    EXPECT_EQ(seen(next), QList<int>({2, 0, 4, 1, 3}));
}

TEST_F(StockViewTest, ASoldVehicleMovesToItsViewAndComesBack) {
    test::clickRow(w.list(), 1);
    auto* status = child<QComboBox>("cmbStatus");
    ASSERT_EQ(status->currentText(), QStringLiteral("verfügbar"));
    status->setFocus();
    QTest::keyClick(status, Qt::Key_Down);
    EXPECT_EQ(w.vehicles()[1].bestand.status, model::StockStatus::Reserved);
    EXPECT_TRUE(w.list()->isRowShown(1)) << "a reserved vehicle stays in the stock";
    QTest::keyClick(status, Qt::Key_Down);
    EXPECT_EQ(w.vehicles()[1].bestand.status, model::StockStatus::Sold);
    EXPECT_EQ(w.vehicles()[1].bestand.sold, kToday);
    EXPECT_FALSE(w.list()->isRowShown(1));
    EXPECT_NE(w.shownRow(), 1);
    EXPECT_FALSE(w.isSaved());

    auto* soldView = child<QCheckBox>("chkSoldView");
    QTest::mouseClick(soldView, Qt::LeftButton, {}, QPoint(4, soldView->height() / 2));
    EXPECT_EQ(seen(w), QList<int>({1}));
    EXPECT_EQ(child<QLabel>("lblFilter")->text(), QStringLiteral("1 von 1 verkauften Fahrzeugen"));
    clickVehicle(w.list(), 1);
    ASSERT_EQ(w.shownRow(), 1);
    EXPECT_EQ(status->currentText(), QStringLiteral("verkauft"));
    status->setFocus();
    QTest::keyClick(status, Qt::Key_Home);
    EXPECT_EQ(w.vehicles()[1].bestand.status, model::StockStatus::Available);
    EXPECT_FALSE(w.vehicles()[1].bestand.sold.isValid());
    EXPECT_TRUE(seen(w).isEmpty());
    QTest::mouseClick(soldView, Qt::LeftButton, {}, QPoint(4, soldView->height() / 2));
    EXPECT_EQ(seen(w), QList<int>({0, 1, 2, 3, 4}));
    EXPECT_TRUE(child<QLabel>("lblFilter")->text().isEmpty());
}

TEST_F(StockViewTest, LightDaysAndPriceHistoryOfEachVehicle) {
    model::Inventory inv = w.vehicles();
    inv[0].bestand.entered = kToday.addDays(-10);
    inv[0].bestand.prices = {{QDate(2026, 11, 2), "preis", 13490, 12990}, {QDate(2026, 12, 1), "hpreis", 0, 9999.5}};
    inv[1].bestand.entered = kToday.addDays(-8);
    inv[1].bestand.enteredGuessed = true;
    inv[4].marke.clear();
    w.setInventory(inv);
    ASSERT_TRUE(QTest::qWaitFor([this] { return w.list()->light(4).has_value(); }, 5000));
    const QList<std::optional<csv::Light>> lights = {csv::Light::Yellow, csv::Light::Yellow, csv::Light::Yellow,
                                                     csv::Light::Red, csv::Light::Red}; // no photos; no mileage, brand
    const QStringList days = {"10", "ca. 8", "", "", ""};
    for (int row = 0; row < days.size(); ++row) {
        EXPECT_EQ(w.list()->light(row), lights[row]) << row;
        EXPECT_EQ(w.list()->cellText(row, VehicleList::kDaysColumn), days[row]) << row;
    }

    // Mending the vehicle turns its light.
    test::clickRow(w.list(), 4);
    auto* marke = child<QComboBox>("combo_1_marke");
    ASSERT_NE(marke, nullptr);
    marke->setFocus();
    QTest::keyClick(marke, Qt::Key_Down);
    test::clickRow(w.list(), 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return w.list()->light(4) == csv::Light::Yellow; }, 5000));

    EXPECT_EQ(child<QLabel>("lblStandtage")->text(), QStringLiteral("Standtage: 10"));
    auto* history = child<QToolButton>("btnPriceHistory");
    EXPECT_EQ(history->text(), QStringLiteral("Preisverlauf (2)"));
    QStringList entries;
    for (QAction* a : history->menu()->actions())
        entries << a->text();
    EXPECT_EQ(entries, QStringList({QStringLiteral("01.12.2026  Händlerpreis: 0 € → 9.999,50 €"),
                                    QStringLiteral("02.11.2026  Preis: 13.490 € → 12.990 €")}));
    test::clickRow(w.list(), 2);
    EXPECT_EQ(child<QLabel>("lblStandtage")->text(), QStringLiteral("Standtage: -"));
    EXPECT_FALSE(history->isEnabled());
}

} // namespace
