#include "common/Dialogs.h"
#include "csv/LineWriter.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "support/QtPrinters.h"
#include "support/ServerProcess.h"
#include "support/TestVehicles.h"
#include "transfer/PasswordStore.h"
#include "transfer/TformDownload.h"
#include "transfer/TformTransferLog.h"
#include "transfer/TformUpload.h"
#include "transfer/TransferLog.h"
#include "transfer/UploadRecord.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <zip.h>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformDownload;
using gui::TformUpload;

namespace {

template <class W = QWidget> W* child(QWidget& w, const char* name) {
    W* c = w.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void click(QWidget& w, const char* name) {
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

void typeInto(QWidget& w, const char* name, const QString& text) {
    auto* e = child<QLineEdit>(w, name);
    e->clear();
    QTest::keyClicks(e, text);
}

QStringList shownTexts() {
    QStringList out;
    for (const Dialogs::Shown& s : Dialogs::shown())
        out.append(s.text);
    return out;
}

QStringList memberNames(const QString& path) {
    QStringList out;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i)
        out.append(QString::fromUtf8(zip_get_name(za, zip_uint64_t(i), 0)));
    zip_discard(za);
    out.sort();
    return out;
}

// The messages as the dealer reads them, whole.
const char* const kConnectionUpload =
    "Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\nVergewissern Sie sich über die Funktionsfähigkeit "
    "Ihrer Internetverbindung!\nFalls Sie einen Proxy-Sever oder eine Firewall nutzen, finden Sie darüber\nin der "
    "Hilfe nützliche Informationen.";
const char* const kConnectionDownload =
    "Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\nVergewissern Sie sich über die Funktionsfähigkeit "
    "Ihrer Internetverbindung!\nFalls Sie einen Proxy-Server oder eine Firewall nutzen, finden Sie darüber\nin der "
    "Hilfe nützliche Informationen.";
const char* const kReadFailed = "Beim Herunterladen der Fahrzeugdatei ist ein Fehler aufgetreten.\n\nÜberprüfen Sie "
                                "die Funktionsfähigkeit Ihrer Internetverbindung und\nversuchen Sie es zu einem "
                                "späteren Zeitpunkt erneut!";

model::Inventory twoVehicles() {
    model::Inventory inv;
    for (int i = 0; i < 2; ++i) {
        model::TFahrzeug v = test::validVehicle(1);
        v.inr = QByteArray("T-") + QByteArray::number(i + 1);
        v.modell = QByteArray("M") + QByteArray::number(i);
        v.bilder[0] = QByteArray(200000, char('a' + i));
        inv.append(v);
    }
    inv[1].bilder[1] = QByteArray(100000, 'z');
    inv[1].bilder[3] = "hinter der Lücke";
    return inv;
}

struct FtpFixture {
    QTemporaryDir root, local;
    std::unique_ptr<test::ServerProcess> server;
    explicit FtpFixture(QStringList extra = {}) {
        server = std::make_unique<test::ServerProcess>("ftp_server.py", QStringList{"--root", root.path()} + extra);
    }
    QString received() const { return QDir(root.path()).filePath("tmq_upload.zip"); }
};

} // namespace

class UploadDialogTest : public testing::Test {
protected:
    void SetUp() override {
        Dialogs::setTestMode(true);
        Dialogs::shown().clear();
        inv = twoVehicles();
        settings.Username = "haendler";
        settings.Password = "geheim";
    }
    TformUpload::Setup setup(const FtpFixture& ftp, bool automatic = true) {
        TformUpload::Setup s;
        s.vehicles = &inv;
        s.settings = &settings;
        s.automaticIntNr = automatic;
        s.clock = fixedClock(QDateTime(QDate(2024, 1, 31), QTime(14, 25, 1)));
        s.servers.FtpServer = QStringLiteral("127.0.0.1:%1").arg(ftp.server->port());
        s.uploadPath = QDir(ftp.local.path()).filePath("tmq_upload.zip");
        s.recordPath = QDir(ftp.local.path()).filePath(transfer::kUploadRecordFile);
        s.logPath = QDir(ftp.local.path()).filePath(transfer::kTransferLogFile);
        s.documentName = "/home/haendler/bestand.zip";
        return s;
    }
    // Clicks "Weiter" and waits for the completion page.
    void uploadThroughTheButtons(const TformUpload::Setup& s) {
        TformUpload d(s);
        d.show();
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.currentPage() == TformUpload::DonePage; }, 20000))
            << shownTexts().join("|").toStdString();
        click(d, "btnClose");
    }
    model::Inventory inv;
    shell::Settings settings;
};

