#include "transfer/Upload.h"
#include "csv/LineWriter.h"
#include "support/ServerProcess.h"
#include "support/TestVehicles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>
#include <zip.h>

using namespace tarmelo;
using namespace tarmelo::transfer;

namespace {

struct GermanLocale : ::testing::Environment {
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
};
const auto* const kLocale = ::testing::AddGlobalTestEnvironment(new GermanLocale);

QMap<QByteArray, QByteArray> members(const QString& path) {
    QMap<QByteArray, QByteArray> out;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        QByteArray data(qsizetype(st.size), '\0');
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        out.insert(st.name, data);
    }
    zip_discard(za);
    return out;
}

model::Inventory inventoryWithPhotos() {
    model::Inventory inv;
    for (int i = 0; i < 3; ++i) {
        model::TFahrzeug v = test::validVehicle(1);
        v.inr = QByteArray("NR-") + QByteArray::number(i + 1);
        v.modell = QByteArray("Modell ") + QByteArray::number(i);
        for (int k = 0; k < i + 1; ++k)
            v.bilder[size_t(k)] = QByteArray("JPEG ") + QByteArray::number(i * 10 + k);
        inv.append(v);
    }
    // A gap ends the photos the upload carries.
    inv[2].bilder[4] = "after the gap";
    return inv;
}

QByteArray randomBytes(qsizetype n) {
    QByteArray b(n, '\0');
    QRandomGenerator gen(7);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(gen.generate() & 0xFF);
    return b;
}

} // namespace

TEST(UploadTexts, ProgressLinesAsTheDialogShowsThem) {
    const struct {
        qint64 done, total, ms;
        double previous;
        const char* sent;
        const char* remaining;
    } cases[] = {
        {1234 * 1024, 5678 * 1024, 100000, 0, "1.234 KB von 5.678 KB übertragen bei 12,34 KB/s",
         "Restdauer:  00:06:00"},
        {0, 2048, 0, 0, "0 KB von 2 KB übertragen bei 0,00 KB/s", "Restdauer:  -"},
        // No time passed: the speed of the last event stays.
        {1024, 4096, 0, 1.5, "1 KB von 4 KB übertragen bei 1,50 KB/s", "Restdauer:  00:00:02"},
        // Partial kilobytes are cut off, the speed has no thousands separator.
        {1023, 1535, 1, 0, "0 KB von 1 KB übertragen bei 999,02 KB/s", "Restdauer:  00:00:00"},
        {2000000 * 1024LL, 3000000 * 1024LL, 1000, 0, "2.000.000 KB von 3.000.000 KB übertragen bei 2000000,00 KB/s",
         "Restdauer:  00:00:00"},
        {1024, 400000 * 1024LL, 1000, 0, "1 KB von 400.000 KB übertragen bei 1,00 KB/s", "Restdauer:  111:06:39"},
    };
    for (const auto& c : cases) {
        const WorkTexts t = workTexts(c.done, c.total, c.ms, c.previous);
        EXPECT_EQ(t.sent, QString::fromUtf8(c.sent)) << c.done;
        EXPECT_EQ(t.remaining, QString::fromUtf8(c.remaining)) << c.done;
    }
}

TEST(UploadTexts, ServerHostForThePhaseText) {
    const struct {
        const char* server;
        const char* host;
    } cases[] = {{"ftp.example.org", "ftp.example.org"}, {"127.0.0.1:2121", "127.0.0.1"}, {"[::1]:21", "::1"}};
    for (const auto& c : cases)
        EXPECT_EQ(serverHost(c.server), QString::fromLatin1(c.host));
}

