// Inventory archives: what is written, what is read back, and what happens when the disk or the file misbehaves.

#include "inventory/Archive.h"
#include "core/photo/photo_test_images.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "support/TestVehicles.h"
#include "support/ZipMembers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <map>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

using namespace tarmelo;
using namespace tarmelo::inventory;
using tarmelo::test::validVehicle;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));

QByteArray photoData(int seed) {
    return photo_test::jpeg(photo_test::noise(64, 48, std::uint32_t(seed)));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

using Member = test::ZipMember;

std::vector<Member> membersOf(const QString& path) {
    return test::zipMemberList(path);
}

// Writes an archive with exactly these members, deflated.
void makeArchive(const QString& path, const std::vector<std::pair<std::string, QByteArray>>& members) {
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(za, nullptr);
    for (const auto& [name, data] : members) {
        zip_source_t* s = zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0);
        // Equal names must stay two members, as other writers produce them.
        ASSERT_GE(zip_file_add(za, name.c_str(), s, ZIP_FL_ENC_RAW), 0) << name;
    }
    ASSERT_EQ(zip_close(za), 0);
}

// A valid vehicle whose category the reader recognises as one of class c.
model::TFahrzeug readableVehicle(int c) {
    model::TFahrzeug v = validVehicle(c);
    v.kategorie = model::listItems(model::field(u"kategorie")->list, c).value(2);
    v.lieferdatum = model::kEmptyDate; // as the editor stores an unfilled date
    return v;
}

model::Inventory inventoryWithPhotos() {
    model::Inventory inv;
    for (int c = 1; c <= 12; ++c) {
        model::TFahrzeug v = readableVehicle(c);
        v.modell = "Modell " + QByteArray::number(c);
        v.inr = "NR-" + QByteArray::number(c);
        // 0, 1, 2, ... photos; class 12 fills all fifteen slots.
        const int photos = c == 12 ? model::kPhotoSlots : c - 1;
        for (int k = 0; k < photos; ++k)
            v.bilder[size_t(k)] = photoData(100 * c + k);
        inv.append(v);
    }
    return inv;
}

