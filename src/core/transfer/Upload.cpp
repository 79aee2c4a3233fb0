#include "transfer/Upload.h"

#include "csv/InventoryCheck.h"
#include "csv/LineWriter.h"
#include "inventory/Archive.h"
#include "util/DynamicLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace tarmelo::transfer {

QString connectionMessage() {
    return QStringLiteral("Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\n"
                          "Vergewissern Sie sich über die Funktionsfähigkeit Ihrer Internetverbindung!\n"
                          "Falls Sie einen Proxy-Sever oder eine Firewall nutzen, finden Sie darüber\n"
                          "in der Hilfe nützliche Informationen.");
}

QString transferBrokenMessage() {
    return QStringLiteral("Beim Herunterladen der Fahrzeugdatei ist ein Fehler aufgetreten.\n\n"
                          "Überprüfen Sie die Funktionsfähigkeit Ihrer Internetverbindung und\n"
                          "versuchen Sie es zu einem späteren Zeitpunkt erneut!");
}

QString loginRefusedMessage() {
    return QStringLiteral("Benutzername und/oder Kennwort falsch. Eingaben überprüfen!");
}

QString otherUploadMessage() {
    return QStringLiteral(
        "Tarmelo konnte keine Verbindung zu Karvento herstellen.\n\n"
        "Überprüfen Sie Benutzernamen und Kennwort und vergewissern Sie sich über die Funktionsfähigkeit\n"
        "Ihrer Internetverbindung! Falls Sie einen Proxy-Server oder eine Firewall nutzen, finden Sie\n"
        "darüber in der Hilfe nützliche Informationen.");
}

namespace {

const QString kExists =
    QStringLiteral("Die für die Fahrzeugübertragung notwendige Fahrzeugdatei existiert bereits.\n\n"
                   "Eventuell wurde der Programmordner von Tarmelo mit einem Schreibschutz versehen\n"
                   "oder der zurzeit angemeldete Benutzer besitzt keine ausreichenden Schreibrechte.");
const QString kNoAccess =
    QStringLiteral("Die für die Fahrzeugübertragung notwendige Fahrzeugdatei konnte nicht erstellt werden.\n\n"
                   "Eventuell wurde der Programmordner von Tarmelo mit einem Schreibschutz versehen\n"
                   "oder der zurzeit angemeldete Benutzer besitzt keine ausreichenden Schreibrechte.");
const QString kNotBuilt =
    QStringLiteral("Die für die Fahrzeugübertragung notwendige Fahrzeugdatei konnte nicht erstellt werden.\n\n"
                   "Überprüfen Sie das Laufwerk bzw. den angemeldeten Benutzer auf Schreibrechte und\n"
                   "ausreichend freien Speicherplatz!");
const QString kMediumFull = QStringLiteral(
    "Die für den Upload benötigte Fahrzeugdatei konnte nicht erstellt werden. Das Speichermedium ist voll.\n"
    "Tarmelo benötigt für einen ordnungsgemäßen Betrieb ca. 30 MB freie Festplattenkapazität.");

} // namespace

inventory::KeyMode uploadKeyMode(bool resetDays, bool automaticIntNr) {
    if (resetDays)
        return inventory::KeyMode::TimeStamp;
    return automaticIntNr ? inventory::KeyMode::Automatic : inventory::KeyMode::Typed;
}

model::Inventory forUpload(const model::Inventory& inv) {
    const auto sold = [](const model::TFahrzeug& v) { return v.bestand.status == model::StockStatus::Sold; };
    if (std::none_of(inv.cbegin(), inv.cend(), sold))
        return inv; // shared, not copied
    model::Inventory kept;
    for (const model::TFahrzeug& v : inv)
        if (!sold(v))
            kept.append(v);
    return kept;
}

std::optional<csv::InventoryFailure> checkForUpload(const model::Inventory& inv, bool automaticIntNr, QDate today) {
    std::optional<csv::InventoryFailure> f = csv::checkInventory(forUpload(inv), automaticIntNr, today);
    if (f) {
        for (int row = 0, kept = -1; row < inv.size(); ++row)
            if (inv[row].bestand.status != model::StockStatus::Sold && ++kept == f->index) {
                f->index = row;
                break;
            }
    }
    return f;
}

