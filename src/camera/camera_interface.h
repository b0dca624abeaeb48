#pragma once

namespace talvor {

struct Session;
struct SelfGuidingHooks;

// Before the camera dialog opens: the run state is reset, and a camera not yet connected is
// looked for. False (after "Sorry, No camera found on USB") when there is none.
bool PrepareCameraInterface(Session& session);

// "Cancel": a running focus loop's small frame gives way to the full frame again.
void CancelCameraInterface(Session& session);

// "Self-Guide Next Exposure" and "Take matching Darkframe": both need the guider control box.
void ToggleSelfGuideNextExposure(Session& session, const SelfGuidingHooks& hooks);
void ToggleMatchingDarkframe(Session& session, const SelfGuidingHooks& hooks);

}  // namespace talvor
