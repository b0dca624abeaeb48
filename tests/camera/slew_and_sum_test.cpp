// Summing drifting frames: following a star, and comparing brightness profiles.

#include "camera/slew_and_sum.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/session_fixture.h"

namespace talvor {
namespace {

class SlewAndSumTest : public testing::SessionTest {
  protected:
    SlewAndSumTest() {
        session.settings.GuideStarMaskRadius = 8;
        session.guiding.StarCentre = {250, 150, 0, 0};
    }
    // A sky of 1000 with one star of the given peak at (x, y).
    void Frame(int x, int y, double peak) {
        ImageBuffer& frame = images->CurrentImage;
        for (int row = 0; row < kFrameRows; ++row) {
            for (int column = 0; column < kFrameColumns; ++column) {
                const double d2 = (column - x) * (column - x) + (row - y) * (row - y);
                PixelAt(frame, column, row) =
                    static_cast<uint16_t>(1000 + peak * std::exp(-d2 / 4.0));
            }
        }
    }
};

TEST_F(SlewAndSumTest, AnUnmovingFieldSumsPixelByPixelAndSaturates) {
    Frame(250, 150, 30000);
    ASSERT_EQ(SumAligned(session, 3, false), SlewSumResult::Accepted);
    const uint16_t first = PixelAt(images->CurrentImage, 100, 100);
    Frame(250, 150, 30000);
    ASSERT_EQ(SumAligned(session, 3, false), SlewSumResult::Accepted);
    Frame(250, 150, 30000);
    ASSERT_EQ(SumAligned(session, 3, false), SlewSumResult::Accepted);
    const ImageBuffer& sum = images->CurrentImage;
    EXPECT_EQ(PixelAt(sum, 100, 100), 3 * first);
    EXPECT_EQ(PixelAt(sum, 250, 150), 65535);
    // Row 0 and columns 0, 510 and 511 keep the newest frame's values.
    EXPECT_EQ(PixelAt(sum, 100, 0), first);
    EXPECT_EQ(PixelAt(sum, 0, 100), first);
    EXPECT_EQ(PixelAt(sum, 511, 100), first);
}

TEST_F(SlewAndSumTest, AveragingDividesEveryFrame) {
    Frame(250, 150, 3000);
    SumAligned(session, 3, true);
    Frame(250, 150, 3000);
    SumAligned(session, 3, true);
    Frame(250, 150, 3000);
    SumAligned(session, 3, true);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 3 * (1000 / 3));
}

TEST_F(SlewAndSumTest, AStarThreeTimesBrighterIsTheLimit) {
    Frame(250, 150, 9000);
    SumAligned(session, 2, false);
    const int level = session.capture.Reference.ReferenceLevel;
    ASSERT_GT(level, 5000);
    // The pixel at the centre must reach at most three times the first frame's.
    Frame(250, 150, 3.0 * level - 1000);
    EXPECT_EQ(SumAligned(session, 2, false), SlewSumResult::Accepted);
    Frame(250, 150, 3.0 * level + 2000);
    EXPECT_EQ(SumAligned(session, 2, false), SlewSumResult::StarLost);
}

TEST_F(SlewAndSumTest, FollowingAStarMovesTheSumWithIt) {
    Frame(250, 150, 20000);
    SumAligned(session, 2, false);
    Frame(254, 150, 20000);
    ASSERT_EQ(SumAligned(session, 2, false), SlewSumResult::Accepted);
    EXPECT_EQ(session.capture.Reference.ReferenceX, 254);
    // Both stars lie on the newest position.
    EXPECT_EQ(PixelAt(images->CurrentImage, 254, 150), 2 * 21000);
}

// Every later frame is searched from the reference position only: a star that moves 13 pixels
// a frame has left the 8-pixel mask and is lost, not chased, and that is told once.
TEST_F(SlewAndSumTest, AStarDriftingFurtherThanTheMaskReachesIsLost) {
    Frame(250, 150, 20000);
    ASSERT_EQ(SumAligned(session, 3, false), SlewSumResult::Accepted);
    const uint16_t summed = PixelAt(images->SecondImage, 250, 150);
    Frame(263, 150, 20000);
    EXPECT_EQ(SumAligned(session, 3, false), SlewSumResult::StarLost);
    EXPECT_EQ(session.capture.Reference.ReferenceX, 250);
    // The running sum is left as it was, and is what the current image shows.
    EXPECT_EQ(PixelAt(images->CurrentImage, 250, 150), summed);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(SlewAndSumTest, ProfilesKeepTheSumWhereTheFirstFrameHadIt) {
    Frame(250, 150, 20000);
    ASSERT_EQ(SumByProfiles(session, 2, false), SlewSumResult::Accepted);
    Frame(254, 150, 20000);
    ASSERT_EQ(SumByProfiles(session, 2, false), SlewSumResult::Accepted);
    EXPECT_EQ(session.capture.Reference.ReferenceX, 4);
    EXPECT_EQ(session.capture.Reference.ReferenceY, 0);
    EXPECT_EQ(PixelAt(images->CurrentImage, 250, 150), 2 * 21000);
}

TEST_F(SlewAndSumTest, ProfilesNeedAStarInThePatch) {
    Frame(50, 50, 100);
    EXPECT_EQ(SumByProfiles(session, 2, false), SlewSumResult::NoSuitableStar);
}

}  // namespace
}  // namespace talvor
