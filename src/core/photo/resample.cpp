// libvips first: GLib headers must not see Qt's keyword macros.
#include <vips/vips.h>

#include "photo/resample.h"

#include "util/DynamicLibrary.h"

#include <mutex>
#include <string>

namespace tarmelo::photo {

namespace {

// libvips and the hundred libraries it pulls in are loaded when the first photo is resampled, not when the
// program starts: linking them made every start wait for their relocation.
struct Vips {
    decltype(&vips_init) init = nullptr;
    decltype(&vips_cache_set_max) cacheSetMax = nullptr;
    decltype(&vips_image_new_from_memory) newFromMemory = nullptr;
    decltype(&vips_image_get_bands) bands = nullptr;
    decltype(&vips_image_get_format) format = nullptr;
    decltype(&vips_image_get_width) width = nullptr;
    decltype(&vips_image_get_height) height = nullptr;
    decltype(&vips_image_write_to_memory) writeToMemory = nullptr;
    decltype(&vips_reduce) reduce = nullptr;
    decltype(&vips_crop) crop = nullptr;
    decltype(&vips_embed) embed = nullptr;
    decltype(&vips_rot) rot = nullptr;
    decltype(&vips_flip) flip = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    decltype(&g_free) free = nullptr;
};

using util::resolve;

bool load(Vips& v) {
    // The soname the headers were built for: current minus age.
    const std::string soname = "libvips.so." + std::to_string(VIPS_LIBRARY_CURRENT - VIPS_LIBRARY_AGE);
    void* lib = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return false;
    // The library stays loaded for the rest of the process: its threads and types outlive any one call.
    const bool all =
        resolve(lib, v.init, "vips_init") && resolve(lib, v.cacheSetMax, "vips_cache_set_max") &&
        resolve(lib, v.newFromMemory, "vips_image_new_from_memory") && resolve(lib, v.bands, "vips_image_get_bands") &&
        resolve(lib, v.format, "vips_image_get_format") && resolve(lib, v.width, "vips_image_get_width") &&
        resolve(lib, v.height, "vips_image_get_height") &&
        resolve(lib, v.writeToMemory, "vips_image_write_to_memory") && resolve(lib, v.reduce, "vips_reduce") &&
        resolve(lib, v.crop, "vips_crop") && resolve(lib, v.embed, "vips_embed") && resolve(lib, v.rot, "vips_rot") &&
        resolve(lib, v.flip, "vips_flip") && resolve(lib, v.unref, "g_object_unref") && resolve(lib, v.free, "g_free");
    return all && v.init("tarmelo") == 0;
}

Vips& vipsApi() {
    static Vips v;
    return v;
}

bool ensureVips() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = load(vipsApi());
        // Cached operations would keep references to our borrowed pixel buffers.
        if (ready)
            vipsApi().cacheSetMax(0);
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
            vipsApi().unref(m_image);
        m_image = nullptr;
    }
    void swap(VipsRef& other) { std::swap(m_image, other.m_image); }

private:
    VipsImage* m_image = nullptr;
};

VipsRef wrap(const detail::RgbBuffer& rgb) {
    return VipsRef(
        vipsApi().newFromMemory(rgb.data(), rgb.byteCount(), rgb.width(), rgb.height(), 3, VIPS_FORMAT_UCHAR));
}

detail::RgbBuffer toBuffer(VipsImage* image) {
    const Vips& vips = vipsApi();
    if (vips.bands(image) != 3 || vips.format(image) != VIPS_FORMAT_UCHAR)
        return {};
    std::size_t size = 0;
    void* data = vips.writeToMemory(image, &size);
    if (!data)
        return {};
    const int width = vips.width(image);
    const int height = vips.height(image);
    if (size != std::size_t(width) * std::size_t(height) * 3) {
        vips.free(data);
        return {};
    }
    return detail::RgbBuffer::adopt(data, width, height, vips.free);
}

} // namespace

bool prepareResampling() {
    return ensureVips();
}

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
    const Vips& vips = vipsApi();
    if (vips.reduce(image.get(), reduced.out(), double(rgb.width()) / size.width(),
                    double(rgb.height()) / size.height(), "kernel", VIPS_KERNEL_LANCZOS3, "gap", 0.0, nullptr) != 0)
        return {};
    // vips rounds the output size itself; force the exact size if it lands one pixel off.
    const int gotWidth = vips.width(reduced.get());
    const int gotHeight = vips.height(reduced.get());
    if (gotWidth != size.width() || gotHeight != size.height()) {
        VipsRef fixed;
        if (gotWidth >= size.width() && gotHeight >= size.height()) {
            if (vips.crop(reduced.get(), fixed.out(), 0, 0, size.width(), size.height(), nullptr) != 0)
                return {};
        } else if (vips.embed(reduced.get(), fixed.out(), 0, 0, size.width(), size.height(), "extend", VIPS_EXTEND_COPY,
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
        if (vipsApi().rot(image.get(), turned.out(), angle, nullptr) != 0)
            return {};
        image.swap(turned);
    }
    if (flip >= 0) {
        VipsRef mirrored;
        if (vipsApi().flip(image.get(), mirrored.out(), VipsDirection(flip), nullptr) != 0)
            return {};
        image.swap(mirrored);
    }
    return toBuffer(image.get());
}

} // namespace detail
} // namespace tarmelo::photo