QByteArray csvOf(const model::Inventory& inv, int first, int last, KeyMode mode = KeyMode::Automatic) {
    const CsvLines lines = buildLines(inv, first, last, mode, kClock);
    EXPECT_TRUE(lines.ok());
    return lines.fileData();
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(ArchivePath, ExtensionRule) {
    const struct {
        const char* in;
        const char* out;
        bool archive;
    } cases[] = {
        {"/a/bestand", "/a/bestand.zip", false},         {"/a/bestand.csv", "/a/bestand.csv.zip", false},
        {"/a/bestand.ZIP", "/a/bestand.ZIP", true},      {"/a/bestand.Zip", "/a/bestand.Zip", true},
        {"/a.zip/bestand", "/a.zip/bestand.zip", false}, {"/a/bestand.zip.bak", "/a/bestand.zip.bak.zip", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(archivePath(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
        EXPECT_EQ(isArchivePath(QString::fromUtf8(c.in)), c.archive) << c.in;
    }
}

TEST(ArchiveWriter, MembersNamesAndCompression) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    const QString target = dir.filePath("bestand.zip");
    const QByteArray csv = csvOf(inv, 0, 11);
    ASSERT_TRUE(writeArchive(target, csv, inv, 0, 11).ok());
    const std::vector<Member> members = membersOf(target);
    ASSERT_FALSE(members.empty());
    EXPECT_EQ(members[0].name, "fzg.csv");
    EXPECT_EQ(members[0].data, csv);
    EXPECT_EQ(members[0].method, ZIP_CM_DEFLATE);
    std::vector<std::string> photos;
    for (size_t i = 1; i < members.size(); ++i) {
        EXPECT_EQ(members[i].method, ZIP_CM_STORE) << members[i].name;
        photos.push_back(members[i].name);
    }
    std::vector<std::string> expected;
    for (int c = 1; c <= 12; ++c)
        for (int k = 1; k <= (c == 12 ? 15 : c - 1); ++k)
            expected.push_back(std::to_string(c) + "_" + std::to_string(k) + ".jpg");
    EXPECT_EQ(photos, expected);
    EXPECT_EQ(members.back().data, inv[11].bilder[14]);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"bestand.zip"}) << "no temporary file stays behind";
}

// The archive is written in blocks of a few megabytes; members smaller, larger and across a block's end keep their
// bytes, and every local header agrees with the central directory.
TEST(ArchiveWriter, MembersAcrossTheWriteBlocks) {
    QTemporaryDir dir;
    model::Inventory inv{readableVehicle(1)};
    const qsizetype sizes[] = {70'000, (4 << 20) - 20, (4 << 20) + 7, 9 << 20, 3'000};
    for (size_t k = 0; k < std::size(sizes); ++k)
        inv[0].bilder[k] = photo_test::paddedTo(photoData(int(k)), sizes[k]);
    const QString target = dir.filePath("gross.zip");
    for (const bool durable : {true, false}) {
        WriteOptions options;
        options.durable = durable;
        ASSERT_TRUE(writeArchive(target, csvOf(inv, 0, 0), inv, 0, 0, options).ok());
        const std::vector<Member> members = membersOf(target);
        ASSERT_EQ(members.size(), 1 + std::size(sizes)) << "read with the consistency check";
        for (size_t k = 0; k < std::size(sizes); ++k)
            EXPECT_EQ(members[k + 1].data, inv[0].bilder[k]) << members[k + 1].name;
    }
}

TEST(ArchiveWriter, SingleVehicleAndPhotoGaps) {
    QTemporaryDir dir;
    model::Inventory inv = inventoryWithPhotos();
    // Slots 1, 2 and 4: writing stops at the first empty slot.
    inv[4].bilder = {};
    inv[4].bilder[0] = photoData(1);
    inv[4].bilder[1] = photoData(2);
    inv[4].bilder[3] = photoData(4);
    const QString target = dir.filePath("einzeln.zip");
    const QByteArray csv = csvOf(inv, 4, 4);
    EXPECT_TRUE(csv.startsWith("1;")) << "a single vehicle is at position 1";
    ASSERT_TRUE(writeArchive(target, csv, inv, 4, 4).ok());
    std::vector<std::string> names;
    for (const Member& m : membersOf(target))
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"fzg.csv", "1_1.jpg", "1_2.jpg"}));
}

TEST(ArchiveRoundTrip, EveryClassWithItsPhotos) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    for (const KeyMode mode : {KeyMode::Automatic, KeyMode::Typed}) {
        SCOPED_TRACE(int(mode));
        const QString target = dir.filePath("bestand.zip");
        const QByteArray csv = csvOf(inv, 0, 11, mode);
        ASSERT_TRUE(writeArchive(target, csv, inv, 0, 11).ok());
        int calls = 0;
        const OpenResult back = readInventoryFile(target, [&calls](int) { ++calls; });
        ASSERT_TRUE(back.ok()) << back.message().toStdString();
        EXPECT_TRUE(back.message().isEmpty());
        EXPECT_GT(calls, 11);
        ASSERT_EQ(back.vehicles.size(), 12);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(back.vehicles[i].klasse, i + 1);
            EXPECT_EQ(back.vehicles[i].kennung, QByteArray::number(i + 1));
            EXPECT_EQ(back.vehicles[i].modell, inv[i].modell);
            EXPECT_EQ(back.vehicles[i].bilder, inv[i].bilder) << "photos of vehicle " << i + 1;
        }
        if (mode == KeyMode::Typed) {
            EXPECT_EQ(back.vehicles[3].inr, "NR-4");
        }
        // Saved again, the same lines come out (the automatic key of column 2 is made from the content).
        const QList<QByteArray> before = splitLines(model::lowerCp1252(csv));
        const QList<QByteArray> again = splitLines(model::lowerCp1252(csvOf(back.vehicles, 0, 11, mode)));
        ASSERT_EQ(again.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            QList<QByteArray> a = before[i].split(';'), b = again[i].split(';');
            if (mode == KeyMode::Automatic)
                a[1] = b[1] = {};
            ASSERT_EQ(b.size(), a.size());
            for (int k = 0; k < a.size(); ++k)
                EXPECT_EQ(b[k].toStdString(), a[k].toStdString()) << "line " << i + 1 << " column " << k + 1;
        }
    }
}

