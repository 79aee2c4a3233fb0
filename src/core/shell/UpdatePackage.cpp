#include "shell/UpdatePackage.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sys/stat.h>
#include <zip.h>

#include <memory>

namespace tarmelo::shell {

QByteArray md5OfFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&f))
        return {};
    return hash.result().toHex().toUpper();
}

bool digestMatches(const QByteArray& digest, const QByteArray& checksumFile) {
    if (digest.isEmpty())
        return false;
    qsizetype end = checksumFile.indexOf('\n');
    const QByteArray first = (end < 0 ? checksumFile : checksumFile.left(end)).trimmed();
    return first == digest;
}

QByteArray signedMessagePrefix(const QString& version) {
    return "Tarmelo-Update " + version.toUtf8() + '\n';
}

bool signatureValid(const QString& archivePath, const QString& version, const QByteArray& signature,
                    const QByteArray& publicKeyPem) {
    QByteArray sig = signature;
    if (sig.size() != 64) {
        const auto decoded =
            QByteArray::fromBase64Encoding(signature.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return false;
        sig = *decoded;
    }
    if (sig.size() != 64 || publicKeyPem.isEmpty())
        return false;
    QFile f(archivePath);
    // Ed25519 signs the message in one piece; an archive beyond what an update may unpack is not read.
    if (!f.open(QIODevice::ReadOnly) || f.size() > UnpackLimits{}.maxTotalBytes)
        return false;
    const QByteArray data = signedMessagePrefix(version) + f.read(UnpackLimits{}.maxTotalBytes);

    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(publicKeyPem.constData(), int(publicKeyPem.size())),
                                                  &BIO_free);
    if (!bio)
        return false;
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr),
                                                            &EVP_PKEY_free);
    if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        return false;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(sig.constData()), size_t(sig.size()),
                            reinterpret_cast<const unsigned char*>(data.constData()), size_t(data.size())) == 1;
}

bool safeMemberName(const QByteArray& name) {
    if (name.isEmpty() || name.startsWith('/') || name.contains('\\') || name.contains(':'))
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    for (const QByteArray& part : name.split('/'))
        if (part == ".." || part == ".")
            return false;
    return !name.contains("//");
}

namespace {

struct Member {
    zip_uint64_t index;
    QByteArray name;
    bool directory;
    bool executable;
};

bool fail(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
    return false;
}

} // namespace

bool unpackUpdateArchive(const QString& zipPath, const QString& targetDir, const UnpackLimits& limits,
                         QString* reason) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error), &zip_discard);
    if (!archive)
        return fail(reason, QStringLiteral("kein ZIP-Archiv"));
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > limits.maxEntries)
        return fail(reason, QStringLiteral("zu viele Einträge"));

    // Every member is checked before the first byte is written.
    QList<Member> members;
    qint64 declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return fail(reason, QStringLiteral("unlesbarer Eintrag"));
        QByteArray name(st.name);
        if (!safeMemberName(name))
            return fail(reason, QStringLiteral("unzulässiger Name: %1").arg(QString::fromUtf8(name)));
        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(archive.get(), zip_uint64_t(i), 0, &opsys, &attributes);
        const mode_t mode = opsys == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
        if (S_ISLNK(mode) || (mode != 0 && !S_ISREG(mode) && !S_ISDIR(mode)))
            return fail(reason, QStringLiteral("Verknüpfung im Archiv: %1").arg(QString::fromUtf8(name)));
        const bool directory = name.endsWith('/');
        if (directory)
            name.chop(1);
        if (st.valid & ZIP_STAT_SIZE)
            declared += qint64(st.size);
        if (declared > limits.maxTotalBytes)
            return fail(reason, QStringLiteral("entpackt zu groß"));
        members.append({zip_uint64_t(i), name, directory, (mode & 0111) != 0});
    }

    QDir target(targetDir);
    if (!target.mkpath(QStringLiteral(".")))
        return fail(reason, QStringLiteral("Zielordner nicht anlegbar"));
    qint64 written = 0;
    char buffer[64 * 1024];
    for (const Member& m : members) {
        const QString path = target.filePath(QString::fromUtf8(m.name));
        if (m.directory) {
            if (!target.mkpath(QString::fromUtf8(m.name)))
                return fail(reason, QStringLiteral("Ordner nicht anlegbar"));
            continue;
        }
        if (!QFileInfo(path).dir().exists() && !QDir().mkpath(QFileInfo(path).absolutePath()))
            return fail(reason, QStringLiteral("Ordner nicht anlegbar"));
        // A member that names an existing link or folder is not written through it.
        if (QFileInfo(path).isSymLink() || QFileInfo(path).isDir())
            return fail(reason, QStringLiteral("Name doppelt belegt"));
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(zip_fopen_index(archive.get(), m.index, 0), &zip_fclose);
        QFile out(path);
        if (!in || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(reason, QStringLiteral("Datei nicht schreibbar"));
        for (;;) {
            const zip_int64_t n = zip_fread(in.get(), buffer, sizeof buffer);
            if (n < 0)
                return fail(reason, QStringLiteral("beschädigtes Archiv"));
            if (n == 0)
                break;
            written += n;
            // The sizes in the directory may lie; the bytes actually unpacked count.
            if (written > limits.maxTotalBytes)
                return fail(reason, QStringLiteral("entpackt zu groß"));
            if (out.write(buffer, n) != n)
                return fail(reason, QStringLiteral("Schreibfehler"));
        }
        if (!out.flush())
            return fail(reason, QStringLiteral("Schreibfehler"));
        if (m.executable)
            out.setPermissions(out.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                               QFileDevice::ExeOther);
    }
    return true;
}

} // namespace tarmelo::shell
