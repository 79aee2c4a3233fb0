// The dealer's daily work on the list, used as a dealer does: the search bar (typing, Escape, Ctrl+F, the class
// drop-down by key), the report of the whole stock (F9, a double click on an entry) and the bulk price change.
#include "common/Dialogs.h"
#include "csv/VehicleChecks.h"
#include "editor/TformMain.h"
#include "editor/TformPriceChange.h"
#include "editor/TformStockReport.h"
#include "editor/VehicleList.h"
#include "support/TestVehicles.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

    // A vehicle deleted meanwhile: the report is made again, and its entries lead to the vehicles they name.
    test::clickRow(w.list(), 0);
    gui::Dialogs::queueAnswer(QMessageBox::Yes);
    w.action(QStringLiteral("actRemove"))->trigger();
    ASSERT_EQ(w.vehicles().size(), 4);
    error = nullptr;
    for (int i = 0; i < findings->topLevelItemCount() && !error; ++i)
        if (findings->topLevelItem(i)->text(3) == QStringLiteral("Fehler"))
            error = findings->topLevelItem(i);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->text(0), QStringLiteral("3"));
    findings->scrollToItem(error);
    test::doubleClick(findings, findings->visualItemRect(error).center());
    EXPECT_EQ(w.shownRow(), 2);
}

// The report saved as PDF says what the window shows, with the texts as typed; an entry of a sold vehicle opens the
// view of the sold ones to show it.
TEST_F(StockReportTest, SavesItsPdfAndLeadsToASoldVehicle) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils missing";
    model::Inventory inv = w.vehicles();
    inv[1].modell = "Polo <GTI> & Co";
    inv[1].marke.clear();
    model::setStatus(inv[1].bestand, model::StockStatus::Sold, QDate(2026, 12, 1));
    w.setInventory(inv);
    ASSERT_FALSE(w.list()->isRowShown(1)) << "a sold vehicle opens in the view of the sold ones";
    QTest::keyClick(&w, Qt::Key_F9);
    auto* report = w.findChild<gui::TformStockReport*>();
    ASSERT_NE(report, nullptr);
    QTemporaryDir dir;
    gui::Dialogs::queueFileName(dir.filePath(QStringLiteral("bericht")));
    QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("btnSavePdf")), Qt::LeftButton);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("bericht.pdf")), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const char* expected :
         {"Bestand prüfen", "Geprüft am 09.12.2026 10:00 Uhr", "1 Fehler und ", "Polo <GTI> & Co", "Fehler"})
        EXPECT_TRUE(pdf.contains(QString::fromUtf8(expected))) << expected << "\n" << pdf.toStdString();

    auto* findings = report->findChild<QTreeWidget*>(QStringLiteral("lvFindings"));
    QTreeWidgetItem* error = findings->findItems(QStringLiteral("Fehler"), Qt::MatchExactly, 3).value(0);
    ASSERT_NE(error, nullptr);
    test::doubleClick(findings, findings->visualItemRect(error).center());
    EXPECT_TRUE(w.findChild<QCheckBox*>(QStringLiteral("chkSoldView"))->isChecked());
    EXPECT_TRUE(w.list()->isRowShown(1));
    EXPECT_EQ(w.shownRow(), 1);
}

using PriceChangeTest = SearchTest;

// The change acts on the vehicles the list shows; "Abbrechen" changes nothing; the undo gives back every price
// but one the dealer edited since.
TEST_F(PriceChangeTest, TheShownVehiclesChangeAndTheUndoGivesThemBack) {
    const double prices[] = {11900, 9990, 20000, 15000, 30000};
    for (int i = 0; i < 5; ++i) {
        w.document()->edit(i).preis = prices[i];
        w.document()->changed(i);
    }
    QTest::keyClicks(box, "golf"); // rows 0, 2, 4
    const auto answer = [](bool ok, int* previewRows) {
        QTimer::singleShot(0, [=] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<gui::TformPriceChange*>(top);
                if (!d)
                    continue;
                auto* direction = d->findChild<QComboBox*>(QStringLiteral("cmbDirection"));
                direction->setFocus();
                QTest::keyClick(direction, Qt::Key_Down); // "senken"
                auto* value = d->findChild<QDoubleSpinBox*>(QStringLiteral("spnValue"));
                value->setFocus();
                value->selectAll();
                QTest::keyClicks(value, "10");
                auto* rounding = d->findChild<QComboBox*>(QStringLiteral("cmbRounding"));
                rounding->setFocus();
                QTest::keyClick(rounding, Qt::Key_End); // "Schwellenpreis"
                *previewRows = d->findChild<QTreeWidget*>(QStringLiteral("lvPreview"))->topLevelItemCount();
                QTest::mouseClick(
                    d->findChild<QPushButton*>(ok ? QStringLiteral("btnOK") : QStringLiteral("btnCancel")),
                    Qt::LeftButton);
            }
        });
    };
    int previewRows = 0;
    answer(false, &previewRows);
    w.action(QStringLiteral("actChangePrices"))->trigger();
    EXPECT_EQ(previewRows, 3);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.vehicles()[i].preis, prices[i]) << "Abbrechen: " << i;
    EXPECT_FALSE(w.action(QStringLiteral("actUndoPrices"))->isEnabled());

    w.setSaved(true);
    answer(true, &previewRows);
    w.action(QStringLiteral("actChangePrices"))->trigger();
    const double lowered[] = {10990, 9990, 17990, 15000, 26990}; // 10 % less, then the nearest price ending in 90 / 990
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.vehicles()[i].preis, lowered[i]) << i;
    EXPECT_FALSE(w.isSaved());
    ASSERT_TRUE(w.action(QStringLiteral("actUndoPrices"))->isEnabled());

    w.document()->edit(4).preis = 25000; // the dealer's own price after the change
    w.document()->changed(4);
    gui::Dialogs::shown().clear();
    w.action(QStringLiteral("actUndoPrices"))->trigger();
    const double back[] = {11900, 9990, 20000, 15000, 25000};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.vehicles()[i].preis, back[i]) << i;
    ASSERT_EQ(gui::Dialogs::shown().size(), 1);
    EXPECT_TRUE(gui::Dialogs::shown()[0].text.startsWith(QStringLiteral("Die Preise von 1 Fahrzeug(en)")));
    EXPECT_FALSE(w.action(QStringLiteral("actUndoPrices"))->isEnabled());
}

} // namespace
