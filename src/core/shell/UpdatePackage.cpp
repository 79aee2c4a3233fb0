#include "shell/UpdatePackage.h"

#include "util/DynamicLibrary.h"
#include "util/ZipLibrary.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sys/stat.h>

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

namespace {

// The functions of libcrypto that check a signature, opened with the first update: only then are they needed.
struct Crypto {
    decltype(&BIO_new_mem_buf) bioNewMemBuf = nullptr;
    decltype(&BIO_free) bioFree = nullptr;
    decltype(&PEM_read_bio_PUBKEY) readPublicKey = nullptr;
    decltype(&EVP_PKEY_free) keyFree = nullptr;
    decltype(&EVP_PKEY_get_id) keyId = nullptr;
    decltype(&EVP_MD_CTX_new) contextNew = nullptr;
    decltype(&EVP_MD_CTX_free) contextFree = nullptr;
    decltype(&EVP_DigestVerifyInit) verifyInit = nullptr;
    decltype(&EVP_DigestVerify) verify = nullptr;
};

// Null when libcrypto cannot be loaded: no signature is then taken as valid.
const Crypto* crypto() {
    static const Crypto* const api = []() -> const Crypto* {
        static Crypto c;
        using util::resolve;
        void* lib = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
        const bool ok =
            lib && resolve(lib, c.bioNewMemBuf, "BIO_new_mem_buf") && resolve(lib, c.bioFree, "BIO_free") &&
            resolve(lib, c.readPublicKey, "PEM_read_bio_PUBKEY") && resolve(lib, c.keyFree, "EVP_PKEY_free") &&
            resolve(lib, c.keyId, "EVP_PKEY_get_id") && resolve(lib, c.contextNew, "EVP_MD_CTX_new") &&
            resolve(lib, c.contextFree, "EVP_MD_CTX_free") && resolve(lib, c.verifyInit, "EVP_DigestVerifyInit") &&
            resolve(lib, c.verify, "EVP_DigestVerify");
        return ok ? &c : nullptr;
    }();
    return api;
}

} // namespace

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

    const Crypto* c = crypto();
    if (!c)
        return false;
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(c->bioNewMemBuf(publicKeyPem.constData(), int(publicKeyPem.size())),
                                                  c->bioFree);
    if (!bio)
        return false;
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(c->readPublicKey(bio.get(), nullptr, nullptr, nullptr),
                                                            c->keyFree);
    if (!key || c->keyId(key.get()) != EVP_PKEY_ED25519)
        return false;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(c->contextNew(), c->contextFree);
    if (!ctx || c->verifyInit(ctx.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return c->verify(ctx.get(), reinterpret_cast<const unsigned char*>(sig.constData()), size_t(sig.size()),
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
    const util::ZipLibrary* z = util::zipLibrary();
    if (!z)
        return fail(reason, QString::fromLatin1(util::kZipLibraryMissing));
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        z->open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error), z->discard);
    if (!archive)
        return fail(reason, QStringLiteral("kein ZIP-Archiv"));
    const zip_int64_t count = z->numEntries(archive.get(), 0);
    if (count < 0 || count > limits.maxEntries)
        return fail(reason, QStringLiteral("zu viele Einträge"));

    // Every member is checked before the first byte is written.
    QList<Member> members;
    qint64 declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st{};
        if (z->statIndex(archive.get(), zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return fail(reason, QStringLiteral("unlesbarer Eintrag"));
        QByteArray name(st.name);
        if (!safeMemberName(name))
            return fail(reason, QStringLiteral("unzulässiger Name: %1").arg(QString::fromUtf8(name)));
        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        z->externalAttributes(archive.get(), zip_uint64_t(i), 0, &opsys, &attributes);
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
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(z->fopenIndex(archive.get(), m.index, 0), z->fclose);
        QFile out(path);
        if (!in || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(reason, QStringLiteral("Datei nicht schreibbar"));
        for (;;) {
            const zip_int64_t n = z->fread(in.get(), buffer, sizeof buffer);
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
