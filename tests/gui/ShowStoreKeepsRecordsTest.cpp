// Showing a vehicle never changes it: whatever a record holds, showing it in the editor's real controls, moving
// the focus through them and storing them back gives the same record and the same marketplace line, byte for
// byte. An edit changes the one field edited.
#include "common/Dialogs.h"
#include "csv/LineWriter.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "editor/VehiclePages.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "model/VehicleClass.h"
#include "support/RandomLines.h"
#include "support/TestVehicles.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace tarmelo;

namespace {

// The marketplace columns (1-based) in which two lines differ.
QList<int> differingColumns(const QByteArray& a, const QByteArray& b) {
    // The bodies start at column 3; fields are split as the reader does, quotes and all.
    const auto split = [](const QByteArray& body) {
        QList<QByteArray> out;
        qsizetype i = 0;
        while (i < body.size()) {
            qsizetype end = i;
            if (body[i] == '"') {
                end = i + 1;
                int quotes = 0;
                while (end < body.size() && !(body[end] == ';' && quotes % 2 == 1))
                    quotes += body[end++] == '"';
            } else {
                end = body.indexOf(';', i);
                if (end < 0)
                    end = body.size();
            }
            out.append(body.mid(i, end - i));
            i = end + 1;
        }
        return out;
    };
    const QList<QByteArray> x = split(a), y = split(b);
    QList<int> columns;
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i)
        if (x.value(i) != y.value(i))
            columns.append(int(i) + 3);
    return columns;
}

void moveFocusThrough(QWidget* page) {
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus)
            continue;
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w, &in);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w, &out);
    }
}

TEST(ShowStoreKeepsRecords, RandomRecordsOfEveryClassComeBackByteForByte) {
    gui::VehiclePages pages;
    test::RandomLines random(20261210);
    for (int c = 1; c <= model::kClassCount; ++c) {
        SCOPED_TRACE(model::className(c).toStdString());
        for (int n = 0; n < 1000; ++n) {
            const model::TFahrzeug v = random.vehicle(c);
            pages.fill(v);
            if (n % 50 == 0) {
                moveFocusThrough(pages.findChild<QWidget*>(model::generalPageName(c)));
                moveFocusThrough(pages.findChild<QWidget*>(model::equipmentPageName(c)));
            }
            model::TFahrzeug stored = v;
            pages.store(stored);
            ASSERT_EQ(csv::lineBody(stored), csv::lineBody(v)) << "record " << n;
            ASSERT_TRUE(stored == v) << "record " << n;
        }
    }
}

// One edit per kind of control, made with the keys and clicks a dealer uses: only its column changes.
TEST(ShowStoreKeepsRecords, AnEditChangesOnlyItsField) {
    gui::Dialogs::setTestMode(true);
    gui::TformMain w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const auto typeInto = [](QLineEdit* e, const QString& text) {
        QTest::mouseClick(e, Qt::LeftButton);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    };
    const auto clickBox = [](QWidget* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); };
    struct Edit {
        int klasse;
        const char* control;
        bool equipment;
        std::function<void(QWidget*)> act;
        QList<int> columns;
    };
    const QList<Edit> edits = {
        {1, "combo_1_kraftstoff", false, [](QWidget* b) { QTest::keyClick(b, Qt::Key_Down); }, {110}},
        {9,
         "combo_9_marke",
         false,
         [&](QWidget* b) { typeInto(static_cast<QComboBox*>(b)->lineEdit(), "Volkswagen"); },
         {4}},
        {1,
         "combo_1_farbe",
         false,
         [&](QWidget* b) { typeInto(static_cast<QComboBox*>(b)->lineEdit(), "perlmutt"); },
         {17}},
        {1, "le_1_modell", false, [&](QWidget* e) { typeInto(static_cast<QLineEdit*>(e), "Golf  "); }, {5}},
        {1, "me_1_ez", false, [&](QWidget* e) { typeInto(static_cast<QLineEdit*>(e), "062007"); }, {9}},
        {1, "ce_1_preis", false, [&](QWidget* e) { typeInto(e->findChild<QLineEdit*>(), "12345"); }, {11}},
        {1, "rb_1_unf", false, clickBox, {16}},
        {1, "cb_1_abs", true, clickBox, {34}},
        {1, "Memo1", true, [](QWidget* m) { QTest::keyClicks(m, "Klima"); }, {26}},
    };
    test::RandomLines random(7);
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.control);
        model::TFahrzeug v = random.vehicle(e.klasse);
        v.kraftstoff = model::items::kKeineAngabe;
        v.abs = 0;
        v.unf = 0;
        w.setInventory({v, test::validVehicle(2)});
        QTest::mouseClick(w.findChild<QAbstractButton*>(e.equipment ? "sbAusstattung" : "sbAllgemein"), Qt::LeftButton);
        if (QTabWidget* tabs = w.pages()->featureTabs(e.klasse))
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QWidget* control = w.pages()->control(QString::fromLatin1(e.control));
        ASSERT_TRUE(control && control->isVisible());
        e.act(control);
        test::clickRow(w.list(), 1); // leaving the vehicle stores it
        EXPECT_EQ(differingColumns(csv::lineBody(v), csv::lineBody(w.vehicles()[0])), e.columns);
    }
    gui::Dialogs::setTestMode(false);
}

