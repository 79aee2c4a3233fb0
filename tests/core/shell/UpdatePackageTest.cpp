#include "shell/UpdatePackage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <zip.h>

using namespace tarmelo::shell;

namespace {

struct Entry {
    QByteArray name;
    QByteArray data;
    mode_t mode = S_IFREG | 0644;
};

void makeZip(const QString& path, const QList<Entry>& entries) {
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const Entry& e : entries) {
        zip_int64_t index;
        if (e.name.endsWith('/')) {
            index = zip_dir_add(z, e.name.constData(), ZIP_FL_ENC_UTF_8);
        } else {
            zip_source_t* src = zip_source_buffer(z, e.data.constData(), zip_uint64_t(e.data.size()), 0);
            index = zip_file_add(z, e.name.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        }
        ASSERT_GE(index, 0) << e.name.toStdString();
        zip_file_set_external_attributes(z, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, zip_uint32_t(e.mode) << 16);
    }
    ASSERT_EQ(zip_close(z), 0);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesBelow(const QString& dir) {
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

QString repoFile(const char* relative) {
    return QDir::cleanPath(QStringLiteral(TARMELO_TEST_DATA "/../../") + relative);
}

int run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000))
        return -1;
    return p.exitCode();
}

} // namespace

TEST(UpdatePackageTest, DigestIsComparedExactlyWithTheFirstLine) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString file = tmp.filePath("update_files.zip");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("abc");
    }
    const QByteArray md5 = "900150983CD24FB0D6963F7D28E17F72";
    EXPECT_EQ(md5OfFile(file), md5);
    EXPECT_TRUE(md5OfFile(tmp.filePath("missing")).isEmpty());
    const struct {
        QByteArray checksum;
        bool match;
    } cases[] = {
        {md5, true},
        {md5 + "\r\n", true},
        {"  " + md5 + "  \nsecond line", true},
        {md5.toLower(), false},
        {md5.left(31), false},
        {"", false},
        {"\n" + md5, false},
        {"<html>404</html>", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(digestMatches(md5, c.checksum), c.match) << c.checksum.toStdString();
    EXPECT_FALSE(digestMatches({}, ""));
}

TEST(UpdatePackageTest, SignatureMustComeFromTheInstalledKey) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString key = tmp.filePath("private.pem"), otherKey = tmp.filePath("other.pem");
    ASSERT_EQ(run("openssl", {"genpkey", "-algorithm", "ed25519", "-out", key}), 0);
    ASSERT_EQ(run("openssl", {"genpkey", "-algorithm", "ed25519", "-out", otherKey}), 0);
    ASSERT_EQ(run("openssl", {"pkey", "-in", key, "-pubout", "-out", tmp.filePath("public.pem")}), 0);
    ASSERT_EQ(run("openssl", {"genpkey", "-algorithm", "rsa", "-pkeyopt", "rsa_keygen_bits:1024", "-out",
                              tmp.filePath("rsa.pem")}),
              0);
    ASSERT_EQ(run("openssl", {"pkey", "-in", tmp.filePath("rsa.pem"), "-pubout", "-out", tmp.filePath("rsa-pub.pem")}),
              0);
    const QString archive = tmp.filePath("update_files.zip");
    makeZip(archive, {{"bin/tarmelo", "program", S_IFREG | 0755}});
    ASSERT_EQ(run("sh", {repoFile("scripts/sign-update.sh"), key, archive, "3.71"}), 0);
    const QByteArray signature = readFile(archive + ".sig");
    ASSERT_EQ(signature.size(), 64);
    EXPECT_TRUE(digestMatches(md5OfFile(archive), readFile(tmp.filePath("checksum.txt"))));
    const QByteArray publicKey = readFile(tmp.filePath("public.pem"));

    const QString other = tmp.filePath("other.zip");
    makeZip(other, {{"bin/tarmelo", "changed", S_IFREG | 0755}});
    ASSERT_EQ(run("sh", {repoFile("scripts/sign-update.sh"), otherKey, other, "3.71"}), 0);
    QByteArray flipped = signature;
    flipped[10] = char(flipped[10] ^ 1);

    const struct {
        const char* name;
        QString file;
        QString version;
        QByteArray signature;
        QByteArray key;
        bool valid;
    } cases[] = {
        {"raw", archive, "3.71", signature, publicKey, true},
        {"base64", archive, "3.71", signature.toBase64() + "\n", publicKey, true},
        {"signed for another version", archive, "3.72", signature, publicKey, false},
        {"other archive", other, "3.71", signature, publicKey, false},
        {"other key's signature", archive, "3.71", readFile(other + ".sig"), publicKey, false},
        {"flipped bit", archive, "3.71", flipped, publicKey, false},
        {"missing", archive, "3.71", {}, publicKey, false},
        {"error page", archive, "3.71", "<html><body>404 Not Found</body></html>", publicKey, false},
        {"short", archive, "3.71", signature.left(63), publicKey, false},
        {"no key", archive, "3.71", signature, {}, false},
        {"rsa key", archive, "3.71", signature, readFile(tmp.filePath("rsa-pub.pem")), false},
        {"missing archive", tmp.filePath("none.zip"), "3.71", signature, publicKey, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(signatureValid(c.file, c.version, c.signature, c.key), c.valid) << c.name;
}

TEST(UpdatePackageTest, ShippedKeyIsAnEd25519PublicKey) {
    const QByteArray pem = readFile(repoFile("share/tarmelo/update-key.pem"));
    ASSERT_TRUE(pem.startsWith("-----BEGIN PUBLIC KEY-----"));
    EXPECT_FALSE(pem.contains("PRIVATE"));
}

TEST(UpdatePackageTest, MemberNames) {
    const struct {
        QByteArray name;
        bool safe;
    } cases[] = {
        {"bin/tarmelo", true},  {"share/tarmelo/help/1000.html", true},
        {"lizenz.txt", true},   {"bin/", true},
        {"/etc/passwd", false}, {"../x", false},
        {"a/../../x", false},   {"a/..", false},
        {"C:/x", false},        {"c:x", false},
        {"a\\b", false},        {"", false},
        {"./x", false},         {"a//b", false},
        {"a\nb", false},        {"..foo/bar", true},
        {"foo../bar", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(safeMemberName(c.name), c.safe) << c.name.toStdString();
}

TEST(UpdatePackageTest, UnpackRefusesDangerousArchivesWithoutWritingAnything) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QByteArray big(300 * 1024, 'x');
    const struct {
        const char* name;
        QList<Entry> entries;
        bool ok;
        QStringList files;
    } cases[] = {
        {"tree",
         {{"bin/", {}, S_IFDIR | 0755}, {"bin/tarmelo", "elf", S_IFREG | 0755}, {"share/tarmelo/tipps.dat", "t"}},
         true,
         {"bin/tarmelo", "share/tarmelo/tipps.dat"}},
        {"absolute", {{"ok.txt", "1"}, {"/tmp/evil", "x"}}, false, {}},
        {"dot dot", {{"ok.txt", "1"}, {"a/../../evil", "x"}}, false, {}},
        {"backslash", {{"ok.txt", "1"}, {"..\\evil", "x"}}, false, {}},
        {"drive", {{"ok.txt", "1"}, {"C:evil", "x"}}, false, {}},
        {"link", {{"ok.txt", "1"}, {"bin/link", "/etc", S_IFLNK | 0777}}, false, {}},
        {"device", {{"ok.txt", "1"}, {"dev", "", S_IFCHR | 0644}}, false, {}},
        {"too big", {{"a", big}, {"b", big}}, false, {}},
    };
    UnpackLimits limits;
    limits.maxTotalBytes = 512 * 1024;
    int n = 0;
    for (const auto& c : cases) {
        const QString zip = tmp.filePath(QStringLiteral("c%1.zip").arg(n));
        const QString folder = tmp.filePath(QStringLiteral("c%1").arg(n++));
        const QString target = folder + "/update/unpack";
        makeZip(zip, c.entries);
        QString reason;
        EXPECT_EQ(unpackUpdateArchive(zip, target, limits, &reason), c.ok) << c.name;
        EXPECT_EQ(c.ok, reason.isEmpty()) << c.name << ": " << reason.toStdString();
        QStringList expected;
        for (const QString& f : c.files)
            expected << "update/unpack/" + f;
        EXPECT_EQ(filesBelow(folder), expected) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists("/tmp/evil"));
    const QString exe = tmp.filePath("c0/update/unpack/bin/tarmelo");
    EXPECT_TRUE(QFileInfo(exe).isExecutable());
    EXPECT_FALSE(QFileInfo(tmp.filePath("c0/update/unpack/share/tarmelo/tipps.dat")).isExecutable());
    EXPECT_FALSE(unpackUpdateArchive(tmp.filePath("missing.zip"), tmp.filePath("m")));
    QFile notZip(tmp.filePath("page.zip"));
    ASSERT_TRUE(notZip.open(QIODevice::WriteOnly));
    notZip.write("<html>404</html>");
    notZip.close();
    EXPECT_FALSE(unpackUpdateArchive(notZip.fileName(), tmp.filePath("p")));
}
