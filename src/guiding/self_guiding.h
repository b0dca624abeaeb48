#pragma once

#include "camera/self_guiding_hooks.h"
#include "guiding/guide_frames.h"

namespace talvor {

struct Session;

enum class SelfGuidingReady { Ready = 0, Refused = 1, NoLink = 2, StarNotFound = 3 };

// Before a self-guided exposure, with the "Guiding Info" window open: the refusals and the link
// as for guiding, the guide frame placed on the picked star, three frames to let the camera
// settle, and the reference taken from the star found there, with its tenths.
SelfGuidingReady PrepareSelfGuiding(GuidingContext& context);

// One guide frame inside the running exposure and, unless a matching dark is being taken, its
// correction.
void SelfGuideStep(GuidingContext& context);

// After the mid-exposure readout: a few frames to settle, and the reference found again.
void SwitchGuidingFrame(GuidingContext& context);

// Whether the guider control box answers, for the camera dialog's self-guiding switches: the
// port is opened for the question when it is not open, and closed again afterwards. A port
// that cannot be opened, or that fails while the box is reset, means no box.
bool ControlBoxAnswers(Session& session);

// The hooks through which the capture sequence runs a self-guided exposure on this context;
// the context must outlive them.
SelfGuidingHooks MakeSelfGuidingHooks(GuidingContext& context);

}  // namespace talvor
