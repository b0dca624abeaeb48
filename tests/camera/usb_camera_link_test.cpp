// The link's discovery, report and block rules, driven through a fake of the platform calls.

#include "camera/usb_camera_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <string>

#include "camera_test_support.h"
#include "core/camera_state.h"
#include "fake_usb_platform.h"

namespace talvor {
namespace {

using testing::Bytes;
using testing::FakeDevices;
using testing::FakePlatform;

class UsbCameraLinkTest : public testing::CameraTest {
  protected:
    UsbCameraLinkTest() : link(session, std::make_unique<FakePlatform>(devices)) {}

    void OneOfEach() {
        devices.hid[0] = {"hid0"};
        devices.block[0] = {"block0"};
    }

    FakeDevices devices;
    UsbCameraLink link;
};

TEST_F(UsbCameraLinkTest, FindsAndOpensOneDeviceOfEachClass) {
    OneOfEach();
    EXPECT_TRUE(link.FindCamera());
    EXPECT_TRUE(session.camera.CameraConnected);
    EXPECT_FALSE(session.camera.OsFamilyFlag);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(UsbCameraLinkTest, WithoutABlockDeviceThereIsNoCamera) {
    session.camera.CameraConnected = true;
    EXPECT_FALSE(link.FindCamera());  // nothing enumerated at all
    devices.hid[0] = {"hid0"};
    EXPECT_TRUE(link.FindCamera());  // HID devices only
    EXPECT_FALSE(session.camera.CameraConnected);
    EXPECT_EQ(ui.messages, std::vector<std::string>(2, "USB BlockIO device not found"));
}

TEST_F(UsbCameraLinkTest, AListThatCannotBeMadeStopsDiscovery) {
    for (const bool hidFails : {true, false}) {
        ui.messages.clear();
        OneOfEach();
        devices.hidListFails = hidFails;
        devices.blockListFails = !hidFails;
        EXPECT_FALSE(link.FindCamera());
        EXPECT_EQ(ui.messages, std::vector<std::string>{"Could not attach to PnP node"});
        EXPECT_FALSE(session.camera.CameraConnected);
    }
}

TEST_F(UsbCameraLinkTest, ADeviceThatCannotBeNamedOrOpenedStopsDiscoveryUnchanged) {
    session.camera.CameraConnected = true;
    devices.hid[0] = {std::nullopt};
    EXPECT_FALSE(link.FindCamera());
    devices.hid[0] = {"hid0", false};
    EXPECT_FALSE(link.FindCamera());
    devices.hid[0] = {"hid0"};
    devices.block[3] = {"block3", false};
    EXPECT_FALSE(link.FindCamera());
    EXPECT_EQ(ui.errorBoxes,
              (std::vector<std::string>{"Error: Could not find the system name for this HID device",
                                        "Error: Could not open HID device",
                                        "Error: Could not open HID device"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(session.camera.CameraConnected);
}

TEST_F(UsbCameraLinkTest, TwentyMembersAreTriedAcrossGapsAndTheLastOneWins) {
    devices.hid = {{0, {"hid0"}}, {5, {"hid5"}}, {19, {"hid19"}}, {20, {"hid20"}}};
    devices.block = {{2, {"block2"}}};
    EXPECT_TRUE(link.FindCamera());
    EXPECT_TRUE(session.camera.CameraConnected);

    std::vector<int> hidAsked;
    for (const auto& [kind, member] : devices.asked) {
        if (kind == DeviceClass::Hid) {
            hidAsked.push_back(member);
        }
    }
    EXPECT_EQ(hidAsked.size(), 20u);
    EXPECT_EQ(hidAsked.back(), 19);
    // Handles: hid0 100, hid5 101, hid19 102, block2 103. The replaced ones are closed and the
    // commands go to the last.
    EXPECT_EQ(devices.closed, (std::vector<DeviceHandle>{100, 101}));
    link.SendCommand(Bytes{2, 2});
    ASSERT_EQ(devices.writes.size(), 1u);
    EXPECT_EQ(devices.writes[0].first, 102);
}

TEST_F(UsbCameraLinkTest, DebugModeShowsTheHandlesAndPlatformVersion) {
    OneOfEach();
    devices.version = {4, 10};
    session.settings.DebugMode = true;
    EXPECT_TRUE(link.FindCamera());
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "Camera Found, Hid =    100, BlockIO =    101\nO/S =    4.  10"});
    // Interrupts cannot be masked from a Linux program, whatever the version says.
    EXPECT_FALSE(session.camera.OsFamilyFlag);
}

TEST_F(UsbCameraLinkTest, ReportsAreReportIdZeroThenThePayload) {
    OneOfEach();
    link.FindCamera();
    link.SendCommand(Bytes{2, 1, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(devices.writes.back().second, (Bytes{0, 2, 1, 0, 0, 0, 0, 0, 0}));

    Bytes longest(254, 0x5A);
    link.SendCommand(longest);
    ASSERT_EQ(devices.writes.back().second.size(), 255u);
    EXPECT_EQ(devices.writes.back().second[0], 0);
    EXPECT_EQ(devices.writes.back().second[254], 0x5A);
    EXPECT_TRUE(ui.messages.empty());

    Bytes tooLong(255, 0x5A);
    link.SendCommand(tooLong);
    EXPECT_EQ(devices.writes.size(), 2u);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Maximum ByteCount for WriteUSBdevice is 254"});
}

TEST_F(UsbCameraLinkTest, AFailedWriteShowsThePlatformErrorNumber) {
    OneOfEach();
    link.FindCamera();
    devices.writeError = EIO;
    link.SendCommand(Bytes{2, 2, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error 5 trying to send command to USB \n"});
}

// An unplugged camera: the first failed write is told once, its devices are closed, nothing
// more goes to it, and the next discovery finds it again once it is back.
TEST_F(UsbCameraLinkTest, AFailedWriteLosesTheCameraUntilItIsFoundAgain) {
    OneOfEach();
    ASSERT_TRUE(link.FindCamera());
    devices.writeError = ENODEV;
    for (int i = 0; i < 3; ++i) {
        link.SendCommand(Bytes{2, 2, 0, 0, 0, 0, 0, 0});
    }
    session.camera.BlockByteCount = kWindowBlockBytes;
    link.ReadBlock();
    EXPECT_EQ(devices.writes.size(), 1u);
    EXPECT_TRUE(devices.reads.empty());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error 19 trying to send command to USB \n"});
    EXPECT_FALSE(session.camera.CameraConnected);
    EXPECT_TRUE(session.camera.LinkLost);
    EXPECT_EQ(devices.closed, (std::vector<DeviceHandle>{100, 101}));

    devices.writeError = 0;  // plugged in again
    ASSERT_TRUE(link.FindCamera());
    EXPECT_TRUE(session.camera.CameraConnected);
    EXPECT_FALSE(session.camera.LinkLost);
    link.SendCommand(Bytes{2, 3, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(devices.writes.back().first, 102);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(UsbCameraLinkTest, AFailedBlockReadLosesTheCamera) {
    OneOfEach();
    link.FindCamera();
    session.camera.BlockByteCount = kFullFrameBlockBytes;
    devices.readError = ENODEV;
    link.ReadBlock();
    link.ReadBlock();
    EXPECT_EQ(devices.reads.size(), 1u);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Error 19 trying to read BlockIO data from USB\n"});
    EXPECT_FALSE(session.camera.CameraConnected);
    EXPECT_TRUE(session.camera.LinkLost);
    EXPECT_EQ(session.camera.BytesRead, 0u);
}

TEST_F(UsbCameraLinkTest, ABlockReadSendsTheReadoutCommandAndFillsTheBuffer) {
    OneOfEach();
    link.FindCamera();
    session.readout.CommandBuffer = {2, 44, 1, 65, 161, 69, 181, 1};
    session.camera.BlockByteCount = 32768;
    devices.delivered.assign(32768, 0x77);

    link.ReadBlock();

    EXPECT_EQ(devices.writes.back().second, (Bytes{0, 4, 44, 1, 65, 161, 69, 181, 1}));
    EXPECT_EQ(devices.reads.back(), (std::pair<DeviceHandle, std::size_t>{101, 32768}));
    EXPECT_EQ(session.camera.BytesRead, 32768u);
    EXPECT_EQ(session.camera.ReceiveBuffer[32767], 0x77);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UsbCameraLinkTest, AFailedBlockReadIsShownAndWhatDidNotArriveReadsAsZero) {
    OneOfEach();
    link.FindCamera();
    std::fill(session.camera.ReceiveBuffer.begin(), session.camera.ReceiveBuffer.end(),
              uint8_t{0xEE});  // the previous frame
    session.camera.BlockByteCount = kFullFrameBlockBytes;
    devices.delivered.assign(1000, 0x11);
    devices.readError = ETIMEDOUT;

    link.ReadBlock();

    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Error 110 trying to read BlockIO data from USB\n"});
    EXPECT_EQ(session.camera.BytesRead, 1000u);
    EXPECT_EQ(session.camera.ReceiveBuffer[999], 0x11);
    EXPECT_EQ(session.camera.ReceiveBuffer[1000], 0);
    EXPECT_EQ(session.camera.ReceiveBuffer[kFullFrameBlockBytes - 1], 0);
}

TEST_F(UsbCameraLinkTest, ABlockCountBeyondTheBufferIsHeldToTheBuffer) {
    OneOfEach();
    link.FindCamera();
    session.camera.BlockByteCount = kFullFrameBlockBytes + 5000;
    link.ReadBlock();
    EXPECT_EQ(devices.reads.back().second, kFullFrameBlockBytes);
}

}  // namespace
}  // namespace talvor
