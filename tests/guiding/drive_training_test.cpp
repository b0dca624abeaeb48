// Drive training: the calibration formulas, the eight pulses and their lengths, the result box
// and the settings stored, and the ways a run ends early.

#include "guiding/drive_training.h"

#include <gtest/gtest.h>

#include "guiding/guiding_test_support.h"
#include "image/settings_file.h"

namespace talvor::testing {
namespace {

TEST(CalibrateDrives, RaTakesTheMeanOfItsTwoMeasurementsDecTheLarger) {
    // T = 2, positions in tenths: east 10 then 12 pixels, west 11 then 9; north 2 then 6, south
    // 1 then 7. The first pulse each way takes up the play and does not enter a rate; the
    // rates are rounded to whole pixels per second, the play rounded down to whole pixels,
    // whatever the training time.
    TrainingPositions p{.y0 = 503,
                        .y1 = 523,
                        .y2 = 583,
                        .y3 = 573,
                        .y4 = 503,
                        .x4 = 1004,
                        .x5 = 1104,
                        .x6 = 1224,
                        .x7 = 1114,
                        .x8 = 1024};
    EXPECT_EQ(CalibrateDrives(p, 2), (DriveCalibration{5, 4, 1, 5}));  // Dec 7 / 2 = 3.5
    p.y4 = 413;  // a 16-pixel second south pulse: the larger measurement wins
    EXPECT_EQ(CalibrateDrives(p, 1), (DriveCalibration{11, 16, 1, 9}));
    p.x8 = 1030;  // 2.6 and 1.0 pixels of play on RA: 1.8, rounded down
    EXPECT_EQ(CalibrateDrives(p, 1).raBacklash, 1);
    p.x8 = 1040;
    EXPECT_EQ(CalibrateDrives(p, 1).raBacklash, 2);
    // 2.9 and 3.0 pixels a second: 3, not the 2 whole pixels would give; 2.4 gives 2.
    TrainingPositions q{.y0 = 0,
                        .y1 = 10,
                        .y2 = 39,
                        .y3 = 39,
                        .y4 = 15,
                        .x4 = 649,
                        .x5 = 649,
                        .x6 = 679,
                        .x7 = 679,
                        .x8 = 650};
    EXPECT_EQ(CalibrateDrives(q, 1), (DriveCalibration{3, 3, 1, 2}));
    q.x6 = 673;
    q.x8 = 655;
    EXPECT_EQ(CalibrateDrives(q, 1).raRate, 2);
}

class DriveTrainingTest : public GuidingTest {
  protected:
    DriveTrainingTest() {
        clock.SetStep(10);  // long pulses, quickly
        session.settings.GuideTrainingSeconds = 2;
        session.settings.GuideStarMaskRadius = 15;  // wide enough for 12-pixel steps
        Picked(200, 250);                           // in-frame (64, 94)
    }

