#pragma once

#include "csv/VehicleChecks.h"
#include "model/Fahrzeug.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace tarmelo::csv {

enum class Severity { Error, Warning };
// The traffic light of a vehicle: red breaks a rule, yellow has a warning, green is ready.
enum class Light { Green, Yellow, Red };

// One entry of the stock report.
struct Finding {
    int index = -1; // position of the vehicle in the array
    Severity severity = Severity::Error;
    std::optional<Warning> warning; // the kind of a warning
    CheckFailure detail;            // message, field, control, page and tab; check is the rule's number for errors
};

struct StockReport {
    // By vehicle in list order; for each the internal-number rules, the other rules in check order, the warnings.
    QList<Finding> findings;
    QList<Light> lights; // one per vehicle
    int errors = 0;
    int warnings = 0;

    bool hasErrors() const { return errors > 0; }
    int vehiclesWith(Light light) const { return int(lights.count(light)); }
};

// Every rule over every vehicle, and the warnings. With typed internal numbers (automaticIntNr false) every
// vehicle without one and every later one repeating an earlier number breaks a rule, as the single check says.
StockReport checkStock(const model::Inventory& inv, bool automaticIntNr, QDate today);

// "Fehler" or "Warnung".
QString severityText(Severity s);

// The vehicle as the report names it: brand and model, "-" when both are missing.
QString vehicleTitle(const model::TFahrzeug& v);

} // namespace tarmelo::csv