BuildResult buildUploadFile(const QString& path, const model::Inventory& inv, inventory::KeyMode mode,
                            const Clock& clock, const std::function<void(int)>& progress, const PhotoPrints* prints) {
    if (const model::Inventory kept = forUpload(inv); kept.size() != inv.size()) {
        std::optional<PhotoPrints> keptPrints;
        if (prints) {
            keptPrints.emplace();
            for (qsizetype j = 0; j < inv.size(); ++j)
                if (inv[j].bestand.status != model::StockStatus::Sold)
                    keptPrints->append(prints->value(j));
        }
        return buildUploadFile(path, kept, mode, clock, progress, keptPrints ? &*keptPrints : nullptr);
    }
    BuildResult r;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (!QFile::remove(path)) {
            r.message = kExists;
            return r;
        }
    }
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, int(inv.size()) - 1, mode, clock);
    if (!lines.ok()) {
        // The vehicles were checked before; only a clock that moved past a date rule gets here.
        r.message = lines.failure->failure.message;
        return r;
    }
    inventory::WriteOptions options;
    options.progress = progress;
    options.stock = false;
    options.photoStem = [&lines](int j) { return csv::GetIntNr(lines.lines[j]); };
    if (prints)
        options.photoCrc = [prints](int j, int k) -> std::optional<quint32> {
            if (j < prints->size() && k < prints->at(j).size())
                return prints->at(j).at(k).crc;
            return std::nullopt;
        };
    const inventory::SaveResult s =
        inventory::writeArchive(path, lines.fileData(), inv, 0, int(inv.size()) - 1, options);
    switch (s.failure) {
    case inventory::SaveFailure::None:
        r.lines = lines.lines;
        break;
    case inventory::SaveFailure::AccessDenied:
        r.message = kNoAccess;
        break;
    case inventory::SaveFailure::MediumFull:
        r.message = kMediumFull;
        r.errorBox = true;
        break;
    default:
        r.message = QFileInfo::exists(path) ? kExists : kNotBuilt;
        break;
    }
    return r;
}

QString ftpFailureMessage(FtpFailure f) {
    switch (f) {
    case FtpFailure::None:
    case FtpFailure::Aborted:
        return {};
    case FtpFailure::Unreachable:
        return connectionMessage();
    case FtpFailure::Broken:
        return transferBrokenMessage();
    case FtpFailure::Refused:
        return loginRefusedMessage();
    case FtpFailure::NoTls:
        return QStringLiteral("Der FTP-Server von Karvento bietet keine verschlüsselte Verbindung an.\n\n"
                              "Da servers.ini eine verschlüsselte Verbindung verlangt (RequireTls=1), wurden weder\n"
                              "Benutzername und Kennwort noch Fahrzeuge übertragen.");
    case FtpFailure::Unconfirmed:
        return QStringLiteral("Der Server hat den vollständigen Empfang der Fahrzeugdatei nicht bestätigt.\n\n"
                              "Der Fahrzeugbestand gilt deshalb als nicht übertragen. Versuchen Sie es zu einem\n"
                              "späteren Zeitpunkt erneut!");
    case FtpFailure::Other:
        break;
    }
    return otherUploadMessage();
}

QString unencryptedNotice() {
    return QStringLiteral("Verbindung unverschlüsselt");
}

QString ftpFailureMessage(const FtpResult& r) {
    QString m = ftpFailureMessage(r.failure);
    if (r.failure == FtpFailure::Unconfirmed && !r.lastReply.isEmpty())
        m += QStringLiteral("\n\nLetzte Antwort des Servers: ") + r.lastReply;
    return m;
}

int stallSeconds() {
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("TARMELO_STALL_SECONDS", &ok);
    return ok && s >= 1 && s < 60 ? s : 60;
}

FtpTarget uploadTarget(const shell::Servers& servers, const QString& user, const QString& password) {
    FtpTarget t;
    t.server = servers.FtpServer;
    t.user = user;
    t.password = password;
    t.caFile = servers.CaCertificates;
    t.proxy = servers.FtpProxy;
    t.requireTls = servers.RequireTls;
    t.stallSeconds = stallSeconds();
    return t;
}

bool ftpFailureIsError(FtpFailure f) {
    return f == FtpFailure::Broken || f == FtpFailure::Refused || f == FtpFailure::Unconfirmed;
}

bool ftpFailureHasHelp(FtpFailure f) {
    return f == FtpFailure::Unreachable || f == FtpFailure::Broken || f == FtpFailure::Other ||
           f == FtpFailure::Unconfirmed;
}

