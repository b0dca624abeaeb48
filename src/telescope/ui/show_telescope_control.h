#pragma once

class QDialog;
class QWidget;

namespace talvor {

struct Session;

// "Telescope &Control": connects to the mount and opens its hand-control window, modeless:
// "TALVOR Move Telescope" for an LX200, or, after resetting the box, "Move Telescope" for the
// control box. When the link cannot be opened the link has told the user why and no window
// opens. A window of the same kind that is still open is brought to the front instead of a
// second one. Returns the window shown, or nullptr.
QDialog* ShowTelescopeControl(Session& session, QWidget* parent);

}  // namespace talvor