// The bar moves while an archive's members are read, not only with the lines, and never goes back.
TEST(ArchiveRoundTrip, ProgressRisesThroughMembersAndLines) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    const QByteArray csv = csvOf(inv, 0, 11);
    ASSERT_TRUE(writeArchive(dir.filePath("bestand.zip"), csv, inv, 0, 11).ok());
    writeBytes(dir.filePath("bestand.csv"), csv);
    const struct {
        const char* file;
        bool members;
    } cases[] = {{"bestand.zip", true}, {"bestand.csv", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QList<int> seen;
        ASSERT_TRUE(readInventoryFile(dir.filePath(c.file), [&seen](int p) { seen.append(p); }).ok());
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GE(seen.last(), 90) << "the lines fill the rest";
        const bool rose = std::any_of(seen.begin(), seen.end(), [](int p) { return p > 0 && p < kMembersPercent; });
        EXPECT_EQ(rose, c.members);
    }
}

TEST(ArchiveWriter, ReplacesAnOldFileAndKeepsItsPermissions) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    const QString target = dir.filePath("bestand.zip");
    writeBytes(target, "alt");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(writeArchive(target, csvOf(inv, 0, 1), inv, 0, 1).ok());
    struct stat st {};
    ::stat(QFile::encodeName(target).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(membersOf(target).size(), 2u);

    // A link keeps pointing at the archive it named.
    const QString link = dir.filePath("link.zip");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(writeArchive(link, csvOf(inv, 0, 2), inv, 0, 2).ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(membersOf(target).size(), 4u);
}

TEST(ArchiveWriter, FailuresLeaveTheOldFileAndNothingElse) {
    const struct {
        const char* name;
        WriteStage stage;
        int error;
        bool oldFile;
        SaveFailure expected;
    } cases[] = {
        {"full while writing", WriteStage::Write, ENOSPC, true, SaveFailure::MediumFull},
        {"quota while writing", WriteStage::Write, EDQUOT, false, SaveFailure::MediumFull},
        {"full while flushing", WriteStage::Sync, ENOSPC, true, SaveFailure::MediumFull},
        {"i/o error while flushing", WriteStage::Sync, EIO, true, SaveFailure::Other},
        {"no access to the folder", WriteStage::Create, EACCES, false, SaveFailure::AccessDenied},
        {"read-only medium", WriteStage::Create, EROFS, true, SaveFailure::AccessDenied},
        {"old file cannot be replaced", WriteStage::Replace, EBUSY, true, SaveFailure::CannotReplace},
        {"new file cannot be put in place", WriteStage::Replace, EIO, false, SaveFailure::Other},
    };
    const model::Inventory inv = inventoryWithPhotos();
    const QByteArray csv = csvOf(inv, 0, 11);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString target = dir.filePath("bestand.zip");
        const QByteArray old = "das alte Archiv";
        if (c.oldFile)
            writeBytes(target, old);
        WriteOptions options;
        options.inject = [&c](WriteStage s) { return s == c.stage ? c.error : 0; };
        const SaveResult r = writeArchive(target, csv, inv, 0, 11, options);
        EXPECT_EQ(r.failure, c.expected);
        EXPECT_FALSE(r.message().isEmpty());
        EXPECT_EQ(entriesOf(dir.path()), c.oldFile ? QStringList{"bestand.zip"} : QStringList{});
        if (c.oldFile) {
            EXPECT_EQ(fileBytes(target), old);
        }
    }
}

TEST(ArchiveWriter, Messages) {
    const struct {
        SaveFailure failure;
        const char* text;
        bool error;
    } cases[] = {
        {SaveFailure::CannotReplace,
         "Eine Datei mit dem Namen \"b.zip\" existiert bereits und kann nicht\nüberschrieben werden.\n\n"
         "Versuchen Sie, die Datei unter einem anderen Namen zu speichern!",
         false},
        {SaveFailure::AccessDenied,
         "Der Zugriff auf das Laufwerk wurde verweigert.\n"
         "Versuchen Sie, die Datei auf einem anderen Laufwerk zu speichern!",
         false},
        {SaveFailure::MediumFull,
         "Die Datei konnte nicht gespeichert werden. Das Speichermedium ist voll.\n"
         "Versuchen Sie, die Datei auf einem anderen Laufwerk zu speichern!",
         true},
        {SaveFailure::Other, "Die Datei konnte nicht gespeichert werden. Ziellaufwerk überprüfen!", true},
    };
    for (const auto& c : cases) {
        const SaveResult r{c.failure, QStringLiteral("/x/b.zip")};
        EXPECT_EQ(r.message(), QString::fromUtf8(c.text));
        EXPECT_EQ(r.isError(), c.error);
    }
}

