#include "telescope/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>

#include "core/data_directory.h"

namespace talvor {
namespace {

// The longest a write may wait for room in the transmit queue before it counts as failed.
constexpr int kWriteTimeoutMs = 2000;

bool ValidPort(int port) {
    return port == 0 || port == 1;
}

bool SpeedOfCode(int code, speed_t& speed) {
    static constexpr speed_t kSpeeds[] = {B110,  B300,   B1200,  B2400,  B4800,
                                          B9600, B19200, B38400, B57600, B115200};
    if (code < 0 || code >= static_cast<int>(std::size(kSpeeds))) {
        return false;
    }
    speed = kSpeeds[code];
    return true;
}

int ApplySettings(int descriptor, const termios& settings) {
    return tcsetattr(descriptor, TCSANOW, &settings) == 0 ? 0 : kSerialLineError;
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::filesystem::path ComPortDevice(const DataDirectory& dataDirectory, int port) {
    const std::filesystem::path entry = dataDirectory.Resolve(port == 0 ? "c:\\com1" : "c:\\com2");
    std::error_code error;
    if (std::filesystem::is_symlink(entry, error) || std::filesystem::exists(entry, error)) {
        return entry;
    }
    return port == 0 ? "/dev/ttyS0" : "/dev/ttyS1";
}

PosixSerialPort::PosixSerialPort(DeviceFinder findDevice, ReceiveWindows windows)
    : findDevice_(std::move(findDevice)), windows_(windows) {}

int PosixSerialPort::Descriptor(int port) const {
    if (!ValidPort(port)) {
        return kSerialBadPort;
    }
    return ports_[port].IsOpen() ? ports_[port].Get() : kSerialNotOpen;
}

int PosixSerialPort::Reset(int port, int receiveQueue, int transmitQueue) {
    if (!ValidPort(port)) {
        return kSerialBadPort;
    }
    if (receiveQueue <= 0 || transmitQueue <= 0) {
        return kSerialBadParameter;
    }
    ports_[port].Reset();
    const std::string device = findDevice_(port).string();
    UniqueDescriptor opened(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!opened.IsOpen()) {
        return kSerialCannotOpen;
    }
    termios settings{};
    if (tcgetattr(opened.Get(), &settings) != 0) {
        return kSerialNotTerminal;
    }
    // The kernel keeps its own queues; the sizes asked for only have to make sense.
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (ApplySettings(opened.Get(), settings) != 0) {
        return kSerialLineError;
    }
    tcflush(opened.Get(), TCIOFLUSH);
    ports_[port] = std::move(opened);
    return 0;
}

int PosixSerialPort::Baud(int port, int baudCode) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    speed_t speed = B0;
    termios settings{};
    if (!SpeedOfCode(baudCode, speed)) {
        return kSerialBadParameter;
    }
    if (tcgetattr(descriptor, &settings) != 0 || cfsetispeed(&settings, speed) != 0 ||
        cfsetospeed(&settings, speed) != 0) {
        return kSerialLineError;
    }
    return ApplySettings(descriptor, settings);
}

int PosixSerialPort::Parms(int port, int parity, int stopBits, int dataBits) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    if (parity < 0 || parity > 2 || stopBits < 0 || stopBits > 1 || dataBits < 5 || dataBits > 8) {
        return kSerialBadParameter;
    }
    termios settings{};
    if (tcgetattr(descriptor, &settings) != 0) {
        return kSerialLineError;
    }
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
    settings.c_cflag |= kSizes[dataBits - 5];
    if (parity != 0) {
        settings.c_cflag |= PARENB | (parity == 1 ? PARODD : 0);
    }
    if (stopBits == 1) {
        settings.c_cflag |= CSTOPB;
    }
    return ApplySettings(descriptor, settings);
}

int PosixSerialPort::SetModemLine(int port, int line, char command) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    if (command != kSetLine && command != kClearLine) {
        return kSerialBadParameter;
    }
    int bits = line;
    if (ioctl(descriptor, command == kSetLine ? TIOCMBIS : TIOCMBIC, &bits) == 0) {
        return 0;
    }
    // A pseudo-terminal has no modem lines to set.
    return errno == ENOTTY ? 0 : kSerialLineError;
}

int PosixSerialPort::Dtr(int port, char command) {
    return SetModemLine(port, TIOCM_DTR, command);
}

int PosixSerialPort::Rts(int port, char command) {
    return SetModemLine(port, TIOCM_RTS, command);
}

int PosixSerialPort::Putc(int port, uint8_t byte) {
    const char character = static_cast<char>(byte);
    const int written = Puts(port, &character, 1);
    return written < 0 ? written : 1;
}

int PosixSerialPort::Puts(int port, const char* bytes, int count) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    if (count < 0) {
        return kSerialBadParameter;
    }
    const int64_t giveUp = NowMs() + kWriteTimeoutMs;
    int done = 0;
    while (done < count) {
        const ssize_t written = ::write(descriptor, bytes + done, count - done);
        if (written > 0) {
            done += static_cast<int>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return kSerialWriteError;
        }
        const int64_t left = giveUp - NowMs();
        pollfd wanted{descriptor, POLLOUT, 0};
        if (left <= 0 || ::poll(&wanted, 1, static_cast<int>(left)) < 0) {
            return kSerialWriteError;
        }
    }
    return done;
}

bool PosixSerialPort::WaitReadable(int descriptor, int milliseconds) {
    const int64_t giveUp = NowMs() + milliseconds;
    for (;;) {
        pollfd wanted{descriptor, POLLIN, 0};
        const int64_t left = giveUp - NowMs();
        const int ready = ::poll(&wanted, 1, static_cast<int>(left > 0 ? left : 0));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

int PosixSerialPort::Gets(int port, char* buffer, int maxCount) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    if (maxCount < 0) {
        return kSerialBadParameter;
    }
    int taken = 0;
    int wait = windows_.firstByteMs;
    while (taken < maxCount) {
        if (!WaitReadable(descriptor, wait)) {
            break;
        }
        const ssize_t got = ::read(descriptor, buffer + taken, maxCount - taken);
        if (got < 0 && errno != EAGAIN && errno != EINTR) {
            return taken > 0 ? taken : kSerialReadError;
        }
        if (got == 0) {
            break;  // hung up: nothing more will come
        }
        if (got > 0) {
            taken += static_cast<int>(got);
        }
        wait = windows_.nextByteMs;
    }
    return taken;
}

int PosixSerialPort::RxClear(int port) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    return tcflush(descriptor, TCIFLUSH) == 0 ? 0 : kSerialLineError;
}

int PosixSerialPort::Done(int port) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    ports_[port].Reset();
    return 0;
}

std::unique_ptr<SerialPort> MakeComPorts(const DataDirectory& dataDirectory) {
    return std::make_unique<PosixSerialPort>(
        [dataDirectory](int port) { return ComPortDevice(dataDirectory, port); });
}

std::unique_ptr<SerialPort> MakePortsLeadingTo(const std::filesystem::path& device) {
    return std::make_unique<PosixSerialPort>([device](int) { return device; });
}

}  // namespace talvor
