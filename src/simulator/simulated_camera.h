#pragma once

#include <memory>

#include "camera/usb_camera_link.h"
#include "core/camera_link.h"
#include "simulator/simulated_camera_device.h"
#include "simulator/simulated_camera_timing.h"
#include "simulator/steady_drift.h"

namespace talvor {

struct Session;

// The camera the program uses when there is no hardware. The link's own rules (discovery,
// report layout, messages) run unchanged over a simulated USB pair whose far end is the
// simulated camera's firmware. A file named "lenscap" in the data directory caps the simulated
// telescope for as long as it is there: that is how dark frames are taken with the simulator.
// With a pace the USB pair takes the camera's time (simulated_camera_timing.h): each report,
// each block's transfer, and the exposures the camera times itself; without one it answers at
// once.
class SimulatedCamera final : public CameraLink {
  public:
    // `pointing` is borrowed; without one, the sky drifts steadily.
    SimulatedCamera(Session& session, const SimulatedCameraSettings& settings,
                    PointingSource* pointing = nullptr, std::unique_ptr<CameraPace> pace = nullptr);

    bool FindCamera() override { return link_.FindCamera(); }
    void SendCommand(std::span<const uint8_t> bytes) override { link_.SendCommand(bytes); }
    void ReadBlock() override { link_.ReadBlock(); }

    // Hands the pointing to a simulated mount, or back to the steady drift with nullptr.
    void SetPointingSource(PointingSource* pointing);
    SimulatedCameraDevice& Device() { return device_; }

  private:
    std::unique_ptr<CameraPace> pace_;
    SteadyDrift drift_;
    SimulatedCameraDevice device_;
    UsbCameraLink link_;
};

}  // namespace talvor
