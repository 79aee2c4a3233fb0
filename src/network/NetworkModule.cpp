// The network module: HTTP through Qt Network, opened by the programs with their first download or update check.

#include "transfer/Network.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QSslConfiguration>

namespace tarmelo::transfer {
namespace {

static_assert(kNetworkNoError == QNetworkReply::NoError);
static_assert(kNetworkContentAccessDenied == QNetworkReply::ContentAccessDenied);
static_assert(kNetworkInternalServerError == QNetworkReply::InternalServerError);

const QNetworkReply* reply(const QIODevice* d) {
    return static_cast<const QNetworkReply*>(d);
}
QNetworkReply* reply(QIODevice* d) {
    return static_cast<QNetworkReply*>(d);
}

QObject* newSession(QObject* parent) {
    auto* nam = new QNetworkAccessManager(parent);
    nam->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    return nam;
}

QIODevice* send(QObject* session, const HttpRequest& r) {
    QNetworkRequest req(r.url);
    for (const auto& [name, value] : r.headers)
        req.setRawHeader(name, value);
    if (r.transferTimeoutMs > 0)
        req.setTransferTimeout(r.transferTimeoutMs);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, r.followRedirects
                                                                   ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                                   : QNetworkRequest::ManualRedirectPolicy);
    if (r.fresh)
        req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (!r.caFile.isEmpty() && r.url.scheme() == u"https") {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(r.caFile);
        req.setSslConfiguration(ssl);
    }
    auto* nam = static_cast<QNetworkAccessManager*>(session);
    QNetworkReply* out = r.method == "POST" ? nam->post(req, r.body) : nam->get(req);
    if (r.readBufferSize > 0)
        out->setReadBufferSize(r.readBufferSize);
    return out;
}

const NetworkModule kModule = {
    newSession,
    send,
    [](const QIODevice* d) { return reply(d)->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); },
    [](const QIODevice* d) { return reply(d)->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString(); },
    [](const QIODevice* d) { return int(reply(d)->error()); },
    [](const QIODevice* d, const QByteArray& name) {
        return reply(d)->hasRawHeader(name) ? reply(d)->rawHeader(name) : QByteArray();
    },
    [](const QIODevice* d) { return reply(d)->url(); },
    [](const QIODevice* d) { return reply(d)->isFinished(); },
    [](const QIODevice* d) { return reply(d)->isRunning(); },
    [](QIODevice* d) { reply(d)->abort(); },
    [] { QNetworkProxyFactory::setUseSystemConfiguration(true); },
    [](QIODevice* d, QObject* context, std::function<void()> f) {
        QObject::connect(reply(d), &QNetworkReply::finished, context, std::move(f));
    },
    [](QIODevice* d, QObject* context, std::function<void()> f) {
        QObject::connect(reply(d), &QNetworkReply::metaDataChanged, context, std::move(f));
    },
    [](QIODevice* d, QObject* context, std::function<void(qint64)> f) {
        QObject::connect(reply(d), &QNetworkReply::downloadProgress, context,
                         [f = std::move(f)](qint64 received, qint64) { f(received); });
    },
};

} // namespace
} // namespace tarmelo::transfer

// The name is kNetworkModuleEntry.
extern "C" __attribute__((visibility("default"))) const tarmelo::transfer::NetworkModule* tarmelo_network_module_1() {
    return &tarmelo::transfer::kModule;
}
