#pragma once

#include <cstdint>
#include <deque>

namespace talvor {

// One drive axis of the simulated mount, in camera pixels: a motor that turns at the speed it
// is given and an output that follows it through a play (backlash). After a reversal the motor
// must take up the play before the output moves. The output starts in the middle of the play.
class MountAxis {
  public:
    MountAxis(uint32_t startMs, double backlashPixels);

    // From this moment the motor turns at this speed (pixels per second, signed; 0 stops it).
    // Moments must not go backwards; an earlier one counts as the last moment given.
    void SetSpeed(uint32_t milliseconds, double pixelsPerSecond);
    double Speed() const { return segments_.back().speed; }

    // Where the output stands at a moment. Moments before the last speed change are answered
    // from the recent history; before that, with the oldest position kept.
    double PositionAt(uint32_t milliseconds) const;

  private:
    // From `start` (milliseconds after the axis began) the motor turns at `speed`.
    struct Segment {
        int64_t start;
        double motor;
        double output;
        double speed;
    };

    int64_t Relative(uint32_t milliseconds) const;
    double OutputAt(const Segment& segment, int64_t time) const;

    double backlash_;
    uint32_t lastStartMs_;
    std::deque<Segment> segments_;
};

}  // namespace talvor
