#pragma once

#include "model/Fahrzeug.h"

namespace tarmelo::csv {

// Finds a read line's class from its category and brings category and brand into the lists' spelling where the
// marketplace spells them otherwise; false when no class knows the category. The category names are those the
// writer gives (csv/LineNames.h), read back; the brand fixes are the marketplace's own spellings.
bool classify(model::TFahrzeug& v);

} // namespace tarmelo::csv
