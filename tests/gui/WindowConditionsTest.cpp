// The window under real conditions: input while a large file opens, a small screen, the saved geometry, Qt's own
// texts, F1 in every window, and one archive edited by one window at a time.
#include "common/Dialogs.h"
#include "common/Translations.h"
#include "editor/TformMain.h"
#include "editor/TformPicPreview.h"
#include "editor/VehicleList.h"
#include "editor/VehiclePages.h"
#include "intnr/TformUpdateIntNr.h"
#include "inventory/CsvFile.h"
#include "print/TformPrint.h"
#include "shell/Help.h"
#include "shell/TformInfo.h"
#include "shell/TformTipps.h"
#include "shell/TformUpdate.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

#include <functional>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformMain;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A file of n valid vehicles, "Modell 1" .. "Modell n".
QByteArray linesOf(int n) {
    model::Inventory inv;
    for (int i = 0; i < n; ++i) {
        model::TFahrzeug v = test::validVehicle(1 + i % 3);
        v.modell = "Modell " + QByteArray::number(i + 1);
        inv.append(v);
    }
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, n - 1, inventory::KeyMode::Automatic, kClock);
    EXPECT_TRUE(lines.ok());
    return lines.fileData();
}

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts.append(a->text());
    return texts;
}

class WindowConditions : public testing::Test {
protected:
    void SetUp() override {
        Dialogs::setTestMode(true);
        w.setClock(kClock);
        w.SetFileName(QStringLiteral("Unbenannt"));
    }
    void TearDown() override { Dialogs::setTestMode(true); }
    QString path(const char* name) const { return dir.filePath(QLatin1StringView(name)); }
    QTemporaryDir dir;
    TformMain w;
};

TEST_F(WindowConditions, InputWhileALargeFileOpensIsRefusedAtOnceAndNeverRunsLater) {
    constexpr int kVehicles = 10000;
    const QString file = path("gross.csv");
    ASSERT_TRUE(writeFile(file, linesOf(kVehicles)));
    const QString ini = path("config.ini");
    w.setSettingsWriter([&ini](const shell::Settings& s) { shell::saveSettingsFile(ini, s, nullptr); });
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* toolbar = w.findChild<QToolBar*>(QStringLiteral("MainToolBar"));
    QWidget* neu = toolbar->widgetForAction(w.action(QStringLiteral("actNeu")));
    auto* add = w.findChild<QToolButton*>(QStringLiteral("tbAdd"));
    ASSERT_TRUE(neu && add && add->isEnabled());

    // A menu that does open would wait for a choice: it is closed again, and the test notes it.
    bool addMenuOpened = false;
    const auto closePopups = [](bool* opened) {
        while (QWidget* p = QApplication::activePopupWidget()) {
            if (opened)
                *opened = true;
            p->close();
        }
    };
    struct Step {
        const char* what;
        std::function<void()> input;
    };
    const Step steps[] = {
        {"window closed", [&] { w.close(); }},
        {"\"Neu\" clicked", [&] { QTest::mouseClick(neu, Qt::LeftButton); }},
        {"\"+\" clicked",
         [&] {
             QTimer::singleShot(200, [&] { closePopups(&addMenuOpened); });
             QTest::mouseClick(add, Qt::LeftButton);
         }},
        {"window closed again", [&] { w.close(); }},
        {"Datei menu by keys",
         [&] {
             QTest::keyClick(&w, Qt::Key_D, Qt::AltModifier);
             if (QWidget* menu = QApplication::activePopupWidget()) {
                 QTest::keyClick(menu, Qt::Key_N); // "&Neu"
                 closePopups(nullptr);
             }
         }},
        {"Delete in the list", [&] { QTest::keyClick(w.list(), Qt::Key_Delete); }},
        {"typed", [&] { QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : &w, "abc"); }},
    };
    size_t next = 0;
    QStringList lateOrMissed;
    QTimer inject;
    inject.setInterval(0);
    QObject::connect(&inject, &QTimer::timeout, [&] {
        if (next >= std::size(steps))
            return;
        if (!w.isBusy())
            return;
        const Step& s = steps[next++];
        s.input();
        if (!w.isBusy() || !w.isVisible())
            lateOrMissed.append(QString::fromLatin1(s.what));
    });
    inject.start();
    w.ReadFile(file, false);
    inject.stop();

    ASSERT_EQ(next, std::size(steps)) << "every input came while the file was read";
    EXPECT_TRUE(lateOrMissed.isEmpty()) << lateOrMissed.join(", ").toStdString();
    // Whatever was given meanwhile met disabled commands and a refused close; nothing of it runs now.
    QTest::qWait(300);
    EXPECT_EQ(w.vehicles().size(), kVehicles);
    EXPECT_EQ(w.list()->rowCount(), kVehicles);
    EXPECT_EQ(w.vehicles().last().modell, "Modell 10000");
    EXPECT_EQ(w.documentName(), file);
    EXPECT_TRUE(w.isSaved());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(addMenuOpened) << "the add menu opened while busy";
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    EXPECT_FALSE(QFile::exists(ini)) << "config.ini is written only when closing goes ahead";
    EXPECT_TRUE(add->isEnabled() && neu->isEnabled());

    // Once idle, closing works at the first request and writes config.ini.
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    const shell::Settings written = shell::loadSettingsFile(ini);
    EXPECT_EQ(written.File[0], file);
    EXPECT_EQ(written.Width, w.geometry().width());
}

