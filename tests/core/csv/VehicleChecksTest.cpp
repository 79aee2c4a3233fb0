#include "csv/VehicleChecks.h"
#include "model/Fahrzeug.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace tarmelo;
using model::TFahrzeug;

namespace {

const QDate kToday(2009, 5, 20);

// A used vehicle of class c that passes every check.
TFahrzeug validVehicle(int c) {
    TFahrzeug v = model::newVehicle(c);
    v.marke = "VW";
    v.modell = "Golf";
    v.kategorie = "Kombi";
    v.typ = "Gebrauchtwagen";
    v.preis = 10000;
    if ((c >= 1 && c <= 8) || c == 10)
        v.ez = "05-2005";
    if ((c >= 1 && c <= 6) || c == 10)
        v.kilometer = "50000";
    return v;
}

struct Case {
    const char* what;
    int klasse;
    std::function<void(TFahrzeug&)> mutate;
    int check; // 0: passes
    const char* control;
};

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFahrzeug v = validVehicle(c.klasse);
        c.mutate(v);
        const auto f = csv::checkVehicle(v, kToday);
        if (c.check == 0) {
            EXPECT_FALSE(f) << "failed check " << f->check << ": " << f->message.toStdString();
        } else {
            ASSERT_TRUE(f);
            EXPECT_EQ(f->check, c.check) << f->message.toStdString();
            EXPECT_EQ(f->control, QString::fromLatin1(c.control));
        }
    }
}

TEST(VehicleChecks, BaseVehiclesPass) {
    for (int c = 1; c <= 12; ++c)
        EXPECT_FALSE(csv::checkVehicle(validVehicle(c), kToday)) << "class " << c;
}

TEST(VehicleChecks, RequiredFieldsDependOnTypeAndClass) {
    runCases({
        {"placeholder make", 3, [](auto& v) { v.marke = "Bitte ausw\xe4hlen"; }, 1, "combo_3_marke"},
        {"no category", 2, [](auto& v) { v.kategorie.clear(); }, 3, "combo_2_kategorie"},
        {"used car without ez", 1, [](auto& v) { v.ez = model::kEmptyMonth; }, 11, "me_1_ez"},
        {"used trailer without ez", 7, [](auto& v) { v.ez = model::kEmptyMonth; }, 11, "me_7_ez"},
        {"construction machine without ez", 9, [](auto& v) { v.ez = model::kEmptyMonth; }, 0, ""},
        {"demonstrator counts as used", 1, [](auto& v) { v.typ = "Vorf\xfchrwagen", v.ez.clear(); }, 11, "me_1_ez"},
        {"used car without mileage", 1, [](auto& v) { v.kilometer = "  "; }, 12, "le_1_kilometer"},
        {"trailer without mileage", 7, [](auto& v) { v.kilometer.clear(); }, 0, ""},
        {"new car with ez", 1, [](auto& v) { v.typ = "Neuwagen"; }, 4, "me_1_ez"},
        {"new car with au", 1, [](auto& v) { v.typ = "Neuwagen", v.ez = v.hu = model::kEmptyMonth, v.au = "01-2010"; },
         6, "me_1_au"},
        {"new car for export", 1, [](auto& v) { v.typ = "Neuwagen", v.ez.clear(), v.export_ = 1; }, 8, "cb_1_export"},
        {"used car with delivery period", 1, [](auto& v) { v.lieferfrist = "4 Wochen"; }, 9, "combo_1_lieferfrist"},
        {"used car with transfer costs", 1, [](auto& v) { v.overpass = 500; }, 10, "ce_1_overpass"},
        {"delivery date with period", 1,
         [](auto& v) {
             v.typ = "Neuwagen", v.ez.clear(), v.kilometer.clear(), v.lieferfrist = "4 Wochen",
             v.lieferdatum = "01.06.2009";
         },
         13, "me_1_lieferdatum"},
    });
}

