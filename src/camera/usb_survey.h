#pragma once

#include <string>
#include <vector>

#include "camera/camera_recognition.h"

namespace talvor {

// What the USB offers that could be the camera: the devices with a HID interface or an
// interface with a bulk IN endpoint, and the HID interfaces as the HID layer lists them.
struct UsbSurvey {
    std::vector<UsbDeviceDescription> devices;
    std::vector<HidInterfaceDescription> hids;
};

// The listing that `--list-usb` prints: each candidate device with its ids, place and name,
// then its HID interfaces (with their nodes) and its bulk interface; at the end whether the
// given ids find a camera, and how to name another one.
std::string DescribeCameraCandidates(const UsbSurvey& survey, const CameraUsbIds& ids);

}  // namespace talvor
