#include "photo/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace tarmelo::photo {

namespace {

// Written here rather than taken from an image library: the filter is a few lines, it needs no library loaded at
// run time, and every call works on its own buffers only, so photos can be reduced on several threads at once.
constexpr double kLobes = 3.0;

double lanczos(double x) {
    x = std::abs(x);
    if (x < 1e-12)
        return 1.0;
    if (x >= kLobes)
        return 0.0;
    const double px = std::numbers::pi * x;
    return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

// The source pixels that make each output pixel along one axis, and their weights. Pixels beyond the edge count as
// the edge pixel, so every output pixel reads one contiguous run of source pixels.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights; // `stride` per output pixel
    int stride = 0;
};

Taps makeTaps(int in, int out) {
    Taps t;
    t.first.resize(size_t(out));
    t.count.resize(size_t(out));
    if (in == out) {
        t.stride = 1;
        t.weights.assign(size_t(out), 1.0f);
        for (int o = 0; o < out; ++o) {
            t.first[size_t(o)] = o;
            t.count[size_t(o)] = 1;
        }
        return t;
    }
    // Reducing stretches the kernel over `scale` source pixels per lobe: every source pixel under it counts.
    const double scale = double(in) / out;
    const double stretch = std::max(scale, 1.0);
    const double support = kLobes * stretch;
    t.stride = int(std::ceil(2 * support)) + 1;
    t.weights.assign(size_t(out) * size_t(t.stride), 0.0f);
    std::vector<double> w(static_cast<std::size_t>(in));
    for (int o = 0; o < out; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        const int lo = int(std::floor(centre - support)) + 1;
        const int hi = int(std::ceil(centre + support)) - 1;
        const int from = std::clamp(lo, 0, in - 1);
        const int to = std::clamp(hi, 0, in - 1);
        std::fill(w.begin() + from, w.begin() + to + 1, 0.0);
        double sum = 0;
        for (int i = lo; i <= hi; ++i) {
            const double weight = lanczos((i - centre) / stretch);
            w[size_t(std::clamp(i, 0, in - 1))] += weight;
            sum += weight;
        }
        t.first[size_t(o)] = from;
        t.count[size_t(o)] = to - from + 1;
        float* out = &t.weights[size_t(o) * size_t(t.stride)];
        for (int i = from; i <= to; ++i)
            out[i - from] = float(w[size_t(i)] / sum);
    }
    return t;
}

std::uint8_t toByte(float v) {
    // Never negative after the clamp, so adding a half rounds; the bytes stay those the tests pin.
    return std::uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f); // NOLINT(bugprone-incorrect-roundings)
}

} // namespace

QImage resampleLanczos(const QImage& image, QSize size) {
    return detail::resampleLanczos(detail::RgbBuffer::fromImage(image), size).toImage();
}

namespace detail {

RgbBuffer resampleLanczos(const RgbBuffer& rgb, QSize size) {
    if (rgb.isNull() || size.width() < 1 || size.height() < 1 || size.width() > rgb.width() ||
        size.height() > rgb.height())
        return {};
    RgbBuffer out = RgbBuffer::allocate(size.width(), size.height());
    if (out.isNull())
        return {};
    if (size == rgb.size()) {
        std::memcpy(out.data(), rgb.data(), rgb.byteCount());
        return out;
    }
    const Taps across = makeTaps(rgb.width(), size.width());
    const Taps down = makeTaps(rgb.height(), size.height());
    const std::size_t inRow = std::size_t(rgb.width()) * 3;
    const std::size_t outRow = std::size_t(size.width()) * 3;
    // Vertical first, one output row at a time: that pass runs along whole rows and vectorises, and the
    // horizontal pass then has only the output's rows to do.
    std::vector<float> column(inRow);
    for (int y = 0; y < size.height(); ++y) {
        const std::uint8_t* src = rgb.data() + std::size_t(down.first[size_t(y)]) * inRow;
        const float* w = &down.weights[size_t(y) * size_t(down.stride)];
        float* acc = column.data();
        for (std::size_t i = 0; i < inRow; ++i)
            acc[i] = w[0] * src[i];
        for (int k = 1; k < down.count[size_t(y)]; ++k) {
            src += inRow;
            const float wk = w[k];
            for (std::size_t i = 0; i < inRow; ++i)
                acc[i] += wk * src[i];
        }
        std::uint8_t* dst = out.data() + std::size_t(y) * outRow;
        for (int x = 0; x < size.width(); ++x) {
            const float* p = acc + std::size_t(across.first[size_t(x)]) * 3;
            const float* wx = &across.weights[size_t(x) * size_t(across.stride)];
            float r = 0, g = 0, b = 0;
            for (int k = 0; k < across.count[size_t(x)]; ++k, p += 3) {
                r += wx[k] * p[0];
                g += wx[k] * p[1];
                b += wx[k] * p[2];
            }
            dst[3 * x] = toByte(r);
            dst[3 * x + 1] = toByte(g);
            dst[3 * x + 2] = toByte(b);
        }
    }
    return out;
}

RgbBuffer applyOrientation(const RgbBuffer& rgb, int orientation) {
    if (rgb.isNull() || orientation < 1 || orientation > 8)
        return {};
    const int w = rgb.width();
    const int h = rgb.height();
    // Orientations 5..8 turn the photo by a quarter, so width and height change places.
    const bool turned = orientation >= 5;
    RgbBuffer out = RgbBuffer::allocate(turned ? h : w, turned ? w : h);
    if (out.isNull())
        return {};
    std::uint8_t* dst = out.data();
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x, dst += 3) {
            int sx = x, sy = y;
            switch (orientation) {
            case 2: // mirrored
                sx = w - 1 - x;
                break;
            case 3: // half a turn
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            case 4: // upside down mirrored
                sy = h - 1 - y;
                break;
            case 5: // mirrored along the diagonal
                sx = y;
                sy = x;
                break;
            case 6: // a quarter clockwise
                sx = y;
                sy = h - 1 - x;
                break;
            case 7: // mirrored along the other diagonal
                sx = w - 1 - y;
                sy = h - 1 - x;
                break;
            case 8: // a quarter anticlockwise
                sx = w - 1 - y;
                sy = x;
                break;
            default:
                break;
            }
            std::memcpy(dst, rgb.data() + (std::size_t(sy) * std::size_t(w) + std::size_t(sx)) * 3, 3);
        }
    }
    return out;
}

} // namespace detail
} // namespace tarmelo::photo
