#pragma once

#include "model/Fahrzeug.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

namespace tarmelo::csv {

// One marketplace line (Windows-1252, without its line end) back into a vehicle. The class is found from
// the category; a line whose category is not recognised yields no vehicle. Values that do not fit are
// dropped without a message.
std::optional<model::TFahrzeug> ReadLine(const QByteArray& line);

// The texts read from the lines before, by column: a column whose bytes repeat those of the line before shares
// the text read then instead of making it again (most columns of a stock repeat: brand, category, months). It
// holds views into the lines; it may live only as long as the text the lines are in.
class LineMemory {
public:
    struct Slot {
        QByteArrayView raw;
        QByteArray value;
        bool set = false;
    };
    std::array<Slot, 148> byColumn;
};

// The same into v, which must be a new default record (no photos); false when the line yields no vehicle,
// v then holding what was read. With memory, the lines of one text share their repeated texts.
bool readLineInto(QByteArrayView line, model::TFahrzeug& v, LineMemory* memory = nullptr);

} // namespace tarmelo::csv
