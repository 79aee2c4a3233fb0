#include "shell/Servers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tarmelo::shell;

TEST(ServersTest, FileOverridesKeyByKey) {
    const struct {
        const char* file;
        QString Servers::*member;
        QString expected;
    } cases[] = {
        {"[Servers]\nFtpServer=127.0.0.1:2121\n", &Servers::FtpServer, "127.0.0.1:2121"},
        {"[Servers]\nLoginServer= http://127.0.0.1:8080 \n", &Servers::LoginServer, "http://127.0.0.1:8080"},
        {"\xEF\xBB\xBF[Servers]\nCaCertificates=/tmp/ca.pem\n", &Servers::CaCertificates, "/tmp/ca.pem"},
        // An empty value or another section keeps the default.
        {"[Servers]\nFtpServer=\n", &Servers::FtpServer, defaultServers().FtpServer},
        {"[Other]\nFtpServer=x\n", &Servers::FtpServer, defaultServers().FtpServer},
        {"", &Servers::UpdateServer, defaultServers().UpdateServer},
        // A comment after the value, as other INI files have it, is no part of the value.
        {"[Servers]\nFtpServer=ftp.example.org:21            ; host[:port]\n", &Servers::FtpServer,
         "ftp.example.org:21"},
        {"[Servers]\nFtpProxy=socks5://127.0.0.1:1080\t; Tunnel\n", &Servers::FtpProxy, "socks5://127.0.0.1:1080"},
        {"[Servers]\nCaCertificates=/etc/a;b.pem\n", &Servers::CaCertificates, "/etc/a;b.pem"},
        {"[Servers]\nLoginServer= ; nur ein Kommentar\n", &Servers::LoginServer, defaultServers().LoginServer},
    };
    for (const auto& c : cases) {
        const Servers s = readServers(QByteArray(c.file));
        EXPECT_EQ(s.*c.member, c.expected) << c.file;
    }
    const Servers one = readServers("[Servers]\nDealerServer=http://h:1\n");
    Servers expected = defaultServers();
    expected.DealerServer = QStringLiteral("http://h:1");
    EXPECT_EQ(one, expected);
}

TEST(ServersTest, TlsRequirementAndPlainLogIns) {
    const struct {
        const char* file;
        bool requireTls;
        bool plainLogin;
    } cases[] = {
        {"", false, false},
        {"[Servers]\nRequireTls=1 ; ja\nLoginServer=http://127.0.0.1:8080\n", true, true},
        {"[Servers]\nRequireTls=0\nLoginServer=HTTP://127.0.0.1:8080\n", false, true},
        {"[Servers]\nRequireTls=true\nLoginServer=https://127.0.0.1:8443\n", true, false},
    };
    for (const auto& c : cases) {
        const Servers s = readServers(QByteArray(c.file));
        EXPECT_EQ(s.RequireTls, c.requireTls) << c.file;
        EXPECT_EQ(plainLoginAllowed(s), c.plainLogin) << c.file;
    }
}

TEST(ServersTest, PortableModeKeepsFilesBesideTheExecutable) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(portableMode(dir.path()));
    EXPECT_NE(serversPath(dir.path()), QDir(dir.path()).filePath("servers.ini"));
    QFile config(QDir(dir.path()).filePath("config.ini"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.close();
    EXPECT_TRUE(portableMode(dir.path()));
    EXPECT_EQ(serversPath(dir.path()), QDir(dir.path()).filePath("servers.ini"));
    EXPECT_EQ(dataFolder(dir.path()), QDir::cleanPath(dir.path()));
    EXPECT_EQ(loadServersFile(QDir(dir.path()).filePath("missing.ini")), defaultServers());
}
