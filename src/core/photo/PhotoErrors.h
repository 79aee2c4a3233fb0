#pragma once

#include <QString>

// Short messages for the caller's error box.
namespace tarmelo::photo::errors {

inline QString unreadable() {
    return QStringLiteral("Bilddatei kann nicht gelesen werden.");
}
inline QString tooLarge() {
    return QStringLiteral("Das Bild ist zu groß.");
}
inline QString damaged() {
    return QStringLiteral("Das Foto ist beschädigt.");
}
inline QString resampleFailed() {
    return QStringLiteral("Das Bild kann nicht verkleinert werden.");
}
inline QString encodeFailed() {
    return QStringLiteral("Das Bild kann nicht gespeichert werden.");
}

} // namespace tarmelo::photo::errors
