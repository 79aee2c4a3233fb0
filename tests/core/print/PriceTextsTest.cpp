#include "print/PriceTexts.h"
#include "print/ReportData.h"

#include <gtest/gtest.h>

using namespace tarmelo;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

struct PriceCase {
    double preis;
    quint8 bn;
    const char* mwst;
    const char* net; // list columns
    const char* gross;
    const char* printed; // the sheet's price line after "Preis: "
};

const PriceCase kPrices[] = {
    {0, 1, "19%", "-", "-", ""},
    {1e-13, 0, "MwSt nicht ausweisbar", "-", "-", ""},
    {11900, 0, "19%", "10.000 EUR", "11.900 EUR", "11.900 EUR brutto (10.000 EUR netto), 19% MwSt ausweisbar"},
    {10000, 1, "19%", "10.000 EUR", "11.900 EUR", "11.900 EUR brutto (10.000 EUR netto), 19% MwSt ausweisbar"},
    {10000, 1, "7,6%", "10.000 EUR", "10.760 EUR", "10.760 EUR brutto (10.000 EUR netto), 7,6% MwSt ausweisbar"},
    {10000, 1, "MwSt nicht ausweisbar", "10.000 EUR", "kein MwSt-Satz angegeben",
     "10.000 EUR netto, kein MwSt-Satz angegeben"},
    {8500, 0, "MwSt nicht ausweisbar", "-", "8.500 EUR", "8.500 EUR brutto, MwSt nicht ausweisbar"},
    // A new vehicle's empty rate and other unreadable texts are priced as without a rate.
    {8500, 0, "", "-", "8.500 EUR", "8.500 EUR brutto, MwSt nicht ausweisbar"},
    {8500, 1, "abc%", "8.500 EUR", "kein MwSt-Satz angegeben", "8.500 EUR netto, kein MwSt-Satz angegeben"},
    {8500, 1, "19", "8.500 EUR", "kein MwSt-Satz angegeben", "8.500 EUR netto, kein MwSt-Satz angegeben"},
    {8500, 1, "-100%", "8.500 EUR", "kein MwSt-Satz angegeben", "8.500 EUR netto, kein MwSt-Satz angegeben"},
    {1234567.5, 1, "0%", "1.234.568 EUR", "1.234.568 EUR",
     "1.234.568 EUR brutto (1.234.568 EUR netto), 0% MwSt ausweisbar"},
    {-0.4, 1, "MwSt nicht ausweisbar", "0 EUR", "kein MwSt-Satz angegeben", "0 EUR netto, kein MwSt-Satz angegeben"},
};

TEST(PriceTexts, ListColumnsAndSheetLines) {
    for (const PriceCase& c : kPrices) {
        model::TFahrzeug v = model::newVehicle(1);
        v.preis = c.preis;
        v.bn = c.bn;
        v.mwst = c.mwst;
        const print::PriceColumns cols = print::priceColumns(v, kGerman);
        EXPECT_EQ(cols.net, QString::fromUtf8(c.net)) << c.preis << " " << c.mwst;
        EXPECT_EQ(cols.gross, QString::fromUtf8(c.gross)) << c.preis << " " << c.mwst;
        if (*c.printed) {
            EXPECT_EQ(print::priceText(v, v.preis, kGerman), QString::fromUtf8(c.printed)) << c.preis << " " << c.mwst;
        }
    }
}

TEST(PriceTexts, SheetBlockTakesPricesOnlyWhenNotZero) {
    const struct {
        double preis, hpreis;
        const char* price;
        const char* dealer;
    } table[] = {
        {0, 0, "", ""},
        {10000, 0, "Preis: 11.900 EUR brutto (10.000 EUR netto), 19% MwSt ausweisbar", ""},
        {0, 8500, "", "Händlerpreis: 10.115 EUR brutto (8.500 EUR netto), 19% MwSt ausweisbar"},
    };
    for (const auto& t : table) {
        model::Inventory inv{model::newVehicle(4)};
        inv[0].preis = t.preis;
        inv[0].hpreis = t.hpreis;
        const print::ReportBlocks r = print::prepareReport(inv, print::PrintChoice::all(1), true, kGerman);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.blocks[0].price, QString::fromUtf8(t.price));
        EXPECT_EQ(r.blocks[0].dealerPrice, QString::fromUtf8(t.dealer));
    }
}

TEST(ReportData, TitleLines) {
    const struct {
        const char* marke;
        const char* modell;
        const char* kategorie;
        const char* inr;
        bool automatic;
        const char* title;
    } table[] = {
        {"Bitte ausw\xe4hlen", "", "Bitte ausw\xe4hlen", "", false, "[keine Marke] [kein Modell]"},
        {"  ", " ", "  ", "7", true, "[keine Marke] [kein Modell]"},
        {"Audi", "A4 Avant", "Kombi", "4711", false, "Audi A4 Avant (Kombi), interne Nummer: 4711"},
        {"Audi", "A4 Avant", "Kombi", "4711", true, "Audi A4 Avant (Kombi)"},
        {"Audi ", "A4", "", "", false, "Audi  A4"},
        {"M\xfcller", "Z\xfcnder", "Gel\xe4nde", "N\xb0 1", false, "Müller Zünder (Gelände), interne Nummer: N° 1"},
    };
    for (const auto& t : table) {
        model::TFahrzeug v = model::newVehicle(1);
        v.marke = t.marke;
        v.modell = t.modell;
        v.kategorie = t.kategorie;
        v.inr = t.inr;
        EXPECT_EQ(print::blockTitle(v, t.automatic), QString::fromUtf8(t.title));
    }
}

TEST(ReportData, SelectionProgressAndFailure) {
    model::Inventory inv;
    for (int i = 0; i < 6; ++i) {
        inv.append(model::newVehicle(1));
        inv.last().marke = QByteArray::number(i + 1);
        inv.last().modell = "M";
    }
    print::PrintChoice choice = print::PrintChoice::all(6);
    choice.selection = {false, true, false, false, true, false};
    choice.countSelected();
    EXPECT_EQ(choice.selectedCount, 2);
    QList<int> progress;
    print::ReportBlocks r = print::prepareReport(inv, choice, true, kGerman, [&](int p) {
        progress.append(p);
        return true;
    });
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.blocks.size(), 2);
    EXPECT_EQ(r.blocks[0].position, 1);
    EXPECT_EQ(r.blocks[1].position, 4);
    EXPECT_EQ(r.blocks[0].features, QStringLiteral("[keine]"));
    EXPECT_EQ(progress, (QList<int>{50, 100, 100}));

    inv[4].kilometer = "12.5";
    r = print::prepareReport(inv, choice, true, kGerman);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains(QStringLiteral("Fahrzeug 5 (5 M)"))) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(QStringLiteral("Kilometer"))) << r.error.toStdString();
    EXPECT_TRUE(r.blocks.isEmpty());
}

TEST(ReportData, TextOfTheBlocks) {
    model::Inventory inv{model::newVehicle(1)};
    inv[0].marke = "VW";
    inv[0].modell = "Golf";
    inv[0].memo = "Zeile 1\r\nZeile 2";
    inv[0].preis = 8500;
    inv[0].mwst = "MwSt nicht ausweisbar";
    const print::ReportBlocks r = print::prepareReport(inv, print::PrintChoice::all(1), true, kGerman);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(print::reportText(r.blocks), QStringLiteral("VW Golf\nMerkmale: [keine]\nBeschreibung: Zeile 1\nZeile 2\n"
                                                          "Preis: 8.500 EUR brutto, MwSt nicht ausweisbar\n\n"));
}

} // namespace
