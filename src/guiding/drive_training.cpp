#include "guiding/drive_training.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "core/messages.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "guiding/guide_frame_placement.h"
#include "guiding/guide_star_figures.h"
#include "guiding/guide_star_watch.h"
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
// A pulse that moves the star less than this has not been measured: the centre's noise and
// the whole pixels training works in are of the order of a pixel.
constexpr double kLeastMove = 1.5;
// The second pulses forward and back may differ by this much plus this share of the larger.
constexpr double kAllowedDisagreement = 1.0;
constexpr double kAllowedDisagreementShare = 0.3;

constexpr const char* kCalibrationKept = "The previous calibration is kept.";
constexpr const char* kMovedBack = " The mount has been moved back to where training started.";
constexpr const char* kFixLostStar =
    "Try a shorter training time, a larger guide star mask or a brighter star.";
constexpr const char* kFixNoMovement = "Try a longer training time or a brighter star.";

const char* DirectionName(char direction) {
    switch (direction) {
        case 'n':
            return "north";
        case 's':
            return "south";
        case 'e':
            return "east";
        default:
            return "west";
    }
}

// The pulses and frames of one training run, and what it found wrong, if anything.
class TrainingRun {
  public:
    TrainingRun(GuidingContext& context, int seconds)
        : context_(context), session_(context.session), link_(session_), seconds_(seconds) {}

    std::optional<TrainingPositions> Measure();
    // Sends the pulses that take the mount back over the pulses sent so far.
    void Undo();
    bool Stopped() const { return stopped_; }
    bool Moved() const { return decPulses_ != 0 || raPulses_ != 0; }
    const std::string& Fault() const { return fault_; }

  private:
    // The star's centre with tenths after the last frame.
    struct Spot {
        double x = 0.0;
        double y = 0.0;
    };

    void Frame();
    void Pulse(char direction, int milliseconds);
    // The first frame, before any pulse: the star must be there; it sets the figures the
    // star is judged by from then on.
    bool Start(int x, int y);
    // A pulse, a frame, then the star centred from (x, y); false when it was lost or the user
    // pressed a key or a mouse button.
    bool PulseAndCentre(char direction, int milliseconds, bool second, int x, int y);
    // The second pulses forward and back on one axis must each move the star well, opposite
    // ways and about as far.
    bool CheckAxis(char forward, double forwardMove, char back, double backMove);
    // Two pulses forward and two back on one axis, with the star's position along it (in
    // tenths of a pixel) after each; nothing when a search failed or the moves do not check.
    std::optional<std::array<int, 4>> MeasureAxis(char forward, char back, int milliseconds,
                                                  bool alongY);

    GuidingContext& context_;
    Session& session_;
    TelescopeLink link_;
    int seconds_;
    GuideStarFigures start_;
    Spot spot_;
    int decPulses_ = 0;  // north counts up
    int raPulses_ = 0;   // east counts up
    int decMs_ = 0;
    int raMs_ = 0;
    bool stopped_ = false;
    std::string fault_;
};

void TrainingRun::Frame() {
    GrabGuideFrame(session_);
    PollGuidingAbort(context_);
    if (!session_.capture.Run.Aborted) {
        RefreshDisplay(session_);
    }
    context_.view.RepaintMainWindow();
}

void TrainingRun::Pulse(char direction, int milliseconds) {
    const ProgramSettings& settings = session_.settings;
    TelescopeState& telescope = session_.telescope;
    telescope.PulseDirection = direction;
    telescope.PulseLength = milliseconds;
    link_.SendGuidePulse();
    if (direction == settings.NorthLetter || direction == settings.SouthLetter) {
        decPulses_ += direction == settings.NorthLetter ? 1 : -1;
        decMs_ = milliseconds;
    } else {
        raPulses_ += direction == settings.EastLetter ? 1 : -1;
        raMs_ = milliseconds;
    }
}