TEST_F(UploadDialogTest, PagesAndTextsAsDesigned) {
    FtpFixture ftp;
    TformUpload d(setup(ftp));
    d.show();
    EXPECT_EQ(d.windowTitle(), "Fahrzeugbestand hochladen");
    const struct {
        const char* name;
        const char* text;
    } buttons[] = {
        {"btnHelp", "&Hilfe"}, {"btnAbort", "&Abbrechen"}, {"btnStart", "&Weiter >"}, {"btnClose", "&Fertig"}};
    for (const auto& b : buttons)
        EXPECT_EQ(child<QPushButton>(d, b.name)->text(), QString::fromUtf8(b.text));
    EXPECT_EQ(child<QCheckBox>(d, "cbSavePassword")->text(), "Kennwort speichern (potentielles Sicherheitsrisiko)");
    EXPECT_EQ(child<QCheckBox>(d, "cbResetDays")->text(), QString::fromUtf8("Standtage zurücksetzen"));
    EXPECT_EQ(child<QLabel>(d, "lbl_vehicles")->text(), "2");
    EXPECT_EQ(child<QLabel>(d, "lbl_pics")->text(), "4"); // every filled slot, also behind a gap
    EXPECT_EQ(child<QLineEdit>(d, "le_password")->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(child<QPushButton>(d, "btnAbort")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(d, "btnClose")->isHidden());
    EXPECT_TRUE(child<QProgressBar>(d, "ProgressBar1")->isHidden());
    const QStringList memo = child<QPlainTextEdit>(d, "Memo1")->toPlainText().split('\n');
    ASSERT_EQ(memo.size(), 9);
    EXPECT_EQ(memo.first(), QString::fromUtf8("Achten Sie darauf, die Übertragung Ihrer Fahrzeuge "));
    EXPECT_EQ(memo.last(), "Anspruch nehmen.");
    EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
}

TEST_F(UploadDialogTest, MissingNamesOnlyWarn) {
    FtpFixture ftp;
    const struct {
        const char* user;
        const char* password;
        const char* message;
    } cases[] = {{"", "geheim", "Bitte geben Sie Ihren Karvento-Benutzernamen ein!"},
                 {"haendler", "", "Bitte geben Sie Ihr Kennwort ein!"}};
    for (const auto& c : cases) {
        Dialogs::shown().clear();
        TformUpload d(setup(ftp));
        d.show();
        typeInto(d, "le_username", c.user);
        typeInto(d, "le_password", c.password);
        click(d, "btnStart");
        EXPECT_EQ(shownTexts(), QStringList{c.message});
        EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
        EXPECT_FALSE(QFile::exists(setup(ftp).uploadPath));
    }
}

// The upload through the buttons, with the reset question's answers and the keys and photo names they give.
TEST_F(UploadDialogTest, UploadsWithTheKeysTheAnswersChoose) {
    const struct {
        const char* name;
        bool automatic;
        bool reset;
        QMessageBox::StandardButton answer; // NoButton: no question expected
        QStringList members;                // empty: nothing sent
    } cases[] = {
        {"typed numbers, question answered No",
         false,
         true,
         QMessageBox::No,
         {"T-1_1.jpg", "T-2_1.jpg", "T-2_2.jpg", "fzg.csv"}},
        {"question cancelled", false, true, QMessageBox::Cancel, {}},
        {"typed numbers dropped for time stamps",
         false,
         true,
         QMessageBox::Yes,
         {"310124_142501_1_", "310124_142501_2_"}},
        {"automatic numbers and reset: no question",
         true,
         true,
         QMessageBox::NoButton,
         {"310124_142501_1_", "310124_142501_2_"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpFixture ftp;
        ASSERT_GT(ftp.server->port(), 0);
        Dialogs::shown().clear();
        settings.Password = "geheim"; // closing without "Kennwort speichern" forgot it
        settings.ResetDays = c.reset;
        TformUpload d(setup(ftp, c.automatic));
        d.show();
        if (c.answer != QMessageBox::NoButton)
            Dialogs::queueAnswer(c.answer);
        click(d, "btnStart");
        if (c.members.isEmpty()) {
            EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
            EXPECT_EQ(shownTexts().size(), 1);
            EXPECT_FALSE(QFile::exists(ftp.received()));
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.currentPage() == TformUpload::DonePage; }, 20000))
            << shownTexts().join("|").toStdString();
        EXPECT_EQ(shownTexts().size(), c.answer == QMessageBox::NoButton ? 0 : 1);
        EXPECT_TRUE(child<QPushButton>(d, "btnClose")->isVisible());
        EXPECT_TRUE(child<QPushButton>(d, "btnStart")->isHidden());
        EXPECT_TRUE(child<QLabel>(d, "Label3")->text().endsWith(" KB/s"));
        const QStringList names = memberNames(ftp.received());
        ASSERT_EQ(names.size(), 4) << names.join(",").toStdString();
        if (c.members.size() == 4) {
            EXPECT_EQ(names, c.members);
        } else {
            EXPECT_TRUE(names[0].startsWith(c.members[0]) && names[0].endsWith("_1.jpg"));
            EXPECT_TRUE(names[1].startsWith(c.members[1]) && names[1].endsWith("_1.jpg"));
            EXPECT_TRUE(names[2].startsWith(c.members[1]) && names[2].endsWith("_2.jpg"));
        }
        click(d, "btnClose");
        EXPECT_EQ(settings.ResetDays, c.reset); // stays ticked although No was answered
    }
}

TEST_F(UploadDialogTest, FailuresShowTheirMessageAndReturnToTheLogIn) {
    const struct {
        const char* name;
        const char* password;
        bool listening;
        const char* message;
    } cases[] = {
        {"wrong password", "falsch", true, "Benutzername und/oder Kennwort falsch. Eingaben überprüfen!"},
        {"nothing listening", "geheim", false, kConnectionUpload},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpFixture ftp;
        Dialogs::shown().clear();
        TformUpload::Setup s = setup(ftp);
        if (!c.listening)
            s.servers.FtpServer = QStringLiteral("127.0.0.1:%1").arg(test::freePort());
        TformUpload d(s);
        d.show();
        typeInto(d, "le_password", c.password);
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Dialogs::shown().isEmpty(); }, 20000));
        EXPECT_EQ(Dialogs::shown().first().text, QString::fromUtf8(c.message));
        EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
        EXPECT_TRUE(child<QPushButton>(d, "btnStart")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "btnAbort")->isEnabled());
        EXPECT_TRUE(child<QLabel>(d, "lbl_vorgang")->text().isEmpty());
    }
}