TEST(UploadBuild, MembersNamedAfterTheKeysOfEachMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath(kUploadFile);
    const model::Inventory inv = inventoryWithPhotos();
    int tick = 0;
    // Every line reads the clock anew: the seconds of the keys move on.
    const Clock clock = [&tick] { return QDateTime(QDate(2024, 1, 31), QTime(14, 25, tick++)); };
    const struct {
        inventory::KeyMode mode;
        const char* firstKeyPrefix;
    } cases[] = {
        {inventory::KeyMode::TimeStamp, "310124_1425"},
        {inventory::KeyMode::Typed, "NR-1"},
        {inventory::KeyMode::Automatic, ""},
    };
    for (const auto& c : cases) {
        tick = 0;
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old upload");
        old.close();
        ASSERT_TRUE(buildUploadFile(path, inv, c.mode, clock).ok());
        const auto m = members(path);
        ASSERT_TRUE(m.contains("fzg.csv"));
        const QList<QByteArray> lines = m["fzg.csv"].split('\n');
        ASSERT_EQ(lines.size(), 4); // three lines and the empty rest after the last CR LF
        QSet<QByteArray> expected{"fzg.csv"};
        for (int i = 0; i < 3; ++i) {
            const QByteArray key = csv::GetIntNr(lines[i]);
            EXPECT_TRUE(key.startsWith(c.firstKeyPrefix) || i > 0) << key.constData();
            for (int k = 1; k <= i + 1; ++k) {
                expected.insert(key + '_' + QByteArray::number(k) + ".jpg");
                EXPECT_EQ(m.value(key + '_' + QByteArray::number(k) + ".jpg"), inv[i].bilder[size_t(k - 1)]);
            }
        }
        const QList<QByteArray> names = m.keys();
        EXPECT_EQ(QSet<QByteArray>(names.begin(), names.end()), expected);
        if (c.mode == inventory::KeyMode::TimeStamp) {
            // DDMMYY_hhmmss_N_xxxx: the seconds grow from line to line.
            QList<int> seconds;
            for (int i = 0; i < 3; ++i) {
                const QByteArray key = csv::GetIntNr(lines[i]);
                EXPECT_TRUE(key.startsWith("310124_1425")) << key.constData();
                EXPECT_EQ(key.mid(14, 2), QByteArray::number(i + 1) + '_');
                EXPECT_EQ(key.size(), 20);
                seconds.append(key.mid(11, 2).toInt());
            }
            EXPECT_LT(seconds[0], seconds[1]);
            EXPECT_LT(seconds[1], seconds[2]);
        }
    }
}

