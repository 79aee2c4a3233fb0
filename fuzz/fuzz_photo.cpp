// The photo loader on JPEG, BMP and whatever else arrives: within the pixel cap or a failure with a message.

#include "FuzzCheck.h"
#include "photo/ImageLoad.h"
#include "photo/Jpeg.h"
#include "photo/RgbBuffer.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const photo::detail::LoadedBitmap loaded = photo::detail::loadBitmap(bytes);
    if (loaded.error.isEmpty()) {
        FUZZ_CHECK(!loaded.bitmap.isNull());
        FUZZ_CHECK(photo::withinPixelCap(loaded.bitmap.width(), loaded.bitmap.height()));
    } else {
        FUZZ_CHECK(loaded.bitmap.isNull());
    }
    if (photo::detail::looksLikeJpeg(bytes)) {
        // The decoder agrees with the header it was sized from.
        const QImage image = photo::decodeJpeg(bytes);
        if (!image.isNull()) {
            const std::optional<QSize> header = photo::jpegSize(bytes);
            FUZZ_CHECK(header.has_value() && *header == image.size());
        }
    }
    return 0;
}
