#pragma once

#include "util/Clock.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace tarmelo::inventory {

// Versioned backups of an inventory archive: before a save replaces it, and before a download import, a renaming
// or a bulk price change alters the inventory, the archive as it is on disk is kept in the data folder, one folder
// per inventory. Hard-linked where the file system allows (the save puts a new file in the archive's place, so the
// link keeps the old one), copied atomically otherwise.

enum class BackupCause { Save, BeforeDownload, BeforeRename, BeforePriceChange };
// "Speichern", "vor Download", "vor Umbenennen", "vor Preisänderung".
QString causeText(BackupCause cause);

// The default of the size limit; the settings key BackupLimitMB starts from it. 0 keeps no backups at all.
inline constexpr int kBackupLimitDefaultMB = 2048;

struct BackupPolicy {
    int lastSaves = 20;                                      // the newest this many, whatever their age
    int dailyDays = 30;                                      // the newest of each of the last this many days
    int monthlyMonths = 12;                                  // the newest of each of the last this many months
    qint64 limitBytes = qint64(kBackupLimitDefaultMB) << 20; // then the oldest go until the rest fits
};

struct BackupPlace {
    QString dataFolder; // the program's data folder (shell::dataFolder)
    BackupPolicy policy;
    Clock clock = systemClock();
    bool allowLink = true; // tests: always copy
};

// The folder of one inventory's backups: <data folder>/backups/<file name>-<hash of the full path>; the name stays
// readable, the hash keeps two inventories of the same name apart and any path a valid folder name.
QString backupFolder(const QString& dataFolder, const QString& inventoryPath);

struct BackupEntry {
    QString file; // the kept archive
    QDateTime time;
    QString cause;
    int vehicles = 0;
    int photos = 0;
    qint64 bytes = 0;
};

struct BackupResult {
    QString file;    // the backup made; empty when none
    QString warning; // German; a failed backup never stops what comes after it, the caller shows this once
    int removed = 0; // old backups the rules let go
};

// Keeps the archive at `inventoryPath` before it changes, then applies the retention rules. Nothing to do (no
// warning) when no archive is there yet, or when the limit is 0.
BackupResult backupBeforeChange(const QString& inventoryPath, BackupCause cause, const BackupPlace& place);

// The backups of an inventory, newest first, from their small descriptions: no archive is opened.
QList<BackupEntry> listBackups(const QString& dataFolder, const QString& inventoryPath);

// Which backups the rules keep, for times and sizes given newest first.
QList<bool> keptBackups(const QList<QDateTime>& newestFirst, const QList<qint64>& bytes, const QDateTime& now,
                        const BackupPolicy& policy);

// Writes a backup out as a new file, byte for byte; an existing file at `target` is never replaced. An error text
// (German) or empty. Opening a backup in the program is readInventoryFile(entry.file) as a new, unsaved document.
QString copyBackupTo(const BackupEntry& entry, const QString& target);

} // namespace tarmelo::inventory