TEST(UploadBuild, FailuresLeaveNoFileAndSayWhy) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    QDir(dir.path()).mkdir("tmq_upload.zip");
    const struct {
        QString path;
        const char* messageStart;
        bool fileAfter;
    } cases[] = {
        // An old "file" that cannot be removed.
        {dir.filePath("tmq_upload.zip"), "Die für die Fahrzeugübertragung notwendige Fahrzeugdatei existiert bereits.",
         true},
        {dir.filePath("missing/tmq_upload.zip"),
         "Die für die Fahrzeugübertragung notwendige Fahrzeugdatei konnte nicht erstellt werden.\n\nÜberprüfen", false},
    };
    for (const auto& c : cases) {
        const BuildResult r = buildUploadFile(c.path, inv, inventory::KeyMode::Automatic, systemClock());
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.message.startsWith(QString::fromUtf8(c.messageStart))) << r.message.toStdString();
        EXPECT_EQ(QFileInfo::exists(c.path), c.fileAfter);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST(UploadMessages, FailureClassesMapToTheirBoxes) {
    const struct {
        FtpFailure f;
        const char* start;
        bool error, help;
    } cases[] = {
        {FtpFailure::Unreachable, "Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\nVergewissern", false,
         true},
        {FtpFailure::Broken, "Beim Herunterladen der Fahrzeugdatei ist ein Fehler aufgetreten.", true, true},
        {FtpFailure::Refused, "Benutzername und/oder Kennwort falsch. Eingaben überprüfen!", true, false},
        {FtpFailure::Other, "Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\nÜberprüfen Sie", false, true},
        {FtpFailure::Aborted, "", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(*c.start == 0 || ftpFailureMessage(c.f).startsWith(QString::fromUtf8(c.start)));
        EXPECT_EQ(ftpFailureMessage(c.f).isEmpty(), *c.start == 0);
        EXPECT_EQ(ftpFailureIsError(c.f), c.error);
        EXPECT_EQ(ftpFailureHasHelp(c.f), c.help);
    }
    EXPECT_TRUE(connectionMessage().contains("Proxy-Sever oder"));
}

namespace {

struct FtpCase {
    const char* name;
    bool tls = false;
    bool trustServer = false;
    bool listening = true;
    const char* password = "geheim";
    int throttle = 0;
    bool abortMidway = false;
    FtpFailure expected = FtpFailure::None;
    bool credentialsSent = true;
    bool tlsUsed = false;
};

} // namespace

TEST(FtpUpload, AgainstARealServer) {
    const FtpCase cases[] = {
        {"plain server", false, false, true, "geheim", 0, false, FtpFailure::None, true, false},
        {"wrong password", false, false, true, "falsch", 0, false, FtpFailure::Refused, true, false},
        {"nothing listening", false, false, false, "geheim", 0, false, FtpFailure::Unreachable, false, false},
        {"certificate not trusted", true, false, true, "geheim", 0, false, FtpFailure::Unreachable, false, false},
        {"TLS offered and used", true, true, true, "geheim", 0, false, FtpFailure::None, true, true},
        {"TLS and a wrong password", true, true, true, "falsch", 0, false, FtpFailure::Refused, true, false},
        {"abort in the middle", false, false, true, "geheim", 256 * 1024, true, FtpFailure::Aborted, true, false},
    };
    const QByteArray payload = randomBytes(1536 * 1024);
    for (const FtpCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root, certs, local;
        const QString log = local.filePath("commands.log");
        const QString file = local.filePath(kUploadFile);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(payload);
        f.close();
        QStringList args{"--root", root.path(), "--log", log};
        if (c.tls)
            args << "--tls" << certs.path();
        if (c.throttle)
            args << "--throttle" << QString::number(c.throttle);
        std::unique_ptr<test::ServerProcess> server;
        int port = test::freePort();
        if (c.listening) {
            server = std::make_unique<test::ServerProcess>("ftp_server.py", args);
            ASSERT_GT(server->port(), 0) << server->errors().toStdString();
            port = server->port();
        }
        FtpTarget target;
        target.server = QStringLiteral("127.0.0.1:%1").arg(port);
        target.user = "haendler";
        target.password = c.password;
        target.caFile = c.trustServer ? certs.filePath("ca.pem") : QString();
        std::atomic<bool> abort{false};
        int loggedIn = 0, begun = 0, ended = 0, workAfterAbort = 0;
        qint64 total = 0, last = 0;
        FtpEvents events;
        events.loggedIn = [&] { ++loggedIn; };
        events.workBegin = [&](qint64 t) {
            ++begun;
            total = t;
        };
        events.work = [&](qint64 done) {
            if (abort)
                ++workAfterAbort;
            last = done;
            if (c.abortMidway && done > 0)
                abort = true;
        };
        events.workEnd = [&] { ++ended; };
        events.abort = &abort;
        const FtpResult r = ftpStore(file, target, events);
        EXPECT_EQ(r.failure, c.expected) << r.detail.toStdString();
        EXPECT_EQ(r.encrypted, c.tls && c.trustServer);
        QFile received(QDir(root.path()).filePath(kUploadFile));
        if (c.expected == FtpFailure::None) {
            ASSERT_TRUE(received.open(QIODevice::ReadOnly));
            EXPECT_TRUE(received.readAll() == payload);
            EXPECT_EQ(loggedIn, 1);
            EXPECT_EQ(begun, 1);
            EXPECT_EQ(ended, 1);
            EXPECT_EQ(total, payload.size());
            EXPECT_EQ(last, payload.size());
            EXPECT_EQ(r.lastReply.left(4), "213 ");
        }
        if (c.abortMidway) {
            EXPECT_EQ(workAfterAbort, 0);
            EXPECT_LT(last, payload.size());
        }
        QFile commands(log);
        const QByteArray sent = commands.open(QIODevice::ReadOnly) ? commands.readAll() : QByteArray();
        EXPECT_EQ(sent.contains("USER\n") && sent.contains("PASS\n"), c.credentialsSent) << sent.constData();
        EXPECT_EQ(sent.contains("PROT\n"), c.tlsUsed) << sent.constData();
        // The server notes each data connection whose handshake completed: the file itself travelled encrypted.
        EXPECT_EQ(sent.contains("DATA-TLS\n"), c.tlsUsed) << sent.constData();
        // TLS is always asked for first; a server without it gets plain FTP.
        if (c.listening) {
            EXPECT_TRUE(sent.startsWith("AUTH\n")) << sent.constData();
        }
        if (c.expected == FtpFailure::None) {
            EXPECT_TRUE(sent.contains("TYPE\n") && sent.contains("STOR\n") && !sent.contains("CWD\n"));
        }
    }
}

namespace {

// Sets an environment variable for one scope.
struct ScopedEnv {
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    const char* name_;
    QByteArray old_;
    bool had_;
};

QByteArray fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// A proxy in the environment, a proxy that answers 502, a server that confirms less than it got, one that stops
// reading and one without TLS where TLS is required: none of them ends as "sent".
TEST(FtpUpload, NeverReportsAFailureAsSent) {
    const struct {
        const char* name;
        QStringList serverArgs;
        const char* environmentProxy; // "refusing": ftp_proxy and all_proxy name the refusing proxy
        const char* namedProxy;       // "refusing", "tunnel", or a literal address
        bool requireTls;
        qsizetype payload;
        FtpFailure expected;
        bool fileOnServer;
        const char* proxySaw; // a request line the proxy must have seen; nullptr: none at all
    } cases[] = {
        {"proxy variables are ignored", {}, "refusing", "", false, 300000, FtpFailure::None, true, nullptr},
        {"named proxy answers 502", {}, "", "refusing", false, 300000, FtpFailure::Unreachable, false, "CONNECT "},
        {"named proxy tunnels", {}, "refusing", "tunnel", false, 300000, FtpFailure::None, true, "CONNECT 127.0.0.1:"},
        {"proxy that cannot tunnel",
         {},
         "",
         "ftp://127.0.0.1:1",
         false,
         300000,
         FtpFailure::Unreachable,
         false,
         nullptr},
        {"server reports a smaller size",
         {"--short-size"},
         "",
         "",
         false,
         300000,
         FtpFailure::Unconfirmed,
         true,
         nullptr},
        // The part it read stays on the server; the upload still counts as failed.
        {"server stops reading", {"--stall-after", "65536"}, "", "", false, 48 << 20, FtpFailure::Other, true, nullptr},
        {"TLS required, server without", {}, "", "", true, 300000, FtpFailure::NoTls, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root, local;
        const QString serverLog = local.filePath("ftp.log"), proxyLog = local.filePath("proxy.log");
        test::ServerProcess server("ftp_server.py",
                                   QStringList{"--root", root.path(), "--log", serverLog} + c.serverArgs);
        ASSERT_GT(server.port(), 0) << server.errors().toStdString();
        test::ServerProcess refusing("http_proxy.py", {"--refuse", "--log", proxyLog});
        test::ServerProcess tunnel("http_proxy.py", {"--log", proxyLog});
        ASSERT_GT(refusing.port(), 0);
        ASSERT_GT(tunnel.port(), 0);
        const QByteArray refusingUrl = "http://127.0.0.1:" + QByteArray::number(refusing.port());
        const QByteArray env = QByteArray(c.environmentProxy) == "refusing" ? refusingUrl : QByteArray();
        ScopedEnv ftpProxy("ftp_proxy", env), allProxy("all_proxy", env), bigAll("ALL_PROXY", env);
        const QString file = local.filePath(kUploadFile);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(c.payload, 'x'));
        f.close();
        shell::Servers servers;
        servers.FtpServer = QStringLiteral("127.0.0.1:%1").arg(server.port());
        FtpTarget target = uploadTarget(servers, "haendler", "geheim");
        const QByteArray named(c.namedProxy);
        target.proxy = named == "refusing" ? QString::fromLatin1(refusingUrl)
                       : named == "tunnel" ? QStringLiteral("http://127.0.0.1:%1").arg(tunnel.port())
                                           : QString::fromLatin1(named);
        target.requireTls = c.requireTls;
        target.stallSeconds = 2;
        QElapsedTimer clock;
        clock.start();
        const FtpResult r = ftpStore(file, target, {});
        EXPECT_EQ(r.failure, c.expected) << r.detail.toStdString();
        EXPECT_LT(clock.elapsed(), 20000);
        EXPECT_FALSE(r.encrypted);
        EXPECT_EQ(QFileInfo::exists(QDir(root.path()).filePath(kUploadFile)), c.fileOnServer);
        const QByteArray sawn = fileText(proxyLog);
        EXPECT_TRUE(c.proxySaw ? sawn.contains(c.proxySaw) : sawn.isEmpty()) << sawn.constData();
        const QByteArray commands = fileText(serverLog);
        if (c.requireTls) {
            EXPECT_FALSE(commands.contains("USER\n") || commands.contains("PASS\n")) << commands.constData();
        }
        if (c.expected == FtpFailure::Unconfirmed) {
            EXPECT_EQ(r.lastReply, QStringLiteral("213 %1").arg(c.payload - 1));
            EXPECT_EQ(ftpFailureMessage(r),
                      QStringLiteral("Der Server hat den vollständigen Empfang der Fahrzeugdatei nicht bestätigt.\n\n"
                                     "Der Fahrzeugbestand gilt deshalb als nicht übertragen. Versuchen Sie es zu einem"
                                     "\nspäteren Zeitpunkt erneut!\n\nLetzte Antwort des Servers: 213 %1")
                          .arg(c.payload - 1));
        }
    }
}

// The abort works before the server has said a word: a listening socket that never greets.
TEST(FtpUpload, AbortWhileTheServerIsSilent) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir local;
    const QString file = local.filePath(kUploadFile);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    std::atomic<bool> abort{false};
    FtpEvents events;
    events.abort = &abort;
    std::thread stopper([&abort] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        abort = true;
    });
    QElapsedTimer clock;
    clock.start();
    shell::Servers servers;
    servers.FtpServer = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    const FtpResult r = ftpStore(file, uploadTarget(servers, "haendler", "geheim"), events);
    stopper.join();
    EXPECT_EQ(r.failure, FtpFailure::Aborted) << r.detail.toStdString();
    EXPECT_LT(clock.elapsed(), 3000);
}
