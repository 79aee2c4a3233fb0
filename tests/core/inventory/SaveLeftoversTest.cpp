// Temporary files of killed saves are removed by the next save and at start, and only those.

#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "support/TestVehicles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace tarmelo;
using namespace tarmelo::inventory;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));

void touch(const QString& path, const QByteArray& data = "Reste eines abgebrochenen Speicherns") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// What a save of bestand.zip removes and what it must leave alone.
const struct {
    const char* name;
    bool leftover;
} kEntries[] = {
    {".bestand.zip.AbC123", true},        // our temporary file
    {".bestand.zip.AbC123.x9Y8z7", true}, // libzip's, beside ours
    {".bestand.zip.000000", true},        // digits only
    {".bestand.zip.AbC12", false},        // too short for the pattern
    {".bestand.zip.AbC1234", false},      // too long
    {".bestand.zip.AbC-12", false},       // not a pattern character
    {".bestand.zip.AbC123.bak", false},   // someone's own copy
    {".bestand.zip.AbC123.x9Y8z7.q", false},
    {"bestand.zip.AbC123", false},   // not hidden
    {".anderes.zip.AbC123", false},  // another target's
    {".bestand.zipp.AbC123", false}, // a longer name
    {"bestand.zip", false},          // the archive itself
};

void populate(const QString& folder) {
    for (const auto& e : kEntries)
        touch(QDir(folder).filePath(e.name));
}

QStringList expectedAfterCleanup() {
    QStringList kept;
    for (const auto& e : kEntries)
        if (!e.leftover)
            kept << e.name;
    kept.sort();
    return kept;
}

model::Inventory smallInventory() {
    model::TFahrzeug v = test::validVehicle(1);
    v.kategorie = model::listItems(model::field(u"kategorie")->list, 1).value(2);
    return {v};
}

} // namespace

TEST(SaveLeftovers, OnlyOurPatternOfThisTargetGoes) {
    // Cleaned by the start-up call and by a save alike.
    for (const bool bySave : {false, true}) {
        SCOPED_TRACE(bySave ? "save" : "start");
        QTemporaryDir dir;
        populate(dir.path());
        const QString target = dir.filePath("bestand.zip");
        if (bySave) {
            const model::Inventory inv = smallInventory();
            const CsvLines lines = buildLines(inv, 0, 0, KeyMode::Automatic, kClock);
            ASSERT_TRUE(lines.ok());
            ASSERT_TRUE(writeArchive(target, lines.fileData(), inv, 0, 0).ok());
        } else {
            EXPECT_EQ(removeSaveLeftovers(target), 3);
        }
        EXPECT_EQ(entriesOf(dir.path()), expectedAfterCleanup());
    }
}

TEST(SaveLeftovers, FoldersAndLinksOfThePatternStay) {
    QTemporaryDir dir;
    const QString target = dir.filePath("bestand.zip");
    touch(dir.filePath("fremd.txt"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(".bestand.zip.Dir123"));
    ASSERT_TRUE(QFile::link(dir.filePath("fremd.txt"), dir.filePath(".bestand.zip.Lnk123")));
    EXPECT_EQ(removeSaveLeftovers(target), 0);
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{".bestand.zip.Dir123", ".bestand.zip.Lnk123", "fremd.txt"}));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("fremd.txt")));
}

TEST(SaveLeftovers, FilesOfASaveStillRunningStay) {
    // Another save in the folder holds its lock shared, as every save of ours does while it writes.
    QTemporaryDir dir;
    populate(dir.path());
    const QString target = dir.filePath("bestand.zip");
    const int fd = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    EXPECT_EQ(removeSaveLeftovers(target), 0);
    const model::Inventory inv = smallInventory();
    const CsvLines lines = buildLines(inv, 0, 0, KeyMode::Automatic, kClock);
    ASSERT_TRUE(writeArchive(target, lines.fileData(), inv, 0, 0).ok());
    QStringList all;
    for (const auto& e : kEntries)
        all << e.name;
    all.sort();
    EXPECT_EQ(entriesOf(dir.path()), all);
    ::close(fd);
    // Once that save is over, the next call cleans.
    EXPECT_EQ(removeSaveLeftovers(target), 3);
}

TEST(SaveLeftovers, MissingFolderIsNoFailure) {
    QTemporaryDir dir;
    EXPECT_EQ(removeSaveLeftovers(dir.filePath("fehlt/bestand.zip")), 0);
    EXPECT_EQ(removeSaveLeftovers(QString()), 0);
}
