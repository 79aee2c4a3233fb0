// The application shell's windows and commands, driven as a person would.

#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "shell/Desktop.h"
#include "shell/TformHint.h"
#include "shell/TformInfo.h"
#include "shell/TformTipps.h"
#include "shell/TformUpdate.h"
#include "shell/UpdateRules.h"
#include "shell/UpdateSession.h"
#include "support/TestHttpServer.h"
#include "support/ViewClicks.h"

#include "shell/Commands.h"
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformMain;

namespace {

void click(QWidget* w) {
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

template <class W> W* child(const QObject* parent, const char* name) {
    return parent->findChild<W*>(QLatin1StringView(name));
}

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

const QMenu* topMenu(const TformMain& w, const QString& title) {
    for (const QAction* a : w.menuBar()->actions())
        if (a->text() == title)
            return a->menu();
    return nullptr;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        Dialogs::shown().clear();
        Dialogs::helpShown().clear();
        gui::TformHint::shown().clear();
        gui::Desktop::setRecording(true);
    }
    void TearDown() override { gui::Desktop::setRecording(false); }
    QTemporaryDir tmp;
};

} // namespace

TEST_F(ShellTest, TipsRotateAcrossOpenings) {
    const QString path = tmp.filePath("tipps.dat");
    ASSERT_TRUE(test::writeTestFile(path, "Erster Tipp\r\nZweiter Tipp mit \xfc\r\nDritter Tipp\r\n"));
    shell::Settings settings;
    QWidget owner;
    gui::TformTipps tips(&settings, path, &owner);
    auto* group = child<QGroupBox>(&tips, "gbTipp");
    auto* text = child<QLabel>(&tips, "lblTipp");
    auto* next = child<QPushButton>(&tips, "btnWeiter");

    tips.show();
    const struct {
        const char* caption;
        QString tip;
    } steps[] = {
        {" Wussten Sie schon? (2/3) ", QStringLiteral("Zweiter Tipp mit ü")},
        {" Wussten Sie schon? (3/3) ", "Dritter Tipp"},
        {" Wussten Sie schon? (1/3) ", "Erster Tipp"},
    };
    EXPECT_EQ(group->title(), " Wussten Sie schon? (1/3) ");
    EXPECT_EQ(text->text(), "Erster Tipp");
    for (const auto& s : steps) {
        click(next);
        EXPECT_EQ(group->title(), s.caption);
        EXPECT_EQ(text->text(), s.tip);
    }
    // Closing only hides; the next opening goes on after the tip shown last.
    click(child<QPushButton>(&tips, "btnSchliessen"));
    EXPECT_FALSE(tips.isVisible());
    tips.show();
    EXPECT_EQ(group->title(), " Wussten Sie schon? (2/3) ");
    EXPECT_EQ(settings.ActItem, 1);
    tips.close();
    EXPECT_FALSE(tips.isVisible());

    settings.ActItem = 7; // from an earlier, longer file
    tips.show();
    EXPECT_EQ(group->title(), " Wussten Sie schon? (1/3) ");
    auto* box = child<QCheckBox>(&tips, "cbShowNextTime");
    EXPECT_TRUE(box->isChecked());
    click(box);
    EXPECT_FALSE(settings.ShowTipps);
    tips.hide();
}

TEST_F(ShellTest, TipsErrorsAreRedAndStopWeiter) {
    const struct {
        const char* name;
        const char* content; // nullptr: no file
        QString error;
    } cases[] = {
        {"missing", nullptr,
         QStringLiteral("Fehler: Die Datei \"tipps.dat\" befindet sich nicht im Installationsordner von Tarmelo!")},
        {"empty", "", QStringLiteral("Fehler: Die Datei \"tipps.dat\" enthält keine gültigen Hinweise!")},
    };
    for (const auto& c : cases) {
        const QString path = tmp.filePath(QString::fromUtf8(c.name) + "/tipps.dat");
        if (c.content) {
            ASSERT_TRUE(test::writeTestFile(path, c.content));
        }
        shell::Settings settings;
        settings.ShowTipps = false;
        gui::TformTipps tips(&settings, path, nullptr);
        tips.show();
        EXPECT_EQ(child<QGroupBox>(&tips, "gbTipp")->title(), " Wussten Sie schon? ") << c.name;
        EXPECT_EQ(child<QLabel>(&tips, "lblTipp")->text(), c.error) << c.name;
        EXPECT_TRUE(child<QLabel>(&tips, "lblTipp")->styleSheet().contains("red")) << c.name;
        EXPECT_FALSE(child<QPushButton>(&tips, "btnWeiter")->isEnabled()) << c.name;
        EXPECT_FALSE(child<QCheckBox>(&tips, "cbShowNextTime")->isChecked()) << c.name;
        click(child<QCheckBox>(&tips, "cbShowNextTime"));
        EXPECT_TRUE(settings.ShowTipps) << c.name;
        tips.hide();
    }
}

