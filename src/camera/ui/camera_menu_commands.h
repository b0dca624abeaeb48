#pragma once

class QWidget;

namespace talvor {

struct Session;
struct SelfGuidingHooks;
class CommandHost;

// "Zenka Camera Interface": finds the camera when it is not yet connected, shows the camera
// dialog, and runs the capture when the user presses "Take Photo".
void RunCameraInterface(Session& session, const SelfGuidingHooks& hooks, QWidget* parent);

// Binds the camera dialog (Ctrl+Z) and quick save (Ctrl+Q) to the frame's commands.
void BindCameraCommands(CommandHost& frame, Session& session, const SelfGuidingHooks& hooks);

}  // namespace talvor
