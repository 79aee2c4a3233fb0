#pragma once

#include "VehicleChecks.h"
#include "model/Fahrzeug.h"
#include "util/Clock.h"

#include <QByteArray>
#include <optional>

namespace tarmelo::csv {

// How column 2 of a line is formed.
enum class KeyKind {
    Placeholder, // "fzg": for checking only
    TypedNumber, // the dealer's inr
    TimeStamp,   // DDMMYY_hhmmss_N_ and four digits of the content digest
    Automatic,   // 15 digits of the content digest, the photo count and the duplicate counter
};

struct LineResult {
    QByteArray line; // without CR LF; empty when a check failed
    std::optional<CheckFailure> failure;
    bool ok() const { return !failure.has_value(); }
};

// One vehicle as one marketplace line of 148 fields, each followed by ";", after the vehicle passed
// the checks. The clock gives today for the checks and the time of a time-stamped key.
LineResult CreateLine(const model::TFahrzeug& v, int position, int duplicateCounter, KeyKind key, const Clock& clock);

// Columns 3 to 148; a line is the position, the key and this.
QByteArray lineBody(const model::TFahrzeug& v);

// Upper-case hex MD5 of the content line (position 1, placeholder key).
QByteArray contentDigest(const QByteArray& body);

// The text between the first and the second double quote of a line: its key.
QByteArray GetIntNr(const QByteArray& line);

} // namespace tarmelo::csv
