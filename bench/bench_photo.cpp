// Reducing a large camera photo to its stored 640x480 form, as when a user adds one.
// TARMELO_BENCH_JPEG=<file> uses that JPEG instead of the generated one.
// `bench_photo step FILE` prints the milliseconds of one reduction of FILE (after one untimed), for
// photo_vs_convert.sh.

#include "photo/Jpeg.h"
#include "photo/Reduce.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QImage>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// Smooth shading, hard-edged shapes and a little sensor noise: compresses like a photo, not like noise.
QImage photoLike(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    std::uint32_t seed = 12345;
    const double cx[] = {0.3 * width, 0.7 * width, 0.55 * width};
    const double cy[] = {0.4 * height, 0.6 * height, 0.25 * height};
    const double radius[] = {0.12 * height, 0.2 * height, 0.08 * height};
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        const double sky = 60.0 * std::sin(y * 0.0021);
        for (int x = 0; x < width; ++x) {
            double r = 110 + sky + 50.0 * std::sin(x * 0.0017), g = 120 + sky * 0.6, b = 150 - sky;
            for (int i = 0; i < 3; ++i) {
                const double dx = x - cx[i], dy = y - cy[i];
                if (dx * dx + dy * dy < radius[i] * radius[i]) {
                    r = 200 - 40 * i + dx * 0.1;
                    g = 60 + 50 * i;
                    b = 40 + dy * 0.1;
                }
            }
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 28) - 8;
            line[3 * x] = uchar(std::clamp(int(r) + noise, 0, 255));
            line[3 * x + 1] = uchar(std::clamp(int(g) + noise, 0, 255));
            line[3 * x + 2] = uchar(std::clamp(int(b) + noise, 0, 255));
        }
    }
    return image;
}

QByteArray inputJpeg() {
    if (const char* path = std::getenv("TARMELO_BENCH_JPEG")) {
        QFile file(QString::fromLocal8Bit(path));
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
        return {};
    }
    return tarmelo::photo::encodeJpeg(photoLike(4000, 3000));
}

void BM_ReduceAddedPhoto(benchmark::State& state) {
    static const QByteArray input = inputJpeg();
    if (input.isEmpty()) {
        state.SkipWithError("no input JPEG");
        return;
    }
    QByteArray output;
    for (auto _ : state) {
        const tarmelo::photo::PhotoResult result = tarmelo::photo::reduceAddedPhotoData(input);
        if (!result.ok()) {
            state.SkipWithError("reduction failed");
            return;
        }
        output = result.jpeg;
        benchmark::DoNotOptimize(output.constData());
    }
    const auto size = tarmelo::photo::jpegSize(output).value_or(QSize());
    state.counters["out_w"] = size.width();
    state.counters["out_h"] = size.height();
    state.counters["in_bytes"] = double(input.size());
}
BENCHMARK(BM_ReduceAddedPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "step") {
        const QString path = QString::fromLocal8Bit(argv[2]);
        if (!tarmelo::photo::reduceAddedPhoto(path).ok())
            return 1;
        const auto start = std::chrono::steady_clock::now();
        const tarmelo::photo::PhotoResult result = tarmelo::photo::reduceAddedPhoto(path);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (!result.ok())
            return 1;
        std::printf("%.1f\n", took.count());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
