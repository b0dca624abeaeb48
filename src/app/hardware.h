#pragma once

#include <memory>
#include <string>

#include "camera/camera_recognition.h"

namespace talvor {

struct Session;
class MountSimulatorServer;

// The camera and mount of the run: the hardware, or with simulate the simulated mount on a
// pseudo-terminal and the simulated camera whose sky it moves. Keeps the simulator running as
// long as it lives.
class Hardware {
  public:
    Hardware(Session& session, bool simulate, const CameraUsbId& cameraId);
    ~Hardware();
    Hardware(const Hardware&) = delete;
    Hardware& operator=(const Hardware&) = delete;

    // Why the simulated mount could not be started; empty when all is well.
    const std::string& Problem() const { return problem_; }
    MountSimulatorServer* SimulatedMount() const { return mount_.get(); }

  private:
    Session& session_;
    std::unique_ptr<MountSimulatorServer> mount_;
    std::string problem_;
};

}  // namespace talvor
