#pragma once

#include <QDateTime>
#include <functional>

namespace tarmelo {

// The program's clock; tests and the command line fix it.
using Clock = std::function<QDateTime()>;

inline Clock systemClock() {
    return [] { return QDateTime::currentDateTime(); };
}
inline Clock fixedClock(const QDateTime& t) {
    return [t] { return t; };
}

} // namespace tarmelo