bool TrainingRun::Start(int x, int y) {
    Frame();
    if (session_.capture.Run.Aborted) {
        stopped_ = true;
        return false;
    }
    if (CentreGuideStarTwice(session_, x, y) == CentreResult::Found) {
        spot_ = {CentreX(session_), CentreY(session_)};
        start_ = MeasureGuideStar(session_.images.CurrentImage, spot_.x, spot_.y,
                                  session_.guiding.MeasureRadius);
        if (start_.snr >= kLeastGuideStarSnr) {
            return true;
        }
    }
    fault_ =
        "no star was found in the guide frame before the first pulse. Wait for the clouds to "
        "pass or pick a brighter star.";
    return false;
}

bool TrainingRun::PulseAndCentre(char direction, int milliseconds, bool second, int x, int y) {
    Pulse(direction, milliseconds);
    Frame();
    if (session_.capture.Run.Aborted) {
        stopped_ = true;
        return false;
    }
    if (CentreGuideStarTwice(session_, x, y) == CentreResult::Found) {
        spot_ = {CentreX(session_), CentreY(session_)};
        const GuideStarFigures figures = MeasureGuideStar(session_.images.CurrentImage, spot_.x,
                                                          spot_.y, session_.guiding.MeasureRadius);
        if (ShowsTheStar(start_, figures)) {
            return true;
        }
    }
    fault_ = std::string("the star was lost after the ") + (second ? "second " : "first ") +
             DirectionName(direction) + " pulse. " + kFixLostStar;
    return false;
}

bool TrainingRun::CheckAxis(char forward, double forwardMove, char back, double backMove) {
    char text[240];
    const double least = std::min(std::abs(forwardMove), std::abs(backMove));
    if (least < kLeastMove) {
        std::snprintf(text, sizeof text,
                      "the %s and %s pulses moved the star only %.1f and %.1f pixels. %s",
                      DirectionName(forward), DirectionName(back), std::abs(forwardMove),
                      std::abs(backMove), kFixNoMovement);
        fault_ = text;
        return false;
    }
    const double most = std::max(std::abs(forwardMove), std::abs(backMove));
    if (forwardMove * backMove > 0 ||
        most - least > kAllowedDisagreement + kAllowedDisagreementShare * most) {
        std::snprintf(text, sizeof text,
                      "the %s and %s pulses disagree: they moved the star %+.1f and %+.1f "
                      "pixels. %s",
                      DirectionName(forward), DirectionName(back), forwardMove, backMove,
                      kFixNoMovement);
        fault_ = text;
        return false;
    }
    return true;
}

std::optional<TrainingPositions> TrainingRun::Measure() {
    const ProgramSettings& settings = session_.settings;
    const CentrePosition& centre = session_.guiding.StarCentre;
    TrainingPositions p;
    // Each search starts from the whole pixels of the centre before.
    if (!Start(centre.x, centre.y)) {
        return std::nullopt;
    }
    p.y0 = centre.y * 10 + centre.yTenths;
    const int decMs = seconds_ * 1000 - settings.DecHysteresis * kHysteresisUnitMs;
    const auto dec = MeasureAxis(settings.NorthLetter, settings.SouthLetter, decMs, true);
    if (!dec) {
        return std::nullopt;
    }
    p.y1 = (*dec)[0];
    p.y2 = (*dec)[1];
    p.y3 = (*dec)[2];
    p.y4 = (*dec)[3];
    p.x4 = centre.x * 10 + centre.xTenths;
    const int raMs = seconds_ * 1000 - settings.RaHysteresis * kHysteresisUnitMs;
    const auto ra = MeasureAxis(settings.EastLetter, settings.WestLetter, raMs, false);
    if (!ra) {
        return std::nullopt;
    }
    p.x5 = (*ra)[0];
    p.x6 = (*ra)[1];
    p.x7 = (*ra)[2];
    p.x8 = (*ra)[3];
    return p;
}

