// Saving and opening an inventory archive of 500 vehicles with 15 photos of 64 KiB each.
//
// Without arguments (or with Google Benchmark's flags) it runs the benchmarks. For archive_vs_zip.sh
// it also runs single commands, so that whole processes can be timed against zip and unzip:
//   bench_archive fixture <folder>          writes <folder>/members/ (fzg.csv, <n>_<k>.jpg) and <folder>/bestand.zip
//   bench_archive save <members> <target>   reads the photos of <members> and saves the inventory as <target>
//   bench_archive open <archive>            opens the archive once and checks what was read

#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "photo/Jpeg.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

using namespace tarmelo;

namespace {

constexpr int kVehicles = 500;
constexpr qsizetype kPhotoBytes = 64 * 1024;
constexpr int kBaseImages = 8;

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));

// Shading, a few shapes and sensor noise of the given amplitude, at the stored photo size.
QImage photoLike(std::uint32_t seed, int noise) {
    QImage image(640, 480, QImage::Format_RGB888);
    const int shift = int(seed % 200);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        const double sky = 60.0 * std::sin((y + shift) * 0.011);
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x - 200 - shift, dy = y - 240;
            const bool shape = dx * dx + dy * dy < 90.0 * 90.0;
            const int r = shape ? 190 : int(110 + sky + 50.0 * std::sin(x * 0.013));
            const int g = shape ? 70 : int(120 + sky * 0.6);
            const int b = shape ? 50 : int(150 - sky);
            seed = seed * 1664525u + 1013904223u;
            const int n = noise > 0 ? int(seed >> 24) % (2 * noise + 1) - noise : 0;
            line[3 * x] = uchar(std::clamp(r + n, 0, 255));
            line[3 * x + 1] = uchar(std::clamp(g + n, 0, 255));
            line[3 * x + 2] = uchar(std::clamp(b + n, 0, 255));
        }
    }
    return image;
}

// A photo JPEG padded by a comment segment right after SOI to exactly kPhotoBytes; the comment's first
// bytes are where each copy gets its own tag.
QByteArray paddedPhoto(std::uint32_t seed) {
    QByteArray jpeg;
    for (int noise = 48;; noise /= 2) {
        jpeg = photo::encodeJpeg(photoLike(seed, noise));
        if (jpeg.size() <= kPhotoBytes - 64 || noise == 0)
            break;
    }
    const qsizetype segment = kPhotoBytes - jpeg.size(); // marker, length and payload
    if (jpeg.size() < 4 || segment < 64 || segment - 2 > 0xFFFF)
        return {};
    QByteArray com(segment, 'x');
    com[0] = char(0xFF);
    com[1] = char(0xFE);
    com[2] = char((segment - 2) >> 8);
    com[3] = char((segment - 2) & 0xFF);
    jpeg.insert(2, com);
    return jpeg;
}

const QList<QByteArray>& basePhotos() {
    static const QList<QByteArray> photos = [] {
        QList<QByteArray> list;
        for (int i = 0; i < kBaseImages; ++i)
            list.append(paddedPhoto(std::uint32_t(1000 + 77 * i)));
        return list;
    }();
    return photos;
}

// Distinct data for every photo of the inventory, still a valid JPEG of the same size; the tag is the
// photo's member name without extension.
QByteArray photoFor(int vehicle, int slot) {
    QByteArray jpeg = basePhotos()[(vehicle * model::kPhotoSlots + slot) % kBaseImages];
    const QByteArray tag = QByteArray::number(vehicle + 1) + '_' + QByteArray::number(slot + 1);
    jpeg.replace(6, tag.size(), tag);
    return jpeg;
}

// A class 1 vehicle the reader recognises (its category is one of the class's list).
model::TFahrzeug vehicleFor(int i) {
    model::TFahrzeug v = model::newVehicle(1);
    v.marke = "andere";
    v.modell = "Modell " + QByteArray::number(i);
    v.kategorie = model::listItems(model::field(u"kategorie")->list, 1).value(2);
    v.ez = "05-2015";
    v.kilometer = QByteArray::number(10000 + i);
    v.preis = 10000 + i;
    v.typ = "Gebrauchtwagen";
    v.lieferdatum = model::kEmptyDate;
    return v;
}

model::Inventory inventoryWithPhotos() {
    model::Inventory inv;
    for (int i = 0; i < kVehicles; ++i) {
        model::TFahrzeug v = vehicleFor(i);
        for (int k = 0; k < model::kPhotoSlots; ++k)
            v.bilder[size_t(k)] = photoFor(i, k);
        inv.append(v);
    }
    return inv;
}

