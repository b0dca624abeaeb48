#pragma once

#include <map>
#include <string>
#include <vector>

#include "camera/camera_recognition.h"
#include "camera/usb_platform.h"
#include "camera/usb_survey.h"

struct hid_device_;
struct libusb_context;
struct libusb_device_handle;

namespace talvor {

// The camera's USB devices on Linux: the HID control interface through hidapi (hidraw), the
// bulk block interface through libusb. Only interfaces that the camera's ids name are listed
// (see camera_recognition.h).
class LinuxUsbPlatform final : public UsbPlatform {
  public:
    explicit LinuxUsbPlatform(const CameraUsbIds& ids);
    ~LinuxUsbPlatform() override;
    LinuxUsbPlatform(const LinuxUsbPlatform&) = delete;
    LinuxUsbPlatform& operator=(const LinuxUsbPlatform&) = delete;

    bool MakeInterfaceList(DeviceClass kind) override;
    bool HasInterface(DeviceClass kind, int member) override;
    std::optional<std::string> DevicePath(DeviceClass kind, int member) override;
    void ReleaseInterfaceLists() override;
    DeviceHandle Open(DeviceClass kind, const std::string& path) override;
    void Close(DeviceHandle handle) override;
    IoResult WriteReport(DeviceHandle handle, std::span<const uint8_t> report) override;
    IoResult BulkRead(DeviceHandle handle, std::span<uint8_t> destination) override;
    PlatformVersion Version() override;

  private:
    struct OpenBlock {
        libusb_device_handle* device = nullptr;
        int interfaceNumber = 0;
        uint8_t endpoint = 0;
    };

    bool StartLibraries();
    bool ListBlockInterfaces();
    bool ListControlInterfaces();
    libusb_device_handle* OpenUsbDevice(UsbLocation location);

    CameraUsbIds ids_;
    libusb_context* usb_ = nullptr;
    bool hidStarted_ = false;
    std::vector<BlockIoInterface> blocks_;
    std::vector<std::string> controls_;
    DeviceHandle nextHandle_ = 1;
    std::map<DeviceHandle, hid_device_*> openControls_;
    std::map<DeviceHandle, OpenBlock> openBlocks_;
};

// Every USB device with a HID interface or an interface with a bulk IN endpoint, and every HID
// interface with its hidraw node: what a person needs to find the camera's ids. Empty when the
// USB cannot be read.
UsbSurvey SurveyUsb();

}  // namespace talvor
