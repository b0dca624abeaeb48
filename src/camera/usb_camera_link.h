#pragma once

#include <memory>

#include "camera/usb_platform.h"
#include "core/camera_link.h"

namespace talvor {

struct Session;

// The camera link over a platform's HID and bulk-transfer calls: discovery of the two devices,
// command reports (report id 0, then the payload) and block reads, with the link's messages.
// The first failed write or read is told once; the devices are then closed and the camera is
// taken as gone (LinkLost) until the next discovery, so nothing more is sent or read.
class UsbCameraLink final : public CameraLink {
  public:
    UsbCameraLink(Session& session, std::unique_ptr<UsbPlatform> platform);
    ~UsbCameraLink() override;
    UsbCameraLink(const UsbCameraLink&) = delete;
    UsbCameraLink& operator=(const UsbCameraLink&) = delete;

    bool FindCamera() override;
    void SendCommand(std::span<const uint8_t> bytes) override;
    void ReadBlock() override;

  private:
    void Lose();

    Session& session_;
    std::unique_ptr<UsbPlatform> platform_;
    DeviceHandle control_ = kNoDevice;
    DeviceHandle block_ = kNoDevice;
};

}  // namespace talvor