TEST(VehicleChecks, MonthAndDateFields) {
    runCases({
        {"ez in the future", 1, [](auto& v) { v.ez = "06-2009"; }, 21, "me_1_ez"},
        {"ez this month", 1, [](auto& v) { v.ez = "05-2009"; }, 0, ""},
        {"ez month 13", 1, [](auto& v) { v.ez = "13-2005"; }, 21, "me_1_ez"},
        {"ez partly typed", 1, [](auto& v) { v.ez = "05-20  "; }, 21, "me_1_ez"},
        {"year car 16 months", 1, [](auto& v) { v.typ = "Jahreswagen", v.ez = "01-2008"; }, 22, "me_1_ez"},
        {"year car 15 months", 1, [](auto& v) { v.typ = "Jahreswagen", v.ez = "02-2008"; }, 0, ""},
        {"oldtimer 239 months", 1, [](auto& v) { v.typ = "Oldtimer", v.ez = "06-1989"; }, 23, "me_1_ez"},
        {"oldtimer 240 months", 1, [](auto& v) { v.typ = "Oldtimer", v.ez = "05-1989"; }, 0, ""},
        {"oldtimer without ez is not judged", 9, [](auto& v) { v.typ = "Oldtimer"; }, 0, ""},
        {"hu with tuev_neu", 1, [](auto& v) { v.tuev_neu = 1, v.hu = "01-2010"; }, 24, "me_1_hu"},
        {"au with tuev_neu", 1, [](auto& v) { v.tuev_neu = 1, v.au = "01-2010"; }, 24, "me_1_au"},
        {"hu 12-2050", 1, [](auto& v) { v.hu = "12-2050"; }, 0, ""},
        {"hu 01-2051", 1, [](auto& v) { v.hu = "01-2051"; }, 25, "me_1_hu"},
        {"hu 12-1979", 1, [](auto& v) { v.hu = "12-1979"; }, 25, "me_1_hu"},
        {"hu partly typed", 1, [](auto& v) { v.hu = "0 -2010"; }, 25, "me_1_hu"},
        {"hu before ez", 1, [](auto& v) { v.hu = "03-2005", v.ez = "04-2005"; }, 26, "me_1_hu"},
        {"hu in the ez month", 1, [](auto& v) { v.hu = "03-2005", v.ez = "03-2005"; }, 0, ""},
        {"au month 0", 1, [](auto& v) { v.au = "00-2010"; }, 27, "me_1_au"},
        {"au before ez", 1, [](auto& v) { v.au = "04-2005", v.ez = "05-2005"; }, 28, "me_1_au"},
        {"29 Feb of a common year", 1, [](auto& v) { v.lieferdatum = "29.02.2009"; }, 29, "me_1_lieferdatum"},
        {"29 Feb of a leap year", 1, [](auto& v) { v.lieferdatum = "29.02.2008"; }, 0, ""},
        {"29 Feb 2000", 1, [](auto& v) { v.lieferdatum = "29.02.2000"; }, 0, ""},
        {"29 Feb 1900", 1, [](auto& v) { v.lieferdatum = "29.02.1900"; }, 29, "me_1_lieferdatum"},
        {"31 April", 1, [](auto& v) { v.lieferdatum = "31.04.2009"; }, 29, "me_1_lieferdatum"},
        {"unfilled date mask", 1, [](auto& v) { v.lieferdatum = model::kEmptyDate; }, 0, ""},
        {"bj this year", 9, [](auto& v) { v.bj = "2009"; }, 0, ""},
        {"bj next year", 9, [](auto& v) { v.bj = "2010"; }, 20, "me_9_bj"},
        {"bj 1900", 12, [](auto& v) { v.bj = "1900"; }, 20, "me_12_bj"},
        {"bj partly typed", 3, [](auto& v) { v.bj = "19 5"; }, 20, "me_3_bj"},
    });
}