    // The star after each pulse, in guide-frame pixels.
    void Script(const std::vector<std::optional<StarSpot>>& stars) {
        camera->windowStars.assign(stars.begin(), stars.end());
    }
    // Before the first pulse, then after each.
    void ScriptRateFive() {
        Script({StarSpot{64.25, 89.25}, StarSpot{64.25, 90.25}, StarSpot{64.25, 96.25},
                StarSpot{64.25, 95.25}, StarSpot{64.25, 89.25}, StarSpot{74.25, 89.25},
                StarSpot{86.25, 89.25}, StarSpot{75.25, 89.25}, StarSpot{66.25, 89.25}});
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
    EXPECT_EQ(TrainAutoGuiding(context), (DriveCalibration{5, 3, 1, 5}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"slewx =     5, slewy =     3\n"
                                                    "backlashx =     1, backlashy =     5"});
    EXPECT_EQ(Directions(), "nnsseeww");
    EXPECT_EQ(session.telescope.PulseLength, 2000 - 100);  // the RA hysteresis in 100 ms
    EXPECT_EQ(camera->origins, std::vector<WindowOrigin>(9, WindowOrigin{132, 162}));
    EXPECT_EQ(view.repaints, 9);
    EXPECT_TRUE(ui.errorBoxes.empty());
    EXPECT_FALSE(session.guiding.StarPicked || session.guiding.Training ||
                 session.state.GuidingDisplay || session.state.SubFrameMode);

    session.settings.RaPixelsPerSecond = 77;
    ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 5);
    EXPECT_EQ(session.settings.DecBacklash, 5);
}

TEST_F(DriveTrainingTest, ZeroRatesAreStoredAsOneAndBacklashWithinTheSettingsRange) {
    session.settings.GuideTrainingSeconds = 4;
    Picked(200, 100);  // in-frame (64, 64)
    // Dec: 14 pixels each second pulse, and 28 pixels between the first pulses each way; RA
    // moves 1.6 pixels a pulse of four seconds, 0 pixels per second in whole numbers.
    Script({StarSpot{64.25, 50.25}, StarSpot{64.25, 51.25}, StarSpot{64.25, 65.25},
            StarSpot{64.25, 79.25}, StarSpot{64.25, 65.25}, StarSpot{65.25, 65.25},
            StarSpot{66.85, 65.25}, StarSpot{66.85, 65.25}, StarSpot{65.25, 65.25}});
    ASSERT_TRUE(TrainAutoGuiding(context));
    EXPECT_EQ(ui.messages.back(),
              "slewx =     0, slewy =     4\nbacklashx =     1, backlashy =    28");
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

TEST_F(DriveTrainingTest, RefusalsStoreNothing) {
    session.settings.Telescope = TelescopeType::None;
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(ui.messages.back(), "You must first take an image and pick a star");
    EXPECT_TRUE(session.guiding.StarPicked);
    session.settings.Telescope = TelescopeType::MeadeLx200;

    Picked(12, 100);
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(ui.messages.back().substr(0, 64),
              "Sorry, too near the left edge to guide on - pick a star at least");
    EXPECT_TRUE(port->written.empty());
    EXPECT_TRUE(camera->origins.empty());
}

TEST_F(DriveTrainingTest, ALostStarOrAPressUndoesThePulsesAndKeepsTheCalibration) {
    const std::string kept = "The previous calibration is kept.";
    // The star gone after the first south pulse: the net north pulse is taken back.
    Script({StarSpot{64.25, 89.25}, StarSpot{64.25, 90.25}, StarSpot{64.25, 96.25}, std::nullopt});
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(Directions(), "nnss");
    EXPECT_EQ(ui.messages.back(),
              "Training failed: the star was lost after the first south pulse. Try a shorter "
              "training time, a larger guide star mask or a brighter star.\n" +
                  kept + " The mount has been moved back to where training started.");
    EXPECT_TRUE(ui.errorBoxes.empty());
    EXPECT_FALSE(session.guiding.StarPicked);

    // No star before the first pulse: nothing is sent at all.
    port->written.clear();
    Picked(200, 250);
    Script({std::nullopt});
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(Directions(), "");
    EXPECT_EQ(ui.messages.back(),
              "Training failed: no star was found in the guide frame before the first pulse. "
              "Wait for the clouds to pass or pick a brighter star.\n" +
                  kept);

    // A press during the second north pulse: both are taken back, and training says so.
    port->written.clear();
    Picked(200, 250);
    ScriptRateFive();
    ui.PressAt(clock.Now() + 3000);
    EXPECT_FALSE(TrainAutoGuiding(context));
    EXPECT_EQ(Directions(), "nnss");
    EXPECT_EQ(ui.messages.back(), "Training stopped: the pulses sent have been undone.\n" + kept);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 2);
    EXPECT_FALSE(session.guiding.StarPicked);
}

TEST_F(DriveTrainingTest, PulsesThatMoveTheStarTooLittleOrInconsistentlyAreRefused) {
    const auto run = [this](const std::vector<std::optional<StarSpot>>& stars) {
        port->written.clear();
        Picked(200, 250);
        Script(stars);
        EXPECT_FALSE(TrainAutoGuiding(context));
        return ui.messages.back();
    };
    // A faint star whose searches find nothing that moves: Dec hardly stirs.
    EXPECT_EQ(run({StarSpot{64.25, 89.25}, StarSpot{64.25, 89.25}, StarSpot{64.25, 89.25},
                   StarSpot{64.25, 89.25}, StarSpot{64.25, 89.25}}),
              "Training failed: the north and south pulses moved the star only 0.0 and 0.0 "
              "pixels. Try a longer training time or a brighter star.\n"
              "The previous calibration is kept.");
    EXPECT_EQ(Directions(), "nnss");
    // Dec runs north on every pulse.
    EXPECT_EQ(run({StarSpot{64.25, 89.25}, StarSpot{64.25, 92.25}, StarSpot{64.25, 96.25},
                   StarSpot{64.25, 100.25}, StarSpot{64.25, 104.25}}),
              "Training failed: the north and south pulses disagree: they moved the star +4.0 "
              "and +4.0 pixels. Try a longer training time or a brighter star.\n"
              "The previous calibration is kept.");
    // East 12 pixels, west 3: the RA pulses are taken back after the refusal.
    EXPECT_NE(run({StarSpot{64.25, 89.25}, StarSpot{64.25, 90.25}, StarSpot{64.25, 96.25},
                   StarSpot{64.25, 95.25}, StarSpot{64.25, 89.25}, StarSpot{74.25, 89.25},
                   StarSpot{86.25, 89.25}, StarSpot{85.25, 89.25}, StarSpot{82.25, 89.25}})
                  .find("the east and west pulses disagree: they moved the star +12.0 and -3.0"),
              std::string::npos);
    EXPECT_EQ(Directions(), "nnsseeww");
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 2);
}

}  // namespace
}  // namespace talvor::testing
