#include "print/PriceTexts.h"

#include "model/Cp1252.h"
#include "model/Prices.h"

namespace tarmelo::print {

using model::amountText;

PriceColumns priceColumns(const model::TFahrzeug& v, const QLocale& locale) {
    if (model::isZeroAmount(v.preis))
        return {QStringLiteral("-"), QStringLiteral("-")};
    const QString w = model::fromCp1252(v.waehr);
    const model::NetGross p = model::netAndGross(v, v.preis, true);
    return {p.net ? amountText(*p.net, w, locale) : QStringLiteral("-"),
            p.gross ? amountText(*p.gross, w, locale) : QStringLiteral("kein MwSt-Satz angegeben")};
}

QString priceText(const model::TFahrzeug& v, double amount, const QLocale& locale) {
    const QString w = model::fromCp1252(v.waehr);
    const model::NetGross p = model::netAndGross(v, amount, true);
    if (p.rateKnown)
        return amountText(*p.gross, w, locale) + QStringLiteral(" brutto (") + amountText(*p.net, w, locale) +
               QStringLiteral(" netto), ") + model::fromCp1252(v.mwst) + QStringLiteral(" MwSt ausweisbar");
    if (p.net)
        return amountText(amount, w, locale) + QStringLiteral(" netto, kein MwSt-Satz angegeben");
    return amountText(amount, w, locale) + QStringLiteral(" brutto, MwSt nicht ausweisbar");
}

} // namespace tarmelo::print
