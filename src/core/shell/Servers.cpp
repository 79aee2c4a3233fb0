#include "shell/Servers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#define SI_NO_CONVERSION
// The template bodies are needed here too: an optimised build inlines them away in Settings.cpp.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace tarmelo::shell {

namespace {

constexpr qint64 kMaxFileSize = 1024 * 1024;

struct Key {
    const char* name;
    QString Servers::*member;
};

constexpr Key kKeys[] = {
    {"FtpServer", &Servers::FtpServer},       {"LoginServer", &Servers::LoginServer},
    {"DealerServer", &Servers::DealerServer}, {"CaCertificates", &Servers::CaCertificates},
    {"UpdateServer", &Servers::UpdateServer}, {"WebSite", &Servers::WebSite},
    {"DealerArea", &Servers::DealerArea},     {"VehicleSearch", &Servers::VehicleSearch},
    {"FtpProxy", &Servers::FtpProxy},
};

// "value   ; comment" gives "value".
QString withoutComment(const QString& value) {
    for (qsizetype i = value.indexOf(u';'); i >= 0; i = value.indexOf(u';', i + 1))
        if (i == 0 || value.at(i - 1).isSpace())
            return value.left(i).trimmed();
    return value.trimmed();
}

} // namespace

Servers defaultServers() {
    Servers s;
    s.FtpServer = QStringLiteral("ftp.karvento.de");
    s.LoginServer = QStringLiteral("https://login.karvento.de");
    s.DealerServer = QStringLiteral("http://haendler.karvento.de");
    s.UpdateServer = QStringLiteral("http://update.karvento.de");
    s.WebSite = QStringLiteral("https://www.karvento.de");
    s.DealerArea = QStringLiteral("https://haendler.karvento.de");
    s.VehicleSearch = QStringLiteral("https://suche.karvento.de");
    return s;
}

Servers readServers(const QByteArray& fileContent) {
    Servers s = defaultServers();
    CSimpleIniA ini(false, false, false);
    ini.SetUnicode(false);
    ini.SetSpaces(false);
    QByteArray data = fileContent;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    if (ini.LoadData(data.constData(), static_cast<size_t>(data.size())) < 0)
        return s;
    for (const Key& k : kKeys) {
        const char* value = ini.GetValue("Servers", k.name, nullptr);
        if (!value)
            continue;
        const QString text = withoutComment(QString::fromUtf8(value));
        if (!text.isEmpty())
            s.*k.member = text;
    }
    const QString tls = withoutComment(QString::fromUtf8(ini.GetValue("Servers", "RequireTls", "")));
    s.RequireTls = tls == u"1" || tls.compare(u"true", Qt::CaseInsensitive) == 0;
    return s;
}

Servers loadServersFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return defaultServers();
    return readServers(file.read(kMaxFileSize));
}

bool plainLoginAllowed(const Servers& servers) {
    return servers.LoginServer.startsWith(QLatin1StringView("http://"), Qt::CaseInsensitive);
}

bool portableMode(const QString& executableDir) {
    return QFileInfo(QDir(executableDir).filePath(QStringLiteral("config.ini"))).isFile();
}

QString serversPath(const QString& executableDir) {
    if (portableMode(executableDir))
        return QDir(executableDir).filePath(QStringLiteral("servers.ini"));
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/servers.ini");
}

QString dataFolder(const QString& executableDir) {
    if (portableMode(executableDir))
        return QDir::cleanPath(executableDir);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace tarmelo::shell