TEST(VehicleChecks, ConsumptionValues) {
    runCases({
        {"0,999 rounds to 1", 1, [](auto& v) { v.innerorts = "0,999"; }, 0, ""},
        {"0,995 rounds up", 1, [](auto& v) { v.innerorts = "0,995"; }, 0, ""},
        {"0,994 rounds down", 1, [](auto& v) { v.innerorts = "0,994"; }, 16, "le_1_innerorts"},
        {"99,999 rounds to 100", 1, [](auto& v) { v.innerorts = "99,999"; }, 16, "le_1_innerorts"},
        {"99,99", 1, [](auto& v) { v.innerorts = "99,99"; }, 0, ""},
        {"100", 1, [](auto& v) { v.innerorts = "100"; }, 16, "le_1_innerorts"},
        {"0,5", 1, [](auto& v) { v.innerorts = "0,5"; }, 16, "le_1_innerorts"},
        {"two commas", 1, [](auto& v) { v.ausserorts = "5,5,5"; }, 17, "le_1_ausserorts"},
        {"decimal point", 1, [](auto& v) { v.ausserorts = "5.5"; }, 17, "le_1_ausserorts"},
        {"co2 999,99", 1, [](auto& v) { v.co2 = "999,99"; }, 0, ""},
        {"co2 1000", 1, [](auto& v) { v.co2 = "1000"; }, 19, "le_1_co2"},
        {"envkv with a value missing", 1,
         [](auto& v) { v.envkv = 1, v.innerorts = "8", v.ausserorts = "5", v.kombiniert = "6"; }, 14, "cb_1_envkv"},
        {"electric with a value", 1, [](auto& v) { v.kraftstoff = "Elektro", v.co2 = "120"; }, 15,
         "combo_1_kraftstoff"},
        {"electric without values", 1, [](auto& v) { v.kraftstoff = "Elektro"; }, 0, ""},
    });
}

TEST(VehicleChecks, CombinedConsumptionMessageFollowsEnvkv) {
    TFahrzeug v = validVehicle(1);
    v.kombiniert = "0";
    EXPECT_EQ(csv::checkVehicle(v, kToday)->message, QStringLiteral("Kraftstoffverbrauch ungültig"));
    v.envkv = 1;
    v.innerorts = v.ausserorts = v.co2 = "5";
    EXPECT_EQ(csv::checkVehicle(v, kToday)->message, QStringLiteral("Kombinierter Kraftstoffverbrauch ungültig"));
}

TEST(VehicleChecks, NumbersColourAndPrices) {
    auto newCar = [](TFahrzeug& v) { v.typ = "Neuwagen", v.ez = model::kEmptyMonth; };
    runCases({
        {"new car 500 km", 1, [&](auto& v) { newCar(v), v.kilometer = "500"; }, 0, ""},
        {"new car 501 km", 1, [&](auto& v) { newCar(v), v.kilometer = "501"; }, 30, "le_1_kilometer"},
        {"new car mileage not a number", 1, [&](auto& v) { newCar(v), v.kilometer = "5x"; }, 30, "le_1_kilometer"},
        {"power 0", 1, [](auto& v) { v.leistung = "0"; }, 31, "le_1_leistung"},
        {"power 1", 1, [](auto& v) { v.leistung = "1"; }, 0, ""},
        {"colour rot", 1, [](auto& v) { v.farbe = "rot"; }, 0, ""},
        {"colour gr\xfcn", 1, [](auto& v) { v.farbe = "gr\xfcn"; }, 0, ""},
        {"colour of digits", 1, [](auto& v) { v.farbe = "123"; }, 32, "combo_1_farbe"},
        {"colour of signs and umlauts", 1, [](auto& v) { v.farbe = "\xe4\xf6-/"; }, 32, "combo_1_farbe"},
        {"tiny price is zero", 1, [](auto& v) { v.preis = 1e-13; }, 33, "ce_1_preis"},
        {"dealer price equal", 1, [](auto& v) { v.hpreis = 10000; }, 0, ""},
        {"dealer price higher", 1, [](auto& v) { v.hpreis = 10000.01; }, 34, "ce_1_hpreis"},
        {"net without VAT rate", 1, [](auto& v) { v.bn = 1, v.mwst = "MwSt nicht ausweisbar"; }, 35, "combo_1_mwst"},
        {"gross without VAT rate", 1, [](auto& v) { v.bn = 0, v.mwst = "MwSt nicht ausweisbar"; }, 0, ""},
    });
}

