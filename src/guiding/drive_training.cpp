#include "guiding/drive_training.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/messages.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "guiding/guide_frame_placement.h"
#include "guiding/guiding_view.h"
#include "image/program_defaults.h"
#include "image/settings_file.h"
#include "telescope/telescope_link.h"

namespace talvor {
namespace {

constexpr int kNoStarPicked = 53;
constexpr int kNoTelescope = 54;
constexpr int kSettingsNotSaved = 24;
constexpr int kWakeUpPulseMs = 30;
constexpr int kHysteresisUnitMs = 100;

// The pulses and frames of one training run.
class TrainingRun {
  public:
    TrainingRun(GuidingContext& context, int seconds)
        : context_(context), session_(context.session), link_(session_), seconds_(seconds) {}

    std::optional<TrainingPositions> Measure();

  private:
    // A pulse, a frame, then the star centred from (x, y); false when it was lost or the user
    // pressed a key or a mouse button.
    bool PulseAndCentre(int x, int y);
    void Frame();

    GuidingContext& context_;
    Session& session_;
    TelescopeLink link_;
    int seconds_;
};

void TrainingRun::Frame() {
    GrabGuideFrame(session_);
    PollGuidingAbort(context_);
    if (!session_.capture.Run.Aborted) {
        RefreshDisplay(session_);
    }
    context_.view.RepaintMainWindow();
}

bool TrainingRun::PulseAndCentre(int x, int y) {
    link_.SendGuidePulse();
    Frame();
    if (session_.capture.Run.Aborted) {
        return false;
    }
    return CentreGuideStarTwice(session_, x, y) == CentreResult::Found;
}

std::optional<TrainingPositions> TrainingRun::Measure() {
    const ProgramSettings& settings = session_.settings;
    TelescopeState& telescope = session_.telescope;
    const CentrePosition& centre = session_.guiding.StarCentre;
    TrainingPositions p;

    telescope.PulseLength = seconds_ * 1000 - settings.DecHysteresis * kHysteresisUnitMs;
    telescope.PulseDirection = settings.NorthLetter;
    p.y0 = centre.y;
    int x = centre.x;
    if (!PulseAndCentre(x, p.y0)) {
        return std::nullopt;
    }
    p.y1 = centre.y;
    x = centre.x;
    if (!PulseAndCentre(x, p.y1)) {
        return std::nullopt;
    }
    p.y2 = centre.y;
    x = centre.x;
    telescope.PulseDirection = settings.SouthLetter;
    if (!PulseAndCentre(x, p.y2)) {
        return std::nullopt;
    }
    p.y3 = centre.y;
    x = centre.x;
    if (!PulseAndCentre(x, p.y3)) {
        return std::nullopt;
    }
    p.y4 = centre.y;
    p.x4 = centre.x;

    telescope.PulseLength = seconds_ * 1000 - settings.RaHysteresis * kHysteresisUnitMs;
    telescope.PulseDirection = settings.EastLetter;
    if (!PulseAndCentre(p.x4, p.y4)) {
        return std::nullopt;
    }
    p.x5 = centre.x;
    int y = centre.y;
    if (!PulseAndCentre(p.x5, y)) {
        return std::nullopt;
    }
    p.x6 = centre.x;
    y = centre.y;
    telescope.PulseDirection = settings.WestLetter;
    if (!PulseAndCentre(p.x6, y)) {
        return std::nullopt;
    }
    p.x7 = centre.x;
    y = centre.y;
    if (!PulseAndCentre(p.x7, y)) {
        return std::nullopt;
    }
    p.x8 = centre.x;
    return p;
}

bool Refused(Session& session) {
    if (session.settings.Telescope == TelescopeType::None || !session.camera.CameraConnected ||
        !session.guiding.StarPicked) {
        ReportMessage(session.ui, kNoStarPicked);
        return true;
    }
    TelescopeLink(session).ConnectTelescope();
    if (!session.telescope.PortOpen) {
        ReportMessage(session.ui, kNoTelescope);
        return true;
    }
    return false;
}

// The first training run with a control box wakes it with a short pulse each way.
void WakeControlBox(Session& session, TelescopeLink& link) {
    if (session.settings.Telescope != TelescopeType::ControlBox || !session.guiding.BoxWakeUp) {
        return;
    }
    const ProgramSettings& settings = session.settings;
    session.telescope.PulseLength = kWakeUpPulseMs;
    for (const char direction :
         {settings.NorthLetter, settings.SouthLetter, settings.EastLetter, settings.WestLetter}) {
        session.telescope.PulseDirection = direction;
        link.SendGuidePulse();
    }
    session.guiding.BoxWakeUp = false;
}

void StoreCalibration(Session& session, DriveCalibration calibration) {
    ProgramSettings& settings = session.settings;
    settings.RaPixelsPerSecond = calibration.raRate == 0 ? 1 : calibration.raRate;
    settings.DecPixelsPerSecond = calibration.decRate == 0 ? 1 : calibration.decRate;
    // The settings file takes backlash values of 0..20 only; a larger one would make it rewrite
    // itself without the settings stored after it.
    settings.RaBacklash = std::min(calibration.raBacklash, kMaxBacklash);
    settings.DecBacklash = std::min(calibration.decBacklash, kMaxBacklash);
    if (WriteSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kSettingsNotSaved);
    }
}

}  // namespace

