#include "simulator/sky_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace talvor {
namespace {

constexpr double kRadian = std::numbers::pi / 180;
// Beyond this the tangent plane stretches too far to place a star on it.
constexpr double kFarthestProjectedCosine = 0.17364817766693;  // cos 80 degrees
// Closer to a pole than this, a step east is taken as if at this distance.
constexpr double kLeastCosine = 1e-4;

}  // namespace

double WrapHours(double hours) {
    const double wrapped = std::fmod(hours, 24.0);
    return wrapped < 0 ? wrapped + 24.0 : (wrapped >= 24.0 ? 0.0 : wrapped);
}

double HoursBetween(double from, double to) {
    double difference = std::fmod(to - from, 24.0);
    if (difference > 12) {
        difference -= 24;
    } else if (difference <= -12) {
        difference += 24;
    }
    return difference;
}

double SeparationDegrees(const SkyPosition& a, const SkyPosition& b) {
    const double d1 = a.decDegrees * kRadian;
    const double d2 = b.decDegrees * kRadian;
    const double dra = (b.raHours - a.raHours) * 15 * kRadian;
    // The haversine form keeps small angles exact.
    const double h = std::pow(std::sin((d2 - d1) / 2), 2) +
                     std::cos(d1) * std::cos(d2) * std::pow(std::sin(dra / 2), 2);
    return 2 * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0))) / kRadian;
}

HorizontalPosition ToHorizontal(const SkyPosition& position, double latitudeDegrees,
                                double siderealHours) {
    const double hourAngle = (siderealHours - position.raHours) * 15 * kRadian;
    const double latitude = latitudeDegrees * kRadian;
    const double declination = position.decDegrees * kRadian;
    const double sine = std::sin(latitude) * std::sin(declination) +
                        std::cos(latitude) * std::cos(declination) * std::cos(hourAngle);
    const double altitude = std::asin(std::clamp(sine, -1.0, 1.0));
    // Azimuth from north through east.
    const double y = -std::cos(declination) * std::sin(hourAngle);
    const double x = std::sin(declination) * std::cos(latitude) -
                     std::cos(declination) * std::cos(hourAngle) * std::sin(latitude);
    double azimuth = std::atan2(y, x) / kRadian;
    if (azimuth < 0) {
        azimuth += 360;
    }
    return {altitude / kRadian, azimuth};
}

double AltitudeDegrees(double raHours, double decDegrees, double latitudeDegrees,
                       double siderealHours) {
    return ToHorizontal({raHours, decDegrees}, latitudeDegrees, siderealHours).altitudeDegrees;
}

std::optional<TangentPoint> Project(const SkyPosition& centre, const SkyPosition& direction) {
    const double d0 = centre.decDegrees * kRadian;
    const double d = direction.decDegrees * kRadian;
    const double dra = (direction.raHours - centre.raHours) * 15 * kRadian;
    const double cosine = std::sin(d0) * std::sin(d) + std::cos(d0) * std::cos(d) * std::cos(dra);
    if (cosine < kFarthestProjectedCosine) {
        return std::nullopt;
    }
    const double east = std::cos(d) * std::sin(dra) / cosine;
    const double north =
        (std::cos(d0) * std::sin(d) - std::sin(d0) * std::cos(d) * std::cos(dra)) / cosine;
    return TangentPoint{east * kArcsecondsPerRadian, north * kArcsecondsPerRadian};
}

SkyPosition Deproject(const SkyPosition& centre, const TangentPoint& point) {
    const double xi = point.east / kArcsecondsPerRadian;
    const double eta = point.north / kArcsecondsPerRadian;
    const double d0 = centre.decDegrees * kRadian;
    const double denominator = std::cos(d0) - eta * std::sin(d0);
    const double dra = std::atan2(xi, denominator);
    const double dec = std::atan2(std::sin(d0) + eta * std::cos(d0),
                                  std::sqrt(xi * xi + denominator * denominator));
    return {WrapHours(centre.raHours + dra / kRadian / 15), dec / kRadian};
}

SkyPosition Shift(const SkyPosition& from, double eastArcseconds, double northArcseconds) {
    double dec = from.decDegrees + northArcseconds / 3600;
    double ra = from.raHours;
    if (dec > 90) {
        dec = 180 - dec;
        ra += 12;
    } else if (dec < -90) {
        dec = -180 - dec;
        ra += 12;
    }
    const double cosine = std::max(std::cos(dec * kRadian), kLeastCosine);
    ra += eastArcseconds / 3600 / 15 / cosine;
    return {WrapHours(ra), dec};
}

double JulianDate(int year, int month, int day, double hours) {
    // The Gregorian calendar, by the usual day-count arithmetic.
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    const int century = year / 100;
    const int leap = 2 - century + century / 4;
    return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day + leap -
           1524.5 + hours / 24;
}

CalendarMoment CalendarOf(double julianDate) {
    // To the nearest millisecond, so that a time set to a whole second reads back as one.
    const double shifted = std::round((julianDate + 0.5) * 86400000.0) / 86400000.0;
    const double whole = std::floor(shifted);
    const double fraction = shifted - whole;
    const double alpha = std::floor((whole - 1867216.25) / 36524.25);
    const double a = whole + 1 + alpha - std::floor(alpha / 4);
    const double b = a + 1524;
    const double c = std::floor((b - 122.1) / 365.25);
    const double d = std::floor(365.25 * c);
    const double e = std::floor((b - d) / 30.6001);
    CalendarMoment moment;
    moment.day = static_cast<int>(b - d - std::floor(30.6001 * e));
    moment.month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    moment.year = static_cast<int>(moment.month > 2 ? c - 4716 : c - 4715);
    moment.hours = fraction * 24;
    return moment;
}

double GreenwichSiderealHours(double julianDate) {
    return WrapHours(18.697374558 + 24.06570982441908 * (julianDate - 2451545.0));
}

}  // namespace talvor
