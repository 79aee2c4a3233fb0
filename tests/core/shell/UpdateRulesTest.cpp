#include "shell/UpdateRules.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace tarmelo::shell;

TEST(UpdateRulesTest, VersionFileKinds) {
    using K = VersionFile::Kind;
    const struct {
        const char* name;
        QByteArray content;
        K kind;
        QString shown;
        int number;
        QString message;
    } cases[] = {
        {"newer", "version\r\n3.71\r\n01.03.2011\r\nauthorized_update\r\n", K::Authorized, "3.71  (01.03.2011)", 371,
         ""},
        {"same", "version\n3.70\n10.02.2011\nauthorized_update", K::Authorized, "3.70  (10.02.2011)", 370, ""},
        {"trimmed", "  version \n 3.69\t\n 2010 \n authorized_update  \n", K::Authorized, "3.69  (2010)", 369, ""},
        {"message", "version\n3.71\n01.03.2011\n  Bitte neu installieren! \n", K::Message, "3.71  (01.03.2011)", 0,
         "  Bitte neu installieren! "},
        {"short version", "version\n3.8\nx\nauthorized_update\n", K::Invalid, "3.8  (x)", 0, ""},
        {"letters", "version\n3.7a\nx\nauthorized_update\n", K::Invalid, "3.7a  (x)", 0, ""},
        {"no comma", "version\n3,71\nx\nauthorized_update\n", K::Invalid, "3,71  (x)", 0, ""},
        {"wrong head", "Version\n3.71\nx\nauthorized_update\n", K::Invalid, "", 0, ""},
        {"too short", "version\n3.71\n01.03.2011\n", K::Invalid, "", 0, ""},
        {"error page", "<html><body>404</body></html>", K::Invalid, "", 0, ""},
        {"empty", "", K::Invalid, "", 0, ""},
    };
    for (const auto& c : cases) {
        const VersionFile f = parseVersionFile(c.content);
        EXPECT_EQ(f.kind, c.kind) << c.name;
        EXPECT_EQ(f.shown, c.shown) << c.name;
        EXPECT_EQ(f.message, c.message) << c.name;
        if (c.kind == K::Authorized) {
            EXPECT_EQ(f.number, c.number) << c.name;
        }
    }
    EXPECT_EQ(programVersionCaption(), "3.70  (10.02.2011)");
}

