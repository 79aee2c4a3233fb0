#pragma once

#include "model/Fahrzeug.h"

namespace tarmelo::editor {

// A vehicle added in the editor holds what its pages show for an empty record: the first item of each list
// ("Bitte auswählen", "keine Angabe", "Gebrauchtwagen" ...), "keine Farbangabe", the blank masks.
model::TFahrzeug newRecord(int klasse);

} // namespace tarmelo::editor
