// The capture run against a recording camera link: the commands in their order, the timed
// waits, the abort, the readout and what follows it.

#include "camera/capture_sequence.h"

#include <gtest/gtest.h>

#include "camera/camera_interface.h"
#include "camera/exposure_rules.h"
#include "camera_test_support.h"

namespace talvor {
namespace {

constexpr uint8_t kControl = 2;
constexpr uint8_t kReadout = 4;

class CaptureSequenceTest : public testing::CameraTest {
  protected:
    CaptureSequenceTest() : link(session) {
        clock.SetStep(1);
        link.block.assign(kFullFrameBlockBytes, 0);
        session.camera.CameraConnected = true;
    }
    void Expose(ExposureUnit unit, int value) {
        session.capture.Settings.Unit = unit;
        session.capture.Settings.Value = value;
        CaptureSequence(session, link, hooks).TakePhoto();
    }
    // Clears sent between the start command and the end command.
    int ClearsDuringWait() const {
        int clears = 0;
        bool started = false;
        for (const auto& command : link.sent) {
            if (command[0] == kControl && command[1] == 1) {
                started = true;
                clears = 0;
            } else if (command[0] == kControl && command[1] == 3) {
                return clears;
            } else if (started && command[0] == kControl && command[1] == 2) {
                ++clears;
            }
        }
        return clears;
    }
    testing::RecordingLink link;
    SelfGuidingHooks hooks;
};

TEST_F(CaptureSequenceTest, TenSecondsClearsThroughoutAndStepsTheBarBy42) {
    Expose(ExposureUnit::Seconds, 10);
    EXPECT_GT(ClearsDuringWait(), 100);  // a clear on every pass of the wait
    EXPECT_EQ(link.Count(kReadout, 0), 1);
    ASSERT_GE(ui.progressPositions.size(), 7u);
    EXPECT_EQ(ui.progressPositions[1], 42);
    EXPECT_EQ(ui.progressPositions[6], 252);
    EXPECT_EQ(session.state.ImageTitle, "Zenka Camera Image");
    EXPECT_EQ(session.state.Fits.exposureSeconds, 10.0);
    EXPECT_EQ(ui.captions.back(), "Talvor - Zenka Camera Image");
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_FALSE(ui.progressOpen);
}

TEST_F(CaptureSequenceTest, ThreeSecondsSendsNoClearsDuringTheWait) {
    Expose(ExposureUnit::Seconds, 3);
    EXPECT_EQ(ClearsDuringWait(), 1);  // only the one before the end command
    EXPECT_EQ(link.Count(kReadout, 0), 1);
}

TEST_F(CaptureSequenceTest, ShortExposuresAreTimedByTheCamera) {
    Expose(ExposureUnit::Hundredths, 45);
    EXPECT_EQ(link.Count(kReadout, 450 & 0xff), 1);  // readout bytes carry 450
    EXPECT_EQ(session.readout.CommandBuffer[2], 450 >> 8);
    EXPECT_EQ(ClearsDuringWait(), 1);  // 450 ms is 200 or more: a clear before the end
    link.sent.clear();
    Expose(ExposureUnit::Thousandths, 150);
    EXPECT_EQ(ClearsDuringWait(), 0);
}

TEST_F(CaptureSequenceTest, APressEndsTheExposureWithoutReadout) {
    session.capture.Settings.ContinuousMode = true;
    const uint16_t before = images->CurrentImage[1000];
    ui.PressAt(200, {false, false, true});
    Expose(ExposureUnit::Seconds, 30);
    EXPECT_EQ(link.Count(kReadout, 0), 0);
    EXPECT_FALSE(session.capture.Settings.ContinuousMode);
    EXPECT_TRUE(session.capture.Run.Aborted);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(images->CurrentImage[1000], before);
    EXPECT_FALSE(ui.progressOpen);
}

TEST_F(CaptureSequenceTest, ReadoutLandsInTheImageAndAutoSaveWritesIt) {
    link.block = testing::BlockOfWords(std::vector<uint16_t>(kFullFrameBlockBytes / 2, 5000));
    session.capture.Settings.AutoSave = true;
    Expose(ExposureUnit::Seconds, 1);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 5000);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "AUTOSAVE" / "IMG1.FIT"));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
}

