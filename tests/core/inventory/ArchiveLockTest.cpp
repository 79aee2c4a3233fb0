#include "inventory/ArchiveLock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

using namespace tarmelo::inventory;

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(ArchiveLock, OneHolderAtATimeAndDeadHoldersTakenOver) {
    QTemporaryDir dir;
    const QString archive = dir.filePath("bestand.zip");
    ArchiveLock first;
    ASSERT_EQ(first.take(archive), ArchiveLock::Result::Taken);
    EXPECT_TRUE(QFile::exists(dir.filePath(".bestand.zip.lock")));
    // Another name of the same file meets the same lock.
    ArchiveLock second;
    EXPECT_EQ(second.take(dir.path() + "/./bestand.zip"), ArchiveLock::Result::HeldElsewhere);
    EXPECT_EQ(second.holder(), qint64(::getpid()));
    EXPECT_EQ(second.archive(), QString());
    first.release();
    EXPECT_EQ(second.take(archive), ArchiveLock::Result::Taken);
    second.release();
    EXPECT_FALSE(QFile::exists(dir.filePath(".bestand.zip.lock")));

    // A process that held the archive and ended without letting go.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(ArchiveLock::lockPath(archive));
        lock.setStaleLockTime(0);
        ::_exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(dir.filePath(".bestand.zip.lock")));
    EXPECT_EQ(first.take(archive), ArchiveLock::Result::Taken);
}

TEST(FileStamp, ChangesOfSizeTimeOrContentAreNoticed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bestand.zip");
    writeFile(path, "AAAA");
    const FileStamp stamp = stampOf(path);
    ASSERT_TRUE(stamp.exists);
    EXPECT_TRUE(unchangedSince(path, stamp));

    // Same size and time, other content: only the digest tells.
    QFile f(path);
    const QDateTime time = QFileInfo(path).lastModified();
    writeFile(path, "AAAB");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_FALSE(unchangedSince(path, stamp));

    writeFile(path, "AAAA");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(time.addSecs(5), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_FALSE(unchangedSince(path, stamp)) << "time";
    writeFile(path, "AAAAA");
    EXPECT_FALSE(unchangedSince(path, stamp)) << "size";
    QFile::remove(path);
    EXPECT_TRUE(unchangedSince(path, stamp)) << "nothing left to overwrite";
    EXPECT_FALSE(stampOf(path).exists);
}
