#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/serial_port.h"

namespace talvor::testing {

// An LX200 on a test clock, as real ones misbehave: it answers each command from a table after
// a delay, one byte every so often, and it can hang up or stall. What it was sent is written
// down with the clock's time.
class TimedMountPort final : public SerialPort {
  public:
    explicit TimedMountPort(Clock& clock) : clock_(clock) {}

    // Command (as one write carries it) -> answer.
    std::map<std::string, std::string> answers;
    // The answer's first byte comes this long after the command, each further one after a gap.
    uint32_t answerDelayMs = 0;
    uint32_t byteGapMs = 0;
    // Once the mount has taken this many writes, it hangs up: writes and reads then fail as
    // the real port's do when the cable is pulled.
    int hangUpAfterWrites = -1;
    // Or it hangs up once the clock reaches this moment.
    std::optional<uint32_t> hangUpAtMs;
    // Writes are not taken at all: the line is held back.
    bool stalled = false;

    struct Write {
        uint32_t milliseconds;
        std::string bytes;
    };
    std::vector<Write> writes;
    int opens = 0;

    std::string Written() const {
        std::string bytes;
        for (const Write& write : writes) {
            bytes += write.bytes;
        }
        return bytes;
    }

    int Reset(int, int, int) override {
        ++opens;
        open_ = !hungUp_;
        return open_ ? 0 : Fail(kSerialCannotOpen, "the device is not there");
    }
    int Baud(int, int) override { return Check(); }
    int Parms(int, int, int, int) override { return Check(); }
    int Dtr(int, char) override { return Check(); }
    int Rts(int, char) override { return Check(); }
    int Putc(int port, uint8_t byte) override {
        const char character = static_cast<char>(byte);
        const int result = Puts(port, &character, 1);
        return result < 0 ? result : 1;
    }
    int Puts(int, const char* bytes, int count) override {
        if (const int error = Check(); error < 0) {
            return error;
        }
        if (HungUp() || static_cast<int>(writes.size()) == hangUpAfterWrites) {
            hungUp_ = true;
            return Fail(kSerialWriteError, "the device hung up");
        }
        if (stalled) {
            return Fail(kSerialWriteError, "the line is held back");
        }
        const uint32_t now = clock_.Milliseconds();
        writes.push_back({now, std::string(bytes, static_cast<std::size_t>(count))});
        const auto answer = answers.find(writes.back().bytes);
        if (answer != answers.end()) {
            uint32_t at = now + answerDelayMs;
            for (const char character : answer->second) {
                pending_.push_back({at, character});
                at += byteGapMs;
            }
        }
        return count;
    }
    int Gets(int, char* buffer, int maxCount) override {
        if (const int error = Check(); error < 0) {
            return error;
        }
        if (HungUp()) {
            return Fail(kSerialReadError, "the device hung up");
        }
        int taken = 0;
        while (taken < maxCount && !pending_.empty() &&
               DeadlineReached(clock_.Milliseconds(), pending_.front().milliseconds)) {
            buffer[taken++] = pending_.front().character;
            pending_.pop_front();
        }
        return taken;
    }
    int RxClear(int) override {
        // Bytes already on their way arrive after the clear; only the arrived ones go.
        while (!pending_.empty() &&
               DeadlineReached(clock_.Milliseconds(), pending_.front().milliseconds)) {
            pending_.pop_front();
        }
        return Check();
    }
    int Done(int) override {
        const int error = Check();
        open_ = false;
        return error;
    }
    std::string DeviceName(int) const override { return "/dev/ttyFAKE0"; }
    std::string FailureReason(int) const override { return failure_; }

  private:
    struct PendingByte {
        uint32_t milliseconds;
        char character;
    };

    int Check() const { return open_ ? 0 : kSerialNotOpen; }
    bool HungUp() {
        if (hangUpAtMs && DeadlineReached(clock_.Milliseconds(), *hangUpAtMs)) {
            hungUp_ = true;
        }
        return hungUp_;
    }
    int Fail(int code, std::string reason) {
        failure_ = std::move(reason);
        return code;
    }

    Clock& clock_;
    bool open_ = true;
    bool hungUp_ = false;
    std::string failure_;
    std::deque<PendingByte> pending_;
};

}  // namespace talvor::testing
