#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

namespace tarmelo::inventory {

// What a file was when the program last read or wrote it, so that a save notices a change made elsewhere.
struct FileStamp {
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    QByteArray digest; // MD5 of the content

    bool operator==(const FileStamp&) const = default;
};

// Size, time and digest of the file as it is now; a missing or unreadable file gives exists = false.
FileStamp stampOf(const QString& path);
// Whether the file is still as stamped. Size and time are compared first; the content is read only when they agree.
// A file that has gone since counts as unchanged: there is nothing a save could overwrite.
bool unchangedSince(const QString& path, const FileStamp& stamp);

// One archive, one editor: a lock file beside the archive that every process of the program respects. A lock left
// by a process that has ended is taken over.
class ArchiveLock {
public:
    enum class Result {
        Taken,         // this process holds the archive now
        HeldElsewhere, // another running process of the program holds it
        Unprotected,   // no lock file can be made there (read-only folder): the archive is used without one
    };

    ArchiveLock();
    ~ArchiveLock();
    ArchiveLock(const ArchiveLock&) = delete;
    ArchiveLock& operator=(const ArchiveLock&) = delete;

    Result take(const QString& archive);
    void release();
    // The absolute path of the archive taken; empty when none is.
    QString archive() const { return archive_; }
    // The process that holds the archive, after HeldElsewhere (0 when unknown).
    qint64 holder() const { return holder_; }

    static QString absolute(const QString& archive);
    static QString lockPath(const QString& archive);

private:
    std::unique_ptr<QLockFile> lock_;
    QString archive_;
    qint64 holder_ = 0;
};

} // namespace tarmelo::inventory