TEST_F(WindowConditions, FitsASmallScreenWithEveryControlReachable) {
    const QSize minimum = w.minimumSizeHint();
    EXPECT_LE(minimum.width(), 1000);
    EXPECT_LE(minimum.height(), 700);
    w.resize(1000, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* area = w.findChild<QScrollArea*>(QStringLiteral("pcVehicleArea"));
    ASSERT_NE(area, nullptr);
    // The widest class and the tallest, both pages: each control can be scrolled into view.
    for (const char* command : {"actAddLkw_k", "actAddAgrar", "actAddWomo"}) {
        w.action(QLatin1StringView(command))->trigger();
        for (const char* page : {"sbAllgemein", "sbAusstattung"}) {
            QTest::mouseClick(w.findChild<QToolButton*>(QLatin1StringView(page)), Qt::LeftButton);
            const int c = w.vehicles().last().klasse;
            int seen = 0;
            const QRegularExpression kinds(QStringLiteral("^(le|combo|me|ce|cb|rb|sp)_%1_").arg(c));
            for (QWidget* control : w.pages()->findChildren<QWidget*>(kinds)) {
                const QString name = control->objectName();
                if (!control->isVisible())
                    continue;
                // The whole control, not only its text cursor, which is what an editable box asks to be shown.
                const QRect at(control->mapTo(area->widget(), QPoint()), control->size());
                area->ensureVisible(at.x() + at.width() / 2, at.y() + at.height() / 2, (at.width() + 1) / 2,
                                    (at.height() + 1) / 2);
                const QRect shown(control->mapTo(area->viewport(), QPoint()), control->size());
                EXPECT_TRUE(area->viewport()->rect().contains(shown)) << name.toStdString();
                ++seen;
            }
            EXPECT_GT(seen, 10) << command << " " << page;
        }
    }
    EXPECT_LE(w.width(), 1000);
    EXPECT_LE(w.height(), 700);
}

TEST_F(WindowConditions, SavedGeometryLandsOnTheScreenAndSurvivesAMaximizedStart) {
    const QSize screen = w.screen()->size();
    const QRect available = w.screen()->availableGeometry();
    shell::Settings s;
    s.ScreenX = screen.width();
    s.ScreenY = screen.height();
    // Left is applied (it lies on the screen), but the window would hang off the right edge.
    s.Left = screen.width() - 50;
    s.Top = 40;
    s.Width = 600;
    s.Height = 450;
    w.applySettings(s);
    EXPECT_TRUE(available.contains(w.geometry())) << w.geometry().x();
    EXPECT_EQ(w.geometry().size(), QSize(600, 450));

    // Written on a larger screen: the designed size, centred, is bounded by this one.
    TformMain other;
    shell::Settings large;
    large.ScreenX = 4000;
    large.ScreenY = 3000;
    other.applySettings(large);
    EXPECT_TRUE(available.contains(other.geometry()));

    // A maximized start keeps the restored rectangle for the next start.
    TformMain maximized;
    s.Maximized = true;
    s.Left = 30;
    s.Top = 40;
    maximized.applySettings(s);
    maximized.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&maximized));
    EXPECT_TRUE(maximized.isMaximized());
    const shell::Settings saved = maximized.currentSettings();
    EXPECT_TRUE(saved.Maximized);
    EXPECT_EQ(saved.Left, 30);
    EXPECT_EQ(saved.Top, 40);
    EXPECT_EQ(saved.Width, 600);
    EXPECT_EQ(saved.Height, 450);
}

