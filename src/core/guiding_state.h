#pragma once

#include <cstdint>
#include <string>

#include "core/centroid_state.h"
#include "core/guide_run_state.h"

namespace talvor {

struct PixelPosition {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPosition&) const = default;
};

// Reference minus measured centre of the last guide frame, in thousandths of a pixel: dx > 0 means
// the star now lies left of the reference, dy > 0 that it lies above it.
struct OffsetThousandths {
    int16_t dx = 0;
    int16_t dy = 0;
    bool operator==(const OffsetThousandths&) const = default;
};

inline constexpr const char* kGuidingInfoTitle = "Guiding Info";

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

    // Where guiding holds the star, in guide-frame coordinates (whole pixels and tenths). Set
    // when guiding or a self-guided exposure starts; a correction never moves it.
    CentrePosition GuideReference;
    OffsetThousandths GuideOffset;
    // The direction letters of the last correction on each axis, for the backlash on a reversal.
    char LastRaDirection = 'e';
    char LastDecDirection = 'n';
    // Drive training is running: its frames repaint the main window.
    bool Training = false;
    // The guiding loop has yet to take its first frame.
    bool FirstFrame = true;
    // The control box still needs the wake-up pulses of the first training run.
    bool BoxWakeUp = true;
    // The caption of the "Guiding Info" window.
    std::string GuidingInfoTitle = kGuidingInfoTitle;
    // The guide-frame bitmap may be drawn into the "Guiding Info" window.
    bool FrameBitmapReady = false;
    // The star watch, statistics and log of the guiding run under way or last run.
    GuideRunState Run;
};

}  // namespace talvor
