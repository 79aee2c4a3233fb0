#include "shell/Tips.h"

#include <QFile>
#include <QFileInfo>

namespace tarmelo::shell {

namespace {

// A tips file is a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxTipsSize = 4 * 1024 * 1024;

} // namespace

QList<QByteArray> splitTipLines(const QByteArray& content) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        lines.append(content.mid(start));
    return lines;
}

TipsFile loadTips(const QString& path) {
    TipsFile result;
    const QString quoted = QStringLiteral("\"%1\"").arg(QLatin1StringView(kTipsFileName));
    if (!QFileInfo(path).isFile()) {
        result.error = QStringLiteral("Die Datei ") + quoted +
                       QStringLiteral(" befindet sich nicht im Installationsordner von Tarmelo!");
        return result;
    }
    QFile file(path);
    // A read error counts as an empty file.
    if (file.open(QIODevice::ReadOnly))
        result.lines = splitTipLines(file.read(kMaxTipsSize));
    if (result.lines.isEmpty())
        result.error = QStringLiteral("Die Datei ") + quoted + QStringLiteral(" enthält keine gültigen Hinweise!");
    return result;
}

int nextTip(int actItem, int count) {
    if (count <= 0 || actItem < -1)
        return 0;
    return actItem + 1 < count ? actItem + 1 : 0;
}

QString tipsCaption(int actItem, int count) {
    return QStringLiteral(" Wussten Sie schon? (%1/%2) ").arg(actItem + 1).arg(count);
}

} // namespace tarmelo::shell
