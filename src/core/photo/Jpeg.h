#pragma once

#include "photo/RgbBuffer.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

namespace tarmelo::photo {

inline constexpr int kJpegQuality = 90;

// Width and height from the JPEG header; nothing is decoded.
std::optional<QSize> jpegSize(const QByteArray& jpeg);

// Format_RGB888; a null image for damaged, truncated or oversized data.
QImage decodeJpeg(const QByteArray& jpeg);

// Baseline JPEG, quality 90, 4:2:0; empty on failure.
QByteArray encodeJpeg(const QImage& image);

namespace detail {

RgbBuffer decodeJpegRgb(const QByteArray& jpeg);
// Decodes at the smallest of the decoder's reduced scales that still covers atLeast in both directions (a display
// copy costs a fraction of a full decode that way); the full size when none does.
RgbBuffer decodeJpegRgbCovering(const QByteArray& jpeg, QSize atLeast);
QByteArray encodeJpegRgb(const RgbBuffer& rgb);

// EXIF orientation (1..8) of a JPEG; 1 when absent or unreadable.
int jpegExifOrientation(const QByteArray& jpeg);

bool looksLikeJpeg(const QByteArray& data);

} // namespace detail
} // namespace tarmelo::photo
