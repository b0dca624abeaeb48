#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/guiding_state.h"
#include "core/pointing_offset.h"
#include "guiding/guide_correction.h"
#include "guiding/guide_frames.h"
#include "measurement/brightest_star.h"

namespace talvor {

class PointingSource;

// Guiding without a window or a person at the screen, for the batch tool: the star is picked
// from a fresh frame, training and guiding run as from the menu, and guiding stops after a time.

// A fresh whole frame into the current image with the camera dialog's exposure, finding the
// camera first when needed. False when there is no camera.
bool TakeFreshFrame(Session& session);

// A fresh frame, then the pick at a place, snapped onto its star as a click would be. The
// picked star, or nothing when there is no camera, the place is outside the pick area, or the
// snapping did not find a star three times.
std::optional<PixelPosition> PickStarAt(Session& session, PixelPosition place);
// The same at the brightest star of the fresh frame.
std::optional<PixelPosition> PickBrightestStar(Session& session);

// One guide frame of an unattended run.
struct GuideFrameLine {
    int frame = 0;
    uint32_t milliseconds = 0;
    // The star was found; the offsets are the star's from the reference, in pixels (reference
    // minus measured, as guiding keeps them).
    bool starFound = false;
    double dx = 0.0;
    double dy = 0.0;
    GuideCorrectionPulses pulses;
    // Why the star was taken as not there, when it was not.
    StarAbsence absence = StarAbsence::None;
    // Where the star truly stood (the simulated sky knows), as an offset from where it stood
    // when the reference was taken, in the sign of dx and dy; none on a real sky or before the
    // reference.
    std::optional<PointingOffset> trueOffset;
};

struct UnattendedGuidingOptions {
    int seconds = 60;
    // Asked after every frame; true ends the run (Ctrl+C).
    std::function<bool()> stopRequested;
    std::function<void(const GuideFrameLine&)> onFrame;
    // The sky without guiding, to judge the guiding against; none: no unguided figure.
    PointingSource* unguidedSky = nullptr;
    // The sky as the mount really moves it, guided; none: no true figures.
    PointingSource* trueSky = nullptr;
};

struct UnattendedGuidingSummary {
    // False when guiding was refused (the reason has been shown).
    bool started = false;
    int frames = 0;
    int measuredFrames = 0;
    // Root mean square distance of the star from its reference over the measured frames.
    double guidedRms = 0.0;
    // The same for the unguided sky over the same frames, moved from where it stood at the
    // first of them.
    std::optional<double> unguidedRms;
    // The root mean square of the star's true offsets over every frame from the reference on,
    // the star hidden or not, and on each axis.
    std::optional<double> trueRms;
    std::optional<double> trueRaRms;
    std::optional<double> trueDecRms;
};

// Guides the picked star for the given time, or until stopRequested or a press: the loop of
// "Start Auto-Guiding", ended without "Guiding Terminated".
UnattendedGuidingSummary GuideForSeconds(GuidingContext& context,
                                         const UnattendedGuidingOptions& options);

}  // namespace talvor