std::optional<std::array<int, 4>> TrainingRun::MeasureAxis(char forward, char back,
                                                           int milliseconds, bool alongY) {
    const CentrePosition& centre = session_.guiding.StarCentre;
    const std::array<std::pair<char, bool>, 4> pulses{
        {{forward, false}, {forward, true}, {back, false}, {back, true}}};
    std::array<int, 4> after{};
    for (std::size_t i = 0; i < pulses.size(); ++i) {
        if (!PulseAndCentre(pulses[i].first, milliseconds, pulses[i].second, centre.x, centre.y)) {
            return std::nullopt;
        }
        after[i] = alongY ? centre.y * 10 + centre.yTenths : centre.x * 10 + centre.xTenths;
    }
    if (!CheckAxis(forward, (after[1] - after[0]) / 10.0, back, (after[3] - after[2]) / 10.0)) {
        return std::nullopt;
    }
    return after;
}

void TrainingRun::Undo() {
    const ProgramSettings& settings = session_.settings;
    const char decBack = decPulses_ > 0 ? settings.SouthLetter : settings.NorthLetter;
    const char raBack = raPulses_ > 0 ? settings.WestLetter : settings.EastLetter;
    for (int pulse = std::abs(decPulses_); pulse > 0; --pulse) {
        Pulse(decBack, decMs_);
    }
    for (int pulse = std::abs(raPulses_); pulse > 0; --pulse) {
        Pulse(raBack, raMs_);
    }
}

bool Refused(Session& session) {
    if (session.settings.Telescope == TelescopeType::None || !session.camera.CameraConnected ||
        !session.guiding.StarPicked) {
        ReportMessage(session.ui, kNoStarPicked);
        return true;
    }
    if (RefuseGuideStarNearEdge(session)) {
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
    if (WriteDriveCalibration(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kSettingsNotSaved);
    }
}

// What a run that stored nothing tells the user; `moved` when it had pulsed the mount away.
std::string UnfinishedText(const TrainingRun& run, bool moved) {
    if (run.Stopped()) {
        return std::string(moved ? "Training stopped: the pulses sent have been undone.\n"
                                 : "Training stopped.\n") +
               kCalibrationKept;
    }
    return "Training failed: " + run.Fault() + "\n" + kCalibrationKept + (moved ? kMovedBack : "");
}

}  // namespace

DriveCalibration CalibrateDrives(const TrainingPositions& p, int seconds) {
    // Positions are in tenths: a rate is rounded to the nearest whole pixel per second (a 3.0
    // pixel per second drive measured 2.9 must not be stored as 2, which would make every
    // correction half as long again as it should be), the play rounded down (a correction that
    // took up more play than there is would throw the star past the reference at every
    // reversal).
    const int tenthsPerSecond = 10 * seconds;
    const auto rate = [tenthsPerSecond](int tenths) {
        return (tenths + tenthsPerSecond / 2) / tenthsPerSecond;
    };
    DriveCalibration calibration;
    calibration.raRate = rate((std::abs(p.x7 - p.x8) + std::abs(p.x5 - p.x6)) / 2);
    calibration.decRate = rate(std::max(std::abs(p.y1 - p.y2), std::abs(p.y3 - p.y4)));
    calibration.raBacklash = (std::abs(p.x4 - p.x8) + std::abs(p.x5 - p.x7)) / 2 / 10;
    calibration.decBacklash = std::max(std::abs(p.y1 - p.y3), std::abs(p.y0 - p.y4)) / 10;
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
    TrainingRun run(context, seconds);
    if (const auto positions = run.Measure()) {
        const DriveCalibration calibration = CalibrateDrives(*positions, seconds);
        ReportMessage(session.ui, kCallerText, TrainingResultText(calibration));
        StoreCalibration(session, calibration);
        stored = calibration;
    } else {
        const bool moved = run.Moved();
        run.Undo();
        ReportMessage(session.ui, kCallerText, UnfinishedText(run, moved));
    }
    guiding.Training = false;
    session.state.GuidingDisplay = false;
    session.state.SubFrameMode = false;
    guiding.StarPicked = false;
    return stored;
}

}  // namespace talvor
