#pragma once

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>

namespace tarmelo::test {

// A test server written in Python, started on 127.0.0.1 with a free port that it prints as its first line.
class ServerProcess {
public:
    ServerProcess(const QString& script, const QStringList& args) {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        // The system's interpreter, which has the Debian server packages.
        const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                                   ? QStringLiteral("/usr/bin/python3")
                                   : QStringLiteral("python3");
        process_.start(python, QStringList{QStringLiteral(TARMELO_TEST_SUPPORT "/") + script} + args);
        QDeadlineTimer deadline(15000);
        while (!process_.canReadLine() && !deadline.hasExpired() && process_.state() != QProcess::NotRunning)
            process_.waitForReadyRead(100);
        if (process_.canReadLine())
            port_ = process_.readLine().trimmed().toInt();
    }
    ~ServerProcess() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    QString errors() { return QString::fromUtf8(process_.readAllStandardError()); }

private:
    QProcess process_;
    int port_ = 0;
};

// A port on which nothing listens (bound, then released).
inline int freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

} // namespace tarmelo::test
