#pragma once

namespace talvor {

struct Session;
class CommandHost;

// Binds every command of the Contrast and Filters menus: the parameter dialogs where a step
// has them, then the step on the current image.
void BindContrastAndFilterCommands(CommandHost& frame, Session& session);

}  // namespace talvor
