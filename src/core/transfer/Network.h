#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>

class QIODevice;
class QObject;

namespace tarmelo::transfer {

// One HTTP request as the stock download and the update send it.
struct HttpRequest {
    QUrl url;
    QByteArray method = "GET"; // GET or POST
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    int transferTimeoutMs = 0; // no byte for this long ends the request; 0: no limit
    bool fresh = false;        // never answered from a cache
    // Redirects to http and https followed, never from https down to http; false: the caller follows them.
    bool followRedirects = false;
    QString caFile;            // PEM trusted besides the system's (https only)
    qint64 readBufferSize = 0; // 0: unbounded
};

// The network module (libtarmelo-net.so, on Qt Network) is opened with the first download or update check: linked,
// Qt Network and what it pulls in (Kerberos, libproxy) made every start of the window wait for their loading.
// A reply is the network's QIODevice; these functions read what QIODevice does not have.
struct NetworkModule {
    // Requests share the session's cookies; the session is a child of `parent`.
    QObject* (*newSession)(QObject* parent);
    // The reply belongs to the caller (deleteLater once finished).
    QIODevice* (*send)(QObject* session, const HttpRequest& request);
    int (*status)(const QIODevice* reply); // the HTTP status; 0 before the headers or without any
    QString (*reason)(const QIODevice* reply);
    int (*error)(const QIODevice* reply);                                 // a QNetworkReply::NetworkError
    QByteArray (*header)(const QIODevice* reply, const QByteArray& name); // null when not sent
    QUrl (*url)(const QIODevice* reply);
    bool (*isFinished)(const QIODevice* reply);
    bool (*isRunning)(const QIODevice* reply);
    void (*abort)(QIODevice* reply);
    // Requests of all sessions go through the proxy of the environment (http_proxy).
    void (*useSystemProxy)();
    // `f` runs on the reply's signal while `context` lives.
    void (*onFinished)(QIODevice* reply, QObject* context, std::function<void()> f);
    void (*onMetaData)(QIODevice* reply, QObject* context, std::function<void()> f);
    void (*onProgress)(QIODevice* reply, QObject* context, std::function<void(qint64 received)> f);
};

// The values of QNetworkReply::NetworkError the callers tell apart (the module checks them against Qt's).
inline constexpr int kNetworkNoError = 0;
inline constexpr int kNetworkContentAccessDenied = 201; // the first of the HTTP 4xx answers
inline constexpr int kNetworkInternalServerError = 401; // the first of the HTTP 5xx answers

// The module's entry point. Its number goes up with every change of NetworkModule or HttpRequest: a program
// updated beside an older module then finds none, and says so, instead of calling into another layout.
inline constexpr char kNetworkModuleEntry[] = "tarmelo_network_module_1";

// Null when the module cannot be loaded.
const NetworkModule* networkModule();

// A session of its own for the caller; null when the module cannot be loaded.
QObject* newNetworkSession(QObject* parent);

// What the dealer is told when it cannot.
inline constexpr char kNetworkModuleMissing[] =
    "Die Programmbibliothek für Internetverbindungen (libtarmelo-net.so) fehlt. Bitte installieren Sie das Programm "
    "neu.";

} // namespace tarmelo::transfer
