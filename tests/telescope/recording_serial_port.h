#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/serial_port.h"

namespace talvor::testing {

// A serial port that writes down every call and every byte queued, answers reads from a script
// and fails the operations a test names. It starts open; once closed (Done) every operation but
// Reset fails as not open, as a real port does.
class RecordingSerialPort final : public SerialPort {
  public:
    int Reset(int port, int receiveQueue, int transmitQueue) override {
        const int result =
            Call("Reset " + std::to_string(port) + " " + std::to_string(receiveQueue) + " " +
                     std::to_string(transmitQueue),
                 "Reset");
        closed = result < 0;
        return result;
    }
    int Baud(int port, int baudCode) override {
        return Call("Baud " + std::to_string(port) + " " + std::to_string(baudCode), "Baud");
    }
    int Parms(int port, int parity, int stopBits, int dataBits) override {
        return Call("Parms " + std::to_string(port) + " " + std::to_string(parity) + " " +
                        std::to_string(stopBits) + " " + std::to_string(dataBits),
                    "Parms");
    }
    int Dtr(int port, char command) override {
        return Call("Dtr " + std::to_string(port) + " " + command, "Dtr");
    }
    int Rts(int port, char command) override {
        return Call("Rts " + std::to_string(port) + " " + command, "Rts");
    }
    int Putc(int port, uint8_t byte) override {
        const int result = Call("Putc " + std::to_string(port), "Putc");
        if (result >= 0) {
            written += static_cast<char>(byte);
        }
        return result < 0 ? result : 1;
    }
    int Puts(int port, const char* bytes, int count) override {
        const int result = Call("Puts " + std::to_string(port), "Puts");
        if (result >= 0) {
            written.append(bytes, count);
        }
        return result < 0 ? result : count;
    }
    int Gets(int port, char* buffer, int maxCount) override {
        if (const int result = Call("Gets " + std::to_string(port), "Gets"); result < 0) {
            return result;
        }
        const int count = std::min<int>(maxCount, static_cast<int>(incoming.size()));
        incoming.copy(buffer, count);
        incoming.erase(0, count);
        return count;
    }
    int RxClear(int port) override { return Call("RxClear " + std::to_string(port), "RxClear"); }
    int Done(int port) override {
        const int result = Call("Done " + std::to_string(port), "Done");
        closed = true;
        return result;
    }
    std::string DeviceName(int) const override { return "/dev/ttyREC0"; }

    // The calls other than byte traffic, in order ("Reset 0 1024 1024", "Dtr 0 S", ...).
    std::vector<std::string> Setup() const {
        std::vector<std::string> setup;
        for (const std::string& call : calls) {
            if (call.rfind("Put", 0) != 0 && call.rfind("Gets", 0) != 0) {
                setup.push_back(call);
            }
        }
        return setup;
    }

    std::vector<std::string> calls;
    std::string written;
    std::string incoming;
    // Operation name -> the result it gives instead of success.
    std::map<std::string, int> failing;
    bool closed = false;

  private:
    int Call(std::string call, const std::string& operation) {
        const bool wasClosed = closed && operation != "Reset";
        calls.push_back(std::move(call));
        if (wasClosed) {
            return kSerialNotOpen;
        }
        const auto failure = failing.find(operation);
        return failure == failing.end() ? 0 : failure->second;
    }
};

}  // namespace talvor::testing
