// Fails every file system call of a save in turn: a failed save leaves the old file byte for byte, no
// temporary file stays, and the message names the failure; the save that hits no fault writes the new file.

#include "SyscallFaults.h"
#include "core/photo/photo_test_images.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "shell/Settings.h"
#include "support/TestVehicles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace tarmelo;
using namespace tarmelo::inventory;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

model::Inventory makeInventory(int vehicles, int photos) {
    model::Inventory inv;
    for (int i = 0; i < vehicles; ++i) {
        model::TFahrzeug v = test::validVehicle(1);
        v.kategorie = model::listItems(model::field(u"kategorie")->list, 1).value(2);
        v.modell = "Modell " + QByteArray::number(i);
        for (int k = 0; k < photos; ++k)
            v.bilder[size_t(k)] = photo_test::jpeg(photo_test::noise(64, 48, std::uint32_t(10 * i + k)));
        inv.append(v);
    }
    return inv;
}

// The failures a save may report for a fault of this errno.
const struct {
    const char* name;
    int error;
    QList<SaveFailure> allowed;
} kErrors[] = {
    {"full medium", ENOSPC, {SaveFailure::MediumFull}},
    {"i/o error", EIO, {SaveFailure::Other, SaveFailure::CannotReplace}},
    {"no access", EACCES, {SaveFailure::AccessDenied, SaveFailure::CannotReplace}},
};

constexpr int kMaxCalls = 500;

} // namespace

TEST(SaveFaults, EveryCallOfAnArchiveSaveFailsInTurn) {
    const model::Inventory oldInv = makeInventory(2, 1);
    const model::Inventory newInv = makeInventory(4, 3);
    const QByteArray newCsv = buildLines(newInv, 0, 3, KeyMode::Automatic, kClock).fileData();
    // What the new archive reads back as, from a save without faults.
    QTemporaryDir refDir;
    const QString ref = refDir.filePath("neu.zip");
    ASSERT_TRUE(writeArchive(ref, newCsv, newInv, 0, 3).ok());
    const model::Inventory newRead = readInventoryFile(ref).vehicles;
    ASSERT_EQ(newRead.size(), 4);
    for (const auto& e : kErrors) {
        for (const int variant : {0, 1, 2}) {
            // The upload's scratch archive skips the flush and must keep every other promise.
            const bool existed = variant != 1;
            WriteOptions options;
            options.durable = variant != 2;
            SCOPED_TRACE(std::string(e.name) + (existed ? ", over an old archive" : ", new archive") +
                         (options.durable ? "" : ", not flushed"));
            QTemporaryDir dir;
            const QString target = dir.filePath("bestand.zip");
            QByteArray old;
            if (existed) {
                ASSERT_TRUE(
                    writeArchive(target, buildLines(oldInv, 0, 1, KeyMode::Automatic, kClock).fileData(), oldInv, 0, 1)
                        .ok());
                old = fileBytes(target);
            }
            int k = 1;
            for (; k <= kMaxCalls; ++k) {
                SCOPED_TRACE("call " + std::to_string(k));
                faults::arm(k, e.error);
                const SaveResult r = writeArchive(target, newCsv, newInv, 0, 3, options);
                const int calls = faults::disarm();
                if (!faults::hit()) {
                    // The first run past the last call: a clean save.
                    EXPECT_TRUE(r.ok());
                    EXPECT_GT(calls, 5);
                    RecordProperty(std::string("calls, ") + e.name + (existed ? ", replacing" : ", new") +
                                       (options.durable ? "" : ", not flushed"),
                                   calls);
                    break;
                }
                SCOPED_TRACE(std::string("failed ") + faults::name(faults::hitCall()));
                EXPECT_EQ(entriesOf(dir.path()), existed || r.ok() ? QStringList{"bestand.zip"} : QStringList{});
                if (r.ok()) {
                    // A fault after the archive was in place (the folder's flush) changes nothing for the user.
                    EXPECT_TRUE(readInventoryFile(target).vehicles == newRead);
                } else {
                    EXPECT_TRUE(e.allowed.contains(r.failure)) << r.message().toStdString();
                    EXPECT_FALSE(r.message().isEmpty());
                    if (existed) {
                        EXPECT_EQ(fileBytes(target), old);
                    }
                }
                if (existed && fileBytes(target) != old) {
                    QFile::remove(target);
                    QFile f(target);
                    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                    f.write(old);
                }
                if (!existed)
                    QFile::remove(target);
            }
            EXPECT_LE(k, kMaxCalls);
            EXPECT_TRUE(readInventoryFile(target).vehicles == newRead);
            EXPECT_EQ(entriesOf(dir.path()), QStringList{"bestand.zip"});
        }
    }
}

TEST(SaveFaults, EveryCallOfASettingsSaveFailsInTurn) {
    shell::Settings oldSettings;
    oldSettings.File[0] = QStringLiteral("/home/händler/alt.zip");
    shell::Settings newSettings = oldSettings;
    newSettings.File[0] = QStringLiteral("/home/händler/neu.zip");
    newSettings.Username = QStringLiteral("autohaus");
    for (const auto& e : kErrors) {
        for (const bool existed : {true, false}) {
            SCOPED_TRACE(std::string(e.name) + (existed ? ", over an old file" : ", new file"));
            QTemporaryDir dir;
            const QString path = dir.filePath("config.ini");
            QByteArray old;
            if (existed) {
                ASSERT_TRUE(shell::saveSettingsFile(path, oldSettings, nullptr));
                old = fileBytes(path);
            }
            int k = 1;
            for (; k <= kMaxCalls; ++k) {
                SCOPED_TRACE("call " + std::to_string(k));
                QString error;
                faults::arm(k, e.error);
                const bool ok = shell::saveSettingsFile(path, newSettings, &error);
                const int calls = faults::disarm();
                if (!faults::hit()) {
                    EXPECT_TRUE(ok);
                    RecordProperty(std::string("calls, ") + e.name + (existed ? ", replacing" : ", new"), calls);
                    break;
                }
                SCOPED_TRACE(std::string("failed ") + faults::name(faults::hitCall()));
                if (ok) {
                    EXPECT_EQ(fileBytes(path), shell::writeSettings(newSettings));
                } else {
                    EXPECT_FALSE(error.isEmpty());
                    if (existed) {
                        EXPECT_EQ(fileBytes(path), old);
                    } else {
                        EXPECT_FALSE(QFileInfo::exists(path));
                    }
                }
                EXPECT_EQ(entriesOf(dir.path()), existed || ok ? QStringList{"config.ini"} : QStringList{});
                // Back to the starting point for the next call.
                QFile::remove(path);
                if (existed) {
                    QFile f(path);
                    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                    f.write(old);
                }
            }
            EXPECT_LE(k, kMaxCalls);
            EXPECT_EQ(shell::loadSettingsFile(path), newSettings);
            EXPECT_EQ(entriesOf(dir.path()), QStringList{"config.ini"});
        }
    }
}
