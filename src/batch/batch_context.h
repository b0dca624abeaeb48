#pragma once

#include <filesystem>
#include <memory>

#include "batch/batch_ui.h"
#include "camera/camera_recognition.h"
#include "core/clock.h"
#include "core/image_store.h"
#include "core/session.h"

namespace talvor {

class Hardware;
class PointingSource;

// What one batch command works with: the frame stores and the session over the data directory,
// with messages on standard error.
class BatchContext {
  public:
    // With simulate, the simulated camera and mount stand in for the hardware; with
    // fastCamera the simulated camera answers at once instead of taking a camera's time.
    BatchContext(const std::filesystem::path& dataDirectory, bool simulate,
                 const CameraUsbIds& cameraIds = kDefaultCameraUsbIds, bool fastCamera = false);
    ~BatchContext();

    Session& State() { return session_; }
    BatchUi& Ui() { return ui_; }

    bool Simulated() const { return simulated_; }
    // The clock when the hardware (or the simulated mount) was started.
    uint32_t StartedMs() const { return startedMs_; }
    // Where the simulated mount truly points; none on real hardware.
    PointingSource* SimulatedSky() const;

    // Reads the settings file when there is one; a batch command never creates it.
    void ReadExistingSettings();

    // Loads an image file as Open does. A note about what was cut or scaled out of a foreign
    // file goes to standard error and the load still counts: false only when the file was
    // refused (after its message).
    bool LoadCurrentImage(const std::filesystem::path& file);

  private:
    ImageStoreOwner images_;
    SystemClock clock_;
    BatchUi ui_;
    Session session_;
    bool simulated_;
    uint32_t startedMs_;
    std::unique_ptr<Hardware> hardware_;
};

}  // namespace talvor
