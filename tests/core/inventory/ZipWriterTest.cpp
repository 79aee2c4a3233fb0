#include "inventory/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

using namespace tarmelo::inventory;

namespace {

struct Read {
    QList<QByteArray> names;
    QList<QByteArray> data;
    bool ok = false;
};

// Every member as libzip reads it, with its consistency checks on.
Read readBack(const QString& path) {
    Read r;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!za)
        return r;
    r.ok = true;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st);
        QByteArray data(qsizetype(st.size), '\0');
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        r.ok = r.ok && f && zip_fread(f, data.data(), st.size) == zip_int64_t(st.size);
        if (f)
            zip_fclose(f); // a CRC that does not match fails here
        r.names << QByteArray(zip_get_name(za, zip_uint64_t(i), ZIP_FL_ENC_RAW));
        r.data << data;
    }
    zip_discard(za);
    return r;
}

int write(const QString& path, const QList<ZipMember>& members, const ZipWriteOptions& options = {}) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int e = writeZip(fd, members, options);
    ::close(fd);
    return e;
}

bool infoZipTests(const QString& path) {
    QProcess unzip;
    unzip.start("unzip", {"-tqq", path});
    return unzip.waitForFinished(120000) && unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() == 0;
}

} // namespace

// What libzip and Info-ZIP read back is what was written: stored and deflated members, names in Windows-1252 and
// UTF-8, CRCs made here or known before, and ZIP64 records as a large archive has them.
TEST(ZipWriterTest, ReadBackByLibzipAndInfoZip) {
    QTemporaryDir dir;
    const QByteArray csv = QByteArray("1;\"A\";Zeile;\r\n").repeated(2000);
    QByteArray photo(300000, '\0');
    for (qsizetype i = 0; i < photo.size(); ++i)
        photo[i] = char((i * 7919) % 251);
    const quint32 crc =
        quint32(::crc32_z(0, reinterpret_cast<const Bytef*>(photo.constData()), z_size_t(photo.size())));
    const QList<ZipMember> members{{"fzg.csv", csv, true, std::nullopt},
                                   {"A_1.jpg", photo, false, crc},
                                   {"M\xfcller_1.jpg", photo.left(1000), false, std::nullopt},
                                   {"Gr\xc3\xb6\xc3\x9f"
                                    "e_1.jpg",
                                    "x", false, std::nullopt},
                                   {"leer_1.jpg", QByteArray(), false, std::nullopt}};
    for (bool zip64 : {false, true}) {
        SCOPED_TRACE(zip64 ? "ZIP64" : "ZIP");
        const QString path = dir.filePath(zip64 ? "64.zip" : "32.zip");
        QList<int> progress;
        ZipWriteOptions o;
        o.forceZip64 = zip64;
        o.progress = [&progress](int p) { progress << p; };
        ASSERT_EQ(write(path, members, o), 0);
        const Read r = readBack(path);
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.names.size(), members.size());
        for (qsizetype i = 0; i < members.size(); ++i) {
            EXPECT_EQ(r.names[i], members[i].name);
            EXPECT_TRUE(r.data[i] == members[i].data) << members[i].name.constData();
        }
        EXPECT_TRUE(infoZipTests(path));
        EXPECT_EQ(progress.last(), 100);
        EXPECT_LT(QFileInfo(path).size(), csv.size() + photo.size() + 2000); // fzg.csv went deflated
    }
}

// Beyond 65 535 members the count needs the ZIP64 end records; thousands of members go out in few calls.
TEST(ZipWriterTest, MoreMembersThanTheClassicCountHolds) {
    QTemporaryDir dir;
    QList<ZipMember> members;
    for (int i = 0; i < 70000; ++i)
        members.append({QByteArray::number(i) + "_1.jpg", QByteArray::number(i * 3), false, std::nullopt});
    const QString path = dir.filePath("viele.zip");
    ASSERT_EQ(write(path, members), 0);
    const Read r = readBack(path);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.names.size(), 70000);
    EXPECT_EQ(r.names[69999], "69999_1.jpg");
    EXPECT_EQ(r.data[69999], QByteArray::number(69999 * 3));
    EXPECT_TRUE(infoZipTests(path));
}
