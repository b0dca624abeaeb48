#pragma once

#include <memory>

#include "camera/camera_recognition.h"
#include "core/camera_link.h"
#include "simulator/simulated_camera_device.h"
#include "simulator/simulated_camera_timing.h"

namespace talvor {

struct Session;
class PointingSource;

struct CameraLinkOptions {
    // The ids that mark the camera on the USB.
    CameraUsbIds usbIds = kDefaultCameraUsbIds;
    // The simulated camera's sky and chip, and whether it takes a real camera's time.
    SimulatedCameraSettings simulation;
    CameraTiming timing = CameraTiming::Real;
    // Borrowed: the simulated mount that moves the simulated sky; none for a steady drift.
    PointingSource* pointing = nullptr;
};

// The camera link of the run: the simulated camera, or the USB camera through hidapi and
// libusb. Nothing is opened before FindCamera.
std::unique_ptr<CameraLink> MakeCameraLink(bool simulate, Session& session,
                                           const CameraLinkOptions& options = {});

}  // namespace talvor
