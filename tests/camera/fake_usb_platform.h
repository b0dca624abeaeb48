#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "camera/usb_platform.h"

namespace talvor::testing {

using Bytes = std::vector<uint8_t>;

struct FakeMember {
    std::optional<std::string> path;
    bool opens = true;
};

struct FakeDevices {
    std::map<int, FakeMember> hid;
    std::map<int, FakeMember> block;
    bool hidListFails = false;
    bool blockListFails = false;
    PlatformVersion version{6, 1};

    std::vector<std::pair<DeviceClass, int>> asked;
    std::vector<DeviceHandle> closed;
    std::vector<std::pair<DeviceHandle, Bytes>> writes;
    int writeError = 0;
    // Writes fail with writeError only once this many have gone through; none: all fail.
    std::optional<int> writesBeforeFailure;
    std::vector<std::pair<DeviceHandle, std::size_t>> reads;
    Bytes delivered;
    int readError = 0;
    // Reads fail with readError only once this many have gone through; none: all fail.
    std::optional<int> readsBeforeFailure;
};

// The platform calls of the camera link as a test scripts them: the members of each class,
// writes that fail (at once or after a number of them), reads that deliver what is set.
// Hands out handles 100, 101, ... in the order devices are opened.
class FakePlatform final : public UsbPlatform {
  public:
    explicit FakePlatform(FakeDevices& devices) : d_(devices) {}

    bool MakeInterfaceList(DeviceClass kind) override {
        return kind == DeviceClass::Hid ? !d_.hidListFails : !d_.blockListFails;
    }
    bool HasInterface(DeviceClass kind, int member) override {
        d_.asked.emplace_back(kind, member);
        return Members(kind).count(member) > 0;
    }
    std::optional<std::string> DevicePath(DeviceClass kind, int member) override {
        return Members(kind).at(member).path;
    }
    void ReleaseInterfaceLists() override {}
    DeviceHandle Open(DeviceClass kind, const std::string& path) override {
        for (const auto& [index, member] : Members(kind)) {
            if (member.path == path) {
                return member.opens ? next_++ : kNoDevice;
            }
        }
        return kNoDevice;
    }
    void Close(DeviceHandle handle) override {
        if (handle != kNoDevice) {
            d_.closed.push_back(handle);
        }
    }
    IoResult WriteReport(DeviceHandle handle, std::span<const uint8_t> report) override {
        d_.writes.emplace_back(handle, Bytes(report.begin(), report.end()));
        const bool fails =
            d_.writeError != 0 && (!d_.writesBeforeFailure ||
                                   static_cast<int>(d_.writes.size()) > *d_.writesBeforeFailure);
        return {fails ? d_.writeError : 0, fails ? 0 : report.size()};
    }
    IoResult BulkRead(DeviceHandle handle, std::span<uint8_t> destination) override {
        d_.reads.emplace_back(handle, destination.size());
        const bool fails =
            d_.readError != 0 &&
            (!d_.readsBeforeFailure || static_cast<int>(d_.reads.size()) > *d_.readsBeforeFailure);
        const std::size_t bytes =
            std::min(d_.delivered.size(), fails ? destination.size() / 2 : destination.size());
        std::copy_n(d_.delivered.begin(), bytes, destination.begin());
        return {fails ? d_.readError : 0, bytes};
    }
    PlatformVersion Version() override { return d_.version; }

  private:
    std::map<int, FakeMember>& Members(DeviceClass kind) {
        return kind == DeviceClass::Hid ? d_.hid : d_.block;
    }

    FakeDevices& d_;
    DeviceHandle next_ = 100;
};

}  // namespace talvor::testing
