// The correction of one guide frame: thresholds, pulse lengths with rate, hysteresis and the
// backlash of a reversal, the direction letters, and frames that are not corrected.

#include "guiding/guide_correction.h"

#include <gtest/gtest.h>

#include "guiding/guiding_test_support.h"

namespace talvor::testing {
namespace {

class GuideCorrectionTest : public GuidingTest {
  protected:
    GuideCorrectionPulses Correct(int dx, int dy) {
        return CorrectGuideOffset(session, {static_cast<int16_t>(dx), static_cast<int16_t>(dy)});
    }
    GuideCorrectionOutcome CorrectFrame(std::optional<StarSpot> star) {
        camera->windowStars.push_back(star);
        GrabGuideFrame(session);
        return GuideCorrection(session);
    }
};

TEST_F(GuideCorrectionTest, PulseLengthIsTheOffsetOverTheRateWithBacklashOnAReversal) {
    // Rate 2, one pixel east, where the RA axis last went: 1000 / 2 ms.
    EXPECT_EQ(Correct(1000, 0).ra, (GuidePulse{'e', 500}));
    EXPECT_EQ(port->written, "#:RG##:Me##:Qe#");
    EXPECT_EQ(ui.beeps, 2);

    // The backlash is the play in whole pixels, as training stores it: on a reversal the pulse
    // grows by the time the drive takes to cross it, whichever way it goes.
    session.settings.RaBacklash = 1;
    EXPECT_EQ(Correct(1000, 0).ra, (GuidePulse{'e', 500}));
    session.guiding.LastRaDirection = 'w';
    EXPECT_EQ(Correct(1000, 0).ra, (GuidePulse{'e', 1000}));
    EXPECT_EQ(Correct(-1000, 0).ra, (GuidePulse{'w', 1000}));  // |(-1000 - 1000) / 2|
    session.settings.RaHysteresis = 30;
    EXPECT_EQ(Correct(1000, 0).ra, (GuidePulse{'e', 970}));
    // Shortened to nothing: not sent, but the reversal is remembered.
    session.settings.RaHysteresis = 1200;
    EXPECT_FALSE(Correct(-1000, 0).ra.Sent());
    EXPECT_EQ(session.guiding.LastRaDirection, 'w');

    session.settings.DecPixelsPerSecond = 4;
    session.settings.DecBacklash = 8;
    EXPECT_EQ(Correct(0, -1000).dec, (GuidePulse{'s', 2250}));  // reversal from 'n': -9000 / 4
    EXPECT_EQ(Correct(0, -1000).dec, (GuidePulse{'s', 250}));
    // A rate of 0 counts as 1 rather than dividing by zero.
    session.settings.DecPixelsPerSecond = 0;
    EXPECT_EQ(Correct(0, -300).dec, (GuidePulse{'s', 300}));
}

TEST_F(GuideCorrectionTest, ThresholdsLimitsLettersAndTheWaitBetweenAxes) {
    EXPECT_EQ(Correct(50, 30), GuideCorrectionPulses{});
    EXPECT_EQ(Correct(52, 32), (GuideCorrectionPulses{{'e', 26}, {'n', 16}}));
    // However far off a star the watch took for the guide star stands, it is taken back.
    EXPECT_EQ(Correct(12000, 400), (GuideCorrectionPulses{{'e', 6000}, {'n', 200}}));
    EXPECT_EQ(Correct(-5000, 0).ra, (GuidePulse{'w', 2500}));
    session.settings.IgnoreDriftBelowOnePixel = true;
    EXPECT_EQ(Correct(300, -300), GuideCorrectionPulses{});
    EXPECT_EQ(Correct(302, -302), (GuideCorrectionPulses{{'e', 151}, {'s', 151}}));

    // Swapped directions send the other letter; the control box its bytes.
    session.settings.NorthLetter = 's';
    session.settings.Telescope = TelescopeType::ControlBox;
    port->written.clear();
    EXPECT_EQ(Correct(0, 2000).dec, (GuidePulse{'s', 1000}));
    EXPECT_EQ(port->written, std::string("\x04\x14\x00", 3));

    session.settings.DirectionChangeDelay70Ms = true;
    const uint32_t before = clock.Now();
    Correct(0, 0);
    EXPECT_GE(clock.Now() - before, 700U);
}

TEST_F(GuideCorrectionTest, MeasuresAgainstTheReferenceAndSkipsLostOrFarStars) {
    session.state.GuidingDisplay = true;  // guiding: tenths, 128 x 128 frame
    session.guiding.GuideReference = {64, 64, 5, 5};
    // Guiding begun without the star: the first frame that shows it sets the reference.
    const GuideCorrectionOutcome first = CorrectFrame(StarSpot{64.55, 64.55});
    EXPECT_EQ(first.result, GuideCorrectionResult::Measured);
    EXPECT_EQ(first.pulses, GuideCorrectionPulses{});
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 5, 5}));
    EXPECT_TRUE(session.guiding.Run.watch.known);

    const GuideCorrectionOutcome near = CorrectFrame(StarSpot{63.55, 65.35});
    EXPECT_EQ(session.guiding.StarCentre, (CentrePosition{63, 65, 5, 3}));
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{1000, -800}));
    EXPECT_EQ(near.pulses, (GuideCorrectionPulses{{'e', 500}, {'s', 400}}));
    EXPECT_GT(near.figures.snr, 100.0);
    EXPECT_GT(near.figures.peak, 10000);  // 6000 above the sky, times the guide frames' gain
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 5, 5}));
    EXPECT_EQ(session.guiding.Run.statistics.measuredFrames, 1);

    // A star 7 pixels from where it was a moment ago has not moved there: something else is
    // in the window.
    port->written.clear();
    ui.beeps = 0;
    session.guiding.MeasureRadius = 12;  // the whole star inside the search window
    const GuideCorrectionOutcome far = CorrectFrame(StarSpot{70.55, 64.55});
    EXPECT_EQ(far.result, GuideCorrectionResult::StarNotFound);
    EXPECT_EQ(far.absence, StarAbsence::Jumped);
    EXPECT_EQ(session.guiding.StarCentre, (CentrePosition{63, 65, 5, 3}));
    EXPECT_EQ(ui.beeps, 4);

    const GuideCorrectionOutcome lost = CorrectFrame(std::nullopt);
    EXPECT_EQ(lost.result, GuideCorrectionResult::StarNotFound);
    EXPECT_EQ(lost.absence, StarAbsence::NoCentre);
    EXPECT_EQ(ui.beeps, 8);
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{1000, -800}));
    EXPECT_EQ(session.guiding.StarCentre, (CentrePosition{63, 65, 5, 3}));
    EXPECT_TRUE(port->written.empty());
    EXPECT_TRUE(ui.errorBoxes.empty());

    // After half a minute behind a cloud it may well have strayed there: found, and taken back
    // to the reference in one pulse of 6 pixels at 2 pixels a second.
    clock.Set(clock.Now() + 30000);
    const GuideCorrectionOutcome back = CorrectFrame(StarSpot{70.55, 64.55});
    EXPECT_EQ(back.result, GuideCorrectionResult::Measured);
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{-6000, 0}));
    EXPECT_EQ(back.pulses.ra, (GuidePulse{'w', 3000}));
    EXPECT_FALSE(session.guiding.Run.watch.missing);

    // Hidden for minutes, it may turn up anywhere on the frame: 44 pixels off is more than the
    // offset's 16 bits hold, and it is taken back by as much as they do hold, not wrapped round.
    CorrectFrame(std::nullopt);
    clock.Set(clock.Now() + 200000);
    const GuideCorrectionOutcome afar = CorrectFrame(StarSpot{108.55, 64.55});
    EXPECT_EQ(afar.result, GuideCorrectionResult::Measured);
    EXPECT_EQ(session.guiding.GuideOffset.dx, -32768);
    EXPECT_EQ(afar.pulses.ra, (GuidePulse{'w', 16384}));
}

