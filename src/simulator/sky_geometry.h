#pragma once

#include <optional>

#include "core/pointing_offset.h"

namespace talvor {

// Sidereal seconds in a second of the civil clock.
inline constexpr double kSiderealPerSolar = 1.00273790935;
inline constexpr double kArcsecondsPerRadian = 206264.80624709636;

// A right ascension folded into 0 <= hours < 24.
double WrapHours(double hours);
// The way from one right ascension to another the short way round, in hours (-12 .. 12].
double HoursBetween(double from, double to);
// The angle between two directions, in degrees.
double SeparationDegrees(const SkyPosition& a, const SkyPosition& b);

// Where a direction stands for an observer at a latitude at a local sidereal time: altitude
// above the horizon and azimuth from north through east, in degrees.
struct HorizontalPosition {
    double altitudeDegrees = 0.0;
    double azimuthDegrees = 0.0;
};
HorizontalPosition ToHorizontal(const SkyPosition& position, double latitudeDegrees,
                                double siderealHours);
double AltitudeDegrees(double raHours, double decDegrees, double latitudeDegrees,
                       double siderealHours);

// A point of the plane that touches the sky at a centre (the gnomonic projection a telescope's
// focal plane makes), in arc-seconds east and north of the centre.
struct TangentPoint {
    double east = 0.0;
    double north = 0.0;
};
// None when the direction lies more than 80 degrees from the centre, where the plane is of no
// use.
std::optional<TangentPoint> Project(const SkyPosition& centre, const SkyPosition& direction);
SkyPosition Deproject(const SkyPosition& centre, const TangentPoint& point);

// A direction moved along its own declination circle and hour circle: `north` arc-seconds in
// declination, then `east` arc-seconds on the sky in right ascension at the new declination.
// Past a pole the declination folds back and the right ascension turns by 12 hours.
SkyPosition Shift(const SkyPosition& from, double eastArcseconds, double northArcseconds);

// Julian date of a moment of universal time, its calendar date and hours back, and the mean
// sidereal time at Greenwich then.
double JulianDate(int year, int month, int day, double hours);
struct CalendarMoment {
    int year = 2000;
    int month = 1;
    int day = 1;
    double hours = 0.0;
};
CalendarMoment CalendarOf(double julianDate);
double GreenwichSiderealHours(double julianDate);

}  // namespace talvor
