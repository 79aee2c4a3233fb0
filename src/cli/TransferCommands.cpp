// tarmelo-cli upload and download: the marketplace transfer without the window.

#include "cli/Commands.h"

#include "csv/LineWriter.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"
#include "shell/Servers.h"
#include "shell/Settings.h"
#include "transfer/Download.h"
#include "transfer/TransferLog.h"
#include "transfer/Upload.h"
#include "transfer/UploadRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace tarmelo::cli {

namespace {

void say(FILE* to, const QString& s) {
    (to == stderr ? err : out)(s);
}

struct Login {
    QString user;
    QString password;
    shell::Servers servers;
};

// User name: --user, else the saved one. Password: stdin, else TARMELO_PASSWORD, else the saved one; a preview
// needs none.
bool login(const CommandLine& o, Login& l, bool needPassword = true) {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const shell::Settings saved = shell::loadSettingsFile(shell::settingsPath(exeDir));
    l.servers = shell::loadServersFile(o.value("--servers").value_or(shell::serversPath(exeDir)));
    l.user = o.value("--user").value_or(saved.Username);
    if (!needPassword) {
    } else if (o.has("--password-stdin")) {
        std::string line;
        std::getline(std::cin, line);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        l.password = QString::fromStdString(line);
    } else if (qEnvironmentVariableIsSet("TARMELO_PASSWORD")) {
        l.password = qEnvironmentVariable("TARMELO_PASSWORD");
    } else {
        l.password = saved.Password;
    }
    if (l.user.isEmpty()) {
        say(stderr, QStringLiteral("Bitte geben Sie Ihren Karvento-Benutzernamen ein!"));
        return false;
    }
    if (needPassword && l.password.isEmpty()) {
        say(stderr, QStringLiteral("Bitte geben Sie Ihr Kennwort ein!"));
        return false;
    }
    return true;
}

QString dataFile(const char* name) {
    const QString folder = shell::dataFolder(QCoreApplication::applicationDirPath());
    QDir().mkpath(folder);
    return QDir(folder).filePath(QString::fromLatin1(name));
}

void printPreview(const transfer::UploadPreview& p, const QString& user, const QString& server) {
    if (p.previousKnown)
        say(stdout, QStringLiteral("Letzte Übertragung an %1 als %2: %3, %4 Fahrzeuge")
                        .arg(server, user, QLocale().toString(p.previousTime, QStringLiteral("dd.MM.yyyy HH:mm")))
                        .arg(p.listed));
    else
        say(stdout, QStringLiteral("Keine frühere Übertragung an %1 als %2 bekannt.").arg(server, user));
    for (const transfer::PreviewRow& r : p.rows) {
        QString key = model::fromCp1252(r.key);
        if (r.change == transfer::Change::KeyChanged)
            key += QStringLiteral(" (vorher %1)").arg(model::fromCp1252(r.oldKey));
        say(stdout, transfer::changeText(r.change) + u'\t' + key + u'\t' + r.number + u'\t' + r.title);
    }
    say(stdout, p.summary());
    if (p.needsConfirmation())
        say(stdout, oneLine(p.confirmationQuestion().section(u'\n', 0, 0)));
}

} // namespace

