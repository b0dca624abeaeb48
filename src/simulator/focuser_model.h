#pragma once

#include <cstdint>

namespace talvor {

// The simulated mount's focuser: a motor that runs in or out at a fast or a slow speed until it
// is stopped, counted in steps.
class FocuserModel {
  public:
    static constexpr double kFastStepsPerSecond = 200;
    static constexpr double kSlowStepsPerSecond = 20;

    // The speed of the runs that start from now on.
    void SetFast(bool fast) { fast_ = fast; }
    bool Fast() const { return fast_; }

    // Starts running inward (+1) or outward (-1), or changes the way it runs.
    void Start(int direction, uint32_t milliseconds) {
        Settle(milliseconds);
        speed_ = direction * (fast_ ? kFastStepsPerSecond : kSlowStepsPerSecond);
    }
    void Stop(uint32_t milliseconds) {
        Settle(milliseconds);
        speed_ = 0;
    }
    bool Running() const { return speed_ != 0; }

    double PositionAt(uint32_t milliseconds) const {
        const int32_t elapsed = static_cast<int32_t>(milliseconds - since_);
        return position_ + speed_ * (elapsed > 0 ? elapsed : 0) / 1000.0;
    }

  private:
    void Settle(uint32_t milliseconds) {
        position_ = PositionAt(milliseconds);
        since_ = milliseconds;
    }

    bool fast_ = true;
    double speed_ = 0;
    double position_ = 0;
    uint32_t since_ = 0;
};

}  // namespace talvor