// An archive whose vehicles hold what the lists do not know, and fields without a control on their pages.
model::Inventory oddVehicles() {
    model::TFahrzeug bauma = test::validVehicle(9);
    bauma.marke = "TRAILIS";
    bauma.kategorie = "Radlader";
    bauma.klima = "Klimaanlage";
    bauma.radformel = 3;
    bauma.kraftstoff = "Diesel";
    model::TFahrzeug lkw = test::validVehicle(5);
    lkw.marke = "Tesla";
    lkw.kategorie = "Kipper";
    lkw.typ = "Jahreswagen";
    lkw.ez = QDate::currentDate().addMonths(-3).toString("MM-yyyy").toLatin1();
    lkw.kraftstoff = "Wasserstoff";
    lkw.modell = "Semi \"Plaid\"";
    model::TFahrzeug pkw = test::validVehicle(1);
    pkw.marke = "cupra";
    pkw.kategorie = "KOMBI";
    pkw.typ = "Tageszulassung";
    pkw.ez = lkw.ez;
    pkw.farbe = *model::toCp1252(QStringLiteral("perlmutt-weiß"));
    pkw.memo = "Klima, AHK \xA0 \x80";
    pkw.hydraulik = 2;
    model::TFahrzeug stapler = test::validVehicle(12);
    stapler.marke = "Linde";
    stapler.kategorie = "Frontstapler";
    stapler.klima = "Klimaautomatik";
    return {bauma, lkw, pkw, stapler};
}

QList<QByteArray> archiveLines(const QString& path) {
    const inventory::OpenResult r = inventory::readInventoryFile(path);
    const inventory::CsvLines lines =
        inventory::buildLines(r.vehicles, 0, int(r.vehicles.size()) - 1, inventory::KeyMode::Automatic, systemClock());
    return lines.lines;
}

// As a dealer meets it: open the archive, click every vehicle and every page, nothing is modified; tick one box on
// vehicle 2 and save: only that vehicle's line changes, in that column and in its automatic number.
TEST(ShowStoreKeepsRecords, ClickingThroughAnArchiveChangesNothingButTheOneEdit) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bestand.zip");
    {
        const model::Inventory inv = oddVehicles();
        const inventory::CsvLines lines =
            inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Automatic, systemClock());
        ASSERT_TRUE(lines.ok()) << lines.failure->index << " " << lines.failure->failure.message.toStdString();
        ASSERT_TRUE(inventory::writeArchive(path, lines.fileData(), inv, 0, int(inv.size()) - 1).ok());
        // Written again from what the reader makes of it: the file the program itself would keep.
        const inventory::OpenResult read = inventory::readInventoryFile(path);
        const inventory::CsvLines again = inventory::buildLines(read.vehicles, 0, int(read.vehicles.size()) - 1,
                                                                inventory::KeyMode::Automatic, systemClock());
        ASSERT_EQ(read.vehicles.size(), 4);
        ASSERT_TRUE(inventory::writeArchive(path, again.fileData(), read.vehicles, 0, 3).ok());
    }
    const QList<QByteArray> before = archiveLines(path);

    gui::Dialogs::setTestMode(true);
    gui::TformMain w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    gui::Dialogs::queueFileName(path);
    w.actLoadFileExecute();
    ASSERT_EQ(w.vehicles().size(), 4);
    const auto click = [&](const char* name) {
        auto* b = w.findChild<QAbstractButton*>(name);
        ASSERT_TRUE(b && b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    };
    for (int round = 0; round < 2; ++round)
        for (int row = 0; row < 4; ++row) {
            test::clickRow(w.list(), row);
            click("sbAusstattung");
            if (QTabWidget* tabs = w.pages()->featureTabs(w.vehicles()[row].klasse))
                for (int tab : {1, 0})
                    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(tab).center());
            click("sbAllgemein");
        }
    EXPECT_TRUE(w.isSaved());
    EXPECT_FALSE(w.action("actSaveFile")->isEnabled());

    // A value the list does not hold is shown as it is, set apart from the list's items.
    test::clickRow(w.list(), 1);
    auto* brand = w.findChild<QComboBox*>("combo_5_marke");
    EXPECT_EQ(brand->currentText(), "TESLA");
    EXPECT_TRUE(brand->font().italic());
    EXPECT_EQ(brand->toolTip(), "nicht in der Liste");
    auto* typ = w.findChild<QComboBox*>("combo_5_typ");
    EXPECT_EQ(typ->currentIndex(), -1);
    EXPECT_EQ(typ->placeholderText(), "Jahreswagen");
    EXPECT_TRUE(typ->font().italic());

    click("sbAusstattung");
    QTabWidget* tabs = w.pages()->featureTabs(5);
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
    auto* abs = w.findChild<QCheckBox*>("cb_5_abs");
    QTest::mouseClick(abs, Qt::LeftButton, {}, QPoint(abs->height() / 2, abs->height() / 2));
    EXPECT_FALSE(w.isSaved());
    QTest::mouseClick(w.findChild<QToolBar*>("MainToolBar")->widgetForAction(w.action("actSaveFile")), Qt::LeftButton);
    EXPECT_TRUE(w.isSaved());
    gui::Dialogs::setTestMode(false);

    const QList<QByteArray> after = archiveLines(path);
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        EXPECT_TRUE(i == 1 || after[i] == before[i]) << i;
    EXPECT_EQ(differingColumns(csv::lineBody(*csv::ReadLine(before[1])), csv::lineBody(*csv::ReadLine(after[1]))),
              QList<int>{34});
    EXPECT_NE(csv::GetIntNr(after[1]), csv::GetIntNr(before[1])) << "the automatic number follows the content";
}

} // namespace
