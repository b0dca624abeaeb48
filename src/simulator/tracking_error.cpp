#include "simulator/tracking_error.h"

#include <cmath>
#include <numbers>

namespace talvor {

TrackingError::TrackingError(double driftX, double driftY, double periodicAmplitude,
                             double periodicSeconds)
    : driftX_(driftX), driftY_(driftY), amplitude_(periodicAmplitude), period_(periodicSeconds) {}

PointingOffset TrackingError::After(double seconds) const {
    double periodic = 0;
    if (period_ > 0) {
        periodic = amplitude_ * std::sin(2 * std::numbers::pi * seconds / period_);
    }
    return {driftX_ * seconds + periodic, driftY_ * seconds};
}

}  // namespace talvor
