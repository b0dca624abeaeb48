// The simulated camera read through the real command and readout routines.

#include "simulator/simulated_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "camera/camera_commands.h"
#include "camera/focus_frames.h"
#include "core/camera_state.h"
#include "simulator/simulated_camera_timing.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class FixedPointing final : public PointingSource {
  public:
    PointingOffset OffsetAt(uint32_t) override { return offset; }
    PointingOffset offset;
};

struct Spot {
    int x = 0;
    int y = 0;
    double centreX = 0.0;  // centroid of the 11 x 11 pixels around the brightest, sky removed
    double centreY = 0.0;
    double light = 0.0;
};

// The brightest pixel of a width x height frame (rows `stride` words apart) and the light
// around it.
Spot BrightestSpot(const ImageBuffer& frame, int width, int height, int stride, double sky) {
    Spot spot;
    uint16_t best = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (frame[y * stride + x] > best) {
                best = frame[y * stride + x];
                spot.x = x;
                spot.y = y;
            }
        }
    }
    double sx = 0.0;
    double sy = 0.0;
    for (int y = std::max(spot.y - 5, 0); y <= std::min(spot.y + 5, height - 1); ++y) {
        for (int x = std::max(spot.x - 5, 0); x <= std::min(spot.x + 5, width - 1); ++x) {
            const double value = frame[y * stride + x] - sky;
            spot.light += value;
            sx += value * x;
            sy += value * y;
        }
    }
    spot.centreX = sx / spot.light;
    spot.centreY = sy / spot.light;
    return spot;
}

class SimulatedCameraTest : public testing::SessionTest {
  protected:
    SimulatedCameraTest() : camera(session, SimulatedCameraSettings{}, &pointing) {
        camera.Device().Field().RemoveStars();
        camera.Device().Field().AddStar({300.0, 150.0, 40000.0});
        session.readout.FrameDestination = &images->CurrentImage;
    }

    // A host-timed exposure as the capture sequence runs it, read as a whole frame.
    void TakeFullFrame(uint32_t milliseconds) {
        ClearCommand(session, camera);
        StartCommand(session, camera);
        clock.Advance(milliseconds);
        ClearCommand(session, camera);
        EndCommand(session, camera);
        session.readout.ExposureMs = static_cast<int32_t>(milliseconds);
        ReadFullFrame(session, camera);
    }

    // The mean of a starless patch of the picture.
    double SkyLevel() const {
        double sum = 0.0;
        for (int y = 20; y < 60; ++y) {
            for (int x = 20; x < 60; ++x) {
                sum += PixelAt(images->CurrentImage, x, y);
            }
        }
        return sum / 1600.0;
    }

    FixedPointing pointing;
    SimulatedCamera camera;
};

TEST_F(SimulatedCameraTest, IsFoundAsACamera) {
    session.settings.DebugMode = true;
    EXPECT_TRUE(camera.FindCamera());
    EXPECT_TRUE(session.camera.CameraConnected);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("Camera Found, Hid =      1, BlockIO =      2\nO/S = ", 0), 0u);
}

TEST_F(SimulatedCameraTest, AStarAppearsWhereItIsInAWholeFrame) {
    camera.FindCamera();
    TakeFullFrame(2000);
    EXPECT_EQ(camera.Device().LastExposureMs(), 2000u);
    EXPECT_EQ(session.camera.BytesRead, kFullFrameBlockBytes);
    EXPECT_TRUE(ui.messages.empty());
    const double sky = SkyLevel();
    EXPECT_NEAR(sky, 120.0 + 2.0 * (20.0 + 1.5), 3.0);
    const Spot spot =
        BrightestSpot(images->CurrentImage, kCameraColumns, kFrameRows, kFrameColumns, sky);
    EXPECT_EQ(spot.x, 300);
    EXPECT_EQ(spot.y, 150);
    EXPECT_NEAR(spot.centreX, 300.0, 0.1);
    EXPECT_NEAR(spot.centreY, 150.0, 0.1);
    EXPECT_NEAR(spot.light, 80000.0, 2000.0);
}

