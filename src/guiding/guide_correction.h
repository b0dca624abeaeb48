#pragma once

#include "core/guiding_state.h"

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
};

// One guide step on the guide frame in the current image: finds the star at the reference,
// stores the offset and corrects it. A star not found gives four beeps and no pulse.
GuideCorrectionOutcome GuideCorrection(Session& session);

// Corrects a measured offset: nothing when either axis is off by more than 5 pixels; otherwise,
// on each axis whose offset passes its threshold, a pulse of the offset over the drive rate,
// less the hysteresis, with the backlash added when the direction reverses. With the
// "direction changes" option a 700 ms wait separates the two axes.
GuideCorrectionPulses CorrectGuideOffset(Session& session, OffsetThousandths offset);

}  // namespace talvor
