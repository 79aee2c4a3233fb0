// The photo pipeline is called from several threads at once (photos added together, the report's thumbnails):
// every thread gets what it would get alone, also when they share the same photos.
#include "photo/Jpeg.h"
#include "photo/Reduce.h"

#include "photo_test_images.h"

#include <QFile>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace tarmelo::photo;
using namespace photo_test;

namespace {

struct Outputs {
    QByteArray added, imported;
    QImage thumb, shown;
    bool operator==(const Outputs&) const = default;
};

Outputs run(const QByteArray& camera, const QByteArray& stored) {
    return {reduceAddedPhotoData(camera).jpeg, reduceImportedPhoto(stored).jpeg, thumbnail(stored),
            fitInto(stored, {239, 158})};
}

TEST(PhotoThreads, SharedPhotosGiveEachThreadWhatItGetsAlone) {
    const QByteArray camera = withExifOrientation(jpeg(noise(1200, 900, 3)), 6);
    const QByteArray stored = paddedTo(jpeg(noise(640, 480, 4)), 460000);
    const Outputs alone = run(camera, stored);
    ASSERT_FALSE(alone.added.isEmpty());
    ASSERT_FALSE(alone.thumb.isNull());

    constexpr int kThreads = 4;
    std::vector<Outputs> got(kThreads * 3);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round)
                got[size_t(t * 3 + round)] = run(camera, stored);
        });
    for (std::thread& t : threads)
        t.join();
    for (const Outputs& o : got)
        EXPECT_TRUE(o == alone);
}

// No image library with loadable modules comes into the process: nothing but the program's own code and the JPEG
// codec touch a dealer's photos.
TEST(PhotoThreads, NoImageLibraryModuleIsLoaded) {
    ASSERT_TRUE(reduceAddedPhotoData(jpeg(gradient(900, 700))).ok());
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray loaded = maps.readAll();
    EXPECT_FALSE(loaded.contains("libvips")) << "libvips";
    EXPECT_FALSE(loaded.contains("vips-modules")) << "vips-modules";
}

} // namespace
