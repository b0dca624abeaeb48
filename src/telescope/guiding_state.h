#pragma once

namespace talvor {

struct PixelPosition {
    int x = 0;
    int y = 0;
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
};

}  // namespace talvor
