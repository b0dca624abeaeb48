#pragma once

#include "telescope/centroid_state.h"

namespace talvor {

struct PixelPosition {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPosition&) const = default;
};

// Guiding state that the shell and the display also consult.
struct GuidingState {
    // Guiding is running; a user's key or mouse press clears it.
    bool GuidingRunning = false;
    // The next click on the picture picks the guide star.
    bool PickMode = false;
    bool StarPicked = false;
    PixelPosition PickedStarPosition;
    // Clicks snap to the nearest star.
    bool SnapToStar = false;
    // Focus Frame Centre is armed: the next left click on the picture places the focus window.
    bool FocusCentreMode = false;
    // The centre found by the last successful search; a failed search leaves it as it was.
    CentrePosition StarCentre;
    // The star centre as guiding saved it before its last guide-frame placement; a capture run
    // ends by going back to it.
    CentrePosition SavedStarCentre;
    // The half-size of the window that centre searches and the photometry mask use.
    int MeasureRadius = kDefaultMeasureRadius;
};

}  // namespace talvor
