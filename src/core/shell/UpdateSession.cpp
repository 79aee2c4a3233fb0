#include "shell/UpdateSession.h"

#include "shell/UpdateRules.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <QTimer>

namespace tarmelo::shell {

namespace {

const QString kBase = QStringLiteral("/tmq/update/");
constexpr qint64 kBlock = 1024;
constexpr qint64 kProgressStep = 4096;
// Small answers (switch, version, digest, signature) never need more.
constexpr qint64 kMaxSmallFile = 1024 * 1024;

// Errors of the connection itself; an HTTP error status still delivers a body that is kept as the answer.
bool connectionFailed(int e) {
    return e != transfer::kNetworkNoError && !(e >= transfer::kNetworkContentAccessDenied && e <= 299) &&
           !(e >= transfer::kNetworkInternalServerError && e <= 499);
}

QByteArray readSmall(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(kMaxSmallFile) : QByteArray();
}

QString internetHint() {
    return QStringLiteral("Vergewissern Sie sich über die Funktionsfähigkeit Ihrer Internetverbindung!\n"
                          "Falls Sie einen Proxy-Server oder eine Firewall nutzen, finden Sie darüber\n"
                          "in der Hilfe nützliche Informationen.");
}

} // namespace

QString UpdateSession::connectionFailedText() {
    return QStringLiteral("Tarmelo konnte keine Verbindung zum Update-Server herstellen.\n\n") + internetHint();
}
QString UpdateSession::maintenanceText() {
    return QStringLiteral("Der Update-Server wird zurzeit gewartet.\n"
                          "Versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::noInformationText() {
    return QStringLiteral("Tarmelo konnte keine Update-Informationen finden.\n"
                          "Versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::unprocessableText() {
    return QStringLiteral("Tarmelo konnte die Update-Informationen nicht verarbeiten.\n"
                          "Versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::upToDateText() {
    return QStringLiteral("Sie verfügen bereits über die aktuellste Version von Tarmelo!");
}
QString UpdateSession::downloadFailedText() {
    return QStringLiteral("Tarmelo konnte die neuen Programmdateien nicht herunterladen.\n\n") + internetHint();
}
QString UpdateSession::noLengthText() {
    return QStringLiteral("Tarmelo konnte die neuen Programmdateien nicht herunterladen.\n"
                          "Versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::readFailedText() {
    return QStringLiteral("Beim Herunterladen der neuen Programmdateien ist ein Fehler aufgetreten.\n\n"
                          "Überprüfen Sie die Funktionsfähigkeit Ihrer Internetverbindung und\n"
                          "versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::corruptText() {
    return QStringLiteral("Die heruntergeladenen Programmdateien sind möglicherweise fehlerhaft.\n"
                          "Versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::unpackFailedText() {
    return QStringLiteral("Beim Verarbeiten der neuen Programmdateien ist ein Fehler aufgetreten.\n"
                          "Versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}
QString UpdateSession::integrateFailedText() {
    return QStringLiteral("Beim Integrieren der neuen Programmdateien ist ein Fehler aufgetreten.\n\n"
                          "Eventuell wurde der Programmordner von Tarmelo mit einem Schreibschutz versehen\n"
                          "oder der zurzeit angemeldete Benutzer besitzt keine ausreichenden Schreibrechte.");
}
QString UpdateSession::finishText() {
    return QStringLiteral("Um das Update abzuschließen, muss Tarmelo beendet werden!");
}
QString UpdateSession::stagingExistsText() {
    return QStringLiteral("Ein temporäres Verzeichnis existiert bereits und konnte nicht gelöscht werden.");
}
QString UpdateSession::stagingCreateText() {
    return QStringLiteral("Ein temporäres Verzeichnis konnte nicht erstellt werden.");
}

UpdateSession::UpdateSession(Options options, QObject* parent) : QObject(parent), o_(std::move(options)) {
    net_ = transfer::networkModule();
    if (net_) {
        // Honours the proxy of the environment (http_proxy) as the system's own downloads do.
        net_->useSystemProxy();
        session_ = net_->newSession(this);
    }
    speedTimer_ = new QTimer(this);
    connect(speedTimer_, &QTimer::timeout, this, [this] {
        if (done_ || !reply_)
            return;
        const qint64 got = received_ - receivedAtCheck_;
        receivedAtCheck_ = received_;
        if (got < 100 * qint64(o_.stallMs) / 1000)
            finish(Outcome::Failed, readFailedText());
    });
}

void UpdateSession::cancel() {
    cancelled_ = true;
    // A download that hangs would otherwise hold the dialog until its time-out.
    if (!done_ && reply_)
        finish(Outcome::Cancelled);
}

UpdateSession::~UpdateSession() {
    if (reply_)
        net_->abort(reply_);
}

QString UpdateSession::unpackDir() const {
    return staged(QStringLiteral("unpack"));
}
QString UpdateSession::archivePath() const {
    return staged(QStringLiteral("update_files.zip"));
}
QString UpdateSession::staged(const QString& name) const {
    return QDir(o_.stagingDir).filePath(name);
}

QUrl UpdateSession::url(const QString& path) const {
    QString base = o_.server;
    while (base.endsWith('/'))
        base.chop(1);
    return QUrl(base + kBase + path);
}

void UpdateSession::finish(Outcome outcome, const QString& message, bool help) {
    if (done_)
        return;
    done_ = true;
    speedTimer_->stop();
    outcome_ = outcome;
    message_ = message;
    withHelp_ = help;
    if (reply_)
        net_->abort(reply_);
    archive_.close();
    emit finished(outcome);
}

void UpdateSession::cancelPoint(Next next) {
    // One turn of the event loop lets a click on "Abbrechen" arrive before the next step.
    QTimer::singleShot(0, this, [this, next] {
        if (done_)
            return;
        if (cancelled_)
            finish(Outcome::Cancelled);
        else
            (this->*next)();
    });
}

void UpdateSession::start() {
    if (!net_)
        return finish(Outcome::Failed, QString::fromUtf8(transfer::kNetworkModuleMissing));
    QDir staging(o_.stagingDir);
    if (staging.exists() && !staging.removeRecursively())
        return finish(Outcome::Failed, stagingExistsText());
    if (!QDir().mkpath(o_.stagingDir))
        return finish(Outcome::Failed, stagingCreateText());
    emit entryAdded(0);
    fetch(QStringLiteral("update_enabled.txt"), QStringLiteral("update_enabled.txt"),
          &UpdateSession::stepSwitchDownloaded, connectionFailedText(), true);
}

QIODevice* UpdateSession::get(const QString& path, qint64 readBufferSize) {
    transfer::HttpRequest request;
    request.url = url(path);
    request.headers.emplaceBack("User-Agent", o_.userAgent.toUtf8());
    // Every answer comes fresh from the server: a cached version file would hide a new release.
    request.fresh = true;
    request.headers.emplaceBack("Cache-Control", "no-cache");
    request.transferTimeoutMs = o_.transferTimeoutMs;
    // Redirects to http and https only, never from https down to http.
    request.followRedirects = true;
    request.readBufferSize = readBufferSize;
    return net_->send(session_, request);
}

void UpdateSession::fetch(const QString& path, const QString& file, Next onSuccess, const QString& failure, bool help) {
    reply_ = get(path);
    QIODevice* reply = reply_;
    // Bounded while it comes in: a server that sends without end is cut off at the limit, not read to the end.
    net_->onProgress(reply, this, [this, reply](qint64 got) {
        if (got > kMaxSmallFile) {
            reply->setProperty("tooLarge", true);
            net_->abort(reply);
        }
    });
    net_->onFinished(reply, this, [=, this] {
        reply->deleteLater();
        if (done_)
            return;
        if (reply->property("tooLarge").toBool() || connectionFailed(net_->error(reply)))
            return finish(Outcome::Failed, failure, help);
        const QByteArray body = reply->read(kMaxSmallFile);
        QSaveFile out(staged(file));
        if (!out.open(QIODevice::WriteOnly) || out.write(body) != body.size() || !out.commit())
            return finish(Outcome::Failed, failure, help);
        (this->*onSuccess)();
    });
}

void UpdateSession::stepSwitchDownloaded() {
    emit entryDone(0);
    cancelPoint(&UpdateSession::stepSwitchChecked);
}

void UpdateSession::stepSwitchChecked() {
    if (!updatesOffered(readSmall(staged(QStringLiteral("update_enabled.txt")))))
        return finish(Outcome::Maintenance, maintenanceText());
    cancelPoint(&UpdateSession::stepVersionDownloaded);
}

void UpdateSession::stepVersionDownloaded() {
    emit entryAdded(1);
    fetch(QStringLiteral("version.php?version=") + kProgramVersion, QStringLiteral("version.txt"),
          &UpdateSession::stepVersionChecked, noInformationText(), false);
}

void UpdateSession::stepVersionChecked() {
    emit entryDone(1);
    const VersionFile v = parseVersionFile(readSmall(staged(QStringLiteral("version.txt"))));
    offeredVersion_ = v.version;
    if (!v.shown.isEmpty()) {
        serverVersion_ = v.shown;
        emit serverVersionKnown(v.shown);
    }
    switch (v.kind) {
    case VersionFile::Kind::Invalid:
        return finish(Outcome::Failed, unprocessableText());
    case VersionFile::Kind::Message:
        return finish(Outcome::ServerMessage, v.message);
    case VersionFile::Kind::Authorized:
        break;
    }
    if (kProgramVersionNumber >= v.number)
        return finish(Outcome::UpToDate, upToDateText());
    if (o_.checkOnly)
        return finish(Outcome::NewerOffered);
    cancelPoint(&UpdateSession::stepArchiveRequested);
}

void UpdateSession::stepArchiveRequested() {
    emit entryAdded(2);
    archive_.setFileName(archivePath());
    if (!archive_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return finish(Outcome::Failed, downloadFailedText(), true);
    length_ = 0;
    received_ = 0;
    speed_ = 0;
    lengthChecked_ = false;
    archiveFailed_ = false;
    reply_ = get(QStringLiteral("update_files.zip"), 256 * 1024);
    net_->onMetaData(reply_, this, [this] { onArchiveMeta(); });
    connect(reply_, &QIODevice::readyRead, this, &UpdateSession::onArchiveData);
    net_->onFinished(reply_, this, [this] { onArchiveFinished(); });
    started_.start();
    receivedAtCheck_ = 0;
    speedTimer_->start(o_.stallMs);
}

void UpdateSession::onArchiveMeta() {
    if (lengthChecked_ || done_)
        return;
    lengthChecked_ = true;
    bool ok = false;
    const QByteArray header = net_->header(reply_, "Content-Length").trimmed();
    // The length was read into a 10-character buffer: more digits than that are no valid length.
    const qint64 length = header.size() <= 10 ? header.toLongLong(&ok) : 0;
    if (!ok || length < 1 || length > o_.limits.maxTotalBytes)
        return finish(Outcome::Failed, noLengthText());
    length_ = length;
}

void UpdateSession::reportProgress() {
    const double t = double(started_.elapsed()) / 1000.0;
    if (t > 0)
        speed_ = double(received_) / 1024.0 / t;
    const int percent = length_ > 0 ? int(qMin<qint64>(100, received_ * 100 / length_)) : 0;
    emit progress(percent, transferText(received_, length_, speed_, QLocale()),
                  remainingText(received_, length_, speed_));
}

void UpdateSession::onArchiveData() {
    if (done_ || !reply_)
        return;
    if (!lengthChecked_)
        onArchiveMeta();
    if (done_)
        return;
    const bool last = net_->isFinished(reply_);
    char block[kBlock];
    // Blocks of 1024 bytes keep the file size on the 4096-byte marks at which progress and cancel are looked at.
    while (reply_ && (reply_->bytesAvailable() >= kBlock || (last && reply_->bytesAvailable() > 0))) {
        const qint64 n = reply_->read(block, kBlock);
        if (n <= 0)
            break;
        if (archive_.write(block, n) != n) {
            archiveFailed_ = true;
            return finish(Outcome::Failed, readFailedText());
        }
        received_ += n;
        if (received_ > o_.limits.maxTotalBytes)
            return finish(Outcome::Failed, readFailedText());
        if (received_ % kProgressStep == 0) {
            reportProgress();
            if (cancelled_)
                return finish(Outcome::Cancelled);
        }
    }
}

void UpdateSession::onArchiveFinished() {
    if (done_ || !reply_)
        return;
    QIODevice* reply = reply_;
    reply->deleteLater();
    const int error = net_->error(reply);
    if (!lengthChecked_) {
        if (connectionFailed(error))
            return finish(Outcome::Failed, downloadFailedText(), true);
        onArchiveMeta();
        if (done_)
            return;
    }
    onArchiveData();
    if (done_)
        return;
    speedTimer_->stop();
    reportProgress();
    archive_.close();
    if (connectionFailed(error))
        return finish(Outcome::Failed, readFailedText());
    cancelPoint(&UpdateSession::stepArchiveDone);
}

void UpdateSession::stepArchiveDone() {
    emit entryDone(2);
    emit progressCleared();
    emit entryAdded(3);
    fetch(QStringLiteral("checksum.txt"), QStringLiteral("checksum.txt"), &UpdateSession::stepChecksumDownloaded,
          corruptText(), false);
}

void UpdateSession::stepChecksumDownloaded() {
    if (!digestMatches(md5OfFile(archivePath()), readSmall(staged(QStringLiteral("checksum.txt")))))
        return finish(Outcome::Failed, corruptText());
    fetch(QStringLiteral("update_files.zip.sig"), QStringLiteral("update_files.zip.sig"),
          &UpdateSession::stepSignatureDownloaded, corruptText(), false);
}

void UpdateSession::stepSignatureDownloaded() {
    // The digest comes from the same server as the archive; only the signature shows who made it.
    // The version is signed with the archive: an old archive offered as this version fails here.
    if (!signatureValid(archivePath(), offeredVersion_, readSmall(staged(QStringLiteral("update_files.zip.sig"))),
                        o_.publicKeyPem))
        return finish(Outcome::Failed, corruptText());
    emit entryDone(3);
    emit entryAdded(4);
    cancelPoint(&UpdateSession::stepUnpack);
}

void UpdateSession::stepUnpack() {
    if (!unpackUpdateArchive(archivePath(), unpackDir(), o_.limits)) {
        QDir(unpackDir()).removeRecursively();
        return finish(Outcome::Failed, unpackFailedText());
    }
    emit entryDone(4);
    cancelPoint(&UpdateSession::stepUnpacked);
}

void UpdateSession::stepUnpacked() {
    finish(Outcome::Unpacked);
}

} // namespace tarmelo::shell
