#pragma once

#include "transfer/HtmlForm.h"
#include "transfer/Network.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace tarmelo::transfer {

inline constexpr char kDownloadFile[] = "tmq_download.zip";
// A page that holds this belongs to a dealer who is logged in.
inline constexpr char kLoginMarker[] = "Ihr Fahrzeugbestand";
inline constexpr char kLoginPath[] = "/cas/login?locale=de";
inline constexpr char kLogoutPath[] = "/cas/logout?locale=de";
inline constexpr char kStockPath[] = "/dealer-admin/import-export/Karvento_download.zip?type=csv";
// A server that sends without end must not fill the disk.
inline constexpr qint64 kMaxDownloadBytes = 2LL << 30;

QString downloadConnectionMessage();
QString downloadReadMessage();
QString downloadFailedMessage();

// The pause after each page: 5000 ms, or TARMELO_SETTLE_MS when set.
int settleMs();

enum class DownloadFailure {
    None,
    Connection, // log-in failed, or the stock archive could not be opened
    Read,       // the connection broke while the archive came in
    Failed,     // anything else while downloading (writing, too big)
    Aborted,
    NoNetworkModule, // a broken installation: the network module cannot be opened
};

// The message of a failure (empty for none and an abort).
QString downloadFailureMessage(DownloadFailure f);

struct DownloadSetup {
    QString loginServer;  // scheme://host[:port]
    QString dealerServer; // scheme://host[:port]
    QString caFile;       // PEM trusted besides the system's; empty: none
    QString user;
    QString password;
    QString target; // tmq_download.zip; replaced only by a complete download
    int settleMs = 5000;
    int pageTimeoutMs = 60000;
    qint64 maxBytes = kMaxDownloadBytes;
    // The password may go over plain HTTP (servers.ini names an http:// log-in address); else HTTPS only.
    bool plainLogin = false;
    // No byte for this long, or under 100 bytes/s over it, ends the download.
    int stallMs = 60000;
};

// A redirect a browser-like client may follow: to http or https only, and never from https down to http.
bool redirectAllowed(const QUrl& from, const QUrl& to);

// The status caption while the archive comes in: " Status: 1.464 KB heruntergeladen ".
QString downloadCaption(qint64 bytes);

// Logs in on the marketplace's web page as a browser would and fetches the stock archive with the session's
// cookies. Runs on the thread's event loop; emits finished() once.
class StockDownload : public QObject {
    Q_OBJECT
public:
    // `session` (from newNetworkSession) keeps the log-in's cookies between downloads; null: a session of its own.
    StockDownload(DownloadSetup setup, QObject* session, QObject* parent = nullptr);
    ~StockDownload() override;

    void start();
    // Stops at once, in every phase; finished(Aborted) follows.
    void abort();
    qint64 received() const { return received_; }
    // The server's last answer ("HTTP 200", or the network's error) and why a log-in was not sent.
    QString lastReply() const { return lastReply_; }
    // Every request went over HTTPS.
    bool encrypted() const { return encrypted_; }

signals:
    void downloading();          // the archive is opened: phase 2
    void progress(qint64 bytes); // after every piece
    void finished(tarmelo::transfer::DownloadFailure failure);

private:
    struct Page {
        QByteArray body;
        QUrl url;
    };
    using PageDone = std::function<void(bool ok, const Page& page)>;
    void fetchPage(const QUrl& url, const QByteArray& method, const QByteArray& body, const PageDone& done);
    void afterSettle(std::function<void()> next);
    void loginPageLoaded(const Page& page, bool loggedOut);
    void submitLogin(const std::optional<HtmlForm>& form);
    void noteReply(QIODevice* r);
    void checkSpeed();
    void startArchive();
    void archiveRequest(const QUrl& url, int redirects);
    void readPieces();
    void archiveFinished();
    void finish(DownloadFailure f);
    QIODevice* send(const QUrl& url, const QByteArray& method, const QByteArray& body, bool archive);
    // The redirect a reply asks for, if any.
    bool isRedirect(const QIODevice* r) const;
    QUrl redirectTarget(const QIODevice* r, QByteArray& method, QByteArray& body) const;
    bool networkFailed(const QIODevice* r) const;

    DownloadSetup setup_;
    const NetworkModule* net_ = nullptr;
    QObject* session_ = nullptr;
    QPointer<QIODevice> reply_;
    QTimer* pageTimer_ = nullptr;
    QTimer* speedTimer_ = nullptr;
    std::unique_ptr<QSaveFile> file_;
    qint64 received_ = 0;
    qint64 receivedAtCheck_ = 0;
    QString lastReply_;
    bool encrypted_ = true;
    bool headersSeen_ = false;
    bool done_ = false;
};

} // namespace tarmelo::transfer
