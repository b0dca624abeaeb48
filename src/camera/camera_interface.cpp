#include "camera/camera_interface.h"

#include "camera/camera_commands.h"
#include "camera/exposure_rules.h"
#include "camera/self_guiding_hooks.h"
#include "core/camera_link.h"
#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "image/settings_file.h"

namespace talvor {
namespace {

constexpr int kNoSettingsFile = 1;
constexpr int kNoControlBox = 52;

// The control box must be there before self-guiding can be armed.
bool ControlBoxKnown(Session& session, const SelfGuidingHooks& hooks) {
    if (!session.settings.ControlBoxFound && hooks.ControlBoxPresent) {
        session.settings.ControlBoxFound = hooks.ControlBoxPresent();
    }
    if (!session.settings.ControlBoxFound || !hooks.Available()) {
        ReportMessage(session.ui, kNoControlBox);
        return false;
    }
    return true;
}

}  // namespace

bool PrepareCameraInterface(Session& session) {
    CaptureState& capture = session.capture;
    CaptureRun& run = capture.Run;
    run.ContinuousRunning = false;
    run.Aborted = false;
    run.MidReadoutDone = false;
    run.DarkLoaded = false;
    run.FlatLoaded = false;
    run.SelfGuidingActive = false;
    run.PickModeSaved = false;
    session.state.Fits.pixelWidth = kCameraPixelWidth;
    session.state.Fits.pixelHeight = kCameraPixelHeight;
    if (session.guiding.PickMode) {
        session.guiding.PickMode = false;
        run.PickModeSaved = true;
    }
    session.readout.FrameDestination = &session.images.CurrentImage;
    CameraLink* link = session.camera.Link.get();
    if (!session.camera.CameraConnected && link != nullptr) {
        if (ReadSettings(session) != SettingsResult::Done) {
            ReportMessage(session.ui, kNoSettingsFile);
        }
        link->FindCamera();
        if (session.camera.CameraConnected) {
            EndCommand(session, *link);
        }
    }
    if (link == nullptr || !session.camera.CameraConnected) {
        ReportMessage(session.ui, kCallerText, "Sorry, No camera found on USB");
        return false;
    }
    capture.Reference = SlewSumReference{};
    capture.Settings.NumberOfExposures = 1;
    return true;
}

void CancelCameraInterface(Session& session) {
    if (session.state.FocusMode) {
        BusyCursor busy(session.ui);
        RefreshDisplay(session);
        session.state.FocusMode = false;
    }
    if (session.capture.Run.PickModeSaved) {
        session.guiding.PickMode = true;
    }
}

void ToggleSelfGuideNextExposure(Session& session, const SelfGuidingHooks& hooks) {
    CaptureState& capture = session.capture;
    if (!ControlBoxKnown(session, hooks)) {
        return;
    }
    if (capture.SelfGuideArmed) {
        capture.SelfGuideArmed = false;
        return;
    }
    CaptureSettings& settings = capture.Settings;
    if (!ShortEnoughToSelfGuide(settings.Unit, settings.Value)) {
        session.ui.Beep();
        return;
    }
    capture.SelfGuideArmed = true;
    settings.GuideValue = settings.Value;
    settings.GuideUnit = settings.Unit;
}

void ToggleMatchingDarkframe(Session& session, const SelfGuidingHooks& hooks) {
    CaptureState& capture = session.capture;
    if (!ControlBoxKnown(session, hooks)) {
        return;
    }
    capture.GuideDarkFrame = !capture.GuideDarkFrame;
    if (capture.GuideDarkFrame) {
        capture.Run.GuideDarkFrameCount = capture.Run.GuideFrameCounter;
        capture.SelfGuideArmed = true;
        capture.Settings.ContinuousMode = false;
    }
}

}  // namespace talvor
