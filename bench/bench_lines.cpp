// Writing and reading marketplace lines, with content digests, over a mixed inventory.

#include "csv/LineReader.h"
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

} // namespace

BENCHMARK_MAIN();
