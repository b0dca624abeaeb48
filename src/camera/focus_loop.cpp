#include "camera/focus_loop.h"

#include "camera/focus_frames.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"

namespace talvor {
namespace {

constexpr int kFocusValueLimit = 100;
constexpr uint32_t kFocusDelayMs = 1000;

FrameRequest FocusRequest(const CaptureSettings& settings) {
    FrameRequest request;
    request.ExposureValue = settings.Value;
    request.ExposureUnit = static_cast<char>(settings.Unit);
    request.StretchForAllImages = settings.SetStretchForAllImages;
    return request;
}

}  // namespace

void FocusLoop(Session& session, CameraLink& link, FocusLoopView& view) {
    CaptureState& capture = session.capture;
    session.readout.FrameDestination = &session.images.CurrentImage;
    capture.FocusLoopStop = false;
    session.state.FocusMode = false;
    if (capture.Settings.Unit == ExposureUnit::Minutes ||
        capture.Settings.Value >= kFocusValueLimit) {
        return;
    }
    session.state.FocusMode = true;
    bool takeFrame = true;
    while (!capture.FocusLoopStop) {
        if (session.ui.DispatchPendingEvents().leftButton) {
            capture.FocusLoopStop = true;
            break;
        }
        if (capture.FocusLoopStop) {
            break;
        }
        if (takeFrame) {
            uint16_t peak = 0;
            {
                BusyCursor busy(session.ui);
                peak = TakeFocusFrame(session, link, FocusRequest(capture.Settings));
            }
            if (session.camera.LinkLost) {
                // The link has told why; a blank frame is not shown as a focus frame.
                capture.FocusLoopStop = true;
                break;
            }
            capture.Settings.LastFocusPeak = peak;
            WriteFocusBitmap(session);
            view.ShowFocusFrame();
        } else {
            session.ui.Beep();
            if (capture.Settings.FocusExposures && !view.ConfirmNextFrame()) {
                capture.FocusLoopStop = true;
                break;
            }
            if (session.settings.FocusDelayOneSecond) {
                const uint32_t end = session.clock.Milliseconds() + kFocusDelayMs;
                while (!DeadlineReached(session.clock.Milliseconds(), end)) {
                    session.ui.IdleWait();
                }
            }
        }
        takeFrame = !takeFrame;
    }
}

}  // namespace talvor
