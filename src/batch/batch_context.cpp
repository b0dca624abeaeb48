#include "batch/batch_context.h"

#include "devices/hardware.h"
#include "image/image_loading.h"
#include "image/settings_file.h"
#include "simulator/mount_simulator_server.h"

namespace talvor {

BatchContext::BatchContext(const std::filesystem::path& dataDirectory, bool simulate,
                           const CameraUsbIds& cameraIds, bool fastCamera)
    : images_(CreateImageStore()),
      session_(*images_, DataDirectory(dataDirectory), clock_, ui_),
      simulated_(simulate),
      startedMs_(clock_.Milliseconds()),
      hardware_(std::make_unique<Hardware>(session_, simulate, cameraIds, std::filesystem::path(),
                                           fastCamera ? CameraTiming::Fast : CameraTiming::Real)) {
    if (!hardware_->Problem().empty()) {
        ui_.ShowMessage(hardware_->Problem());
    }
}

BatchContext::~BatchContext() = default;

PointingSource* BatchContext::SimulatedSky() const {
    return hardware_->SimulatedMount();
}

void BatchContext::ReadExistingSettings() {
    std::error_code error;
    if (std::filesystem::is_regular_file(session_.dataDirectory.Resolve(kSettingsFileName),
                                         error)) {
        ReadSettings(session_);
        ui_.ForgetMessages();
    }
}

bool BatchContext::LoadCurrentImage(const std::filesystem::path& file) {
    if (LoadIntoCurrentImage(session_, file, file.filename().string()) != LoadResult::Loaded) {
        return false;
    }
    ui_.ForgetMessages();
    return true;
}

}  // namespace talvor
