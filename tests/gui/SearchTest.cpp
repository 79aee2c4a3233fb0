// The dealer's daily work on the list, used as a dealer does: the search bar (typing, Escape, Ctrl+F, the class
// drop-down by key) and the report of the whole stock (F9, a double click on an entry).
#include "common/Dialogs.h"
#include "csv/VehicleChecks.h"
#include "editor/TformMain.h"
#include "editor/TformStockReport.h"
#include "editor/VehicleList.h"
#include "support/TestVehicles.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using namespace tarmelo;
using gui::TformMain;

namespace {

class SearchTest : public testing::Test {
protected:
    void SetUp() override {
        gui::Dialogs::setTestMode(true);
        w.setClock(fixedClock(QDateTime(QDate(2026, 12, 9), QTime(10, 0))));
        model::Inventory inv;
        const struct {
            int klasse;
            const char* modell;
        } stock[] = {{1, "Golf"}, {1, "Polo"}, {2, "Golfino"}, {1, "Passat Variant"}, {3, "Golf Variant"}};
        for (const auto& s : stock) {
            model::TFahrzeug v = test::validVehicle(s.klasse);
            v.modell = s.modell;
            inv.append(v);
        }
        w.setInventory(inv);
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        box = w.findChild<QLineEdit*>(QStringLiteral("edtSearch"));
        ASSERT_NE(box, nullptr);
    }
    void TearDown() override { gui::Dialogs::setTestMode(false); }

    QList<int> shownRows() const {
        QList<int> rows;
        for (int row = 0; row < w.list()->rowCount(); ++row)
            if (w.list()->isRowShown(row))
                rows << row;
        return rows;
    }
    QString count() const { return w.findChild<QLabel*>(QStringLiteral("lblFilter"))->text(); }

    TformMain w;
    QLineEdit* box = nullptr;
};

TEST_F(SearchTest, TypingNarrowsTheListAndEscapeBringsItBack) {
    const struct {
        const char* typed; // added to what is in the box
        QList<int> rows;
        const char* count;
    } steps[] = {
        {"golf", {0, 2, 4}, "3 von 5 Fahrzeugen"},
        {" VARIANT", {4}, "1 von 5 Fahrzeugen"},
        {" xyz", {}, "0 von 5 Fahrzeugen"},
    };
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), box) << "Ctrl+F goes to the search box";
    for (const auto& s : steps) {
        QTest::keyClicks(box, QString::fromLatin1(s.typed));
        EXPECT_EQ(shownRows(), s.rows) << s.typed;
        EXPECT_EQ(count(), QString::fromLatin1(s.count)) << s.typed;
    }
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(shownRows(), QList<int>({0, 1, 2, 3, 4}));
    EXPECT_TRUE(count().isEmpty());

    // The class drop-down, moved by key: "Pkw" keeps the cars only.
    auto* klasse = w.findChild<QComboBox*>(QStringLiteral("cmbSearchClass"));
    klasse->setFocus();
    QTest::keyClick(klasse, Qt::Key_Down);
    EXPECT_EQ(shownRows(), QList<int>({0, 1, 3}));
    EXPECT_EQ(count(), QStringLiteral("3 von 5 Fahrzeugen"));
}

TEST_F(SearchTest, AnEditInProgressIsStoredWhenTheSearchHidesItsVehicle) {
    test::clickRow(w.list(), 1);
    ASSERT_EQ(w.shownRow(), 1);
    auto* modell = w.findChild<QLineEdit*>(QStringLiteral("le_1_modell"));
    modell->setFocus();
    modell->selectAll();
    QTest::keyClicks(modell, "Polo GTI");
    QTest::keyClicks(box, "passat");
    EXPECT_EQ(shownRows(), QList<int>({3}));
    EXPECT_EQ(w.vehicles()[1].modell, QByteArray("Polo GTI")) << "stored before the row was hidden";
    EXPECT_EQ(w.list()->selectedRow(), 3);
    EXPECT_EQ(w.shownRow(), 3);

    // Nothing matches: nothing is shown, and the inventory keeps its order.
    QTest::keyClicks(box, " golf");
    EXPECT_TRUE(shownRows().isEmpty());
    EXPECT_EQ(w.shownRow(), -1);
    EXPECT_EQ(w.vehicles()[3].modell, QByteArray("Passat Variant"));
    EXPECT_EQ(w.vehicles()[0].modell, QByteArray("Golf"));
}

using StockReportTest = SearchTest;

TEST_F(StockReportTest, F9ListsEveryFindingAndADoubleClickLeadsToTheControl) {
    w.document()->edit(3).marke.clear();
    w.document()->changed(3);
    QTest::keyClick(&w, Qt::Key_F9);
    auto* report = w.findChild<gui::TformStockReport*>();
    ASSERT_NE(report, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(report));
    auto* findings = report->findChild<QTreeWidget*>(QStringLiteral("lvFindings"));
    QTreeWidgetItem* error = nullptr;
    for (int i = 0; i < findings->topLevelItemCount() && !error; ++i)
        if (findings->topLevelItem(i)->text(3) == QStringLiteral("Fehler"))
            error = findings->topLevelItem(i);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->text(0), QStringLiteral("4"));
    EXPECT_TRUE(report->findChild<QLabel*>(QStringLiteral("lblSummary"))->text().startsWith("1 Fehler und "));

    const auto failure = csv::checkVehicle(w.vehicles()[3], QDate(2026, 12, 9));
    ASSERT_TRUE(failure.has_value());
    findings->scrollToItem(error);
    test::doubleClick(findings, findings->visualItemRect(error).center());
    EXPECT_EQ(w.list()->selectedRow(), 3);
    EXPECT_EQ(w.shownRow(), 3);
    ASSERT_NE(w.focusWidget(), nullptr);
    EXPECT_EQ(w.focusWidget()->objectName(), failure->control);
    EXPECT_TRUE(report->isVisible()) << "the report stays open for the next entry";
    EXPECT_EQ(w.vehicles()[3].modell, QByteArray("Passat Variant")) << "showing changes nothing";
}

} // namespace
