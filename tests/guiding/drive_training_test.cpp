// Drive training: the calibration formulas, the eight pulses and their lengths, the result box
// and the settings stored, and the ways a run ends early.

#include "guiding/drive_training.h"

#include <gtest/gtest.h>

#include "guiding/guiding_test_support.h"
#include "image/settings_file.h"

namespace talvor::testing {
namespace {

TEST(CalibrateDrives, RaTakesTheMeanOfItsTwoMeasurementsDecTheLarger) {
    // T = 2: east 10 then 12 pixels, west 11 then 9; north 2 then 6, south 1 then 7. The first
    // pulse each way takes up the play and does not enter a rate.
    TrainingPositions p{.y0 = 50,
                        .y1 = 52,
                        .y2 = 58,
                        .y3 = 57,
                        .y4 = 50,
                        .x4 = 100,
                        .x5 = 110,
                        .x6 = 122,
                        .x7 = 111,
                        .x8 = 102};
    EXPECT_EQ(CalibrateDrives(p, 2), (DriveCalibration{5, 3, 0, 2}));
    p.y4 = 41;  // a 16-pixel second south pulse: the larger measurement wins
    EXPECT_EQ(CalibrateDrives(p, 1), (DriveCalibration{10, 16, 1, 9}));
}

class DriveTrainingTest : public GuidingTest {
  protected:
    DriveTrainingTest() {
        clock.SetStep(10);  // long pulses, quickly
        session.settings.GuideTrainingSeconds = 2;
        session.settings.GuideStarMaskRadius = 15;  // wide enough for 12-pixel steps
        Picked(200, 250);                           // in-frame (64, 88)
    }

    // The star after each pulse, in guide-frame pixels.
    void Script(const std::vector<std::optional<StarSpot>>& stars) {
        camera->windowStars.assign(stars.begin(), stars.end());
    }
    void ScriptRateFive() {
        Script({StarSpot{64.25, 90.25}, StarSpot{64.25, 96.25}, StarSpot{64.25, 95.25},
                StarSpot{64.25, 89.25}, StarSpot{74.25, 89.25}, StarSpot{86.25, 89.25},
                StarSpot{75.25, 89.25}, StarSpot{66.25, 89.25}});
    }
    // The directions of the LX200 pulses sent.
    std::string Directions() const {
        std::string letters;
        for (std::size_t at = port->written.find("#:M"); at != std::string::npos;
             at = port->written.find("#:M", at + 1)) {
            letters += port->written[at + 3];
        }
        return letters;
    }
};

TEST_F(DriveTrainingTest, EightPulsesMeasureTheDrivesAndTheSettingsKeepThem) {
    session.settings.DecHysteresis = 3;
    session.settings.RaHysteresis = 1;
    ScriptRateFive();
    EXPECT_EQ(TrainAutoGuiding(context), (DriveCalibration{5, 3, 0, 2}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"slewx =     5, slewy =     3\n"
                                                    "backlashx =     0, backlashy =     2"});
    EXPECT_EQ(Directions(), "nnsseeww");
    EXPECT_EQ(session.telescope.PulseLength, 2000 - 100);  // the RA hysteresis in 100 ms
    EXPECT_EQ(camera->origins, std::vector<WindowOrigin>(8, WindowOrigin{132, 162}));
    EXPECT_EQ(view.repaints, 8);
    EXPECT_FALSE(session.guiding.StarPicked || session.guiding.Training ||
                 session.state.GuidingDisplay || session.state.SubFrameMode);

    session.settings.RaPixelsPerSecond = 77;
    ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 5);
    EXPECT_EQ(session.settings.DecBacklash, 2);
}

TEST_F(DriveTrainingTest, ZeroRatesAreStoredAsOneAndBacklashWithinTheSettingsRange) {
    session.settings.GuideTrainingSeconds = 1;
    // Dec runs north all the way and ends 24 pixels from where it started; RA stands.
    Script({StarSpot{64.25, 96.25}, StarSpot{64.25, 104.25}, StarSpot{64.25, 108.25},
            StarSpot{64.25, 112.25}});
    TrainAutoGuiding(context);
    EXPECT_EQ(ui.messages.back(),
              "slewx =     0, slewy =     8\nbacklashx =     0, backlashy =    24");
    ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 1);
    EXPECT_EQ(session.settings.DecBacklash, 20);
    // The file still holds what follows the backlash.
    EXPECT_EQ(session.settings.Telescope, TelescopeType::MeadeLx200);
}

TEST_F(DriveTrainingTest, TheControlBoxIsWokenOnlyByTheFirstRun) {
    session.settings.Telescope = TelescopeType::ControlBox;
    ScriptRateFive();
    ASSERT_TRUE(TrainAutoGuiding(context));
    // Reset, then 30 ms north, south, east and west.
    EXPECT_EQ(port->written.substr(0, 15), std::string("\x0D\x00\x00\x02\x12\x00\x04\x14\x00"
                                                       "\x01\x11\x00\x08\x18\x00",
                                                       15));

    port->written.clear();
    Picked(200, 250);
    ScriptRateFive();
    ASSERT_TRUE(TrainAutoGuiding(context));
    EXPECT_EQ(port->written.substr(0, 6), std::string("\x0D\x00\x00\x02\x12\x00", 6));
}

TEST_F(DriveTrainingTest, RefusalsALostStarAndAPressStoreNothing) {
    session.settings.Telescope = TelescopeType::None;
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(ui.messages.back(), "You must first take an image and pick a star");
    EXPECT_TRUE(session.guiding.StarPicked);
    session.settings.Telescope = TelescopeType::MeadeLx200;

    Script({StarSpot{64.25, 90.25}, StarSpot{64.25, 96.25}, std::nullopt});
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(Directions(), "nns");
    EXPECT_EQ(ui.errorBoxes.size(), 2U);  // both searches of the lost frame
    EXPECT_FALSE(session.guiding.StarPicked);

    // A press moves the focus window back to its default: training stops there.
    port->written.clear();
    Picked(200, 250);
    ScriptRateFive();
    ui.PressAt(clock.Now() + 3000);
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(Directions(), "nn");
    EXPECT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 2);
    EXPECT_FALSE(session.guiding.StarPicked);
}

}  // namespace
}  // namespace talvor::testing
