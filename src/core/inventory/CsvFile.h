#pragma once

#include "csv/LineWriter.h"
#include "csv/VehicleChecks.h"
#include "model/Fahrzeug.h"
#include "util/Clock.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

namespace tarmelo::inventory {

// What goes into column 2 of a saved file.
enum class KeyMode {
    Automatic, // automatic numbers with duplicate counter
    Typed,     // the dealer's own numbers, which must be present and unique
    TimeStamp, // time-stamped keys
};

struct CsvLines {
    QList<QByteArray> lines; // without line ends
    std::optional<csv::InventoryFailure> failure;
    bool ok() const { return !failure.has_value(); }
    // The file image: every line ended by CR LF.
    QByteArray fileData() const;
};

// The lines of vehicles first..last as a saved file holds them, positions 1..n; stops at the first
// vehicle that breaks a rule.
CsvLines buildLines(const model::Inventory& inv, int first, int last, KeyMode mode, const Clock& clock);

// Splits at CR LF, a lone CR and a lone LF; a final line break adds no empty line.
QList<QByteArray> splitLines(const QByteArray& text);

struct ReadResult {
    model::Inventory vehicles;
    int lines = 0; // lines in the file
    int rejected() const { return lines - int(vehicles.size()); }
};

// Called for every vehicle taken, with its line's index and the number of lines, before it is kept.
using TakenVehicle = std::function<void(model::TFahrzeug& vehicle, int line, int lines)>;

// Reads every line of a marketplace file; rejected lines are counted.
ReadResult readLines(const QByteArray& text, const TakenVehicle& taken = {});

// Asks for huge pages for a large buffer not yet touched: filling it then costs few page faults.
void adviseHugePages(const void* data, qsizetype bytes);

} // namespace tarmelo::inventory
