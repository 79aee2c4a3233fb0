#include "Cp1252.h"

namespace tarmelo::model {

namespace {

// Code points of 0x80..0x9F; 0 marks the five bytes that Windows-1252 leaves undefined.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> encode(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return char(0x80 + i);
    // The undefined bytes pass through as the C1 controls of the same value, so nothing read is lost.
    if (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] == 0)
        return char(u);
    return std::nullopt;
}

} // namespace

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        char16_t u = b;
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            u = kHigh[b - 0x80];
        d[i] = QChar(u);
    }
    return out;
}

bool isCp1252(QChar c) {
    return encode(c.unicode()).has_value();
}

std::optional<QByteArray> toCp1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const auto b = encode(c.unicode());
        if (!b)
            return std::nullopt;
        out.append(*b);
    }
    return out;
}

QChar firstNonCp1252(const QString& text) {
    for (QChar c : text)
        if (!isCp1252(c))
            return c;
    return {};
}

QString nonCp1252Message(const QString& text) {
    const QChar c = firstNonCp1252(text);
    const QString code = QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("Das Zeichen \"%1\" (U+%2) kann nicht gespeichert werden. "
                          "Erlaubt sind nur Zeichen des Zeichensatzes Windows-1252.")
        .arg(c, code);
}

QByteArray upperCp1252(const QByteArray& bytes) {
    QByteArray out = bytes;
    for (char& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            ch = char(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            ch = char(b - 0x10); // š œ ž
        else if (b == 0xFF)
            ch = char(0x9F); // ÿ
    }
    return out;
}

QByteArray lowerCp1252(const QByteArray& bytes) {
    QByteArray out = bytes;
    for (char& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            ch = char(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            ch = char(b + 0x10);
        else if (b == 0x9F)
            ch = char(0xFF);
    }
    return out;
}

} // namespace tarmelo::model