TEST_F(WindowConditions, QtsOwnTextsAreGerman) {
    QTranslator* translator = gui::installQtTranslations();
    ASSERT_NE(translator, nullptr) << "Qt's German translation (qt6-translations-l10n) is missing";
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    const QStringList texts = actionTexts(menu.get());
    EXPECT_TRUE(texts.first().startsWith(QStringLiteral("&Rückgängig\tStrg+Z"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("Alles auswählen"))) << texts.join('|').toStdString();
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(), QStringLiteral("Suchen in:"));
    EXPECT_EQ(dialog.labelText(QFileDialog::Reject), QStringLiteral("Abbrechen"));
    EXPECT_TRUE(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                    .contains(QStringLiteral("existiert")));
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

TEST_F(WindowConditions, F1OpensTheHelpOfTheWindowItIsPressedIn) {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    model::Inventory vehicles{test::validVehicle(1)};
    shell::Settings settings;
    print::PrintChoice choice;
    std::optional<QDate> last;
    gui::TformPrint print(vehicles, choice, false, kClock, &w);
    gui::TformUpdateIntNr rename(vehicles, settings, kClock, &w);
    gui::TformUpdate update(gui::UpdateContext{}, &last, &w);
    gui::TformInfo info(last, QUrl(), QString(), QString(), &w);
    gui::TformPicPreview preview(QByteArray(), &w);
    const struct {
        QWidget* window;
        int context;
    } cases[] = {
        {&w, shell::kHelpMain},          {w.tipsWindow(), shell::kHelpTips}, {&print, shell::kHelpPrint},
        {&rename, shell::kHelpRename},   {&update, shell::kHelpUpdate},      {&info, shell::kHelpInfo},
        {&preview, shell::kHelpPreview},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.context);
        if (c.window == w.tipsWindow())
            w.actTippsExecute();
        else
            c.window->show();
        c.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.window));
        Dialogs::helpShown().clear();
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == c.window ? focus : c.window, Qt::Key_F1);
        EXPECT_EQ(Dialogs::helpShown(), QList<int>{c.context});
        if (c.window != &w)
            c.window->hide();
    }
}

TEST_F(WindowConditions, CaptionsShowTheirAccessKeysAndAmpersands) {
    EXPECT_EQ(w.action(QStringLiteral("actAddWomo"))->text(), QStringLiteral("&Wohnmobil"));
    auto* add = w.findChild<QToolButton*>(QStringLiteral("tbAdd"));
    QStringList offered = actionTexts(add->menu());
    EXPECT_EQ(offered.mid(0, 3), QStringList({"&Pkw", "&Motorrad", "&Wohnmobil"}));
    // The drop-down offers the commands themselves, so it follows their enabling.
    EXPECT_EQ(add->menu()->actions().at(2), w.action(QStringLiteral("actAddWomo")));

    const QString odd = path("A&B.csv");
    ASSERT_TRUE(writeFile(odd, linesOf(1)));
    w.AddToRecent(odd);
    EXPECT_EQ(w.action(QStringLiteral("actOpenRecent1"))->text(), "&1 - " + path("A&&B.csv"));
    w.action(QStringLiteral("actOpenRecent1"))->trigger();
    EXPECT_EQ(w.documentName(), odd);
    EXPECT_EQ(w.vehicles().size(), 1);
}

