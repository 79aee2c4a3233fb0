#pragma once

#include <QByteArray>
#include <QString>

namespace tarmelo::shell {

// The public key the update archive must be signed with, installed beside the help pages.
inline constexpr char kUpdateKeyFileName[] = "update-key.pem";

// 32 upper-case hex digits of the file's MD5, empty when it cannot be read.
QByteArray md5OfFile(const QString& path);
// The digest equals the first line of the checksum file, trimmed, exactly (case included).
bool digestMatches(const QByteArray& digest, const QByteArray& checksumFile);

// The signature covers the version with the archive: an old signed archive cannot be offered as a newer version.
QByteArray signedMessagePrefix(const QString& version); // "Tarmelo-Update 3.71\n"
// Ed25519 over the prefix of `version` followed by the whole file. The signature is raw (64 bytes) or base64 text;
// the key a PEM public key.
bool signatureValid(const QString& archivePath, const QString& version, const QByteArray& signature,
                    const QByteArray& publicKeyPem);

struct UnpackLimits {
    qint64 maxTotalBytes = 512LL * 1024 * 1024;
    int maxEntries = 20000;
};
// Extracts every member below targetDir. Refuses the whole archive, before writing anything, when a member's name
// is absolute, holds "..", a drive, a backslash or a control character, or is a link, or when the sizes exceed
// the limits; the unpacked sizes are counted while writing too. Keeps the executable bit.
bool unpackUpdateArchive(const QString& zipPath, const QString& targetDir, const UnpackLimits& limits = {},
                         QString* reason = nullptr);
// A member name that may be written below the target folder.
bool safeMemberName(const QByteArray& name);

} // namespace tarmelo::shell