// A server offering TLS gets the log-in and the file encrypted; one whose certificate is not trusted gets neither.
TEST_F(UploadDialogTest, TlsWhenTheServerOffersIt) {
    const struct {
        const char* name;
        bool trusted;
        const char* message; // nullptr: completion page
    } cases[] = {
        {"trusted certificate", true, nullptr},
        {"untrusted certificate", false, kConnectionUpload},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir certs;
        const QString log = QDir(certs.path()).filePath("commands.log");
        FtpFixture ftp({"--tls", certs.path(), "--log", log});
        ASSERT_GT(ftp.server->port(), 0);
        Dialogs::shown().clear();
        TformUpload::Setup s = setup(ftp);
        if (c.trusted)
            s.servers.CaCertificates = QDir(certs.path()).filePath("ca.pem");
        TformUpload d(s);
        d.show();
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return d.currentPage() == TformUpload::DonePage || !Dialogs::shown().isEmpty(); }, 20000));
        QFile commands(log);
        const QByteArray sent = commands.open(QIODevice::ReadOnly) ? commands.readAll() : QByteArray();
        if (c.message) {
            ASSERT_EQ(Dialogs::shown().size(), 1);
            EXPECT_EQ(Dialogs::shown().first().text, QString::fromUtf8(c.message));
            EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
            EXPECT_FALSE(sent.contains("PASS\n")) << sent.constData();
        } else {
            EXPECT_TRUE(Dialogs::shown().isEmpty()) << shownTexts().join("|").toStdString();
            QFile received(ftp.received()), built(s.uploadPath);
            ASSERT_TRUE(received.open(QIODevice::ReadOnly) && built.open(QIODevice::ReadOnly));
            EXPECT_TRUE(received.readAll() == built.readAll());
            EXPECT_EQ(memberNames(ftp.received()).size(), 4);
            EXPECT_TRUE(sent.contains("PROT\n") && sent.contains("DATA-TLS\n")) << sent.constData();
            EXPECT_FALSE(child<QLabel>(d, "lblEncryption")->isVisible());
            EXPECT_TRUE(transfer::readTransferLog(s.logPath).first().encrypted);
        }
    }
}

