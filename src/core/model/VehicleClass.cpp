#include "VehicleClass.h"

#include <array>

namespace tarmelo::model {

namespace {

struct ClassNames {
    const char* shown; // UTF-8
    const char* page;
    const char* among; // UTF-8, after "bei"
};
const ClassNames kNames[12] = {{"Pkw", "Pkw", "Pkw"},
                               {"Motorrad", "Krad", "Motorrädern"},
                               {"Wohnmobil", "Womo", "Wohnmobilen"},
                               {"Transporter und Lkw bis 7,5t", "Lkw_k", "Transportern und Lkw bis 7,5t"},
                               {"Lkw über 7,5t", "Lkw_g", "Lkw über 7,5t"},
                               {"Sattelzugmaschine (SZM)", "SZM", "Sattelzugmaschinen"},
                               {"Anhänger", "Haenger", "Anhängern"},
                               {"Auflieger", "Auflieger", "Aufliegern"},
                               {"Baumaschine", "Bauma", "Baumaschinen"},
                               {"Bus", "Bus", "Bussen"},
                               {"Agrarfahrzeug", "Agrar", "Agrarfahrzeugen"},
                               {"Stapler", "Stapler", "Staplern"}};

const char* const kVehicle1[] = {"marke", "modell",    "kategorie", "ez",       "hu",
                                 "au",    "kilometer", "leistung",  "kwps",     "kraftstoff",
                                 "e10",   "tueren",    "farbe",     "metallic", "unf"};
const char* const kSeite1_1[] = {"abs",          "allrad",
                                 "anhaenger",    "behindertengerecht",
                                 "einparkhilfe", "fh",
                                 "wfs",          "export",
                                 "garantie",     "tuev_neu",
                                 "leder",        "alufelgen",
                                 "navi",         "partikelfilter",
                                 "scheckheft",   "sd",
                                 "servo",        "sitzheizung",
                                 "esp",          "sh",
                                 "taxi",         "tempomat",
                                 "xenon",        "zv"};
const char* const kSeite2_1[] = {"typ", "getriebe",    "umwelt",      "klima",    "abgas",
                                 "sp",  "lieferdatum", "lieferfrist", "overpass", "vin"};
const char* const kVehicle2[] = {"marke",   "modell",    "kategorie", "ez",       "hu",
                                 "au",      "kilometer", "leistung",  "kwps",     "kraftstoff",
                                 "hubraum", "antrieb",   "farbe",     "metallic", "unf"};
const char* const kSeite1_2[] = {"abs",    "behindertengerecht", "estarter", "tuev_neu",   "kat", "kickstarter",
                                 "koffer", "scheckheft",         "scheibe",  "sturzbuegel"};
const char* const kSeite2_2[] = {"typ", "getriebe", "vin", "lieferdatum", "lieferfrist", "overpass"};
const char* const kVehicle3[] = {"marke",    "modell", "kategorie",  "ez",  "hu",    "au",       "kilometer",
                                 "leistung", "kwps",   "kraftstoff", "typ", "farbe", "metallic", "unf"};
const char* const kSeite1_3[] = {"abs",
                                 "allrad",
                                 "anhaenger",
                                 "behindertengerecht",
                                 "einparkhilfe",
                                 "etagenbett",
                                 "festbett",
                                 "garantie",
                                 "hagelschaden",
                                 "heckgarage",
                                 "tuev_neu",
                                 "markise",
                                 "mittelsitzgruppe",
                                 "navi",
                                 "partikelfilter",
                                 "rundsitzgruppe",
                                 "scheckheft",
                                 "seitensitzgruppe",
                                 "dusche",
                                 "servo",
                                 "sitzheizung",
                                 "solar",
                                 "sh",
                                 "standklima",
                                 "tempomat",
                                 "tv",
                                 "vermietung",
                                 "wc",
                                 "zv",
                                 "zgg",
                                 "achsen"};
const char* const kSeite2_3[] = {"getriebe", "klima",  "abgas", "umwelt",      "sp",          "schlafplaetze", "bj",
                                 "laenge",   "breite", "hoehe", "lieferdatum", "lieferfrist", "overpass",      "vin"};
// Vans, lorries and tractor units share their vehicle group.
const char* const kVehicleLkw[] = {"marke",    "modell", "kategorie",  "ez",  "hu",    "au",       "kilometer",
                                   "leistung", "kwps",   "kraftstoff", "zgg", "farbe", "metallic", "unf"};
const char* const kSeite1_4[] = {"abs",    "allrad", "anhaenger",      "tuev_neu",   "kommunal",   "kran",
                                 "lbw",    "navi",   "partikelfilter", "scheckheft", "st",         "servo",
                                 "esp",    "sh",     "tempomat",       "tw",         "vermietung", "zv",
                                 "breite", "hoehe",  "lr_laenge",      "lr_breite",  "lr_hoehe",   "fahrerhaus"};
const char* const kSeite2_4[] = {"typ",      "getriebe",    "klima",       "abgas",       "umwelt",   "sp",
                                 "paletten", "ladevolumen", "lieferdatum", "lieferfrist", "overpass", "vin"};
const char* const kSeite1_5[] = {"abs",        "allrad",    "anhaenger", "ebs",         "tuev_neu",       "kommunal",
                                 "kompressor", "kran",      "lbw",       "navi",        "partikelfilter", "ret_int",
                                 "scheckheft", "esp",       "sh",        "standklima",  "tempomat",       "vermietung",
                                 "lr_laenge",  "lr_breite", "lr_hoehe",  "ladevolumen", "hydraulik",      "radformel"};
const char* const kSeite2_5[] = {"typ",   "getriebe",   "klima",    "abgas",       "umwelt",      "achsen",   "breite",
                                 "hoehe", "fahrerhaus", "paletten", "lieferdatum", "lieferfrist", "overpass", "vin"};
const char* const kSeite1_6[] = {
    "abs",     "allrad",     "ebs",          "tuev_neu", "kompressor", "alufelgen",  "navi",     "partikelfilter",
    "ret_int", "scheckheft", "ss_bereifung", "esp",      "sh",         "standklima", "tempomat", "vermietung",
    "vv"};
const char* const kSeite2_6[] = {"typ",         "getriebe", "klima",     "abgas",     "umwelt",
                                 "fahrerhaus",  "achsen",   "hydraulik", "radformel", "lieferdatum",
                                 "lieferfrist", "overpass", "vin"};
// Trailers and semi-trailers share the vehicle group and "Seite 2".
const char* const kVehicleTrailer[] = {"marke", "modell", "kategorie", "ez", "hu", "zgg", "achsen", "nutzlast"};
const char* const kSeite1_7[] = {"abs", "ebs", "tuev_neu", "kran", "lbw", "lf", "sb", "vermietung"};
const char* const kSeite2Trailer[] = {"typ",      "breite",      "hoehe",       "lr_laenge",   "lr_breite", "lr_hoehe",
                                      "paletten", "ladevolumen", "lieferdatum", "lieferfrist", "overpass",  "vin"};
const char* const kSeite1_8[] = {"abs", "ebs", "tuev_neu", "lf", "sb", "vermietung", "klima"};
const char* const kVehicle9[] = {"marke", "modell", "kategorie", "bj", "betrieb", "typ", "umwelt", "vin"};
const char* const kSeite1_9[] = {"abs",        "allrad", "bss",         "partikelfilter", "swe",     "strasse",
                                 "vermietung", "zsa",    "lieferdatum", "lieferfrist",    "overpass"};
const char* const kVehicle10[] = {"marke",    "modell", "kategorie",  "ez", "hu",    "au",       "kilometer",
                                  "leistung", "kwps",   "kraftstoff", "sp", "farbe", "metallic", "unf"};
const char* const kSeite1_10[] = {"abs",  "anhaenger",      "fs",       "tuev_neu",   "kueche",     "kb",
                                  "navi", "partikelfilter", "ret_int",  "scheckheft", "ss",         "esp",
                                  "sh",   "standklima",     "tempomat", "tv",         "vermietung", "wc"};
const char* const kSeite2_10[] = {"typ",         "getriebe",    "klima",    "abgas", "umwelt",
                                  "lieferdatum", "lieferfrist", "overpass", "vin"};
const char* const kVehicle11[] = {"marke",   "modell",   "kategorie", "bj",     "hu",
                                  "betrieb", "leistung", "kwps",      "umwelt", "vin"};
const char* const kSeite1_11[] = {"abs",      "allrad",      "frontheber",  "fronthydraulik", "tuev_neu",   "kabine",
                                  "kommunal", "servo",       "sh",          "standklima",     "vermietung", "typ",
                                  "klima",    "lieferdatum", "lieferfrist", "overpass"};
const char* const kVehicle12[] = {"marke", "modell", "kategorie", "bj",       "betrieb", "kraftstoff",
                                  "bh",    "hh",     "tk",        "getriebe", "vin"};
const char* const kSeite1_12[] = {"anhaenger", "kabine",   "schutzdach",  "servo",      "vermietung",
                                  "typ",       "overpass", "lieferdatum", "lieferfrist"};
const ClassLayout kLayouts[12] = {
    {kVehicle1, kSeite1_1, kSeite2_1},
    {kVehicle2, kSeite1_2, kSeite2_2},
    {kVehicle3, kSeite1_3, kSeite2_3},
    {kVehicleLkw, kSeite1_4, kSeite2_4},
    {kVehicleLkw, kSeite1_5, kSeite2_5},
    {kVehicleLkw, kSeite1_6, kSeite2_6},
    {kVehicleTrailer, kSeite1_7, kSeite2Trailer},
    {kVehicleTrailer, kSeite1_8, kSeite2Trailer},
    {kVehicle9, kSeite1_9, {}},
    {kVehicle10, kSeite1_10, kSeite2_10},
    {kVehicle11, kSeite1_11, {}},
    {kVehicle12, kSeite1_12, {}},
};

const char* const kPrice[] = {"preis", "hpreis", "waehr", "bn", "mwst"};
const char* const kOptions[] = {"tagesangebot", "hvisible", "reserved", "eyecatcher", "topincategory"};
const char* const kConsumption[] = {"envkv", "innerorts", "ausserorts", "kombiniert", "co2"};

bool contains(std::span<const char* const> group, QStringView field) {
    for (const char* f : group)
        if (field == QLatin1StringView(f))
            return true;
    return false;
}

bool validClass(int c) {
    return c >= 1 && c <= 12;
}

} // namespace

QString className(int klasse) {
    return validClass(klasse) ? QString::fromUtf8(kNames[klasse - 1].shown) : QString();
}
QString classNameAmong(int klasse) {
    return validClass(klasse) ? QString::fromUtf8(kNames[klasse - 1].among) : QString();
}
QString generalPageName(int klasse) {
    return validClass(klasse) ? QLatin1Char('a') + QLatin1StringView(kNames[klasse - 1].page) : QString();
}
QString equipmentPageName(int klasse) {
    return validClass(klasse) ? QLatin1Char('b') + QLatin1StringView(kNames[klasse - 1].page) : QString();
}

const ClassLayout& classLayout(int klasse) {
    static const ClassLayout none{};
    return validClass(klasse) ? kLayouts[klasse - 1] : none;
}

std::span<const char* const> priceGroup() {
    return kPrice;
}
std::span<const char* const> optionsGroup() {
    return kOptions;
}
std::span<const char* const> consumptionGroup() {
    return kConsumption;
}

Placement placement(QStringView field, int klasse) {
    if (!validClass(klasse))
        return {};
    const ClassLayout& l = classLayout(klasse);
    if (contains(l.vehicle, field) || contains(kPrice, field) || field == u"inr" || field == u"bilder")
        return {Page::General, Tab::Unchanged, true};
    if (contains(l.seite1, field))
        return {Page::Equipment, l.hasTabs() ? Tab::Seite1 : Tab::Unchanged, true};
    if (contains(l.seite2, field))
        return {Page::Equipment, Tab::Seite2, true};
    if (contains(kOptions, field) || field == u"memo" || (klasse == 1 && contains(kConsumption, field)))
        return {Page::Equipment, Tab::Unchanged, true};
    return {};
}

} // namespace tarmelo::model
