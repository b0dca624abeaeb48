#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvor {

// The texts in which an LX200 mount gives and takes angles and times. A mount answers in low
// precision ("HH:MM.T", "sDD*MM") until ":U#" switches it to high precision ("HH:MM:SS",
// "sDD*MM'SS"); clients send either, with any of the usual separators.

std::string RightAscensionText(double hours, bool precise);
// Declinations and altitudes, signed.
std::string DeclinationText(double degrees, bool precise);
// Azimuths, 0 to 360 degrees.
std::string AzimuthText(double degrees, bool precise);
// "HH:MM:SS" of hours 0..24.
std::string ClockText(double hours);

// A sexagesimal value "[sign]W<sep>MM[<sep>SS[.s]]" or "[sign]W<sep>MM.T" (tenths of a
// minute). Separators: ':', '*', the mount's degree sign 0xDF, '\'' and spaces; a closing '"'
// is allowed. None when the text is not one, or minutes or seconds reach 60.
std::optional<double> ParseSexagesimal(std::string_view text);
// The same, checked against a range: right ascension 0..24 hours (24 excluded, no sign),
// declination -90..90 degrees with its sign, latitude the same with the sign optional, and so
// on.
std::optional<double> ParseRightAscension(std::string_view text);
std::optional<double> ParseDeclination(std::string_view text);
std::optional<double> ParseLatitude(std::string_view text);
std::optional<double> ParseLongitude(std::string_view text);
std::optional<double> ParseClock(std::string_view text);
// Hours, "sHH" or "sHH.H", within -24..24.
std::optional<double> ParseUtcOffset(std::string_view text);

struct CivilDate {
    int year = 2000;
    int month = 1;
    int day = 1;
};
// "MM/DD/YY": years from 50 are of the twentieth century, the rest of the twenty-first.
std::optional<CivilDate> ParseDate(std::string_view text);

}  // namespace talvor
