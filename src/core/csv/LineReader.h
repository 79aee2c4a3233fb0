#pragma once

#include "model/Fahrzeug.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace tarmelo::csv {

// One marketplace line (Windows-1252, without its line end) back into a vehicle. The class is found from
// the category; a line whose category is not recognised yields no vehicle. Values that do not fit are
// dropped without a message.
std::optional<model::TFahrzeug> ReadLine(const QByteArray& line);

// The same into v, which must be a new default record (no photos); false when the line yields no vehicle,
// v then holding what was read.
bool readLineInto(QByteArrayView line, model::TFahrzeug& v);

} // namespace tarmelo::csv
