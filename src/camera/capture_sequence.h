#pragma once

#include <memory>
#include <optional>

#include "camera/self_guiding_hooks.h"
#include "core/progress.h"
#include "core/user_interface.h"

namespace talvor {

struct Session;
class CameraLink;

// Takes the dispatched window events of a capture or guiding wait; a key or a left or right
// mouse-button press aborts the run. Returns whether it did.
bool PollCaptureAbort(Session& session, const SelfGuidingHooks& hooks);

// After an exposure: the finish time, the history of the new frame (the automatic dark and flat
// only when they were applied), the display, and the automatic save.
void FinishExposure(Session& session);

// "Quick Save as FITS": the current image as the next numbered FITS file of the auto-save
// folder, dated by the last exposure; message 49 when it cannot be written.
void QuickSaveCurrentImage(Session& session);

// The run that "Take Photo" starts: countdown, one or more timed exposures (single, summed or
// continuous), readouts with automatic dark and flat, display and automatic save. Every frame
// read out is shown (and saved) exactly once; a frame that was not read out, or whose readout
// failed, never is. A camera that fails ends the run after the link's one message.
class CaptureSequence {
  public:
    CaptureSequence(Session& session, CameraLink& link, const SelfGuidingHooks& hooks);
    ~CaptureSequence();

    void TakePhoto();

  private:
    enum class Step { Continue, EndRun, StopAtOnce };

    void Countdown();
    Step ExposeOnce(int sumDivisor);
    Step StartSelfGuidedExposure();
    Step TimedWaitHostTimed(int steps);
    Step SelfGuidedPass(uint32_t half, int steps);
    Step ShortWait();
    Step ReadOut(int sumDivisor);
    void PauseBetweenFrames();
    void FinishFrame();
    bool CameraLost() const;
    Step EndOnLostCamera();
    void SetStatus(const std::string& status);
    void PrepareNextExposure();
    void EndOfRun();

    Session& session_;
    CameraLink& link_;
    const SelfGuidingHooks& hooks_;
    std::optional<ProgressWindow> progress_;
    int progressPosition_ = 0;
    // The time of the next bar step of the running timed wait.
    uint32_t nextStep_ = 0;
    // The exposure in hand was read out, and has been shown.
    bool frameRead_ = false;
    bool frameFinished_ = false;
    // The wait cursor from "Take Photo" until the exposure is shown.
    std::optional<BusyCursor> busy_;
    int32_t guideExposureMs_ = 0;
};

}  // namespace talvor
