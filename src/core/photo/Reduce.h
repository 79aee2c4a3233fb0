#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "util/Rounding.h"

#include <algorithm>
#include <climits>

#include <functional>

namespace tarmelo::photo {

struct PhotoResult {
    QByteArray jpeg;
    QString error; // short German text for the error box; empty on success

    bool ok() const { return error.isEmpty(); }
    static PhotoResult success(QByteArray jpeg) { return {std::move(jpeg), {}}; }
    static PhotoResult failure(QString error) { return {{}, std::move(error)}; }
};

// Stored form of a photo and the smaller form used once its JPEG data gets too big.
inline constexpr QSize kPhotoBox{640, 480};
inline constexpr QSize kCompactBox{400, 300};
inline constexpr QSize kThumbnailBox{104, 78};
inline constexpr qsizetype kCompactFromBytes = 450'000;
// Shown in a photo's frame, in the editor and in the print, when its stored data cannot be decoded.
inline const QString kUnreadable = QStringLiteral("Bild nicht lesbar");

// Nearest integer, an exact half going to the even neighbour; independent of the FPU rounding mode.
inline int roundHalfEven(double value) {
    return int(std::clamp<qint64>(util::roundHalfEven(value), INT_MIN, INT_MAX));
}

// Fits `size` into `box` keeping the aspect `ratio` (width / height): the width is fitted first,
// then the height. Never enlarges; each side stays at least 1.
QSize fitSize(QSize size, QSize box, double ratio);
// Same with the ratio of `size` itself.
QSize fitSize(QSize size, QSize box);

// Progress in percent for a progress bar: 40 after loading, 60 after resizing, 80 after encoding.
using Progress = std::function<void(int)>;

// A photo the user adds from a file (JPEG, BMP, ...): fitted into 640x480, stored as JPEG and
// compacted to 400x300 when the JPEG gets 450 000 bytes or more.
PhotoResult reduceAddedPhoto(const QString& path, const Progress& progress = {});
PhotoResult reduceAddedPhotoData(const QByteArray& fileBytes, const Progress& progress = {});

namespace detail {
// The same with another byte limit: at quality 90 and 4:2:0 even pure noise of 640x480 stays
// below 450 000 bytes, so tests reach the compact step only through a lower limit.
PhotoResult reduceAddedPhotoData(const QByteArray& fileBytes, const Progress& progress, qsizetype compactFromBytes);
} // namespace detail

// A photo taken over from an archive: compacted to 400x300 only when its JPEG data is
// 450 000 bytes or more and it exceeds 400x300; otherwise the same bytes are returned
// without decoding. A failure (also a header that is no JPEG's) means the photo is to be skipped.
PhotoResult reduceImportedPhoto(const QByteArray& jpeg);

// The photo for the printed report, fitted into 104x78. Null image on failure.
QImage thumbnail(const QByteArray& jpeg);

// The photo fitted into `box` for display (never enlarged). Null image on failure.
QImage fitInto(const QByteArray& jpeg, QSize box);

} // namespace tarmelo::photo
