#pragma once

#include "model/Fahrzeug.h"

#include <QLocale>
#include <QString>

namespace tarmelo::print {

// The "Merkmale:" paragraph of a printed vehicle: short German phrases joined by ", ".
struct FeatureList {
    QString text;        // empty when the vehicle has no feature at all
    QString failedField; // "kilometer" or "leistung" when that field holds no whole number; text is then empty

    bool ok() const { return failedField.isEmpty(); }
};

FeatureList composeFeatures(const model::TFahrzeug& v, const QLocale& locale);

} // namespace tarmelo::print
