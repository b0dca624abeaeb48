// Which USB interfaces are taken for the camera, and which never are.

#include "camera/camera_recognition.h"

#include <gtest/gtest.h>

namespace talvor {
namespace {

constexpr CameraUsbId kCamera{0x1209, 0x0001};

TEST(CameraUsbIdTest, ParsesTheLsusbForm) {
    EXPECT_EQ(ParseCameraUsbId("1209:0001"), kCamera);
    EXPECT_EQ(ParseCameraUsbId("04D8:f00d"), (CameraUsbId{0x04D8, 0xF00D}));
    EXPECT_EQ(ParseCameraUsbId("1:2"), (CameraUsbId{1, 2}));
    for (const char* bad : {"", "1209", "1209:", ":0001", "12345:0001", "1209:0001x", "g209:0001",
                            "1209-0001", "-1:2"}) {
        EXPECT_FALSE(ParseCameraUsbId(bad)) << bad;
    }
    EXPECT_EQ(FormatCameraUsbId({0x04D8, 0xF00D}), "04d8:f00d");
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
        {{3, 9}, 0x1209, 0x0001, {HidInterface(0), BulkInterface(1, 0x86), BulkInterface(2, 0x88)}},
        // A disk with bulk endpoints but other ids.
        {{1, 4}, 0x0781, 0x5567, {BulkInterface(0, 0x81)}},
        // A device with the camera's ids but only a bulk OUT endpoint, or bulk IN only on HID.
        {{1, 5}, 0x1209, 0x0001, {{0, 0xFF, {{0x02, 0x02}}}}},
        {{1, 6}, 0x1209, 0x0001, {{0, 3, {{0x81, 0x02}}}}},
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

}  // namespace
}  // namespace talvor
