#pragma once

namespace talvor {

struct Session;
class CommandHost;
struct SelfGuidingHooks;

// Binds "Pick Guide Star", "Focus Frame Centre", "Default Focus Frame Centre", "Start
// Auto-Guiding" and "Train Auto-Guiding", gives the camera dialog and the capture their
// self-guiding hooks, and takes the guide-star pick and focus-centre clicks of the picture. The
// guiding windows live as long as the frame.
void BindGuidingCommands(CommandHost& frame, Session& session, SelfGuidingHooks& hooks);

}  // namespace talvor
