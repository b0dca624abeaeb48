#include "devices/hardware.h"

#include <cstdio>

#include "core/session.h"
#include "devices/camera_link_factory.h"
#include "simulator/mount_simulator_server.h"
#include "telescope/posix_serial_port.h"

namespace talvor {

Hardware::Hardware(Session& session, bool simulate, const CameraUsbIds& cameraIds,
                   const std::filesystem::path& mountLog, CameraTiming cameraTiming)
    : session_(session) {
    CameraLinkOptions options;
    options.usbIds = cameraIds;
    options.timing = cameraTiming;
    if (simulate) {
        MountSimulatorStart started = StartMountSimulator(session.clock);
        mount_ = std::move(started.server);
        if (!started.error.empty()) {
            problem_ = "The simulated mount could not be started: " + started.error;
        }
        if (mount_) {
            // Both COM ports lead to the simulated mount, whatever the settings choose.
            session.telescope.Ports = MakePortsLeadingTo(mount_->DevicePath());
            options.pointing = mount_.get();
            LogMountBytes(mountLog);
        }
    }
    session.camera.Link = MakeCameraLink(simulate, session, options);
}

void Hardware::LogMountBytes(const std::filesystem::path& file) {
    if (file.empty()) {
        return;
    }
    mountLog_.open(file, std::ios::out | std::ios::trunc);
    if (!mountLog_) {
        problem_ = "The mount log " + file.string() + " cannot be written.";
        return;
    }
    const uint32_t start = session_.clock.Milliseconds();
    mount_->SetObserver([this, start](const ReceivedByte& received) {
        const auto byte = static_cast<unsigned char>(received.byte);
        char line[40];
        std::snprintf(line, sizeof line, "%10u ms  0x%02X  %c\n", received.milliseconds - start,
                      byte, byte >= 0x20 && byte < 0x7F ? byte : ' ');
        mountLog_ << line << std::flush;
    });
    // What the mount did (a go-to starting and ending, a sync, a command it does not know)
    // goes between the bytes, on lines of its own without a byte code.
    mount_->SetEventObserver([this, start](const MountEvent& event) {
        char time[24];
        std::snprintf(time, sizeof time, "%10u ms  ", event.milliseconds - start);
        mountLog_ << time << event.text << '\n' << std::flush;
    });
}

Hardware::~Hardware() {
    // The camera and the ports borrow the simulated mount: they go first.
    session_.camera.Link.reset();
    session_.telescope.Ports.reset();
}

}  // namespace talvor
