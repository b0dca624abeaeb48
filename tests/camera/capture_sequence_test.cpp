// The capture run against a recording camera link: the commands in their order, the timed
// waits, the abort, the readout and what follows it.

#include "camera/capture_sequence.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "camera/camera_interface.h"
#include "camera/exposure_rules.h"
#include "camera/usb_camera_link.h"
#include "camera_test_support.h"
#include "core/program_settings.h"
#include "fake_usb_platform.h"
#include "image/file_bytes.h"
#include "image/fits_file.h"
#include "image/settings_file.h"

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

// The history, and so the FITS file, says only what was done to the frame.
TEST_F(CaptureSequenceTest, MissingDarkFrameIsReportedAndTheCaptureGoesOnWithoutIt) {
    session.capture.Settings.AutoRemoveDark = true;
    session.capture.Settings.AutoApplyFlat = true;
    link.block = testing::BlockOfWords(std::vector<uint16_t>(kFullFrameBlockBytes / 2, 5000));
    Expose(ExposureUnit::Seconds, 1);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Failed to Open Darkframe Zenka File",
                                                     "Failed to Open Flatfield Zenka File"}));
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 5000);
    EXPECT_EQ(session.state.HistoryLines[0], "");
    EXPECT_EQ(session.state.HistoryLines[1], "");
}

TEST_F(CaptureSequenceTest, ADarkFrameThatWasSubtractedIsInTheHistory) {
    link.block = testing::BlockOfWords(std::vector<uint16_t>(kFullFrameBlockBytes / 2, 5000));
    std::vector<uint8_t> dark(295800, 0);
    dark[2 * (100 * 510 + 100)] = 0xE8;  // 1000 at (100, 100), little-endian
    dark[2 * (100 * 510 + 100) + 1] = 0x03;
    std::ofstream(folder.Path() / "dark.def", std::ios::binary)
        .write(reinterpret_cast<const char*>(dark.data()),
               static_cast<std::streamsize>(dark.size()));
    session.capture.Settings.AutoRemoveDark = true;
    session.capture.Settings.AutoApplyFlat = true;
    Expose(ExposureUnit::Seconds, 1);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 4000);
    EXPECT_EQ(session.state.HistoryLines[0], "Dark Frame Subtracted");
    EXPECT_EQ(session.state.HistoryLines[1], "");  // the flat file is missing
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

// The pixel value of a quick-saved frame, and the time of its middle.
struct SavedFrame {
    uint16_t pixel = 0;
    std::string time;
};

SavedFrame ReadQuickSave(const std::filesystem::path& file, WorkingState& state) {
    const auto bytes = ReadFileBytes(file, 400000);
    SavedFrame saved;
    if (!bytes) {
        return saved;
    }
    auto frame = std::make_unique<ImageBuffer>();
    if (DecodeFitsOperand(*bytes, *frame, state) == FitsReadResult::Read) {
        saved.pixel = PixelAt(*frame, 100, 100);
    }
    const std::string text(bytes->begin(), bytes->end());
    const std::size_t card = text.find("TIME-OBS= '");
    if (card != std::string::npos) {
        saved.time = text.substr(card + 11, 8);
    }
    return saved;
}

// Continuous mode with three exposures: each frame is shown and saved once, the last one too,
// and each is dated by its own exposure.
TEST_F(CaptureSequenceTest, AContinuousRunOfThreeSavesEachFrameOnce) {
    link.stampReadouts = true;
    session.capture.Settings.ContinuousMode = true;
    session.capture.Settings.NumberOfExposures = 3;
    session.capture.Settings.AutoSave = true;
    clock.SetStep(20);
    Expose(ExposureUnit::Seconds, 2);
    EXPECT_EQ(link.Count(kReadout, 0), 3);
    EXPECT_EQ(session.capture.Run.FramesShown, 3);
    const std::filesystem::path autosave = folder.Path() / "AUTOSAVE";
    std::string lastTime;
    for (int k = 1; k <= 3; ++k) {
        const SavedFrame saved =
            ReadQuickSave(autosave / ("IMG" + std::to_string(k) + ".FIT"), session.state);
        EXPECT_EQ(saved.pixel, 1000 * k) << "IMG" << k;
        EXPECT_GT(saved.time, lastTime) << "IMG" << k;
        lastTime = saved.time;
    }
    EXPECT_FALSE(std::filesystem::exists(autosave / "IMG4.FIT"));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 3000);
}

