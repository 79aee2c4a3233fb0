#pragma once

#include <QString>

namespace tarmelo::shell {

// The marketplace's servers. The built-in defaults live in Servers.cpp alone; servers.ini ([Servers]) overrides
// them key by key. The program never writes that file.
struct Servers {
    QString FtpServer;      // host[:port] of the upload server
    QString LoginServer;    // scheme://host[:port] of the log-in and log-out pages
    QString DealerServer;   // scheme://host[:port] of the stock archive
    QString CaCertificates; // PEM file trusted in addition to the system's; empty: none
    QString UpdateServer;   // scheme://host[:port] of the online update
    QString WebSite;        // scheme://host[:port] of the marketplace's web site
    QString DealerArea;     // scheme://host[:port] of the dealers' area
    QString VehicleSearch;  // scheme://host[:port] of the vehicle search
    // The upload goes straight to the FTP server; only a proxy named here is used, and only one that tunnels
    // (http://host:port with CONNECT, or socks5://host:port). The environment's proxy variables never count.
    QString FtpProxy;
    bool RequireTls = false; // "1": no upload when the FTP server refuses TLS

    bool operator==(const Servers&) const = default;
};

Servers defaultServers();
// Parses servers.ini bytes (UTF-8); keys that are missing or empty keep their defaults. A value ends before
// blanks followed by ";", as a comment after a value is taken in other INI files.
Servers readServers(const QByteArray& fileContent);
// Missing or unreadable file: the defaults.
Servers loadServersFile(const QString& path);
// A password may go to a log-in page over plain HTTP only when servers.ini names such a log-in address (local
// tests); the built-in address is HTTPS.
bool plainLoginAllowed(const Servers& servers);

// servers.ini beside config.ini: beside the executable in portable mode, else in the user's config folder.
QString serversPath(const QString& executableDir);
// The folder for files the program writes for itself (upload and download archives, update staging): beside the
// executable in portable mode, else the user's data folder. Returned whether or not it exists.
QString dataFolder(const QString& executableDir);
// Portable mode: a config.ini stands beside the executable.
bool portableMode(const QString& executableDir);

} // namespace tarmelo::shell
