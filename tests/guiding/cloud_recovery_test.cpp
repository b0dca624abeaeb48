// A long cloud on a mount that drifts fast: the star comes back many pixels from where guiding
// held it, beyond the window around the reference. Guiding must find it there, not a fainter
// star nearer the reference, and take it back within three frames, without a pulse while it was
// hidden.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "guiding/simulated_sky_fixture.h"
#include "guiding/unattended_guiding.h"

namespace talvor::testing {
namespace {

// A drift of a quarter pixel every second, steady, with the Dec gears' play.
MountConfig FastDriftingMount() {
    MountConfig mount;
    mount.driftX = 0.225;
    mount.driftY = -0.05;
    mount.periodicAmplitude = 0;
    return mount;
}

// The guide star, and a fainter one (two fifths of its light) 13 pixels from it: outside the
// search window while guiding holds the guide star, but the sky drifts it next to the
// reference while the cloud hides both.
constexpr double kGuideFlux = 200000;
constexpr double kFainterFlux = 80000;
constexpr double kFainterDx = -12.0;
constexpr double kFainterDy = 2.3;

// Clear for 30 seconds, hidden for 45, then clear again.
constexpr double kCloudFrom = 30;
constexpr double kCloudTo = 75;

class CloudRecoveryTest : public SimulatedGuidingTest {
  protected:
    CloudRecoveryTest() : SimulatedGuidingTest(FastDriftingMount()) {
        StarField& field = camera->Device().Field();
        field.RemoveStars();
        field.AddStar({kStarX, kStarY, kGuideFlux});
        field.AddStar({kStarX + kFainterDx, kStarY + kFainterDy, kFainterFlux});
        session.settings.RaPixelsPerSecond = 3;
        session.settings.DecPixelsPerSecond = 3;
        session.settings.DecBacklash = 2;
    }

    struct Frame {
        double seconds;
        bool capped;
        GuideFrameLine line;
    };

    std::vector<Frame> GuideThroughTheCloud() {
        std::vector<Frame> frames;
        const uint32_t start = clock.Now();
        bool capped = false;
        UnattendedGuidingOptions options;
        options.seconds = 120;
        options.trueSky = mount;
        options.onFrame = [&](const GuideFrameLine& line) {
            const double seconds = static_cast<int32_t>(line.milliseconds - start) / 1000.0;
            frames.push_back({seconds, capped, line});
            // The cap is read at the next frame's readout.
            const bool cloud = seconds >= kCloudFrom && seconds < kCloudTo;
            if (cloud != capped) {
                CapTheLens(cloud);
                capped = cloud;
            }
        };
        EXPECT_TRUE(GuideForSeconds(context, options).started);
        return frames;
    }
};

double Distance(const PointingOffset& offset) {
    return std::hypot(offset.x, offset.y);
}

TEST_F(CloudRecoveryTest, AStarThatStrayedFarBehindACloudIsFoundAndTakenBack) {
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    const std::vector<Frame> frames = GuideThroughTheCloud();

    std::size_t back = 0;
    int pulsesUnderCloud = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].capped) {
            EXPECT_FALSE(frames[i].line.starFound) << frames[i].seconds;
            pulsesUnderCloud += frames[i].line.pulses.ra.Sent() + frames[i].line.pulses.dec.Sent();
        } else if (back == 0 && i > 0 && frames[i - 1].capped) {
            back = i;
        }
    }
    ASSERT_NE(back, 0U);
    ASSERT_GE(frames.size(), back + 10);
    EXPECT_EQ(pulsesUnderCloud, 0);

    // The star came back 6 to 12 pixels from the reference; the fainter star, which drifted
    // with it, came back close to the reference.
    const PointingOffset strayed = *frames[back].line.trueOffset;
    const double fainterFromReference = std::hypot(kFainterDx - strayed.x, kFainterDy - strayed.y);
    std::printf(
        "cloud of %.0f s: the star came back (%.1f, %.1f) px from the reference, the fainter "
        "star %.1f px from it\n",
        kCloudTo - kCloudFrom, -strayed.x, -strayed.y, fainterFromReference);
    EXPECT_GT(Distance(strayed), 6.0);
    EXPECT_LT(Distance(strayed), 12.0);
    EXPECT_LT(fainterFromReference, 3.0);

    // Found on its first frame, measured where it truly is (not where the fainter star is), and
    // back within half a pixel of the reference by the third frame.
    EXPECT_TRUE(frames[back].line.starFound);
    for (std::size_t i = back; i < frames.size(); ++i) {
        const GuideFrameLine& line = frames[i].line;
        ASSERT_TRUE(line.starFound) << frames[i].seconds;
        EXPECT_NEAR(line.dx, line.trueOffset->x, 0.5) << frames[i].seconds;
        EXPECT_NEAR(line.dy, line.trueOffset->y, 0.5) << frames[i].seconds;
    }
    for (std::size_t i = back; i < back + 3; ++i) {
        std::printf("frame %zu after the cloud: true offset (%.2f, %.2f) px\n", i - back + 1,
                    frames[i].line.trueOffset->x, frames[i].line.trueOffset->y);
    }
    EXPECT_LT(Distance(*frames[back + 2].line.trueOffset), 0.5);
    double worstAfter = 0.0;
    for (std::size_t i = back + 2; i < frames.size(); ++i) {
        worstAfter = std::max(worstAfter, Distance(*frames[i].line.trueOffset));
    }
    EXPECT_LT(worstAfter, 0.6);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

}  // namespace
}  // namespace talvor::testing
