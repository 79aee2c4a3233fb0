#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace tarmelo::util {

// The nearest whole number, an exact half going to the even neighbour, as the marketplace's program always
// rounded; independent of the floating-point rounding mode. NaN gives 0; values beyond qint64 are brought to it.
inline qint64 roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double kLimit = 9.2e18;
    if (value >= kLimit)
        return std::numeric_limits<qint64>::max();
    if (value <= -kLimit)
        return std::numeric_limits<qint64>::min();
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    return qint64(rounded);
}

} // namespace tarmelo::util
