#include "photo/Reduce.h"

#include "photo/ImageLoad.h"
#include "photo/Jpeg.h"
#include "photo/PhotoErrors.h"
#include "photo/Resample.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarmelo::photo {

namespace {

void report(const Progress& progress, int percent) {
    if (progress)
        progress(percent);
}

bool exceeds(QSize size, QSize box) {
    return size.width() > box.width() || size.height() > box.height();
}

// Encodes the photo fitted into 640x480, and compacts it to 400x300 when its data gets too big. `ratio` is the one
// of the photo as loaded, not recomputed from rounded sizes.
PhotoResult storeFitted(const detail::RgbBuffer& photo, double ratio, const Progress& progress,
                        qsizetype compactFromBytes) {
    report(progress, 60);
    QByteArray jpeg = detail::encodeJpegRgb(photo);
    if (jpeg.isEmpty())
        return PhotoResult::failure(errors::encodeFailed());
    report(progress, 80);

    if (jpeg.size() >= compactFromBytes && exceeds(photo.size(), kCompactBox)) {
        const detail::RgbBuffer compact = detail::resampleLanczos(photo, fitSize(photo.size(), kCompactBox, ratio));
        if (compact.isNull())
            return PhotoResult::failure(errors::resampleFailed());
        jpeg = detail::encodeJpegRgb(compact);
        if (jpeg.isEmpty())
            return PhotoResult::failure(errors::encodeFailed());
    }
    return PhotoResult::success(std::move(jpeg));
}

PhotoResult reduceAdded(detail::LoadedBitmap loaded, const Progress& progress, qsizetype compactFromBytes) {
    if (!loaded.error.isEmpty())
        return PhotoResult::failure(loaded.error);
    const detail::RgbBuffer& original = loaded.bitmap;
    report(progress, 40);

    const double ratio = double(original.width()) / original.height();
    const QSize photoSize = fitSize(original.size(), kPhotoBox, ratio);
    if (photoSize == original.size())
        return storeFitted(original, ratio, progress, compactFromBytes);
    const detail::RgbBuffer fitted = detail::resampleLanczos(original, photoSize);
    if (fitted.isNull())
        return PhotoResult::failure(errors::resampleFailed());
    return storeFitted(fitted, ratio, progress, compactFromBytes);
}

// A camera's JPEG is decoded at the smallest of the decoder's reduced scales that still covers the stored size:
// a quarter of the pixels of a 12 MP photo, in a quarter of the time, and Lanczos then has a quarter of the work.
PhotoResult reduceAddedJpeg(const QByteArray& data, const Progress& progress, qsizetype compactFromBytes) {
    const std::optional<QSize> size = jpegSize(data);
    if (!size)
        return PhotoResult::failure(errors::unreadable());
    if (!withinPixelCap(size->width(), size->height()))
        return PhotoResult::failure(errors::tooLarge());
    // The fitting rules see the photo upright; it is decoded and reduced as stored, and turned at its small size.
    const int orientation = detail::jpegExifOrientation(data);
    const bool turned = orientation >= 5;
    const QSize upright = turned ? size->transposed() : *size;
    const double ratio = double(upright.width()) / upright.height();
    const QSize photoSize = fitSize(upright, kPhotoBox, ratio);
    const QSize storedSize = turned ? photoSize.transposed() : photoSize;
    detail::RgbBuffer photo = detail::decodeJpegRgbCovering(data, storedSize);
    if (photo.isNull())
        return PhotoResult::failure(errors::unreadable());
    report(progress, 40);
    if (photo.size() != storedSize) {
        photo = detail::resampleLanczos(photo, storedSize);
        if (photo.isNull())
            return PhotoResult::failure(errors::resampleFailed());
    }
    if (orientation != 1) {
        photo = detail::applyOrientation(photo, orientation);
        if (photo.isNull())
            return PhotoResult::failure(errors::resampleFailed());
    }
    return storeFitted(photo, ratio, progress, compactFromBytes);
}

PhotoResult reduceAddedData(const QByteArray& data, const Progress& progress, qsizetype compactFromBytes) {
    if (detail::looksLikeJpeg(data))
        return reduceAddedJpeg(data, progress, compactFromBytes);
    return reduceAdded(detail::loadBitmap(data), progress, compactFromBytes);
}

detail::RgbBuffer decodeAndFit(const QByteArray& jpeg, QSize box) {
    const detail::RgbBuffer decoded = detail::decodeJpegRgb(jpeg);
    if (decoded.isNull())
        return {};
    return detail::resampleLanczos(decoded, fitSize(decoded.size(), box));
}

} // namespace

QSize fitSize(QSize size, QSize box, double ratio) {
    int width = size.width();
    int height = size.height();
    if (width > box.width()) {
        width = box.width();
        height = roundHalfEven(box.width() / ratio);
    }
    if (height > box.height()) {
        height = box.height();
        width = roundHalfEven(ratio * box.height());
    }
    return {std::max(width, 1), std::max(height, 1)};
}

QSize fitSize(QSize size, QSize box) {
    if (size.width() <= 0 || size.height() <= 0)
        return size;
    return fitSize(size, box, double(size.width()) / size.height());
}

PhotoResult reduceAddedPhoto(const QString& path, const Progress& progress) {
    QByteArray data;
    if (const QString error = detail::readImageFile(path, data); !error.isEmpty())
        return PhotoResult::failure(error);
    return reduceAddedData(data, progress, kCompactFromBytes);
}

PhotoResult reduceAddedPhotoData(const QByteArray& fileBytes, const Progress& progress) {
    return reduceAddedData(fileBytes, progress, kCompactFromBytes);
}

PhotoResult detail::reduceAddedPhotoData(const QByteArray& fileBytes, const Progress& progress,
                                         qsizetype compactFromBytes) {
    return reduceAddedData(fileBytes, progress, compactFromBytes);
}

PhotoResult reduceImportedPhoto(const QByteArray& jpeg) {
    // The header is checked even for photos kept as they are: a file that is no JPEG is skipped.
    const std::optional<QSize> size = jpegSize(jpeg);
    if (!size)
        return PhotoResult::failure(errors::damaged());
    if (jpeg.size() < kCompactFromBytes)
        return PhotoResult::success(jpeg);
    if (!exceeds(*size, kCompactBox))
        return PhotoResult::success(jpeg);
    const detail::RgbBuffer compact = decodeAndFit(jpeg, kCompactBox);
    if (compact.isNull())
        return PhotoResult::failure(errors::damaged());
    QByteArray reduced = detail::encodeJpegRgb(compact);
    if (reduced.isEmpty())
        return PhotoResult::failure(errors::encodeFailed());
    return PhotoResult::success(std::move(reduced));
}

QImage thumbnail(const QByteArray& jpeg) {
    return decodeAndFit(jpeg, kThumbnailBox).toImage();
}

QImage fitInto(const QByteArray& jpeg, QSize box) {
    if (box.width() < 1 || box.height() < 1)
        return {};
    // Shown on every change of vehicle: decoded at a reduced scale that still covers the box, then fitted.
    const std::optional<QSize> size = jpegSize(jpeg);
    if (!size)
        return {};
    const QSize target = fitSize(*size, box);
    detail::RgbBuffer decoded = detail::decodeJpegRgbCovering(jpeg, target);
    if (decoded.isNull())
        return {};
    if (decoded.size() == target)
        return std::move(decoded).toImage();
    return detail::resampleLanczos(decoded, target).toImage();
}

} // namespace tarmelo::photo
