// The editor with 1000 vehicles in the list: the show step of one vehicle and one keystroke in the model.

#include "editor/TformMain.h"
#include "editor/VehicleList.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace tarmelo;

namespace {

model::Inventory inventory() {
    model::Inventory inv;
    for (int i = 0; i < 1000; ++i) {
        model::TFahrzeug v = model::newVehicle(i % 12 + 1);
        v.marke = "andere";
        v.modell = "Modell " + QByteArray::number(i);
        v.kilometer = QByteArray::number(1000 * i);
        v.preis = 10000 + i;
        v.memo = "Klima\r\nAHK";
        inv.append(v);
    }
    return inv;
}

void BM_ShowStep(benchmark::State& state) {
    gui::TformMain w;
    w.setInventory(inventory());
    w.show();
    int row = 0;
    for (auto _ : state) {
        w.selectRow(row);
        row = (row + 1) % 1000;
    }
}
BENCHMARK(BM_ShowStep)->Unit(benchmark::kMillisecond);

void BM_ModelKeystroke(benchmark::State& state) {
    gui::TformMain w;
    w.setInventory(inventory());
    w.show();
    w.selectRow(500); // class 9
    auto* edit = w.findChild<QLineEdit*>(QStringLiteral("le_9_modell"));
    for (auto _ : state) {
        QTest::keyClick(edit, 'x');
        if (edit->text().size() > 40)
            edit->clear();
    }
}
BENCHMARK(BM_ModelKeystroke)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
