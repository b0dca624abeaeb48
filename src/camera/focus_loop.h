#pragma once

namespace talvor {

struct Session;
class CameraLink;

// What the focus loop shows and asks while it runs inside the camera dialog.
class FocusLoopView {
  public:
    virtual ~FocusLoopView() = default;
    // A new focus frame and its peak are ready: the dialog redraws its read-out and picture.
    virtual void ShowFocusFrame() = 0;
    // The "Talvor Focus Pause" question between frames: true for OK, false for Stop.
    virtual bool ConfirmNextFrame() = 0;
};

// Takes 128 x 128 focus frames one after another, showing each with its peak, until the stop
// flag is set ("Stop", or the dialog closing), the left mouse button is pressed, or the camera
// is lost. Nothing is taken for exposures in minutes or of 100 units or more.
void FocusLoop(Session& session, CameraLink& link, FocusLoopView& view);

}  // namespace talvor
