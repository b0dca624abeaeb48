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

// After an exposure: the finish time, the history of the new frame, the display, and the
// automatic save.
void FinishExposure(Session& session);

// "Quick Save as FITS": the current image as the next numbered FITS file of the auto-save
// folder, dated by the last exposure; message 49 when it cannot be written.
void QuickSaveCurrentImage(Session& session);

// The run that "Take Photo" starts: countdown, one or more timed exposures (single, summed or
// continuous), readouts with automatic dark and flat, display and automatic save.
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
    Step SelfGuidedPass(uint32_t half);
    void ShortWait();
    void ReadOut(int sumDivisor);
    void SetStatus(const std::string& status);
    void PrepareNextExposure();
    void EndOfRun();

    Session& session_;
    CameraLink& link_;
    const SelfGuidingHooks& hooks_;
    std::optional<ProgressWindow> progress_;
    int progressPosition_ = 0;
    // The wait cursor from "Take Photo" until the exposure is shown.
    std::optional<BusyCursor> busy_;
    int32_t guideExposureMs_ = 0;
};

}  // namespace talvor