TEST_F(SimulatedCameraTest, LongerExposuresAreBrighter) {
    camera.FindCamera();
    TakeFullFrame(1000);
    const double sky1 = SkyLevel();
    const Spot star1 =
        BrightestSpot(images->CurrentImage, kCameraColumns, kFrameRows, kFrameColumns, sky1);
    TakeFullFrame(4000);
    const double sky4 = SkyLevel();
    const Spot star4 =
        BrightestSpot(images->CurrentImage, kCameraColumns, kFrameRows, kFrameColumns, sky4);
    EXPECT_NEAR(sky4 - sky1, 3.0 * 21.5, 3.0);
    EXPECT_NEAR(star4.light / star1.light, 4.0, 0.15);
}

TEST_F(SimulatedCameraTest, AWindowIsReadFourColumnsRightAndSixRowsAboveItsBytes) {
    camera.FindCamera();
    // The bytes name column 3 x ((250 + 24) / 3) - 24 = 249 and row 100; the camera reads from
    // column 253, row 94.
    session.readout.FocusWindowOrigin = {250, 100};
    session.readout.FrameDestination = &images->SecondImage;
    session.readout.StretchBits = 16;
    const FrameRequest request{.ExposureValue = 45, .ExposureUnit = 'h'};

    const uint16_t peak = TakeFocusFrame(session, camera, request);

    EXPECT_EQ(camera.Device().LastExposureMs(), 450u);  // timed by the camera
    const Spot spot = BrightestSpot(images->SecondImage, 128, 128, 128, 120.0 + 0.45 * 21.5);
    EXPECT_EQ(spot.x, 300 - 253);
    EXPECT_EQ(spot.y, 150 - 94);
    EXPECT_NEAR(spot.centreX, 47.0, 0.2);
    EXPECT_NEAR(spot.centreY, 56.0, 0.2);
    // The peak needs a bright pixel above, so it lies between the background and the
    // brightest pixel.
    EXPECT_LE(peak, images->SecondImage[56 * 128 + 47] / 4);
    EXPECT_GT(peak, 10 * 130 / 4);
}

TEST_F(SimulatedCameraTest, ThePointingOffsetMovesTheField) {
    camera.FindCamera();
    pointing.offset = {10.5, -4.0};
    TakeFullFrame(3000);
    const Spot spot =
        BrightestSpot(images->CurrentImage, kCameraColumns, kFrameRows, kFrameColumns, SkyLevel());
    EXPECT_NEAR(spot.centreX, 310.5, 0.1);
    EXPECT_NEAR(spot.centreY, 146.0, 0.1);
}

TEST_F(SimulatedCameraTest, WithoutAMountTheSkyDriftsSteadily) {
    SimulatedCameraSettings settings;
    settings.driftXPixelsPerSecond = 0.1;
    settings.driftYPixelsPerSecond = -0.05;
    SimulatedCamera drifting(session, settings);
    drifting.Device().Field().RemoveStars();
    drifting.Device().Field().AddStar({300.0, 150.0, 40000.0});
    drifting.FindCamera();
    clock.Advance(100000);  // 100 s later the star has moved by (10, -5)
    ClearCommand(session, drifting);
    StartCommand(session, drifting);
    clock.Advance(2000);  // and by another (0.2, -0.1) during the exposure
    EndCommand(session, drifting);
    session.readout.ExposureMs = 2000;
    ReadFullFrame(session, drifting);
    const Spot spot =
        BrightestSpot(images->CurrentImage, kCameraColumns, kFrameRows, kFrameColumns, SkyLevel());
    EXPECT_NEAR(spot.centreX, 310.1, 0.1);
    EXPECT_NEAR(spot.centreY, 144.95, 0.1);
}

