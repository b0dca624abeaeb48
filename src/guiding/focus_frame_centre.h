#pragma once

#include "core/readout_state.h"

namespace talvor {

struct Session;

// "Focus Frame Centre": the next left click on the picture places the focus window.
void FocusFrameCentre(Session& session);

// The focus window centred on a click, held inside the chip; y is in display rows while the
// picture is shown in Zenka geometry.
WindowOrigin FocusWindowForClick(int x, int y, bool zenkaGeometry);

// The focus-centre click: places the focus window and tells the centre it got.
void FocusFrameCentreClick(Session& session, int x, int y);

// "Default Focus Frame Centre", and the end of guiding: the focus window back at (184, 65).
void DefaultFocusFrameCentre(Session& session);

}  // namespace talvor
