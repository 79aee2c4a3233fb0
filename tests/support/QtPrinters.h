#pragma once

// Texts in failure messages as text, not as lists of code units.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
