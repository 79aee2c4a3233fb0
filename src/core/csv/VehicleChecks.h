#pragma once

#include "model/Fahrzeug.h"
#include "model/VehicleClass.h"

#include <QDate>
#include <QString>
#include <optional>

namespace tarmelo::csv {

// The first rule a vehicle breaks: what the editor needs to show it.
struct CheckFailure {
    int check = 0;   // number of the rule in check order (1..35); 0 for the internal-number rules
    QString message; // German, without the " Fehler: " prefix
    QString field;   // record field of the offending value ("marke")
    QString control; // its control on the vehicle's pages ("combo_3_marke")
    model::Page page = model::Page::General;
    model::Tab tab = model::Tab::Unchanged;
};

// Runs the marketplace rules in their fixed order; today gives year and month for the date rules.
std::optional<CheckFailure> checkVehicle(const model::TFahrzeug& v, QDate today);

struct InventoryFailure {
    int index = -1; // position of the vehicle in the array
    CheckFailure failure;
};

// The typed internal numbers of vehicles first..last: every one present (checked over the whole range
// first), then no two equal with A-Z compared without case; the later of two equal ones is reported.
std::optional<InventoryFailure> checkInternalNumbers(const model::Inventory& inv, int first, int last);

} // namespace tarmelo::csv
