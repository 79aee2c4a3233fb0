#include "inventory/Backups.h"

#include "inventory/Archive.h"
#include "util/ZipLibrary.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tarmelo::inventory {

namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz");
// A description has a few hundred bytes; anything larger is not ours.
constexpr qint64 kMaxDescription = 64 << 10;

QString reason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("der Datenträger ist voll");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("keine Schreibrechte im Datenordner");
    case ENOTDIR:
    case EEXIST:
        return QStringLiteral("der Sicherungsordner lässt sich nicht anlegen");
    default:
        return QStringLiteral("Systemfehler %1").arg(error);
    }
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int copyData(int in, int out) {
    bool plain = false;
    for (;;) {
        // Where the file system shares extents (reflink) this copies no data at all.
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n == 0)
            return 0;
        if (n > 0)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
            plain = true;
            break;
        }
        return errno;
    }
    if (plain) {
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n == 0)
                return 0;
            if (n < 0)
                return errno == EINTR ? 0 : errno;
            for (ssize_t done = 0; done < n;) {
                const ssize_t w = ::write(out, buffer + done, size_t(n - done));
                if (w < 0)
                    return errno;
                done += w;
            }
        }
    }
    return 0;
}

// Copies `from` to a temporary file beside `to`, flushes it and links it in: `to` appears whole or not at all, and
// an existing file there is never replaced. The errno, or 0.
int copyAtomically(const QByteArray& from, const QByteArray& to) {
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(to)).absolutePath());
    QByteArray temp = folder + "/.tarmelo-kopie.XXXXXX";
    const int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return e;
    }
    int e = copyData(in, out);
    ::close(in);
    if (!e && ::fchmod(out, 0600) != 0)
        e = errno;
    if (!e && ::fsync(out) != 0)
        e = errno;
    if (::close(out) != 0 && !e && errno != EINTR)
        e = errno;
    if (!e && ::link(temp.constData(), to.constData()) != 0)
        e = errno;
    ::unlink(temp.constData());
    if (!e)
        syncFolder(folder);
    return e;
}

// Vehicles (lines of the line file) and photos of an archive, from its directory and its small line file.
std::pair<int, int> countsOf(const QByteArray& path) {
    const util::ZipLibrary* z = util::zipLibrary();
    int error = 0;
    zip_t* za = z ? z->open(path.constData(), ZIP_RDONLY, &error) : nullptr;
    if (!za)
        return {0, 0};
    int vehicles = 0, photos = 0;
    bool csvSeen = false;
    const zip_int64_t n = z->numEntries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const QString name = QString::fromUtf8(z->name(za, zip_uint64_t(i), 0)).toLower();
        if (name.endsWith(QLatin1StringView(".jpg"))) {
            ++photos;
        } else if (!csvSeen && name.endsWith(QLatin1StringView(".csv"))) {
            csvSeen = true;
            zip_file_t* f = z->fopenIndex(za, zip_uint64_t(i), 0);
            char buffer[1 << 16];
            char last = '\n';
            zip_int64_t got = 0;
            while (f && (got = z->fread(f, buffer, sizeof buffer)) > 0) {
                vehicles += int(std::count(buffer, buffer + got, '\n'));
                last = buffer[got - 1];
            }
            vehicles += last != '\n' ? 1 : 0;
            if (f)
                z->fclose(f);
        }
    }
    z->discard(za);
    return {vehicles, photos};
}

std::optional<BackupEntry> readDescription(const QString& jsonPath) {
    QFile f(jsonPath);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxDescription)
        return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    BackupEntry e;
    e.file = jsonPath.chopped(5) + QStringLiteral(".zip");
    e.time = QDateTime::fromString(o.value(QStringLiteral("zeit")).toString(), Qt::ISODateWithMs);
    e.cause = o.value(QStringLiteral("ursache")).toString();
    e.vehicles = o.value(QStringLiteral("fahrzeuge")).toInt();
    e.photos = o.value(QStringLiteral("fotos")).toInt();
    e.bytes = qint64(o.value(QStringLiteral("groesse")).toDouble());
    if (!e.time.isValid() || !QFileInfo(e.file).isFile())
        return std::nullopt;
    return e;
}