int upload(const CommandLine& o) {
    const std::optional<Clock> clock = o.clock();
    if (!clock)
        return kUsage;
    QFile probe(o.files()[0]);
    if (!probe.open(QIODevice::ReadOnly)) {
        say(stderr,
            QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(o.files()[0], probe.errorString()));
        return kUsage;
    }
    probe.close();
    const inventory::OpenResult read = inventory::readInventoryFile(o.files()[0]);
    if (!read.ok()) {
        say(stderr, oneLine(read.message()));
        return kUsage;
    }
    // Sold vehicles stay at home: the checks, the preview and the archive see the others alone.
    const model::Inventory inv = transfer::forUpload(read.vehicles);
    // The checks of the upload command: typed numbers first, then every vehicle's rules.
    if (o.has("--typed-numbers")) {
        if (auto f = csv::checkInternalNumbers(inv, 0, int(inv.size()) - 1)) {
            say(stdout, failureLine(*f));
            return kFailed;
        }
    }
    for (int i = 0; i < inv.size(); ++i) {
        const csv::LineResult line = csv::CreateLine(inv[i], i + 1, 0, csv::KeyKind::Placeholder, *clock);
        if (!line.ok()) {
            say(stdout, failureLine({i, *line.failure}));
            return kFailed;
        }
    }
    Login l;
    if (!login(o, l, !o.has("--preview")))
        return kUsage;

    // What the marketplace will list afterwards, against what it lists now.
    const inventory::KeyMode mode = transfer::uploadKeyMode(o.has("--reset-days"), !o.has("--typed-numbers"));
    const transfer::PhotoPrints prints = transfer::photoPrints(inv);
    const inventory::CsvLines planned = inventory::buildLines(inv, 0, int(inv.size()) - 1, mode, *clock);
    if (!planned.ok()) {
        say(stdout, failureLine(*planned.failure));
        return kFailed;
    }
    const QString recordFile = dataFile(transfer::kUploadRecordFile);
    const QString server = l.servers.FtpServer;
    const transfer::UploadPreview preview = transfer::comparePreview(transfer::lastUpload(recordFile, l.user, server),
                                                                     transfer::manifestOf(planned.lines, inv, prints));
    if (o.has("--preview")) {
        printPreview(preview, l.user, server);
        return kOk;
    }

    transfer::TransferRecord history;
    history.time = QDateTime::currentDateTime();
    history.user = l.user;
    history.server = server;
    history.file = QFileInfo(o.files()[0]).absoluteFilePath();
    transfer::noteCounts(history, preview);
    const QString logFile = dataFile(transfer::kTransferLogFile);
    if (preview.needsConfirmation() && !o.has("--allow-withdrawal")) {
        say(stdout, preview.refusal());
        say(stdout, preview.summary());
        history.result = QStringLiteral("nicht gesendet: zu viele Fahrzeuge zurückgezogen");
        transfer::appendTransferRecord(logFile, history);
        return kFailed;
    }

    const QString file = dataFile(transfer::kUploadFile);
    const transfer::BuildResult built = transfer::buildUploadFile(file, inv, mode, *clock, {}, &prints);
    if (!built.ok()) {
        say(stderr, oneLine(built.message));
        history.result = oneLine(built.message);
        transfer::appendTransferRecord(logFile, history);
        return kUsage;
    }
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    QElapsedTimer started;
    qint64 total = 0;
    double speed = 0;
    transfer::FtpEvents events;
    events.workBegin = [&](qint64 t) {
        total = t;
        started.start();
    };
    events.work = [&](qint64 done) {
        if (!terminal)
            return;
        const transfer::WorkTexts t = transfer::workTexts(done, total, started.elapsed(), speed);
        speed = t.speed;
        const QByteArray b = ("\r" + t.sent + QStringLiteral("   ") + t.remaining + QStringLiteral("   ")).toUtf8();
        std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    };
    events.workEnd = [&] {
        if (terminal)
            std::fputc('\n', stderr);
    };
    const transfer::FtpResult r =
        transfer::ftpStore(file, transfer::uploadTarget(l.servers, l.user, l.password), events);
    history.bytes = r.bytes;
    history.encrypted = r.encrypted;
    history.reply = r.lastReply;
    if (r.ok()) {
        transfer::UploadManifest sent = transfer::manifestOf(built.lines, inv, prints);
        sent.time = history.time;
        transfer::recordUpload(recordFile, l.user, server, sent);
        history.result = QStringLiteral("übertragen");
        transfer::appendTransferRecord(logFile, history);
        say(stdout, QStringLiteral("Der Fahrzeugbestand wurde erfolgreich übertragen."));
        if (!r.encrypted)
            say(stdout, transfer::unencryptedNotice());
        return kOk;
    }
    history.result = r.failure == transfer::FtpFailure::Aborted ? QStringLiteral("abgebrochen")
                                                                : oneLine(transfer::ftpFailureMessage(r));
    transfer::appendTransferRecord(logFile, history);
    say(stderr, oneLine(transfer::ftpFailureMessage(r)));
    if (!r.lastReply.isEmpty() && r.failure != transfer::FtpFailure::Unconfirmed)
        say(stderr, QStringLiteral("Letzte Antwort des Servers: ") + r.lastReply);
    if (!r.detail.isEmpty())
        say(stderr, r.detail);
    return r.failure == transfer::FtpFailure::Refused ? kRefused : kNoConnection;
}

