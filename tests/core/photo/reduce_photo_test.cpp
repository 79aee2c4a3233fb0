#include "photo/Jpeg.h"
#include "photo/Reduce.h"

#include "photo_test_images.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarmelo::photo;
using namespace photo_test;

namespace {

struct AddedCase {
    const char* name;
    QSize source;
    const char* format; // how the user's file is stored
    bool noisy;
    QSize expected;
};

class AddedPhotoTest : public testing::TestWithParam<AddedCase> {};

TEST_P(AddedPhotoTest, IsFittedAndStoredAsJpeg) {
    const AddedCase& c = GetParam();
    const QImage source =
        c.noisy ? noise(c.source.width(), c.source.height()) : gradient(c.source.width(), c.source.height());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("foto.%1").arg(QString::fromLatin1(c.format).toLower()));
    ASSERT_TRUE(source.save(path, c.format));

    std::vector<int> steps;
    const PhotoResult result = reduceAddedPhoto(path, [&](int percent) { steps.push_back(percent); });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(jpegSize(result.jpeg), c.expected);
    EXPECT_EQ(decodedSize(result.jpeg), c.expected);
    EXPECT_EQ(steps, (std::vector<int>{40, 60, 80}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, AddedPhotoTest,
                         testing::Values(AddedCase{"wide", {2000, 1000}, "JPG", false, {640, 320}},
                                         AddedCase{"camera", {4000, 3000}, "JPG", false, {640, 480}},
                                         AddedCase{"portrait", {1000, 2000}, "JPG", false, {240, 480}},
                                         AddedCase{"small", {500, 400}, "JPG", false, {500, 400}},
                                         AddedCase{"bitmap", {2000, 1000}, "BMP", false, {640, 320}},
                                         AddedCase{"png", {1000, 2000}, "PNG", false, {240, 480}},
                                         AddedCase{"smooth", {640, 480}, "BMP", false, {640, 480}},
                                         // Even noise stays under 450 000 bytes at this size: no compact step.
                                         AddedCase{"noisy", {640, 480}, "BMP", true, {640, 480}}),
                         [](const testing::TestParamInfo<AddedCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(AddedPhoto, CompactStepStartsFromThe640FittedPhoto) {
    const struct {
        QSize source;
        qsizetype limit;
        QSize expected;
    } cases[] = {
        {{640, 480}, 1, {400, 300}},         {{2000, 1000}, 1, {400, 200}}, {{1000, 2000}, 1, {150, 300}},
        {{1280, 769}, 1, {400, 240}},        {{400, 300}, 1, {400, 300}},   {{500, 400}, 1, {375, 300}},
        {{640, 480}, 1'000'000, {640, 480}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.width() << "x" << c.source.height() << " limit " << c.limit);
        const PhotoResult result =
            tarmelo::photo::detail::reduceAddedPhotoData(jpeg(noise(c.source.width(), c.source.height())), {}, c.limit);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(decodedSize(result.jpeg), c.expected);
    }
}

TEST(ImportedPhoto, StaysByteForByteUnlessBigInBytesAndSize) {
    const QByteArray smooth = jpeg(gradient(640, 480));
    const QByteArray smallButLong = paddedTo(jpeg(noise(300, 200)), 600000);
    const struct {
        const char* name;
        QByteArray data;
    } unchanged[] = {
        {"under the byte limit", smooth},
        {"one byte under the limit", paddedTo(smooth, kCompactFromBytes - 1)},
        {"not larger than 400x300", smallButLong},
    };
    for (const auto& c : unchanged) {
        SCOPED_TRACE(c.name);
        const PhotoResult result = reduceImportedPhoto(c.data);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.jpeg, c.data);
        EXPECT_EQ(result.jpeg.constData(), c.data.constData()) << "copied instead of passed through";
    }
}

TEST(ImportedPhoto, FilesThatAreNoJpegAreSkippedWhateverTheirSize) {
    for (const QByteArray& data : {QByteArray(1000, 'x'), QByteArray(), QByteArray("\xff\xd8\xff", 3)}) {
        const PhotoResult result = reduceImportedPhoto(data);
        EXPECT_FALSE(result.ok()) << data.size();
        EXPECT_TRUE(result.jpeg.isEmpty());
    }
}

TEST(ImportedPhoto, BigPhotosAreCompactedTo400x300) {
    const struct {
        const char* name;
        QByteArray data;
        QSize expected;
    } cases[] = {
        {"noisy 1600x1200", jpeg(noise(1600, 1200)), {400, 300}},
        {"exactly at the limit", paddedTo(jpeg(gradient(640, 480)), kCompactFromBytes), {400, 300}},
        {"portrait", paddedTo(jpeg(gradient(480, 640)), 500000), {225, 300}},
        {"only too wide", paddedTo(jpeg(gradient(500, 300)), 500000), {400, 240}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PhotoResult result = reduceImportedPhoto(c.data);
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(decodedSize(result.jpeg), c.expected);
    }
}

TEST(ImportedPhoto, BrokenBigPhotoFails) {
    const QByteArray big = jpeg(noise(1600, 1200));
    ASSERT_GT(big.size(), 600000);
    for (const QByteArray& broken : {big.left(600000), QByteArray(500000, 'x'), big.mid(1000)}) {
        const PhotoResult result = reduceImportedPhoto(broken);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.jpeg.isEmpty());
    }
}

TEST(Thumbnail, FitsTheReportFrame) {
    const struct {
        QSize source;
        QSize expected;
    } cases[] = {{{640, 480}, {104, 78}}, {{480, 640}, {58, 78}}, {{100, 50}, {100, 50}}, {{104, 78}, {104, 78}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.width() << "x" << c.source.height());
        const QByteArray data = jpeg(noise(c.source.width(), c.source.height()));
        const QImage thumb = thumbnail(data);
        EXPECT_EQ(thumb.size(), c.expected);
        // Frame-sized photos keep every pixel: Lanczos at scale 1 is the identity.
        if (c.source == c.expected) {
            EXPECT_EQ(thumb.convertToFormat(QImage::Format_RGB888), decodeJpeg(data));
        }
    }
}

TEST(FitInto, KeepsProportionsInsideTheBox) {
    EXPECT_EQ(fitInto(jpeg(gradient(640, 480)), {239, 158}).size(), QSize(211, 158));
    EXPECT_EQ(fitInto(jpeg(gradient(240, 480)), {239, 158}).size(), QSize(79, 158));
    EXPECT_EQ(fitInto(jpeg(gradient(120, 90)), {239, 158}).size(), QSize(120, 90));
    EXPECT_TRUE(fitInto(jpeg(gradient(120, 90)), {0, 158}).isNull());
}

} // namespace