QString serverHost(const QString& server) {
    const QUrl url(QStringLiteral("ftp://") + server);
    return url.isValid() && !url.host().isEmpty() ? url.host() : server;
}

WorkTexts workTexts(qint64 done, qint64 total, qint64 elapsedMs, double previousSpeed) {
    WorkTexts t;
    t.speed = previousSpeed;
    const double elapsed = double(elapsedMs) / 1000.0;
    if (elapsed > 0)
        t.speed = (double(done) / 1024.0) / elapsed;
    const QLocale locale;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    t.sent = locale.toString(done / 1024) + QStringLiteral(" KB von ") + locale.toString(total / 1024) +
             QStringLiteral(" KB übertragen bei ") + plain.toString(t.speed, 'f', 2) + QStringLiteral(" KB/s");
    if (t.speed > 0) {
        const qint64 remaining = qint64((double(total - done) / 1024.0) / t.speed);
        const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
        t.remaining = QStringLiteral("Restdauer:  ") + two(remaining / 3600) + u':' + two((remaining / 60) % 60) +
                      u':' + two(remaining % 60);
    } else {
        t.remaining = QStringLiteral("Restdauer:  -");
    }
    return t;
}

namespace {

// libcurl and the libraries it pulls in (Kerberos, LDAP, SSH, RTMP ...) are loaded with the first upload:
// linking them made every start of the program wait for their relocation.
struct Curl {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) init = nullptr;
    decltype(&curl_easy_setopt) setopt = nullptr;
    decltype(&curl_easy_perform) perform = nullptr;
    decltype(&curl_easy_getinfo) getinfo = nullptr;
    decltype(&curl_easy_strerror) strerror = nullptr;
    decltype(&curl_easy_cleanup) cleanup = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFree = nullptr;
};

using util::resolve;

// Null when libcurl cannot be loaded.
const Curl* curlApi() {
    static const Curl* const api = []() -> const Curl* {
        static Curl c;
        void* lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        const bool ok =
            lib && resolve(lib, c.globalInit, "curl_global_init") && resolve(lib, c.init, "curl_easy_init") &&
            resolve(lib, c.setopt, "curl_easy_setopt") && resolve(lib, c.perform, "curl_easy_perform") &&
            resolve(lib, c.getinfo, "curl_easy_getinfo") && resolve(lib, c.strerror, "curl_easy_strerror") &&
            resolve(lib, c.cleanup, "curl_easy_cleanup") && resolve(lib, c.slistAppend, "curl_slist_append") &&
            resolve(lib, c.slistFree, "curl_slist_free_all");
        return ok && c.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK ? &c : nullptr;
    }();
    return api;
}

struct Transfer {
    const FtpEvents* events = nullptr;
    qint64 total = 0;
    bool greeted = false; // the server answered: a connection was made
    bool loggedIn = false;
    bool begun = false;
    bool tlsAccepted = false; // AUTH was answered with 234
    bool tls = false;         // and a reply came through the TLS connection after it
    qint64 lastDone = -1;
    QByteArray command;   // the verb of the last command sent
    QByteArray lastReply; // the last complete reply line
    int storCode = 0;     // the final reply to STOR
    qint64 remoteSize = -1;
};

// A reply line: three digits and a blank (the last line of a reply) or a dash (more lines follow).
bool isReplyLine(const QByteArray& line) {
    return line.size() >= 4 && std::isdigit(uchar(line[0])) && std::isdigit(uchar(line[1])) &&
           std::isdigit(uchar(line[2])) && (line[3] == ' ' || line[3] == '-');
}

int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* t = static_cast<Transfer*>(user);
    if (type == CURLINFO_HEADER_OUT) {
        // Only the verb: the PASS line holds the password.
        const QByteArray line(data, qsizetype(std::min<size_t>(size, 8)));
        t->command = line.left(line.indexOf(' ') < 0 ? line.size() : line.indexOf(' ')).trimmed().toUpper();
        return 0;
    }
    if (type != CURLINFO_HEADER_IN)
        return 0;
    for (const QByteArray& raw : QByteArray(data, qsizetype(size)).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!isReplyLine(line))
            continue; // a tunnelling proxy's HTTP answer, or a middle line of a reply
        t->greeted = true;
        if (line[3] != ' ')
            continue;
        t->lastReply = line.left(512);
        const int code = line.left(3).toInt();
        if (t->command == "AUTH")
            t->tlsAccepted = code == 234;
        else if (t->tlsAccepted)
            t->tls = true;
        if (t->command == "STOR" && code >= 200)
            t->storCode = code;
        if (t->command == "SIZE" && code == 213) {
            bool ok = false;
            const qint64 n = line.mid(4).trimmed().toLongLong(&ok);
            t->remoteSize = ok ? n : -1;
        }
        if (!t->loggedIn && code == 230) {
            t->loggedIn = true;
            if (t->events->secured)
                t->events->secured(t->tls);
            if (t->events->loggedIn)
                t->events->loggedIn();
        }
    }
    return 0;
}

