// The update server's version file: a version only when the text has one, the number it gives matches the
// shown text, line ends do not matter, and version numbers order like the version texts.

#include "FuzzCheck.h"
#include "shell/UpdateRules.h"

#include <QByteArray>

using namespace tarmelo;

namespace {

bool plainDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// "d.dd" spelled with ASCII digits only.
bool versionForm(const QString& v) {
    return v.size() == 4 && plainDigit(v[0]) && v[1] == QLatin1Char('.') && plainDigit(v[2]) && plainDigit(v[3]);
}

bool sameFile(const shell::VersionFile& a, const shell::VersionFile& b) {
    return a.kind == b.kind && a.shown == b.shown && a.message == b.message && a.number == b.number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const shell::VersionFile f = shell::parseVersionFile(content);
    using Kind = shell::VersionFile::Kind;
    if (f.kind == Kind::Authorized) {
        FUZZ_CHECK(content.contains("version") && content.contains("authorized_update"));
        // The shown text starts with the version the number was read from.
        const QString version = f.shown.left(4);
        FUZZ_CHECK(versionForm(version) && f.shown.mid(4, 3) == QStringLiteral("  ("));
        FUZZ_CHECK(f.number == version.left(1).toInt() * 100 + version.mid(2).toInt());
        FUZZ_CHECK(f.message.isEmpty());
    } else {
        FUZZ_CHECK(f.number == 0);
    }
    if (f.kind == Kind::Message)
        FUZZ_CHECK(!f.shown.isEmpty());
    if (f.kind == Kind::Invalid)
        FUZZ_CHECK(f.message.isEmpty());
    // The server may end its lines either way.
    if (!content.contains('\r')) {
        QByteArray crlf = content;
        crlf.replace("\n", "\r\n");
        FUZZ_CHECK(sameFile(shell::parseVersionFile(crlf), f));
    }

    // Two version texts from the bytes: numbers only for the "d.dd" form, ordered as the texts are.
    const QString a = QString::fromUtf8(content.left(4));
    const QString b = QString::fromUtf8(content.mid(4, 4));
    const std::optional<int> na = shell::versionNumber(a);
    const std::optional<int> nb = shell::versionNumber(b);
    FUZZ_CHECK(na.has_value() == versionForm(a));
    FUZZ_CHECK(nb.has_value() == versionForm(b));
    if (na) {
        FUZZ_CHECK(*na >= 0 && *na <= 999);
        const QString back = QStringLiteral("%1.%2").arg(*na / 100).arg(*na % 100, 2, 10, QLatin1Char('0'));
        FUZZ_CHECK(back == a);
    }
    if (na && nb)
        FUZZ_CHECK((*na < *nb) == (a < b) && (*na == *nb) == (a == b));
    return 0;
}
