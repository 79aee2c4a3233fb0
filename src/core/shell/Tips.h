#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarmelo::shell {

inline constexpr char kTipsFileName[] = "tipps.dat";

// One tip per line; CR LF, CR or LF end a line, a final break adds no empty tip, an empty line inside is one.
QList<QByteArray> splitTipLines(const QByteArray& content);

// The tips of a file, or the German error the window shows in red.
struct TipsFile {
    QList<QByteArray> lines; // Windows-1252, as in the file
    QString error;           // empty when lines holds at least one tip
};
TipsFile loadTips(const QString& path);

// The index after actItem, wrapping to the first; a value below -1 from a hand-edited file starts at the first.
int nextTip(int actItem, int count);
// " Wussten Sie schon? (k/n) " with k counted from 1.
QString tipsCaption(int actItem, int count);
inline const QString kTipsErrorCaption = QStringLiteral(" Wussten Sie schon? ");

} // namespace tarmelo::shell
