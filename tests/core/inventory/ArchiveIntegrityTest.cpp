// Archives that lie about their members, or change while they are read, are refused as a whole.

#include "core/photo/photo_test_images.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "support/TestVehicles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <zip.h>

using namespace tarmelo;
using namespace tarmelo::inventory;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Three vehicles, two photos each, as the program saves them.
QByteArray savedArchive(const QString& folder) {
    model::Inventory inv;
    for (int i = 0; i < 3; ++i) {
        model::TFahrzeug v = test::validVehicle(1);
        v.kategorie = model::listItems(model::field(u"kategorie")->list, 1).value(2);
        v.modell = "Modell " + QByteArray::number(i);
        for (int k = 0; k < 2; ++k)
            v.bilder[size_t(k)] = photo_test::jpeg(photo_test::noise(64, 48, std::uint32_t(10 * i + k)));
        inv.append(v);
    }
    const CsvLines lines = buildLines(inv, 0, 2, KeyMode::Automatic, kClock);
    EXPECT_TRUE(lines.ok());
    const QString path = QDir(folder).filePath("vorlage.zip");
    EXPECT_TRUE(writeArchive(path, lines.fileData(), inv, 0, 2).ok());
    return fileBytes(path);
}

void put32(QByteArray& data, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = char((value >> (8 * i)) & 0xff);
}

quint32 get32(const QByteArray& data, qsizetype at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(data[at + i]);
    return v;
}

// Where the headers of a member begin: its local header and its central directory entry.
struct Headers {
    qsizetype local = -1;
    qsizetype central = -1;
};

Headers headersOf(const QByteArray& zip, const QByteArray& name) {
    Headers h;
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
        const int nameLength = quint8(zip[at + 28]) | quint8(zip[at + 29]) << 8;
        if (zip.mid(at + 46, nameLength) == name) {
            h.central = at;
            h.local = qsizetype(get32(zip, at + 42));
        }
    }
    return h;
}

} // namespace

TEST(ArchiveIntegrity, MembersThatLieAboutTheirSizesAreRefused) {
    // Offsets of CRC, compressed and uncompressed size in the central entry; the local header has them at -2.
    enum Field { Crc = 16, Packed = 20, Plain = 24 };
    const struct {
        const char* name;
        const char* member;
        Field field;
        qint64 delta;
        bool alsoLocal;
    } cases[] = {
        {"line file says it is shorter", "fzg.csv", Plain, -10, true},
        {"line file says it is longer", "fzg.csv", Plain, +10, true},
        {"line file packed size shorter", "fzg.csv", Packed, -5, true},
        {"line file CRC wrong", "fzg.csv", Crc, +1, true},
        {"photo says it is shorter", "2_1.jpg", Plain, -100, true},
        {"photo says it is longer", "2_1.jpg", Plain, +100, true},
        {"photo stored size shorter in both", "2_2.jpg", Packed, -100, true},
        {"photo CRC wrong", "3_2.jpg", Crc, +1, true},
        {"only the central entry lies", "1_1.jpg", Plain, -1, false},
    };
    QTemporaryDir dir;
    const QByteArray good = savedArchive(dir.path());
    ASSERT_FALSE(good.isEmpty());
    ASSERT_TRUE(readInventoryArchive(good).ok());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bad = good;
        const Headers h = headersOf(bad, c.member);
        ASSERT_GE(h.central, 0);
        put32(bad, h.central + c.field, quint32(qint64(get32(bad, h.central + c.field)) + c.delta));
        if (c.alsoLocal)
            put32(bad, h.local + c.field - 2, quint32(qint64(get32(bad, h.local + c.field - 2)) + c.delta));
        const QString path = dir.filePath("gelogen.zip");
        writeBytes(path, bad);
        for (const OpenResult& r : {readInventoryFile(path), readInventoryArchive(bad)}) {
            EXPECT_EQ(r.failure, OpenFailure::Broken);
            EXPECT_TRUE(r.vehicles.isEmpty());
            EXPECT_TRUE(r.message().contains(QStringLiteral("fehlerhaft")));
        }
    }
}

TEST(ArchiveIntegrity, AnArchiveChangedWhileItIsReadIsRefused) {
    const struct {
        const char* name;
        void (*change)(const QString& path, const QByteArray& good);
        bool broken;
    } cases[] = {
        {"appended to",
         [](const QString& path, const QByteArray&) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::Append));
             f.write("angehängt");
         },
         true},
        {"rewritten in place, same size",
         [](const QString& path, const QByteArray& good) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             QByteArray other = good;
             other[other.size() / 2] = char(~other[other.size() / 2]);
             f.write(other);
         },
         true},
        {"truncated", [](const QString& path, const QByteArray&) { ASSERT_TRUE(QFile::resize(path, 100)); }, true},
        // A save of ours replaces the file by a rename: what is being read stays whole.
        {"replaced by another file",
         [](const QString& path, const QByteArray& good) {
             const QString other = path + ".neu";
             writeBytes(other, good.left(good.size() / 2));
             ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
         },
         false},
    };
    QTemporaryDir dir;
    const QByteArray good = savedArchive(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("bestand.zip");
        writeBytes(path, good);
        bool changed = false;
        const OpenResult r = readInventoryFile(path, [&](int) {
            if (!changed) {
                changed = true;
                c.change(path, good);
            }
        });
        ASSERT_TRUE(changed);
        EXPECT_EQ(r.failure, c.broken ? OpenFailure::Broken : OpenFailure::None);
        EXPECT_EQ(r.vehicles.size(), c.broken ? 0 : 3);
    }
}

TEST(ArchiveIntegrity, FromMemoryReadsAsFromTheFile) {
    QTemporaryDir dir;
    const QByteArray good = savedArchive(dir.path());
    const OpenResult fromFile = readInventoryFile(dir.filePath("vorlage.zip"));
    const OpenResult fromMemory = readInventoryArchive(good);
    ASSERT_TRUE(fromFile.ok());
    EXPECT_EQ(fromMemory.failure, fromFile.failure);
    EXPECT_EQ(fromMemory.lines, fromFile.lines);
    EXPECT_EQ(fromMemory.vehicles, fromFile.vehicles);
    for (const QByteArray& junk : {QByteArray("PK\x05\x06", 4), good.left(good.size() - 1), good.mid(1)})
        EXPECT_EQ(readInventoryArchive(junk).failure, OpenFailure::Broken);
}