// libcurl calls this at least once a second in every phase, bytes or not: the abort flag is seen while
// connecting, logging in and waiting for a silent server too.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t ultotal, curl_off_t ulnow) {
    auto* t = static_cast<Transfer*>(user);
    if (!t->begun && (ultotal > 0 || ulnow > 0)) {
        t->begun = true;
        if (t->events->workBegin)
            t->events->workBegin(t->total);
    }
    if (t->begun && ulnow != t->lastDone) {
        t->lastDone = ulnow;
        if (t->events->work)
            t->events->work(ulnow);
    }
    return t->events->abort && t->events->abort->load() ? 1 : 0;
}

FtpFailure classify(CURLcode code, const Transfer& t) {
    switch (code) {
    case CURLE_OK:
        // libcurl takes any answer for an upload done; the server has to confirm the file and its size.
        return (t.storCode == 226 || t.storCode == 250) && t.remoteSize == t.total ? FtpFailure::None
                                                                                   : FtpFailure::Unconfirmed;
    case CURLE_ABORTED_BY_CALLBACK:
        return FtpFailure::Aborted;
    case CURLE_USE_SSL_FAILED:
        return FtpFailure::NoTls;
    case CURLE_QUOTE_ERROR:
        // The file went out, but SIZE was refused: nothing says the server holds all of it.
        return t.storCode ? FtpFailure::Unconfirmed : FtpFailure::Refused;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return FtpFailure::Unreachable;
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_UPLOAD_FAILED:
    case CURLE_FTP_WEIRD_PASS_REPLY:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_COULDNT_USE_REST:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_REMOTE_FILE_EXISTS:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return FtpFailure::Refused;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_WEIRD_SERVER_REPLY:
        return t.greeted ? FtpFailure::Broken : FtpFailure::Unreachable;
    default:
        return FtpFailure::Other;
    }
}

// A proxy the upload may use: one that tunnels. A plain HTTP proxy would carry the FTP commands, password
// included, as HTTP requests and answer for the server.
bool tunnellingProxy(const QString& proxy) {
    const QString scheme = QUrl(proxy).scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"socks5" || scheme == u"socks5h" ||
           scheme == u"socks4" || scheme == u"socks4a";
}

// The system's certificates and the extra file in one blob: CURLOPT_CAINFO alone would replace the system's.
QByteArray caBundle(const Curl& api, CURL* curl, const QString& extra) {
    QByteArray pem;
    char* system = nullptr;
    // A certificate bundle has some hundred kilobytes; what is beyond the bound is not read.
    constexpr qint64 kMaxBundle = 16LL << 20;
    if (api.getinfo(curl, CURLINFO_CAINFO, &system) == CURLE_OK && system) {
        QFile f(QString::fromLocal8Bit(system));
        if (f.open(QIODevice::ReadOnly))
            pem = f.read(kMaxBundle) + '\n';
    }
    QFile f(extra);
    if (f.open(QIODevice::ReadOnly))
        pem += f.read(kMaxBundle);
    return pem;
}

} // namespace