// The archive is written beside the window's thread; its failures still come as the dialog's messages.
TEST_F(UploadDialogTest, ArchiveFailuresShowTheirMessage) {
    FtpFixture ftp;
    const struct {
        const char* name;
        const char* path; // below the local folder
        bool folderInTheWay;
        const char* message;
    } cases[] = {
        {"folder missing", "fehlt/tmq_upload.zip", false,
         "Die für die Fahrzeugübertragung notwendige Fahrzeugdatei konnte nicht erstellt werden.\n\nÜberprüfen Sie das "
         "Laufwerk bzw. den angemeldeten Benutzer auf Schreibrechte und\nausreichend freien Speicherplatz!"},
        {"old file cannot be removed", "tmq_upload.zip", true,
         "Die für die Fahrzeugübertragung notwendige Fahrzeugdatei existiert bereits.\n\nEventuell wurde der "
         "Programmordner von Tarmelo mit einem Schreibschutz versehen\noder der zurzeit angemeldete Benutzer besitzt "
         "keine ausreichenden Schreibrechte."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Dialogs::shown().clear();
        TformUpload::Setup s = setup(ftp);
        s.uploadPath = QDir(ftp.local.path()).filePath(c.path);
        if (c.folderInTheWay)
            QDir(ftp.local.path()).mkpath(c.path);
        TformUpload d(s);
        d.show();
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Dialogs::shown().isEmpty(); }, 20000));
        EXPECT_EQ(Dialogs::shown().first().text, QString::fromUtf8(c.message));
        EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
        EXPECT_TRUE(child<QPushButton>(d, "btnStart")->isEnabled());
        EXPECT_FALSE(QFile::exists(ftp.received()));
    }
}

// Closing while the archive is written waits for it: the inventory it reads must not change meanwhile.
TEST_F(UploadDialogTest, StaysOpenWhileTheArchiveIsWritten) {
    FtpFixture ftp;
    ASSERT_GT(ftp.server->port(), 0);
    TformUpload d(setup(ftp));
    d.show();
    click(d, "btnStart");
    EXPECT_EQ(d.currentPage(), TformUpload::ProgressPage);
    QTest::keyClick(&d, Qt::Key_Escape);
    d.close();
    EXPECT_TRUE(d.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.currentPage() == TformUpload::DonePage; }, 20000))
        << shownTexts().join("|").toStdString();
    d.close();
    EXPECT_FALSE(d.isVisible());
}

TEST_F(UploadDialogTest, AbortInTheMiddleStopsWithoutMessage) {
    FtpFixture ftp({"--throttle", "65536"});
    ASSERT_GT(ftp.server->port(), 0);
    for (auto& v : inv)
        for (int k = 2; k < 12; ++k)
            v.bilder[size_t(k)] = QByteArray(100000, char('0' + k));
    inv[1].bilder[1] = QByteArray(100000, 'y');
    TformUpload d(setup(ftp));
    d.show();
    click(d, "btnStart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !child<QLabel>(d, "Label3")->text().isEmpty(); }, 20000));
    EXPECT_EQ(child<QLabel>(d, "lbl_vorgang")->text(), QString::fromUtf8("[3/3]  Übertragung der Fahrzeuge ..."));
    EXPECT_TRUE(QRegularExpression("^Restdauer:  (\\d\\d:\\d\\d:\\d\\d|-)$")
                    .match(child<QLabel>(d, "Label4")->text())
                    .hasMatch())
        << child<QLabel>(d, "Label4")->text().toStdString();
    click(d, "btnAbort");
    EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QPushButton>(d, "btnStart")->isEnabled(); }, 5000));
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    EXPECT_TRUE(child<QLabel>(d, "Label3")->text().isEmpty());
    EXPECT_LT(QFileInfo(ftp.received()).size(), QFileInfo(setup(ftp).uploadPath).size());
}

