#include "transfer/Download.h"

#include "transfer/HtmlForm.h"
#include "transfer/Upload.h"

#include <QFutureWatcher>
#include <QLocale>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <QUrlQuery>

namespace tarmelo::transfer {

QString downloadConnectionMessage() {
    return QStringLiteral("Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\n"
                          "Vergewissern Sie sich über die Funktionsfähigkeit Ihrer Internetverbindung!\n"
                          "Falls Sie einen Proxy-Server oder eine Firewall nutzen, finden Sie darüber\n"
                          "in der Hilfe nützliche Informationen.");
}

QString downloadReadMessage() {
    return transferBrokenMessage();
}

QString downloadFailedMessage() {
    return QStringLiteral("Die Fahrzeugdatei konnte nicht erfolgreich heruntergeladen werden.\n\n"
                          "Vergewissern Sie sich über die Funktionsfähigkeit Ihrer Internetverbindung\n"
                          "und versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}

QString downloadFailureMessage(DownloadFailure f) {
    switch (f) {
    case DownloadFailure::Connection:
        return downloadConnectionMessage();
    case DownloadFailure::Read:
        return downloadReadMessage();
    case DownloadFailure::Failed:
        return downloadFailedMessage();
    case DownloadFailure::NoNetworkModule:
        return QString::fromUtf8(kNetworkModuleMissing);
    default:
        return {};
    }
}

QString downloadCaption(qint64 bytes) {
    return QStringLiteral(" Status: ") + QLocale().toString(bytes / 1024) + QStringLiteral(" KB heruntergeladen ");
}

int settleMs() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TARMELO_SETTLE_MS", &ok);
    return ok && ms >= 0 && ms < 5000 ? ms : 5000;
}

namespace {

constexpr int kMaxRedirects = 20;
constexpr qint64 kPiece = 1024;
constexpr qint64 kMaxPageBytes = 16 << 20;

constexpr qint64 kMinBytesPerSecond = 100;

} // namespace

bool StockDownload::isRedirect(const QIODevice* r) const {
    const int s = net_->status(r);
    return (s == 301 || s == 302 || s == 303 || s == 307 || s == 308) && !net_->header(r, "Location").isNull();
}

// A failure below HTTP (no connection, broken, timed out); an answer with a status, even an error page, is a
// page as a browser shows it.
bool StockDownload::networkFailed(const QIODevice* r) const {
    const int e = net_->error(r);
    return e != kNetworkNoError && (e < kNetworkContentAccessDenied || net_->status(r) == 0);
}

// Where a redirect leads, and with which method: a browser turns a POST into a GET except for 307 and 308.
QUrl StockDownload::redirectTarget(const QIODevice* r, QByteArray& method, QByteArray& body) const {
    const int s = net_->status(r);
    if (s == 303 || ((s == 301 || s == 302) && method == "POST")) {
        method = "GET";
        body.clear();
    }
    return net_->url(r).resolved(QUrl::fromEncoded(net_->header(r, "Location").trimmed()));
}

bool redirectAllowed(const QUrl& from, const QUrl& to) {
    const QString scheme = to.scheme().toLower();
    if (!to.isValid() || (scheme != u"http" && scheme != u"https"))
        return false;
    return !(from.scheme().toLower() == u"https" && scheme == u"http");
}

StockDownload::StockDownload(DownloadSetup setup, QObject* session, QObject* parent)
    : QObject(parent), setup_(std::move(setup)), net_(networkModule()), session_(session),
      pageTimer_(new QTimer(this)) {
    if (net_ && !session_)
        session_ = net_->newSession(this);
    pageTimer_->setSingleShot(true);
    speedTimer_ = new QTimer(this);
    connect(speedTimer_, &QTimer::timeout, this, &StockDownload::checkSpeed);
}

void StockDownload::abort() {
    finish(DownloadFailure::Aborted);
}

void StockDownload::noteReply(QIODevice* r) {
    const int status = net_->status(r);
    lastReply_ =
        status != 0 ? QStringLiteral("HTTP %1 %2").arg(status).arg(net_->reason(r)).trimmed() : r->errorString();
}

// A server that sends, but slower than 100 bytes/s over the whole stall period, holds the window for nothing.
void StockDownload::checkSpeed() {
    if (done_)
        return;
    const qint64 got = received_ - receivedAtCheck_;
    receivedAtCheck_ = received_;
    if (got < kMinBytesPerSecond * setup_.stallMs / 1000) {
        lastReply_ = QStringLiteral("weniger als %1 Bytes/s").arg(kMinBytesPerSecond);
        finish(headersSeen_ ? DownloadFailure::Read : DownloadFailure::Connection);
    }
}

StockDownload::~StockDownload() {
    if (reply_) {
        reply_->disconnect(this);
        net_->abort(reply_);
        // A child of the session, which outlives this download.
        reply_->deleteLater();
    }
}

QIODevice* StockDownload::send(const QUrl& url, const QByteArray& method, const QByteArray& body, bool archive) {
    HttpRequest req;
    req.url = url;
    req.method = method;
    req.body = body;
    if (url.scheme().toLower() != u"https")
        encrypted_ = false;
    req.headers.emplaceBack("User-Agent", "Mozilla/5.0");
    // Also bounds the wait for the connection and for the first byte.
    req.transferTimeoutMs = setup_.stallMs;
    if (archive) {
        req.fresh = true;
        req.headers.emplaceBack("Cache-Control", "no-cache");
        req.headers.emplaceBack("Pragma", "no-cache");
    }
    req.caFile = setup_.caFile;
    if (method == "POST")
        req.headers.emplaceBack("Content-Type", "application/x-www-form-urlencoded");
    return net_->send(session_, req);
}

void StockDownload::fetchPage(const QUrl& url, const QByteArray& method, const QByteArray& body, const PageDone& done) {
    pageTimer_->disconnect(this);
    pageTimer_->start(setup_.pageTimeoutMs);
    connect(pageTimer_, &QTimer::timeout, this, [this] {
        if (reply_) {
            reply_->setProperty("timedOut", true);
            net_->abort(reply_);
        }
    });
    // Each redirect is one more step; a step is kept alive by the reply it waits for, and knows itself only
    // weakly, so nothing is left when the chain ends.
    using Step = std::function<void(const QUrl&, const QByteArray&, const QByteArray&, int)>;
    auto step = std::make_shared<Step>();
    std::weak_ptr<Step> weak = step;
    *step = [this, done, weak](const QUrl& u, const QByteArray& m, const QByteArray& b, int redirects) {
        std::shared_ptr<Step> self = weak.lock();
        reply_ = send(u, m, b, false);
        QIODevice* r = reply_;
        net_->onProgress(r, this, [this, r](qint64 got) {
            if (got > kMaxPageBytes)
                net_->abort(r);
        });
        net_->onFinished(r, this, [this, r, done, self, m = QByteArray(m), b = QByteArray(b), redirects]() mutable {
            r->deleteLater();
            if (done_)
                return;
            noteReply(r);
            if (r->property("timedOut").toBool() || networkFailed(r)) {
                pageTimer_->stop();
                done(false, {});
                return;
            }
            if (isRedirect(r)) {
                const QUrl next = redirectTarget(r, m, b);
                if (redirects >= kMaxRedirects || !redirectAllowed(net_->url(r), next)) {
                    lastReply_ = QStringLiteral("Weiterleitung nach %1 abgelehnt").arg(next.toString());
                    pageTimer_->stop();
                    done(false, {});
                    return;
                }
                (*self)(next, m, b, redirects + 1);
                return;
            }
            pageTimer_->stop();
            done(true, {r->readAll(), net_->url(r)});
        });
    };
    (*step)(url, method, body, 0);
}

void StockDownload::afterSettle(std::function<void()> next) {
    QTimer::singleShot(setup_.settleMs, this, [this, next = std::move(next)] {
        if (!done_)
            next();
    });
}

void StockDownload::start() {
    if (!net_) {
        // Reported from the event loop, as every other failure: the caller has not returned from start() yet.
        QTimer::singleShot(0, this, [this] { finish(DownloadFailure::NoNetworkModule); });
        return;
    }
    const QUrl login(setup_.loginServer + QLatin1StringView(kLoginPath));
    fetchPage(login, "GET", {}, [this](bool ok, const Page& page) {
        if (!ok)
            return finish(DownloadFailure::Connection);
        afterSettle([this, page] { loginPageLoaded(page, false); });
    });
}

void StockDownload::loginPageLoaded(const Page& page, bool loggedOut) {
    const bool loggedIn = page.body.contains(kLoginMarker);
    if (loggedIn && !loggedOut) {
        // A session of an earlier log-in: log out, so that the names entered now count.
        const QUrl logout(setup_.loginServer + QLatin1StringView(kLogoutPath));
        fetchPage(logout, "GET", {}, [this](bool ok, const Page&) {
            if (!ok)
                return finish(DownloadFailure::Connection);
            afterSettle([this] {
                const QUrl login(setup_.loginServer + QLatin1StringView(kLoginPath));
                fetchPage(login, "GET", {}, [this](bool ok2, const Page& again) {
                    if (!ok2)
                        return finish(DownloadFailure::Connection);
                    afterSettle([this, again] { loginPageLoaded(again, true); });
                });
            });
        });
        return;
    }
    if (loggedIn)
        return afterSettle([this] { startArchive(); });
    // A page of many megabytes takes a moment to read: beside the window's thread.
    auto* watcher = new QFutureWatcher<std::optional<HtmlForm>>(this);
    auto promise = std::make_shared<QPromise<std::optional<HtmlForm>>>();
    watcher->setFuture(promise->future());
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (!done_)
            submitLogin(watcher->result());
    });
    QThreadPool::globalInstance()->start([promise, body = page.body, url = page.url] {
        promise->start();
        promise->addResult(firstForm(body, url));
        promise->finish();
    });
}

