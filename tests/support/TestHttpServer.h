#pragma once

// An HTTP server for the tests: Python's server over a folder, on 127.0.0.1 and a free port, stopped with the object.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tarmelo::test {

inline QString sourceFile(const QString& relative) {
    return QDir::cleanPath(QStringLiteral(TARMELO_SOURCE_DIR "/") + relative);
}

class TestHttpServer {
public:
    explicit TestHttpServer(const QString& root, const QStringList& flags = {}) {
        process_.start(QStringLiteral("python3"),
                       QStringList{sourceFile(QStringLiteral("tests/support/http_server.py")), root} + flags);
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(10000))
            port_ = process_.readLine().trimmed().toInt();
    }
    ~TestHttpServer() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    int port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

inline bool runTool(const QString& program, const QStringList& args, const QString& workDir = {}) {
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline bool writeTestFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Publishes the files below tree as an update under root/tmq/update, signed with a key made in keyDir; returns
// the public key.
inline QByteArray publishUpdate(const QString& root, const QString& tree, const QString& keyDir,
                                const QByteArray& versionFile) {
    const QString dir = root + QStringLiteral("/tmq/update");
    QDir().mkpath(dir);
    writeTestFile(dir + QStringLiteral("/update_enabled.txt"), "1\r\n");
    writeTestFile(dir + QStringLiteral("/version.php"), versionFile);
    const QString zip = dir + QStringLiteral("/update_files.zip");
    QFile::remove(zip);
    if (!runTool(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-r"), zip, QStringLiteral(".")}, tree))
        return {};
    const QString key = keyDir + QStringLiteral("/private.pem");
    const QString pub = keyDir + QStringLiteral("/public.pem");
    if (!QFileInfo::exists(key) &&
        !(runTool(QStringLiteral("openssl"), {QStringLiteral("genpkey"), QStringLiteral("-algorithm"),
                                              QStringLiteral("ed25519"), QStringLiteral("-out"), key}) &&
          runTool(QStringLiteral("openssl"), {QStringLiteral("pkey"), QStringLiteral("-in"), key,
                                              QStringLiteral("-pubout"), QStringLiteral("-out"), pub})))
        return {};
    // The version offered (line 2) is signed with the archive.
    const QString version = QString::fromUtf8(versionFile.split('\n').value(1).trimmed());
    if (!runTool(QStringLiteral("sh"), {sourceFile(QStringLiteral("scripts/sign-update.sh")), key, zip, version}))
        return {};
    QFile f(pub);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace tarmelo::test
