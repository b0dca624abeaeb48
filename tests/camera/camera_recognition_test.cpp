// Which USB interfaces are taken for the camera, and which never are.

#include "camera/camera_recognition.h"

#include <gtest/gtest.h>

#include <fstream>

#include "camera/camera_usb_ids_file.h"
#include "camera/usb_survey.h"
#include "core/data_directory.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

constexpr CameraUsbIds kCamera{{0x1209, 0x0001}, std::nullopt};

TEST(CameraUsbIdTest, ParsesTheLsusbForm) {
    EXPECT_EQ(ParseCameraUsbId("1209:0001"), kCamera.control);
    EXPECT_EQ(ParseCameraUsbId("04D8:f00d"), (CameraUsbId{0x04D8, 0xF00D}));
    EXPECT_EQ(ParseCameraUsbId("1:2"), (CameraUsbId{1, 2}));
    for (const char* bad : {"", "1209", "1209:", ":0001", "12345:0001", "1209:0001x", "g209:0001",
                            "1209-0001", "-1:2"}) {
        EXPECT_FALSE(ParseCameraUsbId(bad)) << bad;
    }
    EXPECT_EQ(FormatCameraUsbId({0x04D8, 0xF00D}), "04d8:f00d");
}

TEST(CameraUsbIdTest, OneDeviceOrAHidDeviceThenABulkDevice) {
    EXPECT_EQ(ParseCameraUsbIds("1209:0001"), kCamera);
    const std::optional<CameraUsbIds> two = ParseCameraUsbIds("04d8:0001,04D8:0002");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->control, (CameraUsbId{0x04D8, 1}));
    EXPECT_EQ(two->BlockId(), (CameraUsbId{0x04D8, 2}));
    EXPECT_EQ(FormatCameraUsbIds(*two), "04d8:0001,04d8:0002");
    EXPECT_EQ(kCamera.BlockId(), kCamera.control);
    for (const char* bad : {",", "1209:0001,", ",1209:0001", "1209:0001,1:2,3:4", "1209:0001;1:2",
                            "1209:0001, 1:2"}) {
        EXPECT_FALSE(ParseCameraUsbIds(bad)) << bad;
    }
}

UsbInterfaceDescription HidInterface(int number) {
    return {number, 3, {{0x81, 0x03}}};  // interrupt IN
}

UsbInterfaceDescription BulkInterface(int number, uint8_t inEndpoint) {
    return {number, 0xFF, {{0x02, 0x02}, {inEndpoint, 0x02}}};
}

TEST(BlockInterfaceTest, TheFirstVendorInterfaceWithABulkInEndpointOfADeviceWithTheIds) {
    const UsbDeviceDescription devices[] = {
        // The camera: HID control on interface 0, bulk data on interface 1.
        {{3, 9},
         0x1209,
         0x0001,
         {HidInterface(0), BulkInterface(1, 0x86), BulkInterface(2, 0x88)},
         ""},
        // A disk with bulk endpoints but other ids.
        {{1, 4}, 0x0781, 0x5567, {BulkInterface(0, 0x81)}, ""},
        // A device with the camera's ids but only a bulk OUT endpoint, or bulk IN only on HID.
        {{1, 5}, 0x1209, 0x0001, {{0, 0xFF, {{0x02, 0x02}}}}, ""},
        {{1, 6}, 0x1209, 0x0001, {{0, 3, {{0x81, 0x02}}}}, ""},
    };
    const std::vector<BlockIoInterface> found = FindBlockIoInterfaces(devices, kCamera);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, "/dev/bus/usb/003/009");
    EXPECT_EQ(found[0].location, (UsbLocation{3, 9}));
    EXPECT_EQ(found[0].interfaceNumber, 1);
    EXPECT_EQ(found[0].endpoint, 0x86);
}

TEST(ControlInterfaceTest, OnlyAHidInterfaceOnTheCameraItselfIsTaken) {
    const std::vector<BlockIoInterface> blocks{{"/dev/bus/usb/003/009", {3, 9}, 1, 0x86}};
    const HidInterfaceDescription hids[] = {
        {"/dev/hidraw0", 0x046D, 0xC31C, UsbLocation{1, 2}},  // a keyboard
        {"/dev/hidraw1", 0x046D, 0xC31C, UsbLocation{3, 9}},  // foreign ids, however placed
        {"/dev/hidraw2", 0x1209, 0x0001, UsbLocation{1, 7}},  // camera ids, no bulk interface
        {"/dev/hidraw3", 0x1209, 0x0001, std::nullopt},       // cannot tell where it sits
        {"/dev/hidraw4", 0x1209, 0x0001, UsbLocation{3, 9}},  // the camera
    };
    EXPECT_EQ(FindControlInterfaces(hids, blocks, kCamera),
              std::vector<std::string>{"/dev/hidraw4"});
    EXPECT_TRUE(FindControlInterfaces(hids, {}, kCamera).empty());
}

