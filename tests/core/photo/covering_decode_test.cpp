// The display copy of a photo is decoded at a reduced scale: never smaller than what it is fitted into, and the
// fitted result looks like the one from a full decode.
#include "photo/jpeg.h"
#include "photo/reduce.h"
#include "photo/resample.h"
#include "photo/rgbbuffer.h"

#include "photo_test_images.h"

#include <gtest/gtest.h>

using namespace tarmelo::photo;
using namespace photo_test;

namespace {

TEST(CoveringDecodeTest, PicksTheSmallestScaleThatCovers) {
    const struct {
        QSize photo;
        QSize atLeast;
        QSize decoded;
    } cases[] = {
        {{640, 480}, {211, 158}, {240, 180}}, // 3/8 covers, a quarter (160 x 120) would not
        {{640, 480}, {160, 120}, {160, 120}}, // exactly a quarter
        {{640, 480}, {161, 120}, {240, 180}}, // one pixel more: the next scale up
        {{640, 480}, {640, 480}, {640, 480}},
        {{640, 480}, {700, 100}, {640, 480}}, // wider than the photo: the full size
        {{640, 480}, {}, {640, 480}},         // nothing asked: the full size
        {{120, 90}, {239, 158}, {120, 90}},   // smaller than the box
        {{101, 77}, {13, 10}, {13, 10}},      // sizes round up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.photo.width() << "x" << c.photo.height() << " >= " << c.atLeast.width()
                                        << "x" << c.atLeast.height());
        const detail::RgbBuffer rgb =
            detail::decodeJpegRgbCovering(jpeg(gradient(c.photo.width(), c.photo.height())), c.atLeast);
        ASSERT_FALSE(rgb.isNull());
        EXPECT_EQ(rgb.size(), c.decoded);
    }
    EXPECT_TRUE(detail::decodeJpegRgbCovering("kein JPEG", {10, 10}).isNull());
    EXPECT_TRUE(detail::decodeJpegRgbCovering(QByteArray(), {10, 10}).isNull());
}

TEST(CoveringDecodeTest, FittedCopyMatchesTheFullDecode) {
    const QSize box(239, 158);
    for (QSize photo : {QSize(640, 480), QSize(480, 640), QSize(1024, 300), QSize(300, 200)}) {
        SCOPED_TRACE(testing::Message() << photo.width() << "x" << photo.height());
        const QByteArray data = jpeg(gradient(photo.width(), photo.height()));
        const QImage fast = fitInto(data, box).convertToFormat(QImage::Format_RGB888);
        const QSize target = fitSize(photo, box);
        const QImage full = resampleLanczos(decodeJpeg(data), target).convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(fast.size(), target);
        ASSERT_EQ(full.size(), target);
        int worst = 0;
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width() * 3; ++x)
                worst = std::max(worst, std::abs(int(fast.constScanLine(y)[x]) - int(full.constScanLine(y)[x])));
        EXPECT_LE(worst, 12);
    }
}

} // namespace
