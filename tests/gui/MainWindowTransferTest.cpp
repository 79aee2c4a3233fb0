#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolBar>

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

// A sold vehicle stays at home: its broken rule stops nothing, and the upload dialog counts the others alone.
TEST(MainWindowTransferTest, SoldVehiclesNeitherStopNorJoinTheUpload) {
    gui::Dialogs::setTestMode(true);
    gui::TformMain w;
    w.setClock(fixedClock(QDateTime(QDate(2009, 5, 15), QTime(10, 0))));
    model::Inventory inv{test::validVehicle(1), test::validVehicle(1), test::validVehicle(2)};
    inv[1].ez = "13-2005";
    inv[1].bestand.status = model::StockStatus::Sold;
    w.setInventory(inv);
    QString counted;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&counted] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* label = modal->findChild<QLabel*>(QStringLiteral("lbl_vehicles")))
                counted = label->text();
            modal->close();
        }
    });
    guard.start(50);
    w.show();
    QTest::mouseClick(w.findChild<QToolBar*>("MainToolBar")->widgetForAction(w.action("actSaveMobile")),
                      Qt::LeftButton);
    EXPECT_EQ(counted, QStringLiteral("2"));
    EXPECT_TRUE(w.statusMessage().isEmpty()) << w.statusMessage().toStdString();
}
