// tarmelo-cli update --check: asks the update server as the update dialog does, without downloading the program.

#include "shell/Servers.h"
#include "shell/UpdateRules.h"
#include "shell/UpdateSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace tarmelo::shell;

namespace {

constexpr int kUpToDate = 0, kFailure = 4, kServerSaysNo = 6, kUsage = 2, kNewer = 10;

void print(FILE* to, const QString& s) {
    const QByteArray b = s.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), to);
}

} // namespace

int runUpdate(const QStringList& args) {
    bool check = false;
    QString serversFile;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1StringView("--check")) {
            check = true;
        } else if (args[i] == QLatin1StringView("--servers") && i + 1 < args.size()) {
            serversFile = args[++i];
        } else {
            check = false;
            break;
        }
    }
    if (!check) {
        print(stderr, QStringLiteral("Aufruf: tarmelo-cli update --check [--servers DATEI]"));
        return kUsage;
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    const Servers servers = loadServersFile(serversFile.isEmpty() ? serversPath(exeDir) : serversFile);
    QTemporaryDir staging;
    if (!staging.isValid()) {
        print(stderr, UpdateSession::stagingCreateText());
        return kFailure;
    }
    UpdateSession::Options o;
    o.server = servers.UpdateServer;
    o.stagingDir = staging.filePath(QStringLiteral("update"));
    o.userAgent = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    o.checkOnly = true;
    UpdateSession session(o);
    QEventLoop loop;
    QObject::connect(&session, &UpdateSession::finished, &loop, &QEventLoop::quit);
    session.start();
    if (!session.isFinished())
        loop.exec();

    print(stdout, QStringLiteral("Installierte Programmversion: ") + programVersionCaption());
    print(stdout, QStringLiteral("Verfügbare Programmversion: ") +
                      (session.serverVersion().isEmpty() ? QStringLiteral("-") : session.serverVersion()));
    switch (session.outcome()) {
    case UpdateSession::Outcome::UpToDate:
        print(stdout, session.message());
        return kUpToDate;
    case UpdateSession::Outcome::NewerOffered:
        // Only a self-contained installation replaces itself; another one names the version and its installer.
        print(stdout, selfContainedInstallation(exeDir)
                          ? QStringLiteral("Tarmelo %1 ist verfügbar.").arg(session.offeredVersion())
                          : packageUpdateText(session.offeredVersion()).simplified());
        return kNewer;
    case UpdateSession::Outcome::Maintenance:
    case UpdateSession::Outcome::ServerMessage:
        print(stdout, session.message());
        return kServerSaysNo;
    default:
        print(stdout, session.message());
        return kFailure;
    }
}