FtpResult ftpStore(const QString& localFile, const FtpTarget& target, const FtpEvents& events) {
    FtpResult r;
    const Curl* api = curlApi();
    if (!api) {
        r.failure = FtpFailure::Other;
        r.detail = QStringLiteral("libcurl.so.4 fehlt");
        return r;
    }
    QFile file(localFile);
    // libcurl's buffer is the only one: no second copy through QFile's.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        r.failure = FtpFailure::Other;
        r.detail = file.errorString();
        return r;
    }
    CURL* curl = api->init();
    if (!curl) {
        r.failure = FtpFailure::Other;
        return r;
    }
    Transfer t;
    t.events = &events;
    t.total = file.size();
    QString server = target.server;
    if (!server.contains(u':') || server.startsWith(u'['))
        server += QStringLiteral(":21");
    const QByteArray url = "ftp://" + server.toUtf8() + "/" + kUploadFile;
    const QByteArray user = target.user.toUtf8();
    const QByteArray password = target.password.toUtf8();
    char error[CURL_ERROR_SIZE] = {};
    const auto onRead = +[](char* buffer, size_t size, size_t n, void* stream) -> size_t {
        const size_t room = size * n;
        const qint64 got = static_cast<QFile*>(stream)->read(buffer, qint64(room));
        return got < 0 ? CURL_READFUNC_ABORT : size_t(got);
    };
    api->setopt(curl, CURLOPT_URL, url.constData());
    api->setopt(curl, CURLOPT_USERNAME, user.constData());
    api->setopt(curl, CURLOPT_PASSWORD, password.constData());
    api->setopt(curl, CURLOPT_UPLOAD, 1L);
    api->setopt(curl, CURLOPT_READFUNCTION, onRead);
    api->setopt(curl, CURLOPT_READDATA, &file);
    api->setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(t.total));
    api->setopt(curl, CURLOPT_UPLOAD_BUFFERSIZE, 512L * 1024);
    api->setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 8000L);
    const long stall = std::clamp(target.stallSeconds, 1, 3600);
    api->setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 100L);
    api->setopt(curl, CURLOPT_LOW_SPEED_TIME, stall);
    api->setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, stall);
    // The proxy variables of the environment (ftp_proxy, all_proxy) are not ours to follow.
    const QByteArray proxy = target.proxy.toUtf8();
    if (!target.proxy.isEmpty() && !tunnellingProxy(target.proxy)) {
        api->cleanup(curl);
        r.failure = FtpFailure::Unreachable;
        r.detail = QStringLiteral("Der Proxy %1 kann keine Verbindung durchreichen (http:// oder socks5:// angeben)")
                       .arg(target.proxy);
        return r;
    }
    api->setopt(curl, CURLOPT_PROXY, proxy.constData());
    if (!target.proxy.isEmpty())
        api->setopt(curl, CURLOPT_HTTPPROXYTUNNEL, 1L);
    api->setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
    api->setopt(curl, CURLOPT_USE_SSL, long(target.requireTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    api->setopt(curl, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
    // TLS 1.2: FTP servers commonly demand that the data connection resumes the control connection's session,
    // which TLS 1.3's late session tickets make unreliable (refused data connections, lost sessions).
    api->setopt(curl, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2) | long(CURL_SSLVERSION_MAX_TLSv1_2));
    api->setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api->setopt(curl, CURLOPT_ERRORBUFFER, error);
    api->setopt(curl, CURLOPT_NOPROGRESS, 0L);
    api->setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    api->setopt(curl, CURLOPT_XFERINFODATA, &t);
    api->setopt(curl, CURLOPT_DEBUGFUNCTION, onDebug);
    api->setopt(curl, CURLOPT_DEBUGDATA, &t);
    api->setopt(curl, CURLOPT_VERBOSE, 1L);
    // The server's own word on what it holds, on the same connection right after the file.
    const QByteArray size = "SIZE " + QByteArray(kUploadFile);
    curl_slist* after = api->slistAppend(nullptr, size.constData());
    api->setopt(curl, CURLOPT_POSTQUOTE, after);
    QByteArray bundle;
    if (!target.caFile.isEmpty()) {
        bundle = caBundle(*api, curl, target.caFile);
        curl_blob blob{bundle.data(), size_t(bundle.size()), CURL_BLOB_NOCOPY};
        api->setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
    }
    const CURLcode code = api->perform(curl);
    if (t.begun && events.workEnd)
        events.workEnd();
    r.failure = classify(code, t);
    r.encrypted = t.tls;
    r.lastReply = QString::fromUtf8(t.lastReply);
    r.bytes = std::max<qint64>(0, t.lastDone);
    if (code != CURLE_OK)
        r.detail = QString::fromUtf8(error[0] ? error : api->strerror(code));
    else if (r.failure == FtpFailure::Unconfirmed)
        r.detail = QStringLiteral("Größe auf dem Server %1 statt %2 Bytes").arg(t.remoteSize).arg(t.total);
    api->cleanup(curl);
    api->slistFree(after);
    return r;
}

} // namespace tarmelo::transfer