// A camera that shows up as two USB devices: a HID device and a bulk device with ids of their
// own. Only the HID device named by the first id is commanded.
TEST(ControlInterfaceTest, ACameraOfTwoDevicesIsFoundByItsTwoIds) {
    const CameraUsbIds two{{0x04D8, 0x0001}, CameraUsbId{0x04D8, 0x0002}};
    const UsbDeviceDescription devices[] = {
        {{2, 4}, 0x04D8, 0x0001, {HidInterface(0)}, ""},
        {{2, 5}, 0x04D8, 0x0002, {BulkInterface(0, 0x82)}, ""},
        {{1, 3}, 0x1209, 0x0001, {HidInterface(0), BulkInterface(1, 0x86)}, ""},
    };
    const std::vector<BlockIoInterface> blocks = FindBlockIoInterfaces(devices, two);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].location, (UsbLocation{2, 5}));
    EXPECT_EQ(blocks[0].endpoint, 0x82);
    const HidInterfaceDescription hids[] = {
        {"/dev/hidraw0", 0x046D, 0xC31C, UsbLocation{1, 2}},  // a keyboard
        {"/dev/hidraw1", 0x1209, 0x0001, UsbLocation{1, 3}},  // another camera
        {"/dev/hidraw2", 0x04D8, 0x0001, UsbLocation{2, 4}},  // the named HID device
    };
    EXPECT_EQ(FindControlInterfaces(hids, blocks, two), std::vector<std::string>{"/dev/hidraw2"});
    // Named as one device, the two are not a camera: the HID device carries no bulk interface.
    const CameraUsbIds one{{0x04D8, 0x0001}, std::nullopt};
    EXPECT_TRUE(FindBlockIoInterfaces(devices, one).empty());
    EXPECT_TRUE(FindControlInterfaces(hids, FindBlockIoInterfaces(devices, one), one).empty());
}

TEST(UsbSurveyTest, ListsTheCandidatesWithTheirInterfacesAndWhatTheIdsFind) {
    UsbSurvey survey;
    survey.devices = {
        {{3, 9}, 0x1209, 0x0001, {HidInterface(0), BulkInterface(1, 0x86)}, "Drevik Zenka"},
        {{1, 1}, 0x1D6B, 0x0002, {{0, 9, {{0x81, 0x03}}}}, "Linux root hub"},  // a hub: left out
        {{1, 2}, 0x046D, 0xC31C, {HidInterface(0)}, ""},
    };
    survey.hids = {{"/dev/hidraw4", 0x1209, 0x0001, UsbLocation{3, 9}, 0},
                   {"/dev/hidraw0", 0x046D, 0xC31C, UsbLocation{1, 2}, 0}};
    const std::string text = DescribeCameraCandidates(survey, kCamera);
    EXPECT_NE(text.find("  1209:0001  bus 003 device 009  Drevik Zenka\n"
                        "      HID interface 0  /dev/hidraw4\n"
                        "      bulk interface 1, IN endpoint 0x86\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  046d:c31c  bus 001 device 002\n      HID interface 0  /dev/hidraw0\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("1d6b"), std::string::npos) << text;
    EXPECT_NE(text.find("found: commands go to /dev/hidraw4, pictures come from bus 003 device "
                        "009."),
              std::string::npos)
        << text;
    const std::string keyboard =
        DescribeCameraCandidates(survey, {{0x046D, 0xC31C}, CameraUsbId{0x1234, 0x5678}});
    EXPECT_NE(keyboard.find("the HID interface /dev/hidraw0 is there, but no bulk interface."),
              std::string::npos)
        << keyboard;
    EXPECT_NE(DescribeCameraCandidates({}, kCamera).find("No USB device"), std::string::npos);
}

// The ids given at one start are used at the next without being typed again.
TEST(RememberedCameraIdsTest, GivenIdsAreRememberedAndABadFileFallsBackToTheDefault) {
    testing::TemporaryDirectory folder;
    const DataDirectory directory(folder.Path() / "data");
    EXPECT_EQ(ChooseCameraUsbIds(std::nullopt, directory).ids, kDefaultCameraUsbIds);
    EXPECT_TRUE(ChooseCameraUsbIds(std::nullopt, directory).problem.empty());

    const CameraUsbIds two{{0x04D8, 0x0001}, CameraUsbId{0x04D8, 0x0002}};
    const CameraUsbIdsChoice given = ChooseCameraUsbIds(two, directory);
    EXPECT_EQ(given.ids, two);
    EXPECT_TRUE(given.problem.empty()) << given.problem;
    EXPECT_EQ(ChooseCameraUsbIds(std::nullopt, directory).ids, two);

    std::ofstream(folder.Path() / "data" / "camera-usb-id") << "not ids\n";
    const CameraUsbIdsChoice bad = ChooseCameraUsbIds(std::nullopt, directory);
    EXPECT_EQ(bad.ids, kDefaultCameraUsbIds);
    EXPECT_NE(bad.problem.find("does not hold USB ids"), std::string::npos) << bad.problem;
}

TEST(RememberedCameraIdsTest, IdsThatCannotBeRememberedAreToldButUsed) {
    testing::TemporaryDirectory folder;
    // A folder where the file should go: the new file cannot be renamed over it.
    std::filesystem::create_directory(folder.Path() / "camera-usb-id");
    const CameraUsbIdsChoice choice = ChooseCameraUsbIds(kCamera, DataDirectory(folder.Path()));
    EXPECT_EQ(choice.ids, kCamera);
    EXPECT_NE(choice.problem.find("could not be remembered"), std::string::npos);
}

}  // namespace
}  // namespace talvor
