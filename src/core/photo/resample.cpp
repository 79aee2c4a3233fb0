// libvips first: GLib headers must not see Qt's keyword macros.
#include <vips/vips.h>

#include "photo/resample.h"

#include <mutex>

namespace tarmelo::photo {

namespace {

bool ensureVips() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = VIPS_INIT("tarmelo") == 0;
        // Cached operations would keep references to our borrowed pixel buffers.
        if (ready)
            vips_cache_set_max(0);
    });
    return ready;
}

class VipsRef {
public:
    VipsRef() = default;
    explicit VipsRef(VipsImage* image) : m_image(image) {}
    ~VipsRef() { reset(); }
    VipsRef(const VipsRef&) = delete;
    VipsRef& operator=(const VipsRef&) = delete;

    VipsImage* get() const { return m_image; }
    VipsImage** out() {
        reset();
        return &m_image;
    }
    void reset() {
        if (m_image)
            g_object_unref(m_image);
        m_image = nullptr;
    }
    void swap(VipsRef& other) { std::swap(m_image, other.m_image); }

private:
    VipsImage* m_image = nullptr;
};

VipsRef wrap(const detail::RgbBuffer& rgb) {
    return VipsRef(
        vips_image_new_from_memory(rgb.data(), rgb.byteCount(), rgb.width(), rgb.height(), 3, VIPS_FORMAT_UCHAR));
}

detail::RgbBuffer toBuffer(VipsImage* image) {
    if (vips_image_get_bands(image) != 3 || vips_image_get_format(image) != VIPS_FORMAT_UCHAR)
        return {};
    std::size_t size = 0;
    void* data = vips_image_write_to_memory(image, &size);
    if (!data)
        return {};
    const int width = vips_image_get_width(image);
    const int height = vips_image_get_height(image);
    if (size != std::size_t(width) * std::size_t(height) * 3) {
        g_free(data);
        return {};
    }
    return detail::RgbBuffer::adopt(data, width, height, g_free);
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
    if (!ensureVips())
        return {};
    VipsRef image = wrap(rgb);
    if (!image.get())
        return {};
    VipsRef reduced;
    // gap 0: a true Lanczos over every source pixel, no box pre-shrink.
    if (vips_reduce(image.get(), reduced.out(), double(rgb.width()) / size.width(),
                    double(rgb.height()) / size.height(), "kernel", VIPS_KERNEL_LANCZOS3, "gap", 0.0, nullptr) != 0)
        return {};
    // vips rounds the output size itself; force the exact size if it lands one pixel off.
    const int gotWidth = vips_image_get_width(reduced.get());
    const int gotHeight = vips_image_get_height(reduced.get());
    if (gotWidth != size.width() || gotHeight != size.height()) {
        VipsRef fixed;
        if (gotWidth >= size.width() && gotHeight >= size.height()) {
            if (vips_crop(reduced.get(), fixed.out(), 0, 0, size.width(), size.height(), nullptr) != 0)
                return {};
        } else if (vips_embed(reduced.get(), fixed.out(), 0, 0, size.width(), size.height(), "extend", VIPS_EXTEND_COPY,
                              nullptr) != 0) {
            return {};
        }
        reduced.swap(fixed);
    }
    return toBuffer(reduced.get());
}

RgbBuffer applyOrientation(const RgbBuffer& rgb, int orientation) {
    if (rgb.isNull() || orientation < 1 || orientation > 8)
        return {};
    if (!ensureVips())
        return {};
    VipsRef image = wrap(rgb);
    if (!image.get())
        return {};
    // Orientations 5..8 are 90° turns (clockwise), 2, 4, 5, 7 additionally mirrored.
    VipsAngle angle = VIPS_ANGLE_D0;
    int flip = -1;
    switch (orientation) {
    case 2:
        flip = VIPS_DIRECTION_HORIZONTAL;
        break;
    case 3:
        angle = VIPS_ANGLE_D180;
        break;
    case 4:
        flip = VIPS_DIRECTION_VERTICAL;
        break;
    case 5:
        angle = VIPS_ANGLE_D90;
        flip = VIPS_DIRECTION_HORIZONTAL;
        break;
    case 6:
        angle = VIPS_ANGLE_D90;
        break;
    case 7:
        angle = VIPS_ANGLE_D90;
        flip = VIPS_DIRECTION_VERTICAL;
        break;
    case 8:
        angle = VIPS_ANGLE_D270;
        break;
    default:
        break;
    }
    if (angle != VIPS_ANGLE_D0) {
        VipsRef turned;
        if (vips_rot(image.get(), turned.out(), angle, nullptr) != 0)
            return {};
        image.swap(turned);
    }
    if (flip >= 0) {
        VipsRef mirrored;
        if (vips_flip(image.get(), mirrored.out(), VipsDirection(flip), nullptr) != 0)
            return {};
        image.swap(mirrored);
    }
    return toBuffer(image.get());
}

} // namespace detail
} // namespace tarmelo::photo
