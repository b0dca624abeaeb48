#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvor {

// The USB vendor and product id that mark the camera. The control device is the camera's HID
// interface, the block device its interface with a bulk IN endpoint; both must belong to one
// USB device with these ids, so commands never reach a keyboard or any other HID device.
struct CameraUsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    bool operator==(const CameraUsbId&) const = default;
};

inline constexpr CameraUsbId kDefaultCameraUsbId{0x1209, 0x0001};

// "vvvv:pppp" in hexadecimal, as lsusb shows it; none when the text is not such a pair.
std::optional<CameraUsbId> ParseCameraUsbId(std::string_view text);
std::string FormatCameraUsbId(CameraUsbId id);

// Where a device sits on the USB: bus number and device address.
struct UsbLocation {
    int bus = 0;
    int address = 0;
    bool operator==(const UsbLocation&) const = default;
};

struct UsbEndpointDescription {
    uint8_t address = 0;     // bit 7 set for IN
    uint8_t attributes = 0;  // bits 0-1: transfer type, 2 for bulk
};

struct UsbInterfaceDescription {
    int number = 0;
    uint8_t interfaceClass = 0;  // 3 for HID
    std::vector<UsbEndpointDescription> endpoints;
};

struct UsbDeviceDescription {
    UsbLocation location;
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::vector<UsbInterfaceDescription> interfaces;
};

// A HID interface as the HID layer lists it, with the USB device it belongs to when known.
struct HidInterfaceDescription {
    std::string path;
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::optional<UsbLocation> location;
};

struct BlockIoInterface {
    std::string path;  // the device's usbfs node, /dev/bus/usb/BBB/AAA
    UsbLocation location;
    int interfaceNumber = 0;
    uint8_t endpoint = 0;
};

// The usbfs node of a device.
std::string UsbDevicePath(UsbLocation location);

// The block interfaces of the devices with the camera's ids: on each, the first non-HID
// interface with a bulk IN endpoint, and that endpoint. In bus and address order.
std::vector<BlockIoInterface> FindBlockIoInterfaces(std::span<const UsbDeviceDescription> devices,
                                                    CameraUsbId id);

// The paths of the HID interfaces with the camera's ids that sit on a device carrying one of
// the block interfaces, in path order.
std::vector<std::string> FindControlInterfaces(std::span<const HidInterfaceDescription> hids,
                                               std::span<const BlockIoInterface> blocks,
                                               CameraUsbId id);

}  // namespace talvor
