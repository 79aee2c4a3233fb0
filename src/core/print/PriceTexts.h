#pragma once

#include "model/Fahrzeug.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace tarmelo::print {

// The two price columns of the print and renaming lists: net and gross.
struct PriceColumns {
    QString net;
    QString gross;
};
PriceColumns priceColumns(const model::TFahrzeug& v, const QLocale& locale);

// The price line of the printed sheet for `amount` (the selling or the dealer price), without its prefix:
// "11.900 EUR brutto (10.000 EUR netto), 19% MwSt ausweisbar".
QString priceText(const model::TFahrzeug& v, double amount, const QLocale& locale);

} // namespace tarmelo::print
