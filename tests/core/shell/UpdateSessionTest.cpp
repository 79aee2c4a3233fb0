#include "shell/UpdateSession.h"
#include "shell/UpdatePackage.h"
#include "shell/UpdateRules.h"
#include "support/TestHttpServer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <zip.h>

using namespace tarmelo::shell;
using Outcome = UpdateSession::Outcome;

namespace {

QCoreApplication* app() {
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return instance;
}

QString repoFile(const char* relative) {
    return QDir::cleanPath(QStringLiteral(TARMELO_TEST_DATA "/../../") + relative);
}

using TestServer = tarmelo::test::TestHttpServer;

void write(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Published {
    QByteArray publicKey;
};

// Publishes an update below root/tmq/update: the archive, its digest and signature over the offered version (or
// signedVersion) and the archive.
void publish(const QString& root, const QString& keyDir, const QByteArray& version, const QByteArray& content,
             Published* out, const QString& signedVersion = {}) {
    const QString dir = root + "/tmq/update";
    write(dir + "/update_enabled.txt", "1\r\n");
    write(dir + "/version.php", version);
    const QString zip = dir + "/update_files.zip";
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(zip).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    zip_source_t* src = zip_source_buffer(z, content.constData(), zip_uint64_t(content.size()), 0);
    ASSERT_GE(zip_file_add(z, "bin/tarmelo", src, 0), 0);
    ASSERT_EQ(zip_close(z), 0);
    const QString key = keyDir + "/private.pem";
    if (!QFileInfo::exists(key)) {
        QProcess p;
        p.start("openssl", {"genpkey", "-algorithm", "ed25519", "-out", key});
        ASSERT_TRUE(p.waitForFinished(10000));
        p.start("openssl", {"pkey", "-in", key, "-pubout", "-out", keyDir + "/public.pem"});
        ASSERT_TRUE(p.waitForFinished(10000));
    }
    QProcess sign;
    const QString offered = QString::fromUtf8(version.split('\n').value(1).trimmed());
    sign.start("sh", {repoFile("scripts/sign-update.sh"), key, zip, signedVersion.isEmpty() ? offered : signedVersion});
    ASSERT_TRUE(sign.waitForFinished(10000));
    ASSERT_EQ(sign.exitCode(), 0);
    out->publicKey = read(keyDir + "/public.pem");
}

struct SessionRun {
    Outcome outcome;
    QString message;
    bool help;
    QString serverVersion;
    QList<int> added, done;
    QList<int> percents;
    QStringList transfers;
};

SessionRun runSession(UpdateSession::Options o, int cancelAtEntry = -1, int cancelAtPercent = -1,
                      int cancelAfterMs = -1) {
    app();
    UpdateSession s(o);
    if (cancelAfterMs >= 0)
        QTimer::singleShot(cancelAfterMs, &s, [&s] { s.cancel(); });
    SessionRun r;
    QObject::connect(&s, &UpdateSession::entryAdded, [&](int e) {
        r.added << e;
        if (e == cancelAtEntry)
            s.cancel();
    });
    QObject::connect(&s, &UpdateSession::entryDone, [&](int e) { r.done << e; });
    QObject::connect(&s, &UpdateSession::progress, [&](int p, const QString& t, const QString&) {
        r.percents << p;
        r.transfers << t;
        if (cancelAtPercent >= 0 && p >= cancelAtPercent)
            s.cancel();
    });
    QEventLoop loop;
    QObject::connect(&s, &UpdateSession::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    s.start();
    if (!s.isFinished())
        loop.exec();
    EXPECT_TRUE(s.isFinished());
    r.outcome = s.outcome();
    r.message = s.message();
    r.help = s.messageWithHelp();
    r.serverVersion = s.serverVersion();
    return r;
}

class UpdateSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.filePath("server");
        staging = tmp.filePath("data/update");
        QDir().mkpath(tmp.filePath("keys"));
    }
    UpdateSession::Options options(const TestServer& server, bool checkOnly = false) {
        UpdateSession::Options o;
        o.server = server.url();
        o.stagingDir = staging;
        o.userAgent = "tarmelo";
        o.publicKeyPem = published.publicKey;
        o.checkOnly = checkOnly;
        o.transferTimeoutMs = 5000;
        return o;
    }
    QTemporaryDir tmp;
    QString root, staging;
    Published published;
};

} // namespace

