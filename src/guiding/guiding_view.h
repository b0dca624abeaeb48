#pragma once

#include <filesystem>
#include <string>

#include "core/guiding_state.h"

namespace talvor {

// What the "Guiding Info" window shows: the four read-only fields, and the guide frame with the
// reference cross once the frame bitmap may be drawn.
struct GuidingInfoContent {
    std::string x;
    std::string y;
    std::string dx;
    std::string dy;
    // The offsets in pixels, and in arc-seconds when the focal length is known (else empty).
    std::string dxPixels;
    std::string dyPixels;
    std::string dxArcsec;
    std::string dyArcsec;
    // The root mean square offset of the run's measured frames in RA and Dec, in pixels and,
    // when the focal length is known, in arc-seconds.
    std::string raRms;
    std::string decRms;
    // The guide log being written, or why there is none.
    std::string log;
    bool frameReady = false;
    // The small bitmap file of the last guide frame.
    std::filesystem::path frameBitmap;
    // Where the red cross goes, in guide-frame pixels.
    PixelPosition reference;
};

// How guiding, training and the self-guided exposure reach their windows. The desktop program
// shows the "Guiding Info" window; the batch tool and tests have no window.
class GuidingView {
  public:
    virtual ~GuidingView() = default;

    // Creates the modeless "Guiding Info" window with a caption, or changes the caption of the
    // window already open.
    virtual void OpenGuidingInfo(const std::string& title) = 0;
    virtual void SetGuidingInfoTitle(const std::string& title) = 0;
    // Fills the fields and draws the frame, then repaints the window.
    virtual void ShowGuidingInfo(const GuidingInfoContent& content) = 0;
    virtual void CloseGuidingInfo() = 0;
    // Repaints the main window at once (training shows its frames there).
    virtual void RepaintMainWindow() = 0;
};

// For callers without windows.
class NoGuidingView final : public GuidingView {
  public:
    void OpenGuidingInfo(const std::string&) override {}
    void SetGuidingInfoTitle(const std::string&) override {}
    void ShowGuidingInfo(const GuidingInfoContent&) override {}
    void CloseGuidingInfo() override {}
    void RepaintMainWindow() override {}
};

}  // namespace talvor
