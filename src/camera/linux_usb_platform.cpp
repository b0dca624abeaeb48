#include "camera/linux_usb_platform.h"

#include <hidapi.h>
#include <libusb.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace talvor {
namespace {

// A whole frame takes two to three seconds to arrive; allow for a slow bus.
constexpr unsigned int kBulkTimeoutMs = 15000;

// libusb's error codes as the errno values the link reports.
int ErrorNumber(int libusbError) {
    switch (libusbError) {
        case LIBUSB_ERROR_IO:
            return EIO;
        case LIBUSB_ERROR_INVALID_PARAM:
            return EINVAL;
        case LIBUSB_ERROR_ACCESS:
            return EACCES;
        case LIBUSB_ERROR_NO_DEVICE:
            return ENODEV;
        case LIBUSB_ERROR_NOT_FOUND:
            return ENOENT;
        case LIBUSB_ERROR_BUSY:
            return EBUSY;
        case LIBUSB_ERROR_TIMEOUT:
            return ETIMEDOUT;
        case LIBUSB_ERROR_OVERFLOW:
            return EOVERFLOW;
        case LIBUSB_ERROR_PIPE:
            return EPIPE;
        case LIBUSB_ERROR_INTERRUPTED:
            return EINTR;
        case LIBUSB_ERROR_NO_MEM:
            return ENOMEM;
        case LIBUSB_ERROR_NOT_SUPPORTED:
            return ENOTSUP;
        default:
            return EIO;
    }
}

std::optional<int> ReadNumber(const std::filesystem::path& file) {
    std::ifstream in(file);
    int value = 0;
    if (in >> value) {
        return value;
    }
    return std::nullopt;
}

// The USB device a hidraw node belongs to: its sysfs device lies below the USB device's
// folder, the first one up that has a bus number and a device number.
std::optional<UsbLocation> HidrawLocation(const std::string& path) {
    const std::filesystem::path node(path);
    std::error_code error;
    std::filesystem::path folder = std::filesystem::canonical(
        std::filesystem::path("/sys/class/hidraw") / node.filename() / "device", error);
    if (error) {
        return std::nullopt;
    }
    for (; folder.has_relative_path(); folder = folder.parent_path()) {
        const std::optional<int> bus = ReadNumber(folder / "busnum");
        const std::optional<int> address = ReadNumber(folder / "devnum");
        if (bus && address) {
            return UsbLocation{*bus, *address};
        }
    }
    return std::nullopt;
}

UsbDeviceDescription Describe(libusb_device* device, const libusb_device_descriptor& descriptor) {
    UsbDeviceDescription description;
    description.location = {libusb_get_bus_number(device), libusb_get_device_address(device)};
    description.vendor = descriptor.idVendor;
    description.product = descriptor.idProduct;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 &&
        libusb_get_config_descriptor(device, 0, &config) != 0) {
        return description;
    }
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& interface = config->interface[i];
        if (interface.num_altsetting < 1) {
            continue;
        }
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        UsbInterfaceDescription entry;
        entry.number = setting.bInterfaceNumber;
        entry.interfaceClass = setting.bInterfaceClass;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            entry.endpoints.push_back(
                {setting.endpoint[e].bEndpointAddress, setting.endpoint[e].bmAttributes});
        }
        description.interfaces.push_back(std::move(entry));
    }
    libusb_free_config_descriptor(config);
    return description;
}

// The HID interfaces with these ids (all of them for 0:0), with the USB device each sits on.
std::vector<HidInterfaceDescription> ListHidInterfaces(CameraUsbId id) {
    std::vector<HidInterfaceDescription> hids;
    hid_device_info* list = hid_enumerate(id.vendor, id.product);
    for (const hid_device_info* info = list; info != nullptr; info = info->next) {
        if (info->path != nullptr) {
            hids.push_back({info->path, info->vendor_id, info->product_id,
                            HidrawLocation(info->path), info->interface_number});
        }
    }
    hid_free_enumeration(list);
    return hids;
}

std::string ReadLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// "maker product" of every USB device, by place, as the kernel read them from the devices.
std::map<std::pair<int, int>, std::string> UsbDeviceNames() {
    std::map<std::pair<int, int>, std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/bus/usb/devices", error)) {
        const std::optional<int> bus = ReadNumber(entry.path() / "busnum");
        const std::optional<int> address = ReadNumber(entry.path() / "devnum");
        if (!bus || !address) {
            continue;
        }
        std::string name = ReadLine(entry.path() / "manufacturer");
        const std::string product = ReadLine(entry.path() / "product");
        if (!product.empty()) {
            name += (name.empty() ? "" : " ") + product;
        }
        names[{*bus, *address}] = name;
    }
    return names;
}

}  // namespace

UsbSurvey SurveyUsb() {
    UsbSurvey survey;
    libusb_context* usb = nullptr;
    if (libusb_init(&usb) != 0) {
        return survey;
    }
    const auto names = UsbDeviceNames();
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(usb, &list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0) {
            UsbDeviceDescription device = Describe(list[i], descriptor);
            if (const auto name = names.find({device.location.bus, device.location.address});
                name != names.end()) {
                device.name = name->second;
            }
            survey.devices.push_back(std::move(device));
        }
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    libusb_exit(usb);
    if (hid_init() == 0) {
        survey.hids = ListHidInterfaces({0, 0});
        hid_exit();
    }
    return survey;
}

LinuxUsbPlatform::LinuxUsbPlatform(const CameraUsbIds& ids) : ids_(ids) {}

