#pragma once

#include <QStringList>

namespace tarmelo::inventory {

inline constexpr int kRecentCount = 4;

// One forward pass that closes gaps: an empty position takes the entry after it.
QStringList closeRecentGaps(QStringList recent);

// The path at position 1; an equal entry (compared exactly) leaves its place, the last one drops off.
QStringList addToRecent(QStringList recent, const QString& path);

// The caption of the recent-file command at position n (1..4).
QString recentCaption(int n, const QString& path);

} // namespace tarmelo::inventory
