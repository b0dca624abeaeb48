#include "devices/camera_link_factory.h"

#include "camera/linux_usb_platform.h"
#include "camera/usb_camera_link.h"
#include "simulator/simulated_camera.h"

namespace talvor {

std::unique_ptr<CameraLink> MakeCameraLink(bool simulate, Session& session,
                                           const CameraLinkOptions& options) {
    if (simulate) {
        return std::make_unique<SimulatedCamera>(session, options.simulation, options.pointing,
                                                 PaceFor(options.timing));
    }
    return std::make_unique<UsbCameraLink>(session,
                                           std::make_unique<LinuxUsbPlatform>(options.usbIds));
}

}  // namespace talvor