TEST_F(UploadDialogTest, ClosingKeepsThePasswordOnlyWhenAskedTo) {
    FtpFixture ftp;
    for (bool save : {true, false}) {
        settings = {};
        TformUpload d(setup(ftp));
        d.show();
        typeInto(d, "le_username", "neu");
        typeInto(d, "le_password", "kennwort");
        child<QCheckBox>(d, "cbSavePassword")->setChecked(save);
        child<QCheckBox>(d, "cbResetDays")->setChecked(true);
        d.close();
        EXPECT_EQ(settings.Username, "neu");
        EXPECT_EQ(settings.SavePassword, save);
        EXPECT_EQ(settings.Password, save ? "kennwort" : "");
        EXPECT_TRUE(settings.ResetDays);
    }
}

namespace {

QStringList treeRows(QWidget& d) {
    QStringList rows;
    auto* tree = child<QTreeWidget>(d, "tvChanges");
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < tree->columnCount(); ++c)
            cells << tree->topLevelItem(i)->text(c);
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

// The log-in page shows what the upload changes against the last one of the user entered, before anything is sent.
TEST_F(UploadDialogTest, PreviewShowsWhatGoesPublic) {
    FtpFixture ftp;
    ASSERT_GT(ftp.server->port(), 0);
    const TformUpload::Setup s = setup(ftp, false);
    uploadThroughTheButtons(s);
    const auto last = transfer::lastUpload(s.recordPath, "haendler", s.servers.FtpServer);
    ASSERT_TRUE(last.has_value());
    const QString when = QLocale().toString(last->time, QStringLiteral("dd.MM.yyyy HH:mm"));
    inv[1].modell = "M1 neu";
    model::TFahrzeug third = inv[0];
    third.inr = "T-3";
    third.modell = "Neu";
    inv.append(third);
    const QString title0 = QString::fromLatin1(inv[0].marke) + " M0";
    settings.ResetDays = false;
    TformUpload d(s);
    d.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QTreeWidget>(d, "tvChanges")->topLevelItemCount() == 3; }, 10000));
    EXPECT_EQ(child<QLabel>(d, "lbl_changes")->text(),
              QStringLiteral("Letzte Übertragung am %1 mit 2 Fahrzeugen: 1 neu, 1 geändert, 1 unverändert, 0 "
                             "zurückgezogen, 0 mit neuer Nummer")
                  .arg(when));
    const QString brand = QString::fromLatin1(inv[0].marke);
    EXPECT_EQ(treeRows(d),
              (QStringList{"neu|T-3|" + brand + " Neu|", QString::fromUtf8("geändert|T-2|") + brand + " M1 neu|",
                           QString::fromUtf8("unverändert|T-1|") + title0 + "|"}));
    // Reset days: every key is new; a vehicle whose content the marketplace has gets a new number.
    QTest::mouseClick(child<QCheckBox>(d, "cbResetDays"), Qt::LeftButton, {},
                      QPoint(4, child<QCheckBox>(d, "cbResetDays")->height() / 2));
    ASSERT_TRUE(child<QCheckBox>(d, "cbResetDays")->isChecked());
    EXPECT_TRUE(
        child<QLabel>(d, "lbl_changes")
            ->text()
            .endsWith(QStringLiteral(": 2 neu, 0 geändert, 0 unverändert, 1 zurückgezogen, 1 mit neuer Nummer")));
    const QStringList reset = treeRows(d);
    ASSERT_EQ(reset.size(), 4);
    EXPECT_TRUE(reset[0].startsWith(QString::fromUtf8("zurückgezogen|T-2|")));
    EXPECT_TRUE(QRegularExpression("^neue Nummer\\|310124_142501_1_[0-9A-F]{4}\\|.*\\|T-1$").match(reset[1]).hasMatch())
        << reset[1].toStdString();
    // Another user has no upload on record.
    typeInto(d, "le_username", "zweiter");
    const QString none = QStringLiteral("Für diesen Benutzer ist keine frühere Übertragung bekannt: 3 neu, 0 "
                                        "geändert, 0 unverändert, 0 zurückgezogen, 0 mit neuer Nummer");
    EXPECT_TRUE(QTest::qWaitFor([&] { return child<QLabel>(d, "lbl_changes")->text() == none; }, 5000))
        << child<QLabel>(d, "lbl_changes")->text().toStdString();
}

