#pragma once

#include "photo/rgbbuffer.h"

#include <QImage>
#include <QSize>

namespace tarmelo::photo {

// Lanczos (radius 3) to exactly `size`. Only reduces: a null image when `size` is empty or
// larger than the image on either axis. An unchanged size gives an identical copy.
QImage resampleLanczos(const QImage& image, QSize size);

// Loads the resampling library now (it is loaded on first use otherwise); false when it cannot be loaded.
// Safe from any thread: a worker can take the loading off the first photo shown.
bool prepareResampling();

namespace detail {

// Same on packed RGB, multi-threaded by libvips; the source is read in place.
RgbBuffer resampleLanczos(const RgbBuffer& rgb, QSize size);

// Turns the pixels as EXIF orientation 1..8 asks, so the photo stands upright.
RgbBuffer applyOrientation(const RgbBuffer& rgb, int orientation);

} // namespace detail
} // namespace tarmelo::photo
