// The backup a save makes of the archive it replaces: 2 000 vehicles with 15 photos each (30 000 photo members).
// Hard-linked, its cost does not grow with the photos' bytes, only with the archive's directory (counted for the
// listing) and the retention pass; the copy is timed beside it for file systems that cannot link.

#include "inventory/Archive.h"
#include "inventory/Backups.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

using namespace tarmelo;

namespace {

constexpr int kVehicles = 2000;
constexpr qsizetype kPhotoBytes = 8 * 1024;

struct Fixture {
    QTemporaryDir dir;
    QString archive;
    Fixture() {
        archive = dir.filePath("bestand.zip");
        model::Inventory inv(kVehicles);
        QByteArray csv;
        for (int i = 0; i < kVehicles; ++i) {
            // The backup reads only the line count: a line of a real line's length will do.
            csv += QByteArray::number(i + 1) + ";\"K" + QByteArray::number(i) + "\";" + QByteArray(1200, 'x') + "\r\n";
            for (int k = 0; k < model::kPhotoSlots; ++k)
                inv[i].bilder[size_t(k)] = QByteArray(kPhotoBytes, char('a' + (i + k) % 26));
        }
        inventory::WriteOptions o;
        o.durable = false;
        if (!inventory::writeArchive(archive, csv, inv, 0, kVehicles - 1, o).ok())
            std::abort();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void backup(benchmark::State& state, bool link) {
    Fixture& f = fixture();
    QTemporaryDir data;
    inventory::BackupPlace place;
    place.dataFolder = data.path();
    place.allowLink = link;
    qint64 second = 0;
    place.clock = [&second] { return QDateTime(QDate(2026, 12, 10), QTime(8, 0)).addSecs(++second); };
    for (auto _ : state) {
        const inventory::BackupResult r = inventory::backupBeforeChange(f.archive, inventory::BackupCause::Save, place);
        if (r.file.isEmpty())
            state.SkipWithError(r.warning.toUtf8().constData());
    }
    state.counters["MB"] = double(QFileInfo(f.archive).size()) / (1 << 20);
}

void BM_BackupHardLink(benchmark::State& state) {
    backup(state, true);
}
void BM_BackupCopy(benchmark::State& state) {
    backup(state, false);
}

BENCHMARK(BM_BackupHardLink)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_BackupCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
