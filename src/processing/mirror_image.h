#pragma once

#include "core/image_store.h"

namespace talvor {

struct Session;

// Reverses rows firstRow..289 of the frame left to right through the scratch frame, whose
// words of those rows it leaves holding the mirrored rows.
void MirrorRows(ImageBuffer& current, ImageBuffer& scratch, int firstRow);

// Reverses every row of the current image left to right, leaving a label band untouched, and
// shows the result. Mirroring twice restores the frame.
void MirrorImage(Session& session);

}  // namespace talvor
