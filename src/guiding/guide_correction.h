#pragma once

#include "core/guiding_state.h"
#include "guiding/guide_star_watch.h"

namespace talvor {

struct Session;

// A correction pulse: the direction letter it went out with, '\0' when none was sent.
struct GuidePulse {
    char direction = '\0';
    int milliseconds = 0;
    bool Sent() const { return direction != '\0'; }
    bool operator==(const GuidePulse&) const = default;
};

// The pulses one guide step sent on each axis.
struct GuideCorrectionPulses {
    GuidePulse ra;
    GuidePulse dec;
    bool operator==(const GuideCorrectionPulses&) const = default;
};

enum class GuideCorrectionResult { Measured = 0, StarNotFound = 3 };

struct GuideCorrectionOutcome {
    GuideCorrectionResult result = GuideCorrectionResult::Measured;
    GuideCorrectionPulses pulses;
    // Why the centre found was not taken for the star, when it was not.
    StarAbsence absence = StarAbsence::None;
    // The star as measured around the centre found (zero when no centre was found).
    GuideStarFigures figures;
};

// One guide step on the guide frame in the current image: finds the star at the reference and
// judges whether what it found is the star; after a frame without the star, it looks for it
// wherever it may have strayed meanwhile and takes only a star that matches it. A star not
// there (no centre, far too faint, or a centre further than the star could have moved) gives
// four beeps and no pulse; the reference and the star centre stay as they were. Otherwise the
// offset is stored, counted into the run's statistics and corrected, however far the star
// strayed. When the run began without the star (a cloud at the first frame), the first frame
// that shows it sets the reference instead of being corrected.
GuideCorrectionOutcome GuideCorrection(Session& session);

// Corrects a measured offset: on each axis whose offset passes its threshold, a pulse of the
// offset over the drive rate, less the hysteresis. When the direction reverses, the axis' backlash
// in whole pixels (as training measures it) is added to the pulse, so that the motor takes up the
// gears' play before the star moves. With the "direction changes" option a 700 ms wait separates
// the two axes.
GuideCorrectionPulses CorrectGuideOffset(Session& session, OffsetThousandths offset);

}  // namespace talvor
