#include "simulator/mount_loopback_port.h"

#include <algorithm>

#include "core/clock.h"

namespace talvor {

MountLoopbackPort::MountLoopbackPort(Clock& clock, const MountConfig& config)
    : clock_(clock), mount_(config, clock.Milliseconds()), protocol_(mount_, focuser_) {}

int MountLoopbackPort::Check(int port) const {
    if (port != 0 && port != 1) {
        return kSerialBadPort;
    }
    return open_[port] ? 0 : kSerialNotOpen;
}

int MountLoopbackPort::Reset(int port, int, int) {
    if (port != 0 && port != 1) {
        return kSerialBadPort;
    }
    open_[port] = true;
    answers_.clear();
    return 0;
}

int MountLoopbackPort::Baud(int port, int) {
    return Check(port);
}

int MountLoopbackPort::Parms(int port, int, int, int) {
    return Check(port);
}

int MountLoopbackPort::Dtr(int port, char) {
    return Check(port);
}

int MountLoopbackPort::Rts(int port, char) {
    return Check(port);
}

int MountLoopbackPort::Putc(int port, uint8_t byte) {
    const char character = static_cast<char>(byte);
    return Puts(port, &character, 1);
}

int MountLoopbackPort::Puts(int port, const char* bytes, int count) {
    if (const int error = Check(port); error < 0) {
        return error;
    }
    // One moment for the whole write, as the bytes of a short command arrive together.
    const uint32_t now = clock_.Milliseconds();
    for (int i = 0; i < count; ++i) {
        answers_ += protocol_.Receive(static_cast<uint8_t>(bytes[i]), now);
    }
    received_ += static_cast<std::size_t>(std::max(count, 0));
    return count;
}

int MountLoopbackPort::Gets(int port, char* buffer, int maxCount) {
    if (const int error = Check(port); error < 0) {
        return error;
    }
    const int count = std::min<int>(maxCount, static_cast<int>(answers_.size()));
    answers_.copy(buffer, static_cast<std::size_t>(std::max(count, 0)));
    answers_.erase(0, static_cast<std::size_t>(std::max(count, 0)));
    return count;
}

int MountLoopbackPort::RxClear(int port) {
    if (const int error = Check(port); error < 0) {
        return error;
    }
    answers_.clear();
    return 0;
}

int MountLoopbackPort::Done(int port) {
    if (const int error = Check(port); error < 0) {
        return error;
    }
    open_[port] = false;
    return 0;
}

}  // namespace talvor
