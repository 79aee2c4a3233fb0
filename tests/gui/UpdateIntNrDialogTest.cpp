#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "intnr/TformUpdateIntNr.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformUpdateIntNr;

namespace {

model::Inventory threeVehicles() {
    model::Inventory inv;
    for (const char* inr : {"A", "B", "C"}) {
        model::TFahrzeug v = model::newVehicle(1);
        v.marke = "Bitte ausw\xe4hlen";
        v.modell = "Golf";
        v.inr = inr;
        v.preis = 11900;
        v.mwst = "19%";
        inv.append(v);
    }
    return inv;
}

struct UpdateIntNrDialogTest : testing::Test {
    model::Inventory vehicles = threeVehicles();
    shell::Settings settings;
    QDateTime now{QDate(2024, 1, 31), QTime(9, 5, 7)};
    std::unique_ptr<TformUpdateIntNr> dialog;

    void SetUp() override {
        Dialogs::shown().clear();
        Dialogs::helpShown().clear();
        settings.RenameMaskText = QStringLiteral("[N]-[C]");
        settings.CounterDigits = 3;
    }
    void open() {
        dialog = std::make_unique<TformUpdateIntNr>(vehicles, settings, [this] { return now; });
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <class T> T* find(const char* name) {
        T* w = dialog->findChild<T*>(QLatin1StringView(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* list() { return find<QTreeWidget>("IntNrList"); }
    QComboBox* mask() { return find<QComboBox>("comboRenameMask"); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void setMask(const QString& text) {
        QLineEdit* e = mask()->lineEdit();
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
};

TEST_F(UpdateIntNrDialogTest, RowsColumnsAndPreview) {
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Aktualisierung interner Nummern"));
    QTreeWidget* l = list();
    ASSERT_EQ(l->topLevelItemCount(), 3);
    const QStringList headers{
        "Nr.", "Marke", "Modell", "Preis (netto)", "Preis (brutto)", "Alte interne Nr.", "Neue interne Nr."};
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(l->headerItem()->text(c), headers[c]);
    const QStringList row0{"1", "-", "Golf", "10.000 EUR", "11.900 EUR", "A", "A-001"};
    for (int c = 0; c < row0.size(); ++c)
        EXPECT_EQ(l->topLevelItem(0)->text(c), row0[c]) << c;
    EXPECT_EQ(dialog->previewTexts(), QStringList({"A-001", "B-002", "C-003"}));
    EXPECT_EQ(l->topLevelItem(0)->foreground(6).color(), QColor(0, 64, 128));
}

TEST_F(UpdateIntNrDialogTest, UntickedRowIsGreyAndSkippedByTheCounter) {
    open();
    test::clickCheckBox(list(), 1);
    EXPECT_EQ(dialog->ticks(), QList<bool>({true, false, true}));
    EXPECT_EQ(list()->topLevelItem(1)->foreground(1).color(), QColor(180, 180, 180));
    click("cbSkipNonSelected");
    EXPECT_EQ(dialog->previewTexts(), QStringList({"A-001", "<Fehler>", "C-002"}));
    test::clickCheckBox(list(), 1);
    EXPECT_EQ(dialog->previewTexts(), QStringList({"A-001", "B-002", "C-003"}));
    EXPECT_NE(list()->topLevelItem(1)->foreground(1).color(), QColor(180, 180, 180));
}

TEST_F(UpdateIntNrDialogTest, KeyFilterTokensAndCounterFields) {
    open();
    const struct {
        const char* typed;
        const char* mask;
    } table[] = {{"X{}*~[C]", "X[C]"}, {"a b-_Z9", "a b-_Z9"}, {"%/[n]", "[n]"}};
    for (const auto& t : table) {
        setMask(QString::fromUtf8(t.typed));
        EXPECT_EQ(mask()->currentText(), QString::fromUtf8(t.mask));
    }
    EXPECT_EQ(dialog->previewTexts().value(0), QStringLiteral("<Fehler>"));

    setMask(QStringLiteral("K"));
    find<QSpinBox>("seStart")->setFocus(); // the token goes to the end when the mask has no focus
    click("sb_YMD");
    click("sb_hms");
    EXPECT_EQ(mask()->currentText(), QStringLiteral("K[YMD][hms]"));
    EXPECT_EQ(dialog->previewTexts().value(2), QStringLiteral("K240131090507"));

    setMask(QStringLiteral("[C]"));
    QSpinBox* start = find<QSpinBox>("seStart");
    start->setFocus();
    start->selectAll();
    QTest::keyClicks(start, QStringLiteral("-2"));
    find<QComboBox>("comboDigits")->setCurrentIndex(1);
    EXPECT_EQ(dialog->previewTexts(), QStringList({"-02", "-01", "00"}));
    start->selectAll();
    QTest::keyClicks(start, QStringLiteral("99999"));
    EXPECT_LE(start->value(), 10000);
    // An emptied field counts as its minimum, not as the value it held.
    start->selectAll();
    QTest::keyClick(start, Qt::Key_Delete);
    EXPECT_EQ(dialog->previewTexts(), QStringList({"-10000", "-9999", "-9998"}));

    QLineEdit* search = find<QLineEdit>("leSearch");
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("[0"));
    EXPECT_EQ(search->text(), QStringLiteral("0"));
}

TEST_F(UpdateIntNrDialogTest, RemovalModeSwitchesControls) {
    open();
    click("rbDeleteChar");
    EXPECT_FALSE(mask()->isEnabled());
    EXPECT_FALSE(find<QToolButton>("sb_N")->isEnabled());
    EXPECT_TRUE(find<QSpinBox>("seBeginning")->isEnabled());
    EXPECT_EQ(dialog->previewTexts(), QStringList({"A", "B", "C"}));
    find<QSpinBox>("seEnding")->setValue(1);
    EXPECT_EQ(dialog->previewTexts(), QStringList({"", "", ""}));
    click("rbRenameMask");
    EXPECT_TRUE(mask()->isEnabled());
    EXPECT_FALSE(find<QSpinBox>("seEnding")->isEnabled());
}

TEST_F(UpdateIntNrDialogTest, OkRefusesFaultyMaskAndEmptySelection) {
    open();
    const struct {
        const char* mask;
        bool untickAll;
        const char* message;
    } table[] = {
        {"[X]", false, "Der eingegebene Umbenennmaske ist fehlerhaft. Eingabe überprüfen!"},
        {"[N]", true, "Es muss mindestens ein Fahrzeug zum Umbenennen der internen Nummer ausgewählt sein!"},
    };
    for (const auto& t : table) {
        Dialogs::shown().clear();
        setMask(QString::fromUtf8(t.mask));
        if (t.untickAll)
            click("btnSelectNone");
        click("btnOK");
        ASSERT_EQ(Dialogs::shown().size(), 1);
        EXPECT_EQ(Dialogs::shown()[0].text, QString::fromUtf8(t.message));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->numbersChanged());
        EXPECT_EQ(vehicles, threeVehicles());
        click("btnSelectAll");
    }
}

TEST_F(UpdateIntNrDialogTest, OkAppliesTickedRowsAndStoresOptions) {
    settings.RenameMaskItem = {QStringLiteral("Y[C]"), QStringLiteral("X[C]")};
    open();
    setMask(QStringLiteral("X[C]"));
    test::clickCheckBox(list(), 0);
    click("btnOK");
    EXPECT_TRUE(dialog->numbersChanged());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(vehicles[0].inr, QByteArray("A"));
    EXPECT_EQ(vehicles[1].inr, QByteArray("X002"));
    EXPECT_EQ(vehicles[2].inr, QByteArray("X003"));
    EXPECT_EQ(settings.RenameMaskText, QStringLiteral("X[C]"));
    EXPECT_EQ(settings.RenameMaskItem[0], QStringLiteral("X[C]"));
    EXPECT_EQ(settings.RenameMaskItem[1], QStringLiteral("Y[C]"));
    EXPECT_TRUE(settings.RenameMaskItem[2].isEmpty());
    EXPECT_EQ(settings.CounterDigits, 3);
}

TEST_F(UpdateIntNrDialogTest, EscapeAndAbortChangeNothing) {
    for (bool escape : {true, false}) {
        open();
        setMask(QStringLiteral("Z[C]"));
        find<QCheckBox>("cbSkipNonSelected")->setChecked(true);
        if (escape)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            click("btnAbort");
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(dialog->numbersChanged());
        EXPECT_EQ(vehicles, threeVehicles());
        EXPECT_EQ(settings.RenameMaskText, QStringLiteral("[N]-[C]"));
        EXPECT_FALSE(settings.SkipNonSelected);
    }
    open();
    click("btnHelp");
    EXPECT_EQ(Dialogs::helpShown(), QList<int>({1009}));
}

TEST_F(UpdateIntNrDialogTest, TimerFollowsTheClockOnlyForTimeTokens) {
    open();
    setMask(QStringLiteral("[hms]"));
    EXPECT_EQ(dialog->previewTexts().value(0), QStringLiteral("090507"));
    now = now.addSecs(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->previewTexts().value(0) == QStringLiteral("090508"); }, 3000))
        << dialog->previewTexts().value(0).toStdString();
    EXPECT_EQ(find<QTimer>("RefreshTimer")->interval(), 500);
}

TEST(UpdateIntNrCommand, EnabledOnlyWithTypedNumbersAndMarksTheInventoryChanged) {
    gui::TformMain w;
    QAction* a = w.action(QStringLiteral("actUpdateIntNr"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(), QStringLiteral("&Aktualisierung ..."));
    EXPECT_FALSE(a->isEnabled());
    w.setInventory(threeVehicles());
    w.setAutomaticIntNr(true);
    EXPECT_FALSE(a->isEnabled());
    w.setAutomaticIntNr(false);
    EXPECT_TRUE(a->isEnabled());
    w.setSaved(true);
    // The dialog is modal; OK is pressed as soon as it shows.
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<TformUpdateIntNr*>(top))
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    });
    a->trigger();
    EXPECT_FALSE(w.isSaved());
    EXPECT_EQ(w.vehicles()[2].inr, QByteArray("C"));
}

} // namespace