TEST_F(ShellTest, InfoBoxShowsTheLastUpdateAndOpensItsLinks) {
    const struct {
        std::optional<QDate> last;
        const char* shown;
    } cases[] = {
        {std::nullopt, "-"}, {QDate(2011, 3, 5), "05.03.2011"}, {QDate(), "-"}, {QDate(987, 1, 2), "02.01.0987"}};
    for (const auto& c : cases) {
        gui::TformInfo info(c.last, QUrl("http://www.kelvard.test/"), "info@kelvard.test", "/opt/t/lizenz.txt",
                            nullptr);
        EXPECT_EQ(child<QLabel>(&info, "lblLastUpdate")->text(), c.shown);
        EXPECT_EQ(child<QLabel>(&info, "lblVersion")->text(), "3.70");
        EXPECT_EQ(child<QLabel>(&info, "lblDatum")->text(), "10.02.2011");
    }
    gui::TformInfo info(std::nullopt, QUrl("http://www.kelvard.test/"), "info@kelvard.test", "/opt/t/lizenz.txt",
                        nullptr);
    info.show();
    click(child<QLabel>(&info, "lblWeb"));
    click(child<QLabel>(&info, "lblEMail"));
    click(child<QPushButton>(&info, "btnLizenz"));
    EXPECT_EQ(gui::Desktop::opened(), (QList<QUrl>{QUrl("http://www.kelvard.test/"), QUrl("mailto:info@kelvard.test"),
                                                   QUrl::fromLocalFile("/opt/t/lizenz.txt")}));
    EXPECT_EQ(child<QLabel>(&info, "lblWeb")->cursor().shape(), Qt::PointingHandCursor);
    click(child<QPushButton>(&info, "btnOK"));
    EXPECT_FALSE(info.isVisible());
}

