// Upload of a large inventory through the window, driven by clicks, against "curl -T" of the same file to the
// same FTP server and against "zip -0" of the same members followed by "sync", in alternating runs.
// Usage: bench_upload_window PORT PHOTO.jpg WORKDIR [RUNS] [VEHICLES] [PHOTOS]
// Prints per run: click on "Weiter" to the completion page, the part of it the archive build takes (on the medium,
// as zip and sync leave theirs), the transfer (connection, log-in and data, as curl does them) to the completion
// page, curl's time, zip's time, and the longest gaps between timer ticks and between paint events of the window
// (the bench marks the window dirty every 20 ms, as an exposing desktop would). The click waits until the window
// shows what the upload changes, as a dealer reads that first.

#include "common/Dialogs.h"
#include "model/Fahrzeug.h"
#include "shell/Settings.h"
#include "transfer/TformUpload.h"
#include "transfer/UploadJob.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace tarmelo;

namespace {

model::Inventory makeInventory(const QByteArray& photo, int vehicles, int photos) {
    model::Inventory inv;
    inv.reserve(vehicles);
    for (int i = 0; i < vehicles; ++i) {
        model::TFahrzeug v = model::newVehicle(1);
        v.marke = "andere";
        v.modell = "Modell " + QByteArray::number(i);
        v.kategorie = "andere";
        v.ez = "05-2015";
        v.kilometer = "48500";
        v.preis = 11900 + i;
        v.typ = "Gebrauchtwagen";
        for (int k = 0; k < photos && k < int(v.bilder.size()); ++k)
            v.bilder[size_t(k)] = photo; // shared bytes: the archive still holds every copy
        inv.append(v);
    }
    return inv;
}

// Watches the dialog: the longest pause between two paints of it and between two ticks of a fast timer.
class Watch : public QObject {
public:
    explicit Watch(QWidget* window) : window_(window) {
        clock_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            if (note(lastTick_, maxTickGap_))
                tickGapAt_ = clock_.elapsed() - started_;
            if (++ticks_ % 2 == 0)
                window_->update();
        });
    }
    void start() {
        lastTick_ = lastPaint_ = started_ = clock_.elapsed();
        maxTickGap_ = maxPaintGap_ = 0;
        paints_ = 0;
        timer_.start();
        qApp->installEventFilter(this);
    }
    void stop() {
        timer_.stop();
        qApp->removeEventFilter(this);
    }
    qint64 maxTickGap() const { return maxTickGap_; }
    qint64 maxPaintGap() const { return maxPaintGap_; }
    int paints() const { return paints_; }
    qint64 tickGapAt() const { return tickGapAt_; } // ms after start() at which the longest timer gap ended

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget*>(o)->window() == window_) {
            note(lastPaint_, maxPaintGap_);
            ++paints_;
        }
        return false;
    }

private:
    bool note(qint64& last, qint64& maxGap) {
        const qint64 now = clock_.elapsed();
        const bool longest = now - last > maxGap;
        maxGap = std::max(maxGap, now - last);
        last = now;
        return longest;
    }
    QWidget* window_;
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 started_ = 0, lastTick_ = 0, lastPaint_ = 0, maxTickGap_ = 0, maxPaintGap_ = 0, tickGapAt_ = 0;
    int ticks_ = 0, paints_ = 0;
};

