// Commands follow every change at once, and hints never cover the status bar. Each state is reached by what a
// dealer does; the tests only look at the commands afterwards.
#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "editor/VehiclePages.h"
#include "model/FieldSchema.h"
#include "photo/Jpeg.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace tarmelo;
using gui::TformMain;

namespace {

class CommandStateTest : public testing::Test {
protected:
    void SetUp() override {
        gui::Dialogs::setTestMode(true);
        w.setClock(fixedClock(QDateTime(QDate(2026, 12, 9), QTime(10, 0))));
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(dir.isValid());
        // A saved archive to start from: the save command is off until the first change.
        model::Inventory inv{test::validVehicle(1), test::validVehicle(1)};
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        inv[0].bilder[0] = photo::encodeJpeg(image);
        inv[0].bilder[1] = inv[0].bilder[0];
        w.setInventory(inv);
        gui::Dialogs::queueFileName(dir.filePath("bestand.zip"));
        w.action("actSaveFileAs")->trigger();
        ASSERT_TRUE(w.isSaved());
    }
    void TearDown() override { gui::Dialogs::setTestMode(false); }

    QToolButton* toolButton(const char* actionName) {
        return qobject_cast<QToolButton*>(w.findChild<QToolBar*>("MainToolBar")->widgetForAction(w.action(actionName)));
    }
    bool saveOffered() {
        const bool menu = w.action("actSaveFile")->isEnabled();
        EXPECT_EQ(toolButton("actSaveFile")->isEnabled(), menu) << "menu entry and toolbar button agree";
        return menu;
    }
    void clickRow(int row) {
        const QRect r = w.list()->visualItemRect(w.list()->topLevelItem(row));
        QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {}, r.center());
    }
    void reopen() {
        w.setSaved(true); // answered as "no changes" so that opening asks nothing
        gui::Dialogs::queueFileName(dir.filePath("bestand.zip"));
        w.action("actLoadFile")->trigger();
        ASSERT_TRUE(w.isSaved());
        ASSERT_FALSE(saveOffered());
    }

    QTemporaryDir dir;
    TformMain w;
};

// The first change of each kind after an open offers "Speichern > Datei" at once.
TEST_F(CommandStateTest, FirstChangeOffersSave) {
    struct Change {
        const char* what;
        std::function<void()> act;
    };
    const Change changes[] = {
        {"typing the model", [&] { QTest::keyClicks(w.findChild<QLineEdit*>("le_1_modell"), "X"); }},
        {"ticking a check box",
         [&] {
             QTest::mouseClick(w.findChild<QAbstractButton*>("sbAusstattung"), Qt::LeftButton);
             auto* box = w.findChild<QCheckBox*>("cb_1_abs");
             QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
         }},
        {"typing a price", [&] { QTest::keyClicks(w.findChild<QDoubleSpinBox*>("ce_1_hpreis"), "5"); }},
        {"adding a vehicle", [&] { w.action("actAddKrad")->trigger(); }},
        {"copying from the toolbar", [&] { QTest::mouseClick(toolButton("actCopy"), Qt::LeftButton); }},
        {"removing with the Delete key",
         [&] {
             gui::Dialogs::queueAnswer(QMessageBox::Yes);
             w.list()->setFocus();
             QTest::keyClick(w.list(), Qt::Key_Delete);
         }},
        {"deleting a photo",
         [&] {
             QTest::mouseClick(w.findChild<QAbstractButton*>("sbAllgemein"), Qt::LeftButton);
             QTest::mouseClick(w.findChild<QAbstractButton*>("sp_1_del"), Qt::LeftButton);
         }},
        {"switching automatic numbers", [&] { w.action("actAutomaticIntNr")->trigger(); }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        reopen();
        clickRow(0);
        EXPECT_FALSE(saveOffered()) << "selecting a row changes nothing";
        c.act();
        EXPECT_FALSE(w.isSaved());
        EXPECT_TRUE(saveOffered());
    }
}

// Commands that need a selected vehicle or a non-empty inventory follow the list at once.
TEST_F(CommandStateTest, SelectionAndCountDriveTheCommands) {
    clickRow(1);
    for (const char* a : {"actCopy", "actRemove", "actSaveVehicle", "actCheckErrors", "actSaveFileAs"})
        EXPECT_TRUE(w.action(a)->isEnabled()) << a;
    for (int i = 0; i < 2; ++i) {
        gui::Dialogs::queueAnswer(QMessageBox::Yes);
        QTest::mouseClick(w.findChild<QAbstractButton*>("tbRemove"), Qt::LeftButton);
    }
    ASSERT_TRUE(w.vehicles().isEmpty());
    for (const char* a : {"actCopy", "actRemove", "actSaveVehicle", "actCheckErrors", "actSaveFileAs", "actSaveFile"})
        EXPECT_FALSE(w.action(a)->isEnabled()) << a;
    EXPECT_FALSE(w.findChild<QAbstractButton*>("tbRemove")->isEnabled());
    w.action("actAddPkw")->trigger();
    for (const char* a : {"actCopy", "actRemove", "actCheckErrors", "actSaveFile"})
        EXPECT_TRUE(w.action(a)->isEnabled()) << a;
    // The recent file of the save is offered; the empty positions are not.
    EXPECT_TRUE(w.action("actOpenRecent1")->isEnabled());
    EXPECT_FALSE(w.action("actOpenRecent2")->isEnabled());
}

// Hints appear in lblHint while the mouse rests on a field or a command and leave with it; the red error
// message and the progress bar stay where they are.
TEST_F(CommandStateTest, HintsNeverCoverTheStatusBar) {
    w.document()->edit(1).modell = "";
    QTest::mouseClick(toolButton("actCheckErrors"), Qt::LeftButton);
    const QString error = w.statusMessage();
    ASSERT_TRUE(error.startsWith(" Fehler: "));
    auto* panel = w.findChild<QLabel*>("StatusBarMessage");
    auto* progress = w.findChild<QProgressBar*>("MainProgBar");
    struct Hover {
        QWidget* widget;
        QString hint;
    };
    const Hover hovers[] = {
        {w.findChild<QWidget*>("ce_1_preis"), QStringLiteral("Preis inkl. Überführungskosten")},
        {toolButton("actCopy"), QStringLiteral("Dupliziert das selektierte Fahrzeug")},
        {toolButton("actNeu"), QStringLiteral("Erstellt einen neuen Fahrzeugbestand")},
        {w.findChild<QWidget*>("tbAdd"), QStringLiteral("Fahrzeug hinzufügen")},
        {w.findChild<QWidget*>("lblEintrag"), QString()},
    };
    for (const Hover& h : hovers) {
        ASSERT_NE(h.widget, nullptr) << h.hint.toStdString();
        QTest::mouseMove(h.widget);
        QTest::qWait(20);
        EXPECT_EQ(w.hintText(), h.hint);
        EXPECT_EQ(w.statusMessage(), error);
        EXPECT_TRUE(panel->isVisible());
        EXPECT_TRUE(progress->isVisible());
    }
    // Leaving a field with a hint for one without clears the label.
    QTest::mouseMove(w.findChild<QWidget*>("ce_1_preis"));
    QTest::qWait(20);
    EXPECT_FALSE(w.hintText().isEmpty());
    QTest::mouseMove(w.findChild<QWidget*>("lblEintrag"));
    QTest::qWait(20);
    EXPECT_TRUE(w.hintText().isEmpty());
}

} // namespace
