#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/pointing_offset.h"
#include "core/serial_port.h"
#include "simulator/focuser_model.h"
#include "simulator/mount_model.h"
#include "simulator/mount_protocol.h"

namespace talvor {

class Clock;

// The simulated mount wired straight to the program's serial port, in the calling thread: every
// byte the program queues is taken by the mount at once, at the clock's time, and its answers
// wait to be read. Both COM ports lead to it. Without a pseudo-terminal and a thread of its own
// it runs as fast as the clock the program reads, so a test clock can drive long guiding runs.
// The simulated camera takes it as its pointing source.
class MountLoopbackPort final : public SerialPort, public PointingSource {
  public:
    MountLoopbackPort(Clock& clock, const MountConfig& config);

    int Reset(int port, int receiveQueue, int transmitQueue) override;
    int Baud(int port, int baudCode) override;
    int Parms(int port, int parity, int stopBits, int dataBits) override;
    int Dtr(int port, char command) override;
    int Rts(int port, char command) override;
    int Putc(int port, uint8_t byte) override;
    int Puts(int port, const char* bytes, int count) override;
    int Gets(int port, char* buffer, int maxCount) override;
    int RxClear(int port) override;
    int Done(int port) override;

    PointingOffset OffsetAt(uint32_t milliseconds) override {
        return mount_.OffsetAt(milliseconds);
    }
    const MountModel& Mount() const { return mount_; }
    const MountProtocol& Protocol() const { return protocol_; }
    // Bytes taken so far.
    std::size_t BytesReceived() const { return received_; }

  private:
    // 0 when the port is open, else the error.
    int Check(int port) const;

    Clock& clock_;
    MountModel mount_;
    FocuserModel focuser_;
    MountProtocol protocol_;
    std::array<bool, 2> open_{};
    std::string answers_;
    std::size_t received_ = 0;
};

}  // namespace talvor
