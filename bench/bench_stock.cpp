// The dealer's daily work on a large stock: one keystroke in the search box re-filters 5 000 vehicles (goal: well
// under a frame, 16 ms), and the stock report checks all of them (goal: under 0.5 s).

#include "csv/StockCheck.h"
#include "inventory/StockFilter.h"

#include <benchmark/benchmark.h>

#include <QCollator>

#include <numeric>

using namespace tarmelo;

namespace {

const QDate kToday(2026, 12, 10);

model::Inventory stock(int n) {
    static const char* const kBrands[] = {"VW", "Opel", "BMW", "Mercedes-Benz", "\x8akoda", "Audi", "Ford", "Renault"};
    static const char* const kModels[] = {"Golf", "Astra", "320d", "E 220", "Octavia", "A4", "Focus", "M\xe9gane"};
    model::Inventory inv;
    inv.reserve(n);
    for (int i = 0; i < n; ++i) {
        model::TFahrzeug v = model::newVehicle(1 + i % 12);
        v.marke = kBrands[i % 8]; // Windows-1252
        v.modell = kModels[(i / 8) % 8];
        v.kategorie = "Limousine";
        v.typ = i % 5 ? "Gebrauchtwagen" : "Neuwagen";
        if (i % 5) {
            v.ez = QByteArray::number(1 + i % 12).rightJustified(2, '0') + '-' + QByteArray::number(2005 + i % 18);
            v.kilometer = QByteArray::number(10000 + i * 7);
        }
        v.hu = i % 7 ? QByteArray() : QByteArray("03-2025");
        v.inr = "INR-" + QByteArray::number(i);
        v.vin = "WVWZZZ1KZAW" + QByteArray::number(100000 + i);
        v.preis = 5000 + (i * 37) % 40000;
        v.mwst = "19%";
        v.waehr = "EUR";
        if (i % 3)
            v.bilder[0] = "jpeg";
        inv.append(std::move(v));
    }
    return inv;
}

QList<quint64> revisions(qsizetype n) {
    QList<quint64> r;
    for (qsizetype i = 0; i < n; ++i)
        r.append(quint64(i + 1));
    return r;
}

// Typing "golf 2013" letter by letter: each iteration is one keystroke on a warm cache.
void BM_FilterKeystroke(benchmark::State& state) {
    const model::Inventory inv = stock(int(state.range(0)));
    const QList<quint64> revs = revisions(inv.size());
    inventory::StockFilter filter(QLocale(QLocale::German, QLocale::Germany));
    const QString typed = QStringLiteral("golf 2013");
    filter.visibleRows(inv, revs, {}, true, kToday);
    qsizetype k = 0;
    for (auto _ : state) {
        k = k % typed.size() + 1;
        benchmark::DoNotOptimize(filter.visibleRows(inv, revs, {typed.left(k), 0, false}, true, kToday));
    }
}
BENCHMARK(BM_FilterKeystroke)->Arg(5000)->Unit(benchmark::kMillisecond);

// The same with "nur fehlerhafte" and a class chosen.
void BM_FilterKeystrokeFaulty(benchmark::State& state) {
    const model::Inventory inv = stock(int(state.range(0)));
    const QList<quint64> revs = revisions(inv.size());
    inventory::StockFilter filter(QLocale(QLocale::German, QLocale::Germany));
    filter.visibleRows(inv, revs, {{}, 0, true}, false, kToday);
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.visibleRows(inv, revs, {QStringLiteral("vw"), 1, true}, false, kToday));
}
BENCHMARK(BM_FilterKeystrokeFaulty)->Arg(5000)->Unit(benchmark::kMillisecond);

// The first filter after opening the file: every searchable text built once.
void BM_FilterCold(benchmark::State& state) {
    const model::Inventory inv = stock(int(state.range(0)));
    const QList<quint64> revs = revisions(inv.size());
    for (auto _ : state) {
        inventory::StockFilter filter(QLocale(QLocale::German, QLocale::Germany));
        benchmark::DoNotOptimize(filter.visibleRows(inv, revs, {QStringLiteral("g"), 0, false}, true, kToday));
    }
}
BENCHMARK(BM_FilterCold)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_SortByBrand(benchmark::State& state) {
    const model::Inventory inv = stock(int(state.range(0)));
    inventory::StockFilter filter(QLocale(QLocale::German, QLocale::Germany));
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    for (auto _ : state) {
        QList<int> rows(inv.size());
        std::iota(rows.begin(), rows.end(), 0);
        filter.sortRows(rows, inv, inventory::SortColumn::Marke, Qt::AscendingOrder, collator);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_SortByBrand)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_StockCheck(benchmark::State& state) {
    const model::Inventory inv = stock(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(csv::checkStock(inv, false, kToday));
}
BENCHMARK(BM_StockCheck)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
