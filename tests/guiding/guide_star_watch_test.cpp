// What tells a guide frame with the star from one without it: the star's figures measured on a
// frame, and the judgement of a centre against the star's usual figures and its last place.

#include "guiding/guide_star_watch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/image_store.h"
#include "guiding/guide_star_figures.h"

namespace talvor {
namespace {

// A 128 x 128 guide frame: a sky of 500 with noise of a few counts, and a star if asked.
ImageStoreOwner GuideFrame(double starX, double starY, double peak) {
    auto images = CreateImageStore();
    ImageBuffer& frame = images->CurrentImage;
    for (int y = 0; y < kSmallFrameSide; ++y) {
        for (int x = 0; x < kSmallFrameSide; ++x) {
            const double noise = ((x * 37 + y * 91) % 17) - 8;
            const double dx = x - starX;
            const double dy = y - starY;
            const double star = peak * std::exp(-(dx * dx + dy * dy) / 3.4);
            frame[y * kSmallFrameSide + x] = static_cast<uint16_t>(500 + noise + star);
        }
    }
    return images;
}

TEST(MeasureGuideStar, AStarStandsFarAboveTheNoiseAnEmptySkyAndAHotPixelDoNot) {
    const auto star = GuideFrame(64.3, 60.7, 3000);
    const GuideStarFigures figures = MeasureGuideStar(star->CurrentImage, 64.3, 60.7, 8);
    EXPECT_NEAR(figures.peak, 2900, 200);
    EXPECT_NEAR(figures.mass, 3000 * M_PI * 3.4, 800);  // the Gaussian's volume
    EXPECT_GT(figures.snr, 100);

    auto empty = GuideFrame(0, 0, 0);
    EXPECT_LT(MeasureGuideStar(empty->CurrentImage, 64, 64, 8).snr, kLeastGuideStarSnr);
    empty->CurrentImage[64 * kSmallFrameSide + 65] = 40000;
    const GuideStarFigures hot = MeasureGuideStar(empty->CurrentImage, 65, 64, 8);
    EXPECT_LT(hot.snr, kLeastGuideStarSnr);
    EXPECT_LT(hot.peak, 50);

    // Near the frame's edge the window shrinks; off the frame nothing is measured.
    const auto corner = GuideFrame(3.2, 124.6, 3000);
    EXPECT_GT(MeasureGuideStar(corner->CurrentImage, 3.2, 124.6, 8).snr, 50);
    EXPECT_EQ(MeasureGuideStar(corner->CurrentImage, -1, 60, 8).mass, 0.0);
}

TEST(JudgeGuideStar, FaintOrFarCentresAreNotTheStar) {
    GuideStarWatch watch;
    const GuideStarFigures usual{3000, 15000, 200};
    // Without usual figures only the noise floor counts.
    EXPECT_EQ(JudgeGuideStar(watch, {50, 300, 5.9}, 64, 64, 0), StarAbsence::Faint);
    EXPECT_EQ(JudgeGuideStar(watch, {50, 300, 6.1}, 64, 64, 0), StarAbsence::None);

    watch.referenceX = 64;
    watch.referenceY = 64;
    NoteStarSeen(watch, usual, 66, 64, 1000);
    EXPECT_TRUE(watch.known);
    EXPECT_EQ(JudgeGuideStar(watch, {2000, 10000, 150}, 66.5, 64.2, 2000), StarAbsence::None);
    // A thin cloud leaves a third of the light; a thicker one less.
    EXPECT_EQ(JudgeGuideStar(watch, {1000, 5000, 60}, 66, 64, 2000), StarAbsence::None);
    EXPECT_EQ(JudgeGuideStar(watch, {800, 5000, 60}, 66, 64, 2000), StarAbsence::Faint);
    EXPECT_EQ(JudgeGuideStar(watch, {1000, 4000, 60}, 66, 64, 2000), StarAbsence::Faint);

    // A second later the star is within 4.25 pixels of its last place or of the reference a
    // correction took it to; half a minute later much further.
    EXPECT_EQ(JudgeGuideStar(watch, usual, 70, 64, 2000), StarAbsence::None);
    EXPECT_EQ(JudgeGuideStar(watch, usual, 59.9, 64, 2000), StarAbsence::None);
    EXPECT_EQ(JudgeGuideStar(watch, usual, 71, 64, 2000), StarAbsence::Jumped);
    EXPECT_EQ(JudgeGuideStar(watch, usual, 64, 72, 2000), StarAbsence::Jumped);
    EXPECT_EQ(JudgeGuideStar(watch, usual, 64, 72, 31000), StarAbsence::None);
}

TEST(NoteStarSeen, TheUsualFiguresFollowTheStarSlowly) {
    GuideStarWatch watch;
    NoteStarSeen(watch, {1000, 10000, 100}, 10, 20, 5);
    NoteStarSeen(watch, {2000, 20000, 200}, 11, 21, 6);
    EXPECT_DOUBLE_EQ(watch.usual.peak, 1100);
    EXPECT_DOUBLE_EQ(watch.usual.mass, 11000);
    EXPECT_DOUBLE_EQ(watch.usual.snr, 110);
    EXPECT_EQ(watch.lastX, 11);
    EXPECT_EQ(watch.lastSeenMs, 6U);
    EXPECT_EQ(AbsenceName(StarAbsence::Jumped), "jumped");
    EXPECT_EQ(AbsenceName(StarAbsence::NoCentre), "no centre");
}

}  // namespace
}  // namespace talvor
