#include "print/FeatureList.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tarmelo;
using model::TFahrzeug;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

struct Case {
    const char* name;
    int klasse;
    std::function<void(TFahrzeug&)> setup;
    const char* expected; // UTF-8
};

void all(TFahrzeug& v, std::initializer_list<quint8 TFahrzeug::*> flags) {
    for (auto f : flags)
        v.*f = 1;
}

const Case kCases[] = {
    {"new car of type Gebrauchtwagen has no phrase", 1, [](TFahrzeug& v) { v.typ = "Gebrauchtwagen"; }, ""},
    {"car example", 1,
     [](TFahrzeug& v) {
         v.typ = "Neuwagen";
         v.ez = "06-2007";
         v.kilometer = "125000";
         v.leistung = "100";
         v.kwps = 1;
         v.kraftstoff = "Diesel";
         v.farbe = "silber";
         v.metallic = 1;
         v.abs = 1;
     },
     "Neuwagen, EZ: 06-2007, 125.000 km, 74 kW (100 PS), Kraftstoff: Diesel, silber, Metallic-Lackierung, ABS"},
    {"kW to PS", 1,
     [](TFahrzeug& v) {
         v.leistung = "75";
         v.kwps = 0;
     },
     "75 kW (102 PS)"},
    {"natural gas consumption in cubic metres", 1,
     [](TFahrzeug& v) {
         v.kraftstoff = "Erdgas (CNG)";
         v.innerorts = "8,5";
     },
     "Kraftstoff: Erdgas (CNG), Verbr. innerorts: 8,5 m³/100 km"},
    {"combined consumption by the label rule", 1,
     [](TFahrzeug& v) {
         v.kombiniert = "6,1";
         v.envkv = 1;
         v.ausserorts = "5";
         v.co2 = "139";
     },
     "Verbr. außerorts: 5 l/100 km, Verbr. kombiniert: 6,1 l/100 km, CO2-Emissionen: 139 g/km"},
    {"approximate consumption without the label", 1, [](TFahrzeug& v) { v.kombiniert = "6,1"; },
     "Verbr. ca.: 6,1 l/100 km"},
    {"partly filled month adds its text", 1, [](TFahrzeug& v) { v.ez = "06-    "; }, "EZ: 06-"},
    {"hu and au", 1,
     [](TFahrzeug& v) {
         v.hu = "01-2027";
         v.au = "02-2027";
     },
     "HU: 01-2027, AU: 02-2027"},
    {"no colour and fuel choices", 1,
     [](TFahrzeug& v) {
         v.farbe = "keine Farbangabe";
         v.kraftstoff = "andere";
         v.klima = "keine Angabe";
         v.getriebe = "";
     },
     ""},
    {"colour trimmed", 1, [](TFahrzeug& v) { v.farbe = "  blau "; }, "blau"},
    {"car order of the later phrases", 1,
     [](TFahrzeug& v) {
         v.e10 = 1;
         v.tueren = 4;
         v.zv = 1;
         v.sp = " 5 ";
         v.getriebe = "Automatik";
         v.klima = "Klimaanlage";
         v.abgas = 5;
         v.umwelt = 4;
     },
     "E10-geeignet, Türen: 4/5, Zentralverriegelung, Sitzplätze: 5, Automatik, Klimaanlage, "
     "Schadstoffklasse: Euro 5, Umweltplakette: 4 (Grün)"},
    {"every car flag in order", 1,
     [](TFahrzeug& v) {
         all(v, {&TFahrzeug::metallic,     &TFahrzeug::unf,
                 &TFahrzeug::abs,          &TFahrzeug::allrad,
                 &TFahrzeug::anhaenger,    &TFahrzeug::behindertengerecht,
                 &TFahrzeug::einparkhilfe, &TFahrzeug::fh,
                 &TFahrzeug::wfs,          &TFahrzeug::export_,
                 &TFahrzeug::garantie,     &TFahrzeug::tuev_neu,
                 &TFahrzeug::leder,        &TFahrzeug::alufelgen,
                 &TFahrzeug::navi,         &TFahrzeug::partikelfilter,
                 &TFahrzeug::scheckheft,   &TFahrzeug::sd,
                 &TFahrzeug::servo,        &TFahrzeug::sitzheizung,
                 &TFahrzeug::esp,          &TFahrzeug::sh,
                 &TFahrzeug::taxi,         &TFahrzeug::tempomat,
                 &TFahrzeug::xenon});
     },
     "Metallic-Lackierung, Unfallschaden, ABS, Allradantrieb, Anhängerkupplung, behindertengerecht, Einparkhilfe, "
     "el. Fensterheber, el. Wegfahrsperre, Exportfahrzeug, Garantie, HU & AU neu, Lederausstattung, "
     "Leichtmetallfelgen, Navigationssystem, Partikelfilter, scheckheftgepflegt, Schiebedach, Servolenkung, "
     "Sitzheizung, Stabilitätskontrolle, Standheizung, Taxi, Tempomat, Xenonscheinwerfer"},
    {"badges and doors", 1,
     [](TFahrzeug& v) {
         v.umwelt = 1;
         v.tueren = 6;
     },
     "Türen: 6/7, keine Umweltplakette"},
    {"closing phrases", 1,
     [](TFahrzeug& v) {
         v.lieferdatum = " 01.02.2027";
         v.lieferfrist = "4 Wochen";
         v.overpass = 1500;
         v.vin = "WVW123";
     },
     "Lieferdatum: 01.02.2027, Lieferfrist: 4 Wochen, Überführungskosten: 1.500 EUR inkl., Fahrgestellnr.: WVW123"},
    {"unfilled delivery date and no delivery time", 1,
     [](TFahrzeug& v) {
         v.lieferdatum = model::kEmptyDate;
         v.lieferfrist = "keine Angabe";
         v.overpass = 490;
     },
     "Überführungskosten: 490 EUR inkl."},
    {"motorcycle wording", 2,
     [](TFahrzeug& v) {
         v.hubraum = "998";
         v.antrieb = 1;
         all(v, {&TFahrzeug::behindertengerecht, &TFahrzeug::tuev_neu, &TFahrzeug::sturzbuegel});
         v.getriebe = "Schaltgetriebe";
     },
     "998 cm³, Kettenantrieb, Behinderten-Umbau, HU & AU neu, Sturzbügel, Schaltgetriebe"},
    {"motorhome measures after the choices", 3,
     [](TFahrzeug& v) {
         v.zgg = "3500";
         v.achsen = "2";
         v.klima = "Klimaanlage";
         v.standklima = 1;
         v.schlafplaetze = "4";
         v.bj = "2019";
         v.laenge = "7000";
         v.hoehe = "2900";
     },
     "Standklima, zulässiges Gesamtgewicht: 3500 kg, Achsen: 2, Klimaanlage, Schlafplätze: 4, Baujahr: 2019, "
     "Länge: 7000 mm, Höhe: 2900 mm"},
    {"van cab knows only 1 and 2", 4, [](TFahrzeug& v) { v.fahrerhaus = 3; }, ""},
    {"van cab and loading space", 4,
     [](TFahrzeug& v) {
         v.fahrerhaus = 1;
         v.zgg = "3500";
         v.lr_laenge = "3000";
         v.ladevolumen = "12";
         v.st = 1;
     },
     "zulässiges Gesamtgewicht: 3500 kg, Schiebetür, Laderaumlänge: 3000 mm, Fahrerhaus: Doppelkabine, "
     "Ladevolumen: 12 m³"},
    {"truck wheel formula 8 adds nothing", 5, [](TFahrzeug& v) { v.radformel = 8; }, ""},
    {"truck order", 5,
     [](TFahrzeug& v) {
         v.hydraulik = 2;
         v.radformel = 9;
         v.fahrerhaus = 4;
         v.achsen = "3";
         v.paletten = "18";
         v.ret_int = 1;
     },
     "Retarder/Intarder, Kipphydraulik, Radformel: 8x8, Achsen: 3, Fahrerhaus: Fernverkehr, "
     "Europalettenstellplätze: 18"},
    {"tractor unit order", 6,
     [](TFahrzeug& v) {
         v.hydraulik = 1;
         v.radformel = 8;
         v.fahrerhaus = 3;
         v.achsen = "2";
         v.ss_bereifung = 1;
         v.vv = 1;
     },
     "Super-Single-Bereifung, Vollverkleidung, Fahrerhaus: Nahverkehr, Achsen: 2, andere Hydraulik"},
    {"trailer wording", 7,
     [](TFahrzeug& v) {
         v.nutzlast = "2000";
         v.tuev_neu = 1;
         v.lf = 1;
         v.kilometer = "5";
     },
     "Nutzlast: 2000 kg, HU neu, Luftfederung"},
    {"semi-trailer climate before measures", 8,
     [](TFahrzeug& v) {
         v.klima = "Klimaanlage";
         v.breite = "2550";
         v.sb = 1;
     },
     "Scheibenbremse, Klimaanlage, Breite: 2550 mm"},
    {"construction machine", 9,
     [](TFahrzeug& v) {
         v.bj = "2019";
         v.betrieb = "1200";
         v.umwelt = 2;
         v.zsa = 1;
         v.strasse = 1;
         v.ez = "01-2019";
     },
     "Baujahr: 2019, Betriebsstunden: 1200, Umweltplakette: 2 (Rot), Straßenzulassung, ZSA"},
    {"bus wording", 10,
     [](TFahrzeug& v) {
         v.sp = "50";
         v.standklima = 1;
         v.kueche = 1;
         v.umwelt = 3;
     },
     "Sitzplätze: 50, Küche, Standklimaanlage, Umweltplakette: 3 (Gelb)"},
    {"agricultural order", 11,
     [](TFahrzeug& v) {
         v.bj = "2015";
         v.hu = "05-2026";
         v.betrieb = "3000";
         v.leistung = "100";
         v.tuev_neu = 1;
         v.klima = "Klimaanlage";
     },
     "Baujahr: 2015, HU: 05-2026, Betriebsstunden: 3000, 100 kW (136 PS), HU neu, Klimaanlage"},
    {"forklift order", 12,
     [](TFahrzeug& v) {
         v.betrieb = "800";
         v.kraftstoff = "Elektro";
         v.tk = "2500";
         v.hh = "4500";
         v.getriebe = "Automatik";
         v.schutzdach = 1;
     },
     "Betriebsstunden: 800, Kraftstoff: Elektro, Hubhöhe: 4500 mm, Tragkraft: 2500 kg, Automatik, Schutzdach"},
    {"class outside the range has only the common phrases", 13,
     [](TFahrzeug& v) {
         v.typ = "Neuwagen";
         v.abs = 1;
         v.vin = "X";
     },
     "Neuwagen, Fahrgestellnr.: X"},
};

