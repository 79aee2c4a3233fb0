// Every way the selection can move must store the record that is left before the next one is shown. These tests
// reach each state as a dealer does: clicks on the list's rows, arrow keys, the Delete key, toolbar buttons.
#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "editor/VehiclePages.h"
#include "inventory/Document.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
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
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace tarmelo;
using gui::TformMain;

namespace {

class EditSurvivesSelectionTest : public testing::Test {
protected:
    void SetUp() override {
        gui::Dialogs::setTestMode(true);
        gui::Dialogs::shown().clear();
        w.setClock(fixedClock(QDateTime(QDate(2026, 12, 9), QTime(10, 0))));
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    void TearDown() override { gui::Dialogs::setTestMode(false); }

    template <class W = QWidget> W* find(const QString& name) {
        W* child = w.findChild<W*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }

    void clickRow(int row) {
        gui::VehicleList* list = w.list();
        ASSERT_NE(list->topLevelItem(row), nullptr) << row;
        test::clickRow(list, row);
        ASSERT_EQ(list->selectedRow(), row);
        ASSERT_EQ(w.shownRow(), row) << "the editor shows the highlighted row";
    }
    void clickToolButton(const char* actionName) {
        auto* button =
            qobject_cast<QToolButton*>(w.findChild<QToolBar*>("MainToolBar")->widgetForAction(w.action(actionName)));
        ASSERT_NE(button, nullptr) << actionName;
        ASSERT_TRUE(button->isEnabled()) << actionName;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void clickButton(const char* name) {
        auto* b = find<QAbstractButton>(name);
        ASSERT_TRUE(b && b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void showTab(int klasse, int tab) {
        QTabWidget* tabs = w.pages()->featureTabs(klasse);
        if (!tabs)
            return;
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(tab).center());
    }
    // On the box itself: the check box is as wide as its grid cell, its text may end before the middle.
    static void clickCheck(QCheckBox* box) {
        ASSERT_TRUE(box->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
    }
    // Classes 9, 11 and 12 keep the VIN on the general page, the others on "Seite 2" of the equipment.
    void showVin(int c) {
        if (c == 9 || c == 11 || c == 12) {
            clickButton("sbAllgemein");
        } else {
            clickButton("sbAusstattung");
            showTab(c, 1);
        }
    }
    void retype(QLineEdit* e, const QString& text) {
        ASSERT_NE(e, nullptr);
        ASSERT_TRUE(e->isVisible()) << e->objectName().toStdString();
        QTest::mouseClick(e, Qt::LeftButton);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }

    // The edits a dealer makes to the shown vehicle: fields that reach the record only at the next store step.
    struct Expected {
        int row;
        QByteArray farbe, vin, inr;
        double hpreis;
        quint8 abs;
        int kategorieIndex;
    };
    Expected editShown(const QString& tag) {
        const int row = w.shownRow();
        EXPECT_GE(row, 0);
        const int c = w.vehicles()[row].klasse;
        Expected e{row, {}, {}, {}, 0, 0, 0};
        clickButton("sbAllgemein");
        auto* kategorie = find<QComboBox>(model::controlName(u"kategorie", c));
        kategorie->setFocus(Qt::TabFocusReason);
        QTest::keyClick(kategorie, kategorie->currentIndex() + 1 < kategorie->count() ? Qt::Key_Down : Qt::Key_Up);
        e.kategorieIndex = kategorie->currentIndex();
        e.farbe = model::toCp1252(QStringLiteral("Perlweiß ") + tag).value();
        retype(find<QComboBox>(model::controlName(u"farbe", c))->lineEdit(), model::fromCp1252(e.farbe));
        auto* hpreis = find<QDoubleSpinBox>(model::controlName(u"hpreis", c));
        QTest::mouseClick(hpreis, Qt::LeftButton);
        hpreis->selectAll();
        e.hpreis = 1000 + tag.toInt();
        QTest::keyClicks(hpreis, QString::number(int(e.hpreis)));
        if (!w.automaticIntNr()) {
            e.inr = ("INR-" + tag).toLatin1();
            retype(find<QLineEdit>(model::controlName(u"inr", c)), QString::fromLatin1(e.inr));
        }
        showVin(c);
        e.vin = ("WVWZZZ1JZ3W38675" + tag).toLatin1().left(17);
        retype(find<QLineEdit>(model::controlName(u"vin", c)), QString::fromLatin1(e.vin));
        clickButton("sbAusstattung");
        showTab(c, 0);
        auto* abs = find<QCheckBox>(model::controlName(u"abs", c));
        e.abs = abs->isChecked() ? 0 : 1;
        clickCheck(abs);
        EXPECT_EQ(abs->isChecked(), e.abs == 1);
        return e;
    }
    void expectKept(const Expected& e, int row) {
        SCOPED_TRACE(testing::Message() << "edits made on row " << e.row << ", now row " << row);
        ASSERT_LT(row, w.vehicles().size());
        const model::TFahrzeug& v = w.vehicles()[row];
        EXPECT_EQ(v.farbe, e.farbe);
        EXPECT_EQ(v.vin, e.vin);
        EXPECT_EQ(v.hpreis, e.hpreis);
        EXPECT_EQ(v.abs, e.abs);
        EXPECT_EQ(model::showIndex(*model::field(u"kategorie"), v), e.kategorieIndex);
        if (!e.inr.isEmpty()) {
            EXPECT_EQ(v.inr, e.inr);
        }
        // And the controls show it when the row is selected again.
        clickRow(row);
        const int c = v.klasse;
        EXPECT_EQ(find<QCheckBox>(model::controlName(u"abs", c))->isChecked(), e.abs == 1);
        EXPECT_EQ(find<QLineEdit>(model::controlName(u"vin", c))->text().toLatin1(), e.vin);
    }

    void load(int count) {
        model::Inventory inv;
        for (int i = 0; i < count; ++i)
            inv.append(test::validVehicle(i % 2 ? 4 : 1));
        w.setInventory(inv);
        w.setSaved(true);
    }

    TformMain w;
};

// The dealer's report: untick ABS on the first vehicle of an opened inventory, click the second, click the first.
TEST_F(EditSurvivesSelectionTest, UntickedAbsSurvivesClickingAway) {
    w.ReadFile(QStringLiteral(TARMELO_SOURCE_DIR "/examples/bestand.csv"), false);
    ASSERT_GE(w.vehicles().size(), 2);
    clickRow(0);
    clickButton("sbAusstattung");
    auto* abs = find<QCheckBox>("cb_1_abs");
    ASSERT_TRUE(abs->isChecked());
    clickCheck(abs);
    EXPECT_FALSE(abs->isChecked());
    clickRow(1);
    clickRow(0);
    EXPECT_FALSE(abs->isChecked());
    EXPECT_EQ(w.vehicles()[0].abs, 0);
}

TEST_F(EditSurvivesSelectionTest, MouseAndArrowKeys) {
    load(3);
    clickRow(0);
    const Expected first = editShown("1");
    clickRow(2);
    const Expected third = editShown("3");
    // Arrow keys move the selection as clicks do.
    w.list()->setFocus();
    QTest::keyClick(w.list(), Qt::Key_Up);
    EXPECT_EQ(w.shownRow(), 1);
    const Expected second = editShown("2");
    w.list()->setFocus();
    QTest::keyClick(w.list(), Qt::Key_Down);
    EXPECT_EQ(w.shownRow(), 2);
    expectKept(first, 0);
    expectKept(second, 1);
    expectKept(third, 2);
}

// Removing, adding and copying select rows themselves; afterwards the list and the editor must still agree.
TEST_F(EditSurvivesSelectionTest, RemoveAddCopy) {
    load(4);
    clickRow(0);
    const Expected first = editShown("1");
    clickRow(1);
    gui::Dialogs::queueAnswer(QMessageBox::Yes);
    w.list()->setFocus();
    QTest::keyClick(w.list(), Qt::Key_Delete); // row 1 goes, the former row 2 is shown
    ASSERT_EQ(w.vehicles().size(), 3);
    EXPECT_EQ(w.shownRow(), 1);
    EXPECT_EQ(w.list()->selectedRow(), 1);
    const Expected afterDelete = editShown("2");
    clickRow(0);
    clickRow(1);
    expectKept(afterDelete, 1);

    // The toolbar's copy: the copy takes the edits of the row it copies, and the original keeps them.
    clickRow(2);
    const Expected beforeCopy = editShown("3");
    clickToolButton("actCopy");
    ASSERT_EQ(w.vehicles().size(), 4);
    EXPECT_EQ(w.shownRow(), 3);
    editShown("4"); // pending edits on the copy, which goes again below

    // Adding from the menu: the row that is left is stored first.
    w.action("actAddPkw")->trigger();
    ASSERT_EQ(w.vehicles().size(), 5);
    EXPECT_EQ(w.shownRow(), 4);
    const Expected added = editShown("5");

    // The panel's remove button on the last row selects the one before it.
    clickRow(3);
    gui::Dialogs::queueAnswer(QMessageBox::Yes);
    clickButton("tbRemove");
    ASSERT_EQ(w.vehicles().size(), 4);
    EXPECT_EQ(w.shownRow(), 3);
    expectKept(first, 0);
    expectKept(afterDelete, 1);
    expectKept(beforeCopy, 2);
    expectKept(added, 3);
}

// The error check and a save that a rule stops move to the offending vehicle.
TEST_F(EditSurvivesSelectionTest, ErrorCheckAndFailedSave) {
    load(3);
    w.document()->edit(2).modell = "";
    clickRow(0);
    const Expected first = editShown("1");
    clickToolButton("actCheckErrors");
    EXPECT_EQ(w.shownRow(), 2);
    EXPECT_EQ(w.list()->selectedRow(), 2);
    EXPECT_TRUE(w.statusMessage().startsWith(" Fehler: "));
    clickRow(1);
    editShown("2");
    // Automatic numbers off: the internal number is typed, and saving checks it first.
    w.action("actAutomaticIntNr")->trigger();
    ASSERT_FALSE(w.automaticIntNr());
    const Expected withNumber = editShown("7");
    clickToolButton("actSaveFile");
    EXPECT_NE(w.shownRow(), 1) << "the save stopped at another vehicle";
    expectKept(first, 0);
    expectKept(withNumber, 1);
}

// Opening and inserting files fill the list from outside the editor.
TEST_F(EditSurvivesSelectionTest, OpenAndInsert) {
    QTemporaryDir dir;
    load(2);
    clickRow(1);
    const Expected edited = editShown("6");
    // Inserting selects the first row; the edits of the row that was shown reach its record.
    gui::Dialogs::queueFileName(QStringLiteral(TARMELO_SOURCE_DIR "/examples/bestand.csv"));
    w.action("actOpenVehicle")->trigger();
    ASSERT_GT(w.vehicles().size(), 2);
    EXPECT_EQ(w.shownRow(), 0);
    EXPECT_EQ(w.list()->selectedRow(), 0);
    expectKept(edited, 1);
    clickRow(0);
    const Expected firstAfterInsert = editShown("8");
    clickRow(3);
    expectKept(firstAfterInsert, 0);

    // After opening another file the list and the editor agree from the first click on.
    w.setSaved(true);
    gui::Dialogs::queueFileName(QStringLiteral(TARMELO_SOURCE_DIR "/examples/bestand.csv"));
    w.action("actLoadFile")->trigger();
    EXPECT_EQ(w.shownRow(), 0);
    const Expected opened = editShown("9");
    clickRow(2);
    expectKept(opened, 0);
}

// Every field kind that is stored only at the next store step survives a round of clicks on every class.
TEST_F(EditSurvivesSelectionTest, EveryClass) {
    model::Inventory inv;
    for (int c = 1; c <= model::kClassCount; ++c)
        inv.append(test::validVehicle(c));
    w.setInventory(inv);
    for (int c = 1; c <= model::kClassCount; ++c) {
        SCOPED_TRACE(c);
        clickRow(c - 1);
        const int row = c - 1;
        const int k = c;
        QByteArray vin = QByteArray("VIN") + QByteArray::number(c);
        showVin(k);
        retype(w.findChild<QLineEdit*>(model::controlName(u"vin", k)), QString::fromLatin1(vin));
        clickRow(row == 0 ? 1 : 0);
        clickRow(row);
        EXPECT_EQ(w.vehicles()[row].vin, vin);
    }
}

} // namespace
