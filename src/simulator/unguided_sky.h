#pragma once

#include <cstdint>

#include "core/pointing_offset.h"
#include "simulator/mount_model.h"
#include "simulator/tracking_error.h"

namespace talvor {

// Where a simulated mount's sky would stand had no pulse or slew ever moved it: its drift and
// periodic error alone, from the moment the mount started. Guiding is judged against it.
class UnguidedSky final : public PointingSource {
  public:
    UnguidedSky(const MountConfig& config, uint32_t startMs)
        : startMs_(startMs),
          error_(config.driftX, config.driftY, config.periodicAmplitude, config.periodicSeconds) {}

    PointingOffset OffsetAt(uint32_t milliseconds) override {
        return error_.After(static_cast<int32_t>(milliseconds - startMs_) / 1000.0);
    }

  private:
    uint32_t startMs_;
    TrackingError error_;
};

}  // namespace talvor