TEST_F(CaptureSequenceTest, MissingDarkFrameIsReportedAndTheCaptureGoesOn) {
    session.capture.Settings.AutoRemoveDark = true;
    Expose(ExposureUnit::Seconds, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Failed to Open Darkframe Zenka File");
    EXPECT_EQ(session.state.HistoryLines[0], "Dark Frame Subtracted");
}

TEST_F(CaptureSequenceTest, ContinuousModeShowsEachFrameAndPausesInSixteenSteps) {
    session.capture.Settings.ContinuousMode = true;
    session.capture.Settings.DelayMinutes = 2;
    ui.PressAt(5000);  // ends the run during the pause after the first frame
    clock.SetStep(50);
    Expose(ExposureUnit::Seconds, 1);
    EXPECT_GE(link.Count(kReadout, 0), 1);
    EXPECT_NE(std::find(ui.progressCaptions.begin(), ui.progressCaptions.end(),
                        "Pause between exposures"),
              ui.progressCaptions.end());
    EXPECT_FALSE(session.capture.Run.ContinuousRunning);
}

TEST_F(CaptureSequenceTest, SelfGuidingNeedsTheControlBoxAndAShortExposure) {
    ToggleSelfGuideNextExposure(session, hooks);
    EXPECT_EQ(ui.messages.back(), "Sorry! Mk 2 Controlbox not present. Self-guiding not available");
    EXPECT_FALSE(session.capture.SelfGuideArmed);
    hooks.ControlBoxPresent = [] { return true; };
    hooks.PrepareSelfGuiding = [] { return 0; };
    hooks.SelfGuideStep = [] {};
    session.capture.Settings.Unit = ExposureUnit::Seconds;
    session.capture.Settings.Value = 12;
    ToggleSelfGuideNextExposure(session, hooks);
    EXPECT_FALSE(session.capture.SelfGuideArmed);
    EXPECT_EQ(ui.beeps, 1);
    session.capture.Settings.Value = 11;
    ToggleSelfGuideNextExposure(session, hooks);
    EXPECT_TRUE(session.capture.SelfGuideArmed);
    EXPECT_EQ(session.capture.Settings.GuideValue, 11);
}

TEST(ExposureRulesTest, UnitsStepsAndStatusTexts) {
    EXPECT_EQ(ExposureMsOf(ExposureUnit::Minutes, 2), 120000);
    EXPECT_EQ(ExposureMsOf(ExposureUnit::Tenths, 7), 700);
    EXPECT_EQ(GuideExposureMsOf(ExposureUnit::Seconds, 3, true), 100);
    // Guide frames in thousandths, hundredths and tenths as given; minutes count as seconds.
    EXPECT_EQ(GuideExposureMsOf(ExposureUnit::Hundredths, 7, false), 70);
    EXPECT_EQ(GuideExposureMsOf(ExposureUnit::Seconds, 3, false), 3000);
    EXPECT_EQ(GuideExposureMsOf(ExposureUnit::Minutes, 2, false), 2000);
    EXPECT_EQ(ProgressSteps(ExposureUnit::Seconds, 4), 2);
    EXPECT_EQ(ProgressSteps(ExposureUnit::Seconds, 12), 6);
    EXPECT_EQ(ProgressSteps(ExposureUnit::Seconds, 13), 20);
    EXPECT_EQ(ProgressSteps(ExposureUnit::Minutes, 1), 20);
    EXPECT_EQ(UnitMaximum(ExposureUnit::Tenths), 100);
    EXPECT_EQ(ExposureUnderwayStatus(1), "EXPOSURE UNDERWAY");
    EXPECT_EQ(ExposureUnderwayStatus(3), "EXPOSURE UNDERWAY (Left - 3)");
    EXPECT_EQ(ReadCameraStatus(1), "READ Zenka CAMERA - takes 2 - 3 seconds");
    EXPECT_EQ(ReadCameraStatus(2), "READ Zenka CAMERA (Left - 2)");
    EXPECT_EQ(ExposureDelayStatus(10), "EXPOSURE DELAY (Left - 10)");
    EXPECT_FALSE(ShortEnoughToSelfGuide(ExposureUnit::Minutes, 1));
    EXPECT_TRUE(ShortEnoughToSelfGuide(ExposureUnit::Hundredths, 1199));
}

}  // namespace
}  // namespace talvor
