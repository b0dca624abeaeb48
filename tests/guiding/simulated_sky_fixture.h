#pragma once

// Guiding against the simulated camera and mount: the mount answers the program's own serial
// code in this thread, on a clock that runs on as it is read, and its pulses move the sky the
// camera draws.

#include <filesystem>
#include <fstream>
#include <memory>

#include "guiding/guiding_test_support.h"
#include "simulator/mount_loopback_port.h"
#include "simulator/simulated_camera.h"

namespace talvor::testing {

// A star mid-chip, where the guide frame's placement allows for the camera's window offset.
constexpr double kStarX = 250.3;
constexpr double kStarY = 140.6;
constexpr PixelPosition kStarPlace{250, 140};

class SimulatedGuidingTest : public ::testing::Test {
  protected:
    explicit SimulatedGuidingTest(const MountConfig& config = MountConfig{})
        : images(CreateImageStore()),
          ui(clock),
          session(*images, DataDirectory(folder.Path()), clock, ui),
          config(config) {
        clock.SetStep(1);
        auto port = std::make_unique<MountLoopbackPort>(clock, config);
        mount = port.get();
        session.telescope.Ports = std::move(port);
        auto simulated =
            std::make_unique<SimulatedCamera>(session, SimulatedCameraSettings{}, mount);
        camera = simulated.get();
        session.camera.Link = std::move(simulated);
        session.settings.Telescope = TelescopeType::MeadeLx200;
        session.readout.StretchBits = 16;
        session.capture.Settings.Unit = ExposureUnit::Seconds;
        session.capture.Settings.Value = 1;
    }

    // A cloud: the simulated camera sees nothing but its own dark while the cap is on.
    void CapTheLens(bool capped) {
        const std::filesystem::path cap = folder.Path() / "lenscap";
        if (capped) {
            std::ofstream(cap).put('\n');
        } else {
            std::filesystem::remove(cap);
        }
    }

    TemporaryDirectory folder;
    ImageStoreOwner images;
    SteppingClock clock;
    ScriptedUi ui;
    Session session;
    MountConfig config;
    MountLoopbackPort* mount = nullptr;
    SimulatedCamera* camera = nullptr;
    RecordingGuidingView view;
    SelfGuidingHooks hooks;
    GuidingContext context{session, view, hooks};
};

}  // namespace talvor::testing
