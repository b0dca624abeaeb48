#pragma once

#include <cstdint>

#include "guiding/guide_correction.h"
#include "guiding/guide_frames.h"

namespace talvor {

// What one pass of the guiding loop did.
struct GuidingFrameReport {
    // The frame was measured and corrected; false when a press came first.
    bool corrected = false;
    GuideCorrectionOutcome correction;
    // The offset the frame left in GuideOffset, in thousandths of a pixel.
    OffsetThousandths offset;
    // The clock when the frame had been read, and how long it was exposed.
    uint32_t milliseconds = 0;
    int32_t exposureMs = 0;
};

// The refusals and preparations before the loop: a telescope type, a connected camera and a
// picked star are needed ("You must first take an image and pick a star"), the star must lie
// where the guide frame can hold it, and the link must open ("Communication with telescope
// failed"). Then the control box is reset, the guide frame placed on the star, the reference
// set there and the guide log started. False when refused.
bool BeginAutoGuiding(GuidingContext& context);

// One pass: a guide frame; on the first, the reference is taken from the star's centre found
// there, tenths and all, and the "Guiding Info" window opens; unless the user pressed a key or
// a mouse button meanwhile, the frame is shown, corrected, logged and the window refreshed.
GuidingFrameReport GuideNextFrame(GuidingContext& context);

// After the loop: "Guiding Terminated" when tellUser, the window closed, the focus window and
// the star centre back where they were, and the guiding display off.
void EndAutoGuiding(GuidingContext& context, bool tellUser);

// "Start Auto-Guiding": guides until the user presses a key or a mouse button.
void StartAutoGuiding(GuidingContext& context);

}  // namespace talvor
