#include "photo/ImageLoad.h"
#include "photo/Jpeg.h"
#include "photo/Reduce.h"
#include "photo/Resample.h"

#include "photo_test_images.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace tarmelo::photo;
using namespace photo_test;

namespace {

// 8-bit quantisation tables by id, in zig-zag order.
std::map<int, QByteArray> quantTables(const QByteArray& data) {
    std::map<int, QByteArray> tables;
    qsizetype at = 2;
    while (at + 4 <= data.size() && uchar(data[at]) == 0xFF && uchar(data[at + 1]) != 0xDA) {
        const qsizetype length = (uchar(data[at + 2]) << 8) | uchar(data[at + 3]);
        if (uchar(data[at + 1]) == 0xDB)
            for (qsizetype t = at + 4; t + 65 <= at + 2 + length; t += 65)
                tables[data[t] & 0x0F] = data.mid(t + 1, 64);
        at += 2 + length;
    }
    return tables;
}

// The stored form: baseline, 4:2:0 and the libjpeg tables for quality 90.
void expectBaselineQ90(const QByteArray& data) {
    const qsizetype sof = findSegment(data, 0xC0);
    ASSERT_GE(sof, 0) << "no baseline SOF0";
    EXPECT_LT(findSegment(data, 0xC1), 0);
    EXPECT_LT(findSegment(data, 0xC2), 0) << "progressive";
    ASSERT_EQ(uchar(data[sof + 9]), 3) << "not full colour";
    EXPECT_EQ(uchar(data[sof + 11]), 0x22);
    EXPECT_EQ(uchar(data[sof + 14]), 0x11);
    EXPECT_EQ(uchar(data[sof + 17]), 0x11);

    // First zig-zag entries of the standard tables scaled to quality 90.
    const std::map<int, QByteArray> tables = quantTables(data);
    ASSERT_EQ(tables.count(0), 1u);
    ASSERT_EQ(tables.count(1), 1u);
    const int luma[] = {3, 2, 2, 3, 2, 2};
    const int chroma[] = {3, 4, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(uchar(tables.at(0)[i]), luma[i]) << "luma " << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(uchar(tables.at(1)[i]), chroma[i]) << "chroma " << i;
}

TEST(JpegCodec, EncodesBaselineQuality90) {
    expectBaselineQ90(jpeg(gradient(320, 200)));
    expectBaselineQ90(reduceAddedPhotoData(jpeg(noise(2000, 1000))).jpeg);
    expectBaselineQ90(reduceImportedPhoto(jpeg(noise(1600, 1200))).jpeg);
}

TEST(JpegCodec, ReadsSizeFromHeaderAndRoundTripsColours) {
    QImage image(333, 101, QImage::Format_ARGB32); // odd width: row padding differs from packed RGB
    image.fill(QColor(200, 30, 40));
    const QByteArray data = jpeg(image);
    EXPECT_EQ(jpegSize(data), QSize(333, 101));
    const QImage decoded = decodeJpeg(data);
    ASSERT_EQ(decoded.size(), QSize(333, 101));
    const QColor centre = decoded.pixelColor(166, 50);
    EXPECT_NEAR(centre.red(), 200, 3);
    EXPECT_NEAR(centre.green(), 30, 3);
    EXPECT_NEAR(centre.blue(), 40, 3);
}

// CMYK photos (print shops, Photoshop) are decoded too; Adobe's files store the channels inverted.
TEST(JpegCodec, DecodesCmykPhotos) {
    QFile file(QStringLiteral(TARMELO_TEST_DATA "/cmyk-adobe.jpg")); // written by ImageMagick
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    for (const QImage& decoded :
         {decodeJpeg(data),
          reduceAddedPhotoData(data).jpeg.isEmpty() ? QImage() : decodeJpeg(reduceAddedPhotoData(data).jpeg)}) {
        ASSERT_EQ(decoded.size(), QSize(64, 48));
        const struct {
            int x;
            QColor colour;
        } samples[] = {{8, QColor(200, 30, 40)}, {56, QColor(20, 60, 180)}};
        for (const auto& s : samples) {
            const QColor c = decoded.pixelColor(s.x, 24);
            EXPECT_NEAR(c.red(), s.colour.red(), 4) << s.x;
            EXPECT_NEAR(c.green(), s.colour.green(), 4) << s.x;
            EXPECT_NEAR(c.blue(), s.colour.blue(), 4) << s.x;
        }
    }
}

TEST(JpegCodec, TransparentImagesAreStoredOnWhite) {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QColor corner = decodeJpeg(jpeg(image)).pixelColor(10, 10);
    EXPECT_GE(corner.lightness(), 250);
}

struct Hostile {
    const char* name;
    QByteArray data;
};

std::vector<Hostile> hostileInputs() {
    const QByteArray good = jpeg(noise(500, 400)); // larger than 400x300: imports must decode it
    QByteArray bmp = encoded(gradient(4, 4), "BMP");
    for (int i = 0; i < 2; ++i) { // width and height as little-endian int32 at 18 and 22
        const std::uint32_t side = 100000;
        for (int b = 0; b < 4; ++b)
            bmp[18 + 4 * i + b] = char((side >> (8 * b)) & 0xFF);
    }
    return {
        {"empty", {}},
        {"text", "Dies ist kein Foto, nur Text in einer .jpg-Datei.\n"},
        {"only SOI", QByteArray("\xFF\xD8\xFF", 3)},
        {"truncated", good.left(good.size() / 2)},
        {"header 65000x65000", withSofSize(good, 65000, 65000)},
        {"bmp 100000x100000", bmp},
    };
}

TEST(HostileInput, FailsCleanlyWithoutHugeAllocations) {
    for (const Hostile& input : hostileInputs()) {
        SCOPED_TRACE(input.name);
        EXPECT_TRUE(loadImageData(input.data).isNull());
        const PhotoResult added = reduceAddedPhotoData(input.data);
        EXPECT_FALSE(added.ok());
        EXPECT_TRUE(added.jpeg.isEmpty());
        EXPECT_TRUE(decodeJpeg(input.data).isNull());
        EXPECT_TRUE(thumbnail(input.data).isNull());
        EXPECT_TRUE(fitInto(input.data, {239, 158}).isNull());
        // Large enough to need compacting, so the decoder must reject it.
        if (!input.data.isEmpty() && input.data.startsWith("\xFF\xD8")) {
            EXPECT_FALSE(reduceImportedPhoto(paddedTo(input.data, 460000)).ok());
        }
    }
}

TEST(HostileInput, OversizedHeaderIsReadButNotDecoded) {
    const QByteArray forged = withSofSize(jpeg(noise(64, 48)), 65000, 65000);
    EXPECT_EQ(jpegSize(forged), QSize(65000, 65000));
    EXPECT_EQ(reduceAddedPhotoData(forged).error, QStringLiteral("Das Bild ist zu groß."));
}

TEST(HostileInput, FilesThatAreNoImages) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString textAsJpeg = dir.filePath("auto.jpg");
    QFile file(textAsJpeg);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Fahrzeugliste\nkein Bild\n");
    file.close();
    EXPECT_TRUE(loadImageFile(textAsJpeg).isNull());
    EXPECT_FALSE(reduceAddedPhoto(textAsJpeg).ok());
    EXPECT_FALSE(reduceAddedPhoto(dir.filePath("fehlt.jpg")).ok());
}

// The marked top-left quadrant of a 80x40 photo, after turning it upright.
TEST(ExifOrientation, AddedJpegIsTurnedUpright) {
    QImage image(80, 40, QImage::Format_RGB888);
    image.fill(Qt::blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixelColor(x, y, Qt::red);
    const QByteArray plain = jpeg(image);
    enum Corner { TopLeft, TopRight, BottomLeft, BottomRight };
    const struct {
        int orientation;
        QSize size;
        Corner red;
    } cases[] = {{1, {80, 40}, TopLeft},     {2, {80, 40}, TopRight},  {3, {80, 40}, BottomRight},
                 {4, {80, 40}, BottomLeft},  {5, {40, 80}, TopLeft},   {6, {40, 80}, TopRight},
                 {7, {40, 80}, BottomRight}, {8, {40, 80}, BottomLeft}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        const QImage loaded = loadImageData(withExifOrientation(plain, c.orientation));
        ASSERT_EQ(loaded.size(), c.size);
        const int w = loaded.width(), h = loaded.height();
        const QPoint corners[] = {{5, 5}, {w - 6, 5}, {5, h - 6}, {w - 6, h - 6}};
        for (int i = 0; i < 4; ++i) {
            const QColor colour = loaded.pixelColor(corners[i]);
            EXPECT_EQ(colour.red() > colour.blue(), i == c.red) << "corner " << i;
        }
    }
    // The fitting rules see the upright size: 400x800 is limited by the height.
    const PhotoResult turned = reduceAddedPhotoData(withExifOrientation(jpeg(gradient(800, 400)), 6));
    ASSERT_TRUE(turned.ok());
    EXPECT_EQ(jpegSize(turned.jpeg), QSize(240, 480));
}

TEST(ResampleLanczos, ProducesExactSizesAndKeepsColours) {
    QImage halves(333, 201, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < halves.height(); ++y)
        for (int x = 167; x < halves.width(); ++x)
            halves.setPixelColor(x, y, Qt::blue);
    const QSize targets[] = {{111, 67}, {332, 200}, {333, 201}, {1, 1}, {7, 200}, {333, 3}, {100, 99}};
    for (const QSize& target : targets) {
        SCOPED_TRACE(testing::Message() << target.width() << "x" << target.height());
        const QImage out = resampleLanczos(halves, target);
        ASSERT_EQ(out.size(), target);
        if (target.width() >= 7) {
            const QColor left = out.pixelColor(0, 0), right = out.pixelColor(target.width() - 1, target.height() - 1);
            EXPECT_TRUE(left.red() > 240 && left.blue() < 15) << left.name().toStdString();
            EXPECT_TRUE(right.blue() > 240 && right.red() < 15) << right.name().toStdString();
        }
    }
    EXPECT_TRUE(resampleLanczos(halves, {334, 201}).isNull()) << "enlarging is not offered";
    EXPECT_TRUE(resampleLanczos(halves, {0, 10}).isNull());

    QImage grey(250, 190, QImage::Format_RGB888);
    grey.fill(QColor(90, 90, 90));
    const QImage flat = resampleLanczos(grey, {77, 31});
    for (const QPoint p : {QPoint(0, 0), QPoint(38, 15), QPoint(76, 30)})
        EXPECT_EQ(flat.pixelColor(p), QColor(90, 90, 90));
}

} // namespace
