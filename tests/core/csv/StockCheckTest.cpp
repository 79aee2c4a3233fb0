#include "csv/StockCheck.h"
#include "csv/VehicleChecks.h"
#include "model/Fahrzeug.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <functional>
#include <vector>

using namespace tarmelo;
using csv::Warning;
using model::TFahrzeug;

namespace {

const QDate kToday(2009, 5, 20);

// A used car that breaks no rule and raises no warning.
TFahrzeug readyCar() {
    TFahrzeug v = model::newVehicle(1);
    v.marke = "VW";
    v.modell = "Golf";
    v.kategorie = "Kombi";
    v.typ = "Gebrauchtwagen";
    v.preis = 10000;
    v.ez = "05-2005";
    v.kilometer = "50000";
    for (int k = 0; k < 3; ++k)
        v.bilder[size_t(k)] = "jpeg";
    return v;
}

std::vector<Warning> kinds(const QList<csv::VehicleWarning>& ws) {
    std::vector<Warning> r;
    for (const auto& w : ws)
        r.push_back(w.kind);
    return r;
}

TEST(VehicleWarnings, EachRuleFiresAndStaysQuiet) {
    struct Case {
        const char* what;
        std::function<void(TFahrzeug&)> mutate;
        std::vector<Warning> expected;
        const char* message = nullptr; // of the first warning, when given
        const char* control = nullptr;
    };
    const Case cases[] = {
        {"ready", [](auto&) {}, {}},
        {"no photo", [](auto& v) { v.bilder = {}; }, {Warning::NoPhoto}, "Kein Foto vorhanden", "Image1"},
        {"one photo",
         [](auto& v) { v.bilder[1] = v.bilder[2] = {}; },
         {Warning::FewPhotos},
         "Nur 1 Foto vorhanden (empfohlen sind mindestens 3)"},
        {"two photos",
         [](auto& v) { v.bilder[2] = {}; },
         {Warning::FewPhotos},
         "Nur 2 Fotos vorhanden (empfohlen sind mindestens 3)"},
        {"price 99,99",
         [](auto& v) { v.preis = 99.99, v.waehr = "EUR"; },
         {Warning::LowPrice},
         "Preis unter 100 EUR – bitte prüfen",
         "ce_1_preis"},
        {"price 100", [](auto& v) { v.preis = 100; }, {}},
        {"price 0 is a rule, not a warning", [](auto& v) { v.preis = 0; }, {}},
        {"ez after delivery month",
         [](auto& v) { v.ez = "06-2008", v.lieferdatum = "31.05.2008"; },
         {Warning::RegisteredAfterDelivery},
         "Erstzulassung (06-2008) liegt nach dem Lieferdatum (31.05.2008)",
         "me_1_ez"},
        {"ez in the delivery month", [](auto& v) { v.ez = "05-2008", v.lieferdatum = "01.05.2008"; }, {}},
        {"invalid delivery date not compared", [](auto& v) { v.ez = "06-2008", v.lieferdatum = "31.02.2008"; }, {}},
        {"used with 0 km",
         [](auto& v) { v.kilometer = "0"; },
         {Warning::NoMileage},
         "Laufleistung 0 km bei einem Gebrauchtfahrzeug",
         "le_1_kilometer"},
        {"demonstrator with 0 km",
         [](auto& v) { v.typ = "Vorf\xfchrwagen", v.kilometer = " 0 "; },
         {Warning::NoMileage}},
        {"day registration with 0 km", [](auto& v) { v.typ = "Tageszulassung", v.kilometer = "0"; }, {}},
        {"new car with 0 km", [](auto& v) { v.typ = "Neuwagen", v.ez.clear(), v.kilometer = "0"; }, {}},
        {"used trailer has no mileage field", [](auto& v) { v.klasse = 7, v.kilometer = "0"; }, {}},
        {"North American VIN right", [](auto& v) { v.vin = "1M8GDM9AXKP042788"; }, {}},
        {"North American VIN in lower case", [](auto& v) { v.vin = "1m8gdm9axkp042788"; }, {}},
        {"North American check digit wrong",
         [](auto& v) { v.vin = "1M8GDM9A1KP042788"; },
         {Warning::VinCheckDigit},
         "Prüfziffer der Fahrgestellnummer (9. Stelle) stimmt nicht, erwartet: X",
         "le_1_vin"},
        {"European VIN: position 9 not judged", [](auto& v) { v.vin = "WDD2040081A123456"; }, {}},
        {"VIN of 16 characters",
         [](auto& v) { v.vin = "WVWZZZ1KZAW00000"; },
         {Warning::VinMalformed},
         "Fahrgestellnummer hat 16 statt 17 Zeichen"},
        {"VIN with O", [](auto& v) { v.vin = "WVWZZZ1KZAW0000O1"; }, {Warning::VinMalformed}},
        {"VIN with a blank inside", [](auto& v) { v.vin = "WVWZZZ1KZ W000001"; }, {Warning::VinMalformed}},
        {"VIN empty", [](auto& v) { v.vin.clear(); }, {}},
        {"HU last month",
         [](auto& v) { v.hu = "04-2009"; },
         {Warning::HuExpired},
         "HU-Termin 04-2009 ist abgelaufen",
         "me_1_hu"},
        {"HU this month", [](auto& v) { v.hu = "05-2009"; }, {}},
        {"HU unfilled", [](auto& v) { v.hu = model::kEmptyMonth; }, {}},
        {"several at once",
         [](auto& v) { v.bilder = {}, v.kilometer = "0", v.hu = "01-2008"; },
         {Warning::NoPhoto, Warning::NoMileage, Warning::HuExpired}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFahrzeug v = readyCar();
        c.mutate(v);
        const auto ws = csv::vehicleWarnings(v, kToday);
        EXPECT_EQ(kinds(ws), c.expected);
        EXPECT_EQ(csv::hasVehicleWarning(v, kToday), !c.expected.empty());
        if (c.message && !ws.isEmpty()) {
            EXPECT_EQ(ws[0].detail.message, QString::fromUtf8(c.message));
        }
        if (c.control && !ws.isEmpty()) {
            EXPECT_EQ(ws[0].detail.control, QString::fromLatin1(c.control));
        }
    }
}

// Random records: the single check is always the first entry of the full list, so both read one set of rules.
TEST(StockCheck, FirstFailureIsTheSingleCheck) {
    QRandomGenerator rng(21);
    auto pick = [&](std::initializer_list<const char*> values) {
        return QByteArray(values.begin()[rng.bounded(int(values.size()))]);
    };
    for (int n = 0; n < 3000; ++n) {
        TFahrzeug v = model::newVehicle(1 + rng.bounded(12));
        v.marke = pick({"", "VW", "Bitte ausw\xe4hlen"});
        v.modell = pick({"", "Golf"});
        v.kategorie = pick({"Kombi", "", "Kombi"});
        v.typ = pick({"Neuwagen", "Gebrauchtwagen", "Jahreswagen", "Oldtimer", "Tageszulassung"});
        v.ez = pick({"", "  -    ", "05-2005", "13-2005", "06-2009", "01-2008", "05-1989", "05-20  "});
        v.hu = pick({"", "  -    ", "04-2005", "01-2051", "06-2010"});
        v.au = pick({"", "03-2005", "00-2010"});
        v.kilometer = pick({"", "0", "501", "50000", "x"});
        v.leistung = pick({"", "0", "75"});
        v.bj = pick({"", "2010", "1995", "19 5"});
        v.lieferdatum = pick({"", "  .  .    ", "29.02.2009", "01.06.2009"});
        v.lieferfrist = pick({"", "keine Angabe", "4 Wochen"});
        v.innerorts = pick({"", "5,5", "0,5"});
        v.co2 = pick({"", "120", "1000"});
        v.kraftstoff = pick({"Benzin", "Elektro"});
        v.farbe = pick({"", "rot", "123"});
        v.envkv = quint8(rng.bounded(2));
        v.tuev_neu = quint8(rng.bounded(2));
        v.export_ = quint8(rng.bounded(2));
        v.bn = quint8(rng.bounded(2));
        v.mwst = pick({"19%", "MwSt nicht ausweisbar"});
        v.overpass = rng.bounded(2) * 100;
        v.preis = rng.bounded(3) * 5000;
        v.hpreis = rng.bounded(3) * 5000;

        const auto first = csv::checkVehicle(v, kToday);
        const QList<csv::CheckFailure> all = csv::allFailures(v, kToday);
        ASSERT_EQ(first.has_value(), !all.isEmpty());
        EXPECT_EQ(csv::breaksRule(v, kToday), first.has_value());
        if (!first)
            continue;
        EXPECT_EQ(first->check, all[0].check);
        EXPECT_EQ(first->message, all[0].message);
        EXPECT_EQ(first->control, all[0].control);
        for (qsizetype k = 1; k < all.size(); ++k)
            EXPECT_LT(all[k - 1].check, all[k].check);
    }
}

TEST(StockCheck, ReportsEveryFailureAndTheLights) {
    model::Inventory inv{readyCar(), readyCar(), readyCar()};
    inv[0].marke.clear();
    inv[0].preis = 0; // two rules
    inv[1].bilder = {};
    const csv::StockReport r = csv::checkStock(inv, true, kToday);
    ASSERT_EQ(r.findings.size(), 3);
    EXPECT_EQ(r.findings[0].detail.check, 1);
    EXPECT_EQ(r.findings[1].detail.check, 33);
    EXPECT_EQ(r.findings[2].index, 1);
    EXPECT_EQ(r.findings[2].severity, csv::Severity::Warning);
    EXPECT_EQ(r.errors, 2);
    EXPECT_EQ(r.warnings, 1);
    EXPECT_EQ(r.lights, (QList<csv::Light>{csv::Light::Red, csv::Light::Yellow, csv::Light::Green}));
}

TEST(StockCheck, SameVinAndInternalNumber) {
    struct Case {
        const char* what;
        bool automatic;
        std::vector<const char*> inr, vin;
        // Per vehicle: the messages in order.
        std::vector<std::vector<const char*>> messages;
    };
    const char* kRepeat = "interne Nummer darf nicht mehrfach vorkommen";
    const Case cases[] = {
        {"VIN in other case and blanks",
         true,
         {"1", "2", "3"},
         {"WVWZZZ1KZAW000001", " wvwzzz1kzaw000001", ""},
         {{"Gleiche Fahrgestellnummer wie bei Fahrzeug 2"}, {"Gleiche Fahrgestellnummer wie bei Fahrzeug 1"}, {}}},
        {"three with one VIN",
         true,
         {"1", "2", "3"},
         {"WVWZZZ1KZAW000001", "WVWZZZ1KZAW000001", "WVWZZZ1KZAW000001"},
         {{"Gleiche Fahrgestellnummer wie bei Fahrzeugen 2 und 3"},
          {"Gleiche Fahrgestellnummer wie bei Fahrzeugen 1 und 3"},
          {"Gleiche Fahrgestellnummer wie bei Fahrzeugen 1 und 2"}}},
        {"automatic numbers: a warning on each",
         true,
         {"A7", "", "a7"},
         {"", "", ""},
         {{"Gleiche interne Nummer wie bei Fahrzeug 3"}, {}, {"Gleiche interne Nummer wie bei Fahrzeug 1"}}},
        {"typed numbers: the rule on the later, a warning on the first, every missing one",
         false,
         {"A7", "", "a7", ""},
         {"", "", "", ""},
         {{"Gleiche interne Nummer wie bei Fahrzeug 3"},
          {"keine interne Nummer angegeben"},
          {kRepeat},
          {"keine interne Nummer angegeben"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model::Inventory inv;
        for (size_t i = 0; i < c.inr.size(); ++i) {
            inv.append(readyCar());
            inv.last().inr = c.inr[i];
            inv.last().vin = c.vin[i];
        }
        const csv::StockReport r = csv::checkStock(inv, c.automatic, kToday);
        std::vector<std::vector<QString>> got(inv.size());
        for (const csv::Finding& f : r.findings)
            got[size_t(f.index)].push_back(f.detail.message);
        for (size_t i = 0; i < c.messages.size(); ++i) {
            std::vector<QString> want;
            for (const char* m : c.messages[i])
                want.push_back(QString::fromUtf8(m));
            EXPECT_EQ(got[i], want) << "vehicle " << i + 1;
        }
    }
}

} // namespace