TEST_F(UpdateSessionTest, ServerAnswersBeforeTheDownload) {
    const QByteArray newer = "version\r\n3.71\r\n01.03.2011\r\nauthorized_update\r\n";
    const struct {
        const char* name;
        QByteArray enabled; // nullptr-like empty with missing=true: no file
        bool enabledMissing;
        QByteArray version;
        Outcome outcome;
        QString message;
        QString shown;
    } cases[] = {
        {"newer", "1", false, newer, Outcome::NewerOffered, "", "3.71  (01.03.2011)"},
        {"same", "1", false, "version\n3.70\n10.02.2011\nauthorized_update\n", Outcome::UpToDate,
         UpdateSession::upToDateText(), "3.70  (10.02.2011)"},
        {"older", "1", false, "version\n3.69\n01.01.2011\nauthorized_update\n", Outcome::UpToDate,
         UpdateSession::upToDateText(), "3.69  (01.01.2011)"},
        {"maintenance", "0", false, newer, Outcome::Maintenance, UpdateSession::maintenanceText(), ""},
        {"switch is an error page", "", true, newer, Outcome::Maintenance, UpdateSession::maintenanceText(), ""},
        {"message", "1", false, "version\n3.71\n01.03.2011\nBitte laden Sie die Vollversion.\n", Outcome::ServerMessage,
         "Bitte laden Sie die Vollversion.", "3.71  (01.03.2011)"},
        {"bad version", "1", false, "version\n3.8\n01.03.2011\nauthorized_update\n", Outcome::Failed,
         UpdateSession::unprocessableText(), "3.8  (01.03.2011)"},
    };
    for (const auto& c : cases) {
        QDir(root).removeRecursively();
        if (!c.enabledMissing)
            write(root + "/tmq/update/update_enabled.txt", c.enabled);
        write(root + "/tmq/update/version.php", c.version);
        TestServer server(root);
        ASSERT_GT(server.port(), 0);
        const SessionRun r = runSession(options(server, true));
        EXPECT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_EQ(r.message, c.message) << c.name;
        EXPECT_EQ(r.serverVersion, c.shown) << c.name;
        EXPECT_FALSE(r.help) << c.name;
    }
}

TEST_F(UpdateSessionTest, UnreachableServerOffersHelpAndLeavesAnEmptyStagingFolder) {
    int port;
    {
        TestServer server(root);
        port = server.port();
    } // stopped: nothing listens there any more
    write(staging + "/old/leftover", "x");
    UpdateSession::Options o;
    o.server = QStringLiteral("http://127.0.0.1:%1").arg(port);
    o.stagingDir = staging;
    o.transferTimeoutMs = 5000;
    const SessionRun r = runSession(o);
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_EQ(r.message, UpdateSession::connectionFailedText());
    EXPECT_TRUE(r.help);
    EXPECT_TRUE(QFileInfo(staging).isDir());
    EXPECT_TRUE(QDir(staging).isEmpty());
}