void StockDownload::submitLogin(const std::optional<HtmlForm>& parsed) {
    std::optional<HtmlForm> form = parsed;
    if (!form || !form->setField(QStringLiteral("username"), setup_.user) ||
        !form->setField(QStringLiteral("password"), setup_.password))
        return finish(DownloadFailure::Connection);
    // The password travels encrypted, unless servers.ini asks for a plain log-in server.
    if (form->action.scheme().toLower() != u"https" && !setup_.plainLogin) {
        lastReply_ = QStringLiteral("Anmeldung an %1 ist nicht verschlüsselt").arg(form->action.toString());
        return finish(DownloadFailure::Connection);
    }
    QUrl action = form->action;
    QByteArray body = form->encoded();
    if (form->method == "GET") {
        action.setQuery(QString::fromLatin1(body), QUrl::StrictMode);
        body.clear();
    }
    // Whether the log-in succeeded is not tested: a refused one ends in a faulty archive.
    fetchPage(action, form->method, body, [this](bool ok, const Page&) {
        if (!ok)
            return finish(DownloadFailure::Connection);
        afterSettle([this] { startArchive(); });
    });
}

void StockDownload::startArchive() {
    file_ = std::make_unique<QSaveFile>(setup_.target);
    if (!file_->open(QIODevice::WriteOnly))
        return finish(DownloadFailure::Failed);
    receivedAtCheck_ = received_;
    speedTimer_->start(setup_.stallMs);
    archiveRequest(QUrl(setup_.dealerServer + QLatin1StringView(kStockPath)), 0);
}

