#include "inventory/StockFilter.h"
#include "csv/StockCheck.h"
#include "inventory/Document.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QRandomGenerator>

#include <numeric>

using namespace tarmelo;
using inventory::SortColumn;
using inventory::StockFilter;

namespace {

const QDate kToday(2009, 5, 20);

// Qt 6.4 compares two empty lists with memcmp on a null pointer, which UBSan rejects.
std::vector<int> vec(const QList<int>& l) {
    return {l.begin(), l.end()};
}
const QLocale kGerman(QLocale::German, QLocale::Germany);

model::TFahrzeug car(const char* marke, const char* modell, double preis, const char* ez = "05-2005") {
    model::TFahrzeug v = model::newVehicle(1);
    v.marke = marke;
    v.modell = modell;
    v.kategorie = "Kombi";
    v.typ = "Gebrauchtwagen";
    v.preis = preis;
    v.mwst = "19%";
    v.ez = ez;
    v.kilometer = "50000";
    for (int k = 0; k < 3; ++k)
        v.bilder[size_t(k)] = "jpeg";
    return v;
}

model::Inventory sample() {
    model::Inventory inv{car("VW", "Golf", 12500), car("Opel", "Astra", 8900, "03-2013"), car("\xd6ko", "Golfcart", 0),
                         car("Bitte ausw\xe4hlen", "Polo", 4990)};
    inv[0].inr = "A-17";
    inv[0].vin = "WVWZZZ1KZAW000123";
    inv[1].inr = "B-2";
    inv[2].kategorie = "Sonstige";
    inv[3].klasse = 2;
    return inv;
}

TEST(StockFilter, WordsNarrowOverTheListedFacts) {
    struct Case {
        const char* query;
        int klasse;
        QList<int> rows;
    };
    const Case cases[] = {
        {"", 0, {0, 1, 2, 3}},  {"golf", 0, {0, 2}}, {"GOLF vw", 0, {0}},
        {"golf  opel", 0, {}},  {"0123", 0, {0}}, // last digits of the VIN
        {"a-17", 0, {0}},                         // internal number
        {"12.500", 0, {0}},                       // gross as the list shows it
        {"10504", 0, {0}},                        // net, typed without separator (12500 / 1,19 rounded)
        {"2013", 0, {1}},                         // year of first registration
        {"sonstige", 0, {2}},                     // category
        {"\xc3\xb6ko", 0, {2}},                   // umlaut without case
        {"bitte", 0, {}},                         // the placeholder is no brand
        {"", 2, {3}},           {"polo", 1, {}},
    };
    StockFilter filter(kGerman);
    model::Inventory inv = sample();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(vec(filter.visibleRows(inv, {}, {QString::fromUtf8(c.query), c.klasse, false}, true, kToday)),
                  vec(c.rows));
    }
    // A sold vehicle leaves the stock for the view of the sold ones; a reserved one stays.
    inv[1].bestand.status = model::StockStatus::Sold;
    inv[2].bestand.status = model::StockStatus::Reserved;
    EXPECT_EQ(vec(filter.visibleRows(inv, {}, {}, true, kToday)), vec({0, 2, 3}));
    EXPECT_EQ(vec(filter.visibleRows(inv, {}, {{}, 0, false, true}, true, kToday)), vec({1}));
    EXPECT_EQ(vec(filter.visibleRows(inv, {}, {QStringLiteral("golf"), 0, false, true}, true, kToday)), vec({}));
}

