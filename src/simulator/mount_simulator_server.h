#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/pointing_offset.h"
#include "simulator/focuser_model.h"
#include "simulator/mount_model.h"
#include "simulator/mount_protocol.h"
#include "telescope/unique_descriptor.h"

namespace talvor {

class Clock;
class MountSimulatorServer;

// The simulator once started, or why it could not be.
struct MountSimulatorStart {
    std::unique_ptr<MountSimulatorServer> server;
    std::string error;
};

// Opens a pseudo-terminal and serves the simulated mount on it until the server is destroyed.
// The program then reaches it through MakePortsLeadingTo(server->DevicePath()), and the
// simulated camera takes the server as its pointing source.
MountSimulatorStart StartMountSimulator(Clock& clock, const MountConfig& config = MountConfig{});

// A byte the simulated mount received, with the clock's time when it arrived.
struct ReceivedByte {
    uint32_t milliseconds;
    uint8_t byte;
};

// The simulated mount's state at a moment, for tests and the stand-alone program.
struct MountSnapshot {
    PointingOffset offset;
    MoveRate rate = MoveRate::Slew;
    char raMotion = '\0';
    char decMotion = '\0';
    double focuserPosition = 0;
    bool focuserRunning = false;
    std::optional<SkyObject> target;
    int slewsStarted = 0;
    int boxResets = 0;
    // The coordinates the mount's readout gives, where it really points, and what it does.
    SkyPosition reported;
    SkyPosition sky;
    HorizontalPosition horizontal;
    bool slewing = false;
    bool tracking = true;
};

// The simulated mount served on a pseudo-terminal, so that the program's own serial code talks
// to it as to a real mount on a serial port. A thread of its own owns the terminal's master
// side, answers every byte and keeps a log of the bytes with their times; the simulated camera
// asks it where the mount points. The clock must be readable from that thread (the system
// clock is).
class MountSimulatorServer final : public PointingSource {
  public:
    using ByteObserver = std::function<void(const ReceivedByte&)>;
    using EventObserver = std::function<void(const MountEvent&)>;

    ~MountSimulatorServer() override;
    MountSimulatorServer(const MountSimulatorServer&) = delete;
    MountSimulatorServer& operator=(const MountSimulatorServer&) = delete;

    // The terminal the program opens: "/dev/pts/N".
    const std::filesystem::path& DevicePath() const { return devicePath_; }

    PointingOffset OffsetAt(uint32_t milliseconds) override;
    MountSnapshot Snapshot(uint32_t milliseconds) const;

    // The bytes received so far (the most recent 100000), oldest first.
    std::vector<ReceivedByte> ReceivedBytes() const;
    void ClearReceived();
    // Waits until at least count bytes are in the log; false when the time ran out.
    bool WaitForReceived(std::size_t count, int timeoutMs) const;
    // Called on the server's thread for every byte as it arrives.
    void SetObserver(ByteObserver observer);
    // Called on the server's thread for every event of the mount (a go-to that starts and
    // ends, a sync, a pulse, an unknown command), at its time.
    void SetEventObserver(EventObserver observer);

  private:
    friend MountSimulatorStart StartMountSimulator(Clock& clock, const MountConfig& config);

    MountSimulatorServer(Clock& clock, const MountConfig& config, UniqueDescriptor master,
                         UniqueDescriptor slave, UniqueDescriptor wakeRead,
                         UniqueDescriptor wakeWrite, std::filesystem::path devicePath);
    void Serve();
    // Takes bytes from the program; returns the mount's answers.
    std::string Take(const uint8_t* bytes, std::size_t count);
    // How long the thread may wait for bytes before the mount has something to report.
    int WaitMs();

    Clock& clock_;
    UniqueDescriptor master_;
    UniqueDescriptor slave_;  // kept open so the terminal stays up between the program's opens
    UniqueDescriptor wakeRead_;
    UniqueDescriptor wakeWrite_;
    std::filesystem::path devicePath_;

    mutable std::mutex mutex_;
    mutable std::condition_variable received_;
    MountModel mount_;
    FocuserModel focuser_;
    MountProtocol protocol_;
    std::deque<ReceivedByte> log_;
    ByteObserver observer_;
    EventObserver eventObserver_;

    std::thread thread_;
};

}  // namespace talvor
