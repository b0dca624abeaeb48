#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/serial_port.h"
#include "telescope/unique_descriptor.h"

namespace talvor {

class DataDirectory;

// The device behind COM1 (port 0) or COM2 (port 1): the entry "com1" or "com2" of the data
// directory when there is one (normally a symbolic link to /dev/ttyUSB0 or a pseudo-terminal,
// followed even when it leads nowhere, so that a broken link is reported rather than passed
// over), else /dev/ttyS0 or /dev/ttyS1.
std::filesystem::path ComPortDevice(const DataDirectory& dataDirectory, int port);

// How long the port's own operations wait on the device.
struct PortTimeouts {
    // Gets: for the first byte when none is waiting, and for each further byte of a reply
    // already arriving.
    int firstByteMs = 250;
    int nextByteMs = 40;
    // Puts: for room in the transmit queue, before the write counts as failed (a stalled device,
    // or a line held back by flow control).
    int writeMs = 2000;
};

// Words for the reason of a failed open or transfer, from its errno: the device not there,
// busy, not permitted ("add yourself to the dialout group"), hung up, or the system's text.
std::string SerialErrorText(int errorNumber);

// Serial ports on POSIX terminals through termios: real serial devices and pseudo-terminals
// alike. Lines are raw 8N1 (no echo, no character translation) with every kind of flow control
// off, whatever another program left set, the receiver on and the modem-status lines ignored.
// An open port is locked (flock), so that programs which lock it the same way see it busy.
class PosixSerialPort final : public SerialPort {
  public:
    using DeviceFinder = std::function<std::filesystem::path(int port)>;

    explicit PosixSerialPort(DeviceFinder findDevice, PortTimeouts timeouts = {});

    int Reset(int port, int receiveQueue, int transmitQueue) override;
    int Baud(int port, int baudCode) override;
    int Parms(int port, int parity, int stopBits, int dataBits) override;
    int Dtr(int port, char command) override;
    int Rts(int port, char command) override;
    int Putc(int port, uint8_t byte) override;
    int Puts(int port, const char* bytes, int count) override;
    int Gets(int port, char* buffer, int maxCount) override;
    int TakeReceived(int port, char* buffer, int maxCount) override;
    int RxClear(int port) override;
    int Done(int port) override;
    // The device path, and where a symbolic link leads ("com1 -> /dev/ttyUSB0").
    std::string DeviceName(int port) const override;
    std::string FailureReason(int port) const override;

  private:
    // The open descriptor of a port, or a negative SerialError.
    int Descriptor(int port) const;
    int SetModemLine(int port, int line, char command);
    // Notes the reason of a failure and passes its code on.
    int Failed(int port, int code, std::string reason);
    // Reads what is waiting on a readable descriptor: the count, 0 when nothing was there after
    // all, or kSerialReadError when the device hung up.
    int ReadWaiting(int port, int descriptor, char* buffer, int maxCount);
    // Waits until the descriptor can be read; false when the time ran out.
    static bool WaitReadable(int descriptor, int milliseconds);

    DeviceFinder findDevice_;
    PortTimeouts timeouts_;
    std::array<UniqueDescriptor, 2> ports_;
    std::array<std::string, 2> failures_;
};

// COM1 and COM2 as the data directory maps them.
std::unique_ptr<SerialPort> MakeComPorts(const DataDirectory& dataDirectory);
// Both COM1 and COM2 leading to one device, as when the program talks to the simulated mount.
std::unique_ptr<SerialPort> MakePortsLeadingTo(const std::filesystem::path& device);

}  // namespace talvor
