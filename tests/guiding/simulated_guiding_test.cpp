// Guiding against the simulated camera and mount: the mount answers the program's own serial
// code (in this thread, on a clock that runs on as it is read), its pulses move the sky the
// camera draws, and it drifts with a periodic error. Training must measure its drive rates,
// guiding must hold the star, and a self-guided exposure must keep the star round.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "camera/camera_interface.h"
#include "camera/capture_sequence.h"
#include "core/messages.h"
#include "guiding/drive_training.h"
#include "guiding/self_guiding.h"
#include "guiding/simulated_sky_fixture.h"
#include "guiding/unattended_guiding.h"
#include "simulator/unguided_sky.h"
#include "telescope/telescope_link.h"

namespace talvor::testing {
namespace {

class SimulatedSkyTest : public SimulatedGuidingTest {
  protected:
    SimulatedSkyTest() { camera->Device().Field().AddStar({kStarX, kStarY, 200000}); }
};

TEST_F(SimulatedSkyTest, TrainingMeasuresTheMountsDrivesAndGuidingHoldsTheStar) {
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    const std::optional<DriveCalibration> trained = TrainAutoGuiding(context);
    ASSERT_TRUE(trained);
    std::printf(
        "training: RA %d px/s (simulated %.1f), Dec %d px/s (simulated %.1f), RA backlash "
        "%d, Dec backlash %d (simulated %.1f and %.1f px)\n",
        trained->raRate, config.guideRateX, trained->decRate, config.guideRateY,
        trained->raBacklash, trained->decBacklash, config.backlashX, config.backlashY);
    EXPECT_LE(std::abs(trained->raRate - config.guideRateX), 1.0);
    EXPECT_LE(std::abs(trained->decRate - config.guideRateY), 1.0);
    EXPECT_LE(trained->raBacklash, 1);
    EXPECT_GE(trained->decBacklash, 1);
    EXPECT_LE(trained->decBacklash, 3);

    // Training leaves no star picked: pick it again, then guide for five minutes.
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    UnguidedSky unguided(config, mount->Mount().StartMs());
    // The star's true place at every frame, from where it stood when guiding took its
    // reference: guiding holds it there, not a fraction of a pixel off (the reference carries
    // the tenths of the star's own centre).
    double sumX = 0.0, sumY = 0.0;
    int pulses = 0;
    UnattendedGuidingOptions options;
    options.seconds = 300;
    options.unguidedSky = &unguided;
    options.trueSky = mount;
    options.onFrame = [&](const GuideFrameLine& line) {
        sumX += line.trueOffset->x;
        sumY += line.trueOffset->y;
        pulses += line.pulses.ra.Sent() + line.pulses.dec.Sent();
    };
    const UnattendedGuidingSummary summary = GuideForSeconds(context, options);
    ASSERT_TRUE(summary.started);
    ASSERT_TRUE(summary.unguidedRms && summary.trueRms);
    const double n = summary.frames;
    std::printf(
        "guiding %d frames, %d pulses: rms guided %.2f px (true %.2f px, mean offset %.2f, %.2f), "
        "unguided %.2f px\n",
        summary.frames, pulses, summary.guidedRms, *summary.trueRms, sumX / n, sumY / n,
        *summary.unguidedRms);
    EXPECT_GE(summary.frames, 200);
    EXPECT_EQ(summary.measuredFrames, summary.frames);
    EXPECT_GT(*summary.unguidedRms, 5.0);
    EXPECT_LT(summary.guidedRms, 1.0);
    EXPECT_LT(*summary.trueRms, 0.3);
    EXPECT_LT(std::hypot(sumX / n, sumY / n), 0.15);
    EXPECT_LT(summary.guidedRms * 5, *summary.unguidedRms);
    EXPECT_EQ(ui.messages.size(), 1U);  // the training result only
}

// A mount whose Dec gears have 3 pixels of play, drifting slowly in Dec only.
class DecBacklashTest : public SimulatedGuidingTest {
  protected:
    static MountConfig PlayInDec() {
        MountConfig play;
        play.driftX = 0;
        play.driftY = 0.03;
        play.periodicAmplitude = 0;
        play.backlashY = 3;
        return play;
    }
    DecBacklashTest() : SimulatedGuidingTest(PlayInDec()) {
        camera->Device().Field().AddStar({kStarX, kStarY, 200000});
    }

