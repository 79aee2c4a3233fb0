#pragma once

#include "model/Fahrzeug.h"
#include "model/VehicleClass.h"

#include <QDate>
#include <QList>
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
// Every rule the vehicle breaks, in the same order.
QList<CheckFailure> allFailures(const model::TFahrzeug& v, QDate today);
// Whether it breaks any rule, without building the messages.
bool breaksRule(const model::TFahrzeug& v, QDate today);

// Soft warnings: never blocking an upload, but worth a look before the vehicle goes online.
enum class Warning {
    NoPhoto = 1,
    FewPhotos,
    LowPrice,
    RegisteredAfterDelivery,
    NoMileage,
    SameVin,
    SameInr,
    VinMalformed,
    VinCheckDigit,
    HuExpired,
};
// A short stable name for machine-read output ("keine-bilder").
const char* warningCode(Warning w);

struct VehicleWarning {
    Warning kind;
    CheckFailure detail; // check is 0; message, field, control, page and tab as for a failure
};

// The warnings one vehicle raises on its own; the ones comparing vehicles (same VIN, same internal number) come
// from the stock check.
QList<VehicleWarning> vehicleWarnings(const model::TFahrzeug& v, QDate today);
// Whether vehicleWarnings would report anything.
bool hasVehicleWarning(const model::TFahrzeug& v, QDate today);
// A VIN the warnings accept: 17 characters of A-Z and 0-9 without I, O and Q (letters in any case), and where a
// check digit is used, the right one. For the result Warning::VinMalformed or Warning::VinCheckDigit, or nullopt.
std::optional<Warning> vinProblem(const QByteArray& vin);
// The keys vehicles are compared by: internal numbers with A-Z folded to lower case, as the rule compares them;
// VINs trimmed, with a-z folded to upper case.
QByteArray inrKey(const QByteArray& inr);
QByteArray vinKey(const QByteArray& vin);
// The warning's text and the control it points to; the stock check builds the comparing ones with this too.
VehicleWarning makeWarning(const model::TFahrzeug& v, Warning kind, const QString& message, const char* field);

struct InventoryFailure {
    int index = -1; // position of the vehicle in the array
    CheckFailure failure;
};

// The failure of a typed internal number: missing, or repeating an earlier one.
CheckFailure internalNumberFailure(const model::TFahrzeug& v, bool repeated);

// The typed internal numbers of vehicles first..last: every one present (checked over the whole range
// first), then no two equal with A-Z compared without case; the later of two equal ones is reported.
std::optional<InventoryFailure> checkInternalNumbers(const model::Inventory& inv, int first, int last);

} // namespace tarmelo::csv
