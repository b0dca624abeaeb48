// The simulated mount's position readouts, its site and clock, and the target coordinates.

#include <cmath>
#include <cstdio>

#include "simulator/lx200_coordinates.h"
#include "simulator/mount_protocol.h"

namespace talvor {
namespace {

constexpr std::string_view kProductName = "Talvor Mountsim";
constexpr std::string_view kFirmware = "1.0";
constexpr std::string_view kFirmwareDate = "Jan 15 2025";
constexpr std::string_view kFirmwareTime = "12:00:00";
// The answer to a valid date: the hand controller's two lines while it recomputes the planets.
constexpr std::string_view kDateAccepted =
    "1Updating Planetary Data#                              #";

std::string_view SkipSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    return text;
}

std::string UtcOffsetText(double hours) {
    char text[48];
    if (hours == std::round(hours)) {
        std::snprintf(text, sizeof text, "%+03d", static_cast<int>(hours));
    } else {
        std::snprintf(text, sizeof text, "%+05.1f", hours);
    }
    return text;
}

// Longitude as the mount gives it: degrees west of Greenwich, -180 .. 180, "sDDD*MM".
std::string LongitudeText(double eastDegrees) {
    double west = -eastDegrees;
    while (west > 180) {
        west -= 360;
    }
    while (west <= -180) {
        west += 360;
    }
    const long minutes = std::lround(std::abs(west) * 60);
    char text[48];
    std::snprintf(text, sizeof text, "%c%03ld*%02ld", west < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

}  // namespace

std::optional<std::string> MountProtocol::Query(std::string_view command, uint32_t milliseconds) {
    const std::string_view what = command.substr(1);
    const SiteClock& site = mount_.Site();
    std::string answer;
    if (what == "R") {
        answer = RightAscensionText(mount_.ReportedAt(milliseconds).raHours, precise_);
    } else if (what == "D") {
        answer = DeclinationText(mount_.ReportedAt(milliseconds).decDegrees, precise_);
    } else if (what == "r") {
        answer = RightAscensionText(target_ ? target_->raHours : 0, precise_);
    } else if (what == "d") {
        answer = DeclinationText(target_ ? target_->decDegrees : 0, precise_);
    } else if (what == "A") {
        answer = DeclinationText(mount_.HorizontalAt(milliseconds).altitudeDegrees, precise_);
    } else if (what == "Z") {
        answer = AzimuthText(mount_.HorizontalAt(milliseconds).azimuthDegrees, precise_);
    } else if (what == "S") {
        answer = ClockText(site.SiderealHoursAt(milliseconds));
    } else if (what == "L") {
        answer = ClockText(site.LocalAt(milliseconds).hours);
    } else if (what == "a") {
        const double hours = site.LocalAt(milliseconds).hours;
        answer = ClockText(std::fmod(hours, 12.0) < 1 ? std::fmod(hours, 12.0) + 12
                                                      : std::fmod(hours, 12.0));
    } else if (what == "C") {
        const CalendarMoment local = site.LocalAt(milliseconds);
        char text[48];
        std::snprintf(text, sizeof text, "%02d/%02d/%02d", local.month, local.day,
                      local.year % 100);
        answer = text;
    } else if (what == "G") {
        answer = UtcOffsetText(site.UtcOffset());
    } else if (what == "t") {
        answer = DeclinationText(site.Latitude(), false);
    } else if (what == "g") {
        answer = LongitudeText(site.Longitude());
    } else if (what == "c") {
        answer = "24";
    } else if (what == "M" || what == "N" || what == "O" || what == "P") {
        answer = "Site " + std::to_string(std::string_view("MNOP").find(what[0]) + 1);
    } else if (what == "T") {
        answer = mount_.Tracking() ? "60.1" : "00.0";
    } else if (what == "VP") {
        answer = kProductName;
    } else if (what == "VN") {
        answer = kFirmware;
    } else if (what == "VD") {
        answer = kFirmwareDate;
    } else if (what == "VT") {
        answer = kFirmwareTime;
    } else if (what == "VF") {
        answer = std::string(kProductName) + " " + std::string(kFirmware);
    } else if (what == "W") {
        // Mount kind, tracking, aligned.
        answer = std::string(1, alignment_) + (mount_.Tracking() ? "T" : "N") + "1";
    } else if (what == "h") {
        answer = "+00*";
    } else if (what == "o") {
        answer = "90*";
    } else {
        return std::nullopt;
    }
    return answer + "#";
}

std::optional<std::string> MountProtocol::Setting(std::string_view command, uint32_t milliseconds) {
    if (command.size() < 2) {
        return std::nullopt;
    }
    const char what = command[1];
    const std::string_view value = SkipSpaces(command.substr(2));
    SiteClock& site = mount_.Site();
    switch (what) {
        case 'r':
            if (const auto hours = ParseRightAscension(value)) {
                CoordinateTarget().raHours = *hours;
                return std::string("1");
            }
            return std::string("0");
        case 'd':
            if (const auto degrees = ParseDeclination(value)) {
                CoordinateTarget().decDegrees = *degrees;
                return std::string("1");
            }
            return std::string("0");
        case 't':
            if (const auto degrees = ParseLatitude(value)) {
                site.SetLatitude(*degrees);
                Report(milliseconds, "site latitude " + DeclinationText(*degrees, true));
                return std::string("1");
            }
            return std::string("0");
        case 'g':
            // Degrees west of Greenwich, 0 .. 360 or signed.
            if (const auto west = ParseLongitude(value)) {
                const double east = -*west;
                site.SetLongitude(east <= -180 ? east + 360 : east);
                Report(milliseconds,
                       "site longitude " + LongitudeText(site.Longitude()) + " (west positive)");
                return std::string("1");
            }
            return std::string("0");
        case 'G':
            if (const auto hours = ParseUtcOffset(value)) {
                site.SetUtcOffset(*hours, milliseconds);
                Report(milliseconds, "UTC offset " + UtcOffsetText(*hours));
                return std::string("1");
            }
            return std::string("0");
        case 'L':
            if (const auto hours = ParseClock(value)) {
                site.SetLocalTime(*hours, milliseconds);
                Report(milliseconds, "local time " + ClockText(*hours));
                return std::string("1");
            }
            return std::string("0");
        case 'C':
            if (const auto date = ParseDate(value)) {
                site.SetLocalDate(date->year, date->month, date->day, milliseconds);
                char text[32];
                std::snprintf(text, sizeof text, "local date %04d-%02d-%02d", date->year,
                              date->month, date->day);
                Report(milliseconds, text);
                return std::string(kDateAccepted);
            }
            return std::string("0");
        case 'w':
            // The fastest go-to rate, 2 to 8 degrees a second.
            if (value.size() == 1 && value[0] >= '2' && value[0] <= '8') {
                mount_.SetGotoRate(value[0] - '0');
                return std::string("1");
            }
            return std::string("0");
        case 'M':
        case 'N':
        case 'O':
        case 'P':
        case 'T':
        case 'h':
        case 'o':
            // Site names, the tracking frequency and the altitude limits are taken and kept
            // no further: the simulated drive tracks at the sidereal rate above the horizon.
            return std::string("1");
        default:
            return std::nullopt;
    }
}

}  // namespace talvor
