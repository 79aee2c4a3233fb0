#pragma once

#include "csv/VehicleChecks.h"

#include <QDate>
#include <optional>

namespace tarmelo::csv {

// The whole-inventory check as the error check, saving and the command line run it: with typed internal numbers
// those rules first, then every vehicle in list order; the first failure wins.
std::optional<InventoryFailure> checkInventory(const model::Inventory& inv, bool automaticIntNr, QDate today);

// The editor's page (0 "Allgemein", 1 "Ausstattung") and sub-page (0 none, 1 "Seite 1", 2 "Seite 2") of a failure.
int pageIndex(const CheckFailure& f);
int tabIndex(const CheckFailure& f);

} // namespace tarmelo::csv
