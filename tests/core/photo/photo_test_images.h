#pragma once

// Images and JPEG surgery for the photo tests; everything is generated, no data files.

#include "photo/Jpeg.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <optional>

namespace photo_test {

inline QImage noise(int width, int height, std::uint32_t seed = 1) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = uchar(seed >> 24);
        }
    }
    return image;
}

inline QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = uchar(x * 255 / width);
            line[3 * x + 1] = uchar(y * 255 / height);
            line[3 * x + 2] = 128;
        }
    }
    return image;
}

inline QByteArray jpeg(const QImage& image) {
    return tarmelo::photo::encodeJpeg(image);
}

inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Offset of the first segment with `marker` before the image data, or -1.
inline qsizetype findSegment(const QByteArray& jpeg, uchar marker) {
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar m = uchar(jpeg[at + 1]);
        if (m == marker)
            return at;
        if (m == 0xDA)
            break;
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));
    }
    return -1;
}

inline QByteArray segment(uchar marker, const QByteArray& body) {
    const qsizetype length = body.size() + 2;
    QByteArray out;
    out.append(char(0xFF)).append(char(marker)).append(char(length >> 8)).append(char(length & 0xFF));
    return out + body;
}

// Inserts comment segments after SOI until the data is exactly `total` bytes long.
inline QByteArray paddedTo(QByteArray jpeg, qsizetype total) {
    qsizetype missing = total - jpeg.size();
    QByteArray padding;
    while (missing > 0) {
        qsizetype chunk = std::min<qsizetype>(missing, 65537);
        if (missing - chunk > 0 && missing - chunk < 4)
            chunk -= 4;
        padding += segment(0xFE, QByteArray(chunk - 4, 'x'));
        missing -= chunk;
    }
    return jpeg.insert(2, padding);
}

inline QByteArray withSofSize(QByteArray jpeg, int width, int height) {
    const qsizetype sof = findSegment(jpeg, 0xC0);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

// Big-endian EXIF block with one IFD0 entry: the orientation.
inline QByteArray withExifOrientation(QByteArray jpeg, int orientation) {
    QByteArray tiff("MM\0\x2A\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);                                    // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);                  // orientation, SHORT, count 1
    tiff += QByteArray("\0", 1) + char(orientation) + QByteArray(2, 0); // value
    tiff += QByteArray(4, 0);                                           // no next IFD
    return jpeg.insert(2, segment(0xE1, QByteArray("Exif\0\0", 6) + tiff));
}

inline std::optional<QSize> decodedSize(const QByteArray& jpeg) {
    const QImage image = tarmelo::photo::decodeJpeg(jpeg);
    if (image.isNull())
        return std::nullopt;
    return image.size();
}

} // namespace photo_test
