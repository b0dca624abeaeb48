#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvor {

// A USB vendor and product id.
struct CameraUsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    bool operator==(const CameraUsbId&) const = default;
};

// The ids that mark the camera. The control device is a HID interface, the block device an
// interface with a bulk IN endpoint. With one id the camera is one USB device carrying both
// interfaces, and a HID interface counts only on a device that also carries the block
// interface. With a second id the camera is two USB devices: a HID device with the first id
// and a bulk device with the second. Either way a HID device whose ids were not named is never
// commanded, so camera commands cannot reach a keyboard.
struct CameraUsbIds {
    CameraUsbId control;
    std::optional<CameraUsbId> block;  // the separate bulk device, when there is one

    CameraUsbId BlockId() const { return block.value_or(control); }
    bool operator==(const CameraUsbIds&) const = default;
};

inline constexpr CameraUsbId kDefaultCameraUsbId{0x1209, 0x0001};
inline constexpr CameraUsbIds kDefaultCameraUsbIds{kDefaultCameraUsbId, std::nullopt};

// "vvvv:pppp" in hexadecimal, as lsusb shows it; none when the text is not such a pair.
std::optional<CameraUsbId> ParseCameraUsbId(std::string_view text);
std::string FormatCameraUsbId(CameraUsbId id);
// "vvvv:pppp" for one device, "vvvv:pppp,vvvv:pppp" for a HID device and a bulk device.
std::optional<CameraUsbIds> ParseCameraUsbIds(std::string_view text);
std::string FormatCameraUsbIds(const CameraUsbIds& ids);

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
    std::string name;  // maker and product as the device names itself, when known
};

// A HID interface as the HID layer lists it, with the USB device it belongs to when known.
struct HidInterfaceDescription {
    std::string path;
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::optional<UsbLocation> location;
    int interfaceNumber = -1;  // -1 when unknown
};

struct BlockIoInterface {
    std::string path;  // the device's usbfs node, /dev/bus/usb/BBB/AAA
    UsbLocation location;
    int interfaceNumber = 0;
    uint8_t endpoint = 0;
};

// The usbfs node of a device.
std::string UsbDevicePath(UsbLocation location);

// The first interface of a device that is not HID and has a bulk IN endpoint; none when the
// device has no such interface.
std::optional<BlockIoInterface> BlockInterfaceOf(const UsbDeviceDescription& device);
// Whether the device has a HID interface.
bool HasHidInterface(const UsbDeviceDescription& device);

// The block interfaces of the devices with the camera's block id, in bus and address order.
std::vector<BlockIoInterface> FindBlockIoInterfaces(std::span<const UsbDeviceDescription> devices,
                                                    const CameraUsbIds& ids);

// The paths of the HID interfaces with the camera's control id, in path order: for a camera of
// one device only those on a device that carries one of the block interfaces.
std::vector<std::string> FindControlInterfaces(std::span<const HidInterfaceDescription> hids,
                                               std::span<const BlockIoInterface> blocks,
                                               const CameraUsbIds& ids);

}  // namespace talvor
