// Adding 15 camera photos (4000x3000 JPEG) to a vehicle in the main window: all 15 chosen in one file dialog against
// one after another (15 clicks on "Hinzufügen", each waiting for its photo), in alternating runs.
// Usage: bench_add_photos [RUNS]   (offscreen unless QT_QPA_PLATFORM says otherwise)
// Prints per run both times, the longest pause between the ticks of a 5 ms timer and how often the progress bar
// moved; at the end the medians and their ratio (goal: at most 0.6 on two cores).

#include "common/Dialogs.h"
#include "editor/PhotoGroup.h"
#include "editor/TformMain.h"
#include "photo/Jpeg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace tarmelo;

namespace {

constexpr int kPhotos = 15;

// Shading, shapes and sensor noise: compresses like a camera photo (about 2 MB at quality 90).
QImage cameraPhoto(std::uint32_t seed) {
    QImage image(4000, 3000, QImage::Format_RGB888);
    const int shift = int(seed % 300);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        const double sky = 60.0 * std::sin((y + shift) * 0.0021);
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x - 1300 - shift, dy = y - 1500;
            const bool shape = dx * dx + dy * dy < 600.0 * 600.0;
            seed = seed * 1664525u + 1013904223u;
            const int n = int(seed >> 28) - 8;
            line[3 * x] = uchar(std::clamp((shape ? 190 : int(110 + sky + 50.0 * std::sin(x * 0.0017))) + n, 0, 255));
            line[3 * x + 1] = uchar(std::clamp((shape ? 70 : int(120 + sky * 0.6)) + n, 0, 255));
            line[3 * x + 2] = uchar(std::clamp((shape ? 50 : int(150 - sky)) + n, 0, 255));
        }
    }
    return image;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Run {
    double ms = 0;
    qint64 longestPause = 0;
    int progressSteps = 0;
    bool complete = false;
};

class Bench {
public:
    Bench(const QStringList& files) : files_(files) {
        window_.show();
        window_.action(QStringLiteral("actAddPkw"))->trigger();
        group_ = window_.findChild<gui::PhotoGroup*>(QStringLiteral("grp_1_bilder"));
        add_ = window_.findChild<QPushButton*>(QStringLiteral("sp_1_add"));
        del_ = window_.findChild<QPushButton*>(QStringLiteral("sp_1_del"));
        tick_.setInterval(5);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            longestPause_ = std::max(longestPause_, clock_.elapsed() - lastTick_);
            lastTick_ = clock_.elapsed();
        });
    }
    bool ready() const { return group_ && add_ && del_; }

    Run oneAfterAnother() {
        clear();
        return timed([this] {
            for (const QString& f : files_) {
                gui::Dialogs::queueFileName(f);
                if (!addAndWait())
                    return;
            }
        });
    }
    Run allAtOnce() {
        clear();
        return timed([this] {
            gui::Dialogs::queueFileNames(files_);
            addAndWait();
        });
    }

private:
    void clear() {
        while (del_->isEnabled())
            QTest::mouseClick(del_, Qt::LeftButton);
        QTest::qWait(50);
    }
    bool addAndWait() {
        QSignalSpy done(group_, &gui::PhotoGroup::addFinished);
        QTest::mouseClick(add_, Qt::LeftButton);
        return done.wait(120000) && done.first().first().toBool();
    }
    template <typename F> Run timed(F&& adding) {
        Run r;
        QSignalSpy progress(group_, &gui::PhotoGroup::progressChanged);
        longestPause_ = 0;
        clock_.start();
        lastTick_ = 0;
        tick_.start();
        adding();
        r.ms = double(clock_.nsecsElapsed()) / 1e6;
        tick_.stop();
        r.longestPause = longestPause_;
        r.progressSteps = int(progress.count());
        const model::TFahrzeug* v = group_->vehicle();
        r.complete = v && model::countPhotos(*v) == kPhotos &&
                     std::all_of(v->bilder.begin(), v->bilder.end(),
                                 [](const QByteArray& b) { return photo::jpegSize(b) == QSize(640, 480); });
        return r;
    }

    QStringList files_;
    gui::TformMain window_;
    gui::PhotoGroup* group_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* del_ = nullptr;
    QTimer tick_;
    QElapsedTimer clock_;
    qint64 lastTick_ = 0;
    qint64 longestPause_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    gui::Dialogs::setTestMode(true);
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < kPhotos; ++i) {
        const QString path = dir.filePath(QStringLiteral("foto%1.jpg").arg(i + 1));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(photo::encodeJpeg(cameraPhoto(std::uint32_t(77 + i)))) <= 0)
            return 2;
        files.append(path);
    }
    std::printf("%d Fotos 4000x3000, %d Kerne\n", kPhotos, QThread::idealThreadCount());
    Bench bench(files);
    if (!bench.ready())
        return 2;
    bench.allAtOnce(); // warms the caches
    std::vector<double> single, together;
    for (int i = 0; i < runs; ++i) {
        const Run a = bench.oneAfterAnother();
        const Run b = bench.allAtOnce();
        if (!a.complete || !b.complete) {
            std::fprintf(stderr, "nicht alle Fotos hinzugefügt\n");
            return 1;
        }
        single.push_back(a.ms);
        together.push_back(b.ms);
        std::printf("einzeln %7.1f ms (Pause %3lld ms), zusammen %7.1f ms (Pause %3lld ms, Fortschritt %d Schritte)\n",
                    a.ms, a.longestPause, b.ms, b.longestPause, b.progressSteps);
    }
    const double s = median(single), t = median(together);
    std::printf("Median: einzeln %.1f ms, zusammen %.1f ms, Verhältnis %.2f (Ziel: höchstens 0,6)\n", s, t, t / s);
    return 0;
}