void StockDownload::archiveRequest(const QUrl& url, int redirects) {
    reply_ = send(url, "GET", {}, true);
    QIODevice* r = reply_;
    r->setProperty("redirects", redirects);
    net_->onMetaData(r, this, [this, r] {
        if (done_ || headersSeen_ || isRedirect(r) || net_->status(r) == 0)
            return;
        headersSeen_ = true;
        emit downloading();
    });
    connect(r, &QIODevice::readyRead, this, [this, r] {
        if (!isRedirect(r))
            readPieces();
    });
    net_->onFinished(r, this, [this] { archiveFinished(); });
}

void StockDownload::readPieces() {
    char piece[kPiece];
    while (!done_ && reply_ && reply_->bytesAvailable() > 0) {
        if (!headersSeen_) {
            headersSeen_ = true;
            emit downloading();
        }
        const qint64 n = reply_->read(piece, kPiece);
        if (n < 0)
            return finish(DownloadFailure::Read);
        if (received_ + n > setup_.maxBytes || file_->write(piece, n) != n)
            return finish(DownloadFailure::Failed);
        received_ += n;
        emit progress(received_);
    }
}

void StockDownload::archiveFinished() {
    QIODevice* r = reply_;
    if (done_ || !r)
        return;
    r->deleteLater();
    noteReply(r);
    if (isRedirect(r)) {
        const int redirects = r->property("redirects").toInt();
        QByteArray method = "GET", body;
        const QUrl next = redirectTarget(r, method, body);
        if (redirects >= kMaxRedirects || !redirectAllowed(net_->url(r), next)) {
            lastReply_ = QStringLiteral("Weiterleitung nach %1 abgelehnt").arg(next.toString());
            return finish(DownloadFailure::Connection);
        }
        return archiveRequest(next, redirects + 1);
    }
    readPieces();
    if (done_)
        return;
    if (networkFailed(r))
        return finish(headersSeen_ ? DownloadFailure::Read : DownloadFailure::Connection);
    if (!file_->commit())
        return finish(DownloadFailure::Failed);
    finish(DownloadFailure::None);
}

void StockDownload::finish(DownloadFailure f) {
    if (done_)
        return;
    done_ = true;
    pageTimer_->stop();
    speedTimer_->stop();
    if (reply_) {
        QIODevice* r = reply_;
        reply_ = nullptr;
        r->disconnect(this);
        if (net_->isRunning(r))
            net_->abort(r);
        r->deleteLater();
    }
    if (file_ && f != DownloadFailure::None)
        file_->cancelWriting();
    file_.reset();
    emit finished(f);
}

} // namespace tarmelo::transfer
