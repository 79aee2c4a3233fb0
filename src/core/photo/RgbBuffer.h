#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tarmelo::photo {

// Larger images are refused before any pixel memory is allocated.
inline constexpr int kMaxSide = 30000;
inline constexpr std::int64_t kMaxPixels = 100'000'000;

bool withinPixelCap(int width, int height);

namespace detail {

// Packed 8-bit RGB without row padding: the layout TurboJPEG reads and writes without copying.
class RgbBuffer {
public:
    using Release = void (*)(void*);

    RgbBuffer() = default;
    // Empty buffer if the size is outside the pixel cap or memory is short.
    static RgbBuffer allocate(int width, int height);
    // Takes ownership of memory that must be freed with release.
    static RgbBuffer adopt(void* data, int width, int height, Release release);
    // Packed copy of any QImage; transparent images are put on white.
    static RgbBuffer fromImage(const QImage& image);

    bool isNull() const { return !m_data; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    QSize size() const { return {m_width, m_height}; }
    std::size_t byteCount() const { return std::size_t(m_width) * std::size_t(m_height) * 3; }
    std::uint8_t* data() { return m_data.get(); }
    const std::uint8_t* data() const { return m_data.get(); }

    // Hands the pixels over to a QImage (Format_RGB888) without copying.
    QImage toImage() &&;

private:
    std::unique_ptr<std::uint8_t, Release> m_data{nullptr, std::free};
    int m_width = 0;
    int m_height = 0;
};

} // namespace detail
} // namespace tarmelo::photo
