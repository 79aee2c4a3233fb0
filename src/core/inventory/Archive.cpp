#include "Archive.h"

#include "inventory/ZipWriter.h"

#include "csv/LineWriter.h"
#include "inventory/CsvFile.h"
#include "inventory/StockMember.h"
#include "model/Cp1252.h"
#include "photo/Reduce.h"
#include "util/ZipLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tarmelo::inventory {

bool isArchivePath(const QString& path) {
    return QFileInfo(path).suffix().toLower() == QLatin1StringView("zip");
}

QString archivePath(const QString& target) {
    return isArchivePath(target) ? target : target + QStringLiteral(".zip");
}

QString SaveResult::message() const {
    switch (failure) {
    case SaveFailure::None:
        return {};
    case SaveFailure::CannotReplace:
        return QStringLiteral("Eine Datei mit dem Namen \"%1\" existiert bereits und kann nicht\nüberschrieben werden."
                              "\n\nVersuchen Sie, die Datei unter einem anderen Namen zu speichern!")
            .arg(QFileInfo(target).fileName());
    case SaveFailure::AccessDenied:
        return QStringLiteral("Der Zugriff auf das Laufwerk wurde verweigert.\n"
                              "Versuchen Sie, die Datei auf einem anderen Laufwerk zu speichern!");
    case SaveFailure::MediumFull:
        return QStringLiteral("Die Datei konnte nicht gespeichert werden. Das Speichermedium ist voll.\n"
                              "Versuchen Sie, die Datei auf einem anderen Laufwerk zu speichern!");
    case SaveFailure::Other:
        break;
    }
    return QStringLiteral("Die Datei konnte nicht gespeichert werden. Ziellaufwerk überprüfen!");
}

QString OpenResult::message() const {
    switch (failure) {
    case OpenFailure::None:
        return rejected() > 0 ? QStringLiteral("%1 von %2 Fahrzeugen konnte(n) nicht importiert werden.")
                                    .arg(rejected())
                                    .arg(lines)
                              : QString();
    case OpenFailure::NoCsv:
        return QStringLiteral("Die angegebene Datei enthält keine Fahrzeuginformationen oder entspricht\n"
                              "nicht dem von Karvento definierten Import-/Exportformat.");
    case OpenFailure::NoLines:
        return QStringLiteral("Die Datei enthält keine Fahrzeuginformationen.");
    case OpenFailure::NoVehicles:
        return QStringLiteral("Es konnten keine Fahrzeuge importiert werden. Vermutlich entspricht die\n"
                              "angegebene Datei nicht dem von Karvento definierten Import-/Exportformat.");
    case OpenFailure::NoZipLibrary:
        return QString::fromLatin1(util::kZipLibraryMissing);
    case OpenFailure::Broken:
        break;
    }
    return QStringLiteral("Fehler: Die angegebene Datei ist fehlerhaft und kann nicht importiert werden.");
}

namespace {

SaveFailure failureOf(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return SaveFailure::MediumFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return SaveFailure::AccessDenied;
    default:
        return SaveFailure::Other;
    }
}

// The temporary file goes unless it was put in the target's place.
struct TempFile {
    QByteArray path;
    bool keep = false;
    ~TempFile() {
        if (!path.isEmpty() && !keep)
            ::unlink(path.constData());
    }
};

