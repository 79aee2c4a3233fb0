#pragma once

#include "model/Fahrzeug.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace tarmelo::print {

inline const QString kNoVatText = QStringLiteral("MwSt nicht ausweisbar");

// An amount counts as zero when its magnitude is at most 1E-12.
bool isZeroAmount(double amount);

// The VAT rate of a `mwst` text such as "19%" or "7,6%". nullopt for "MwSt nicht ausweisbar" and for any text that
// is not a number followed by "%" (a new vehicle's empty text): such a vehicle is priced as one without a rate.
std::optional<double> vatRate(const QByteArray& mwst, const QLocale& locale);

// A whole amount with thousands separators and a unit: "11.900 EUR".
QString amountText(double amount, const QString& unit, const QLocale& locale);

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
