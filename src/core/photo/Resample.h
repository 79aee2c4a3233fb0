#pragma once

#include "photo/RgbBuffer.h"

#include <QImage>
#include <QSize>

namespace tarmelo::photo {

// Lanczos (radius 3) to exactly `size`. Only reduces: a null image when `size` is empty or
// larger than the image on either axis. An unchanged size gives an identical copy.
// Safe to call from several threads at once.
QImage resampleLanczos(const QImage& image, QSize size);

namespace detail {

// Same on packed RGB; the source is read in place.
RgbBuffer resampleLanczos(const RgbBuffer& rgb, QSize size);

// Turns the pixels as EXIF orientation 1..8 asks, so the photo stands upright.
RgbBuffer applyOrientation(const RgbBuffer& rgb, int orientation);

} // namespace detail
} // namespace tarmelo::photo
