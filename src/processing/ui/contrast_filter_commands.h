#pragma once

namespace talvor {

struct Session;
class TalvorFrame;

// Binds every command of the Contrast and Filters menus: the parameter dialogs where a step
// has them, then the step on the current image.
void BindContrastAndFilterCommands(TalvorFrame& frame, Session& session);

}  // namespace talvor
