#pragma once

#include <cstdint>

#include "simulator/sky_geometry.h"

namespace talvor {

// The simulated mount's site and clock: latitude, longitude (east positive), the offset that
// turns local civil time into universal time, and a clock that runs on from the simulator's
// millisecond clock and can be set to another local date and time, as a hand controller's
// clock is set.
class SiteClock {
  public:
    SiteClock(double latitudeDegrees, double longitudeDegrees, double utcOffsetHours,
              double julianDateAtStart, uint32_t startMs);

    double Latitude() const { return latitude_; }
    double Longitude() const { return longitude_; }
    // Hours added to local time to give universal time (west of Greenwich positive).
    double UtcOffset() const { return utcOffset_; }
    void SetLatitude(double degrees) { latitude_ = degrees; }
    void SetLongitude(double degrees) { longitude_ = degrees; }
    // The local time stays what it was; universal time moves by the change.
    void SetUtcOffset(double hours, uint32_t milliseconds);

    double JulianDateAt(uint32_t milliseconds) const;
    // The local civil date and time.
    CalendarMoment LocalAt(uint32_t milliseconds) const;
    // Keep the local date and set the time of day, or the other way round.
    void SetLocalTime(double hours, uint32_t milliseconds);
    void SetLocalDate(int year, int month, int day, uint32_t milliseconds);
    double SiderealHoursAt(uint32_t milliseconds) const;

  private:
    void SetLocal(const CalendarMoment& local, uint32_t milliseconds);

    double latitude_;
    double longitude_;
    double utcOffset_;
    double julianDate_;  // universal time at referenceMs_
    uint32_t referenceMs_;
};

// The Julian date on a day at which the local sidereal time at a longitude is the given one.
double JulianDateWithSiderealTime(int year, int month, int day, double siderealHours,
                                  double longitudeDegrees);

}  // namespace talvor
