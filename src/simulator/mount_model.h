#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "core/pointing_offset.h"
#include "simulator/mount_axis.h"
#include "simulator/site_clock.h"
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
    // The sky a camera pixel spans, which turns the rates above into motion on the sky.
    double arcsecondsPerPixel = 2.5;
    // How fast a go-to turns each axis, degrees per second.
    double gotoDegreesPerSecond = 8;
    // The site: latitude, longitude east of Greenwich, and the hours added to local time to
    // give universal time.
    double latitudeDegrees = 51.5;
    double longitudeDegrees = 0;
    double utcOffsetHours = 0;
    // The clock at start: a Julian date of universal time, or 0 for the moment of 2025-01-15
    // at which the local sidereal time is siderealHoursAtStart.
    double startJulianDate = 0;
    double siderealHoursAtStart = 2.0;
    // Where the mount points at start: on the meridian at this declination.
    double startDecDegrees = 30;
};

// What a go-to request met.
enum class GotoResult { Slewing, BelowHorizon };

// The simulated equatorial mount. It points at a right ascension and declination and tracks
// the sky. A go-to turns both axes at the go-to rate until they reach the target; the hand
// controller's moves, timed guide pulses and the control box turn the axes at the four rates
// through their backlash; the tracking error (drift, periodic error) is added to where it
// really points, which its own position readout does not know of. A sync makes the readout
// say the given coordinates. The pointing offset the simulated camera follows is where the
// starting field's centre stands on the picture, seen through the plate scale.
class MountModel {
  public:
    MountModel(const MountConfig& config, uint32_t startMs);

    // Starts moving one way ('n', 's', 'e', 'w') at a rate; other characters do nothing. A move
    // ends a go-to where it has got to.
    void Move(char direction, MoveRate rate, uint32_t milliseconds);
    // Stops the axis of that direction when it is moving that way.
    void Stop(char direction, uint32_t milliseconds);
    // Stops both axes' moves and pulses (not a go-to).
    void StopAll(uint32_t milliseconds);
    // Stops everything, a go-to too.
    void Abort(uint32_t milliseconds);
    // Moves one way at the guide rate for a time, then stops that axis.
    void Pulse(char direction, uint32_t durationMs, uint32_t milliseconds);
    // The way each axis is moving, or '\0' when it stands.
    char RaMotion() const { return raDirection_; }
    char DecMotion() const { return decDirection_; }

    // Sends the mount to the coordinates its readout would show there; refused below the
    // horizon.
    GotoResult GoTo(const SkyPosition& target, uint32_t milliseconds);
    bool SlewingAt(uint32_t milliseconds) const;
    // When the go-to under way ends; none when no go-to runs.
    std::optional<uint32_t> SlewEndMs(uint32_t milliseconds) const;
    // From now on the readout says these coordinates where the mount points now.
    void Sync(const SkyPosition& position, uint32_t milliseconds);
    void SetGotoRate(double degreesPerSecond) { gotoRate_ = degreesPerSecond; }
    double GotoRate() const { return gotoRate_; }
    // Sidereal tracking on or off; off, the sky turns past the standing mount.
    void SetTracking(bool on, uint32_t milliseconds);
    bool Tracking() const { return epochs_.back().tracking; }

    // The coordinates the mount's readout gives, and where it really points.
    SkyPosition ReportedAt(uint32_t milliseconds) const;
    SkyPosition SkyAt(uint32_t milliseconds) const;
    HorizontalPosition HorizontalAt(uint32_t milliseconds) const;
    // Where the field the mount started on stands on the picture, with the sky direction.
    PointingOffset OffsetAt(uint32_t milliseconds) const;

    double RatePixelsPerSecond(char direction, MoveRate rate) const;
    const MountConfig& Config() const { return config_; }
    uint32_t StartMs() const { return startMs_; }
    SiteClock& Site() { return site_; }
    const SiteClock& Site() const { return site_; }

  private:
    // From `start` on, the mechanical pointing goes from `from` toward `to` at `rate` (a
    // go-to, or standing when they are equal), with the hand moves since then measured from
    // `fineStart`.
    struct Epoch {
        int64_t start;
        SkyPosition from;
        SkyPosition to;
        double rate;
        PointingOffset fineStart;
        bool tracking;
    };

    int64_t Since(uint32_t milliseconds) const;
    const Epoch& EpochAt(int64_t time) const;
    // Where the axes point, without the tracking error or the sync.
    SkyPosition MechanicalAt(uint32_t milliseconds) const;
    // Starts a new epoch at this moment from where the axes point now.
    void BeginEpoch(uint32_t milliseconds, std::optional<SkyPosition> to);
    double SlewSeconds(const Epoch& epoch) const;
    // The axis output positions with pulses that have run out taken as stopped.
    double AxisPosition(const MountAxis& axis, const std::optional<uint32_t>& pulseEnd,
                        uint32_t milliseconds) const;
    PointingOffset FineAt(uint32_t milliseconds) const;
    // Stops pulses whose time is up by this moment.
    void EndPulses(uint32_t milliseconds);
    void SetAxis(bool ra, double speed, char direction, uint32_t milliseconds);

    MountConfig config_;
    uint32_t startMs_;
    SiteClock site_;
    MountAxis ra_;
    MountAxis dec_;
    TrackingError tracking_;
    char raDirection_ = '\0';
    char decDirection_ = '\0';
    std::optional<uint32_t> raPulseEnd_;
    std::optional<uint32_t> decPulseEnd_;
    double gotoRate_;
    SkyPosition home_;
    SkyPosition syncOffset_;  // readout minus mechanical, hours and degrees
    std::deque<Epoch> epochs_;
};

}  // namespace talvor
