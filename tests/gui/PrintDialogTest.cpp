#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "photo/Jpeg.h"
#include "print/ReportLayout.h"
#include "print/TformPrint.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformPrint;

namespace {

QByteArray photoJpeg(int w, int h) {
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor(40, 90, 160));
    return photo::encodeJpeg(img);
}

model::Inventory sixVehicles() {
    model::Inventory inv;
    for (int i = 0; i < 6; ++i) {
        model::TFahrzeug v = model::newVehicle(1);
        v.marke = "VW";
        v.modell = "Golf";
        v.preis = 11900;
        v.mwst = "19%";
        inv.append(v);
    }
    inv[0].marke = "Bitte ausw\xe4hlen";
    inv[0].modell = "   ";
    inv[1].preis = 0;
    inv[2].bn = 1;
    inv[2].preis = 10000;
    inv[2].mwst = "7,6%";
    inv[3].mwst = "MwSt nicht ausweisbar";
    for (auto& b : inv[4].bilder)
        b = photoJpeg(64, 48);
    return inv;
}

struct PrintDialogTest : testing::Test {
    model::Inventory vehicles = sixVehicles();
    print::PrintChoice choice;
    std::unique_ptr<TformPrint> dialog;
    QList<int> previewPages;
    bool controlsDisabledInPreview = false;

    void SetUp() override {
        Dialogs::shown().clear();
        Dialogs::helpShown().clear();
        TformPrint::setPreviewHook([this](const print::ReportLayout& layout) {
            previewPages.append(layout.pageCount());
            controlsDisabledInPreview = !find<QTreeWidget>("ReportList")->isEnabled() &&
                                        !find<QPushButton>("btnOK")->isEnabled() &&
                                        !find<QComboBox>("cbPrintStyle")->isEnabled();
        });
        dialog = std::make_unique<TformPrint>(vehicles, choice, false,
                                              fixedClock(QDateTime(QDate(2026, 12, 9), QTime(10, 0))));
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void TearDown() override { TformPrint::setPreviewHook({}); }
    template <class T> T* find(const char* name) {
        T* w = dialog->findChild<T*>(QLatin1StringView(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* list() { return find<QTreeWidget>("ReportList"); }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
};

TEST_F(PrintDialogTest, RowsShowMakeModelPricesAndPhotos) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Drucken"));
    const QStringList rows[] = {
        {"1", "-", "-", "10.000 EUR", "11.900 EUR", "-"},      {"2", "VW", "Golf", "-", "-", "-"},
        {"3", "VW", "Golf", "10.000 EUR", "10.760 EUR", "-"},  {"4", "VW", "Golf", "-", "11.900 EUR", "-"},
        {"5", "VW", "Golf", "10.000 EUR", "11.900 EUR", "15"},
    };
    QTreeWidget* l = list();
    ASSERT_EQ(l->topLevelItemCount(), 6);
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(l->topLevelItem(r)->checkState(0), Qt::Checked);
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(l->topLevelItem(r)->text(c), rows[r][c]) << r << "," << c;
    }
    QComboBox* style = find<QComboBox>("cbPrintStyle");
    EXPECT_EQ(style->currentIndex(), 0);
    EXPECT_EQ(style->itemText(1), QStringLiteral("Listenausdruck ohne Bilder"));
}

TEST_F(PrintDialogTest, UntickingGreysTheRowAndNoneGivesTheWarning) {
    test::clickCheckBox(list(), 2);
    EXPECT_EQ(list()->topLevelItem(2)->foreground(1).color(), QColor(180, 180, 180));
    test::clickCheckBox(list(), 2);
    EXPECT_NE(list()->topLevelItem(2)->foreground(1).color(), QColor(180, 180, 180));
    click("btnSelectNone");
    click("btnOK");
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_EQ(Dialogs::shown()[0].text, QStringLiteral("Es muss mindestens ein Fahrzeug zum Drucken ausgewählt sein!"));
    EXPECT_TRUE(previewPages.isEmpty());
    EXPECT_EQ(choice.selectedCount, 0);
    click("btnSelectAll");
    EXPECT_EQ(list()->topLevelItem(5)->checkState(0), Qt::Checked);
}

TEST_F(PrintDialogTest, OkComposesTheChoiceAndShowsThePreview) {
    click("btnSelectNone");
    test::clickCheckBox(list(), 1);
    test::clickCheckBox(list(), 4);
    find<QComboBox>("cbPrintStyle")->setCurrentIndex(1);
    click("btnOK");
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    ASSERT_EQ(previewPages.size(), 1);
    EXPECT_EQ(previewPages[0], 1);
    EXPECT_TRUE(controlsDisabledInPreview);
    EXPECT_TRUE(list()->isEnabled());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(choice.selection, QList<bool>({false, true, false, false, true, false}));
    EXPECT_EQ(choice.selectedCount, 2);
    EXPECT_FALSE(choice.withPhotos);
    click("btnHelp");
    EXPECT_EQ(Dialogs::helpShown(), QList<int>({1003}));
}

TEST_F(PrintDialogTest, FailureIsReportedAndControlsComeBack) {
    vehicles[3].leistung = "12a";
    click("btnOK");
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_TRUE(Dialogs::shown()[0].text.contains(QStringLiteral("Fahrzeug 4 (VW Golf)")));
    EXPECT_TRUE(Dialogs::shown()[0].text.contains(QStringLiteral("Leistung")));
    EXPECT_TRUE(previewPages.isEmpty());
    EXPECT_TRUE(find<QPushButton>("btnOK")->isEnabled());
}

TEST_F(PrintDialogTest, SavesThePdf) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bestand"));
    Dialogs::queueFileName(path);
    click("btnSavePdf");
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    QFile pdf(path + QStringLiteral(".pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}

// The real preview: it paints the pages on the printer and offers the PDF export in its tool bar.
TEST_F(PrintDialogTest, RealPreviewShowsPagesAndSavesPdf) {
    TformPrint::setPreviewHook({});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vorschau.pdf"));
    Dialogs::queueFileName(path);
    bool sawPreview = false;
    // Composing runs an event loop of its own, so the preview is looked for until it shows.
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(top);
            if (!preview || !preview->isVisible())
                continue;
            sawPreview = true;
            EXPECT_FALSE(find<QPushButton>("btnOK")->isEnabled());
            if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) {
                EXPECT_GE(widget->pageCount(), 1);
            }
            if (QAction* pdf = preview->findChild<QAction*>(QStringLiteral("actSavePdf")))
                pdf->trigger();
            poll.stop();
            preview->reject();
        }
    });
    poll.start();
    click("btnOK");
    EXPECT_TRUE(sawPreview);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(find<QPushButton>("btnOK")->isEnabled());
}

TEST(PrintCommand, EnabledWithVehiclesAndNotBusy) {
    gui::TformMain w;
    QAction* a = w.action(QStringLiteral("actPrint"));
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->isEnabled());
    w.setInventory(sixVehicles());
    EXPECT_TRUE(a->isEnabled());
}

} // namespace