TEST(UpdateRulesTest, SwitchFileOffersOnlyAOne) {
    const struct {
        QByteArray content;
        bool offered;
    } cases[] = {
        {"1", true}, {"1\r\n", true}, {" 1 \nmore", true},       {"0", false},
        {"", false}, {"11", false},   {"<html>1</html>", false}, {"\n1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(updatesOffered(c.content), c.offered) << c.content.toStdString();
}

TEST(UpdateRulesTest, TransferAndRemainingTexts) {
    const QLocale de(QLocale::German, QLocale::Germany);
    const struct {
        qint64 n, total;
        double v;
        const char* transfer;
        const char* time;
    } cases[] = {
        {4096, 10000, 0, "4 KB von 9 KB übertragen bei 0,00 KB/s", "Restdauer:  -"},
        {8192, 10000, 4.0, "8 KB von 9 KB übertragen bei 4,00 KB/s", "Restdauer:  00:00:00"},
        {1024 * 1024, 5 * 1024 * 1024, 2.5, "1.024 KB von 5.120 KB übertragen bei 2,50 KB/s", "Restdauer:  00:27:18"},
        {0, 4096LL * 1024 * 1024, 1.0, "0 KB von 4.194.304 KB übertragen bei 1,00 KB/s", "Restdauer:  00:00:00"},
        {0, 70000LL * 1024, 1.0, "0 KB von 70.000 KB übertragen bei 1,00 KB/s", "Restdauer:  01:14:24"},
        {0, 3661LL * 1024, 1.0, "0 KB von 3.661 KB übertragen bei 1,00 KB/s", "Restdauer:  01:01:01"},
        {4096, 8192, 1234.567, "4 KB von 8 KB übertragen bei 1234,57 KB/s", "Restdauer:  00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transferText(c.n, c.total, c.v, de), QString::fromUtf8(c.transfer));
        EXPECT_EQ(remainingText(c.n, c.total, c.v), QString::fromUtf8(c.time)) << c.n << " " << c.total;
    }
}

TEST(UpdateRulesTest, ReminderAfterFourteenWholeDays) {
    const QDateTime now(QDate(2011, 3, 20), QTime(8, 30));
    const QDateTime late(QDate(2011, 3, 20), QTime(23, 59, 59));
    const QDateTime early(QDate(2011, 3, 20), QTime(0, 0, 1));
    const struct {
        const char* name;
        std::optional<QDate> last;
        std::optional<QDateTime> file;
        QDateTime at;
        bool due;
    } cases[] = {
        {"13 days, late", QDate(2011, 3, 7), std::nullopt, late, false},
        {"14 days, early", QDate(2011, 3, 6), std::nullopt, early, true},
        {"14 days", QDate(2011, 3, 6), std::nullopt, now, true},
        {"today", QDate(2011, 3, 20), std::nullopt, now, false},
        {"in the future", QDate(2011, 4, 20), std::nullopt, now, false},
        {"last update wins over file", QDate(2011, 3, 19), QDateTime(QDate(2010, 1, 1), QTime(12, 0)), now, false},
        {"file 14 days minus a minute", std::nullopt, QDateTime(QDate(2011, 3, 6), QTime(8, 31)), now, false},
        {"file 14 days", std::nullopt, QDateTime(QDate(2011, 3, 6), QTime(8, 30)), now, true},
        {"nothing known", std::nullopt, std::nullopt, now, false},
        {"invalid date", QDate(), std::nullopt, now, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(updateReminderDue(c.last, c.file, c.at), c.due) << c.name;
}

TEST(UpdateRulesTest, OnlyAUserOwnedInstallationIsSelfContained) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(QDir().mkpath(tmp.filePath("tarmelo/bin")));
    const struct {
        QString exeDir;
        bool self;
    } cases[] = {
        {tmp.filePath("tarmelo/bin"), true},
        {"/usr/bin", false},
        {"/usr/local/bin", false},
        {"/usr/lib/tarmelo/bin", false},
        {tmp.filePath("missing/bin"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(selfContainedInstallation(c.exeDir), c.self) << c.exeDir.toStdString();
    EXPECT_EQ(installationRoot("/home/a/tarmelo/bin"), "/home/a/tarmelo");
}

TEST(UpdateRulesTest, ScriptWaitsForTheProgramThenMovesTheFilesAndRemovesItself) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    // Names with blanks and quotes must survive the shell.
    const QString install = tmp.filePath("Tarmelo's Ordner");
    const QString unpack = tmp.filePath("update $x/unpack");
    ASSERT_TRUE(QDir().mkpath(install + "/bin"));
    ASSERT_TRUE(QDir().mkpath(unpack + "/bin"));
    ASSERT_TRUE(QDir().mkpath(unpack + "/share/tarmelo"));
    auto write = [](const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    };
    write(install + "/bin/tarmelo", "old");
    write(install + "/keep.txt", "mine");
    write(unpack + "/bin/tarmelo", "new");
    write(unpack + "/share/tarmelo/tipps.dat", "tip");

    QProcess program; // stands in for the running program
    program.start("sleep", {"0.5"});
    ASSERT_TRUE(program.waitForStarted(5000));
    const QString script = tmp.filePath("update_self.sh");
    write(script, updateScript(program.processId(), unpack, install, 10));

    QProcess sh;
    sh.start("/bin/sh", {script});
    ASSERT_TRUE(sh.waitForStarted(5000));
    // While the program runs nothing is replaced.
    QThread::msleep(200);
    QFile old(install + "/bin/tarmelo");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    old.close();
    ASSERT_TRUE(program.waitForFinished(5000));
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_EQ(sh.exitCode(), 0);

    const struct {
        QString path;
        QByteArray content;
    } expected[] = {
        {install + "/bin/tarmelo", "new"},
        {install + "/keep.txt", "mine"},
        {install + "/share/tarmelo/tipps.dat", "tip"},
    };
    for (const auto& e : expected) {
        QFile f(e.path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << e.path.toStdString();
        EXPECT_EQ(f.readAll(), e.content);
    }
    EXPECT_FALSE(QFileInfo::exists(script));
    EXPECT_FALSE(QFileInfo::exists(unpack));
}

TEST(UpdateRulesTest, ScriptGivesUpWhenTheProgramDoesNotEnd) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(QDir().mkpath(tmp.filePath("unpack")));
    ASSERT_TRUE(QDir().mkpath(tmp.filePath("install")));
    QFile(tmp.filePath("unpack/new")).open(QIODevice::WriteOnly);
    QProcess program;
    program.start("sleep", {"5"});
    ASSERT_TRUE(program.waitForStarted(5000));
    const QString script = tmp.filePath("update_self.sh");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(updateScript(program.processId(), tmp.filePath("unpack"), tmp.filePath("install"), 1));
    }
    QProcess sh;
    sh.start("/bin/sh", {script});
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_NE(sh.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath("install/new")));
    EXPECT_FALSE(QFileInfo::exists(script));
    program.kill();
    program.waitForFinished(5000);
}