DriveCalibration CalibrateDrives(const TrainingPositions& p, int seconds) {
    const int t = seconds;
    DriveCalibration calibration;
    calibration.raRate = (std::abs(p.x7 - p.x8) + std::abs(p.x5 - p.x6)) / (2 * t);
    calibration.decRate = std::max(std::abs(p.y1 - p.y2), std::abs(p.y3 - p.y4)) / t;
    calibration.raBacklash = (std::abs(p.x4 - p.x8) + std::abs(p.x5 - p.x7)) / (2 * t);
    calibration.decBacklash = std::max(std::abs(p.y1 - p.y3), std::abs(p.y0 - p.y4)) / t;
    return calibration;
}

std::string TrainingResultText(const DriveCalibration& calibration) {
    char text[96];
    std::snprintf(text, sizeof text, "slewx = %5d, slewy = %5d\nbacklashx = %5d, backlashy = %5d",
                  calibration.raRate, calibration.decRate, calibration.raBacklash,
                  calibration.decBacklash);
    return text;
}

std::optional<DriveCalibration> TrainAutoGuiding(GuidingContext& context) {
    Session& session = context.session;
    GuidingState& guiding = session.guiding;
    session.readout.FrameDestination = &session.images.CurrentImage;
    if (Refused(session)) {
        return std::nullopt;
    }
    TelescopeLink link(session);
    link.ResetControlBox();
    WakeControlBox(session, link);
    PlaceGuideFrame(session);
    session.state.GuidingDisplay = true;
    guiding.Training = true;
    session.capture.Run.ContinuousRunning = false;
    session.capture.Run.Aborted = false;
    guiding.MeasureRadius = session.settings.GuideStarMaskRadius;

    // A training time of 0 from a damaged settings file would divide by zero.
    const int seconds = std::max(1, session.settings.GuideTrainingSeconds);
    std::optional<DriveCalibration> stored;
    if (const auto positions = TrainingRun(context, seconds).Measure()) {
        const DriveCalibration calibration = CalibrateDrives(*positions, seconds);
        ReportMessage(session.ui, kCallerText, TrainingResultText(calibration));
        StoreCalibration(session, calibration);
        stored = calibration;
    }
    guiding.Training = false;
    session.state.GuidingDisplay = false;
    session.state.SubFrameMode = false;
    guiding.StarPicked = false;
    return stored;
}

}  // namespace talvor
