// An update archive unpacked into a temporary folder: nothing lands outside the target, no link is made, the
// size stays within the bound, and a second unpacking into a fresh folder gives the same answer and files.

#include "FuzzCheck.h"
#include "shell/UpdatePackage.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace tarmelo;

namespace {

struct Entry {
    bool directory = false;
    bool executable = false;
    QByteArray content;
    bool operator==(const Entry&) const = default;
};

// Everything below root by place; every path lies in one of the target folders, and none is a link.
QMap<QString, QMap<QString, Entry>> walk(const QString& root, const QStringList& targets) {
    QMap<QString, QMap<QString, Entry>> trees;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        struct stat st;
        FUZZ_CHECK(::lstat(QFile::encodeName(path).constData(), &st) == 0);
        FUZZ_CHECK(!S_ISLNK(st.st_mode));
        FUZZ_CHECK(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
        if (relative == QStringLiteral("update.zip"))
            continue;
        const QString target = relative.section(QLatin1Char('/'), 0, 0);
        FUZZ_CHECK(targets.contains(target));
        Entry e;
        e.directory = S_ISDIR(st.st_mode);
        e.executable = !e.directory && (st.st_mode & S_IXUSR);
        if (!e.directory) {
            QFile f(path);
            FUZZ_CHECK(f.open(QIODevice::ReadOnly));
            e.content = f.readAll();
        }
        trees[target].insert(relative.mid(target.size()), e);
    }
    return trees;
}

qint64 totalSize(const QMap<QString, Entry>& tree) {
    qint64 total = 0;
    for (const Entry& e : tree)
        total += e.content.size();
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir temp;
    FUZZ_CHECK(temp.isValid());
    const QString root = temp.path();
    // Each run starts from an empty root.
    QDir(root).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(root));
    const QString zipPath = root + QStringLiteral("/update.zip");
    {
        QFile f(zipPath);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly));
        FUZZ_CHECK(f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }
    shell::UnpackLimits limits;
    limits.maxTotalBytes = 1 << 20;
    limits.maxEntries = 200;

    QString reason;
    const bool ok = shell::unpackUpdateArchive(zipPath, root + QStringLiteral("/unpack"), limits, &reason);
    FUZZ_CHECK(ok == reason.isEmpty());
    QString reason2;
    const bool ok2 = shell::unpackUpdateArchive(zipPath, root + QStringLiteral("/nochmal"), limits, &reason2);
    FUZZ_CHECK(ok2 == ok && reason2 == reason);

    const auto trees = walk(root, {QStringLiteral("unpack"), QStringLiteral("nochmal")});
    const QMap<QString, Entry> first = trees.value(QStringLiteral("unpack"));
    FUZZ_CHECK(totalSize(first) <= limits.maxTotalBytes);
    // The same archive gives the same files, whole or as far as it got.
    FUZZ_CHECK(first == trees.value(QStringLiteral("nochmal")));
    return 0;
}