TEST(ArchiveWriter, TargetsThatCannotBeWritten) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    const QByteArray csv = csvOf(inv, 0, 0);
    // A folder of the target's name cannot be replaced by a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ordner.zip"));
    EXPECT_EQ(writeArchive(dir.filePath("ordner.zip"), csv, inv, 0, 0).failure, SaveFailure::CannotReplace);
    EXPECT_EQ(writeArchive(dir.filePath("fehlt/b.zip"), csv, inv, 0, 0).failure, SaveFailure::Other);
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
        EXPECT_EQ(writeArchive(dir.filePath("neu.zip"), csv, inv, 0, 0).failure, SaveFailure::AccessDenied);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    }
}

// A real write failure without privileges: the file size limit makes write() fail with EFBIG.
TEST(ArchiveWriter, FileSizeLimitCountsAsAFullMedium) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    const QString target = dir.filePath("bestand.zip");
    writeBytes(target, "alt");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 20000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const SaveResult r = writeArchive(target, csvOf(inv, 0, 11), inv, 0, 11);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(r.failure, SaveFailure::MediumFull);
    EXPECT_EQ(fileBytes(target), "alt");
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"bestand.zip"});
}

TEST(ArchiveWriter, RealFullFileSystem) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs: " << std::strerror(errno);
    model::Inventory inv = inventoryWithPhotos();
    for (model::TFahrzeug& v : inv)
        for (int k = 0; k < model::kPhotoSlots; ++k)
            v.bilder[size_t(k)] = photo_test::jpeg(photo_test::noise(200, 150, std::uint32_t(k)));
    const QString target = dir.filePath("bestand.zip");
    const QByteArray old = photo_test::jpeg(photo_test::noise(100, 100));
    writeBytes(target, old);
    const SaveResult r = writeArchive(target, csvOf(inv, 0, 11), inv, 0, 11);
    const QByteArray after = fileBytes(target);
    const QStringList left = entriesOf(dir.path());
    ::umount(mountPoint.constData());
    EXPECT_EQ(r.failure, SaveFailure::MediumFull);
    EXPECT_EQ(after, old) << "the old archive is unchanged";
    EXPECT_EQ(left, QStringList{"bestand.zip"}) << "no temporary file stays behind";
}

// ---- reading ----

QByteArray lineOf(int c, const char* kennung = nullptr) {
    model::Inventory one{readableVehicle(c)};
    QByteArray line = buildLines(one, 0, 0, KeyMode::Automatic, kClock).lines.value(0);
    if (kennung)
        line = QByteArray(kennung) + line.mid(line.indexOf(';'));
    return line + "\r\n";
}

TEST(ArchiveReader, MemberNamesOnlyContributeTheirBareName) {
    QTemporaryDir dir;
    const QByteArray p1 = photoData(1), p2 = photoData(2), p3 = photoData(3), p4 = photoData(4);
    const QString path = dir.filePath("fremd.zip");
    makeArchive(path, {
                          {"../../../fzg.csv", lineOf(1) + lineOf(2, "2") + lineOf(3, "1")},
                          {"/etc/1_1.jpg", p1},
                          {"C:\\Daten\\1_2.JPG", p2},
                          {"a/b/1_2.jpg", p3}, // later member of the same bare name wins
                          {"..\\2_1.jpg", p4},
                          {"1_4.jpg/", {}}, // a folder entry
                          {"readme.txt", "x"},
                      });
    const OpenResult r = readInventoryFile(path);
    ASSERT_TRUE(r.ok()) << r.message().toStdString();
    ASSERT_EQ(r.vehicles.size(), 3);
    EXPECT_EQ(r.vehicles[0].bilder[0], p1);
    EXPECT_EQ(r.vehicles[0].bilder[1], p3);
    EXPECT_TRUE(r.vehicles[0].bilder[2].isEmpty());
    EXPECT_EQ(r.vehicles[1].bilder[0], p4);
    EXPECT_EQ(r.vehicles[2].bilder, r.vehicles[0].bilder) << "equal first columns share the photos";
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"fremd.zip"}) << "nothing is extracted to disk";
}

