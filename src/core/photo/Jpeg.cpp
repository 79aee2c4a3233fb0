#include "photo/Jpeg.h"

#include <turbojpeg.h>

#include <algorithm>
#include <memory>
#include <new>

namespace tarmelo::photo {

namespace {

class TjHandle {
public:
    explicit TjHandle(tjhandle handle) : m_handle(handle) {}
    ~TjHandle() {
        if (m_handle)
            tjDestroy(m_handle);
    }
    TjHandle(const TjHandle&) = delete;
    TjHandle& operator=(const TjHandle&) = delete;
    tjhandle get() const { return m_handle; }

private:
    tjhandle m_handle;
};

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

std::optional<QSize> readHeader(tjhandle handle, const QByteArray& jpeg, int* colorspaceOut = nullptr) {
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, bytes(jpeg), static_cast<unsigned long>(jpeg.size()), &width, &height, &subsampling,
                            &colorspace) != 0)
        return std::nullopt;
    if (colorspaceOut)
        *colorspaceOut = colorspace;
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return QSize(width, height);
}

unsigned read16(const unsigned char* p, bool bigEndian) {
    return bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
}

std::uint32_t read32(const unsigned char* p, bool bigEndian) {
    return bigEndian ? (std::uint32_t(read16(p, true)) << 16) | read16(p + 2, true)
                     : (std::uint32_t(read16(p + 2, false)) << 16) | read16(p, false);
}

// Orientation tag from IFD0 of an EXIF (TIFF) block.
int orientationFromTiff(const unsigned char* tiff, std::size_t size) {
    if (size < 8)
        return 1;
    bool bigEndian;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        bigEndian = false;
    else
        return 1;
    const std::uint32_t ifd = read32(tiff + 4, bigEndian);
    if (ifd > size - 2)
        return 1;
    const unsigned entries = read16(tiff + ifd, bigEndian);
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t at = std::size_t(ifd) + 2 + std::size_t(i) * 12;
        if (at + 12 > size)
            break;
        if (read16(tiff + at, bigEndian) == 0x0112) {
            const unsigned value = read16(tiff + at + 8, bigEndian);
            return value >= 1 && value <= 8 ? int(value) : 1;
        }
    }
    return 1;
}

// Calls segment(marker, body, size) for each marker segment before the image data until it returns true.
template <typename F> bool findSegment(const QByteArray& jpeg, F&& segment) {
    if (!detail::looksLikeJpeg(jpeg))
        return false;
    const auto* p = bytes(jpeg);
    const std::size_t size = std::size_t(jpeg.size());
    std::size_t at = 2;
    while (at + 4 <= size && p[at] == 0xFF) {
        const unsigned marker = p[at + 1];
        if (marker == 0xDA || marker == 0xD9) // image data begins: no more headers
            break;
        const std::size_t length = read16(p + at + 2, true);
        if (length < 2 || at + 2 + length > size)
            break;
        if (segment(marker, p + at + 4, length - 2))
            return true;
        at += 2 + length;
    }
    return false;
}

// Photoshop's CMYK JPEGs, marked by Adobe's APP14 segment, store the four channels inverted.
bool adobeInverted(const QByteArray& jpeg) {
    return findSegment(jpeg, [](unsigned marker, const unsigned char* body, std::size_t size) {
        return marker == 0xEE && size >= 5 && std::equal(body, body + 5, "Adobe");
    });
}

// Four channels as stored into RGB: each colour channel under the black one.
void cmykToRgb(const std::uint8_t* cmyk, detail::RgbBuffer& rgb, bool inverted) {
    std::uint8_t* out = rgb.data();
    const std::size_t pixels = std::size_t(rgb.width()) * std::size_t(rgb.height());
    for (std::size_t i = 0; i < pixels; ++i, cmyk += 4, out += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned v = inverted ? cmyk[c] : 255u - cmyk[c];
            out[c] = std::uint8_t((v * k + 127) / 255);
        }
    }
}

} // namespace