TEST_F(UpdateSessionTest, FullRunDownloadsChecksAndUnpacks) {
    QByteArray content(10000, '\0');
    quint32 x = 99;
    for (char& ch : content) {
        x = x * 1103515245u + 12345u;
        ch = char(x >> 24);
    }
    publish(root, tmp.filePath("keys"), "version\n3.71\n01.03.2011\nauthorized_update\n", content, &published);
    TestServer server(root);
    const SessionRun r = runSession(options(server));
    ASSERT_EQ(r.outcome, Outcome::Unpacked) << r.message.toStdString();
    EXPECT_EQ(r.added, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(r.done, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(read(staging + "/unpack/bin/tarmelo"), content);
    ASSERT_FALSE(r.percents.isEmpty());
    EXPECT_EQ(r.percents.last(), 100);
    const qint64 size = QFileInfo(root + "/tmq/update/update_files.zip").size();
    EXPECT_EQ(r.percents.size(), int(size / 4096) + 1);
}

TEST_F(UpdateSessionTest, TamperedDownloadsAreRefused) {
    const QByteArray version = "version\n3.71\n01.03.2011\nauthorized_update\n";
    const QString dir = root + "/tmq/update";
    const struct {
        const char* name;
        std::function<void()> tamper;
        QString message;
    } cases[] = {
        {"lower-case digest", [&] { write(dir + "/checksum.txt", read(dir + "/checksum.txt").toLower()); },
         UpdateSession::corruptText()},
        {"no signature", [&] { QFile::remove(dir + "/update_files.zip.sig"); }, UpdateSession::corruptText()},
        {"forged archive with matching digest",
         [&] {
             QByteArray zip = read(dir + "/update_files.zip");
             zip[40] = char(zip[40] ^ 0x55);
             write(dir + "/update_files.zip", zip);
             write(dir + "/checksum.txt", QCryptographicHash::hash(zip, QCryptographicHash::Md5).toHex().toUpper());
         },
         UpdateSession::corruptText()},
        // A genuine archive of 3.69, its genuine signature, and a version file that offers it as 3.71.
        {"old archive offered as newer",
         [&] { publish(root, tmp.filePath("keys"), version, "old program", &published, "3.69"); },
         UpdateSession::corruptText()},
    };
    for (const auto& c : cases) {
        QDir(root).removeRecursively();
        publish(root, tmp.filePath("keys"), version, "new program", &published);
        c.tamper();
        TestServer server(root);
        const SessionRun r = runSession(options(server));
        EXPECT_EQ(r.outcome, Outcome::Failed) << c.name;
        EXPECT_EQ(r.message, c.message) << c.name;
        EXPECT_FALSE(QFileInfo::exists(staging + "/unpack")) << c.name;
    }
}

TEST_F(UpdateSessionTest, ArchiveWithoutLengthOrCancelledStops) {
    // Content that does not compress, so that the archive is larger than the point where the server stalls.
    QByteArray noise(50000, '\0');
    quint32 x = 12345;
    for (char& ch : noise) {
        x = x * 1103515245u + 12345u;
        ch = char(x >> 24);
    }
    publish(root, tmp.filePath("keys"), "version\n3.71\n01.03.2011\nauthorized_update\n", noise, &published);
    {
        TestServer server(root, {"--no-length"});
        const SessionRun r = runSession(options(server));
        EXPECT_EQ(r.outcome, Outcome::Failed);
        EXPECT_EQ(r.message, UpdateSession::noLengthText());
    }
    {
        TestServer server(root);
        const SessionRun r = runSession(options(server), 2);
        EXPECT_EQ(r.outcome, Outcome::Cancelled);
        EXPECT_FALSE(QFileInfo::exists(staging + "/unpack"));
    }
    {
        // A server that stops sending: the transfer times out and counts as a failed read.
        TestServer server(root, {"--stall", "5000"});
        const SessionRun r = runSession(options(server));
        EXPECT_EQ(r.outcome, Outcome::Failed);
        EXPECT_EQ(r.message, UpdateSession::readFailedText());
    }
    {
        // "Abbrechen" while it stalls ends the download at once, not at the time-out.
        TestServer server(root, {"--stall", "5000"});
        QElapsedTimer clock;
        clock.start();
        const SessionRun r = runSession(options(server), -1, -1, 700);
        EXPECT_EQ(r.outcome, Outcome::Cancelled);
        EXPECT_LT(clock.elapsed(), 4000);
    }
}

// A small answer that never ends is cut off while it comes in, and counts as no answer.
TEST_F(UpdateSessionTest, EndlessSmallFilesAreCutOff) {
    publish(root, tmp.filePath("keys"), "version\n3.71\n01.03.2011\nauthorized_update\n", "x", &published);
    const struct {
        const char* endless;
        QString message;
    } cases[] = {
        {"update_enabled.txt", UpdateSession::connectionFailedText()},
        {"version.php", UpdateSession::noInformationText()},
    };
    for (const auto& c : cases) {
        TestServer server(root, {"--endless", c.endless});
        const SessionRun r = runSession(options(server, true));
        EXPECT_EQ(r.outcome, Outcome::Failed) << c.endless;
        EXPECT_EQ(r.message, c.message) << c.endless;
        EXPECT_LE(QFileInfo(staging + "/" + c.endless).size(), 0) << c.endless;
    }
}
