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

    session.settings.RaBacklash = 100;
    EXPECT_EQ(Correct(1000, 0).ra, (GuidePulse{'e', 500}));
    session.guiding.LastRaDirection = 'w';
    EXPECT_EQ(Correct(1000, 0).ra, (GuidePulse{'e', 550}));
    EXPECT_EQ(Correct(-1000, 0).ra, (GuidePulse{'w', 450}));  // |(-1000 + 100) / 2|
    session.settings.RaHysteresis = 30;
    EXPECT_EQ(Correct(-1000, 0).ra, (GuidePulse{'w', 470}));
    // Shortened to nothing: not sent, but the reversal is remembered.
    session.settings.RaHysteresis = 600;
    EXPECT_FALSE(Correct(1000, 0).ra.Sent());
    EXPECT_EQ(session.guiding.LastRaDirection, 'e');

    session.settings.DecPixelsPerSecond = 4;
    session.settings.DecBacklash = 8;
    EXPECT_EQ(Correct(0, -1000).dec, (GuidePulse{'s', 248}));  // reversal from 'n': -992 / 4
    // A rate of 0 counts as 1 rather than dividing by zero.
    session.settings.DecPixelsPerSecond = 0;
    EXPECT_EQ(Correct(0, -300).dec, (GuidePulse{'s', 300}));
}

TEST_F(GuideCorrectionTest, ThresholdsLimitsLettersAndTheWaitBetweenAxes) {
    EXPECT_EQ(Correct(50, 30), GuideCorrectionPulses{});
    EXPECT_EQ(Correct(52, 32), (GuideCorrectionPulses{{'e', 26}, {'n', 16}}));
    EXPECT_EQ(Correct(5001, 400), GuideCorrectionPulses{});  // more than 5 pixels
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
    const GuideCorrectionOutcome near = CorrectFrame(StarSpot{63.55, 65.35});
    EXPECT_EQ(session.guiding.StarCentre, (CentrePosition{63, 65, 5, 3}));
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{1000, -800}));
    EXPECT_EQ(near.pulses, (GuideCorrectionPulses{{'e', 500}, {'s', 400}}));
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 5, 5}));

    port->written.clear();
    ui.beeps = 0;
    EXPECT_EQ(CorrectFrame(std::nullopt).result, GuideCorrectionResult::StarNotFound);
    EXPECT_EQ(ui.beeps, 4);
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{1000, -800}));

    session.guiding.MeasureRadius = 12;  // the whole star inside the search window
    const GuideCorrectionOutcome far = CorrectFrame(StarSpot{70.55, 64.55});
    EXPECT_EQ(far.result, GuideCorrectionResult::Measured);
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{-6000, 0}));
    EXPECT_TRUE(port->written.empty());
    EXPECT_EQ(ui.beeps, 4);
}

}  // namespace
}  // namespace talvor::testing
