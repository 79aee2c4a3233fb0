// Writing and reading marketplace lines, with content digests, over a mixed inventory.

#include "csv/LineReader.h"
#include "csv/VehicleChecks.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"

#include <benchmark/benchmark.h>

using namespace tarmelo;

namespace {

model::Inventory sampleInventory(int n) {
    model::Inventory inv;
    const char* cats[] = {"Kombi",  "Naked Bike", "Alkoven",  "Kastenwagen hoch", "Kipper",    "Standard-SZM",
                          "Koffer", "Silo",       "Radlader", "Reisebus",         "Schlepper", "Frontstapler"};
    for (int i = 0; i < n; ++i) {
        const int c = i % 12 + 1;
        model::TFahrzeug v = model::newVehicle(c);
        v.marke = "andere";
        v.modell = "Modell " + QByteArray::number(i);
        v.kategorie = cats[c - 1];
        v.ez = "05-2015";
        v.bj = "2015";
        v.kilometer = QByteArray::number(10000 + i);
        v.preis = 10000 + i;
        v.typ = "Gebrauchtwagen";
        v.memo = *model::toCp1252(QStringLiteral("Scheckheftgepflegt\r\nWinterräder, Anhängerkupplung"));
        inv.append(v);
    }
    return inv;
}

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));

void BM_WriteLines(benchmark::State& state) {
    const model::Inventory inv = sampleInventory(1000);
    for (auto _ : state) {
        auto r = inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Automatic, kClock);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * inv.size());
}
BENCHMARK(BM_WriteLines)->Unit(benchmark::kMillisecond);

void BM_ReadLines(benchmark::State& state) {
    const model::Inventory inv = sampleInventory(1000);
    const QByteArray file =
        inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Automatic, kClock).fileData();
    for (auto _ : state) {
        auto r = inventory::readLines(file);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * inv.size());
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

// A typical car as dealers list it: free text, price with VAT rate, a few options.
model::TFahrzeug typicalCar(int i) {
    model::TFahrzeug v = model::newVehicle(1);
    v.marke = "BMW";
    v.modell = "320d Touring";
    v.kategorie = "Kombi";
    v.ez = "03-2021";
    v.hu = "03-2027";
    v.kilometer = QByteArray::number(48500 + i);
    v.leistung = "140";
    v.kraftstoff = "Diesel";
    v.getriebe = "Automatik";
    v.farbe = "schwarz";
    v.metallic = 1;
    v.preis = 28900;
    v.mwst = "19%";
    v.klima = "Klimaautomatik";
    v.navi = 1;
    v.abs = 1;
    v.tueren = 4;
    v.typ = "Gebrauchtwagen";
    v.memo = *model::toCp1252(QStringLiteral("Scheckheftgepflegt\r\nWinterräder auf Alufelgen"));
    return v;
}

constexpr int kTypicalLines = 100000;

// Reading and checking every line, as 'tarmelo-cli check' does.
void BM_ReadAndCheckTypicalLines(benchmark::State& state) {
    model::Inventory inv;
    for (int i = 0; i < kTypicalLines; ++i)
        inv.append(typicalCar(i));
    const QByteArray file =
        inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Automatic, kClock).fileData();
    const QDate today = kClock().date();
    for (auto _ : state) {
        const auto r = inventory::readLines(file);
        int failures = 0;
        for (const model::TFahrzeug& v : r.vehicles)
            failures += csv::checkVehicle(v, today) ? 1 : 0;
        benchmark::DoNotOptimize(failures);
    }
    state.SetItemsProcessed(state.iterations() * kTypicalLines);
}
BENCHMARK(BM_ReadAndCheckTypicalLines)->Unit(benchmark::kMillisecond);

// The content line with its digest per vehicle, as saving with automatic numbers does.
void BM_WriteTypicalLines(benchmark::State& state) {
    model::Inventory inv;
    for (int i = 0; i < kTypicalLines; ++i)
        inv.append(typicalCar(i));
    for (auto _ : state) {
        auto r = inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Automatic, kClock);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * kTypicalLines);
}
BENCHMARK(BM_WriteTypicalLines)->Unit(benchmark::kMillisecond);

// The check of typed internal numbers over a large stock, as 'check --typed-numbers' and saving with them do.
void BM_CheckTypedNumbers(benchmark::State& state) {
    model::Inventory inv;
    for (int i = 0; i < kTypicalLines; ++i) {
        inv.append(typicalCar(i));
        inv.back().inr = "BMW-" + QByteArray::number(i);
    }
    for (auto _ : state) {
        auto f = csv::checkInternalNumbers(inv, 0, int(inv.size()) - 1);
        benchmark::DoNotOptimize(f);
    }
    state.SetItemsProcessed(state.iterations() * kTypicalLines);
}
BENCHMARK(BM_CheckTypedNumbers)->Unit(benchmark::kMillisecond);

} // namespace

// The figures for the line goals: --benchmark_filter=Typical --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true gives the median of five runs.
BENCHMARK_MAIN();