TEST_F(ShellTest, MenusHoldTheShellCommandsInOrder) {
    TformMain w;
    const QMenu* dealer = topMenu(w, QStringLiteral("&Händlerbereich"));
    ASSERT_NE(dealer, nullptr);
    EXPECT_EQ(menuTexts(dealer),
              (QStringList{"&Startseite", "Fahrzeug&bestand", "&Fahrzeugsuche", "&Durchschnittspreis", "&Parkplatz",
                           "&Erfolgsmonitor", "&Inseratsstatistik"}));
    const QMenu* search = dealer->actions().at(2)->menu();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(menuTexts(search),
              (QStringList{"&Pkw", "&Wohnmobile", QStringLiteral("&Motorräder"), "&Lkw und Nutzfahrzeuge"}));
    const QMenu* help = topMenu(w, QStringLiteral("H&ilfe"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(menuTexts(help), (QStringList{"&Hilfe", "&Tipps und Tricks ...", "-", "&Tarmelo im Internet",
                                            "&Kelvard im Internet", "-", "&Info ..."}));
    const QMenu* extras = topMenu(w, QStringLiteral("&Extras"));
    ASSERT_NE(extras, nullptr);
    EXPECT_EQ(menuTexts(extras), (QStringList{"Online-&Update ...", QStringLiteral("Arbeitsbereich &zurücksetzen")}));

    shell::Servers servers = shell::defaultServers();
    servers.DealerArea = "http://dealer.test";
    servers.VehicleSearch = "http://suche.test";
    w.setServers(servers);
    w.action("actParking")->trigger();
    w.action("actSearchWomo")->trigger();
    EXPECT_EQ(gui::Desktop::opened(),
              (QList<QUrl>{QUrl("http://dealer.test/dealer-admin/parking.html"),
                           QUrl("http://suche.test/fahrzeuge/search.html?scopeId=MH&lang=de")}));
}

TEST_F(ShellTest, ToolBarButtonsNeverReadTheSame) {
    TformMain w;
    QStringList seen;
    for (QToolBar* bar : w.findChildren<QToolBar*>()) {
        for (QAction* a : bar->actions()) {
            if (a->isSeparator() || a->objectName().isEmpty())
                continue;
            // What the user tells the buttons apart by: the icon's name with the tool tip, or the caption.
            const QString face = a->icon().isNull() ? a->text() : a->icon().name() + '|' + a->toolTip();
            EXPECT_FALSE(seen.contains(face)) << face.toStdString();
            seen << face;
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        }
    }
    EXPECT_GE(seen.size(), 6);
}

TEST_F(ShellTest, WorkAreaResetRestoresLayoutAndForgetsOptions) {
    TformMain w;
    w.show();
    // Settings without geometry give the designed size, centred and fitted onto the screen.
    w.applySettings(shell::Settings{});
    const QSize designed = w.size();
    const QList<int> columns = w.list()->columnWidths();
    shell::Settings s;
    s.Username = "haendler";
    s.Password = "geheim";
    s.SavePassword = true;
    s.RenameMaskText = "[N]-[C]";
    s.ActItem = 4;
    s.ShowTipps = false;
    s.ResetDays = true;
    s.AutomaticIntNr = false;
    s.LastUpdate = QDate(2011, 3, 5);
    w.applySettings(s);
    w.resize(designed + QSize(120, 80));
    QList<int> wide = columns;
    for (int& c : wide)
        c += 17;
    w.list()->setColumnWidths(wide);
    w.AddFahrzeug(1);
    w.AddFahrzeug(2);
    test::clickRow(w.list(), 1);

    w.action("actResetArea")->trigger();
    EXPECT_EQ(w.size(), designed);
    EXPECT_EQ(w.list()->columnWidths(), columns);
    EXPECT_EQ(w.list()->selectedRow(), 1);
    const shell::Settings after = w.currentSettings();
    EXPECT_TRUE(after.Username.isEmpty());
    EXPECT_TRUE(after.Password.isEmpty());
    EXPECT_FALSE(after.SavePassword);
    EXPECT_EQ(after.RenameMaskText, "[N]");
    EXPECT_EQ(after.ActItem, -1);
    EXPECT_TRUE(after.ShowTipps);
    EXPECT_TRUE(after.ResetDays);
    EXPECT_FALSE(after.AutomaticIntNr);
    EXPECT_EQ(after.LastUpdate, QDate(2011, 3, 5));
}

TEST_F(ShellTest, ShellCommandsFollowTheirRules) {
    TformMain w;
    for (const char* name : {"actUpdate", "actResetArea", "actInfo", "actTipps", "actHelp", "actDealerArea",
                             "actKelvardOnline", "actExit"})
        EXPECT_TRUE(w.action(name)->isEnabled()) << name;
    // Every command of the table exists, with its caption and hint.
    for (const shell::CommandInfo& c : shell::commandTable()) {
        QAction* a = w.action(c.name);
        ASSERT_NE(a, nullptr) << c.name.toStdString();
        // The menus may place the access key elsewhere ("D&atei" in "&Speichern"); the table says where.
        EXPECT_EQ(a->text(), c.menuCaption.isEmpty() ? c.caption : c.menuCaption) << c.name.toStdString();
        EXPECT_EQ(a->shortcut(), QKeySequence(c.shortcut)) << c.name.toStdString();
        EXPECT_EQ(a->statusTip(), c.hint) << c.name.toStdString();
    }
    w.action("actTipps")->trigger();
    EXPECT_TRUE(w.tipsWindow()->isVisible());
    w.tipsWindow()->hide();
}

TEST_F(ShellTest, StartShowsTipsAndAsksForTheUpdateAfterFourteenDays) {
    const QDateTime now(QDate(2011, 3, 20), QTime(10, 0));
    const struct {
        bool showTipps;
        std::optional<QDate> last;
        bool asks;
    } cases[] = {
        {true, QDate(2011, 3, 7), false},
        {false, QDate(2011, 3, 6), true},
    };
    for (const auto& c : cases) {
        Dialogs::shown().clear();
        TformMain w;
        w.setClock(fixedClock(now));
        shell::Settings s;
        s.ShowTipps = c.showTipps;
        s.LastUpdate = c.last;
        w.applySettings(s);
        if (c.asks)
            Dialogs::queueAnswer(QMessageBox::No);
        w.startUpShell(std::nullopt);
        EXPECT_EQ(w.tipsWindow()->isVisible(), c.showTipps);
        EXPECT_EQ(Dialogs::shown().size(), c.asks ? 1 : 0);
        if (c.asks) {
            EXPECT_EQ(Dialogs::shown().first().text,
                      QStringLiteral("Tarmelo wurde schon seit 14 Tagen nicht mehr aktualisiert.\nMöchten Sie jetzt "
                                     "ein Online-Update durchführen?"));
        }
        w.tipsWindow()->hide();
    }
}

namespace {

class UpdateDialogTest : public ShellTest {
protected:
    gui::UpdateContext context(const QString& server, const QByteArray& key, qint64 pid) {
        gui::UpdateContext c;
        c.server = server;
        c.dataFolder = tmp.filePath("data");
        c.installDir = tmp.filePath("install");
        c.selfContained = true;
        c.publicKeyPem = key;
        c.userAgent = "tarmelo";
        c.pid = pid;
        c.clock = fixedClock(QDateTime(QDate(2011, 3, 20), QTime(10, 0)));
        return c;
    }
};

} // namespace

TEST_F(UpdateDialogTest, ReplacesASelfContainedInstallationAfterTheProgramEnded) {
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("install/bin/tarmelo"), "old program"));
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("new/bin/tarmelo"), "new program"));
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("new/share/tarmelo/tipps.dat"), "Neuer Tipp\r\n"));
    QDir().mkpath(tmp.filePath("keys"));
    const QByteArray key = test::publishUpdate(tmp.filePath("server"), tmp.filePath("new"), tmp.filePath("keys"),
                                               "version\n3.71\n01.03.2011\nauthorized_update\n");
    ASSERT_FALSE(key.isEmpty());
    test::TestHttpServer server(tmp.filePath("server"));
    ASSERT_GT(server.port(), 0);
    QProcess program; // stands in for the running program
    program.start("sleep", {"1"});
    ASSERT_TRUE(program.waitForStarted(5000));

    std::optional<QDate> last;
    gui::TformUpdate dialog(context(server.url(), key, program.processId()), &last, nullptr);
    dialog.show();
    EXPECT_EQ(child<QLabel>(&dialog, "lblClientVersion")->text(), "3.70  (10.02.2011)");
    EXPECT_EQ(child<QLabel>(&dialog, "lblServerVersion")->text(), "-");
    EXPECT_FALSE(child<QPushButton>(&dialog, "btnAbort")->isEnabled());
    click(child<QPushButton>(&dialog, "btnUpdate"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.programMustEnd() || !Dialogs::shown().isEmpty(); }, 20000));
    ASSERT_TRUE(dialog.programMustEnd()) << Dialogs::shown().value(0).text.toStdString();
    EXPECT_EQ(child<QLabel>(&dialog, "lblServerVersion")->text(), "3.71  (01.03.2011)");
    auto* steps = child<QListWidget>(&dialog, "clbStatus");
    ASSERT_EQ(steps->count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(steps->item(i)->checkState(), Qt::Checked) << i;
    EXPECT_EQ(Dialogs::shown().last().text, shell::UpdateSession::finishText());
    EXPECT_EQ(last, QDate(2011, 3, 20));

    // waitForFinished() fails for a process that ended while the dialog's events ran.
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 5000));
    // The detached script copies once the program has gone, then removes itself.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(dialog.scriptPath()); }, 15000));
    QFile replaced(tmp.filePath("install/bin/tarmelo"));
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_EQ(replaced.readAll(), "new program");
    EXPECT_TRUE(QFileInfo::exists(tmp.filePath("install/share/tarmelo/tipps.dat")));
}