QByteArray csvOf(const model::Inventory& inv) {
    return inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Automatic, kClock).fileData();
}

// Whether an opened archive gave back the whole inventory.
bool complete(const inventory::OpenResult& r) {
    if (!r.ok() || r.vehicles.size() != kVehicles)
        return false;
    return std::all_of(r.vehicles.cbegin(), r.vehicles.cend(),
                       [](const model::TFahrzeug& v) { return !v.bilder.back().isEmpty(); });
}

qint64 photoBytes(const model::Inventory& inv) {
    qint64 total = 0;
    for (const model::TFahrzeug& v : inv)
        for (const QByteArray& b : v.bilder)
            total += b.size();
    return total;
}

struct Saved {
    QTemporaryDir dir;
    model::Inventory inv = inventoryWithPhotos();
    QByteArray csv = csvOf(inv);
    QString archive = dir.filePath(QStringLiteral("bestand.zip"));
    bool ok = dir.isValid() && basePhotos().size() == kBaseImages && !basePhotos().contains(QByteArray()) &&
              inventory::writeArchive(archive, csv, inv, 0, int(inv.size()) - 1).ok();
};

Saved& saved() {
    static Saved s;
    return s;
}

void BM_SaveArchive(benchmark::State& state) {
    Saved& s = saved();
    if (!s.ok) {
        state.SkipWithError("fixture not written");
        return;
    }
    const QString target = s.dir.filePath(QStringLiteral("gespeichert.zip"));
    for (auto _ : state) {
        if (!inventory::writeArchive(target, s.csv, s.inv, 0, int(s.inv.size()) - 1).ok()) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * s.inv.size());
    state.SetBytesProcessed(state.iterations() * photoBytes(s.inv));
}
BENCHMARK(BM_SaveArchive)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenArchive(benchmark::State& state) {
    Saved& s = saved();
    if (!s.ok) {
        state.SkipWithError("fixture not written");
        return;
    }
    for (auto _ : state) {
        const inventory::OpenResult r = inventory::readInventoryFile(s.archive);
        if (!complete(r)) {
            state.SkipWithError("archive not read completely");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * s.inv.size());
    state.SetBytesProcessed(state.iterations() * photoBytes(s.inv));
}
BENCHMARK(BM_OpenArchive)->Unit(benchmark::kMillisecond)->UseRealTime();

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

int writeFixture(const QString& folder) {
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("members")))
        return 1;
    const model::Inventory inv = inventoryWithPhotos();
    const QByteArray csv = csvOf(inv);
    bool ok = writeFile(dir.filePath(QStringLiteral("members/fzg.csv")), csv);
    for (int i = 0; ok && i < inv.size(); ++i)
        for (int k = 0; ok && k < model::kPhotoSlots; ++k)
            ok = writeFile(dir.filePath(QStringLiteral("members/%1_%2.jpg").arg(i + 1).arg(k + 1)),
                           inv[i].bilder[size_t(k)]);
    ok = ok && inventory::writeArchive(dir.filePath(QStringLiteral("bestand.zip")), csv, inv, 0, kVehicles - 1).ok();
    if (!ok)
        return 1;
    std::printf("vehicles=%d photos=%d photo_bytes=%lld\n", kVehicles, kVehicles * model::kPhotoSlots, photoBytes(inv));
    return 0;
}

// Takes the photos from the member files, as zip does, and saves the inventory.
int saveFromMembers(const QString& members, const QString& target) {
    model::Inventory inv;
    for (int i = 0; i < kVehicles; ++i) {
        model::TFahrzeug v = vehicleFor(i);
        for (int k = 0; k < model::kPhotoSlots; ++k) {
            QFile f(QDir(members).filePath(QStringLiteral("%1_%2.jpg").arg(i + 1).arg(k + 1)));
            if (!f.open(QIODevice::ReadOnly))
                return 1;
            v.bilder[size_t(k)] = f.readAll();
        }
        inv.append(v);
    }
    return inventory::writeArchive(target, csvOf(inv), inv, 0, kVehicles - 1).ok() ? 0 : 1;
}

int openOnce(const QString& archive) {
    return complete(inventory::readInventoryFile(archive)) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (command == "fixture" && argc == 3)
        return writeFixture(arg(2));
    if (command == "save" && argc == 4)
        return saveFromMembers(arg(2), arg(3));
    if (command == "open" && argc == 3)
        return openOnce(arg(2));
    if (command == "fixture" || command == "save" || command == "open") {
        std::fprintf(stderr, "usage: %s fixture <folder> | save <members> <target.zip> | open <archive.zip>\n",
                     argv[0]);
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
