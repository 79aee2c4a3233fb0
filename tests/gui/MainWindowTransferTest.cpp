#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>

using namespace tarmelo;

// The upload command checks every vehicle first; a broken rule is shown in the status bar and no dialog opens.
TEST(MainWindowTransferTest, UploadCommandStopsAtTheFirstBrokenRule) {
    const struct {
        const char* name;
        bool automatic;
        QByteArray inr;
        QByteArray ez;
        const char* message;
    } cases[] = {
        {"typed number missing", false, "", "05-2005", " Fehler: "},
        {"first registration invalid", true, "A", "13-2005", " Fehler: Datum der Erstzulassung"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gui::Dialogs::setTestMode(true);
        gui::TformMain w;
        w.setClock(fixedClock(QDateTime(QDate(2009, 5, 15), QTime(10, 0))));
        w.setAutomaticIntNr(c.automatic);
        model::TFahrzeug v = test::validVehicle(1);
        v.inr = c.inr;
        v.ez = c.ez;
        model::TFahrzeug first = test::validVehicle(1);
        first.inr = "B";
        w.setInventory({first, v});
        ASSERT_TRUE(w.action("actSaveMobile")->isEnabled());
        EXPECT_TRUE(w.action("actLoadMobile")->isEnabled());
        // Should a dialog open after all, it is closed again so that the test fails instead of waiting.
        bool dialogOpened = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&dialogOpened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                dialogOpened = true;
                modal->close();
            }
        });
        guard.start(3000);
        w.action("actSaveMobile")->trigger();
        EXPECT_FALSE(dialogOpened);
        EXPECT_TRUE(w.statusMessage().startsWith(QString::fromUtf8(c.message))) << w.statusMessage().toStdString();
    }
}
