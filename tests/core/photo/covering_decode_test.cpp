// The display copy of a photo and an added camera photo are decoded at a reduced scale: never smaller than what they
// are fitted into, and the fitted result looks like the one from a full decode.
#include "photo/ImageLoad.h"
#include "photo/Jpeg.h"
#include "photo/Reduce.h"
#include "photo/Resample.h"
#include "photo/RgbBuffer.h"

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

int worstDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int i = 0; i < x.width() * 3; ++i)
            worst = std::max(worst, std::abs(int(x.constScanLine(row)[i]) - int(y.constScanLine(row)[i])));
    return worst;
}

TEST(CoveringDecodeTest, FittedCopyMatchesTheFullDecode) {
    const QSize box(239, 158);
    for (QSize photo : {QSize(640, 480), QSize(480, 640), QSize(1024, 300), QSize(300, 200)}) {
        SCOPED_TRACE(testing::Message() << photo.width() << "x" << photo.height());
        const QByteArray data = jpeg(gradient(photo.width(), photo.height()));
        const QImage fast = fitInto(data, box);
        const QSize target = fitSize(photo, box);
        const QImage full = resampleLanczos(decodeJpeg(data), target);
        ASSERT_EQ(fast.size(), target);
        ASSERT_EQ(full.size(), target);
        EXPECT_LE(worstDifference(fast, full), 12);
    }
}

TEST(CoveringDecodeTest, AddedPhotoMatchesTheFullDecode) {
    const struct {
        QSize photo;
        int orientation;
        QSize stored;
    } cases[] = {
        {{4000, 3000}, 1, {640, 480}},                              // a quarter, then Lanczos
        {{1280, 960}, 1, {640, 480}},                               // exactly a half
        {{2000, 1500}, 6, {360, 480}},                              // turned upright after the reduction
        {{1000, 2000}, 8, {640, 320}}, {{700, 500}, 3, {640, 457}}, // no reduced scale covers it: the full size
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.photo.width() << "x" << c.photo.height() << " o" << c.orientation);
        const QByteArray data = withExifOrientation(jpeg(gradient(c.photo.width(), c.photo.height())), c.orientation);
        const PhotoResult added = reduceAddedPhotoData(data);
        ASSERT_TRUE(added.ok());
        const QImage fast = decodeJpeg(added.jpeg);
        const QImage full = decodeJpeg(encodeJpeg(resampleLanczos(loadImageData(data), c.stored)));
        ASSERT_EQ(fast.size(), c.stored);
        ASSERT_EQ(full.size(), c.stored);
        EXPECT_LE(worstDifference(fast, full), 12);
    }
}

} // namespace
