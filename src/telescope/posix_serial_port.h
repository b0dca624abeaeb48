#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/serial_port.h"
#include "telescope/unique_descriptor.h"

namespace talvor {

class DataDirectory;

// The device behind COM1 (port 0) or COM2 (port 1): the entry "com1" or "com2" of the data
// directory when there is one (normally a symbolic link to /dev/ttyUSB0 or a pseudo-terminal,
// followed even when it leads nowhere, so that a broken link is reported rather than passed
// over), else /dev/ttyS0 or /dev/ttyS1.
std::filesystem::path ComPortDevice(const DataDirectory& dataDirectory, int port);

// How long Gets waits for replies.
struct ReceiveWindows {
    // For the first byte when none is waiting.
    int firstByteMs = 250;
    // For each further byte of a reply already arriving.
    int nextByteMs = 40;
};

// Serial ports on POSIX terminals through termios: real serial devices and pseudo-terminals
// alike. Lines are raw (no echo, no character translation, no flow control), with the receiver
// on and the modem-status lines ignored.
class PosixSerialPort final : public SerialPort {
  public:
    using DeviceFinder = std::function<std::filesystem::path(int port)>;

    explicit PosixSerialPort(DeviceFinder findDevice, ReceiveWindows windows = {});

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

  private:
    // The open descriptor of a port, or a negative SerialError.
    int Descriptor(int port) const;
    int SetModemLine(int port, int line, char command);
    // Waits until the descriptor can be read; false when the time ran out.
    static bool WaitReadable(int descriptor, int milliseconds);

    DeviceFinder findDevice_;
    ReceiveWindows windows_;
    std::array<UniqueDescriptor, 2> ports_;
};

// COM1 and COM2 as the data directory maps them.
std::unique_ptr<SerialPort> MakeComPorts(const DataDirectory& dataDirectory);
// Both COM1 and COM2 leading to one device, as when the program talks to the simulated mount.
std::unique_ptr<SerialPort> MakePortsLeadingTo(const std::filesystem::path& device);

}  // namespace talvor
