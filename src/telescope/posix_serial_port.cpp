#include "telescope/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <system_error>

#include "core/data_directory.h"

namespace talvor {
namespace {

constexpr const char* kNotASerialLine = "it is not a serial port";
constexpr const char* kStalled =
    "it took no bytes in time (the device stalled, or flow control holds the line)";
constexpr const char* kHungUp = "the device hung up (unplugged or switched off)";

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

std::string SerialErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "the device is not there - is the cable plugged in?";
        case EBUSY:
        case EWOULDBLOCK:
            return "the device is busy - another program is using it";
        case EACCES:
        case EPERM:
            return "permission denied - add yourself to the dialout group";
        case EIO:
        case EPIPE:
            return kHungUp;
        default:
            return std::strerror(errorNumber);
    }
}

std::filesystem::path ComPortDevice(const DataDirectory& dataDirectory, int port) {
    const std::filesystem::path entry = dataDirectory.Resolve(port == 0 ? "c:\\com1" : "c:\\com2");
    std::error_code error;
    if (std::filesystem::is_symlink(entry, error) || std::filesystem::exists(entry, error)) {
        return entry;
    }
    return port == 0 ? "/dev/ttyS0" : "/dev/ttyS1";
}

PosixSerialPort::PosixSerialPort(DeviceFinder findDevice, PortTimeouts timeouts)
    : findDevice_(std::move(findDevice)), timeouts_(timeouts) {}

int PosixSerialPort::Failed(int port, int code, std::string reason) {
    failures_[port] = std::move(reason);
    return code;
}

std::string PosixSerialPort::DeviceName(int port) const {
    if (!ValidPort(port)) {
        return {};
    }
    const std::filesystem::path device = findDevice_(port);
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(device, error);
    return error ? device.string() : device.string() + " -> " + target.string();
}

std::string PosixSerialPort::FailureReason(int port) const {
    return ValidPort(port) ? failures_[port] : std::string();
}

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
    failures_[port].clear();
    const std::string device = findDevice_(port).string();
    UniqueDescriptor opened(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!opened.IsOpen()) {
        return Failed(port, kSerialCannotOpen, SerialErrorText(errno));
    }
    // Programs that share serial lines lock them this way while they use them.
    if (::flock(opened.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return Failed(port, kSerialCannotOpen, SerialErrorText(EBUSY));
    }
    termios settings{};
    if (tcgetattr(opened.Get(), &settings) != 0) {
        return Failed(port, kSerialNotTerminal, kNotASerialLine);
    }
    // The kernel keeps its own queues; the sizes asked for only have to make sense.
    cfmakeraw(&settings);
    // Raw mode keeps the flow control another program may have left on, and then the mount's
    // commands would wait silently for a signal that never comes: 8N1, no flow control at all.
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (ApplySettings(opened.Get(), settings) != 0) {
        return Failed(port, kSerialLineError, SerialErrorText(errno));
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
    const int64_t giveUp = NowMs() + timeouts_.writeMs;
    int done = 0;
    while (done < count) {
        const ssize_t written = ::write(descriptor, bytes + done, count - done);
        if (written > 0) {
            done += static_cast<int>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return Failed(port, kSerialWriteError, SerialErrorText(errno));
        }
        const int64_t left = giveUp - NowMs();
        pollfd wanted{descriptor, POLLOUT, 0};
        if (left <= 0 || (::poll(&wanted, 1, static_cast<int>(left)) < 0 && errno != EINTR)) {
            return Failed(port, kSerialWriteError, kStalled);
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
    int wait = timeouts_.firstByteMs;
    while (taken < maxCount) {
        if (!WaitReadable(descriptor, wait)) {
            break;
        }
        const int got = ReadWaiting(port, descriptor, buffer + taken, maxCount - taken);
        if (got < 0) {
            // Hung up: nothing more will come; what did come is still the caller's.
            return taken > 0 ? taken : got;
        }
        taken += got;
        wait = timeouts_.nextByteMs;
    }
    return taken;
}

int PosixSerialPort::TakeReceived(int port, char* buffer, int maxCount) {
    const int descriptor = Descriptor(port);
    if (descriptor < 0) {
        return descriptor;
    }
    if (maxCount < 0) {
        return kSerialBadParameter;
    }
    if (maxCount == 0 || !WaitReadable(descriptor, 0)) {
        return 0;
    }
    return ReadWaiting(port, descriptor, buffer, maxCount);
}

int PosixSerialPort::ReadWaiting(int port, int descriptor, char* buffer, int maxCount) {
    const ssize_t got = ::read(descriptor, buffer, static_cast<std::size_t>(maxCount));
    if (got > 0) {
        return static_cast<int>(got);
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return 0;
    }
    // A readable line that gives no bytes has hung up (the other end closed, the adapter was
    // unplugged); the line stays readable, so this is what every later read will find too.
    return Failed(port, kSerialReadError, got == 0 ? kHungUp : SerialErrorText(errno));
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
