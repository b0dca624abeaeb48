#include "camera/capture_sequence.h"

#include "camera/camera_commands.h"
#include "camera/capture_calibration.h"
#include "camera/exposure_rules.h"
#include "camera/slew_and_sum.h"
#include "camera/star_follower.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/pump_messages.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "image/quick_save.h"

namespace talvor {
namespace {

constexpr int kGuideStarLost = 33;
constexpr int kNoGuideStar = 34;
constexpr int kNoStarPicked = 53;
constexpr int kGuidingStoppedInExposure = 57;
constexpr int kQuickSaveFailed = 49;
constexpr int kCountdownSeconds = 10;
constexpr int kPauseSteps = 16;

}  // namespace

bool PollCaptureAbort(Session& session, const SelfGuidingHooks& hooks) {
    if (!session.ui.DispatchPendingEvents().Any()) {
        return false;
    }
    CaptureState& capture = session.capture;
    capture.Run.Remaining = 1;
    capture.Run.Aborted = true;
    capture.Run.ContinuousRunning = false;
    capture.Settings.ContinuousMode = false;
    session.guiding.GuidingRunning = false;
    session.state.SubFrameMode = false;
    capture.Run.EndTime = session.clock.Milliseconds();
    session.ui.Beep();
    session.readout.FocusWindowOrigin = kDefaultFocusWindowOrigin;
    if (capture.SelfGuideArmed && hooks.CloseGuidingInfo) {
        hooks.CloseGuidingInfo();
    }
    capture.SelfGuideArmed = false;
    capture.Settings.ToggleGuideFrame = false;
    capture.GuideDarkFrame = false;
    return true;
}

void FinishExposure(Session& session) {
    const CaptureSettings& settings = session.capture.Settings;
    CaptureRun& run = session.capture.Run;
    run.Finish = session.clock.LocalTime();
    ClearHistory(session.state);
    if (run.DarkApplied) {
        AppendHistory(session.state, "Dark Frame Subtracted");
    }
    if (run.FlatApplied) {
        AppendHistory(session.state, "Flatfield Applied");
    }
    RefreshDisplay(session);
    ++run.FramesShown;
    if (settings.AutoSave) {
        QuickSaveCurrentImage(session);
    }
}

void QuickSaveCurrentImage(Session& session) {
    const CaptureRun& run = session.capture.Run;
    if (QuickSaveFits(session, session.images.CurrentImage, run.Start, run.Finish) !=
        QuickSaveResult::Saved) {
        ReportMessage(session.ui, kQuickSaveFailed);
    }
}

CaptureSequence::CaptureSequence(Session& session, CameraLink& link, const SelfGuidingHooks& hooks)
    : session_(session), link_(link), hooks_(hooks) {}

CaptureSequence::~CaptureSequence() = default;

void CaptureSequence::SetStatus(const std::string& status) {
    ChangeProgressTitle(session_.progress, status);
}

bool CaptureSequence::CameraLost() const {
    return session_.camera.LinkLost;
}

CaptureSequence::Step CaptureSequence::EndOnLostCamera() {
    // The link has told the failure once; the run ends without a frame from it.
    CaptureState& capture = session_.capture;
    if ((capture.SelfGuideArmed || capture.Run.SelfGuidingActive) && hooks_.CloseGuidingInfo) {
        hooks_.CloseGuidingInfo();
    }
    capture.SelfGuideArmed = false;
    capture.Run.ContinuousRunning = false;
    session_.state.SubFrameMode = false;
    progress_.reset();
    return Step::EndRun;
}

void CaptureSequence::TakePhoto() {
    CaptureState& capture = session_.capture;
    CaptureSettings& settings = capture.Settings;
    CaptureRun& run = capture.Run;
    capture.FocusLoopStop = true;
    session_.state.FocusMode = false;
    session_.readout.ExposureMs = ExposureMsOf(settings.Unit, settings.Value);
    guideExposureMs_ =
        GuideExposureMsOf(settings.GuideUnit, settings.GuideValue, capture.GuideDarkFrame);
    session_.state.Fits.exposureSeconds = 0.0;
    busy_.emplace(session_.ui);
    BeginCapturedImage(session_.state, session_.settings);
    run.Multi = settings.NumberOfExposures >= 2;
    run.Remaining = settings.NumberOfExposures;
    run.FramesShown = 0;
    run.DarkApplied = false;
    run.FlatApplied = false;

    if (settings.DelayBeforeExposure) {
        Countdown();
    }
    int sumDivisor = settings.NumberOfExposures;
    if (capture.SelfGuideArmed) {
        sumDivisor = 1;
        settings.ContinuousMode = false;
        run.ContinuousRunning = false;
    } else {
        run.ContinuousRunning = settings.ContinuousMode;
    }

    // An aborted run takes no further exposure, whatever count is left.
    do {
        run.Start = session_.clock.LocalTime();
        run.Paused = false;
        do {
            const Step step = ExposeOnce(sumDivisor);
            if (step == Step::StopAtOnce) {
                busy_.reset();
                return;
            }
            if (step == Step::EndRun) {
                busy_.reset();
                EndOfRun();
                return;
            }
            if (run.Remaining >= 1 && !run.Aborted) {
                FinishFrame();  // the intermediate result
                busy_.reset();
                PrepareNextExposure();
            }
        } while (run.Remaining >= 1 && !run.Aborted);
        // The last frame, unless the continuous pause has shown it already. A frame read out
        // before a press is shown too: it was complete.
        FinishFrame();
        busy_.reset();
        if (settings.ContinuousMode) {
            PrepareNextExposure();
        }
    } while (run.ContinuousRunning);
    EndOfRun();
}

void CaptureSequence::Countdown() {
    ProgressWindow window(session_.ui, session_.progress);
    int position = 0;
    for (int k = kCountdownSeconds; k >= 1; --k) {
        SetStatus(ExposureDelayStatus(k));
        window.SetPosition(position);
        PumpMessages(session_, 1);
        position += 25;
        session_.ui.Beep();
    }
}

void CaptureSequence::FinishFrame() {
    if (!frameRead_ || frameFinished_) {
        return;
    }
    frameFinished_ = true;
    FinishExposure(session_);
}

CaptureSequence::Step CaptureSequence::ExposeOnce(int sumDivisor) {
    CaptureState& capture = session_.capture;
    CaptureSettings& settings = capture.Settings;
    CaptureRun& run = capture.Run;
    frameRead_ = false;
    frameFinished_ = false;
    run.Paused = false;
    if (run.ContinuousRunning) {
        // Each frame of a continuous run is a picture of its own, dated by its own exposure.
        run.Start = session_.clock.LocalTime();
    }
    const int32_t exposureMs = session_.readout.ExposureMs;
    const double seconds = exposureMs * 0.001;
    session_.state.Fits.exposureSeconds =
        settings.ContinuousMode ? seconds : session_.state.Fits.exposureSeconds + seconds;
    SetStatus(ExposureUnderwayStatus(run.Remaining));
    progressPosition_ = 0;

    PollCaptureAbort(session_, hooks_);
    ClearCommand(session_, link_);
    StartCommand(session_, link_);
    if (CameraLost()) {
        return EndOnLostCamera();
    }
    if (capture.SelfGuideArmed) {
        const Step started = StartSelfGuidedExposure();
        if (started != Step::Continue) {
            return started;
        }
    }
    const Step waited = IsHostTimedUnit(settings.Unit)
                            ? TimedWaitHostTimed(ProgressSteps(settings.Unit, settings.Value))
                            : ShortWait();
    if (waited != Step::Continue) {
        return waited;
    }
    if (session_.settings.BeepAfterExposure) {
        for (int i = 0; i < 3; ++i) {
            session_.ui.Beep();
        }
    }
    if (exposureMs >= 200) {
        ClearCommand(session_, link_);
        if (CameraLost()) {
            return EndOnLostCamera();
        }
    }
    if (!run.Aborted) {
        const Step read = ReadOut(sumDivisor);
        if (read != Step::Continue) {
            return read;
        }
    }
    progress_.reset();
    --run.Remaining;
    if (run.Multi && run.ContinuousRunning && run.Remaining == 0) {
        run.ContinuousRunning = false;
    }
    if (run.ContinuousRunning) {
        FinishFrame();
        run.Paused = true;
        PauseBetweenFrames();
    }
    return Step::Continue;
}

void CaptureSequence::PauseBetweenFrames() {
    CaptureRun& run = session_.capture.Run;
    const CaptureSettings& settings = session_.capture.Settings;
    if (PumpMessages(session_, 1)) {
        // The press ends continuous running; the frame just shown is the last.
        run.Remaining = 0;
        run.ContinuousRunning = false;
        return;
    }
    if (settings.DelayMinutes < 1) {
        return;
    }
    SetStatus("Pause between exposures");
    ProgressWindow pause(session_.ui, session_.progress);
    const uint32_t stepMs = static_cast<uint32_t>(settings.DelayMinutes) * 60000U / kPauseSteps;
    for (int step = 0; step < kPauseSteps && !run.Aborted; ++step) {
        run.EndTime = session_.clock.Milliseconds() + stepMs;
        while (!DeadlineReached(session_.clock.Milliseconds(), run.EndTime)) {
            PollCaptureAbort(session_, hooks_);
            session_.ui.IdleWait();
        }
        if (!run.Aborted) {
            pause.SetPosition((step + 1) * (kProgressFull / kPauseSteps));  // full at the end
        }
    }
}

CaptureSequence::Step CaptureSequence::StartSelfGuidedExposure() {
    CaptureState& capture = session_.capture;
    if (!session_.guiding.StarPicked) {
        ReportMessage(session_.ui, kNoStarPicked);
        return Step::EndRun;
    }
    capture.Run.GuideFrameCounter = 0;
    capture.Run.SelfGuidingActive = true;
    if (capture.GuideDarkFrame) {
        hooks_.ShowGuidingInfo("Guiding Info - Darkframe in Progress");
    } else {
        hooks_.ShowGuidingInfo("Guiding Info - Checking Telescope");
        if (hooks_.PrepareSelfGuiding() != 0) {
            hooks_.CloseGuidingInfo();
            progress_.reset();
            capture.SelfGuideArmed = false;
            return Step::StopAtOnce;
        }
    }
    RefreshDisplay(session_);
    StartCommand(session_, link_);
    ClearCommand(session_, link_);
    if (CameraLost()) {
        return EndOnLostCamera();
    }
    return Step::Continue;
}

CaptureSequence::Step CaptureSequence::TimedWaitHostTimed(int steps) {
    CaptureState& capture = session_.capture;
    CaptureRun& run = capture.Run;
    const uint32_t exposureMs = static_cast<uint32_t>(session_.readout.ExposureMs);
    const uint32_t stepMs = exposureMs / static_cast<uint32_t>(steps);
    progress_.emplace(session_.ui, session_.progress);
    uint32_t start = session_.clock.Milliseconds();
    run.EndTime = start + exposureMs;
    nextStep_ = start + stepMs;
    const uint32_t half = start + exposureMs / 2;
    uint32_t now = start;
    while (!DeadlineReached(now, run.EndTime)) {
        if (exposureMs > 3000) {
            ClearCommand(session_, link_);
            if (CameraLost()) {
                return EndOnLostCamera();
            }
        }
        if (DeadlineReached(now, nextStep_)) {
            nextStep_ += stepMs;
            progressPosition_ += 256 / steps;
            progress_->SetPosition(progressPosition_);
        }
        PollCaptureAbort(session_, hooks_);
        if (capture.SelfGuideArmed || run.SelfGuidingActive) {
            const Step guided = SelfGuidedPass(half, steps);
            if (guided != Step::Continue) {
                return guided;
            }
        }
        session_.ui.IdleWait();
        now = session_.clock.Milliseconds();
    }
    if (capture.GuideDarkFrame) {
        run.GuideFrameCounter = run.GuideDarkFrameCount;
    }
    return Step::Continue;
}

CaptureSequence::Step CaptureSequence::SelfGuidedPass(uint32_t half, int steps) {
    CaptureState& capture = session_.capture;
    CaptureRun& run = capture.Run;
    if (CameraLost()) {
        return EndOnLostCamera();
    }
    if (!capture.SelfGuideArmed) {
        // Guiding failed, or a press stopped it: the exposure is thrown away.
        run.EndTime = 0;
        if (hooks_.CloseGuidingInfo) {
            hooks_.CloseGuidingInfo();
        }
        progress_.reset();
        run.Aborted = true;
        ReportMessage(session_.ui, kGuidingStoppedInExposure);
        return Step::EndRun;
    }
    const uint32_t now = session_.clock.Milliseconds();
    if (capture.Settings.ToggleGuideFrame && DeadlineReached(now, half) && !run.MidReadoutDone) {
        run.MidReadoutDone = true;
        ClearCommand(session_, link_);
        EndCommandAlt5(session_, link_);
        hooks_.ShowGuidingInfo("Guiding Info - Downloading Image");
        session_.state.SubFrameMode = false;
        session_.readout.FrameDestination = &session_.images.CurrentImage;
        if (ReadFullFrame(session_, link_) == ReadoutResult::Failed || CameraLost()) {
            return EndOnLostCamera();
        }
        CopyFrame(session_.images.CurrentImage, session_.images.SecondImage);
        StartCommand(session_, link_);
        session_.state.SubFrameMode = true;
        if (hooks_.SwitchGuidingFrame) {
            hooks_.SwitchGuidingFrame();
        }
        PollCaptureAbort(session_, hooks_);
        progressPosition_ = 128;
        progress_->SetPosition(progressPosition_);
        // The second half is timed afresh from the end of the download, bar steps included.
        const uint32_t restart = session_.clock.Milliseconds();
        const uint32_t exposureMs = static_cast<uint32_t>(session_.readout.ExposureMs);
        run.EndTime = restart + exposureMs / 2;
        nextStep_ = restart + exposureMs / static_cast<uint32_t>(steps);
        if (capture.GuideDarkFrame) {
            run.GuideFrameCounter = 0;
        }
    }
    const bool guideNow =
        !capture.GuideDarkFrame || run.GuideFrameCounter < run.GuideDarkFrameCount / 2;
    if (guideNow && capture.SelfGuideArmed) {
        hooks_.SelfGuideStep();
    }
    if (CameraLost()) {
        return EndOnLostCamera();
    }
    if (!capture.SelfGuideArmed) {
        return SelfGuidedPass(half, steps);
    }
    ++run.GuideFrameCounter;
    return Step::Continue;
}

CaptureSequence::Step CaptureSequence::ShortWait() {
    const int32_t exposureMs = session_.readout.ExposureMs;
    if (exposureMs < 500) {
        return Step::Continue;  // the camera times it from the readout command
    }
    const uint32_t end = session_.clock.Milliseconds() + static_cast<uint32_t>(exposureMs);
    while (!DeadlineReached(session_.clock.Milliseconds(), end)) {
        if (exposureMs > 600) {
            ClearCommand(session_, link_);
            if (CameraLost()) {
                return EndOnLostCamera();
            }
        }
        session_.ui.IdleWait();
    }
    return Step::Continue;
}

CaptureSequence::Step CaptureSequence::ReadOut(int sumDivisor) {
    CaptureState& capture = session_.capture;
    CaptureSettings& settings = capture.Settings;
    CaptureRun& run = capture.Run;
    SetStatus(ReadCameraStatus(run.Remaining));
    if (capture.SelfGuideArmed) {
        if (settings.ToggleGuideFrame) {
            EndCommandAlt4(session_, link_);
        } else {
            EndCommandAlt5(session_, link_);
        }
        session_.state.SubFrameMode = false;
        if (hooks_.CloseGuidingInfo) {
            hooks_.CloseGuidingInfo();
        }
        RefreshDisplay(session_);
        capture.GuideDarkFrame = false;
    } else {
        EndCommand(session_, link_);
    }
    if (CameraLost()) {
        return EndOnLostCamera();
    }
    if (!progress_) {
        progress_.emplace(session_.ui, session_.progress);
    }
    // The caption and the empty bar are shown before the readout blocks for seconds.
    progress_->SetPosition(0);
    if (session_.settings.DebugMode) {
        session_.ui.Beep();
    }
    // Interrupts cannot be masked by a program here; the setting has no effect.
    ImageBuffer& current = session_.images.CurrentImage;
    session_.readout.FrameDestination = &current;
    if (ReadFullFrame(session_, link_) == ReadoutResult::Failed) {
        return EndOnLostCamera();
    }
    frameRead_ = true;
    if (settings.ToggleGuideFrame && capture.SelfGuideArmed) {
        settings.ToggleGuideFrame = false;
        const ImageBuffer& firstHalf = session_.images.SecondImage;
        for (int i = 0; i < kFramePixels; ++i) {
            const int sum = current[i] + firstHalf[i];
            current[i] = static_cast<uint16_t>(sum > 65535 ? 65535 : sum);
        }
    }
    capture.SelfGuideArmed = false;
    PollCaptureAbort(session_, hooks_);
    run.DarkApplied = settings.AutoRemoveDark && SubtractDarkAtCapture(session_);
    run.FlatApplied = settings.AutoApplyFlat && ApplyFlatAtCapture(session_);
    if (run.Multi && !settings.ContinuousMode && !run.SelfGuidingActive) {
        const SlewSumResult result =
            settings.AlternativeSlew ? SumByProfiles(session_, sumDivisor, settings.AverageMultiple)
                                     : SumAligned(session_, sumDivisor, settings.AverageMultiple);
        if (result == SlewSumResult::StarLost) {
            run.Remaining = 1;
            ReportMessage(session_.ui, kGuideStarLost);
        } else if (result == SlewSumResult::NoSuitableStar) {
            run.Remaining = 1;
            ReportMessage(session_.ui, kNoGuideStar);
        }
    }
    return Step::Continue;
}

void CaptureSequence::PrepareNextExposure() {
    CaptureState& capture = session_.capture;
    if (capture.Run.SelfGuidingActive) {
        capture.SelfGuideArmed = true;
        capture.Run.GuideFrameCounter = 0;
        capture.Run.MidReadoutDone = false;
    }
    if (capture.Run.PickModeSaved) {
        session_.guiding.PickMode = true;
    }
    if (session_.guiding.StarPicked) {
        SetStarCentre(session_, session_.guiding.PickedStarPosition);
    }
}

void CaptureSequence::EndOfRun() {
    CaptureState& capture = session_.capture;
    session_.readout.FocusWindowOrigin = kDefaultFocusWindowOrigin;
    if (capture.Run.PickModeSaved) {
        session_.guiding.PickMode = true;
    }
    if (session_.guiding.StarPicked) {
        SetStarCentre(session_, session_.guiding.PickedStarPosition);
    }
    capture.Reference = SlewSumReference{};
    RestoreSavedStarCentre(session_);
    capture.Run.MidReadoutDone = false;
}

}  // namespace talvor
