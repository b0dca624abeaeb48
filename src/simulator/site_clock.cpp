#include "simulator/site_clock.h"

#include <cmath>

namespace talvor {

SiteClock::SiteClock(double latitudeDegrees, double longitudeDegrees, double utcOffsetHours,
                     double julianDateAtStart, uint32_t startMs)
    : latitude_(latitudeDegrees),
      longitude_(longitudeDegrees),
      utcOffset_(utcOffsetHours),
      julianDate_(julianDateAtStart),
      referenceMs_(startMs) {}

double SiteClock::JulianDateAt(uint32_t milliseconds) const {
    const double seconds = static_cast<int32_t>(milliseconds - referenceMs_) / 1000.0;
    return julianDate_ + seconds / 86400;
}

CalendarMoment SiteClock::LocalAt(uint32_t milliseconds) const {
    return CalendarOf(JulianDateAt(milliseconds) - utcOffset_ / 24);
}

void SiteClock::SetLocal(const CalendarMoment& local, uint32_t milliseconds) {
    julianDate_ = JulianDate(local.year, local.month, local.day, local.hours) + utcOffset_ / 24;
    referenceMs_ = milliseconds;
}

void SiteClock::SetUtcOffset(double hours, uint32_t milliseconds) {
    const CalendarMoment local = LocalAt(milliseconds);
    utcOffset_ = hours;
    SetLocal(local, milliseconds);
}

void SiteClock::SetLocalTime(double hours, uint32_t milliseconds) {
    CalendarMoment local = LocalAt(milliseconds);
    local.hours = hours;
    SetLocal(local, milliseconds);
}

void SiteClock::SetLocalDate(int year, int month, int day, uint32_t milliseconds) {
    CalendarMoment local = LocalAt(milliseconds);
    local.year = year;
    local.month = month;
    local.day = day;
    SetLocal(local, milliseconds);
}

double SiteClock::SiderealHoursAt(uint32_t milliseconds) const {
    return WrapHours(GreenwichSiderealHours(JulianDateAt(milliseconds)) + longitude_ / 15);
}

double JulianDateWithSiderealTime(int year, int month, int day, double siderealHours,
                                  double longitudeDegrees) {
    const double midnight = JulianDate(year, month, day, 0);
    const double atMidnight = GreenwichSiderealHours(midnight) + longitudeDegrees / 15;
    const double behind = WrapHours(siderealHours - atMidnight);
    return midnight + behind / kSiderealPerSolar / 24;
}

}  // namespace talvor