// An upload that withdraws most of the listing asks first, with "Nein" as the answer Return gives; the real box
// is answered with the keyboard and the mouse.
TEST_F(UploadDialogTest, WithdrawalGuardAsksWithNeinAsDefault) {
    FtpFixture ftp;
    ASSERT_GT(ftp.server->port(), 0);
    const TformUpload::Setup s = setup(ftp, false);
    uploadThroughTheButtons(s);
    QFile first(ftp.received());
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray firstUpload = first.readAll();
    first.close();
    inv = {inv[0]};
    inv[0].inr = "X-9";
    inv[0].modell = "Ganz anders";
    Dialogs::setTestMode(false);
    const QString question = QStringLiteral("Die Übertragung zieht alle 2 bei Karvento eingestellten Fahrzeuge "
                                            "zurück.\nKarvento ersetzt Ihren gesamten Fahrzeugbestand durch die "
                                            "übertragenen Fahrzeuge.\n\nMöchten Sie den Fahrzeugbestand trotzdem "
                                            "übertragen?");
    const struct {
        const char* name;
        bool yes; // else Return, the default
    } answers[] = {{"Return answers Nein", false}, {"a click on Ja", true}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.name);
        settings.Password = "geheim"; // closing without "Kennwort speichern" forgot it
        TformUpload d(s);
        d.show();
        QString asked, defaultButton;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            answer.stop();
            asked = box->text();
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            if (a.yes)
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            else
                QTest::keyClick(box, Qt::Key_Return);
        });
        answer.start(20);
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return !asked.isEmpty() &&
                       (d.currentPage() == (a.yes ? TformUpload::DonePage : TformUpload::LoginPage));
            },
            20000));
        EXPECT_EQ(asked, question);
        EXPECT_EQ(defaultButton, "&Nein");
        QFile received(ftp.received());
        ASSERT_TRUE(received.open(QIODevice::ReadOnly));
        EXPECT_EQ(received.readAll() == firstUpload, !a.yes);
        EXPECT_EQ(transfer::readTransferLog(s.logPath).first().result,
                  a.yes ? QStringLiteral("übertragen") : QStringLiteral("nicht gesendet: Rückfrage verneint"));
        if (a.yes)
            click(d, "btnClose");
    }
    Dialogs::setTestMode(true);
}

// Every attempt is in the history, the failed one too; plain FTP is named in the window and in the history.
TEST_F(UploadDialogTest, HistoryAfterAFailedAndASuccessfulUpload) {
    FtpFixture ftp;
    ASSERT_GT(ftp.server->port(), 0);
    const TformUpload::Setup s = setup(ftp, false);
    {
        TformUpload d(s);
        d.show();
        typeInto(d, "le_password", "falsch");
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Dialogs::shown().isEmpty(); }, 20000));
        typeInto(d, "le_password", "geheim");
        click(d, "btnStart");
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.currentPage() == TformUpload::DonePage; }, 20000));
        EXPECT_TRUE(child<QLabel>(d, "lblEncryption")->isVisible());
        EXPECT_EQ(child<QLabel>(d, "lblEncryption")->text(), QStringLiteral("Verbindung unverschlüsselt"));
    }
    const QList<transfer::TransferRecord> log = transfer::readTransferLog(s.logPath);
    ASSERT_EQ(log.size(), 2);
    const qint64 size = QFileInfo(ftp.received()).size();
    const struct {
        const char* result;
        qint64 bytes;
        const char* reply;
    } expected[] = {{"übertragen", size, "213 "},
                    {"Benutzername und/oder Kennwort falsch. Eingaben überprüfen!", 0, "530 "}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].result, QString::fromUtf8(expected[i].result));
        EXPECT_EQ(log[i].bytes, expected[i].bytes);
        EXPECT_TRUE(log[i].reply.startsWith(expected[i].reply)) << log[i].reply.toStdString();
        EXPECT_TRUE(log[i].upload);
        EXPECT_EQ(log[i].user, "haendler");
        EXPECT_EQ(log[i].server, s.servers.FtpServer);
        EXPECT_EQ(log[i].file, s.documentName);
        EXPECT_EQ(log[i].added, 2);
        EXPECT_EQ(log[i].changed, 0);
        EXPECT_EQ(log[i].withdrawn, 0);
        EXPECT_FALSE(log[i].encrypted);
    }
    // The history window lists them newest first.
    gui::TformTransferLog window(s.logPath);
    auto* table = child<QTableWidget>(window, "tblLog");
    ASSERT_EQ(table->rowCount(), 2);
    QStringList first;
    for (int c = 1; c < table->columnCount(); ++c)
        first << table->item(0, c)->text();
    EXPECT_EQ(first, (QStringList{"Hochladen", "haendler", s.servers.FtpServer, s.documentName, "2", "0", "0",
                                  QLocale().toString(size), QStringLiteral("Verbindung unverschlüsselt"),
                                  QStringLiteral("übertragen"), log[0].reply}));
    EXPECT_EQ(table->item(1, 10)->text(), QString::fromUtf8(expected[1].result));
}

