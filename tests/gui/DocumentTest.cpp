#include "common/Dialogs.h"
#include "core/photo/photo_test_images.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "inventory/TformBackups.h"
#include "support/TestVehicles.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

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
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
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
        test::clickRow(w.list(), 0);
        // Ctrl and a click on the highlighted row takes the highlight away.
        if (!s.select)
            test::clickRow(w.list(), 0, Qt::ControlModifier);
        ASSERT_EQ(w.list()->selectedRow(), s.select ? 0 : -1);
        w.setSaved(s.saved);
        for (const char* a : s.on)
            EXPECT_TRUE(enabled(a)) << a;
        for (const char* a : s.off)
            EXPECT_FALSE(enabled(a)) << a;
    }
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

// ---- saving and opening archives ----

model::Inventory withPhotos(int count) {
    model::Inventory inv;
    for (int i = 0; i < count; ++i) {
        model::TFahrzeug v = validVehicle(1 + i % 3);
        v.modell = "Modell " + QByteArray::number(i + 1);
        for (int k = 0; k <= i % 3; ++k)
            v.bilder[size_t(k)] = photo_test::jpeg(photo_test::noise(32, 24, std::uint32_t(10 * i + k)));
        inv.append(v);
    }
    return inv;
}

TEST_F(DocumentTest, SaveAndOpenAgain) {
    const model::Inventory inv = withPhotos(3);
    w.setInventory(inv);
    Dialogs::queueFileName(path("bestand")); // typed without extension
    w.actSaveFileAsExecute();
    const QString saved = path("bestand.zip");
    ASSERT_TRUE(QFile::exists(saved));
    EXPECT_EQ(w.windowTitle(), "Tarmelo - bestand.zip");
    EXPECT_EQ(w.recentFiles().value(0), saved);
    EXPECT_TRUE(w.isSaved());
    EXPECT_FALSE(enabled("actSaveFile"));

    w.actNeuExecute();
    ASSERT_TRUE(w.vehicles().isEmpty());
    Dialogs::shown().clear();
    Dialogs::queueFileName(saved);
    w.actLoadFileExecute();
    EXPECT_TRUE(Dialogs::shown().isEmpty()) << Dialogs::shown().value(0).text.toStdString();
    ASSERT_EQ(w.vehicles().size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(w.vehicles()[i].modell, inv[i].modell);
        EXPECT_EQ(w.vehicles()[i].bilder, inv[i].bilder);
    }
    EXPECT_EQ(w.windowTitle(), "Tarmelo - bestand.zip");
    EXPECT_TRUE(w.isSaved());
    EXPECT_EQ(w.list()->selectedRow(), 0);
    EXPECT_TRUE(w.findChild<QWidget*>("plNavigation")->isVisibleTo(&w));
    EXPECT_FALSE(w.findChild<QLabel*>("plImport")->isVisibleTo(&w));
    EXPECT_EQ(w.findChild<QLabel*>("plImport")->text(), "Fahrzeuge werden importiert ...");

    // Saving under the document's name asks for nothing.
    w.setSaved(false);
    w.actSaveFileExecute();
    EXPECT_TRUE(w.isSaved());
}

// A save that replaces the archive keeps the one replaced; "Sicherung wiederherstellen ..." opens it as a new,
// unsaved document.
TEST_F(DocumentTest, ABackupOfTheReplacedArchiveOpensAsANewDocument) {
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("daten")));
    const auto restoreHome = qScopeGuard([&] {
        if (home.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", home);
    });
    w.applySettings(shell::Settings());
    Dialogs::shown().clear();
    w.action("actRestoreBackup")->trigger();
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_TRUE(Dialogs::shown()[0].text.startsWith("Für diesen Bestand gibt es noch keine Sicherungen."));

    w.setInventory(withPhotos(2));
    Dialogs::queueFileName(path("bestand.zip"));
    w.action("actSaveFileAs")->trigger();
    ASSERT_TRUE(w.isSaved());
    test::clickRow(w.list(), 1);
    Dialogs::queueAnswer(QMessageBox::Yes);
    w.action("actRemove")->trigger();
    ASSERT_EQ(w.vehicles().size(), 1);
    w.action("actSaveFile")->trigger();
    ASSERT_TRUE(w.isSaved());

    int listed = -1;
    QString cause;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<gui::TformBackups*>(top);
            if (!d)
                continue;
            auto* table = d->findChild<QTableWidget*>(QStringLiteral("tblBackups"));
            listed = table->rowCount();
            cause = table->item(0, 1)->text();
            test::doubleClick(table, table->visualItemRect(table->item(0, 0)).center());
        }
    });
    w.action("actRestoreBackup")->trigger();
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(cause, QStringLiteral("Speichern"));
    EXPECT_EQ(w.vehicles().size(), 2);
    EXPECT_EQ(w.windowTitle(), "Tarmelo - Unbenannt");
    EXPECT_FALSE(w.isSaved());
}

