#pragma once

#include <cstdint>

namespace talvor {

// A date and time of day on the computer's wall clock.
struct CalendarTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The one source of time: a millisecond count that wraps like a 32-bit counter, and the calendar.
// Tests substitute a clock they move by hand, so exposures and timeouts run without waiting.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t Milliseconds() = 0;
    virtual CalendarTime LocalTime() = 0;
    // Returns once the count has reached the deadline (see DeadlineReached). A clock that runs by
    // itself naps meanwhile; this one reads the count until then, which ends at once on a clock
    // that moves as it is read.
    virtual void WaitUntil(uint32_t deadline);
};

// A deadline computed as start + duration is reached once now has passed it, even when the
// addition wrapped past 2^32: the signed difference tells, the unsigned comparison would not.
inline bool DeadlineReached(uint32_t now, uint32_t deadline) {
    return static_cast<int32_t>(now - deadline) >= 0;
}

class SystemClock final : public Clock {
  public:
    uint32_t Milliseconds() override;
    CalendarTime LocalTime() override;
    // Sleeps, and naps briefly over the last millisecond so that the wait ends on time.
    void WaitUntil(uint32_t deadline) override;
};

}  // namespace talvor
