#include "photo/Reduce.h"

#include <gtest/gtest.h>

using namespace tarmelo::photo;

namespace {

struct FitCase {
    QSize size;
    QSize box;
    QSize expected;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.size.width() << "x" << c.size.height() << " into " << c.box.width() << "x" << c.box.height();
}

class FitSizeTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitSizeTest, FitsWidthFirstThenHeightRoundingHalvesToEven) {
    const FitCase& c = GetParam();
    EXPECT_EQ(fitSize(c.size, c.box), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AddedPhoto, FitSizeTest,
    testing::Values(FitCase{{2000, 1000}, kPhotoBox, {640, 320}}, FitCase{{4000, 3000}, kPhotoBox, {640, 480}},
                    FitCase{{1000, 2000}, kPhotoBox, {240, 480}}, FitCase{{500, 400}, kPhotoBox, {500, 400}},
                    FitCase{{640, 480}, kPhotoBox, {640, 480}}, FitCase{{641, 480}, kPhotoBox, {640, 479}},
                    FitCase{{1280, 769}, kPhotoBox, {640, 384}},  // 384.5
                    FitCase{{577, 960}, kPhotoBox, {288, 480}},   // 288.5
                    FitCase{{1154, 1920}, kPhotoBox, {288, 480}}, // 640x1065, then 288.5
                    FitCase{{30000, 1}, kPhotoBox, {640, 1}}));   // never collapses to zero

INSTANTIATE_TEST_SUITE_P(Compact, FitSizeTest,
                         testing::Values(FitCase{{1600, 1200}, kCompactBox, {400, 300}},
                                         FitCase{{640, 480}, kCompactBox, {400, 300}},
                                         FitCase{{640, 320}, kCompactBox, {400, 200}},
                                         FitCase{{400, 300}, kCompactBox, {400, 300}},
                                         FitCase{{800, 481}, kCompactBox, {400, 240}}, // 240.5
                                         FitCase{{361, 600}, kCompactBox, {180, 300}}, // 180.5
                                         FitCase{{722, 1200}, kCompactBox, {180, 300}}));

INSTANTIATE_TEST_SUITE_P(
    Thumbnail, FitSizeTest,
    testing::Values(FitCase{{640, 480}, kThumbnailBox, {104, 78}}, FitCase{{480, 640}, kThumbnailBox, {58, 78}},
                    FitCase{{100, 50}, kThumbnailBox, {100, 50}}, FitCase{{208, 125}, kThumbnailBox, {104, 62}},
                    FitCase{{93, 156}, kThumbnailBox, {46, 78}}, FitCase{{194, 312}, kThumbnailBox, {48, 78}},
                    FitCase{{640, 480}, QSize(239, 158), {211, 158}}));

TEST(FitSizeWithRatio, UsesTheGivenRatioNotTheRoundedSize) {
    // The compact step of an added photo keeps the ratio of the loaded photo.
    EXPECT_EQ(fitSize({640, 320}, kCompactBox, 2.1), QSize(400, 190));
    EXPECT_EQ(fitSize({300, 640}, kCompactBox, 0.47), QSize(141, 300));
}

TEST(RoundHalfEven, RoundsToNearestAndHalvesToEven) {
    const struct {
        double value;
        int expected;
    } cases[] = {{0.5, 0},
                 {1.5, 2},
                 {2.5, 2},
                 {58.5, 58},
                 {59.5, 60},
                 {2.4999, 2},
                 {2.5001, 3},
                 {-1.5, -2},
                 {-2.5, -2},
                 {7.0, 7},
                 {1e300, std::numeric_limits<int>::max()}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
}

} // namespace
