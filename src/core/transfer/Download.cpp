#include "transfer/Download.h"

#include "transfer/HtmlForm.h"
#include "transfer/Upload.h"

#include <QFutureWatcher>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QPromise>
#include <QSslConfiguration>
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

int statusOf(QNetworkReply* r) {
    return r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool isRedirect(QNetworkReply* r) {
    const int s = statusOf(r);
    return (s == 301 || s == 302 || s == 303 || s == 307 || s == 308) && r->hasRawHeader("Location");
}

// A failure below HTTP (no connection, broken, timed out); an answer with a status, even an error page, is a
// page as a browser shows it.
bool networkFailed(QNetworkReply* r) {
    const QNetworkReply::NetworkError e = r->error();
    return e != QNetworkReply::NoError && (e < QNetworkReply::ContentAccessDenied ||
                                           !r->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
}

constexpr qint64 kMinBytesPerSecond = 100;

// Where a redirect leads, and with which method: a browser turns a POST into a GET except for 307 and 308.
QUrl redirectTarget(QNetworkReply* r, QByteArray& method, QByteArray& body) {
    const int s = statusOf(r);
    if (s == 303 || ((s == 301 || s == 302) && method == "POST")) {
        method = "GET";
        body.clear();
    }
    return r->url().resolved(QUrl::fromEncoded(r->rawHeader("Location").trimmed()));
}

} // namespace

bool redirectAllowed(const QUrl& from, const QUrl& to) {
    const QString scheme = to.scheme().toLower();
    if (!to.isValid() || (scheme != u"http" && scheme != u"https"))
        return false;
    return !(from.scheme().toLower() == u"https" && scheme == u"http");
}

StockDownload::StockDownload(DownloadSetup setup, QNetworkCookieJar* cookies, QObject* parent)
    : QObject(parent), setup_(std::move(setup)), nam_(new QNetworkAccessManager(this)), pageTimer_(new QTimer(this)) {
    if (cookies) {
        QObject* owner = cookies->parent();
        nam_->setCookieJar(cookies);
        cookies->setParent(owner); // shared with later downloads: not ours to delete
    }
    nam_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    pageTimer_->setSingleShot(true);
    speedTimer_ = new QTimer(this);
    connect(speedTimer_, &QTimer::timeout, this, &StockDownload::checkSpeed);
}

void StockDownload::abort() {
    finish(DownloadFailure::Aborted);
}

void StockDownload::noteReply(QNetworkReply* r) {
    const QVariant status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    lastReply_ = status.isValid() ? QStringLiteral("HTTP %1 %2")
                                        .arg(status.toInt())
                                        .arg(r->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                                        .trimmed()
                                  : r->errorString();
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
        reply_->abort();
    }
}

QNetworkReply* StockDownload::send(const QUrl& url, const QByteArray& method, const QByteArray& body, bool archive) {
    QNetworkRequest req(url);
    if (url.scheme().toLower() != u"https")
        encrypted_ = false;
    req.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/5.0"));
    // Also bounds the wait for the connection and for the first byte.
    req.setTransferTimeout(setup_.stallMs);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (archive) {
        req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        req.setRawHeader("Cache-Control", "no-cache");
        req.setRawHeader("Pragma", "no-cache");
    }
    if (!setup_.caFile.isEmpty() && url.scheme() == u"https") {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(setup_.caFile);
        req.setSslConfiguration(ssl);
    }
    if (method == "POST") {
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        return nam_->post(req, body);
    }
    return nam_->get(req);
}

void StockDownload::fetchPage(const QUrl& url, const QByteArray& method, const QByteArray& body, const PageDone& done) {
    pageTimer_->disconnect(this);
    pageTimer_->start(setup_.pageTimeoutMs);
    connect(pageTimer_, &QTimer::timeout, this, [this] {
        if (reply_) {
            reply_->setProperty("timedOut", true);
            reply_->abort();
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
        QNetworkReply* r = reply_;
        connect(r, &QNetworkReply::downloadProgress, this, [r](qint64 got, qint64) {
            if (got > kMaxPageBytes)
                r->abort();
        });
        connect(r, &QNetworkReply::finished, this,
                [this, r, done, self, m = QByteArray(m), b = QByteArray(b), redirects]() mutable {
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
                        if (redirects >= kMaxRedirects || !redirectAllowed(r->url(), next)) {
                            lastReply_ = QStringLiteral("Weiterleitung nach %1 abgelehnt").arg(next.toString());
                            pageTimer_->stop();
                            done(false, {});
                            return;
                        }
                        (*self)(next, m, b, redirects + 1);
                        return;
                    }
                    pageTimer_->stop();
                    done(true, {r->readAll(), r->url()});
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
    QNetworkReply* r = reply_;
    r->setProperty("redirects", redirects);
    connect(r, &QNetworkReply::metaDataChanged, this, [this, r] {
        if (done_ || headersSeen_ || isRedirect(r) || !r->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
            return;
        headersSeen_ = true;
        emit downloading();
    });
    connect(r, &QNetworkReply::readyRead, this, [this, r] {
        if (!isRedirect(r))
            readPieces();
    });
    connect(r, &QNetworkReply::finished, this, &StockDownload::archiveFinished);
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
    QNetworkReply* r = reply_;
    if (done_ || !r)
        return;
    r->deleteLater();
    noteReply(r);
    if (isRedirect(r)) {
        const int redirects = r->property("redirects").toInt();
        QByteArray method = "GET", body;
        const QUrl next = redirectTarget(r, method, body);
        if (redirects >= kMaxRedirects || !redirectAllowed(r->url(), next)) {
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
        QNetworkReply* r = reply_;
        reply_ = nullptr;
        r->disconnect(this);
        if (r->isRunning())
            r->abort();
        r->deleteLater();
    }
    if (file_ && f != DownloadFailure::None)
        file_->cancelWriting();
    file_.reset();
    emit finished(f);
}

} // namespace tarmelo::transfer
