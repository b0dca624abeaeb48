#pragma once

namespace talvor {

struct Session;

// Waits the given number of seconds while window events are dispatched. A key press or a left
// or right mouse-button press ends the wait at once (after a beep) and stops guiding. Returns
// true when the user cut the wait short.
bool PumpMessages(Session& session, int seconds);

}  // namespace talvor
