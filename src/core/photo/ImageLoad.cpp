#include "photo/ImageLoad.h"

#include "photo/Jpeg.h"
#include "photo/PhotoErrors.h"
#include "photo/Resample.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <mutex>

namespace tarmelo::photo {

namespace {

// Files this large cannot hold an image within the pixel cap in any sensible format.
constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;

void raiseAllocationLimitOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Qt's default would refuse photos well inside our own cap; ours is checked first anyway.
        constexpr int neededMb = int(kMaxPixels * 4 / (1024 * 1024)) + 64;
        if (QImageReader::allocationLimit() < neededMb)
            QImageReader::setAllocationLimit(neededMb);
    });
}

detail::LoadedBitmap failure(const QString& error) {
    return {{}, error};
}

detail::LoadedBitmap loadJpeg(const QByteArray& data) {
    const std::optional<QSize> size = jpegSize(data);
    if (!size)
        return failure(errors::unreadable());
    if (!withinPixelCap(size->width(), size->height()))
        return failure(errors::tooLarge());
    detail::RgbBuffer rgb = detail::decodeJpegRgb(data);
    if (rgb.isNull())
        return failure(errors::unreadable());
    const int orientation = detail::jpegExifOrientation(data);
    if (orientation != 1) {
        rgb = detail::applyOrientation(rgb, orientation);
        if (rgb.isNull())
            return failure(errors::unreadable());
    }
    return {std::move(rgb), {}};
}

detail::LoadedBitmap loadOther(const QByteArray& data) {
    raiseAllocationLimitOnce();
    QBuffer device;
    device.setData(data);
    if (!device.open(QIODevice::ReadOnly))
        return failure(errors::unreadable());
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    if (declared.isValid() && !withinPixelCap(declared.width(), declared.height()))
        return failure(errors::tooLarge());
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return failure(errors::unreadable());
    if (!withinPixelCap(image.width(), image.height()))
        return failure(errors::tooLarge());
    detail::RgbBuffer rgb = detail::RgbBuffer::fromImage(image);
    if (rgb.isNull())
        return failure(errors::unreadable());
    return {std::move(rgb), {}};
}

} // namespace

QImage loadImageFile(const QString& path) {
    return detail::loadBitmapFile(path).bitmap.toImage();
}

QImage loadImageData(const QByteArray& data) {
    return detail::loadBitmap(data).bitmap.toImage();
}

namespace detail {

QString readImageFile(const QString& path, QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return errors::unreadable();
    if (file.size() > kMaxFileBytes)
        return errors::tooLarge();
    data = file.readAll();
    return {};
}

LoadedBitmap loadBitmapFile(const QString& path) {
    QByteArray data;
    if (const QString error = readImageFile(path, data); !error.isEmpty())
        return failure(error);
    return loadBitmap(data);
}

LoadedBitmap loadBitmap(const QByteArray& data) {
    if (data.isEmpty())
        return failure(errors::unreadable());
    // JPEGs go through TurboJPEG, which unlike QImageReader reports truncated data.
    return detail::looksLikeJpeg(data) ? loadJpeg(data) : loadOther(data);
}

} // namespace detail
} // namespace tarmelo::photo
