// Which peak is taken for the brightest star: a star, not a hot pixel or a saturated blob.

#include "measurement/brightest_star.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/session_fixture.h"

namespace talvor {
namespace {

class BrightestStarTest : public testing::SessionTest {
  protected:
    BrightestStarTest() {
        session.settings.GuideStarMaskRadius = 8;
        // A sky of 1000 with a little noise.
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 10.0);
        for (int row = 0; row < kFrameRows; ++row) {
            for (int column = 0; column < kFrameColumns; ++column) {
                PixelAt(frame(), column, row) = static_cast<uint16_t>(1000 + noise(random));
            }
        }
    }
    ImageBuffer& frame() { return images->CurrentImage; }
    void Star(int x, int y, double peak, double sigma = 1.1) {
        for (int row = y - 8; row <= y + 8; ++row) {
            for (int column = x - 8; column <= x + 8; ++column) {
                if (row < 0 || row >= kFrameRows || column < 0 || column >= kFrameColumns) {
                    continue;  // a star at the edge is cut by it
                }
                const double d2 = (column - x) * (column - x) + (row - y) * (row - y);
                const double value =
                    PixelAt(frame(), column, row) + peak * std::exp(-d2 / (2 * sigma * sigma));
                PixelAt(frame(), column, row) = static_cast<uint16_t>(std::min(value, 65535.0));
            }
        }
    }
};

TEST_F(BrightestStarTest, HotPixelsAreNotStars) {
    Star(200, 120, 3000);
    // Hot pixels far brighter than the star, as a long or capped exposure shows them.
    PixelAt(frame(), 492, 55) = 65535;
    PixelAt(frame(), 300, 200) = 30000;
    PixelAt(frame(), 100, 60) = 9000;
    EXPECT_EQ(BrightestStar(session, frame()), (PixelPosition{200, 120}));
}

TEST_F(BrightestStarTest, ASaturatedBlobGivesWayToTheBrightestMeasurableStar) {
    Star(150, 100, 90000);  // flat-topped at 65535
    Star(350, 180, 8000);
    Star(400, 80, 4000);
    EXPECT_EQ(BrightestStar(session, frame()), (PixelPosition{350, 180}));
}

TEST_F(BrightestStarTest, ACappedFrameHoldsNoStar) {
    for (const auto& [x, y] : {std::pair{492, 55}, {40, 40}, {250, 150}}) {
        PixelAt(frame(), x, y) = 20000;
    }
    EXPECT_FALSE(BrightestStar(session, frame()));
}

TEST_F(BrightestStarTest, OnlyPlacesAPickCanReachCount) {
    Star(5, 5, 20000);  // too near the corner for the mask
    Star(260, 140, 2000);
    EXPECT_EQ(BrightestStar(session, frame()), (PixelPosition{260, 140}));
}

}  // namespace
}  // namespace talvor
