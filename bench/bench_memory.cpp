// A large inventory in the program, offscreen: memory while an archive of N vehicles with 15 photos each is
// opened, the longest pause of the window's event loop meanwhile, and the time per step when the list is
// scrolled and vehicles are switched.
//   bench_memory make ARCHIVE [VEHICLES=2000] [PHOTOS=15]   writes the archive (a process of its own)
//   bench_memory open ARCHIVE                               opens it in the main window and reports

#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "photo/Jpeg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace tarmelo;

namespace {

qint64 maxRssBytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return qint64(u.ru_maxrss) * 1024;
}

qint64 currentRssBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.value(1).toLongLong() * 4096;
}

// A photo as the program keeps an added one (fitted into 640 x 480), some detail everywhere, different per seed.
QByteArray photo(int seed) {
    QImage image(640, 480, QImage::Format_RGB888);
    QRandomGenerator rng{quint32(seed)};
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(rng.bounded(6));
            line[3 * x] = uchar((x + seed * 7 + n) & 0xff);
            line[3 * x + 1] = uchar((y + n) & 0xff);
            line[3 * x + 2] = uchar((x + y + n) & 0xff);
        }
    }
    return photo::encodeJpeg(image);
}

int make(const QString& path, int vehicles, int photos) {
    // Thirty photos shared by all records keep this process small; the archive holds every copy.
    std::vector<QByteArray> pool;
    for (int i = 0; i < 30; ++i)
        pool.push_back(photo(i));
    model::Inventory inv;
    for (int i = 0; i < vehicles; ++i) {
        model::TFahrzeug v = model::newVehicle(1);
        v.marke = "andere";
        v.modell = "Modell " + QByteArray::number(i);
        v.kategorie = model::listItems(model::field(u"kategorie")->list, 1).value(2);
        v.ez = "05-2005";
        v.kilometer = QByteArray::number(1000 + i);
        v.preis = 10000 + i;
        v.typ = "Gebrauchtwagen";
        for (int k = 0; k < photos; ++k)
            v.bilder[size_t(k)] = pool[size_t((i + k) % pool.size())];
        inv.append(v);
    }
    const Clock clock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, vehicles - 1, inventory::KeyMode::Automatic, clock);
    if (!lines.ok()) {
        std::fprintf(stderr, "a vehicle breaks a rule\n");
        return 1;
    }
    const inventory::SaveResult r = inventory::writeArchive(path, lines.fileData(), inv, 0, vehicles - 1);
    if (!r.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(r.message()));
        return 1;
    }
    std::printf("%s: %d vehicles, %d photos each, %.1f MB\n", qPrintable(path), vehicles, photos,
                double(QFileInfo(path).size()) / 1e6);
    return 0;
}

struct Steps {
    double median = 0;
    double worst = 0;
};

Steps summary(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

int open(const QString& path) {
    gui::TformMain w;
    w.resize(1024, 768);
    w.show();
    QTest::qWait(50);
    const qint64 before = currentRssBytes();

    // A timer that should fire every 5 ms: the longest gap is the longest time the window could not react.
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    ticker.start(5);
    auto* bar = w.findChild<QProgressBar*>(QStringLiteral("MainProgBar"));
    int progressMoves = 0;
    int lastValue = -1;
    if (bar)
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
            if (v != lastValue)
                ++progressMoves;
            lastValue = v;
        });
    QElapsedTimer opening;
    opening.start();
    lastTick = clock.elapsed();
    w.ReadFile(path, false);
    const qint64 openMs = opening.elapsed();
    ticker.stop();

    qint64 photoBytes = 0;
    for (const model::TFahrzeug& v : w.vehicles())
        for (const QByteArray& b : v.bilder)
            photoBytes += b.size();
    const qint64 after = currentRssBytes();
    const qint64 peak = maxRssBytes();

    // Switching vehicles: the show step of the next vehicle, painted.
    std::vector<double> switching;
    const int count = int(w.vehicles().size());
    for (int i = 0; i < std::min(count, 300); ++i) {
        QElapsedTimer t;
        t.start();
        w.selectRow((i * 7) % count);
        QCoreApplication::processEvents();
        switching.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    // Scrolling: a page down in the list, painted.
    std::vector<double> scrolling;
    w.list()->setFocus();
    for (int i = 0; i < 300; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(w.list(), i % 100 < 50 ? Qt::Key_PageDown : Qt::Key_PageUp);
        QCoreApplication::processEvents();
        scrolling.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const Steps sw = summary(switching);
    const Steps sc = summary(scrolling);
    std::printf("vehicles %d, photos %.1f MB\n", count, double(photoBytes) / 1e6);
    std::printf("opening %.1f s, progress moved %d times, longest event-loop pause %lld ms\n", double(openMs) / 1e3,
                progressMoves, qlonglong(longestGap));
    std::printf("memory: before %.1f MB, after opening %.1f MB, peak %.1f MB; peak - before - photos = %.1f MB "
                "(goal < 200 MB)\n",
                double(before) / 1e6, double(after) / 1e6, double(peak) / 1e6,
                double(peak - before - photoBytes) / 1e6);
    std::printf("switching vehicles: median %.2f ms, worst %.2f ms; scrolling: median %.2f ms, worst %.2f ms "
                "(goal < 16 ms)\n",
                sw.median, sw.worst, sc.median, sc.worst);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1StringView("make"))
        return make(args[2], args.value(3, QStringLiteral("2000")).toInt(),
                    args.value(4, QStringLiteral("15")).toInt());
    if (args.size() == 3 && args[1] == QLatin1StringView("open"))
        return open(args[2]);
    std::fprintf(stderr, "bench_memory make ARCHIVE [VEHICLES] [PHOTOS] | bench_memory open ARCHIVE\n");
    return 2;
}
