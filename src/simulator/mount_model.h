#pragma once

#include <cstdint>

#include "core/pointing_offset.h"
#include "simulator/mount_axis.h"
#include "simulator/tracking_error.h"

namespace talvor {

// The rates of the hand controller, slowest first.
enum class MoveRate { Guide, Centre, Find, Slew };

// What the simulated mount is like. Rates, drift and backlash are in camera pixels.
struct MountConfig {
    // The guide rate of each axis in pixels per second; the other rates are multiples of it.
    double guideRateX = 3.0;
    double guideRateY = 3.0;
    double centreFactor = 8;
    double findFactor = 32;
    double slewFactor = 256;
    // Drift while tracking, pixels per second.
    double driftX = 0.05;
    double driftY = -0.03;
    // The RA worm's periodic error: amplitude in pixels and period in seconds (0: none).
    double periodicAmplitude = 1.5;
    double periodicSeconds = 120;
    // The play of each axis' gears, in pixels of motor travel.
    double backlashX = 0;
    double backlashY = 2;
    // Where the mount stands, and the local sidereal time when it starts, for the horizon.
    double latitudeDegrees = 51.5;
    double siderealHoursAtStart = 2.0;
};

// The pointing of the simulated mount relative to where it pointed when it started: the RA axis
// moves the star field along x (east +), the Dec axis along y (north +), each at the chosen
// rate and through its backlash, with the tracking error added.
class MountModel {
  public:
    MountModel(const MountConfig& config, uint32_t startMs);

    // Starts moving one way ('n', 's', 'e', 'w'); other characters do nothing.
    void Move(char direction, MoveRate rate, uint32_t milliseconds);
    // Stops the axis of that direction when it is moving that way.
    void Stop(char direction, uint32_t milliseconds);
    void StopAll(uint32_t milliseconds);
    // The way each axis is moving, or '\0' when it stands.
    char RaMotion() const { return raDirection_; }
    char DecMotion() const { return decDirection_; }

    double RatePixelsPerSecond(char direction, MoveRate rate) const;
    PointingOffset OffsetAt(uint32_t milliseconds) const;
    const MountConfig& Config() const { return config_; }
    uint32_t StartMs() const { return startMs_; }

  private:
    MountConfig config_;
    uint32_t startMs_;
    MountAxis ra_;
    MountAxis dec_;
    TrackingError tracking_;
    char raDirection_ = '\0';
    char decDirection_ = '\0';
};

}  // namespace talvor