TEST_F(UpdateDialogTest, ServerAnswersEndInTheirWindows) {
    const struct {
        const char* name;
        QByteArray version;
        bool closes;
        QString box;  // message box text, empty: none
        QString hint; // hint window text, empty: none
    } cases[] = {
        {"current", "version\n3.70\n10.02.2011\nauthorized_update\n", true, shell::UpdateSession::upToDateText(), ""},
        {"message", "version\n3.71\n01.03.2011\nBitte erst die Lizenz verl\xc3\xa4ngern.\n", false, "",
         QStringLiteral("Bitte erst die Lizenz verlängern.")},
        {"bad version", "version\n3.8\n01.03.2011\nauthorized_update\n", false,
         shell::UpdateSession::unprocessableText(), ""},
    };
    for (const auto& c : cases) {
        Dialogs::shown().clear();
        gui::TformHint::shown().clear();
        ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/update_enabled.txt"), "1"));
        ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/version.php"), c.version));
        test::TestHttpServer server(tmp.filePath("server"));
        std::optional<QDate> last;
        gui::TformUpdate dialog(context(server.url(), {}, 0), &last, nullptr);
        dialog.show();
        click(child<QPushButton>(&dialog, "btnUpdate"));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return child<QPushButton>(&dialog, "btnUpdate")->isEnabled() || !dialog.isVisible(); }, 15000))
            << c.name;
        EXPECT_EQ(!dialog.isVisible(), c.closes) << c.name;
        EXPECT_EQ(Dialogs::shown().isEmpty() ? QString() : Dialogs::shown().first().text, c.box) << c.name;
        EXPECT_EQ(gui::TformHint::shown().value(0), c.hint) << c.name;
        EXPECT_EQ(last.has_value(), c.closes) << c.name;
        EXPECT_EQ(child<QListWidget>(&dialog, "clbStatus")->count(), c.closes ? 2 : 0) << c.name;
    }
}