// Removes what the rules let go, and what a killed backup left: temporary copies and archives without a
// description, once they are an hour old (another instance may be writing one just now).
int prune(const QString& folder, const BackupPolicy& policy, const QDateTime& now,
          const QList<BackupEntry>& newestFirst) {
    QList<QDateTime> times;
    QList<qint64> bytes;
    for (const BackupEntry& e : newestFirst) {
        times.append(e.time);
        bytes.append(e.bytes);
    }
    const QList<bool> keep = keptBackups(times, bytes, now, policy);
    int removed = 0;
    for (qsizetype i = 0; i < newestFirst.size(); ++i) {
        if (keep[i])
            continue;
        QFile::remove(newestFirst[i].file.chopped(4) + QStringLiteral(".json"));
        removed += QFile::remove(newestFirst[i].file) ? 1 : 0;
    }
    const QDir dir(folder);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        const bool orphan =
            f.suffix() == QLatin1StringView("zip") &&
            !QFileInfo::exists(f.absolutePath() + u'/' + f.completeBaseName() + QStringLiteral(".json"));
        if ((orphan || f.fileName().startsWith(QLatin1StringView(".tarmelo-kopie."))) &&
            f.lastModified().secsTo(QDateTime::currentDateTime()) > 3600)
            QFile::remove(f.absoluteFilePath());
    }
    return removed;
}

} // namespace

QString causeText(BackupCause cause) {
    switch (cause) {
    case BackupCause::Save:
        break;
    case BackupCause::BeforeDownload:
        return QStringLiteral("vor Download");
    case BackupCause::BeforeRename:
        return QStringLiteral("vor Umbenennen");
    case BackupCause::BeforePriceChange:
        return QStringLiteral("vor Preisänderung");
    }
    return QStringLiteral("Speichern");
}

QString backupFolder(const QString& dataFolder, const QString& inventoryPath) {
    const QFileInfo info(inventoryPath);
    const QString full = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QString name;
    for (const QChar c : info.fileName().left(80))
        name += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' ? c : u'_';
    const QByteArray hash = QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(dataFolder).filePath(QStringLiteral("backups/") + name + u'-' + QString::fromLatin1(hash));
}

QList<bool> keptBackups(const QList<QDateTime>& newestFirst, const QList<qint64>& bytes, const QDateTime& now,
                        const BackupPolicy& policy) {
    const qsizetype n = newestFirst.size();
    QList<bool> keep(n, false);
    const QDate today = now.date();
    const int thisMonth = today.year() * 12 + today.month() - 1;
    QDate lastDay;
    int lastMonth = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const QDate d = newestFirst[i].date();
        const int month = d.year() * 12 + d.month() - 1;
        keep[i] = i < policy.lastSaves;
        if (d <= today && d.daysTo(today) < policy.dailyDays && d != lastDay) {
            keep[i] = true;
            lastDay = d;
        }
        if (d <= today && thisMonth - month < policy.monthlyMonths && month != lastMonth) {
            keep[i] = true;
            lastMonth = month;
        }
    }
    // The size limit takes the oldest first; the newest backup stays, however large.
    qint64 total = 0;
    for (qsizetype i = 0; i < n; ++i)
        total += keep[i] ? bytes.value(i) : 0;
    for (qsizetype i = n - 1; i > 0 && total > policy.limitBytes; --i) {
        if (keep[i]) {
            keep[i] = false;
            total -= bytes.value(i);
        }
    }
    return keep;
}