TEST_F(SimulatedCameraTest, ALensCapFileDarkensTheFrameWhileItIsThere) {
    camera.FindCamera();
    const std::filesystem::path cap = folder.Path() / "LensCap";
    std::ofstream(cap).put('\n');
    TakeFullFrame(2000);
    // No sky and no star: bias and dark current only, hot pixels included.
    EXPECT_NEAR(SkyLevel(), 120.0 + 2.0 * 1.5, 3.0);
    const double hot = camera.Device().Sensor().DarkRateAt(300, 150) * 2.0;
    EXPECT_NEAR(PixelAt(images->CurrentImage, 300, 150), 120.0 + hot, 40.0 + 0.1 * hot);

    std::filesystem::remove(cap);
    TakeFullFrame(2000);
    EXPECT_NEAR(SkyLevel(), 120.0 + 2.0 * (20.0 + 1.5), 3.0);
    EXPECT_GT(PixelAt(images->CurrentImage, 300, 150), 10000);
}

// A pace that lets the test clock run on by the time the camera takes, and notes each spell.
class ClockPace final : public CameraPace {
  public:
    ClockPace(testing::TestClock& clock, std::vector<uint32_t>& spent)
        : clock_(clock), spent_(spent) {}
    void Spend(uint32_t milliseconds) override {
        spent_.push_back(milliseconds);
        clock_.Advance(milliseconds);
    }

  private:
    testing::TestClock& clock_;
    std::vector<uint32_t>& spent_;
};

// At real timing a report takes a millisecond, a whole frame two and a half seconds to come,
// a window in proportion, and an exposure the camera times runs before its block can come.
TEST_F(SimulatedCameraTest, TakesTheTimeOfARealCamera) {
    std::vector<uint32_t> spent;
    SimulatedCamera timed(session, SimulatedCameraSettings{}, &pointing,
                          std::make_unique<ClockPace>(clock, spent));
    timed.FindCamera();
    ClearCommand(session, timed);
    EXPECT_EQ(spent, std::vector<uint32_t>{kReportMs});

    spent.clear();
    const uint32_t before = clock.Milliseconds();
    session.readout.ExposureMs = 2000;
    ReadFullFrame(session, timed);
    EXPECT_EQ(spent, (std::vector<uint32_t>{kReportMs, 2500}));
    EXPECT_EQ(clock.Milliseconds() - before, 2501u);
    EXPECT_EQ(session.camera.BytesRead, kFullFrameBlockBytes);

    spent.clear();
    session.readout.ExposureMs = 300;  // timed by the camera
    ReadFocusWindow(session, timed);
    EXPECT_EQ(spent, (std::vector<uint32_t>{kReportMs, 300 + 238}));
    EXPECT_EQ(timed.Device().LastExposureMs(), 300u);
    EXPECT_EQ(TransferMs(kWindowBlockBytes), 238u);
    EXPECT_FALSE(session.camera.LinkLost);
}

TEST_F(SimulatedCameraTest, WithoutAPaceNoTimePasses) {
    camera.FindCamera();
    const uint32_t before = clock.Milliseconds();
    session.readout.ExposureMs = 300;
    ReadFullFrame(session, camera);
    EXPECT_EQ(clock.Milliseconds(), before);
    EXPECT_FALSE(PaceFor(CameraTiming::Fast));
    EXPECT_TRUE(PaceFor(CameraTiming::Real));
}

TEST_F(SimulatedCameraTest, TheSameSeedAndCommandsGiveTheSameBlock) {
    const auto blockFor = [&](uint64_t seed) {
        SimulatedCameraSettings settings;
        settings.seed = seed;
        SimulatedCamera seeded(session, settings, &pointing);
        seeded.FindCamera();
        clock.Set(5000);
        ClearCommand(session, seeded);
        StartCommand(session, seeded);
        clock.Advance(1500);
        EndCommand(session, seeded);
        ReadFullFrame(session, seeded);
        const ZeroedBytes& block = session.camera.ReceiveBuffer;
        return std::vector<uint8_t>(block.begin(), block.end());
    };
    EXPECT_EQ(blockFor(11), blockFor(11));
    EXPECT_NE(blockFor(11), blockFor(12));
}

}  // namespace
}  // namespace talvor
