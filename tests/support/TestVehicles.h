#pragma once

#include "model/Fahrzeug.h"

namespace tarmelo::test {

// A vehicle of class c that passes every marketplace rule (a used vehicle registered in May 2005).
inline model::TFahrzeug validVehicle(int c) {
    model::TFahrzeug v = model::newVehicle(c);
    v.marke = "andere";
    v.modell = "Modell";
    v.kategorie = "andere";
    v.ez = "05-2005";
    v.kilometer = "1000";
    v.preis = 11900;
    v.typ = "Gebrauchtwagen";
    return v;
}

} // namespace tarmelo::test
