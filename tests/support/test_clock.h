#pragma once

#include "core/clock.h"

namespace talvor::testing {

// A clock that moves only when the test moves it.
class TestClock final : public Clock {
  public:
    explicit TestClock(uint32_t start = 0) : now_(start) {}
    uint32_t Milliseconds() override { return now_; }
    CalendarTime LocalTime() override { return calendar_; }
    // A wait moves the clock on to its end: nothing else would.
    void WaitUntil(uint32_t deadline) override {
        if (!DeadlineReached(now_, deadline)) {
            now_ = deadline;
        }
    }

    void Advance(uint32_t milliseconds) { now_ += milliseconds; }
    void Set(uint32_t milliseconds) { now_ = milliseconds; }
    void SetCalendar(const CalendarTime& calendar) { calendar_ = calendar; }

  private:
    uint32_t now_;
    CalendarTime calendar_{2026, 12, 7, 21, 30, 0};
};

}  // namespace talvor::testing