TEST_F(CaptureSequenceTest, TheContinuousPauseBarFillsInSixteenSteps) {
    session.capture.Settings.ContinuousMode = true;
    session.capture.Settings.NumberOfExposures = 2;
    session.capture.Settings.DelayMinutes = 1;
    clock.SetStep(50);
    Expose(ExposureUnit::Tenths, 5);  // no bar of its own
    std::vector<int> pause;
    for (const int position : ui.progressPositions) {
        if (position % 16 == 0 && position > 0) {
            pause.push_back(position);
        }
    }
    ASSERT_EQ(pause.size(), 16u);
    EXPECT_EQ(pause.front(), 16);
    EXPECT_EQ(pause.back(), 256);
}

// A press during the pause of a continuous run ends it: the frame already shown is the last,
// and no further exposure is started.
TEST_F(CaptureSequenceTest, APressDuringTheContinuousPauseTakesNoFurtherExposure) {
    session.capture.Settings.ContinuousMode = true;
    session.capture.Settings.DelayMinutes = 1;
    clock.SetStep(50);
    link.onReadBlock = [this] {
        if (link.requestedBytes.size() == 1) {
            ui.PressAt(uiClock.Milliseconds() + 400);  // after the one-second wait
        }
    };
    Expose(ExposureUnit::Seconds, 1);
    EXPECT_EQ(link.Count(kControl, 1), 1);  // one start command
    EXPECT_EQ(link.Count(kReadout, 0), 1);
    EXPECT_EQ(session.capture.Run.FramesShown, 1);
    EXPECT_TRUE(session.capture.Run.Aborted);
    EXPECT_FALSE(ui.progressOpen);
}

// A press that arrives while a frame is read out does not lose that frame: it was complete.
TEST_F(CaptureSequenceTest, APressDuringTheReadoutStillShowsTheFrame) {
    link.stampReadouts = true;
    link.onReadBlock = [this] { ui.PressAt(uiClock.Milliseconds()); };
    session.capture.Settings.NumberOfExposures = 3;
    Expose(ExposureUnit::Seconds, 1);
    EXPECT_EQ(link.Count(kReadout, 0), 1);
    EXPECT_EQ(session.capture.Run.FramesShown, 1);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 1000);
    EXPECT_EQ(ui.captions.back(), "Talvor - Zenka Camera Image");
}

// After the half-time readout of a self-guided exposure (which takes its time), the bar goes
// on from the middle one step at a time.
TEST_F(CaptureSequenceTest, TheBarStepsOnEvenlyAfterTheMidExposureReadout) {
    hooks.ControlBoxPresent = [] { return true; };
    hooks.PrepareSelfGuiding = [] { return 0; };
    hooks.SelfGuideStep = [] {};
    hooks.SwitchGuidingFrame = [] {};
    hooks.ShowGuidingInfo = [](const std::string&) {};
    hooks.CloseGuidingInfo = [] {};
    session.guiding.StarPicked = true;
    session.capture.SelfGuideArmed = true;
    session.capture.Settings.ToggleGuideFrame = true;
    link.onReadBlock = [this] { clock.Set(clock.Now() + 2500); };
    Expose(ExposureUnit::Seconds, 10);
    EXPECT_EQ(link.Count(kReadout, 0), 2);
    const auto middle = std::find(ui.progressPositions.begin(), ui.progressPositions.end(), 128);
    ASSERT_NE(middle, ui.progressPositions.end());
    EXPECT_EQ(std::vector<int>(middle + 1, ui.progressPositions.end()),
              (std::vector<int>{170, 212, 254, 0}));
}