std::optional<QSize> jpegSize(const QByteArray& jpeg) {
    if (jpeg.isEmpty())
        return std::nullopt;
    TjHandle tj(tjInitDecompress());
    if (!tj.get())
        return std::nullopt;
    return readHeader(tj.get(), jpeg);
}

QImage decodeJpeg(const QByteArray& jpeg) {
    return detail::decodeJpegRgb(jpeg).toImage();
}

QByteArray encodeJpeg(const QImage& image) {
    return detail::encodeJpegRgb(detail::RgbBuffer::fromImage(image));
}

namespace detail {

bool looksLikeJpeg(const QByteArray& data) {
    return data.size() >= 3 && data.startsWith("\xFF\xD8\xFF");
}

RgbBuffer decodeJpegRgb(const QByteArray& jpeg) {
    return decodeJpegRgbCovering(jpeg, QSize());
}

RgbBuffer decodeJpegRgbCovering(const QByteArray& jpeg, QSize atLeast) {
    if (jpeg.isEmpty())
        return {};
    TjHandle tj(tjInitDecompress());
    if (!tj.get())
        return {};
    int colorspace = TJCS_RGB;
    std::optional<QSize> size = readHeader(tj.get(), jpeg, &colorspace);
    if (!size)
        return {};
    if (atLeast.width() > 0 && atLeast.height() > 0) {
        int count = 0;
        const tjscalingfactor* factors = tjGetScalingFactors(&count);
        QSize best = *size;
        for (int i = 0; factors && i < count; ++i) {
            const QSize scaled(TJSCALED(size->width(), factors[i]), TJSCALED(size->height(), factors[i]));
            if (scaled.width() >= atLeast.width() && scaled.height() >= atLeast.height() &&
                qint64(scaled.width()) * scaled.height() < qint64(best.width()) * best.height())
                best = scaled;
        }
        size = best;
    }
    // allocate() enforces the pixel cap, so a forged header cannot make us reserve gigabytes.
    RgbBuffer rgb = RgbBuffer::allocate(size->width(), size->height());
    if (rgb.isNull())
        return {};
    // Warnings (e.g. premature end of data) count as failure: a half-grey photo must not be stored.
    constexpr int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        // The decoder gives such photos only as their four channels.
        std::unique_ptr<std::uint8_t[]> cmyk(new (std::nothrow) std::uint8_t[rgb.byteCount() / 3 * 4]);
        if (!cmyk || tjDecompress2(tj.get(), bytes(jpeg), static_cast<unsigned long>(jpeg.size()), cmyk.get(),
                                   rgb.width(), rgb.width() * 4, rgb.height(), TJPF_CMYK, flags) != 0)
            return {};
        cmykToRgb(cmyk.get(), rgb, adobeInverted(jpeg));
        return rgb;
    }
    if (tjDecompress2(tj.get(), bytes(jpeg), static_cast<unsigned long>(jpeg.size()), rgb.data(), rgb.width(),
                      rgb.width() * 3, rgb.height(), TJPF_RGB, flags) != 0)
        return {};
    return rgb;
}

QByteArray encodeJpegRgb(const RgbBuffer& rgb) {
    if (rgb.isNull())
        return {};
    TjHandle tj(tjInitCompress());
    if (!tj.get())
        return {};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    // No flags: baseline, standard Huffman tables, accurate DCT.
    const int rc = tjCompress2(tj.get(), rgb.data(), rgb.width(), rgb.width() * 3, rgb.height(), TJPF_RGB, &out,
                               &outSize, TJSAMP_420, kJpegQuality, 0);
    QByteArray result;
    if (rc == 0 && out)
        result = QByteArray(reinterpret_cast<const char*>(out), qsizetype(outSize));
    tjFree(out);
    return result;
}

int jpegExifOrientation(const QByteArray& jpeg) {
    int orientation = 1;
    findSegment(jpeg, [&](unsigned marker, const unsigned char* body, std::size_t size) {
        if (marker != 0xE1 || size < 6 || !std::equal(body, body + 6, "Exif\0\0"))
            return false;
        orientation = orientationFromTiff(body + 6, size - 6);
        return true;
    });
    return orientation;
}

} // namespace detail
} // namespace tarmelo::photo
