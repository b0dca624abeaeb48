#include "camera/usb_survey.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace talvor {
namespace {

constexpr uint8_t kHidClass = 3;

std::string Place(UsbLocation location) {
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "bus %03d device %03d", location.bus, location.address);
    return text.data();
}

std::string Hex(uint8_t value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%02x", value);
    return text.data();
}

bool IsCandidate(const UsbDeviceDescription& device) {
    return HasHidInterface(device) || BlockInterfaceOf(device).has_value();
}

// The HID interfaces of the survey that sit on the device.
std::vector<const HidInterfaceDescription*> HidsOn(const UsbSurvey& survey,
                                                   const UsbDeviceDescription& device) {
    std::vector<const HidInterfaceDescription*> found;
    for (const HidInterfaceDescription& hid : survey.hids) {
        if (hid.location == device.location) {
            found.push_back(&hid);
        }
    }
    return found;
}

std::string DescribeDevice(const UsbSurvey& survey, const UsbDeviceDescription& device) {
    std::string text =
        "  " + FormatCameraUsbId({device.vendor, device.product}) + "  " + Place(device.location);
    if (!device.name.empty()) {
        text += "  " + device.name;
    }
    text += "\n";
    const std::vector<const HidInterfaceDescription*> nodes = HidsOn(survey, device);
    for (const UsbInterfaceDescription& interface : device.interfaces) {
        if (interface.interfaceClass != kHidClass) {
            continue;
        }
        text += "      HID interface " + std::to_string(interface.number);
        for (const HidInterfaceDescription* hid : nodes) {
            if (hid->interfaceNumber == interface.number || hid->interfaceNumber < 0) {
                text += "  " + hid->path;
            }
        }
        text += "\n";
    }
    if (const std::optional<BlockIoInterface> block = BlockInterfaceOf(device)) {
        text += "      bulk interface " + std::to_string(block->interfaceNumber) +
                ", IN endpoint " + Hex(block->endpoint) + "\n";
    }
    return text;
}

std::string DescribeSearch(const UsbSurvey& survey, const CameraUsbIds& ids) {
    std::string text = "Looking for " + FormatCameraUsbIds(ids);
    text += ids.block ? " (a HID device and a bulk device): "
                      : " (one device with a HID and a bulk interface): ";
    const std::vector<BlockIoInterface> blocks = FindBlockIoInterfaces(survey.devices, ids);
    const std::vector<std::string> controls = FindControlInterfaces(survey.hids, blocks, ids);
    if (blocks.empty() && controls.empty()) {
        return text + "not found.\n";
    }
    if (blocks.empty()) {
        return text + "the HID interface " + controls.back() +
               " is there, but no bulk interface.\n";
    }
    if (controls.empty()) {
        return text + "the bulk interface on " + Place(blocks.back().location) +
               " is there, but no HID interface.\n";
    }
    return text + "found: commands go to " + controls.back() + ", pictures come from " +
           Place(blocks.back().location) + ".\n";
}

}  // namespace

std::string DescribeCameraCandidates(const UsbSurvey& survey, const CameraUsbIds& ids) {
    std::vector<const UsbDeviceDescription*> candidates;
    for (const UsbDeviceDescription& device : survey.devices) {
        if (IsCandidate(device)) {
            candidates.push_back(&device);
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const auto* a, const auto* b) {
        return std::pair(a->location.bus, a->location.address) <
               std::pair(b->location.bus, b->location.address);
    });
    std::string text;
    if (candidates.empty()) {
        text = "No USB device with a HID interface or a bulk IN interface was found.\n";
    } else {
        text = "USB devices with a HID interface or a bulk IN interface (ids as vendor:product):\n";
        for (const UsbDeviceDescription* device : candidates) {
            text += DescribeDevice(survey, *device);
        }
    }
    text += "\n" + DescribeSearch(survey, ids);
    text +=
        "A camera that is one device: --camera-usb-id VVVV:PPPP. A camera that is two devices:\n"
        "--camera-usb-id VVVV:PPPP,VVVV:PPPP with the HID device's ids first, the bulk "
        "device's second.\n";
    return text;
}

}  // namespace talvor