// Random stocks edited between filters: the cached lights always equal a fresh stock check, and "nur fehlerhafte"
// shows exactly the red ones.
TEST(StockFilter, CachedLightsFollowEveryEdit) {
    QRandomGenerator rng(26);
    inventory::Document doc;
    StockFilter filter(kGerman);
    model::Inventory start;
    for (int i = 0; i < 40; ++i)
        start.append(car("VW", "Golf", 10000));
    doc.append(start);
    for (int round = 0; round < 200; ++round) {
        const int row = int(rng.bounded(doc.count()));
        model::TFahrzeug& v = doc.edit(row);
        switch (rng.bounded(7)) {
        case 0:
            v.preis = rng.bounded(2) ? 0 : 50;
            break;
        case 1:
            v.inr = QByteArray::number(rng.bounded(5));
            break;
        case 2:
            v.vin = rng.bounded(2) ? "WVWZZZ1KZAW000123" : "";
            break;
        case 3:
            v.bilder = {};
            break;
        case 4:
            if (doc.count() > 1)
                doc.removeAt(row);
            break;
        case 5:
            doc.appendCopy(row);
            break;
        default:
            v = car("Opel", "Astra", 9000);
        }
        const bool automatic = rng.bounded(2);
        const csv::StockReport fresh = csv::checkStock(doc.vehicles(), automatic, kToday);
        ASSERT_EQ(filter.lights(doc.vehicles(), doc.revisions(), automatic, kToday), fresh.lights) << "round " << round;
        QList<int> red;
        for (int i = 0; i < fresh.lights.size(); ++i)
            if (fresh.lights[i] == csv::Light::Red)
                red.append(i);
        ASSERT_EQ(vec(filter.visibleRows(doc.vehicles(), doc.revisions(), {{}, 0, true}, automatic, kToday)), vec(red));
    }
}

TEST(StockFilter, SortsColumnsAsTheirValuesStably) {
    model::Inventory inv{car("\xc4rger", "b", 5000, "12-2004"), car("Zebra", "a", 0, "01-2005"),
                         car("arger", "c", 20000, "  -    "), car("Audi", "c", 5000, "03-1999")};
    inv[0].kilometer = "9000";
    inv[1].kilometer = "100000";
    inv[2].kilometer = "";
    inv[0].leistung = "100", inv[0].kwps = 1; // 100 PS = 73.5 kW
    inv[1].leistung = "80", inv[1].kwps = 0;
    inv[3].leistung = "70", inv[3].kwps = 0;
    inv[0].bestand.entered = kToday.addDays(-10);
    inv[2].bestand.entered = kToday.addDays(-3);
    inv[3].bestand.entered = kToday.addDays(-30);
    inv[3].bestand.status = model::StockStatus::Sold; // counts until the sale
    inv[3].bestand.sold = kToday.addDays(-25);
    struct Case {
        SortColumn column;
        Qt::SortOrder order;
        QList<int> rows;
    };
    const Case cases[] = {
        {SortColumn::Marke, Qt::AscendingOrder, {2, 0, 3, 1}}, // arger, Ärger, Audi, Zebra
        {SortColumn::Modell, Qt::DescendingOrder, {2, 3, 0, 1}},
        {SortColumn::Ez, Qt::AscendingOrder, {3, 0, 1, 2}},        // unfilled last
        {SortColumn::Ez, Qt::DescendingOrder, {1, 0, 3, 2}},       // still last
        {SortColumn::Kilometer, Qt::AscendingOrder, {0, 3, 1, 2}}, // 9000 before 50000 before 100000
        {SortColumn::Leistung, Qt::AscendingOrder, {3, 0, 1, 2}},
        {SortColumn::PreisBrutto, Qt::AscendingOrder, {0, 3, 2, 1}}, // equal prices keep their order; 0 last
        {SortColumn::PreisBrutto, Qt::DescendingOrder, {2, 0, 3, 1}},
        {SortColumn::Position, Qt::DescendingOrder, {3, 2, 1, 0}},
        {SortColumn::Standtage, Qt::AscendingOrder, {2, 3, 0, 1}}, // 3, 5, 10 days; unknown last
        {SortColumn::Standtage, Qt::DescendingOrder, {0, 3, 2, 1}},
    };
    StockFilter filter(kGerman);
    QCollator collator(kGerman);
    for (const Case& c : cases) {
        QList<int> rows(inv.size());
        std::iota(rows.begin(), rows.end(), 0);
        filter.sortRows(rows, inv, c.column, c.order, collator, {}, kToday);
        EXPECT_EQ(vec(rows), vec(c.rows)) << "column " << int(c.column) << " order " << int(c.order);
    }
    const model::Inventory before = inv;
    QList<int> subset{3, 1};
    filter.sortRows(subset, inv, SortColumn::Marke, Qt::AscendingOrder, collator);
    EXPECT_EQ(vec(subset), vec({3, 1}));
    EXPECT_EQ(inv, before);
}

} // namespace
