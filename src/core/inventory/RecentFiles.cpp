#include "RecentFiles.h"

namespace tarmelo::inventory {

namespace {
QStringList normalized(QStringList recent) {
    while (recent.size() < kRecentCount)
        recent.append(QString());
    return recent.mid(0, kRecentCount);
}
} // namespace

QStringList closeRecentGaps(QStringList recent) {
    recent = normalized(std::move(recent));
    for (int i = 0; i + 1 < kRecentCount; ++i) {
        if (recent[i].isEmpty() && !recent[i + 1].isEmpty()) {
            recent[i] = recent[i + 1];
            recent[i + 1].clear();
        }
    }
    return recent;
}

QStringList addToRecent(QStringList recent, const QString& path) {
    recent = normalized(std::move(recent));
    for (QString& p : recent)
        if (p == path)
            p.clear();
    recent = closeRecentGaps(recent);
    for (int i = kRecentCount - 1; i > 0; --i)
        recent[i] = recent[i - 1];
    recent[0] = path;
    return recent;
}

QString recentCaption(int n, const QString& path) {
    // An "&" of the path is shown as itself, not taken for the access key of the next letter.
    QString shown = path;
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 - %2").arg(n).arg(path.isEmpty() ? QStringLiteral("(keine)") : shown);
}

} // namespace tarmelo::inventory