// The camera unplugged during an exposure: one message, the run ends at once, no frame is
// shown or saved, and the next run finds the camera again once it is back.
class UnpluggedCameraTest : public testing::CameraTest {
  protected:
    UnpluggedCameraTest() {
        clock.SetStep(1);
        devices.hid[0] = {"hid0"};
        devices.block[0] = {"block0"};
        devices.delivered =
            testing::BlockOfWords(std::vector<uint16_t>(kFullFrameBlockBytes / 2, 5000));
        session.camera.Link = std::make_unique<UsbCameraLink>(
            session, std::make_unique<testing::FakePlatform>(devices));
        WriteSettings(session);
        PrepareCameraInterface(session);
        session.capture.Settings.AutoSave = true;
        session.capture.Settings.Unit = ExposureUnit::Seconds;
        session.capture.Settings.Value = 10;
        std::fill(images->CurrentImage.begin(), images->CurrentImage.end(), uint16_t{7});
    }
    // The link borrows the fake devices: it goes first.
    ~UnpluggedCameraTest() override { session.camera.Link.reset(); }
    void TakePhoto() { CaptureSequence(session, *session.camera.Link, hooks).TakePhoto(); }
    bool Saved(int number = 1) const {
        return std::filesystem::exists(
            session.dataDirectory.Resolve("c:\\AUTOSAVE\\IMG" + std::to_string(number) + ".FIT"));
    }

    testing::FakeDevices devices;
    SelfGuidingHooks hooks;
};

TEST_F(UnpluggedCameraTest, AFailedSendEndsTheRunWithOneMessageAndNoFrame) {
    ASSERT_TRUE(session.camera.CameraConnected);
    devices.writeError = ENODEV;
    devices.writesBeforeFailure = devices.writes.size() + 20;  // within the keep-clear wait
    TakePhoto();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error 19 trying to send command to USB \n"});
    EXPECT_EQ(devices.writes.size(), *devices.writesBeforeFailure + 1);
    EXPECT_TRUE(devices.reads.empty());
    EXPECT_FALSE(session.camera.CameraConnected);
    EXPECT_EQ(session.capture.Run.FramesShown, 0);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 7);
    EXPECT_TRUE(ui.loadedBitmaps.empty());
    EXPECT_FALSE(Saved());
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_EQ(ui.busyDepth, 0);

    // Plugged in again: the next camera run looks for it and takes the picture.
    devices.writeError = 0;
    ui.messages.clear();
    ASSERT_TRUE(PrepareCameraInterface(session));
    TakePhoto();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 5000);
    EXPECT_TRUE(Saved());
}

TEST_F(UnpluggedCameraTest, AFailedReadoutShowsAndSavesNothing) {
    devices.readError = ENODEV;
    TakePhoto();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Error 19 trying to read BlockIO data from USB\n"});
    EXPECT_EQ(devices.reads.size(), 1u);
    EXPECT_FALSE(session.camera.CameraConnected);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 7);
    EXPECT_TRUE(ui.loadedBitmaps.empty());
    EXPECT_FALSE(Saved());
}

TEST_F(UnpluggedCameraTest, AContinuousRunEndsWhenTheCameraGoes) {
    session.capture.Settings.ContinuousMode = true;
    session.capture.Settings.Value = 1;
    // Frame 1 is read; frame 2 fails at its readout.
    devices.readError = ENODEV;
    devices.readsBeforeFailure = 1;
    TakePhoto();
    EXPECT_EQ(devices.reads.size(), 2u);
    EXPECT_EQ(session.capture.Run.FramesShown, 1);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Error 19 trying to read BlockIO data from USB\n"});
    EXPECT_FALSE(session.capture.Run.ContinuousRunning);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 5000);  // the first frame stays
    EXPECT_TRUE(Saved());
    EXPECT_FALSE(Saved(2));
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