// "Abbrechen" works while the connection is being made: a server that never answers does not hold the dialog.
TEST_F(UploadDialogTest, AbortWhileConnectingStopsAtOnce) {
    FtpFixture ftp;
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    TformUpload::Setup s = setup(ftp);
    s.servers.FtpServer = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    TformUpload d(s);
    d.show();
    click(d, "btnStart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QPushButton>(d, "btnAbort")->isEnabled(); }, 20000));
    EXPECT_EQ(child<QLabel>(d, "lbl_vorgang")->text(), QStringLiteral("[2/3]  Verbindungsaufbau zu 127.0.0.1 ..."));
    QElapsedTimer clock;
    clock.start();
    click(d, "btnAbort");
    EXPECT_EQ(d.currentPage(), TformUpload::LoginPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QPushButton>(d, "btnStart")->isEnabled(); }, 5000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    EXPECT_EQ(transfer::readTransferLog(s.logPath).first().result, QStringLiteral("abgebrochen"));
}

class DownloadDialogTest : public testing::Test {
protected:
    void SetUp() override {
        Dialogs::setTestMode(true);
        Dialogs::shown().clear();
        settings.Username = "haendler";
        settings.Password = "geheim";
    }
    TformDownload::Setup setup(int port) {
        TformDownload::Setup s;
        s.settings = &settings;
        s.servers.LoginServer = s.servers.DealerServer = QStringLiteral("http://127.0.0.1:%1").arg(port);
        s.downloadPath = dir.filePath("tmq_download.zip");
        s.logPath = dir.filePath(transfer::kTransferLogFile);
        s.session = session.get();
        s.settleMs = 0;
        s.import = [this](const QString& path) { imported.append(path); };
        return s;
    }
    QTemporaryDir dir;
    std::unique_ptr<QObject> session{transfer::newNetworkSession(nullptr)};
    shell::Settings settings;
    QStringList imported;
};

TEST_F(DownloadDialogTest, TextsAsDesigned) {
    TformDownload d(setup(test::freePort()));
    d.show();
    EXPECT_EQ(d.windowTitle(), "Fahrzeugbestand herunterladen");
    EXPECT_EQ(child<QPushButton>(d, "btnStart")->text(), "&Start");
    EXPECT_EQ(child<QPushButton>(d, "btnAbort")->text(), "&Abbrechen");
    EXPECT_EQ(child<QPushButton>(d, "btnHelp")->text(), "&Hilfe");
    EXPECT_FALSE(child<QPushButton>(d, "btnAbort")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(d, "le_username")->text(), "haendler");
    EXPECT_EQ(child<QGroupBox>(d, "GroupBox2")->title(), " Status ");
}

TEST_F(DownloadDialogTest, DownloadsThroughTheButtons) {
    // A real stock archive for the import.
    model::Inventory inv = twoVehicles();
    const inventory::CsvLines lines =
        inventory::buildLines(inv, 0, 1, inventory::KeyMode::Typed, fixedClock(QDateTime(QDate(2024, 1, 31), {})));
    const QString archive = dir.filePath("bestand.zip");
    ASSERT_TRUE(inventory::writeArchive(archive, lines.fileData(), inv, 0, 1).ok());
    const struct {
        const char* name;
        QStringList args;
        bool listening;
        bool abortAtOnce;
        const char* message; // empty: none
        bool imports;
        const char* caption;
    } cases[] = {
        {"archive imported", {"--archive", archive}, true, false, "", true, nullptr},
        {"big archive", {"--size", "1500000"}, true, false, "", true, " Status: 1.464 KB heruntergeladen "},
        {"empty answer is imported", {"--size", "0"}, true, false, "", true, " Status "},
        {"dropped connection",
         {"--size", "1500000", "--drop-after", "200000"},
         true,
         false,
         kReadFailed,
         false,
         nullptr},
        {"nothing listening", {}, false, false, kConnectionDownload, false, nullptr},
        {"abort during the log-in stops at once", {"--size", "50000"}, true, true, "", false, " Status "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Dialogs::shown().clear();
        imported.clear();
        settings.Password = "geheim";
        std::unique_ptr<test::ServerProcess> server;
        int port = test::freePort();
        if (c.listening) {
            server = std::make_unique<test::ServerProcess>("login_server.py", c.args);
            ASSERT_GT(server->port(), 0);
            port = server->port();
        }
        TformDownload d(setup(port));
        d.show();
        click(d, "btnStart");
        EXPECT_EQ(d.currentPage(), TformDownload::ProgressPage);
        EXPECT_EQ(child<QLabel>(d, "lbl_vorgang")->text(), "[1/3]  Verbindungsaufbau zu Karvento ...");
        if (c.abortAtOnce)
            click(d, "btnAbort");
        const bool ended = QTest::qWaitFor(
            [&] { return !imported.isEmpty() || child<QPushButton>(d, "btnStart")->isEnabled(); }, 60000);
        ASSERT_TRUE(ended) << child<QLabel>(d, "lbl_vorgang")->text().toStdString();
        EXPECT_EQ(!imported.isEmpty(), c.imports);
        if (*c.message) {
            ASSERT_EQ(Dialogs::shown().size(), 1);
            EXPECT_EQ(Dialogs::shown().first().text, QString::fromUtf8(c.message));
        } else {
            EXPECT_TRUE(Dialogs::shown().isEmpty());
        }
        if (c.caption) {
            EXPECT_EQ(child<QGroupBox>(d, "GroupBox2")->title(), QString::fromLatin1(c.caption));
        }
        if (c.imports) {
            EXPECT_EQ(child<QLabel>(d, "lbl_vorgang")->text(), "[3/3]  Import der Fahrzeuge ...");
            EXPECT_EQ(d.result(), QDialog::Accepted);
            if (c.args.first() == "--archive") {
                EXPECT_EQ(inventory::readInventoryFile(imported.first()).vehicles.size(), 2);
            }
        } else {
            EXPECT_EQ(d.currentPage(), TformDownload::LoginPage);
            EXPECT_FALSE(child<QPushButton>(d, "btnAbort")->isEnabled());
        }
        // One line of the history per attempt.
        const QList<transfer::TransferRecord> log = transfer::readTransferLog(setup(port).logPath);
        ASSERT_FALSE(log.isEmpty());
        EXPECT_FALSE(log.first().upload);
        EXPECT_EQ(log.first().result, c.imports    ? QStringLiteral("heruntergeladen")
                                      : *c.message ? QString::fromUtf8(c.message).section(u'\n', 0, 0)
                                                   : QStringLiteral("abgebrochen"));
        // The next case starts logged out.
        session.reset(transfer::newNetworkSession(nullptr));
    }
}

// Without a keyring the password stays where config.ini always kept it, and only when asked to.
TEST(PasswordStoreTest, WithoutKeyringConfigIniKeepsIt) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_FALSE(gui::PasswordStore::available());
    const struct {
        bool save;
        const char* password;
        const char* stored;
    } cases[] = {{true, "geheim", "geheim"}, {false, "geheim", ""}, {true, "", ""}};
    for (const auto& c : cases) {
        shell::Settings s;
        s.Username = "haendler";
        s.SavePassword = c.save;
        s.Password = c.password;
        EXPECT_EQ(gui::settingsToStore(s).Password, QString::fromLatin1(c.stored));
        shell::Settings read = s;
        gui::restorePassword(read);
        EXPECT_EQ(read.Password, QString::fromLatin1(c.password));
    }
    shell::Settings settings;
    model::Inventory inv;
    TformUpload::Setup setup;
    setup.vehicles = &inv;
    setup.settings = &settings;
    setup.keyringNote = true;
    TformUpload d(setup);
    EXPECT_EQ(child<QLabel>(d, "lblKeyringNote")->text(),
              QString::fromUtf8("Kein Schlüsselbund verfügbar: das Kennwort wird nur verschleiert in config.ini "
                                "abgelegt."));
}
