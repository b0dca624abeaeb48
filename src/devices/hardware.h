#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "camera/camera_recognition.h"
#include "simulator/simulated_camera_timing.h"

namespace talvor {

struct Session;
class MountSimulatorServer;

// The camera and mount of the run: the hardware, or with simulate the simulated mount on a
// pseudo-terminal and the simulated camera whose sky it moves. Keeps the simulator running as
// long as it lives. A mount log, when named, gets one line for every byte the simulated mount
// receives: its time in milliseconds, its code and the character; and one line for everything
// the mount does (a go-to starting and ending, a sync): its time and what it did. The simulated
// camera takes a real camera's time unless the timing says Fast.
class Hardware {
  public:
    Hardware(Session& session, bool simulate, const CameraUsbIds& cameraIds,
             const std::filesystem::path& mountLog = {},
             CameraTiming cameraTiming = CameraTiming::Real);
    ~Hardware();
    Hardware(const Hardware&) = delete;
    Hardware& operator=(const Hardware&) = delete;

    // What went wrong in starting the simulated mount or its log; empty when all is well.
    const std::string& Problem() const { return problem_; }
    MountSimulatorServer* SimulatedMount() const { return mount_.get(); }

  private:
    void LogMountBytes(const std::filesystem::path& file);

    Session& session_;
    std::ofstream mountLog_;  // written on the simulated mount's thread only
    std::unique_ptr<MountSimulatorServer> mount_;
    std::string problem_;
};

}  // namespace talvor
