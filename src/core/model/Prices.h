#pragma once

#include "model/Fahrzeug.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace tarmelo::model {

// An amount counts as zero when its magnitude is at most 1E-12.
bool isZeroAmount(double amount);

// An amount of the vehicle (its price or dealer price) net and gross, as its bn and mwst state it. Without a
// readable rate ("MwSt nicht ausweisbar") only the side it was entered as is known. The print reads a rate only
// from a number followed by "%" (percentSign), the list also from a bare number.
struct NetGross {
    std::optional<double> net;
    std::optional<double> gross;
    bool rateKnown = false;
};
NetGross netAndGross(const TFahrzeug& v, double amount, bool percentSign = false);

// A whole amount with the locale's thousands separators and a unit: "11.900 EUR".
QString amountText(double amount, const QString& unit, const QLocale& locale);

} // namespace tarmelo::model
