#include "app/hardware.h"

#include "app/session.h"
#include "camera/camera_link_factory.h"
#include "telescope/mount_simulator_server.h"
#include "telescope/posix_serial_port.h"

namespace talvor {

Hardware::Hardware(Session& session, bool simulate, const CameraUsbId& cameraId)
    : session_(session) {
    CameraLinkOptions options;
    options.usbId = cameraId;
    if (simulate) {
        MountSimulatorStart started = StartMountSimulator(session.clock);
        mount_ = std::move(started.server);
        problem_ = started.error;
        if (mount_) {
            // Both COM ports lead to the simulated mount, whatever the settings choose.
            session.telescope.Ports = MakePortsLeadingTo(mount_->DevicePath());
            options.pointing = mount_.get();
        }
    }
    session.camera.Link = MakeCameraLink(simulate, session, options);
}

Hardware::~Hardware() {
    // The camera and the ports borrow the simulated mount: they go first.
    session_.camera.Link.reset();
    session_.telescope.Ports.reset();
}

}  // namespace talvor