LinuxUsbPlatform::~LinuxUsbPlatform() {
    while (!openControls_.empty()) {
        Close(openControls_.begin()->first);
    }
    while (!openBlocks_.empty()) {
        Close(openBlocks_.begin()->first);
    }
    if (usb_ != nullptr) {
        libusb_exit(usb_);
    }
    if (hidStarted_) {
        hid_exit();
    }
}

bool LinuxUsbPlatform::StartLibraries() {
    if (!hidStarted_) {
        hidStarted_ = hid_init() == 0;
    }
    if (usb_ == nullptr && libusb_init(&usb_) != 0) {
        usb_ = nullptr;
    }
    return hidStarted_ && usb_ != nullptr;
}

bool LinuxUsbPlatform::ListBlockInterfaces() {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(usb_, &list);
    if (count < 0) {
        return false;
    }
    const CameraUsbId id = ids_.BlockId();
    std::vector<UsbDeviceDescription> devices;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0 &&
            descriptor.idVendor == id.vendor && descriptor.idProduct == id.product) {
            devices.push_back(Describe(list[i], descriptor));
        }
    }
    libusb_free_device_list(list, 1);
    blocks_ = FindBlockIoInterfaces(devices, ids_);
    return true;
}

bool LinuxUsbPlatform::ListControlInterfaces() {
    controls_ = FindControlInterfaces(ListHidInterfaces(ids_.control), blocks_, ids_);
    return true;
}

bool LinuxUsbPlatform::MakeInterfaceList(DeviceClass kind) {
    if (!StartLibraries()) {
        return false;
    }
    // For a camera of one device a control interface only counts when its device also carries
    // the block interface, so both lists start from the block devices.
    if (!ListBlockInterfaces()) {
        return false;
    }
    return kind == DeviceClass::BlockIo || ListControlInterfaces();
}

bool LinuxUsbPlatform::HasInterface(DeviceClass kind, int member) {
    const std::size_t size = kind == DeviceClass::Hid ? controls_.size() : blocks_.size();
    return member >= 0 && static_cast<std::size_t>(member) < size;
}

std::optional<std::string> LinuxUsbPlatform::DevicePath(DeviceClass kind, int member) {
    if (!HasInterface(kind, member)) {
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(member);
    return kind == DeviceClass::Hid ? controls_[index] : blocks_[index].path;
}

void LinuxUsbPlatform::ReleaseInterfaceLists() {
    controls_.clear();
    blocks_.clear();
}

libusb_device_handle* LinuxUsbPlatform::OpenUsbDevice(UsbLocation location) {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(usb_, &list);
    libusb_device_handle* opened = nullptr;
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == location.bus &&
            libusb_get_device_address(list[i]) == location.address) {
            if (libusb_open(list[i], &opened) != 0) {
                opened = nullptr;
            }
            break;
        }
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    return opened;
}

DeviceHandle LinuxUsbPlatform::Open(DeviceClass kind, const std::string& path) {
    if (!StartLibraries()) {
        return kNoDevice;
    }
    if (kind == DeviceClass::Hid) {
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr) {
            return kNoDevice;
        }
        openControls_[nextHandle_] = device;
        return nextHandle_++;
    }
    const auto block = std::find_if(blocks_.begin(), blocks_.end(),
                                    [&](const BlockIoInterface& b) { return b.path == path; });
    if (block == blocks_.end()) {
        return kNoDevice;
    }
    libusb_device_handle* device = OpenUsbDevice(block->location);
    if (device == nullptr) {
        return kNoDevice;
    }
    // The HID interface of the same device stays with the kernel's HID driver; only the block
    // interface is claimed.
    libusb_set_auto_detach_kernel_driver(device, 1);
    if (libusb_claim_interface(device, block->interfaceNumber) != 0) {
        libusb_close(device);
        return kNoDevice;
    }
    openBlocks_[nextHandle_] = {device, block->interfaceNumber, block->endpoint};
    return nextHandle_++;
}

void LinuxUsbPlatform::Close(DeviceHandle handle) {
    if (const auto control = openControls_.find(handle); control != openControls_.end()) {
        hid_close(control->second);
        openControls_.erase(control);
    }
    if (const auto block = openBlocks_.find(handle); block != openBlocks_.end()) {
        libusb_release_interface(block->second.device, block->second.interfaceNumber);
        libusb_close(block->second.device);
        openBlocks_.erase(block);
    }
}

IoResult LinuxUsbPlatform::WriteReport(DeviceHandle handle, std::span<const uint8_t> report) {
    const auto control = openControls_.find(handle);
    if (control == openControls_.end()) {
        return {EBADF, 0};
    }
    errno = 0;
    const int written = hid_write(control->second, report.data(), report.size());
    if (written < 0) {
        return {errno != 0 ? errno : EIO, 0};
    }
    return {0, static_cast<std::size_t>(written)};
}

IoResult LinuxUsbPlatform::BulkRead(DeviceHandle handle, std::span<uint8_t> destination) {
    const auto block = openBlocks_.find(handle);
    if (block == openBlocks_.end()) {
        return {EBADF, 0};
    }
    if (destination.size() > static_cast<std::size_t>(INT_MAX)) {
        return {EINVAL, 0};
    }
    int transferred = 0;
    const int status =
        libusb_bulk_transfer(block->second.device, block->second.endpoint, destination.data(),
                             static_cast<int>(destination.size()), &transferred, kBulkTimeoutMs);
    const auto bytes = static_cast<std::size_t>(std::max(transferred, 0));
    if (status != 0) {
        return {ErrorNumber(status), bytes};
    }
    // The camera ends every block with the full count; a shorter one is a broken transfer.
    if (bytes < destination.size()) {
        return {EIO, bytes};
    }
    return {0, bytes};
}

PlatformVersion LinuxUsbPlatform::Version() {
    return HostPlatformVersion();
}

}  // namespace talvor