BackupResult backupBeforeChange(const QString& inventoryPath, BackupCause cause, const BackupPlace& place) {
    BackupResult r;
    const QFileInfo info(inventoryPath);
    // Archives only (.zip): a plain line file is never replaced by a save, the program saves archives.
    if (place.policy.limitBytes <= 0 || !info.isFile() || !isArchivePath(inventoryPath))
        return r;
    const QByteArray source = QFile::encodeName(info.canonicalFilePath());
    const auto fail = [&r, &info](int error) {
        r.warning = QStringLiteral("Die Sicherungskopie von \"%1\" konnte nicht angelegt werden: %2.\n"
                                   "Der Vorgang wird trotzdem ausgeführt; ältere Sicherungen bleiben erhalten.")
                        .arg(info.fileName(), reason(error));
        return r;
    };
    const QString folder = backupFolder(place.dataFolder, inventoryPath);
    if (!QDir().mkpath(folder))
        return fail(QFileInfo(folder).exists() || QFileInfo(place.dataFolder).isFile() ? ENOTDIR : EACCES);
    ::chmod(QFile::encodeName(folder).constData(), 0700);

    const QDateTime now = place.clock();
    QString stem = QDir(folder).filePath(now.toString(kStampFormat));
    for (int n = 2;
         QFileInfo::exists(stem + QStringLiteral(".zip")) || QFileInfo::exists(stem + QStringLiteral(".json")); ++n)
        stem = QDir(folder).filePath(now.toString(kStampFormat) + QStringLiteral("_%1").arg(n));
    const QString file = stem + QStringLiteral(".zip");
    const QByteArray target = QFile::encodeName(file);

    struct stat st {};
    if (::stat(source.constData(), &st) != 0)
        return fail(errno);
    const auto [vehicles, photos] = countsOf(source);
    int e = place.allowLink && ::link(source.constData(), target.constData()) == 0 ? 0 : -1;
    if (e != 0)
        e = copyAtomically(source, target);
    if (e != 0)
        return fail(e);
    if (place.allowLink)
        syncFolder(QFile::encodeName(folder));

    QSaveFile description(stem + QStringLiteral(".json"));
    const QJsonObject o{{"zeit", now.toString(Qt::ISODateWithMs)},
                        {"ursache", causeText(cause)},
                        {"fahrzeuge", vehicles},
                        {"fotos", photos},
                        {"groesse", double(st.st_size)},
                        {"quelle", info.absoluteFilePath()}};
    if (!description.open(QIODevice::WriteOnly) || description.write(QJsonDocument(o).toJson()) < 0 ||
        !description.commit()) {
        QFile::remove(file);
        return fail(description.error() == QFileDevice::ResourceError ? ENOSPC : EIO);
    }
    r.file = file;
    r.removed = prune(folder, place.policy, now, listBackups(place.dataFolder, inventoryPath));
    return r;
}

QList<BackupEntry> listBackups(const QString& dataFolder, const QString& inventoryPath) {
    QList<BackupEntry> list;
    const QDir dir(backupFolder(dataFolder, inventoryPath));
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files))
        if (std::optional<BackupEntry> e = readDescription(dir.filePath(name)))
            list.append(*e);
    std::sort(list.begin(), list.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.time != b.time ? a.time > b.time : a.file > b.file;
    });
    return list;
}

QString copyBackupTo(const BackupEntry& entry, const QString& target) {
    const QFileInfo out(target);
    if (out.exists() || out.isSymLink())
        return QStringLiteral("Die Datei \"%1\" existiert bereits. Eine Sicherung wird nur in eine neue Datei "
                              "geschrieben.")
            .arg(out.fileName());
    const int e = copyAtomically(QFile::encodeName(entry.file), QFile::encodeName(out.absoluteFilePath()));
    if (e == EEXIST)
        return copyBackupTo(entry, target);
    if (e != 0)
        return QStringLiteral("Die Sicherung konnte nicht nach \"%1\" geschrieben werden: %2.")
            .arg(out.fileName(), e == ENOENT ? QStringLiteral("Ordner oder Sicherung fehlt") : reason(e));
    return {};
}

} // namespace tarmelo::inventory
