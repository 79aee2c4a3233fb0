#include "print/PriceTexts.h"

#include "model/Cp1252.h"

#include <cmath>

namespace tarmelo::print {

bool isZeroAmount(double amount) {
    return std::abs(amount) <= 1e-12;
}

std::optional<double> vatRate(const QByteArray& mwst, const QLocale& locale) {
    const QString text = model::fromCp1252(mwst);
    if (text == kNoVatText || !text.endsWith(u'%'))
        return std::nullopt;
    QString number = text;
    number.remove(u'%');
    bool ok = false;
    const double rate = locale.toDouble(number, &ok);
    // A rate of -100 % would divide by zero; no real rate is negative.
    if (!ok || !std::isfinite(rate) || rate < 0)
        return std::nullopt;
    return rate;
}

QString amountText(double amount, const QString& unit, const QLocale& locale) {
    double whole = std::round(amount);
    if (whole == 0.0)
        whole = 0.0; // no "-0"
    return locale.toString(whole, 'f', 0) + u' ' + unit;
}

PriceColumns priceColumns(const model::TFahrzeug& v, const QLocale& locale) {
    const double p = v.preis;
    if (isZeroAmount(p))
        return {QStringLiteral("-"), QStringLiteral("-")};
    const QString w = model::fromCp1252(v.waehr);
    const bool net = v.bn == 1;
    if (const std::optional<double> r = vatRate(v.mwst, locale)) {
        const double factor = 1.0 + *r / 100.0;
        if (net)
            return {amountText(p, w, locale), amountText(p * factor, w, locale)};
        return {amountText(p / factor, w, locale), amountText(p, w, locale)};
    }
    if (net)
        return {amountText(p, w, locale), QStringLiteral("kein MwSt-Satz angegeben")};
    return {QStringLiteral("-"), amountText(p, w, locale)};
}

QString priceText(const model::TFahrzeug& v, double amount, const QLocale& locale) {
    const QString w = model::fromCp1252(v.waehr);
    const bool net = v.bn == 1;
    if (const std::optional<double> r = vatRate(v.mwst, locale)) {
        const double factor = 1.0 + *r / 100.0;
        const double gross = net ? amount * factor : amount;
        const double netAmount = net ? amount : amount / factor;
        return amountText(gross, w, locale) + QStringLiteral(" brutto (") + amountText(netAmount, w, locale) +
               QStringLiteral(" netto), ") + model::fromCp1252(v.mwst) + QStringLiteral(" MwSt ausweisbar");
    }
    if (net)
        return amountText(amount, w, locale) + QStringLiteral(" netto, kein MwSt-Satz angegeben");
    return amountText(amount, w, locale) + QStringLiteral(" brutto, MwSt nicht ausweisbar");
}

} // namespace tarmelo::print
