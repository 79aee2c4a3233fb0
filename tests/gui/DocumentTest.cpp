#include "common/Dialogs.h"
#include "editor/MainWindow.h"
#include "editor/VehicleList.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformMain;

namespace {

using tarmelo::test::validVehicle;

class DocumentTest : public testing::Test {
protected:
    void SetUp() override {
        Dialogs::setTestMode(true);
        w.setClock(fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0))));
        w.SetFileName(QStringLiteral("Unbenannt"));
    }
    bool enabled(const char* name) const { return w.action(QLatin1StringView(name))->isEnabled(); }
    QString path(const char* name) const { return dir.filePath(QLatin1StringView(name)); }
    TformMain w;
    QTemporaryDir dir;
};

TEST_F(DocumentTest, TitleAndRecentCaptions) {
    EXPECT_EQ(w.windowTitle(), "Tarmelo - Unbenannt");
    w.SetFileName(QStringLiteral("/home/haendler/bestand.zip"));
    EXPECT_EQ(w.windowTitle(), "Tarmelo - bestand.zip");
    EXPECT_EQ(w.action("actOpenRecent1")->text(), "&1 - (keine)");
    EXPECT_FALSE(enabled("actOpenRecent1"));
    w.SetOpenRecent({"A", "B", "C", "D"});
    w.AddToRecent(QStringLiteral("C"));
    EXPECT_EQ(w.recentFiles(), QStringList({"C", "A", "B", "D"}));
    EXPECT_EQ(w.action("actOpenRecent1")->text(), "&1 - C");
    EXPECT_TRUE(enabled("actOpenRecent4"));
}

TEST_F(DocumentTest, MissingRecentFileIsRemoved) {
    w.SetOpenRecent({path("a.zip"), path("weg.zip"), path("c.zip"), path("d.zip")});
    w.actOpenRecentExecute(2);
    ASSERT_FALSE(Dialogs::shown().isEmpty());
    EXPECT_EQ(Dialogs::shown().last().text, "Die angegebene Datei \"weg.zip\" existiert nicht!");
    EXPECT_EQ(w.recentFiles(), QStringList({path("a.zip"), path("c.zip"), path("d.zip"), ""}));
    EXPECT_EQ(w.action("actOpenRecent4")->text(), "&4 - (keine)");
}

TEST_F(DocumentTest, NewInventory) {
    // An empty inventory named "Unbenannt": nothing at all happens.
    w.setSaved(true);
    w.actNeuExecute();
    EXPECT_TRUE(w.isSaved());

    w.setInventory({validVehicle(1)});
    w.SetFileName(QStringLiteral("/x/bestand.zip"));
    w.setSaved(true);
    Dialogs::shown().clear();
    w.actNeuExecute();
    EXPECT_TRUE(Dialogs::shown().isEmpty()) << "an unchanged document is not asked about";
    EXPECT_EQ(w.windowTitle(), "Tarmelo - Unbenannt");
    EXPECT_TRUE(w.vehicles().isEmpty());
    EXPECT_FALSE(w.isSaved());
}

TEST_F(DocumentTest, UnsavedChangesQuestion) {
    w.AddFahrzeug(1);
    Dialogs::queueAnswer(QMessageBox::Cancel);
    w.actNeuExecute();
    EXPECT_EQ(Dialogs::shown().last().text, "Möchten Sie die Änderungen in \"Unbenannt\" speichern?");
    EXPECT_EQ(w.vehicles().size(), 1) << "Cancel keeps the inventory";

    Dialogs::queueAnswer(QMessageBox::No);
    w.actNeuExecute();
    EXPECT_TRUE(w.vehicles().isEmpty()) << "No discards it";
}

TEST_F(DocumentTest, ClosingAsksAndRefuses) {
    w.AddFahrzeug(2);
    Dialogs::queueAnswer(QMessageBox::Cancel);
    QCloseEvent cancel;
    QApplication::sendEvent(&w, &cancel);
    EXPECT_FALSE(cancel.isAccepted());
    // Yes, then the save dialog is cancelled: the program stays open.
    Dialogs::queueAnswer(QMessageBox::Yes);
    QCloseEvent yes;
    QApplication::sendEvent(&w, &yes);
    EXPECT_FALSE(yes.isAccepted());
    Dialogs::queueAnswer(QMessageBox::No);
    QCloseEvent no;
    QApplication::sendEvent(&w, &no);
    EXPECT_TRUE(no.isAccepted());
}

TEST_F(DocumentTest, CommandEnabling) {
    struct State {
        const char* what;
        int vehicles;
        bool select;
        bool saved;
        std::vector<const char*> on, off;
    } states[] = {
        {"empty",
         0,
         false,
         false,
         {"actNeu", "actLoadFile", "actOpenVehicle", "actAddPkw", "actExit"},
         {"actSaveFile", "actSaveFileAs", "actCheckErrors", "actCopy", "actRemove", "actSaveVehicle"}},
        {"changed and selected",
         2,
         true,
         false,
         {"actSaveFile", "actSaveFileAs", "actCheckErrors", "actCopy", "actRemove", "actSaveVehicle"},
         {}},
        {"saved", 2, true, true, {"actSaveFileAs"}, {"actSaveFile"}},
        {"nothing selected", 2, false, false, {"actSaveFileAs"}, {"actCopy", "actRemove", "actSaveVehicle"}},
    };
    for (const State& s : states) {
        SCOPED_TRACE(s.what);
        model::Inventory inv;
        for (int i = 0; i < s.vehicles; ++i)
            inv.append(validVehicle(1));
        w.setInventory(inv);
        w.selectRow(s.select ? 0 : -1);
        w.setSaved(s.saved);
        w.ActionManager1Update();
        for (const char* a : s.on)
            EXPECT_TRUE(enabled(a)) << a;
        for (const char* a : s.off)
            EXPECT_FALSE(enabled(a)) << a;
    }
}

TEST_F(DocumentTest, HintOfTheCommandUnderTheMouse) {
    w.action("actCopy")->hover();
    EXPECT_EQ(w.findChild<QLabel*>("lblHint")->text(), "   Dupliziert das selektierte Fahrzeug");
}

TEST_F(DocumentTest, SettingsOfTheLastRun) {
    shell::Settings s;
    s.File = {QStringLiteral("/a.zip"), QStringLiteral("/b.zip"), QString(), QString()};
    s.AutomaticIntNr = false;
    s.Username = QStringLiteral("haendler");
    w.applySettings(s);
    EXPECT_EQ(w.action("actOpenRecent2")->text(), "&2 - /b.zip");
    EXPECT_FALSE(w.action("actAutomaticIntNr")->isChecked());
    EXPECT_FALSE(w.automaticIntNr());
    const shell::Settings back = w.currentSettings();
    EXPECT_EQ(back.File, s.File);
    EXPECT_FALSE(back.AutomaticIntNr);
    EXPECT_EQ(back.Username, "haendler") << "settings of other dialogs pass through";
    EXPECT_EQ(back.col[1], 85);
}

} // namespace
