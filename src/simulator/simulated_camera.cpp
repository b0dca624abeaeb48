#include "simulator/simulated_camera.h"

#include <cerrno>
#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "core/session.h"

namespace talvor {
namespace {

constexpr DeviceHandle kControlHandle = 1;
constexpr DeviceHandle kBlockHandle = 2;

// One control and one block interface, always present, wired to the simulated firmware.
class SimulatedUsbPair final : public UsbPlatform {
  public:
    explicit SimulatedUsbPair(SimulatedCameraDevice& device) : device_(device) {}

    bool MakeInterfaceList(DeviceClass) override { return true; }
    bool HasInterface(DeviceClass, int member) override { return member == 0; }
    std::optional<std::string> DevicePath(DeviceClass kind, int) override {
        return kind == DeviceClass::Hid ? "simulated:control" : "simulated:block";
    }
    void ReleaseInterfaceLists() override {}
    DeviceHandle Open(DeviceClass kind, const std::string&) override {
        return kind == DeviceClass::Hid ? kControlHandle : kBlockHandle;
    }
    void Close(DeviceHandle) override {}

    IoResult WriteReport(DeviceHandle handle, std::span<const uint8_t> report) override {
        if (handle != kControlHandle) {
            return {EBADF, 0};
        }
        device_.ReceiveReport(report);
        return {0, report.size()};
    }
    IoResult BulkRead(DeviceHandle handle, std::span<uint8_t> destination) override {
        if (handle != kBlockHandle) {
            return {EBADF, 0};
        }
        const std::size_t bytes = device_.DeliverBlock(destination);
        // Without a prepared block the camera sends nothing and the read runs out of time.
        return {bytes < destination.size() ? ETIMEDOUT : 0, bytes};
    }
    PlatformVersion Version() override { return HostPlatformVersion(); }

  private:
    SimulatedCameraDevice& device_;
};

}  // namespace

SimulatedCamera::SimulatedCamera(Session& session, const SimulatedCameraSettings& settings,
                                 PointingSource* pointing)
    : drift_(session.clock.Milliseconds(), settings.driftXPixelsPerSecond,
             settings.driftYPixelsPerSecond),
      device_(session.clock, pointing != nullptr ? *pointing : drift_, settings),
      link_(session, std::make_unique<SimulatedUsbPair>(device_)) {
    device_.SetLensCap([&session] {
        std::error_code error;
        return std::filesystem::exists(session.dataDirectory.Resolve("c:\\lenscap"), error);
    });
}

void SimulatedCamera::SetPointingSource(PointingSource* pointing) {
    device_.SetPointingSource(pointing != nullptr ? *pointing : drift_);
}

}  // namespace talvor