TEST(ArchiveReader, PhotosFillTheSlotsWithoutGaps) {
    QTemporaryDir dir;
    const QByteArray p1 = photoData(1), p3 = photoData(3), p15 = photoData(15);
    const QString path = dir.filePath("a.zip");
    makeArchive(path, {{"FZG.CSV", lineOf(1)},
                       {"1_3.jpg", p3},
                       {"1_1.jpg", p1},
                       {"1_2.jpg", "kein Bild"},
                       {"1_15.jpg", p15},
                       {"1_16.jpg", photoData(16)}});
    const OpenResult r = readInventoryFile(path);
    ASSERT_EQ(r.vehicles.size(), 1);
    const auto& b = r.vehicles[0].bilder;
    EXPECT_EQ(b[0], p1);
    EXPECT_EQ(b[1], p3) << "the broken 1_2.jpg is skipped";
    EXPECT_EQ(b[2], p15);
    EXPECT_EQ(model::countPhotos(r.vehicles[0]), 3);
}

TEST(ArchiveReader, BigPhotosAreReducedOnTheWayIn) {
    QTemporaryDir dir;
    const QByteArray big = photo_test::jpeg(photo_test::noise(1600, 1200));
    ASSERT_GE(big.size(), 450000);
    const QString path = dir.filePath("a.zip");
    makeArchive(path, {{"fzg.csv", lineOf(1)}, {"1_1.jpg", big}});
    const OpenResult r = readInventoryFile(path);
    ASSERT_EQ(r.vehicles.size(), 1);
    EXPECT_EQ(photo_test::decodedSize(r.vehicles[0].bilder[0]), QSize(400, 300));
}

TEST(ArchiveReader, OutcomesAndMessages) {
    QTemporaryDir dir;
    const QByteArray ten = [] {
        QByteArray t;
        for (int i = 0; i < 10; ++i)
            t += i == 3 || i == 7 ? QByteArray("kaputt\r\n") : lineOf(1 + i % 12);
        return t;
    }();
    const QString kNoVehicles =
        QStringLiteral("Es konnten keine Fahrzeuge importiert werden. Vermutlich entspricht die\n"
                       "angegebene Datei nicht dem von Karvento definierten Import-/Exportformat.");
    const QString kBroken =
        QStringLiteral("Fehler: Die angegebene Datei ist fehlerhaft und kann nicht importiert werden.");
    const QString kNoLines = QStringLiteral("Die Datei enthält keine Fahrzeuginformationen.");
    const struct {
        const char* name;
        const char* file;
        std::vector<std::pair<std::string, QByteArray>> members; // empty: a plain file
        QByteArray plain;
        OpenFailure failure;
        int vehicles;
        QString message;
    } cases[] = {
        {"plain file with rejected lines",
         "b.csv",
         {},
         ten,
         OpenFailure::None,
         8,
         QStringLiteral("2 von 10 Fahrzeugen konnte(n) nicht importiert werden.")},
        {"lone CR and LF split lines too",
         "b.txt",
         {},
         lineOf(1).replace("\r\n", "\r") + lineOf(2).replace("\r\n", "\n"),
         OpenFailure::None,
         2,
         QString()},
        {"empty file", "leer.csv", {}, "", OpenFailure::NoLines, 0, kNoLines},
        {"only line breaks", "umbrueche.csv", {}, "\r\n\n\r", OpenFailure::NoVehicles, 0, kNoVehicles},
        {"archive without line file",
         "ohne.zip",
         {{"1_1.jpg", photoData(1)}},
         {},
         OpenFailure::NoCsv,
         0,
         QStringLiteral("Die angegebene Datei enthält keine Fahrzeuginformationen oder entspricht\n"
                        "nicht dem von Karvento definierten Import-/Exportformat.")},
        {"archive with an empty line file", "leer.zip", {{"fzg.csv", ""}}, {}, OpenFailure::NoLines, 0, kNoLines},
        {"the first of two line files",
         "zwei.zip",
         {{"b.csv", lineOf(2)}, {"a.csv", lineOf(1) + lineOf(1)}},
         {},
         OpenFailure::None,
         1,
         QString()},
        {"archive read as text under another name",
         "archiv.csv",
         {},
         QByteArray(),
         OpenFailure::NoVehicles,
         0,
         kNoVehicles},
        {"text named .zip", "text.zip", {}, "1;2;3\r\n", OpenFailure::Broken, 0, kBroken},
        {"missing file", "fehlt.csv", {}, QByteArray(), OpenFailure::Broken, 0, kBroken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.file));
        if (!c.members.empty())
            makeArchive(path, c.members);
        else if (QByteArray(c.file) == "archiv.csv")
            makeArchive(path, {{"fzg.csv", lineOf(1)}});
        else if (QByteArray(c.file) != "fehlt.csv")
            writeBytes(path, c.plain);
        const OpenResult r = readInventoryFile(path);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(r.vehicles.size(), c.vehicles);
        EXPECT_EQ(r.message(), c.message);
        EXPECT_EQ(r.isError(), c.failure == OpenFailure::Broken);
    }
}

