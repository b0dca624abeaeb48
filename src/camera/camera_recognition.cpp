#include "camera/camera_recognition.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace talvor {
namespace {

constexpr uint8_t kHidClass = 3;
constexpr uint8_t kTransferTypeMask = 0x03;
constexpr uint8_t kBulkTransfer = 0x02;
constexpr uint8_t kDirectionIn = 0x80;

std::optional<uint16_t> ParseHexWord(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint8_t> BulkInEndpoint(const UsbInterfaceDescription& interface) {
    for (const UsbEndpointDescription& endpoint : interface.endpoints) {
        if ((endpoint.attributes & kTransferTypeMask) == kBulkTransfer &&
            (endpoint.address & kDirectionIn) != 0) {
            return endpoint.address;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<CameraUsbId> ParseCameraUsbId(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<uint16_t> vendor = ParseHexWord(text.substr(0, colon));
    const std::optional<uint16_t> product = ParseHexWord(text.substr(colon + 1));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return CameraUsbId{*vendor, *product};
}

std::string FormatCameraUsbId(CameraUsbId id) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%04x:%04x", id.vendor, id.product);
    return text.data();
}

std::optional<CameraUsbIds> ParseCameraUsbIds(std::string_view text) {
    const std::size_t comma = text.find(',');
    const std::optional<CameraUsbId> control = ParseCameraUsbId(text.substr(0, comma));
    if (!control) {
        return std::nullopt;
    }
    if (comma == std::string_view::npos) {
        return CameraUsbIds{*control, std::nullopt};
    }
    const std::optional<CameraUsbId> block = ParseCameraUsbId(text.substr(comma + 1));
    if (!block) {
        return std::nullopt;
    }
    return CameraUsbIds{*control, *block};
}

std::string FormatCameraUsbIds(const CameraUsbIds& ids) {
    std::string text = FormatCameraUsbId(ids.control);
    if (ids.block) {
        text += "," + FormatCameraUsbId(*ids.block);
    }
    return text;
}

std::string UsbDevicePath(UsbLocation location) {
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "/dev/bus/usb/%03d/%03d", location.bus,
                  location.address);
    return text.data();
}

std::optional<BlockIoInterface> BlockInterfaceOf(const UsbDeviceDescription& device) {
    for (const UsbInterfaceDescription& interface : device.interfaces) {
        const std::optional<uint8_t> endpoint = BulkInEndpoint(interface);
        if (interface.interfaceClass != kHidClass && endpoint) {
            return BlockIoInterface{UsbDevicePath(device.location), device.location,
                                    interface.number, *endpoint};
        }
    }
    return std::nullopt;
}

bool HasHidInterface(const UsbDeviceDescription& device) {
    return std::any_of(device.interfaces.begin(), device.interfaces.end(),
                       [](const auto& interface) { return interface.interfaceClass == kHidClass; });
}

std::vector<BlockIoInterface> FindBlockIoInterfaces(std::span<const UsbDeviceDescription> devices,
                                                    const CameraUsbIds& ids) {
    const CameraUsbId id = ids.BlockId();
    std::vector<BlockIoInterface> found;
    for (const UsbDeviceDescription& device : devices) {
        if (device.vendor != id.vendor || device.product != id.product) {
            continue;
        }
        if (const std::optional<BlockIoInterface> block = BlockInterfaceOf(device)) {
            found.push_back(*block);
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::pair(a.location.bus, a.location.address) <
               std::pair(b.location.bus, b.location.address);
    });
    return found;
}

std::vector<std::string> FindControlInterfaces(std::span<const HidInterfaceDescription> hids,
                                               std::span<const BlockIoInterface> blocks,
                                               const CameraUsbIds& ids) {
    const CameraUsbId id = ids.control;
    std::vector<std::string> found;
    for (const HidInterfaceDescription& hid : hids) {
        if (hid.vendor != id.vendor || hid.product != id.product) {
            continue;
        }
        // A camera of two devices: the HID device was named by its own id. A camera of one
        // device: the HID interface must sit beside the block interface.
        const bool onCamera =
            ids.block ||
            (hid.location && std::any_of(blocks.begin(), blocks.end(), [&](const auto& block) {
                 return block.location == *hid.location;
             }));
        if (onCamera) {
            found.push_back(hid.path);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace talvor