class FeatureListTest : public testing::TestWithParam<Case> {};

TEST_P(FeatureListTest, ComposesPhrases) {
    const Case& c = GetParam();
    TFahrzeug v = model::newVehicle(c.klasse);
    v.klasse = quint8(c.klasse);
    c.setup(v);
    const print::FeatureList f = print::composeFeatures(v, kGerman);
    ASSERT_TRUE(f.ok()) << c.name;
    EXPECT_EQ(f.text, QString::fromUtf8(c.expected)) << c.name;
    EXPECT_FALSE(f.text.endsWith(u',') || f.text.startsWith(u' ') || f.text.endsWith(u' ')) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllClasses, FeatureListTest, testing::ValuesIn(kCases));

// Fields the editor fills with digits only: anything else abandons the report.
TEST(FeatureListFailure, NamesTheFieldThatIsNoWholeNumber) {
    const struct {
        int klasse;
        QByteArray TFahrzeug::*field;
        QByteArray value;
        const char* failed;
    } table[] = {
        {1, &TFahrzeug::kilometer, "12.000", "kilometer"},
        {1, &TFahrzeug::kilometer, "1e5", "kilometer"},
        {2, &TFahrzeug::leistung, "75kW", "leistung"},
        {11, &TFahrzeug::leistung, "7,5", "leistung"},
        {1, &TFahrzeug::kilometer, " 42 ", ""},
        {9, &TFahrzeug::kilometer, "abc", ""},
    };
    for (const auto& t : table) {
        TFahrzeug v = model::newVehicle(t.klasse);
        v.*t.field = t.value;
        const print::FeatureList f = print::composeFeatures(v, kGerman);
        EXPECT_EQ(f.failedField, QString::fromLatin1(t.failed)) << t.value.constData();
        if (!f.ok()) {
            EXPECT_TRUE(f.text.isEmpty());
        }
    }
}

} // namespace
