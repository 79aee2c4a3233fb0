// Backups before an archive is replaced: the retention rules, the way back, and a backup that fails.

#include "inventory/Backups.h"
#include "inventory/Archive.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace tarmelo;
using namespace tarmelo::inventory;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(12, 0));

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An archive of `vehicles` lines with two photos each; `seed` makes its content its own.
void writeInventory(const QString& path, int vehicles, char seed) {
    model::Inventory inv(vehicles);
    QByteArray csv;
    for (int i = 0; i < vehicles; ++i) {
        csv += QByteArray::number(i + 1) + ";\"K" + QByteArray::number(i) + "\";" + seed + "\r\n";
        inv[i].bilder[0] = QByteArray(3000, seed);
        inv[i].bilder[1] = QByteArray(2000, char(seed + 1));
    }
    ASSERT_TRUE(writeArchive(path, csv, inv, 0, vehicles - 1).ok());
}

TEST(Backups, RetentionRules) {
    BackupPolicy small;
    small.limitBytes = 3;
    const auto every = [](int count, qint64 step) {
        QList<QDateTime> t;
        for (int i = 0; i < count; ++i)
            t.append(kNow.addSecs(-step * i));
        return t;
    };
    const auto range = [](int from, int to) {
        QList<int> r;
        for (int i = from; i < to; ++i)
            r.append(i);
        return r;
    };
    const struct {
        const char* name;
        QList<QDateTime> times;
        BackupPolicy policy;
        QList<int> kept;
    } cases[] = {
        {"25 saves in one hour: the last 20", every(25, 60), {}, range(0, 20)},
        {"a save a day for 60 days: 30 days, then the newest of October",
         every(60, 86400),
         {},
         range(0, 30) + QList<int>{40}},
        {"one a month for 40 months: the last 20", every(40, 31 * 86400), {}, range(0, 20)},
        {"a save a day, only 2 saves kept: 30 days and the months of a year",
         every(400, 86400),
         {2, 30, 12, qint64(1) << 40},
         range(0, 30) + QList<int>{40, 71, 101, 132, 163, 193, 224, 254, 285, 313}},
        {"size limit: the oldest go first", every(5, 60), small, range(0, 3)},
        {"the newest stays above the limit", every(1, 60), {20, 30, 12, 0}, {0}},
        {"backups from a clock set ahead are kept as saves only", every(25, -86400), {}, range(0, 20)},
    };
    for (const auto& c : cases) {
        const QList<bool> keep = keptBackups(c.times, QList<qint64>(c.times.size(), 1), kNow, c.policy);
        QList<int> kept;
        for (qsizetype i = 0; i < keep.size(); ++i)
            if (keep[i])
                kept.append(int(i));
        EXPECT_EQ(kept, c.kept) << c.name;
    }
}

// Kept before the save replaces the archive, listed without opening it, and written out again byte for byte,
// linked or copied; restoring never replaces a file.
TEST(Backups, RestoreGivesBackTheReplacedArchive) {
    for (const bool link : {true, false}) {
        SCOPED_TRACE(link ? "hard link" : "copy");
        QTemporaryDir dir;
        const QString path = dir.filePath("bestand.zip");
        writeInventory(path, 3, 'a');
        const QByteArray before = bytesOf(path);
        BackupPlace place{dir.filePath("daten"), {}, fixedClock(kNow), link};

        const BackupResult r = backupBeforeChange(path, BackupCause::BeforeRename, place);
        ASSERT_TRUE(r.warning.isEmpty()) << r.warning.toStdString();
        writeInventory(path, 5, 'x');
        EXPECT_TRUE(backupBeforeChange(dir.filePath("neu.zip"), BackupCause::Save, place).file.isEmpty())
            << "no archive there yet: nothing to keep";

        const QList<BackupEntry> list = listBackups(place.dataFolder, path);
        ASSERT_EQ(list.size(), 1);
        EXPECT_EQ(list[0].time, kNow);
        EXPECT_EQ(list[0].cause, QStringLiteral("vor Umbenennen"));
        EXPECT_EQ(list[0].vehicles, 3);
        EXPECT_EQ(list[0].photos, 6);
        EXPECT_EQ(list[0].bytes, before.size());

        const QString out = dir.filePath("zurueck.zip");
        EXPECT_EQ(copyBackupTo(list[0], out), QString());
        EXPECT_EQ(bytesOf(out), before);
        EXPECT_EQ(readInventoryFile(out).lines, 3);
        EXPECT_TRUE(copyBackupTo(list[0], path).contains(QStringLiteral("existiert bereits")));
        EXPECT_EQ(bytesOf(path).size(), QFileInfo(path).size());
        EXPECT_NE(bytesOf(path), before) << "the current archive stays as it is";
    }
}

TEST(Backups, RulesApplyAfterEveryBackup) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bestand.zip");
    writeInventory(path, 1, 'a');
    int minute = 0;
    BackupPlace place{dir.filePath("daten"), {}, [&minute] { return kNow.addSecs(60 * minute++); }, true};
    for (int i = 0; i < 25; ++i)
        ASSERT_FALSE(backupBeforeChange(path, BackupCause::Save, place).file.isEmpty());
    EXPECT_EQ(listBackups(place.dataFolder, path).size(), 20);
    EXPECT_EQ(QDir(backupFolder(place.dataFolder, path)).entryList(QDir::Files | QDir::Hidden).size(), 40)
        << "each backup and its description, nothing else";
}

TEST(Backups, FoldersKeepInventoriesApart) {
    const QString a = backupFolder("/daten", "/home/h/Bestand März/bestand.zip");
    const QString b = backupFolder("/daten", "/home/h/alt/bestand.zip");
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(QStringLiteral("/daten/backups/bestand_zip-")));
    EXPECT_EQ(QFileInfo(backupFolder("/daten", "/x/../..\\:*?.zip")).path(), QStringLiteral("/daten/backups"));
}

// A backup that cannot be made is a warning; the save goes on and succeeds.
TEST(Backups, FailedBackupNeverStopsTheSave) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bestand.zip");
    writeInventory(path, 20, 'a');

    // The data folder is a file: no folder can be made there.
    QFile blocker(dir.filePath("daten"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    BackupResult r = backupBeforeChange(path, BackupCause::Save, {blocker.fileName(), {}, fixedClock(kNow), true});
    EXPECT_TRUE(r.file.isEmpty());
    EXPECT_TRUE(r.warning.contains(QStringLiteral("trotzdem"))) << r.warning.toStdString();

    // A full medium while copying, as a file size limit makes it: nothing half-written stays.
    const QString data = dir.filePath("voll");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    r = backupBeforeChange(path, BackupCause::Save, {data, {}, fixedClock(kNow), false});
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(r.file.isEmpty());
    EXPECT_TRUE(r.warning.contains(QStringLiteral("voll"))) << r.warning.toStdString();
    EXPECT_TRUE(QDir(backupFolder(data, path)).entryList(QDir::Files | QDir::Hidden).isEmpty());

    writeInventory(path, 2, 'b'); // the save itself
    EXPECT_EQ(readInventoryFile(path).lines, 2);
}

} // namespace