    // Guides, bumps the mount 1.8 pixels on in the way guiding last drove Dec, so that the
    // correction must reverse, and counts the frames from the bumped one until the star is
    // back within 0.3 pixel of the reference.
    int FramesToSettleAfterAReversal(int decBacklash) {
        session.settings.DecBacklash = decBacklash;
        EXPECT_TRUE(PickStarAt(session, kStarPlace));
        constexpr int kBumpAfter = 30;
        int bumped = 0;
        int settled = 0;
        UnattendedGuidingOptions options;
        options.seconds = 80;
        options.onFrame = [&](const GuideFrameLine& line) {
            if (line.frame == kBumpAfter) {
                session.telescope.PulseDirection = session.guiding.LastDecDirection;
                session.telescope.PulseLength = 600;
                TelescopeLink(session).SendGuidePulse();
            } else if (line.frame == kBumpAfter + 1) {
                bumped = line.frame;
                EXPECT_GT(std::abs(line.dy), 1.2);
            } else if (bumped != 0 && settled == 0 && std::abs(line.dy) <= 0.3) {
                settled = line.frame;
            }
        };
        EXPECT_TRUE(GuideForSeconds(context, options).started);
        EXPECT_NE(settled, 0);
        return settled - bumped;
    }
};

TEST_F(DecBacklashTest, ReversalsSettleFasterWithTheTrainedBacklash) {
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    const std::optional<DriveCalibration> trained = TrainAutoGuiding(context);
    ASSERT_TRUE(trained);
    EXPECT_GE(trained->decBacklash, 2);
    EXPECT_LE(trained->decBacklash, 3);
    EXPECT_EQ(trained->raBacklash, 0);

    const int without = FramesToSettleAfterAReversal(0);
    const int with = FramesToSettleAfterAReversal(trained->decBacklash);
    std::printf(
        "Dec play 3 px, trained %d px: a reversal settles in %d frame(s) with backlash "
        "compensation, %d without\n",
        trained->decBacklash, with, without);
    EXPECT_LT(with, without);
    EXPECT_LE(with, 2);
}

// The spread of the star along x over its spread along y in a whole frame.
double Elongation(const Session& session, const ImageBuffer& frame) {
    const std::optional<PixelPosition> star = BrightestStar(session, frame);
    if (!star) {
        return 0.0;
    }
    constexpr int kHalf = 12;
    double sky = 0.0;
    int border = 0;
    for (int d = -kHalf; d <= kHalf; ++d) {
        sky += PixelAt(frame, star->x + d, star->y - kHalf) +
               PixelAt(frame, star->x + d, star->y + kHalf);
        border += 2;
    }
    sky /= border;
    double weight = 0.0;
    double sx = 0.0;
    double sy = 0.0;
    double sxx = 0.0;
    double syy = 0.0;
    for (int y = star->y - kHalf; y <= star->y + kHalf; ++y) {
        for (int x = star->x - kHalf; x <= star->x + kHalf; ++x) {
            const double w = PixelAt(frame, x, y) - sky;
            if (w < 200) {
                continue;
            }
            weight += w;
            sx += w * x;
            sy += w * y;
            sxx += w * x * x;
            syy += w * y * y;
        }
    }
    const double cx = sx / weight;
    const double cy = sy / weight;
    return (sxx / weight - cx * cx) / (syy / weight - cy * cy);
}

class SelfGuidedExposureTest : public SimulatedGuidingTest {
  protected:
    static MountConfig FastDrift() {
        MountConfig drifting;
        drifting.driftX = 0.6;
        drifting.driftY = 0;
        drifting.periodicAmplitude = 0;
        return drifting;
    }
    SelfGuidedExposureTest() : SimulatedGuidingTest(FastDrift()) {
        camera->Device().Field().RemoveStars();
        camera->Device().Field().AddStar({kStarX, kStarY, 40000});
        session.settings.RaPixelsPerSecond = 3;
        session.settings.DecPixelsPerSecond = 3;
    }

    void TenSecondExposure(const SelfGuidingHooks& with, bool selfGuided) {
        ASSERT_TRUE(PrepareCameraInterface(session));
        session.capture.Settings.Unit = ExposureUnit::Seconds;
        session.capture.Settings.Value = 10;
        // Armed at half a second, then the exposure lengthened: 0.5 s guide frames.
        session.capture.Settings.GuideUnit = ExposureUnit::Tenths;
        session.capture.Settings.GuideValue = 5;
        session.capture.SelfGuideArmed = selfGuided;
        CaptureSequence(session, *session.camera.Link, with).TakePhoto();
    }
};

TEST_F(SelfGuidedExposureTest, GuideStepsKeepTheStarRoundWhereTheUnguidedFrameTrails) {
    const SelfGuidingHooks selfGuiding = MakeSelfGuidingHooks(context);
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    TenSecondExposure(selfGuiding, true);
    const int guideFrames = session.capture.Run.GuideFrameCounter;
    const double guided = Elongation(session, images->CurrentImage);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_EQ(view.events.front(), "open Guiding Info - Checking Telescope");
    EXPECT_EQ(view.events.back(), "close");
    EXPECT_NE(mount->BytesReceived(), 0U);

    TenSecondExposure(selfGuiding, false);
    const double unguided = Elongation(session, images->CurrentImage);
    std::printf("self-guided exposure: %d guide frames, elongation %.2f; unguided %.2f\n",
                guideFrames, guided, unguided);
    EXPECT_GE(guideFrames, 10);
    EXPECT_LT(guided, 1.5);
    EXPECT_GT(unguided, 2.0);
}

TEST_F(SelfGuidedExposureTest, TheGuideFrameSwitchesAtHalfTimeAndAPressThrowsTheFrameAway) {
    const SelfGuidingHooks selfGuiding = MakeSelfGuidingHooks(context);
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    session.capture.Settings.ToggleGuideFrame = true;
    TenSecondExposure(selfGuiding, true);
    EXPECT_FALSE(session.capture.Settings.ToggleGuideFrame);
    EXPECT_EQ(view.Count("open Guiding Info - Downloading Image"), 1);
    EXPECT_EQ(view.Count("title Guiding Info - Switching Guiding Frame"), 1);
    EXPECT_TRUE(ui.messages.empty());
    // Both halves are summed into a round star.
    EXPECT_LT(Elongation(session, images->CurrentImage), 1.5);

    // A press in the middle: guiding stops and the exposure is not read out.
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    // Guide frames fill only the first 16384 words; the rest stays as the fresh frame left it.
    const uint16_t before = PixelAt(images->CurrentImage, 400, 280);
    view.events.clear();
    ui.PressAt(clock.Now() + 5000);
    TenSecondExposure(selfGuiding, true);
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(MessageText(57))});
    EXPECT_EQ(view.events.back(), "close");
    EXPECT_EQ(PixelAt(images->CurrentImage, 400, 280), before);
}

}  // namespace
}  // namespace talvor::testing