int download(const CommandLine& o) {
    Login l;
    if (!login(o, l))
        return kUsage;
    transfer::DownloadSetup setup;
    setup.loginServer = l.servers.LoginServer;
    setup.dealerServer = l.servers.DealerServer;
    setup.caFile = l.servers.CaCertificates;
    setup.user = l.user;
    setup.password = l.password;
    setup.target = dataFile(transfer::kDownloadFile);
    setup.settleMs = transfer::settleMs();
    setup.plainLogin = shell::plainLoginAllowed(l.servers);
    setup.stallMs = transfer::stallSeconds() * 1000;
    transfer::StockDownload job(setup, nullptr);
    transfer::DownloadFailure failure = transfer::DownloadFailure::None;
    QEventLoop loop;
    QObject::connect(&job, &transfer::StockDownload::finished, &loop, [&](transfer::DownloadFailure f) {
        failure = f;
        loop.quit();
    });
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    if (terminal)
        QObject::connect(&job, &transfer::StockDownload::progress, &loop, [](qint64 bytes) {
            const QByteArray b = ("\r" + transfer::downloadCaption(bytes)).toUtf8();
            std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
        });
    QMetaObject::invokeMethod(
        &job, [&job] { job.start(); }, Qt::QueuedConnection);
    loop.exec();
    if (terminal)
        std::fputc('\n', stderr);
    transfer::TransferRecord history;
    history.time = QDateTime::currentDateTime();
    history.upload = false;
    history.user = l.user;
    history.server = l.servers.DealerServer;
    history.file = setup.target;
    history.bytes = job.received();
    history.encrypted = job.encrypted();
    history.reply = job.lastReply();
    history.result = failure == transfer::DownloadFailure::None ? QStringLiteral("heruntergeladen")
                                                                : oneLine(transfer::downloadFailureMessage(failure));
    transfer::appendTransferRecord(dataFile(transfer::kTransferLogFile), history);
    if (failure != transfer::DownloadFailure::None) {
        say(stderr, oneLine(transfer::downloadFailureMessage(failure)));
        if (!job.lastReply().isEmpty())
            say(stderr, QStringLiteral("Letzte Antwort des Servers: ") + job.lastReply());
        return kNoConnection;
    }
    const inventory::OpenResult r = inventory::readInventoryFile(setup.target);
    if (!r.ok()) {
        say(stderr, oneLine(r.message()));
        return kFaulty;
    }
    const model::Inventory& inv = r.vehicles;
    const inventory::KeyMode mode =
        o.has("--typed-numbers") ? inventory::KeyMode::Typed : inventory::KeyMode::Automatic;
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, int(inv.size()) - 1, mode, systemClock());
    if (!lines.ok()) {
        say(stdout, failureLine(*lines.failure));
        return kFailed;
    }
    const QString target = inventory::archivePath(o.files()[0]);
    backupBefore(target, inventory::BackupCause::BeforeDownload);
    const inventory::SaveResult s = inventory::writeArchive(target, lines.fileData(), inv, 0, int(inv.size()) - 1);
    if (!s.ok()) {
        say(stderr, oneLine(s.message()));
        return kUsage;
    }
    if (!r.message().isEmpty())
        say(stdout, oneLine(r.message()));
    say(stdout, QStringLiteral("%1 Fahrzeuge heruntergeladen und als \"%2\" gespeichert.").arg(inv.size()).arg(target));
    return kOk;
}

} // namespace tarmelo::cli
