// backups and restore, and the backup every command makes before it replaces an archive.

#include "cli/Commands.h"

#include "inventory/Archive.h"
#include "shell/Servers.h"
#include "shell/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

namespace tarmelo::cli {

namespace {

inventory::BackupPlace place() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    return shell::backupPlace(shell::loadSettingsFile(shell::settingsPath(exeDir)), exeDir, systemClock());
}

QString sizeText(qint64 bytes) {
    return QLocale(QLocale::German, QLocale::Germany).toString(double(bytes) / (1 << 20), 'f', 1) +
           QStringLiteral(" MB");
}

} // namespace

void backupBefore(const QString& archive, inventory::BackupCause cause) {
    if (!inventory::isArchivePath(archive) || !QFileInfo(archive).isFile())
        return;
    const inventory::BackupResult r = inventory::backupBeforeChange(archive, cause, place());
    if (!r.warning.isEmpty())
        err(QStringLiteral("Warnung: ") + oneLine(r.warning));
}

int backups(const CommandLine& c) {
    const QList<inventory::BackupEntry> list = inventory::listBackups(place().dataFolder, c.files()[0]);
    if (list.isEmpty()) {
        out(QStringLiteral("Keine Sicherungen von \"%1\" vorhanden.").arg(c.files()[0]));
        return kOk;
    }
    out(QStringLiteral("Nr.\tDatum\tFahrzeuge\tBilder\tGröße\tAnlass\tSicherung"));
    for (qsizetype i = 0; i < list.size(); ++i) {
        const inventory::BackupEntry& e = list[i];
        out(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                .arg(i + 1)
                .arg(e.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
                .arg(e.vehicles)
                .arg(e.photos)
                .arg(sizeText(e.bytes), e.cause, QFileInfo(e.file).completeBaseName()));
    }
    return kOk;
}

int restore(const CommandLine& c) {
    const QList<inventory::BackupEntry> list = inventory::listBackups(place().dataFolder, c.files()[0]);
    const QString wanted = c.files()[1];
    bool isNumber = false;
    const int n = wanted.toInt(&isNumber);
    const inventory::BackupEntry* chosen = nullptr;
    for (qsizetype i = 0; i < list.size() && !chosen; ++i)
        if ((isNumber && n == i + 1) || QFileInfo(list[i].file).completeBaseName() == wanted ||
            QFileInfo(list[i].file).fileName() == wanted)
            chosen = &list[i];
    if (!chosen) {
        err(QStringLiteral("Keine Sicherung \"%1\" von \"%2\"; tarmelo-cli backups zeigt sie.")
                .arg(wanted, c.files()[0]));
        return kUsage;
    }
    if (const QString e = inventory::copyBackupTo(*chosen, c.files()[2]); !e.isEmpty()) {
        err(e);
        return kUsage;
    }
    out(QStringLiteral("Sicherung vom %1 (%2 Fahrzeuge) als \"%3\" geschrieben.")
            .arg(chosen->time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
            .arg(chosen->vehicles)
            .arg(c.files()[2]));
    return kOk;
}

} // namespace tarmelo::cli
