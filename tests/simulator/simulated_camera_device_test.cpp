// How the simulated camera's firmware times exposures from the commands it hears.

#include "simulator/simulated_camera_device.h"

#include <gtest/gtest.h>

#include "core/camera_state.h"
#include "simulator/steady_drift.h"
#include "support/test_clock.h"

namespace talvor {
namespace {

class SimulatedCameraDeviceTest : public ::testing::Test {
  protected:
    SimulatedCameraDeviceTest() : drift(0, 0.0, 0.0), device(clock, drift, Settings()) {}

    static SimulatedCameraSettings Settings() {
        SimulatedCameraSettings settings;
        settings.field.starCount = 0;
        return settings;
    }

    void Send(std::initializer_list<uint8_t> command) {
        std::vector<uint8_t> report{0};
        report.insert(report.end(), command);
        device.ReceiveReport(report);
    }
    void Control(uint8_t code) { Send({2, code, 0, 0, 0, 0, 0, 0}); }
    void At(uint32_t milliseconds) { clock.Set(milliseconds); }

    std::size_t WholeFrame(uint8_t timeLow = 0, uint8_t timeHigh = 0) {
        Send({4, timeLow, timeHigh, 0, 0, 0, 0, 0});
        std::vector<uint8_t> block(kFullFrameBlockBytes);
        return device.DeliverBlock(block);
    }
    std::size_t Window() {
        Send({4, 0, 0, 65, 161, 69, 181, 1});
        std::vector<uint8_t> block(kWindowBlockBytes);
        return device.DeliverBlock(block);
    }

    testing::TestClock clock;
    SteadyDrift drift;
    SimulatedCameraDevice device;
};

TEST_F(SimulatedCameraDeviceTest, AnExposureRunsFromStartToEndWhateverClearsComeBetween) {
    At(1000);
    Control(2);
    Control(1);
    for (uint32_t t = 1100; t < 9000; t += 100) {
        At(t);
        Control(2);
    }
    At(9000);
    Control(3);
    At(12000);  // the readout comes later; it does not lengthen the exposure
    EXPECT_EQ(WholeFrame(), kFullFrameBlockBytes);
    EXPECT_EQ(device.LastExposureMs(), 8000u);
}

TEST_F(SimulatedCameraDeviceTest, TheReadoutTimeMakesTheCameraTimeTheExposure) {
    At(1000);
    Control(2);
    Control(1);
    Control(3);
    EXPECT_EQ(WholeFrame(44, 1), kFullFrameBlockBytes);
    EXPECT_EQ(device.LastExposureMs(), 300u);
}

TEST_F(SimulatedCameraDeviceTest, GuideFramesInsideAMainExposureKeepTheirOwnTimes) {
    At(0);
    Control(2);
    Control(1);
    At(100);  // the self-guided start sends start and clear again
    Control(1);
    Control(2);
    At(1000);  // first guide frame: clear, wait, end code 4, window
    Control(2);
    At(1500);
    Control(4);
    EXPECT_EQ(Window(), kWindowBlockBytes);
    EXPECT_EQ(device.LastExposureMs(), 1400u);  // from the last start
    At(2000);
    Control(2);
    At(2600);
    Control(4);
    Window();
    EXPECT_EQ(device.LastExposureMs(), 600u);  // from its own clear
    At(10100);
    Control(2);
    Control(3);
    WholeFrame();
    EXPECT_EQ(device.LastExposureMs(), 10000u);  // the main exposure, from its last start
}

TEST_F(SimulatedCameraDeviceTest, ABlockIsDeliveredOnceAndOnlyAfterAReadout) {
    std::vector<uint8_t> block(kWindowBlockBytes);
    EXPECT_EQ(device.DeliverBlock(block), 0u);
    At(0);
    Control(2);
    Control(1);
    At(700);
    Control(3);
    EXPECT_EQ(Window(), kWindowBlockBytes);
    EXPECT_EQ(device.DeliverBlock(block), 0u);
}

TEST_F(SimulatedCameraDeviceTest, ReportsWithAnotherReportIdAreIgnored) {
    device.ReceiveReport(std::vector<uint8_t>{1, 4, 0, 0, 0, 0, 0, 0, 0});
    std::vector<uint8_t> block(kFullFrameBlockBytes);
    EXPECT_EQ(device.DeliverBlock(block), 0u);
}

}  // namespace
}  // namespace talvor
