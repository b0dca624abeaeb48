#pragma once

namespace talvor {

struct Session;
class CommandHost;

// "Set Program Defaults": reads the settings file, shows TINIDialog and writes the file on
// "Save Changes". Whatever the dialog changed stays in memory either way, so the tool bar then
// follows the telescope type and the whole client area is repainted for a new background.
void RunProgramDefaults(Session& session, CommandHost& frame);

}  // namespace talvor
