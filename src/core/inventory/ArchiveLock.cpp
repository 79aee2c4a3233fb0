#include "inventory/ArchiveLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace tarmelo::inventory {

FileStamp stampOf(const QString& path) {
    FileStamp s;
    const QFileInfo info(path);
    if (!info.isFile())
        return s;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return s;
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return s;
    s.exists = true;
    s.size = info.size();
    s.modified = info.lastModified();
    s.digest = hash.result();
    return s;
}

bool unchangedSince(const QString& path, const FileStamp& stamp) {
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (!stamp.exists || info.size() != stamp.size || info.lastModified() != stamp.modified)
        return false;
    // A tool that keeps the time, or two writes within the clock's resolution: only the content tells.
    return stampOf(path).digest == stamp.digest;
}

ArchiveLock::ArchiveLock() = default;

ArchiveLock::~ArchiveLock() {
    release();
}

QString ArchiveLock::absolute(const QString& archive) {
    const QFileInfo info(archive);
    // Two names of one file (a link, "..", a linked folder) share one lock, also before the file exists.
    if (info.isSymLink() && info.exists())
        return info.canonicalFilePath();
    const QString folder = QDir(info.absolutePath()).canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

QString ArchiveLock::lockPath(const QString& archive) {
    const QFileInfo info(absolute(archive));
    return info.absoluteDir().filePath(QStringLiteral(".%1.lock").arg(info.fileName()));
}

ArchiveLock::Result ArchiveLock::take(const QString& archive) {
    release();
    holder_ = 0;
    auto lock = std::make_unique<QLockFile>(lockPath(archive));
    // The lock lives as long as the archive is open, however long that is; only a dead holder makes it stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        archive_ = absolute(archive);
        return Result::Taken;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        QString host;
        QString app;
        lock->getLockInfo(&holder_, &host, &app);
        return Result::HeldElsewhere;
    }
    archive_ = absolute(archive);
    return Result::Unprotected;
}

void ArchiveLock::release() {
    if (lock_)
        lock_->unlock();
    lock_.reset();
    archive_.clear();
}

} // namespace tarmelo::inventory