TEST_F(WindowConditions, OneArchiveOneEditor) {
    const QString archive = path("bestand.zip");
    w.setInventory({test::validVehicle(1), test::validVehicle(2)});
    Dialogs::queueFileName(archive);
    w.action(QStringLiteral("actSaveFileAs"))->trigger();
    ASSERT_TRUE(w.isSaved());
    EXPECT_EQ(w.lockedArchive(), archive);

    // A second window neither opens the archive nor saves over it; what it shows stays.
    TformMain second;
    second.setClock(kClock);
    second.SetFileName(QStringLiteral("Unbenannt"));
    second.setInventory({test::validVehicle(3)});
    Dialogs::queueFileName(archive);
    second.action(QStringLiteral("actLoadFile"))->trigger();
    ASSERT_EQ(Dialogs::shown().size(), 2); // the unsaved-changes question, then the refusal
    EXPECT_EQ(Dialogs::shown()[1].text, "Die Datei \"bestand.zip\" ist bereits in einem anderen Tarmelo-Fenster "
                                        "geöffnet.\n\nSchließen Sie die Datei dort, bevor Sie sie hier öffnen.");
    EXPECT_EQ(second.vehicles().size(), 1);
    EXPECT_EQ(second.documentName(), "Unbenannt");
    Dialogs::shown().clear();
    Dialogs::queueFileName(archive);
    second.action(QStringLiteral("actSaveFileAs"))->trigger();
    ASSERT_EQ(Dialogs::shown().size(), 1) << second.statusMessage().toStdString();
    EXPECT_TRUE(Dialogs::shown()[0].text.contains("in einem anderen Tarmelo-Fenster geöffnet und kann hier nicht"));
    EXPECT_FALSE(second.isSaved());

    // Changed on disk since it was saved here: the save asks, and No keeps the file as it is.
    QFile f(archive);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    QByteArray changed = before;
    changed[changed.size() - 1] = char(changed.back() ^ 1);
    ASSERT_TRUE(writeFile(archive, changed));
    w.setInventory({test::validVehicle(2)});
    w.setSaved(false);
    Dialogs::shown().clear();
    Dialogs::queueAnswer(QMessageBox::No);
    w.action(QStringLiteral("actSaveFile"))->trigger();
    ASSERT_EQ(Dialogs::shown().size(), 1) << w.statusMessage().toStdString();
    EXPECT_EQ(Dialogs::shown()[0].kind, Dialogs::Kind::Question);
    EXPECT_TRUE(Dialogs::shown()[0].text.startsWith("Die Datei \"bestand.zip\" wurde seit dem Öffnen"));
    EXPECT_FALSE(w.isSaved());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), changed);
    f.close();
    Dialogs::queueAnswer(QMessageBox::Yes);
    w.action(QStringLiteral("actSaveFile"))->trigger();
    EXPECT_TRUE(w.isSaved());
    // Saved here again: no question for the next save.
    w.setSaved(false);
    Dialogs::shown().clear();
    w.action(QStringLiteral("actSaveFile"))->trigger();
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    EXPECT_TRUE(w.isSaved());

    // Once the first window lets go, the second one opens it.
    w.action(QStringLiteral("actNeu"))->trigger();
    EXPECT_EQ(w.lockedArchive(), QString());
    second.setSaved(true);
    Dialogs::queueFileName(archive);
    second.action(QStringLiteral("actLoadFile"))->trigger();
    EXPECT_EQ(second.documentName(), archive);
    EXPECT_EQ(second.vehicles().size(), 1);
}

} // namespace
