#include "photo/RgbBuffer.h"

#include <QPainter>

#include <cstring>

namespace tarmelo::photo {

bool withinPixelCap(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           std::int64_t(width) * height <= kMaxPixels;
}

namespace detail {

RgbBuffer RgbBuffer::allocate(int width, int height) {
    if (!withinPixelCap(width, height))
        return {};
    void* data = std::malloc(std::size_t(width) * std::size_t(height) * 3);
    if (!data)
        return {};
    return adopt(data, width, height, std::free);
}

RgbBuffer RgbBuffer::adopt(void* data, int width, int height, Release release) {
    RgbBuffer buffer;
    buffer.m_data = std::unique_ptr<std::uint8_t, Release>(static_cast<std::uint8_t*>(data), release);
    buffer.m_width = width;
    buffer.m_height = height;
    return buffer;
}

RgbBuffer RgbBuffer::fromImage(const QImage& image) {
    if (image.isNull())
        return {};
    QImage rgb;
    if (image.hasAlphaChannel()) {
        rgb = QImage(image.size(), QImage::Format_RGB888);
        rgb.fill(Qt::white);
        QPainter painter(&rgb);
        painter.drawImage(0, 0, image);
    } else {
        rgb = image.convertToFormat(QImage::Format_RGB888);
    }
    RgbBuffer buffer = allocate(rgb.width(), rgb.height());
    if (buffer.isNull())
        return {};
    const std::size_t rowBytes = std::size_t(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(buffer.data() + y * rowBytes, rgb.constScanLine(y), rowBytes);
    return buffer;
}

QImage RgbBuffer::toImage() && {
    if (isNull())
        return {};
    const Release release = m_data.get_deleter();
    std::uint8_t* data = m_data.release();
    return QImage(data, m_width, m_height, qsizetype(m_width) * 3, QImage::Format_RGB888, release, data);
}

} // namespace detail
} // namespace tarmelo::photo
