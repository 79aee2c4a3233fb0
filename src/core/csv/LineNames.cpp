#include "csv/LineNames.h"

namespace tarmelo::csv {

namespace {

const char* const kUnder75[] = {"Abrollkipper",    "Abschleppwagen",
                                "Absetzkipper",    "Autokran",
                                "Autotransporter", "Dreiseitenkipper",
                                "Fahrgestell",     "Hubarbeitsbühne",
                                "Kehrmaschine",    "Kipper",
                                "Koffer",          "Kühlkoffer",
                                "Müllwagen",       "Pritsche + Plane",
                                "Pritsche",        "Saug- und Druckwagen",
                                "Verkaufsaufbau",  "Wechselfahrgestell"};

const char* const kOver75[] = {"Abrollkipper",
                               "Abschleppwagen",
                               "Absetzkipper",
                               "Autokran",
                               "Autotransporter",
                               "Betonpumpe",
                               "Dreiseitenkipper",
                               "Fahrgestell",
                               "Getränkewagen",
                               "Holztransporter",
                               "Hubarbeitsbühne",
                               "Kehrmaschine",
                               "Kipper",
                               "Koffer",
                               "Kühlkoffer",
                               "Müllwagen",
                               "Pritsche",
                               "Pritsche + Plane",
                               "Saug- und Druckwagen",
                               "Tankwagen",
                               "Tier-/Pferdetransportwagen",
                               "Verkaufsaufbau",
                               "Wechselfahrgestell"};

const char* const kTrailers[] = {"Autotransporter",  "Fahrgestell",  "Getränke",          "Holztransporter",
                                 "Hubarbeitsbühne",  "Koffer",       "Kühlkoffer",        "Langmaterialtransporter",
                                 "Lebensmitteltank", "Pritsche",     "Pritsche + Plane",  "Silo",
                                 "Plattform",        "Tankaufbau",   "Tieflader",         "Tier-/Pferdetransport",
                                 "Verkaufsaufbau",   "Walkingfloor", "Wechselfahrgestell"};

const char* const kSemiTrailers[] = {"Autokran",
                                     "Autotransporter",
                                     "Fahrgestell",
                                     "Getränke",
                                     "Holztransporter",
                                     "Hubarbeitsbühne",
                                     "Kipper",
                                     "Koffer",
                                     "Kühlkoffer",
                                     "Tieflader",
                                     "Langmaterialtransporter",
                                     "Lebensmitteltank",
                                     "Plattform",
                                     "Pritsche",
                                     "Pritsche + Plane",
                                     "Silo",
                                     "Verkaufsaufbau",
                                     "Tankaufbau",
                                     "Walkingfloor",
                                     "Wechselfahrgestell"};

const SuffixedCategories kSuffixed[] = {
    {4, " unter 7,5t", kUnder75},
    {5, " ueber 7,5t", kOver75},
    {7, " Anhaenger", kTrailers},
    {8, " Auflieger", kSemiTrailers},
};

const RenamedCategory kRenamed[] = {
    {1, "andere", "andere PKW"},
    {1, "Sportwagen/Coupé", "Sportwagen/Coupe"},
    {2, "andere", "andere Motorraeder"},
    {3, "andere", "andere Wohnmobile"},
    {4, "Tankaufbau", "Tankwagen unter 7,5t"},
    {4, "Getränke", "Getraenkewagen unter 7,5t"},
    // Keeps the van apart from the motor-home category "Kastenwagen", which a reader finds first.
    {4, "Kastenwagen", "Kasten"},
    {4, "Tier-/Pferdetransport", "Tier-/Pferdetransportwagen unter 7,5t"},
};

const RenamedBrand kBrands[] = {
    {2, "Arctic Cat", "ARCTIC_CAT"},
    {2, "Can Am", "CAN_AM"},
    {2, "E-Ton", "E_TON"},
    {2, "GG Motorradtechnik", "GGMOTORRADTECHNIK"},
    {3, "Four-Wheel Camper", "FOURWHEELCAMPER"},
    {3, "Home-Car", "HOMECAR"},
    {3, "Six-Pac", "SIXPAC"},
    {4, "Brian James", "BRIAN_JAMES"},
    {4, "Ifor Williams", "IFORWILLIAMS"},
    {4, "JUNG Fahrzeugbau", "JUNGFAHRZEUGBAU"},
    {4, "Magirus Deutz", "MAGIRUSDEUTZ"},
    {4, "Reformwerke Wels", "REFORMWERKEWELS"},
    {4, "Van Eck", "VAN_ECK"},
    {4, "Ditch Witch", "DITCH_WITCH"},
};

} // namespace

std::span<const SuffixedCategories> suffixedCategories() {
    return kSuffixed;
}

std::span<const RenamedCategory> renamedCategories() {
    return kRenamed;
}

std::span<const RenamedBrand> renamedBrands() {
    return kBrands;
}

} // namespace tarmelo::csv
