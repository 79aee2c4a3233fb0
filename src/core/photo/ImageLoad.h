#pragma once

#include "photo/RgbBuffer.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace tarmelo::photo {

// A photo the user picks: JPEG, BMP or anything QImageReader reads, EXIF orientation applied.
// Null image on failure.
QImage loadImageFile(const QString& path);
QImage loadImageData(const QByteArray& data);

namespace detail {

struct LoadedBitmap {
    RgbBuffer bitmap;
    QString error; // empty on success
};

// The bytes of an image file the user picked; the error text, empty when it was read.
QString readImageFile(const QString& path, QByteArray& data);
LoadedBitmap loadBitmapFile(const QString& path);
LoadedBitmap loadBitmap(const QByteArray& data);

} // namespace detail
} // namespace tarmelo::photo
