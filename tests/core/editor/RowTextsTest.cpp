#include "editor/RowTexts.h"

#include "model/Cp1252.h"

#include <gtest/gtest.h>

using namespace tarmelo;
using model::TFahrzeug;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

QByteArray cp(const char* utf8) {
    return *model::toCp1252(QString::fromUtf8(utf8));
}

struct PriceCase {
    const char* name;
    double preis;
    quint8 bn;
    const char* mwst;
    const char* net;
    const char* gross;
};

TEST(RowTexts, PriceColumns) {
    const PriceCase cases[] = {
        {"gross with rate", 10000, 0, "19%", "8.403 EUR", "10.000 EUR"},
        {"net with rate", 10000, 1, "19%", "10.000 EUR", "11.900 EUR"},
        {"net without rate", 10000, 1, "MwSt nicht ausweisbar", "10.000 EUR", "kein MwSt-Satz angegeben"},
        {"gross without rate", 10000, 0, "MwSt nicht ausweisbar", "", "10.000 EUR"},
        {"zero price", 0, 1, "19%", "", ""},
        {"tiny price counts as zero", 1e-13, 0, "19%", "", ""},
        {"decimal comma rate", 10000, 1, "19,6%", "10.000 EUR", "11.960 EUR"},
        {"rounding to nearest", 1234.5, 0, "0%", "1.235 EUR", "1.235 EUR"},
        {"large amount", 1234567, 0, "0%", "1.234.567 EUR", "1.234.567 EUR"},
        {"unreadable rate like none, net", 10000, 1, "", "10.000 EUR", "kein MwSt-Satz angegeben"},
        {"unreadable rate like none, gross", 10000, 0, "abc%", "", "10.000 EUR"},
        {"point is not a decimal separator", 10000, 1, "19.6%", "10.000 EUR", "kein MwSt-Satz angegeben"},
    };
    for (const PriceCase& pc : cases) {
        SCOPED_TRACE(pc.name);
        TFahrzeug v = model::newVehicle(1);
        v.preis = pc.preis;
        v.bn = pc.bn;
        v.mwst = pc.mwst;
        const editor::RowTexts r = editor::rowTexts(v, kGerman);
        EXPECT_EQ(r.cells[7], QString::fromUtf8(pc.net));
        EXPECT_EQ(r.cells[8], QString::fromUtf8(pc.gross));
    }
}

TEST(RowTexts, PriceUsesCurrencyAndLocale) {
    TFahrzeug v = model::newVehicle(1);
    v.preis = 12500;
    v.waehr = "CHF";
    v.mwst = "0%";
    EXPECT_EQ(editor::rowTexts(v, kGerman).cells[8], "12.500 CHF");
    EXPECT_EQ(editor::rowTexts(v, QLocale(QLocale::English, QLocale::UnitedStates)).cells[8], "12,500 CHF");
}

struct CellCase {
    const char* name;
    void (*fill)(TFahrzeug&);
    int cell;
    const char* expected;
};

TEST(RowTexts, VehicleColumns) {
    const CellCase cases[] = {
        {"make", [](TFahrzeug& v) { v.marke = cp("Citroën"); }, 0, "Citroën"},
        {"make placeholder", [](TFahrzeug& v) { v.marke = cp("Bitte auswählen"); }, 0, ""},
        {"model", [](TFahrzeug& v) { v.modell = "Golf"; }, 1, "Golf"},
        {"first registration", [](TFahrzeug& v) { v.ez = "03-2019"; }, 2, "03-2019"},
        {"empty mask EZ", [](TFahrzeug& v) { v.ez = model::kEmptyMonth; }, 2, ""},
        {"empty mask TÜV", [](TFahrzeug& v) { v.hu = model::kEmptyMonth; }, 3, ""},
        {"inspection", [](TFahrzeug& v) { v.hu = "11-2026"; }, 3, "11-2026"},
        {"empty mask AU", [](TFahrzeug& v) { v.au = model::kEmptyMonth; }, 4, ""},
        {"emission test", [](TFahrzeug& v) { v.au = "05-2025"; }, 4, "05-2025"},
        {"kilometres", [](TFahrzeug& v) { v.kilometer = "125000"; }, 5, "125.000 km"},
        {"small kilometres", [](TFahrzeug& v) { v.kilometer = "12"; }, 5, "12 km"},
        {"kilometres not a number", [](TFahrzeug& v) { v.kilometer = "abc"; }, 5, ""},
        {"kilometres with decimals", [](TFahrzeug& v) { v.kilometer = "12,5"; }, 5, ""},
        {"kilometres empty", [](TFahrzeug& v) { v.kilometer = ""; }, 5, ""},
        {"power in PS",
         [](TFahrzeug& v) {
             v.leistung = "75";
             v.kwps = 1;
         },
         6, "75 PS"},
        {"power in kW",
         [](TFahrzeug& v) {
             v.leistung = "55";
             v.kwps = 0;
         },
         6, "55 kW"},
        {"power empty",
         [](TFahrzeug& v) {
             v.leistung = "";
             v.kwps = 1;
         },
         6, ""},
    };
    for (const CellCase& cc : cases) {
        SCOPED_TRACE(cc.name);
        TFahrzeug v = model::newVehicle(1);
        cc.fill(v);
        EXPECT_EQ(editor::rowTexts(v, kGerman).cells[cc.cell], QString::fromUtf8(cc.expected));
    }
}

TEST(RowTexts, DetailLineJoinsMemoLines) {
    const std::pair<const char*, const char*> cases[] = {
        {"Klima\r\nAHK", "Klima, AHK"},   {"a\r\nb\r\nc", "a, b, c"},     {"lone\nfeed", "lone, feed"},
        {"lone\rreturn", "lone, return"}, {"Sitzheizung", "Sitzheizung"}, {"", ""},
    };
    for (const auto& [memo, expected] : cases) {
        SCOPED_TRACE(memo);
        TFahrzeug v = model::newVehicle(1);
        v.memo = memo;
        EXPECT_EQ(editor::rowTexts(v, kGerman).detail, QString::fromUtf8(expected));
    }
}

TEST(RowTexts, NewVehicleHasEmptyCells) {
    const editor::RowTexts r = editor::rowTexts(model::newVehicle(1), kGerman);
    for (const QString& cell : r.cells)
        EXPECT_TRUE(cell.isEmpty()) << cell.toStdString();
    EXPECT_TRUE(r.detail.isEmpty());
}

} // namespace