TEST_F(DocumentTest, FailedSaveKeepsNameRecentFilesAndSavedFlag) {
    const struct {
        const char* name;
        int error;
        Dialogs::Kind kind;
        const char* start;
    } cases[] = {
        {"full medium", ENOSPC, Dialogs::Kind::Error, "Die Datei konnte nicht gespeichert werden. Das Speichermedium"},
        {"no access", EACCES, Dialogs::Kind::Warning, "Der Zugriff auf das Laufwerk wurde verweigert."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        w.setInventory(withPhotos(2));
        w.SetFileName(path("alt.zip"));
        w.SetOpenRecent({path("alt.zip"), "", "", ""});
        w.setSaved(false);
        w.setSaveFaults([&c](inventory::WriteStage s) {
            return s == inventory::WriteStage::Write || s == inventory::WriteStage::Create ? c.error : 0;
        });
        Dialogs::shown().clear();
        Dialogs::queueFileName(path("neu.zip"));
        w.actSaveFileAsExecute();
        ASSERT_EQ(Dialogs::shown().size(), 1);
        EXPECT_EQ(Dialogs::shown()[0].kind, c.kind);
        EXPECT_TRUE(Dialogs::shown()[0].text.startsWith(QString::fromUtf8(c.start)));
        EXPECT_EQ(w.windowTitle(), "Tarmelo - alt.zip");
        EXPECT_EQ(w.recentFiles(), QStringList({path("alt.zip"), "", "", ""}));
        EXPECT_FALSE(w.isSaved());
        EXPECT_FALSE(QFile::exists(path("neu.zip")));
        EXPECT_TRUE(enabled("actSaveFile")) << "the busy flag is cleared again";
    }
}

TEST_F(DocumentTest, CommandsAndClosingWhileAnArchiveIsWritten) {
    w.setInventory(withPhotos(3));
    test::clickRow(w.list(), 1);
    std::vector<const char*> enabledWhileBusy;
    bool closeRefused = false;
    bool asked = false;
    // The archive is written on a thread of its own; the window is looked at on its own thread meanwhile.
    w.setSaveFaults([&](inventory::WriteStage s) {
        if (s != inventory::WriteStage::Write)
            return 0;
        QMetaObject::invokeMethod(
            &w,
            [&] {
                asked = true;
                for (const char* a :
                     {"actNeu", "actLoadFile", "actOpenVehicle", "actSaveFile", "actSaveFileAs", "actSaveVehicle",
                      "actCopy", "actRemove", "actAddPkw", "actAutomaticIntNr", "actCheckErrors", "actExit"})
                    if (enabled(a))
                        enabledWhileBusy.push_back(a);
                QCloseEvent close;
                QApplication::sendEvent(&w, &close);
                closeRefused = !close.isAccepted();
            },
            Qt::BlockingQueuedConnection);
        return 0;
    });
    Dialogs::queueFileName(path("b.zip"));
    w.actSaveFileAsExecute();
    ASSERT_TRUE(asked);
    EXPECT_TRUE(enabledWhileBusy.empty()) << enabledWhileBusy.front();
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(Dialogs::shown().isEmpty()) << "closing is refused without a message";
    EXPECT_TRUE(w.isSaved());
    EXPECT_TRUE(enabled("actSaveFileAs") && enabled("actCopy")) << "enabled again afterwards";
}

TEST_F(DocumentTest, ExistingTargetThatCannotBeReplaced) {
    w.setInventory(withPhotos(1));
    ASSERT_TRUE(QDir(dir.path()).mkdir("ordner.zip"));
    Dialogs::queueFileName(path("ordner.zip"));
    w.actSaveFileAsExecute();
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_EQ(Dialogs::shown()[0].text,
              "Eine Datei mit dem Namen \"ordner.zip\" existiert bereits und kann nicht\n"
              "überschrieben werden.\n\nVersuchen Sie, die Datei unter einem anderen Namen zu "
              "speichern!");
    EXPECT_EQ(w.windowTitle(), "Tarmelo - Unbenannt");
}

TEST_F(DocumentTest, OneVehicleAloneAndInsertingIt) {
    w.setInventory(withPhotos(5));
    w.SetFileName(path("bestand.zip"));
    w.setSaved(true);
    test::clickRow(w.list(), 4);
    Dialogs::queueFileName(path("einer.zip"));
    w.actSaveVehicleExecute();
    ASSERT_TRUE(QFile::exists(path("einer.zip")));
    EXPECT_EQ(w.windowTitle(), "Tarmelo - bestand.zip") << "an export does not rename the document";
    EXPECT_TRUE(w.isSaved());
    EXPECT_TRUE(w.recentFiles().value(0).isEmpty());

    Dialogs::queueFileName(path("einer.zip"));
    w.actOpenVehicleExecute();
    ASSERT_EQ(w.vehicles().size(), 6);
    EXPECT_EQ(w.vehicles()[5].modell, "Modell 5");
    EXPECT_EQ(w.vehicles()[5].bilder, w.vehicles()[4].bilder);
    EXPECT_EQ(w.list()->topLevelItem(5)->text(0), "6");
    EXPECT_EQ(w.windowTitle(), "Tarmelo - bestand.zip");
    EXPECT_FALSE(w.isSaved());
    EXPECT_EQ(w.list()->selectedRow(), 0);
}

TEST_F(DocumentTest, OpeningABrokenFile) {
    const QString broken = path("kaputt.zip");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("kein Archiv");
    f.close();
    w.SetFileName(path("vorher.zip"));
    w.ReadFile(broken, false);
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_EQ(Dialogs::shown()[0].kind, Dialogs::Kind::Error);
    EXPECT_EQ(Dialogs::shown()[0].text,
              "Fehler: Die angegebene Datei ist fehlerhaft und kann nicht importiert werden.");
    EXPECT_EQ(w.windowTitle(), "Tarmelo - Unbenannt");
    EXPECT_TRUE(w.recentFiles().value(0).isEmpty());
}

TEST_F(DocumentTest, FileNamedOnTheCommandLine) {
    w.setInventory(withPhotos(2));
    Dialogs::queueFileName(path("start.zip"));
    w.actSaveFileAsExecute();
    w.setInventory({});
    Dialogs::shown().clear();

    w.openAtStart(path("start.zip"));
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    EXPECT_EQ(w.vehicles().size(), 2);
    EXPECT_EQ(w.windowTitle(), "Tarmelo - start.zip");

    w.setInventory({});
    for (const QString& missing : {path("fehlt.zip"), dir.path()}) {
        Dialogs::shown().clear();
        w.openAtStart(missing);
        ASSERT_EQ(Dialogs::shown().size(), 1);
        EXPECT_EQ(Dialogs::shown()[0].kind, Dialogs::Kind::Error);
        EXPECT_EQ(Dialogs::shown()[0].text,
                  QStringLiteral("Die angegebene Datei \"%1\" existiert nicht!").arg(QFileInfo(missing).fileName()));
        EXPECT_EQ(w.windowTitle(), "Tarmelo - Unbenannt");
    }
}

TEST_F(DocumentTest, HelpKeyOpensTheMainPage) {
    Dialogs::helpShown().clear();
    w.action("actHelp")->trigger();
    EXPECT_EQ(Dialogs::helpShown(), QList<int>{1000});
    EXPECT_EQ(w.action("actHelp")->shortcut(), QKeySequence(Qt::Key_F1));
}

} // namespace