// An installation of the package management is never replaced: the server is asked which version it offers.
TEST_F(UpdateDialogTest, SystemInstallationOnlyTellsWhichVersionIsAvailable) {
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/update_enabled.txt"), "1"));
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/version.php"),
                                    "version\n3.71\n01.03.2011\nauthorized_update\n"));
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/update_files.zip"), "PK"));
    test::TestHttpServer server(tmp.filePath("server"));
    gui::UpdateContext c = context(server.url(), {}, 0);
    c.selfContained = false;
    std::optional<QDate> last;
    gui::TformUpdate dialog(c, &last, nullptr);
    dialog.show();
    EXPECT_TRUE(child<QLabel>(&dialog, "lblSystem")->isVisible());
    EXPECT_EQ(child<QLabel>(&dialog, "lblSystem")->text(), gui::TformUpdate::systemInstallationText());
    click(child<QPushButton>(&dialog, "btnUpdate"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 15000));
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_EQ(Dialogs::shown().first().text,
              QStringLiteral("Tarmelo 3.71 ist verfügbar.\n\nDiese Installation wird über die Paketverwaltung Ihres "
                             "Systems aktualisiert;\ndie neue Version installiert die Paketverwaltung."));
    EXPECT_EQ(last, QDate(2011, 3, 20));
    EXPECT_FALSE(dialog.programMustEnd());
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath("data/update/update_files.zip")));
}

// At start an installation of the package management asks the server quietly, and tells of each new version once.
TEST_F(UpdateDialogTest, PackageInstallationAnnouncesEachNewVersionOnce) {
    ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/update_enabled.txt"), "1"));
    test::TestHttpServer server(tmp.filePath("server"));
    const struct {
        const char* offered;
        bool announced;
    } starts[] = {{"3.71", true}, {"3.71", false}, {"3.72", true}, {"3.70", false}};
    shell::Settings s;
    s.ShowTipps = false;
    for (const auto& start : starts) {
        SCOPED_TRACE(start.offered);
        ASSERT_TRUE(test::writeTestFile(tmp.filePath("server/tmq/update/version.php"),
                                        QByteArray("version\n") + start.offered + "\n01.03.2011\nauthorized_update\n"));
        Dialogs::shown().clear();
        TformMain w;
        w.setClock(fixedClock(QDateTime(QDate(2011, 3, 20), QTime(10, 0))));
        w.setUpdateAdjuster([&](gui::UpdateContext& c) {
            c = context(server.url(), {}, 0);
            c.selfContained = false;
        });
        s.LastUpdate = QDate(2011, 3, 1); // due again
        w.applySettings(s);
        w.startUpShell(std::nullopt);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.settings().LastUpdate == QDate(2011, 3, 20); }, 15000));
        QStringList expected;
        if (start.announced)
            expected << shell::packageUpdateText(QString::fromLatin1(start.offered));
        QStringList texts;
        for (const auto& shown : Dialogs::shown())
            texts << shown.text;
        EXPECT_EQ(texts, expected);
        s = w.currentSettings();
    }
    EXPECT_EQ(s.NotifiedVersion, "3.72");
}
