#pragma once

#include "model/Fahrzeug.h"

namespace tarmelo::editor {

// The record as the editor's store step leaves it after showing it (twice, which is where it settles: a list value
// the list does not hold is stored empty, and an empty one then shows the list's first item): masks their
// blank form, texts their width and trimming, amounts their range and cents, flags 0 or 1, the free text CR LF line
// breaks. Fields the class has no control for stay as they are. Vehicles that come from elsewhere (JSON) take this
// form at once, so that their content, and with it their automatic number, does not change at the first save.
model::TFahrzeug storedForm(model::TFahrzeug v);

} // namespace tarmelo::editor
