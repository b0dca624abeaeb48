#pragma once

namespace talvor {

struct Session;

// Reverses every row of the current image left to right, leaving a label band untouched, and
// shows the result. Mirroring twice restores the frame.
void MirrorImage(Session& session);

}  // namespace talvor
