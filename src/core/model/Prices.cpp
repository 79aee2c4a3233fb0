#include "model/Prices.h"

#include "model/ValueLists.h"

#include <cmath>

namespace tarmelo::model {

bool isZeroAmount(double amount) {
    return std::abs(amount) <= 1e-12;
}

NetGross netAndGross(const TFahrzeug& v, double amount, bool percentSign) {
    const bool net = v.bn == 1;
    // A rate that is neither readable nor "MwSt nicht ausweisbar" counts as no rate: the amount is known only as
    // it was entered.
    const std::optional<double> rate = percentSign && !v.mwst.endsWith('%') ? std::nullopt : vatPercent(v.mwst);
    if (rate) {
        const double factor = 1.0 + *rate / 100.0;
        return {net ? amount : amount / factor, net ? amount * factor : amount, true};
    }
    if (net)
        return {amount, std::nullopt, false};
    return {std::nullopt, amount, false};
}

QString amountText(double amount, const QString& unit, const QLocale& locale) {
    double whole = std::round(amount);
    if (whole == 0.0)
        whole = 0.0; // no "-0" for small negative amounts
    return locale.toString(whole, 'f', 0) + u' ' + unit;
}

} // namespace tarmelo::model
