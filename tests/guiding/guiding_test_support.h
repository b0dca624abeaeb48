#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camera/camera_test_support.h"
#include "camera/self_guiding_hooks.h"
#include "core/session.h"
#include "guiding/guide_frames.h"
#include "guiding/guiding_view.h"
#include "support/session_fixture.h"
#include "telescope/recording_serial_port.h"

namespace talvor::testing {

// Records what the core shows; a key press arrives once the session's clock reaches a moment.
class ScriptedUi final : public UserInterface {
  public:
    explicit ScriptedUi(Clock& clock) : clock_(clock) {}
    void PressAt(uint32_t milliseconds) { pressAt_ = milliseconds; }

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowErrorBox(const std::string& title, const std::string& text) override {
        errorBoxes.push_back(title + ": " + text);
    }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    UserPresses DispatchPendingEvents() override {
        const bool press = pressAt_ && DeadlineReached(clock_.Milliseconds(), *pressAt_);
        if (press) {
            pressAt_.reset();
        }
        return {press, false, false};
    }
    void IdleWait() override {}
    void Beep() override { ++beeps; }
    void PushBusyCursor() override {}
    void PopCursor() override {}
    void OpenProgress(const std::string&) override {}
    void SetProgressCaption(const std::string&) override {}
    void SetProgressPosition(int) override {}
    void CloseProgress() override {}
    void SetMainCaption(const std::string&) override {}
    bool LoadDisplayBitmap(const std::filesystem::path& file) override {
        loadedBitmaps.push_back(file.filename().string());
        return true;
    }

    std::vector<std::string> messages;
    std::vector<std::string> errorBoxes;
    std::vector<std::string> loadedBitmaps;
    int beeps = 0;

  private:
    Clock& clock_;
    std::optional<uint32_t> pressAt_;
};

// Writes down what guiding asks of its windows, one line per request.
class RecordingGuidingView final : public GuidingView {
  public:
    void OpenGuidingInfo(const std::string& title) override { events.push_back("open " + title); }
    void SetGuidingInfoTitle(const std::string& title) override {
        events.push_back("title " + title);
    }
    void ShowGuidingInfo(const GuidingInfoContent& content) override {
        events.push_back("show");
        last = content;
    }
    void CloseGuidingInfo() override { events.push_back("close"); }
    void RepaintMainWindow() override { ++repaints; }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }

    std::vector<std::string> events;
    GuidingInfoContent last;
    int repaints = 0;
};

struct StarSpot {
    double x = 0.0;
    double y = 0.0;
};

// A camera that draws a round star on a flat sky where a test says: guide windows show the next
// star of a script (the last one again once it has run out; none for a blank frame), whole
// frames the star at a frame position. It notes the focus window of every window readout.
class ScriptedStarCamera final : public CameraLink {
  public:
    explicit ScriptedStarCamera(Session& session) : session_(session) {}

    bool FindCamera() override { return session_.camera.CameraConnected = true; }
    void SendCommand(std::span<const uint8_t>) override {}
    void ReadBlock() override {
        if (session_.camera.BlockByteCount == kWindowBlockBytes) {
            origins.push_back(session_.readout.FocusWindowOrigin);
            if (static_cast<int>(origins.size()) == lostAtWindow) {
                session_.camera.LinkLost = true;  // as the USB link marks a failed read
            }
            if (!windowStars.empty()) {
                lastWindowStar = windowStars.front();
                windowStars.pop_front();
            }
            Draw(128, 128, lastWindowStar, 0, 0);
        } else {
            Draw(kBlockColumns, kBlockRows, frameStar, 19, 7);  // picture at row 7, pixel 19
        }
    }

    std::deque<std::optional<StarSpot>> windowStars;
    std::optional<StarSpot> lastWindowStar;
    std::optional<StarSpot> frameStar;
    std::vector<WindowOrigin> origins;
    // The window readout at which the camera stops answering; none when below 1.
    int lostAtWindow = 0;

  private:
    void Draw(int width, int height, const std::optional<StarSpot>& star, int left, int top) {
        // The sky lies just below the background its 16-level bin stands for, with and without
        // the gain of guide frames: without a star nothing is found.
        constexpr double kSky = 320.0;
        constexpr double kPeak = 6000.0;
        constexpr double kTwoSigmaSquared = 2 * 1.3 * 1.3;
        ZeroedBytes& block = session_.camera.ReceiveBuffer;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                double value = kSky;
                if (star) {
                    const double dx = column - left - star->x;
                    const double dy = row - top - star->y;
                    value += kPeak * std::exp(-(dx * dx + dy * dy) / kTwoSigmaSquared);
                }
                const auto word = static_cast<uint16_t>(value);
                const std::size_t at = 2 * (static_cast<std::size_t>(row) * width + column);
                block[at] = static_cast<uint8_t>(word & 0xFF);
                block[at + 1] = static_cast<uint8_t>(word >> 8);
            }
        }
    }

    Session& session_;
};

// A session on a clock that runs on as it is read, so that pulses and exposures end by
// themselves; a scripted camera, a recording serial port to an LX200, and recording windows.
class GuidingTest : public ::testing::Test {
  protected:
    GuidingTest()
        : images(CreateImageStore()),
          ui(clock),
          session(*images, DataDirectory(folder.Path()), clock, ui) {
        clock.SetStep(5);
        auto ownedCamera = std::make_unique<ScriptedStarCamera>(session);
        camera = ownedCamera.get();
        session.camera.Link = std::move(ownedCamera);
        session.camera.CameraConnected = true;
        auto ownedPort = std::make_unique<RecordingSerialPort>();
        port = ownedPort.get();
        session.telescope.Ports = std::move(ownedPort);
        session.settings.Telescope = TelescopeType::MeadeLx200;
        // Guide frames timed by the camera: no host wait.
        session.capture.Settings.Unit = ExposureUnit::Tenths;
        session.capture.Settings.Value = 2;
    }

    // A star picked at a frame position, as a successful pick leaves it.
    void Picked(int x, int y) {
        session.guiding.StarPicked = true;
        session.guiding.PickedStarPosition = {x, y};
        session.guiding.StarCentre = {x + 1, y - 1, 0, 0};
    }

    TemporaryDirectory folder;
    ImageStoreOwner images;
    SteppingClock clock;
    ScriptedUi ui;
    Session session;
    ScriptedStarCamera* camera = nullptr;
    RecordingSerialPort* port = nullptr;
    RecordingGuidingView view;
    SelfGuidingHooks hooks;
    GuidingContext context{session, view, hooks};
};

}  // namespace talvor::testing