TEST(ArchiveReader, DamagedAndHostileArchivesAreRefused) {
    QTemporaryDir dir;
    const model::Inventory inv = inventoryWithPhotos();
    const QString good = dir.filePath("gut.zip");
    ASSERT_TRUE(writeArchive(good, csvOf(inv, 0, 11), inv, 0, 11).ok());
    const QByteArray bytes = fileBytes(good);

    const QString truncated = dir.filePath("halb.zip");
    writeBytes(truncated, bytes.left(bytes.size() / 2));
    QByteArray flipped = bytes;
    // Inside the stored data of a photo: its CRC no longer matches.
    const qsizetype at = flipped.indexOf(inv[11].bilder[3].mid(100, 32));
    ASSERT_GT(at, 0);
    flipped[at] = char(flipped[at] ^ 0x55);
    const QString damaged = dir.filePath("kaputt.zip");
    writeBytes(damaged, flipped);

    // Ten megabytes of zeros deflate to a few kilobytes.
    const QString bomb = dir.filePath("bombe.zip");
    makeArchive(bomb, {{"fzg.csv", lineOf(1)}, {"1_1.jpg", QByteArray(10 << 20, '\0')}});
    ASSERT_LT(QFileInfo(bomb).size(), 100000);
    // The same with sizes that lie: the central directory and local header claim 10 bytes.
    QByteArray lying = fileBytes(bomb);
    // 10 << 20 is 0x00a00000, little endian 00 00 a0 00.
    const QByteArray size = QByteArray::fromHex("0000a000");
    for (qsizetype i = 0; (i = lying.indexOf(size, i)) >= 0; i += 4)
        lying.replace(i, 4, QByteArray::fromHex("0a000000"));
    const QString liar = dir.filePath("luege.zip");
    writeBytes(liar, lying);

    ReadLimits small;
    small.memberBytes = 1 << 20;
    small.inflatedBase = 1 << 20;
    const struct {
        const char* name;
        QString path;
        ReadLimits limits;
    } cases[] = {
        {"truncated", truncated, {}},
        {"damaged member", damaged, {}},
        {"member beyond the limit", bomb, small},
        {"member beyond the limit with lying sizes", liar, small},
        {"all members beyond the ratio", good, ReadLimits{1 << 20, 1000, 0}},
    };
    if (QFileInfo::exists("/dev/zero")) {
        // A device without a size under a name that reads as text.
        const QString endless = dir.filePath("endlos.csv");
        ASSERT_TRUE(QFile::link("/dev/zero", endless));
        EXPECT_EQ(readInventoryFile(endless, {}, small).failure, OpenFailure::Broken);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OpenResult r = readInventoryFile(c.path, {}, c.limits);
        EXPECT_EQ(r.failure, OpenFailure::Broken);
        EXPECT_TRUE(r.vehicles.isEmpty());
    }
    EXPECT_TRUE(readInventoryFile(bomb).ok()) << "the default limits accept ten megabytes";
}

} // namespace
