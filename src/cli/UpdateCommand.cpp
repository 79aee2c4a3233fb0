// tarmelo-cli update --check: asks the update server as the update dialog does, without downloading the program.

#include "cli/Commands.h"
#include "shell/Servers.h"
#include "shell/UpdateRules.h"
#include "shell/UpdateSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tarmelo::cli {

using namespace shell;

int update(const CommandLine& c) {
    if (!c.has("--check"))
        return usage("update");
    const QString exeDir = QCoreApplication::applicationDirPath();
    const Servers servers = loadServersFile(c.value("--servers").value_or(serversPath(exeDir)));
    QTemporaryDir staging;
    if (!staging.isValid()) {
        err(UpdateSession::stagingCreateText());
        return kNoConnection;
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

    out(QStringLiteral("Installierte Programmversion: ") + programVersionCaption());
    out(QStringLiteral("Verfügbare Programmversion: ") +
        (session.serverVersion().isEmpty() ? QStringLiteral("-") : session.serverVersion()));
    switch (session.outcome()) {
    case UpdateSession::Outcome::UpToDate:
        out(session.message());
        return kOk;
    case UpdateSession::Outcome::NewerOffered:
        // Only a self-contained installation replaces itself; another one names the version and its installer.
        out(selfContainedInstallation(exeDir)
                ? QStringLiteral("Tarmelo %1 ist verfügbar.").arg(session.offeredVersion())
                : packageUpdateText(session.offeredVersion()).simplified());
        return kNewer;
    case UpdateSession::Outcome::Maintenance:
    case UpdateSession::Outcome::ServerMessage:
        out(session.message());
        return kServerSays;
    default:
        out(session.message());
        return kNoConnection;
    }
}

} // namespace tarmelo::cli
