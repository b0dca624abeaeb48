// The wide search for a guide star that was hidden: it finds the star wherever it may have
// strayed (up to the frame's edge), and takes neither a fainter nor a brighter star, a hot pixel
// nor a star beyond the reach the time hidden allows.

#include "guiding/guide_star_reacquire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "guiding/guide_star_figures.h"
#include "guiding/guiding_test_support.h"

namespace talvor::testing {
namespace {

struct Spot {
    double x;
    double y;
    double peak;
};

class ReacquireTest : public GuidingTest {
  protected:
    static constexpr double kPeak = 3000;

    ReacquireTest() {
        session.state.GuidingDisplay = true;  // guide frames: 128 x 128, centres with tenths
        Paint({{64.3, 64.6, kPeak}});
        const GuideStarFigures usual = MeasureGuideStar(images->CurrentImage, 64.3, 64.6, 8);
        watch.referenceX = 64.3;
        watch.referenceY = 64.6;
        NoteStarSeen(watch, usual, 64.3, 64.6, 0);
    }

    // A sky of 500 with a few counts of noise, round stars, and lone hot pixels.
    void Paint(const std::vector<Spot>& stars, const std::vector<PixelPosition>& hot = {}) {
        ImageBuffer& frame = images->CurrentImage;
        for (int y = 0; y < kSmallFrameSide; ++y) {
            for (int x = 0; x < kSmallFrameSide; ++x) {
                double value = 500 + ((x * 37 + y * 91) % 17) - 8;
                for (const Spot& star : stars) {
                    const double dx = x - star.x;
                    const double dy = y - star.y;
                    value += star.peak * std::exp(-(dx * dx + dy * dy) / 3.4);
                }
                frame[y * kSmallFrameSide + x] = static_cast<uint16_t>(value);
            }
        }
        for (const PixelPosition& pixel : hot) {
            frame[pixel.y * kSmallFrameSide + pixel.x] = 30000;
        }
    }

    GuideStarWatch watch;
};

double CentreDistance(const ReacquiredStar& found, double x, double y) {
    return std::hypot(found.centre.x + found.centre.xTenths * 0.1 - x,
                      found.centre.y + found.centre.yTenths * 0.1 - y);
}

TEST_F(ReacquireTest, TheStarIsFoundFarFromItsPlaceAndNotAFainterBrighterOrHotNeighbour) {
    // 12.5 pixels off after 40 s (reach 14): beside it a star of two fifths of its light near
    // the reference, a star three times as bright, and hot pixels.
    const std::vector<Spot> sky{
        {75.4, 58.2, kPeak}, {62.0, 66.0, 0.4 * kPeak}, {54.0, 70.0, 3 * kPeak}};
    const std::vector<PixelPosition> hot{{62, 63}, {70, 70}, {60, 52}};
    Paint(sky, hot);
    const ReacquiredStar found = ReacquireGuideStar(session, watch, 40000);
    ASSERT_EQ(found.absence, StarAbsence::None);
    EXPECT_LT(CentreDistance(found, 75.4, 58.2), 0.25);
    EXPECT_NEAR(found.figures.mass / watch.usual.mass, 1.0, 0.1);

    // Ten seconds hidden (reach 6.5) it cannot have got that far: the neighbours inside the
    // reach are still not taken for it.
    EXPECT_NE(ReacquireGuideStar(session, watch, 10000).absence, StarAbsence::None);

    // Without the star, only the neighbours: nothing.
    Paint({sky[1], sky[2]}, hot);
    EXPECT_NE(ReacquireGuideStar(session, watch, 40000).absence, StarAbsence::None);
    // The lens cap: hot pixels on an empty sky give no centre at all.
    Paint({}, hot);
    EXPECT_EQ(ReacquireGuideStar(session, watch, 40000).absence, StarAbsence::NoCentre);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(ReacquireTest, TwentyBrighterStarsDoNotCrowdTheStarOut) {
    std::vector<Spot> sky{{80.0, 50.0, kPeak}};
    for (int x = 38; x <= 62; x += 8) {
        for (int y = 60; y <= 92; y += 8) {
            sky.push_back({x + 0.2, y + 0.3, 2.5 * kPeak});
        }
    }
    Paint(sky);
    const ReacquiredStar found = ReacquireGuideStar(session, watch, 100000);
    ASSERT_EQ(found.absence, StarAbsence::None);
    EXPECT_LT(CentreDistance(found, 80.0, 50.0), 0.25);
}

TEST_F(ReacquireTest, AStarThatStrayedToTheFramesEdgeIsFoundThere) {
    // Last seen well inside, now 3 pixels from the left edge and 5 from the bottom: the search
    // window cannot be centred on it, and sits inside the frame beside it.
    watch.lastX = 12.0;
    watch.lastY = 114.0;
    watch.referenceX = 12.0;
    watch.referenceY = 114.0;
    Paint({{3.3, 122.6, kPeak}});
    const ReacquiredStar found = ReacquireGuideStar(session, watch, 40000);
    ASSERT_EQ(found.absence, StarAbsence::None);
    EXPECT_LT(CentreDistance(found, 3.3, 122.6), 0.3);
}

}  // namespace
}  // namespace talvor::testing