TEST_F(GuideCorrectionTest, AFaintSmudgeOrAHotPixelIsNotTheStar) {
    session.state.GuidingDisplay = true;
    session.guiding.GuideReference = {64, 64, 0, 0};
    ASSERT_EQ(CorrectFrame(StarSpot{64.05, 64.05}).result, GuideCorrectionResult::Measured);
    port->written.clear();

    // A hot pixel beside the reference on an empty sky (the lens cap, a cloud).
    camera->windowStars.push_back(std::nullopt);
    GrabGuideFrame(session);
    images->CurrentImage[62 * kSmallFrameSide + 66] = 9000;
    const GuideCorrectionOutcome hot = GuideCorrection(session);
    EXPECT_EQ(hot.result, GuideCorrectionResult::StarNotFound);
    EXPECT_TRUE(port->written.empty());

    // The star dimmed to a tenth by a cloud: too faint to trust.
    camera->windowStars.push_back(StarSpot{64.05, 64.05});
    GrabGuideFrame(session);
    for (int i = 0; i < kSmallFramePixels; ++i) {
        images->CurrentImage[i] = static_cast<uint16_t>(320 + (images->CurrentImage[i] - 320) / 10);
    }
    const GuideCorrectionOutcome dim = GuideCorrection(session);
    EXPECT_EQ(dim.absence, StarAbsence::Faint);

    // And a hot pixel in the window does not pull the star's centre.
    camera->windowStars.push_back(StarSpot{63.05, 64.05});
    GrabGuideFrame(session);
    images->CurrentImage[70 * kSmallFrameSide + 70] = 20000;
    const GuideCorrectionOutcome pulled = GuideCorrection(session);
    EXPECT_EQ(pulled.result, GuideCorrectionResult::Measured);
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{1000, 0}));
}

}  // namespace
}  // namespace talvor::testing
