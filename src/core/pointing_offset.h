#pragma once

#include <cstdint>

namespace talvor {

// Where the telescope points, relative to where it pointed when the run began, in camera
// pixels (fractional): +x moves the star field right on the picture, +y down.
struct PointingOffset {
    double x = 0.0;
    double y = 0.0;
};

// Tells the simulated camera how the sky has moved at a moment of the millisecond clock. The
// simulated mount implements it; without a mount the sky drifts at a steady rate.
class PointingSource {
  public:
    virtual ~PointingSource() = default;
    virtual PointingOffset OffsetAt(uint32_t milliseconds) = 0;
};

}  // namespace talvor
