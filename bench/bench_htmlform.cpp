// The log-in form read from pages nested ever deeper: the time per byte stays the same.

#include "transfer/HtmlForm.h"

#include <benchmark/benchmark.h>

using namespace tarmelo;

static void BM_FirstFormNested(benchmark::State& state) {
    const int depth = int(state.range(0));
    const QByteArray page = QByteArray("<div>").repeated(depth) +
                            "<form action=/login method=post><input type=hidden name=lt value=LT-1>"
                            "<input name=username><input name=password type=password></form>";
    const QUrl url(QStringLiteral("https://anmeldung.example/cas/login"));
    for (auto _ : state)
        benchmark::DoNotOptimize(transfer::firstForm(page, url));
    state.SetComplexityN(depth);
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_FirstFormNested)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
