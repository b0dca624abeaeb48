#include "core/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace talvor {

void Clock::WaitUntil(uint32_t deadline) {
    while (!DeadlineReached(Milliseconds(), deadline)) {
    }
}

uint32_t SystemClock::Milliseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SystemClock::WaitUntil(uint32_t deadline) {
    for (;;) {
        const auto left = static_cast<int32_t>(deadline - Milliseconds());
        if (left <= 0) {
            return;
        }
        // Sleep through all but the last millisecond, whose end the short naps catch.
        std::this_thread::sleep_for(left > 1 ? std::chrono::milliseconds(left - 1)
                                             : std::chrono::microseconds(100));
    }
}

CalendarTime SystemClock::LocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CalendarTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace talvor
