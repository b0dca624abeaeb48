#pragma once

#include "core/pointing_offset.h"

namespace talvor {

// How a simulated mount strays while it tracks, in camera pixels: a steady drift on both axes
// (polar misalignment, a drive running slightly fast or slow) and the periodic error of the RA
// worm, a sine on the RA (x) axis that starts at zero.
class TrackingError {
  public:
    TrackingError(double driftX, double driftY, double periodicAmplitude, double periodicSeconds);

    // The offset this error has built up after the given seconds of tracking.
    PointingOffset After(double seconds) const;

  private:
    double driftX_;
    double driftY_;
    double amplitude_;
    double period_;
};

}  // namespace talvor
