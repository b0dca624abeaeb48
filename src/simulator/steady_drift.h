#pragma once

#include <cstdint>

#include "core/pointing_offset.h"

namespace talvor {

// A sky that drifts across the picture at a constant rate from a starting moment: the simulated
// camera's pointing while no simulated mount drives it.
class SteadyDrift final : public PointingSource {
  public:
    SteadyDrift(uint32_t startMs, double xPixelsPerSecond, double yPixelsPerSecond)
        : startMs_(startMs), xRate_(xPixelsPerSecond), yRate_(yPixelsPerSecond) {}

    PointingOffset OffsetAt(uint32_t milliseconds) override {
        const double seconds = static_cast<int32_t>(milliseconds - startMs_) / 1000.0;
        return {xRate_ * seconds, yRate_ * seconds};
    }

  private:
    uint32_t startMs_;
    double xRate_;
    double yRate_;
};

}  // namespace talvor
