#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "camera/camera_recognition.h"

namespace talvor {

class DataDirectory;

// The camera's USB ids are remembered in a small file of the data directory, one line as
// --camera-usb-id takes them, so that they need not be typed at every start. (The settings
// file's fixed layout has no room for them.)
inline constexpr std::string_view kCameraUsbIdsFileName = "c:\\camera-usb-id";

struct CameraUsbIdsChoice {
    CameraUsbIds ids = kDefaultCameraUsbIds;
    // Why the remembered ids could not be read or written; empty when all went well.
    std::string problem;
};

// The ids of this start: the given ones, which are remembered for later starts; else the
// remembered ones; else 1209:0001.
CameraUsbIdsChoice ChooseCameraUsbIds(const std::optional<CameraUsbIds>& given,
                                      const DataDirectory& directory);

}  // namespace talvor
