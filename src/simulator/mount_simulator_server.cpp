#include "simulator/mount_simulator_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/clock.h"

namespace talvor {
namespace {

constexpr std::size_t kLogLength = 100000;

std::string SystemError(const char* step) {
    return std::string(step) + ": " + std::strerror(errno);
}

// Raw line: the terminal neither echoes nor translates what passes through it.
void MakeRaw(int descriptor) {
    termios settings{};
    if (tcgetattr(descriptor, &settings) == 0) {
        cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        tcsetattr(descriptor, TCSANOW, &settings);
    }
}

}  // namespace

MountSimulatorStart StartMountSimulator(Clock& clock, const MountConfig& config) {
    UniqueDescriptor master(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.IsOpen()) {
        return {nullptr, SystemError("posix_openpt")};
    }
    if (grantpt(master.Get()) != 0 || unlockpt(master.Get()) != 0) {
        return {nullptr, SystemError("unlockpt")};
    }
    char name[128];
    if (ptsname_r(master.Get(), name, sizeof name) != 0) {
        return {nullptr, SystemError("ptsname")};
    }
    UniqueDescriptor slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.IsOpen()) {
        return {nullptr, SystemError(name)};
    }
    MakeRaw(slave.Get());
    fcntl(master.Get(), F_SETFL, fcntl(master.Get(), F_GETFL) | O_NONBLOCK);
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return {nullptr, SystemError("pipe")};
    }
    std::unique_ptr<MountSimulatorServer> server(
        new MountSimulatorServer(clock, config, std::move(master), std::move(slave),
                                 UniqueDescriptor(wake[0]), UniqueDescriptor(wake[1]), name));
    server->thread_ = std::thread([raw = server.get()] { raw->Serve(); });
    return {std::move(server), {}};
}

MountSimulatorServer::MountSimulatorServer(Clock& clock, const MountConfig& config,
                                           UniqueDescriptor master, UniqueDescriptor slave,
                                           UniqueDescriptor wakeRead, UniqueDescriptor wakeWrite,
                                           std::filesystem::path devicePath)
    : clock_(clock),
      master_(std::move(master)),
      slave_(std::move(slave)),
      wakeRead_(std::move(wakeRead)),
      wakeWrite_(std::move(wakeWrite)),
      devicePath_(std::move(devicePath)),
      mount_(config, clock.Milliseconds()),
      protocol_(mount_, focuser_) {
    protocol_.SetEventSink([this](const MountEvent& event) {
        if (eventObserver_) {
            eventObserver_(event);
        }
    });
}

MountSimulatorServer::~MountSimulatorServer() {
    if (thread_.joinable()) {
        const char stop = 1;
        while (::write(wakeWrite_.Get(), &stop, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
}

void MountSimulatorServer::Serve() {
    uint8_t bytes[256];
    for (;;) {
        pollfd watched[2] = {{master_.Get(), POLLIN, 0}, {wakeRead_.Get(), POLLIN, 0}};
        const int ready = ::poll(watched, 2, WaitMs());
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (watched[1].revents != 0) {
            return;
        }
        if (ready == 0) {
            std::lock_guard lock(mutex_);
            protocol_.Advance(clock_.Milliseconds());
            continue;
        }
        const ssize_t got = ::read(master_.Get(), bytes, sizeof bytes);
        if (got <= 0) {
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            // The slave end is held open here, so this is not a hang-up; wait a little.
            poll(nullptr, 0, 5);
            continue;
        }
        const std::string answer = Take(bytes, static_cast<std::size_t>(got));
        std::size_t sent = 0;
        while (sent < answer.size()) {
            const ssize_t written =
                ::write(master_.Get(), answer.data() + sent, answer.size() - sent);
            if (written > 0) {
                sent += static_cast<std::size_t>(written);
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            } else {
                pollfd room{master_.Get(), POLLOUT, 0};
                if (::poll(&room, 1, 100) <= 0) {
                    break;  // nobody reads the answers; they are dropped
                }
            }
        }
    }
}

int MountSimulatorServer::WaitMs() {
    std::lock_guard lock(mutex_);
    const std::optional<uint32_t> next = protocol_.NextEventMs();
    if (!next) {
        return -1;
    }
    const auto until = static_cast<int32_t>(*next - clock_.Milliseconds());
    return until > 0 ? until : 0;
}

std::string MountSimulatorServer::Take(const uint8_t* bytes, std::size_t count) {
    std::string answer;
    const uint32_t now = clock_.Milliseconds();
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < count; ++i) {
            const ReceivedByte received{now, bytes[i]};
            log_.push_back(received);
            if (log_.size() > kLogLength) {
                log_.pop_front();
            }
            if (observer_) {
                observer_(received);
            }
            answer += protocol_.Receive(bytes[i], now);
        }
    }
    received_.notify_all();
    return answer;
}

PointingOffset MountSimulatorServer::OffsetAt(uint32_t milliseconds) {
    std::lock_guard lock(mutex_);
    return mount_.OffsetAt(milliseconds);
}

MountSnapshot MountSimulatorServer::Snapshot(uint32_t milliseconds) const {
    std::lock_guard lock(mutex_);
    MountSnapshot snapshot;
    snapshot.offset = mount_.OffsetAt(milliseconds);
    snapshot.rate = protocol_.Rate();
    snapshot.raMotion = mount_.RaMotion();
    snapshot.decMotion = mount_.DecMotion();
    snapshot.focuserPosition = focuser_.PositionAt(milliseconds);
    snapshot.focuserRunning = focuser_.Running();
    snapshot.target = protocol_.Target();
    snapshot.slewsStarted = protocol_.SlewsStarted();
    snapshot.boxResets = protocol_.BoxResets();
    snapshot.reported = mount_.ReportedAt(milliseconds);
    snapshot.sky = mount_.SkyAt(milliseconds);
    snapshot.horizontal = mount_.HorizontalAt(milliseconds);
    snapshot.slewing = mount_.SlewingAt(milliseconds);
    snapshot.tracking = mount_.Tracking();
    return snapshot;
}

std::vector<ReceivedByte> MountSimulatorServer::ReceivedBytes() const {
    std::lock_guard lock(mutex_);
    return {log_.begin(), log_.end()};
}

void MountSimulatorServer::ClearReceived() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

bool MountSimulatorServer::WaitForReceived(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return log_.size() >= count; });
}

void MountSimulatorServer::SetObserver(ByteObserver observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

void MountSimulatorServer::SetEventObserver(EventObserver observer) {
    std::lock_guard lock(mutex_);
    eventObserver_ = std::move(observer);
}

}  // namespace talvor
