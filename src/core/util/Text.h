#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

namespace tarmelo::util {

// Blanks and control characters (everything up to 0x20) removed at both ends: what the records' and the
// settings' texts are compared by. QString::trimmed would also take non-breaking spaces, QByteArray::trimmed
// leaves most control characters.
inline std::string_view trimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20)
        s.remove_suffix(1);
    return s;
}

inline QByteArray trimControls(const QByteArray& s) {
    const std::string_view t = trimControls(std::string_view(s.constData(), size_t(s.size())));
    return t.size() == size_t(s.size()) ? s : QByteArray(t.data(), qsizetype(t.size()));
}

inline QString trimControls(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 0x20)
        --end;
    return s.mid(begin, end - begin);
}

} // namespace tarmelo::util
