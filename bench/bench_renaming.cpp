// The renaming preview over a large inventory: the dialog recomputes it on every key and every 500 ms, so one
// refresh of 5 000 vehicles has to stay well under a frame (16 ms).

#include "intnr/Renaming.h"
#include "print/FeatureList.h"

#include <benchmark/benchmark.h>

using namespace tarmelo;

namespace {

QStringList olds(int n) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l.append(QStringLiteral("INR-%1-ALT").arg(i, 6, 10, QLatin1Char('0')));
    return l;
}

void BM_PreviewMask(benchmark::State& state) {
    const QStringList numbers = olds(int(state.range(0)));
    const QList<bool> ticked(numbers.size(), true);
    intnr::RenameOptions o;
    o.mask = QStringLiteral("[N]-[C]-[YMD][hms]");
    o.digits = 5;
    o.search = QStringLiteral("-ALT");
    o.replace = QStringLiteral("_neu");
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state)
        benchmark::DoNotOptimize(intnr::previewNumbers(numbers, ticked, o, now));
}
BENCHMARK(BM_PreviewMask)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_PreviewRemoval(benchmark::State& state) {
    const QStringList numbers = olds(int(state.range(0)));
    const QList<bool> ticked(numbers.size(), true);
    intnr::RenameOptions o;
    o.maskMode = false;
    o.beginning = 4;
    o.ending = 4;
    for (auto _ : state)
        benchmark::DoNotOptimize(intnr::previewNumbers(numbers, ticked, o, QDateTime::currentDateTime()));
}
BENCHMARK(BM_PreviewRemoval)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_FeatureList(benchmark::State& state) {
    model::TFahrzeug v = model::newVehicle(1);
    v.typ = "Neuwagen";
    v.ez = "06-2007";
    v.kilometer = "125000";
    v.leistung = "100";
    v.kraftstoff = "Diesel";
    v.farbe = "silber";
    v.abs = v.metallic = v.navi = v.zv = 1;
    const QLocale german(QLocale::German, QLocale::Germany);
    for (auto _ : state)
        benchmark::DoNotOptimize(print::composeFeatures(v, german));
}
BENCHMARK(BM_FeatureList);

} // namespace

BENCHMARK_MAIN();
