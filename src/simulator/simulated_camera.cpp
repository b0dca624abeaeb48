#include "simulator/simulated_camera.h"

#include <cerrno>
#include <filesystem>
#include <memory>

#include "camera/camera_commands.h"
#include "core/clock.h"
#include "core/session.h"

namespace talvor {
namespace {

constexpr DeviceHandle kControlHandle = 1;
constexpr DeviceHandle kBlockHandle = 2;

// One control and one block interface, always present, wired to the simulated firmware, and
// as slow as the camera's bus when a pace is given.
class SimulatedUsbPair final : public UsbPlatform {
  public:
    SimulatedUsbPair(SimulatedCameraDevice& device, CameraPace* pace)
        : device_(device), pace_(pace) {}

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
        // A readout command carries the time of an exposure the camera times itself; it runs
        // before the block can come.
        if (report.size() >= 4 && report[1] == kReadoutCommand) {
            cameraTimedMs_ = report[2] | (report[3] << 8);
        }
        Spend(kReportMs);
        return {0, report.size()};
    }
    IoResult BulkRead(DeviceHandle handle, std::span<uint8_t> destination) override {
        if (handle != kBlockHandle) {
            return {EBADF, 0};
        }
        Spend(cameraTimedMs_ + TransferMs(destination.size()));
        cameraTimedMs_ = 0;
        const std::size_t bytes = device_.DeliverBlock(destination);
        // Without a prepared block the camera sends nothing and the read runs out of time.
        return {bytes < destination.size() ? ETIMEDOUT : 0, bytes};
    }
    PlatformVersion Version() override { return HostPlatformVersion(); }

  private:
    void Spend(uint32_t milliseconds) {
        if (pace_ != nullptr) {
            pace_->Spend(milliseconds);
        }
    }

    SimulatedCameraDevice& device_;
    CameraPace* pace_;
    uint32_t cameraTimedMs_ = 0;
};

}  // namespace

SimulatedCamera::SimulatedCamera(Session& session, const SimulatedCameraSettings& settings,
                                 PointingSource* pointing, std::unique_ptr<CameraPace> pace)
    : pace_(std::move(pace)),
      drift_(session.clock.Milliseconds(), settings.driftXPixelsPerSecond,
             settings.driftYPixelsPerSecond),
      device_(session.clock, pointing != nullptr ? *pointing : drift_, settings),
      link_(session, std::make_unique<SimulatedUsbPair>(device_, pace_.get())) {
    device_.SetLensCap([&session] {
        std::error_code error;
        return std::filesystem::exists(session.dataDirectory.Resolve("c:\\lenscap"), error);
    });
}

void SimulatedCamera::SetPointingSource(PointingSource* pointing) {
    device_.SetPointingSource(pointing != nullptr ? *pointing : drift_);
}

}  // namespace talvor
