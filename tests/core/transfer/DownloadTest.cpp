#include "transfer/Download.h"
#include "support/ServerProcess.h"
#include "transfer/HtmlForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tarmelo;
using namespace tarmelo::transfer;

namespace {

// The network needs an application object; it goes before the process ends, not in static destruction.
struct Application : ::testing::Environment {
    void SetUp() override {
        if (!QCoreApplication::instance())
            app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[11] = "core_tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
};
const auto* const kApplication = ::testing::AddGlobalTestEnvironment(new Application);

void ensureApplication() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct DownloadRun {
    DownloadFailure failure = DownloadFailure::None;
    qint64 received = 0;
    int downloading = 0;
    QStringList captions;
    QString lastReply;
    bool encrypted = false;
};

DownloadRun runDownload(const DownloadSetup& setup, QObject* session, bool abortAtOnce = false) {
    DownloadRun run;
    StockDownload d(setup, session);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&d, &StockDownload::downloading, [&] { ++run.downloading; });
    QObject::connect(&d, &StockDownload::progress, [&](qint64 b) { run.captions.append(downloadCaption(b)); });
    QObject::connect(&d, &StockDownload::finished, [&](DownloadFailure f) {
        run.failure = f;
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    d.start();
    if (abortAtOnce)
        d.abort();
    if (!finished)
        loop.exec();
    EXPECT_TRUE(finished);
    run.received = d.received();
    run.lastReply = d.lastReply();
    run.encrypted = d.encrypted();
    return run;
}

} // namespace

TEST(HtmlFormTest, FirstFormAsABrowserSubmitsIt) {
    const QUrl page("https://login.example/cas/login?locale=de");
    const struct {
        const char* html;
        const char* method;
        const char* action;
        const char* encoded;
    } cases[] = {
        {"<form action='../cas/dologin?s=1' method=POST><input type=hidden name=lt value='a b+c&amp;d'>"
         "<input name=username><input type=password name=password value=x><input type=checkbox name=r>"
         "<input type=checkbox name=w checked><input type=radio name=o value=1><input type=radio name=o value=2 "
         "checked>"
         "<input type=submit name=go value=Los><input name=off disabled value=1><textarea name=t>T 1</textarea>"
         "<select name=s><option>erst</option><option value=z selected>Z</option></select></form>"
         "<form action=/second><input name=username></form>",
         "POST", "https://login.example/cas/dologin?s=1", "lt=a+b%2Bc%26d&username=&password=x&w=on&o=2&t=T+1&s=z"},
        // Opened between <table> and <tr>: the inputs that follow still belong to it, up to the next form.
        {"<table><form action=login method=post><tr><td><input type=hidden name=lt value=1>"
         "<input name=username></td></tr><tr><td><input name=password></td></tr></form></table>"
         "<form action=/b><input name=later></form>",
         "POST", "https://login.example/cas/login", "lt=1&username=&password="},
        {"<p>no action</p><form><input name=q value='ä ö'><select name=e><option>eins</option></select></form>", "GET",
         "https://login.example/cas/login?locale=de", "q=%C3%A4+%C3%B6&e=eins"},
    };
    for (const auto& c : cases) {
        const auto form = firstForm(c.html, page);
        ASSERT_TRUE(form.has_value()) << c.html;
        EXPECT_EQ(form->method, QByteArray(c.method));
        EXPECT_EQ(form->action.toString(), QString::fromLatin1(c.action));
        EXPECT_EQ(form->encoded(), QByteArray(c.encoded)) << c.html;
    }
    EXPECT_FALSE(firstForm("<html><body>Kein Formular</body></html>", page).has_value());
    HtmlForm f;
    f.fields = {{"username", ""}, {"username", "zweites"}};
    EXPECT_TRUE(f.setField("username", "erstes"));
    EXPECT_FALSE(f.setField("password", "x"));
    EXPECT_EQ(f.encoded(), QByteArray("username=erstes&username=zweites"));
}

TEST(DownloadTexts, CaptionAndMessages) {
    ensureApplication();
    const struct {
        qint64 bytes;
        const char* caption;
    } cases[] = {{0, " Status: 0 KB heruntergeladen "},
                 {1023, " Status: 0 KB heruntergeladen "},
                 {1500000, " Status: 1.464 KB heruntergeladen "},
                 {2LL << 30, " Status: 2.097.152 KB heruntergeladen "}};
    for (const auto& c : cases)
        EXPECT_EQ(downloadCaption(c.bytes), QString::fromLatin1(c.caption));
    EXPECT_TRUE(downloadFailureMessage(DownloadFailure::Connection).contains("Proxy-Server oder"));
    EXPECT_TRUE(
        downloadFailureMessage(DownloadFailure::Failed).startsWith("Die Fahrzeugdatei konnte nicht erfolgreich"));
    EXPECT_TRUE(downloadFailureMessage(DownloadFailure::Read).startsWith("Beim Herunterladen der Fahrzeugdatei"));
    EXPECT_TRUE(downloadFailureMessage(DownloadFailure::Aborted).isEmpty());
}

TEST(StockDownloadTest, AgainstARealLogInServer) {
    ensureApplication();
    const struct {
        const char* name;
        QStringList args;
        const char* password;
        bool listening;
        bool abortAtOnce;
        int pageTimeoutMs;
        qint64 maxBytes;
        DownloadFailure expected;
        qint64 received;       // -1: the archive's size
        const char* fileStart; // what tmq_download.zip begins with afterwards
    } cases[] = {
        {"plain form, big archive",
         {"--size", "1500000"},
         "geheim",
         true,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::None,
         1500000,
         ""},
        {"form between table and row",
         {"--layout", "table", "--size", "5000"},
         "geheim",
         true,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::None,
         5000,
         ""},
        {"wrong password gets the log-in page",
         {"--size", "5000"},
         "falsch",
         true,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::None,
         -1,
         "<!DOCTYPE html>"},
        {"empty answer",
         {"--size", "0"},
         "geheim",
         true,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::None,
         0,
         ""},
        {"dropped in the middle",
         {"--size", "1500000", "--drop-after", "300000"},
         "geheim",
         true,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::Read,
         -1,
         "vorher"},
        {"nothing listening",
         {},
         "geheim",
         false,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::Connection,
         0,
         "vorher"},
        {"log-in page never completes",
         {"--hang-login"},
         "geheim",
         true,
         false,
         500,
         kMaxDownloadBytes,
         DownloadFailure::Connection,
         0,
         "vorher"},
        {"abort during the log-in stops at once",
         {"--size", "50000"},
         "geheim",
         true,
         true,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::Aborted,
         0,
         "vorher"},
        {"archive that stops flowing",
         {"--size", "300000", "--slow", "5"},
         "geheim",
         true,
         false,
         60000,
         kMaxDownloadBytes,
         DownloadFailure::Read,
         16384,
         "vorher"},
        {"endless archive is cut off",
         {"--size", "300000"},
         "geheim",
         true,
         false,
         60000,
         100000,
         DownloadFailure::Failed,
         -1,
         "vorher"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString log = dir.filePath("requests.log");
        std::unique_ptr<test::ServerProcess> server;
        int port = test::freePort();
        if (c.listening) {
            server = std::make_unique<test::ServerProcess>("login_server.py", QStringList{"--log", log} + c.args);
            ASSERT_GT(server->port(), 0) << server->errors().toStdString();
            port = server->port();
        }
        const QString target = dir.filePath(kDownloadFile);
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("vorher");
        previous.close();
        DownloadSetup setup;
        setup.loginServer = setup.dealerServer = QStringLiteral("http://127.0.0.1:%1").arg(port);
        setup.user = "haendler";
        setup.password = c.password;
        setup.target = target;
        setup.settleMs = 0;
        setup.pageTimeoutMs = c.pageTimeoutMs;
        setup.maxBytes = c.maxBytes;
        setup.plainLogin = true;
        setup.stallMs = 1500;
        const std::unique_ptr<QObject> session(newNetworkSession(nullptr));
        const DownloadRun run = runDownload(setup, session.get(), c.abortAtOnce);
        EXPECT_EQ(run.failure, c.expected);
        const QByteArray file = readAll(target);
        if (c.received >= 0) {
            EXPECT_EQ(run.received, c.received);
        }
        if (c.expected == DownloadFailure::None) {
            EXPECT_EQ(file.size(), run.received);
        }
        EXPECT_TRUE(file.startsWith(c.fileStart)) << file.left(40).constData();
        if (c.received == 1500000) {
            EXPECT_EQ(run.captions.last(), QStringLiteral(" Status: 1.464 KB heruntergeladen "));
        }
        if (c.abortAtOnce) {
            EXPECT_TRUE(run.captions.isEmpty());
        }
        // No stray temporary files beside the target.
        EXPECT_LE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        const QByteArray requests = readAll(log);
        if (c.expected == DownloadFailure::None && QByteArray(c.password) == "geheim") {
            EXPECT_TRUE(requests.contains("POST /cas/dologin?service=haendler ")) << requests.constData();
            EXPECT_TRUE(requests.contains("GET /dealer-admin/import-export/Karvento_download.zip?type=csv session "
                                          "ua=Mozilla/5.0"))
                << requests.constData();
        }
        EXPECT_FALSE(requests.contains("/wrong"));
    }
}

TEST(StockDownloadTest, ALiveSessionIsLoggedOutFirst) {
    ensureApplication();
    QTemporaryDir dir;
    const QString log = dir.filePath("requests.log");
    test::ServerProcess server("login_server.py", {"--log", log, "--size", "3000"});
    ASSERT_GT(server.port(), 0);
    DownloadSetup setup;
    setup.loginServer = setup.dealerServer = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    setup.user = "haendler";
    setup.password = "geheim";
    setup.target = dir.filePath(kDownloadFile);
    setup.settleMs = 0;
    setup.plainLogin = true;
    const std::unique_ptr<QObject> session(newNetworkSession(nullptr));
    ASSERT_EQ(runDownload(setup, session.get()).failure, DownloadFailure::None);
    QFile::remove(log);
    const DownloadRun second = runDownload(setup, session.get());
    EXPECT_EQ(second.failure, DownloadFailure::None);
    EXPECT_EQ(second.received, 3000);
    QStringList paths;
    for (const QByteArray& line : readAll(log).split('\n'))
        if (!line.isEmpty())
            paths.append(QString::fromLatin1(line.split(' ').value(1)));
    const QStringList expected{"/cas/login?locale=de", "/cas/logout?locale=de",
                               "/cas/login?locale=de", "/cas/dologin?service=haendler",
                               "/dealer-admin/home",   "/dealer-admin/import-export/Karvento_download.zip?type=csv"};
    EXPECT_EQ(paths, expected);
}

// The password goes only over HTTPS, unless servers.ini names a plain log-in server; redirects lead to the web
// only and never from HTTPS down to HTTP.
TEST(StockDownloadTest, PasswordOnlyOverHttpsAndSafeRedirects) {
    ensureApplication();
    QTemporaryDir dir;
    const QString plainLog = dir.filePath("plain.log");
    test::ServerProcess plain("login_server.py", {"--log", plainLog, "--size", "3000"});
    ASSERT_GT(plain.port(), 0);
    const QString plainUrl = QStringLiteral("http://127.0.0.1:%1").arg(plain.port());
    const QString local = dir.filePath("lokal.zip");
    QFile localFile(local);
    ASSERT_TRUE(localFile.open(QIODevice::WriteOnly));
    localFile.write("PK lokale Datei");
    localFile.close();
    const struct {
        const char* name;
        bool tls;
        QStringList args;
        bool plainLogin;
        DownloadFailure expected;
        bool encrypted;
        const char* reply; // the end of lastReply()
        bool posts;        // the log-in was sent
    } cases[] = {
        {"HTTPS log-in", true, {}, false, DownloadFailure::None, true, "HTTP 200 OK", true},
        {"log-in page redirected to a local file",
         true,
         {"--login-redirect", "file://" + local},
         false,
         DownloadFailure::Connection,
         true,
         "abgelehnt",
         false},
        {"stock archive redirected to a local file",
         true,
         {"--archive-redirect", "file://" + local},
         false,
         DownloadFailure::Connection,
         true,
         "abgelehnt",
         true},
        {"redirect from HTTPS to HTTP",
         true,
         {"--login-redirect", plainUrl + "/cas/login?locale=de"},
         false,
         DownloadFailure::Connection,
         true,
         "abgelehnt",
         false},
        {"HTTPS page whose form posts over HTTP",
         true,
         {"--action", plainUrl + "/cas/dologin?service=haendler"},
         false,
         DownloadFailure::Connection,
         true,
         "ist nicht verschlüsselt",
         false},
        {"plain log-in not named in servers.ini",
         false,
         {},
         false,
         DownloadFailure::Connection,
         false,
         "ist nicht verschlüsselt",
         false},
        {"plain log-in named in servers.ini", false, {}, true, DownloadFailure::None, false, "HTTP 200 OK", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(plainLog);
        QTemporaryDir certs;
        const QString log = dir.filePath("server.log");
        QFile::remove(log);
        QStringList args{"--log", log, "--size", "2000"};
        if (c.tls)
            args << "--tls" << certs.path();
        test::ServerProcess server("login_server.py", args + c.args);
        ASSERT_GT(server.port(), 0) << server.errors().toStdString();
        const QString target = dir.filePath(kDownloadFile);
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("vorher");
        previous.close();
        DownloadSetup setup;
        setup.loginServer = setup.dealerServer =
            QStringLiteral("%1://127.0.0.1:%2").arg(c.tls ? "https" : "http").arg(server.port());
        setup.caFile = c.tls ? certs.filePath("ca.pem") : QString();
        setup.user = "haendler";
        setup.password = "geheim";
        setup.target = target;
        setup.settleMs = 0;
        setup.plainLogin = c.plainLogin;
        const std::unique_ptr<QObject> session(newNetworkSession(nullptr));
        const DownloadRun run = runDownload(setup, session.get());
        EXPECT_EQ(run.failure, c.expected);
        EXPECT_EQ(run.encrypted, c.encrypted);
        EXPECT_TRUE(run.lastReply.endsWith(QString::fromUtf8(c.reply))) << run.lastReply.toStdString();
        EXPECT_EQ(readAll(target).size(), c.expected == DownloadFailure::None ? 2000 : 6);
        const QByteArray requests = readAll(log);
        EXPECT_EQ(requests.contains("POST "), c.posts) << requests.constData();
        // The plain server never saw the password.
        EXPECT_FALSE(readAll(plainLog).contains("geheim")) << readAll(plainLog).constData();
    }
}