mode_t newFileMode(const QByteArray& existing) {
    struct stat st {};
    if (!existing.isEmpty() && ::stat(existing.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // the rename is already done; a failure here changes nothing for the user
    ::close(fd);
}

// Saves into one folder hold its lock shared; removing leftovers needs it alone, so a temporary file that
// another save (of this or another process of ours) is still writing is never taken for a leftover.
class FolderLock {
public:
    explicit FolderLock(const QByteArray& folder)
        : fd_(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~FolderLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool tryExclusive() { return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }
    void shared() {
        if (fd_ >= 0)
            ::flock(fd_, LOCK_SH);
    }

private:
    int fd_;
};

// Our temporary name ".<name>.XXXXXX" and libzip's own beside it, ".<name>.XXXXXX.XXXXXX".
bool isLeftoverOf(const QString& entry, const QString& fileName) {
    static const QRegularExpression suffix(QStringLiteral("^[A-Za-z0-9]{6}(\\.[A-Za-z0-9]{6})?$"));
    const QString prefix = u'.' + fileName + u'.';
    return entry.startsWith(prefix) && suffix.match(QStringView(entry).mid(prefix.size())).hasMatch();
}

// Only with the folder's lock held alone.
int removeLeftoversLocked(const QString& finalPath) {
    const QFileInfo info(finalPath);
    QDir dir = info.absoluteDir();
    int removed = 0;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& entry : entries) {
        if (!isLeftoverOf(entry, info.fileName()))
            continue;
        struct stat st {};
        const QByteArray path = QFile::encodeName(dir.absoluteFilePath(entry));
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}

QString resolvedTarget(const QString& target) {
    // A link keeps pointing at the archive: the file it names is the one replaced.
    const QFileInfo info(target);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

} // namespace

int removeSaveLeftovers(const QString& target) {
    if (QFileInfo(target).fileName().isEmpty())
        return 0;
    const QString finalPath = resolvedTarget(target);
    FolderLock lock(QFile::encodeName(QFileInfo(finalPath).absolutePath()));
    return lock.tryExclusive() ? removeLeftoversLocked(finalPath) : 0;
}

SaveResult writeArchive(const QString& target, const QByteArray& csvFile, const model::Inventory& inv, int first,
                        int last, const WriteOptions& options) {
    SaveResult r;
    r.target = target;
    const auto fail = [&r](SaveFailure f) {
        r.failure = f;
        return r;
    };
    const auto injected = [&options](WriteStage stage) { return options.inject ? options.inject(stage) : 0; };

    const QString finalPath = resolvedTarget(target);
    const QByteArray finalName = QFile::encodeName(finalPath);
    const QByteArray folder = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    const bool existed = QFileInfo::exists(finalPath);
    if (existed &&
        (QFileInfo(finalPath).isDir() || !QFileInfo(finalPath).isWritable() || ::access(folder.constData(), W_OK) != 0))
        return fail(SaveFailure::CannotReplace);

    // Held until the save ends: our temporary file is never anyone's leftover meanwhile.
    FolderLock lock(folder);
    if (lock.tryExclusive())
        removeLeftoversLocked(finalPath);
    lock.shared();

    TempFile temp;
    int fd = -1;
    {
        QByteArray pattern = folder + "/." + QFile::encodeName(QFileInfo(finalPath).fileName()) + ".XXXXXX";
        if (const int e = injected(WriteStage::Create))
            return fail(failureOf(e));
        fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            return fail(failureOf(errno));
        temp.path = pattern;
    }
    const auto failClosing = [&fd, &fail](int error) {
        ::close(fd);
        return fail(failureOf(error));
    };

    QList<ZipMember> members;
    members.append({kCsvMember, csvFile, true, std::nullopt});
    for (int j = first; j <= last; ++j) {
        const model::TFahrzeug& v = inv[j];
        const QByteArray stem = options.photoStem ? options.photoStem(j) : QByteArray::number(j - first + 1);
        for (int k = 1; k <= model::kPhotoSlots && !v.bilder[size_t(k - 1)].isEmpty(); ++k)
            members.append({stem + '_' + QByteArray::number(k) + ".jpg", v.bilder[size_t(k - 1)], false,
                            options.photoCrc ? options.photoCrc(j, k - 1) : std::nullopt});
    }
    // Last, so that the line file and the photos lie where an archive without it has them.
    if (options.stock)
        if (QByteArray stock = stockMemberData(inv, first, last, csvFile); !stock.isEmpty())
            members.append({kStockMember, std::move(stock), true, std::nullopt});
    ZipWriteOptions zip;
    zip.progress = options.progress;
    zip.afterFirstWrite = [&options] { return options.inject ? options.inject(WriteStage::Write) : 0; };
    zip.startWriteback = options.durable;
    if (const int e = writeZip(fd, members, zip))
        return failClosing(e);

    int e = injected(WriteStage::Sync);
    if (!e && ::fchmod(fd, newFileMode(existed ? finalName : QByteArray())) != 0)
        e = errno;
    if (!e && options.durable && ::fsync(fd) != 0)
        e = errno;
    if (e)
        return failClosing(e);
    // A write the medium refuses may show only here (network file systems).
    if (::close(fd) != 0 && errno != EINTR)
        return fail(failureOf(errno));

    e = injected(WriteStage::Replace);
    if (!e && ::rename(temp.path.constData(), finalName.constData()) != 0)
        e = errno;
    if (e) {
        const SaveFailure f = failureOf(e);
        return fail(existed && f != SaveFailure::MediumFull ? SaveFailure::CannotReplace : f);
    }
    temp.keep = true;
    if (options.durable)
        syncFolder(folder);
    return r;
}

namespace {

// The members an inventory reader uses, by bare name lower-cased: the first line file and every photo.
struct Members {
    bool hasCsv = false;
    QByteArray csv;
    QHash<QString, QByteArray> photos;
    std::optional<QByteArray> stock;
    bool stockDamaged = false;
    QDate date; // when the line file was written: the guessed entry date
};

QString bareName(const QString& name) {
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    return name.mid(cut + 1);
}

// Reads one member completely, up to `limit` bytes; false when it is damaged or bigger.
bool readMember(const util::ZipLibrary& z, zip_t* za, zip_uint64_t index, qint64 limit, QByteArray& out) {
    zip_stat_t st{};
    if (z.statIndex(za, index, 0, &st) != 0)
        return false;
    if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(limit))
        return false;
    zip_file_t* f = z.fopenIndex(za, index, 0);
    if (!f)
        return false;
    out.clear();
    bool ok = true;
    qsizetype filled = 0;
    if (st.valid & ZIP_STAT_SIZE) {
        // Read in place: the photos are most of an archive, and a copy through a buffer costs as much as the read.
        // Exactly its size: a buffer grown by resize() would take twice the space and a mapping of its own.
        out = QByteArray(qsizetype(st.size), Qt::Uninitialized);
        while (ok && filled < out.size()) {
            const zip_int64_t n = z.fread(f, out.data() + filled, zip_uint64_t(out.size() - filled));
            ok = n > 0;
            filled += ok ? qsizetype(n) : 0;
        }
    }
    char buffer[1 << 16];
    for (;;) {
        if (!ok)
            break;
        const zip_int64_t n = z.fread(f, buffer, sizeof buffer);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        // Never trust the declared size: a member that inflates further is cut off here.
        if (out.size() + n > limit) {
            ok = false;
            break;
        }
        out.append(buffer, qsizetype(n));
    }
    // A member whose data ends elsewhere than its headers say is damaged, even when its CRC fits what inflated.
    if (ok && (st.valid & ZIP_STAT_SIZE) && zip_uint64_t(out.size()) != st.size)
        ok = false;
    z.fclose(f);
    return ok;
}

// Reads the line files, then the photos, of an opened archive; `archiveBytes` scales the inflation budget.
bool readMembers(const util::ZipLibrary& z, zip_t* za, qint64 archiveBytes, Members& m,
                 const std::function<void(int)>& progress, const ReadLimits& limits) {
    const zip_int64_t count = z.numEntries(za, 0);
    qint64 budget = limits.inflatedBase + limits.inflatedRatio * archiveBytes;
    QString csvName;
    bool ok = count >= 0;
    // Line files first, as the photos may be many.
    for (int pass = 0; ok && pass < 2; ++pass) {
        const QLatin1StringView wanted = pass == 0 ? QLatin1StringView(".csv") : QLatin1StringView(".jpg");
        for (zip_int64_t i = 0; ok && i < count; ++i) {
            const char* raw = z.name(za, zip_uint64_t(i), 0);
            if (!raw) {
                ok = false;
                break;
            }
            // Only the bare name counts: folders, "..", drives and backslashes never reach anything.
            const QString name = bareName(QString::fromUtf8(raw)).toLower();
            if (pass == 0 && name == QLatin1StringView(kStockMember)) {
                // Its damage costs the stock data, not the vehicles.
                QByteArray data;
                if (readMember(z, za, zip_uint64_t(i), std::min(limits.stockBytes, budget), data)) {
                    budget -= data.size();
                    m.stock = std::move(data);
                    m.stockDamaged = false;
                } else {
                    m.stockDamaged = true;
                }
                continue;
            }
            if (name.size() <= 4 || !name.endsWith(wanted))
                continue;
            // Of several line files the first name is read; a later member of that name replaces it.
            if (pass == 0 && m.hasCsv && name != csvName)
                continue;
            if (progress)
                progress(pass == 0 ? 0 : int(kMembersPercent * i / count));
            QByteArray data;
            if (!readMember(z, za, zip_uint64_t(i), std::min(limits.memberBytes, budget), data)) {
                ok = false;
                break;
            }
            budget -= data.size();
            if (pass == 0) {
                csvName = name;
                m.hasCsv = true;
                m.csv = std::move(data);
                zip_stat_t st{};
                if (z.statIndex(za, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME))
                    m.date = QDateTime::fromSecsSinceEpoch(st.mtime).date();
            } else {
                m.photos.insert(name, data);
            }
        }
    }
    return ok;
}

// What tells a file changed in place while we read it; a file renamed over it leaves ours whole.
bool sameFileState(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool readArchiveFile(const util::ZipLibrary& z, const QString& path, Members& m,
                     const std::function<void(int)>& progress, const ReadLimits& limits) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat before {};
    const int zipFd = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode) ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
    int error = 0;
    // libzip owns zipFd from here, also when it fails.
    zip_t* za = zipFd >= 0 ? z.fdopen(zipFd, ZIP_RDONLY, &error) : nullptr;
    if (!za && zipFd >= 0)
        ::close(zipFd);
    bool ok = za && readMembers(z, za, qint64(before.st_size), m, progress, limits);
    if (za)
        z.discard(za);
    // A file rewritten while it was read may have given members of two different archives.
    struct stat after {};
    ok = ok && ::fstat(fd, &after) == 0 && sameFileState(before, after);
    ::close(fd);
    return ok;
}

void addPhotos(model::TFahrzeug& v, const QHash<QString, QByteArray>& photos) {
    if (photos.isEmpty())
        return;
    const QString prefix = model::fromCp1252(v.kennung).toLower() + u'_';
    size_t slot = 0;
    for (int k = 1; k <= model::kPhotoSlots; ++k) {
        const auto it = photos.constFind(prefix + QString::number(k) + QStringLiteral(".jpg"));
        if (it == photos.cend())
            continue;
        photo::PhotoResult p = photo::reduceImportedPhoto(*it);
        if (p.ok())
            v.bilder[slot++] = std::move(p.jpeg);
    }
}

// `from`: the percentage reached before the lines.
OpenResult takeLines(const Members& m, const std::function<void(int)>& progress, int from) {
    OpenResult r;
    QList<int> lineOf;
    ReadResult read = readLines(m.csv, [&](model::TFahrzeug& v, int line, int lines) {
        if (progress)
            progress(from + int(std::lround((100.0 - from) * line / lines)));
        addPhotos(v, m.photos);
        lineOf.append(line);
    });
    r.lines = read.lines;
    r.vehicles = std::move(read.vehicles);
    QList<QByteArray> keys;
    if (m.stock) {
        const QList<QByteArray> all = splitLines(m.csv);
        keys.reserve(lineOf.size());
        for (const int line : lineOf)
            keys.append(csv::GetIntNr(all.value(line)));
    }
    StockRead stock = applyStockMember(r.vehicles, keys, m.stock, m.date);
    if (m.stockDamaged)
        stock = damagedStockMember();
    r.readOnly = stock.readOnly;
    r.readOnlyMessage = stock.message;
    if (r.lines == 0) {
        r.failure = OpenFailure::NoLines;
        return r;
    }
    if (r.vehicles.isEmpty())
        r.failure = OpenFailure::NoVehicles;
    return r;
}

} // namespace

OpenResult readInventoryFile(const QString& path, const std::function<void(int)>& progress, const ReadLimits& limits) {
    OpenResult r;
    Members m;
    if (isArchivePath(path)) {
        const util::ZipLibrary* z = util::zipLibrary();
        if (!z) {
            r.failure = OpenFailure::NoZipLibrary;
            return r;
        }
        if (!readArchiveFile(*z, path, m, progress, limits)) {
            r.failure = OpenFailure::Broken;
            return r;
        }
        if (!m.hasCsv) {
            r.failure = OpenFailure::NoCsv;
            return r;
        }
    } else {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.size() > limits.memberBytes) {
            r.failure = OpenFailure::Broken;
            return r;
        }
        // One buffer of the file's size, read into in place; a device or pipe reports no size and grows it, and
        // the limit holds for what is read, too.
        qsizetype filled = 0;
        m.csv.resize(std::min<qint64>(std::max<qint64>(f.size(), 0) + 1, limits.memberBytes + 1));
        adviseHugePages(m.csv.constData(), m.csv.size());
        for (;;) {
            if (filled == m.csv.size()) {
                if (m.csv.size() > limits.memberBytes)
                    break;
                m.csv.resize(std::min<qint64>(qint64(m.csv.size()) * 2 + (1 << 20), limits.memberBytes + 1));
            }
            const qint64 n = f.read(m.csv.data() + filled, m.csv.size() - filled);
            if (n <= 0)
                break;
            filled += qsizetype(n);
        }
        m.csv.truncate(filled);
        if (f.error() != QFileDevice::NoError || m.csv.size() > limits.memberBytes) {
            r.failure = OpenFailure::Broken;
            return r;
        }
        m.date = QFileInfo(path).lastModified().date();
    }
    return takeLines(m, progress, isArchivePath(path) ? kMembersPercent : 0);
}

OpenResult readInventoryArchive(const QByteArray& archive, const std::function<void(int)>& progress,
                                const ReadLimits& limits) {
    OpenResult r;
    const util::ZipLibrary* z = util::zipLibrary();
    if (!z) {
        r.failure = OpenFailure::NoZipLibrary;
        return r;
    }
    Members m;
    zip_error_t error{};
    zip_source_t* src = z->sourceBufferCreate(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    zip_t* za = src ? z->openFromSource(src, ZIP_RDONLY, &error) : nullptr;
    if (src && !za)
        z->sourceFree(src);
    z->errorFini(&error);
    const bool ok = za && readMembers(*z, za, archive.size(), m, progress, limits);
    if (za)
        z->discard(za);
    if (!ok) {
        r.failure = OpenFailure::Broken;
        return r;
    }
    if (!m.hasCsv) {
        r.failure = OpenFailure::NoCsv;
        return r;
    }
    return takeLines(m, progress, kMembersPercent);
}

} // namespace tarmelo::inventory