TEST(VehicleChecks, EarlierRuleWins) {
    runCases({
        {"no make and no price", 1, [](auto& v) { v.marke.clear(), v.preis = 0; }, 1, "combo_1_marke"},
        {"future ez and no model", 1, [](auto& v) { v.ez = "01-2020", v.modell.clear(); }, 2, "le_1_modell"},
        {"bad colour before bad dealer price", 1, [](auto& v) { v.farbe = "1", v.hpreis = 2e6; }, 32, "combo_1_farbe"},
        {"bad hu before bad delivery date", 1, [](auto& v) { v.hu = "13-2010", v.lieferdatum = "32.01.2009"; }, 25,
         "me_1_hu"},
    });
}

TEST(VehicleChecks, PageAndTabOfTheFailure) {
    struct Row {
        int klasse;
        std::function<void(TFahrzeug&)> mutate;
        model::Page page;
        model::Tab tab;
    };
    using model::Page, model::Tab;
    const Row rows[] = {
        {3, [](auto& v) { v.bj = "2100"; }, Page::Equipment, Tab::Seite2},
        {9, [](auto& v) { v.bj = "2100"; }, Page::General, Tab::Unchanged},
        {1, [](auto& v) { v.typ = "Neuwagen", v.ez.clear(), v.tuev_neu = 1; }, Page::Equipment, Tab::Seite1},
        {4, [](auto& v) { v.overpass = 10; }, Page::Equipment, Tab::Seite2},
        {9, [](auto& v) { v.overpass = 10; }, Page::Equipment, Tab::Unchanged},
        {11, [](auto& v) { v.lieferdatum = "30.02.2009"; }, Page::Equipment, Tab::Unchanged},
        {1, [](auto& v) { v.innerorts = "0"; }, Page::Equipment, Tab::Unchanged},
        {1, [](auto& v) { v.preis = 0; }, Page::General, Tab::Unchanged},
    };
    for (const Row& r : rows) {
        TFahrzeug v = validVehicle(r.klasse);
        r.mutate(v);
        const auto f = csv::checkVehicle(v, kToday);
        ASSERT_TRUE(f) << "class " << r.klasse;
        EXPECT_EQ(f->page, r.page) << "check " << f->check << " class " << r.klasse;
        EXPECT_EQ(f->tab, r.tab) << "check " << f->check << " class " << r.klasse;
    }
}

TEST(VehicleChecks, InternalNumbers) {
    struct Row {
        const char* what;
        std::vector<const char*> inr;
        int index; // -1: passes
        const char* message;
    };
    const Row rows[] = {
        {"distinct", {"A1", "A2", "b1"}, -1, ""},
        {"case of A-Z ignored, later reported",
         {"ABC1", "x", "abc1"},
         2,
         "interne Nummer darf nicht mehrfach vorkommen"},
        {"lower case first", {"abc1", "ABC1"}, 1, "interne Nummer darf nicht mehrfach vorkommen"},
        {"umlauts keep their case",
         {"\xc4"
          "1",
          "\xe4"
          "1"},
         -1,
         ""},
        {"empty number before a duplicate", {"7", "", "7"}, 1, "keine interne Nummer angegeben"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        model::Inventory inv;
        for (const char* n : r.inr) {
            inv.append(validVehicle(2));
            inv.last().inr = n;
        }
        const auto f = csv::checkInternalNumbers(inv, 0, int(inv.size()) - 1);
        if (r.index < 0) {
            EXPECT_FALSE(f);
            continue;
        }
        ASSERT_TRUE(f);
        EXPECT_EQ(f->index, r.index);
        EXPECT_EQ(f->failure.message, QString::fromUtf8(r.message));
        EXPECT_EQ(f->failure.control, QStringLiteral("le_2_inr"));
        EXPECT_EQ(f->failure.page, model::Page::General);
    }
}

TEST(VehicleChecks, InternalNumbersOnlyWithinTheRange) {
    model::Inventory inv;
    for (const char* n : {"", "5", "5", "6"}) {
        inv.append(validVehicle(1));
        inv.last().inr = n;
    }
    EXPECT_FALSE(csv::checkInternalNumbers(inv, 2, 3));
    EXPECT_EQ(csv::checkInternalNumbers(inv, 1, 3)->index, 2);
}

} // namespace