struct Run {
    double total = 0, build = 0, connect = 0, send = 0, curl = 0, zip = 0;
    qint64 tickGap = 0, tickGapAt = 0, paintGap = 0;
    int paints = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PORT PHOTO.jpg WORKDIR [RUNS] [VEHICLES] [PHOTOS]\n", argv[0]);
        return 2;
    }
    gui::Dialogs::setTestMode(true);
    const int port = QString::fromLocal8Bit(argv[1]).toInt();
    QFile photoFile(QString::fromLocal8Bit(argv[2]));
    if (!photoFile.open(QIODevice::ReadOnly))
        return 2;
    const QString work = QString::fromLocal8Bit(argv[3]);
    const int runs = argc > 4 ? std::atoi(argv[4]) : 3;
    const int vehicles = argc > 5 ? std::atoi(argv[5]) : 500;
    const int photos = argc > 6 ? std::atoi(argv[6]) : 15;
    const model::Inventory inv = makeInventory(photoFile.readAll(), vehicles, photos);
    const QString uploadPath = QDir(work).filePath(QStringLiteral("tmq_upload.zip"));

    std::vector<Run> results;
    for (int r = 0; r < runs; ++r) {
        shell::Settings settings;
        settings.Username = QStringLiteral("haendler");
        settings.Password = QStringLiteral("geheim");
        gui::TformUpload::Setup setup;
        setup.vehicles = &inv;
        setup.settings = &settings;
        setup.servers.FtpServer = QStringLiteral("127.0.0.1:%1").arg(port);
        setup.uploadPath = uploadPath;
        setup.recordPath = QDir(work).filePath(QStringLiteral("tmq_uebertragen.json"));
        setup.logPath = QDir(work).filePath(QStringLiteral("tmq_protokoll.jsonl"));
        gui::TformUpload dialog(setup);
        dialog.resize(620, 520);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            std::fprintf(stderr, "window not exposed\n");
        auto* changes = dialog.findChild<QLabel*>(QStringLiteral("lbl_changes"));
        if (changes && !QTest::qWaitFor([changes] { return !changes->text().endsWith(QStringLiteral("...")); }, 60000))
            std::fprintf(stderr, "the changes were not shown\n");
        auto* job = dialog.findChild<transfer::UploadJob*>();
        auto* start = dialog.findChild<QPushButton*>(QStringLiteral("btnStart"));
        Watch watch(&dialog);
        QElapsedTimer clock;
        qint64 begun = -1;
        QObject::connect(job, &transfer::UploadJob::workBegin, &dialog, [&] { begun = clock.elapsed(); });
        Run run;
        // Both timings start without dirty pages of the other one's files waiting to be written back.
        ::sync();
        watch.start();
        clock.start();
        qint64 built = -1;
        // A real event loop, as the program has: a polling loop here would take the CPU the work needs.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (built < 0 && job->running())
                built = clock.elapsed(); // to within the 5 ms of this timer
            if (dialog.currentPage() != gui::TformUpload::ProgressPage || clock.elapsed() > 600000)
                loop.quit();
        });
        poll.start(5);
        QTest::mouseClick(start, Qt::LeftButton);
        loop.exec();
        poll.stop();
        const qint64 total = clock.elapsed();
        watch.stop();
        if (dialog.currentPage() != gui::TformUpload::DonePage) {
            std::fprintf(stderr, "run %d: the upload did not complete\n", r + 1);
            for (const auto& s : gui::Dialogs::shown())
                std::fprintf(stderr, "  %s\n", qPrintable(s.text));
            return 1;
        }
        run.total = double(total) / 1000.0;
        run.build = double(built) / 1000.0;
        run.connect = double(begun - built) / 1000.0;
        run.send = double(total - built) / 1000.0;
        run.tickGap = watch.maxTickGap();
        run.tickGapAt = watch.tickGapAt();
        run.paintGap = watch.maxPaintGap();
        run.paints = watch.paints();
        dialog.close();

        QProcess curl;
        ::sync();
        clock.restart();
        curl.start(QStringLiteral("curl"),
                   {QStringLiteral("-sS"), QStringLiteral("-u"), QStringLiteral("haendler:geheim"),
                    QStringLiteral("-T"), uploadPath, QStringLiteral("ftp://127.0.0.1:%1/curl.zip").arg(port)});
        curl.waitForFinished(600000);
        run.curl = double(clock.elapsed()) / 1000.0;
        if (curl.exitCode() != 0) {
            std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
            return 1;
        }

        // The same members stored by zip, flushed by sync: what our archive build does, durable included. Only
        // zip's file is flushed, as ours is, so that other programs' writes do not count.
        const QString members = QDir(work).filePath(QStringLiteral("members"));
        const QString zipped = QDir(work).filePath(QStringLiteral("zip0.zip"));
        if (!QFileInfo::exists(members)) {
            QProcess::execute(QStringLiteral("unzip"),
                              {QStringLiteral("-q"), uploadPath, QStringLiteral("-d"), members});
        }
        QFile::remove(zipped);
        QProcess zip;
        zip.setWorkingDirectory(members);
        ::sync();
        clock.restart();
        zip.start(QStringLiteral("sh"),
                  {QStringLiteral("-c"), QStringLiteral("zip -0 -q -r -X '%1' . && sync '%1'").arg(zipped)});
        zip.waitForFinished(600000);
        run.zip = double(clock.elapsed()) / 1000.0;
        if (zip.exitCode() != 0) {
            std::fprintf(stderr, "zip failed: %s\n", zip.readAllStandardError().constData());
            return 1;
        }
        QFile::remove(zipped);
        std::printf("run %d: %lld bytes; window %.2f s (build %.2f s, transfer %.2f s of which log-in %.2f s); curl -T "
                    "%.2f s; zip -0 + sync %.2f s; longest gap: timer %lld ms (ending %.2f s after the click), paint "
                    "%lld ms (%d paints)\n",
                    r + 1, QFileInfo(uploadPath).size(), run.total, run.build, run.send, run.connect, run.curl, run.zip,
                    static_cast<long long>(run.tickGap), double(run.tickGapAt) / 1000.0,
                    static_cast<long long>(run.paintGap), run.paints);
        std::fflush(stdout);
        results.push_back(run);
    }
    std::vector<double> total, build, send, curl, zip;
    for (const Run& r : results) {
        total.push_back(r.total);
        build.push_back(r.build);
        send.push_back(r.send);
        curl.push_back(r.curl);
        zip.push_back(r.zip);
    }
    const double c = median(curl), z = median(zip);
    std::printf("median of %d: window %.2f s (build %.2f s, transfer %.2f s), curl -T %.2f s, zip -0 + sync %.2f s; "
                "window/curl %.2f, transfer/curl %.2f, build/zip %.2f\n",
                runs, median(total), median(build), median(send), c, z, median(total) / c, median(send) / c,
                median(build) / z);
    return 0;
}
