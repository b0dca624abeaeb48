#include "simulator/lx200_coordinates.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace talvor {
namespace {

bool IsSeparator(char character) {
    return character == ':' || character == '*' || character == '\'' || character == ' ' ||
           character == '\xdf';
}

// Reads up to `most` digits; none when there is no digit.
std::optional<int> ReadDigits(std::string_view& text, int most) {
    int value = 0;
    int count = 0;
    while (!text.empty() && count < most && std::isdigit(static_cast<unsigned char>(text[0]))) {
        value = value * 10 + (text[0] - '0');
        text.remove_prefix(1);
        ++count;
    }
    if (count == 0) {
        return std::nullopt;
    }
    return value;
}

// Reads ".ddd" as a fraction; 0 when there is no point.
std::optional<double> ReadFraction(std::string_view& text) {
    if (text.empty() || text[0] != '.') {
        return 0.0;
    }
    text.remove_prefix(1);
    double fraction = 0;
    double place = 0.1;
    bool any = false;
    while (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) {
        fraction += (text[0] - '0') * place;
        place /= 10;
        any = true;
        text.remove_prefix(1);
    }
    if (!any) {
        return std::nullopt;
    }
    return fraction;
}

void SkipSpaces(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
}

std::optional<double> Within(std::optional<double> value, double low, double high) {
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

bool Signed(std::string_view text) {
    SkipSpaces(text);
    return !text.empty() && (text[0] == '+' || text[0] == '-');
}

// Unsigned hours from 0 up to, not including, 24: a right ascension or a time of day.
std::optional<double> HoursOfTheDay(std::string_view text) {
    if (Signed(text)) {
        return std::nullopt;
    }
    const std::optional<double> hours = Within(ParseSexagesimal(text), 0, 24);
    if (hours && *hours >= 24) {
        return std::nullopt;
    }
    return hours;
}

}  // namespace

std::string RightAscensionText(double hours, bool precise) {
    char text[48];
    if (precise) {
        const long seconds = std::lround(hours * 3600) % 86400;
        std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        const long tenths = std::lround(hours * 600) % 14400;
        std::snprintf(text, sizeof text, "%02ld:%02ld.%ld", tenths / 600, tenths / 10 % 60,
                      tenths % 10);
    }
    return text;
}

std::string DeclinationText(double degrees, bool precise) {
    const char sign = degrees < 0 ? '-' : '+';
    char text[48];
    if (precise) {
        const long seconds = std::lround(std::abs(degrees) * 3600);
        std::snprintf(text, sizeof text, "%c%02ld*%02ld'%02ld", sign, seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    } else {
        const long minutes = std::lround(std::abs(degrees) * 60);
        std::snprintf(text, sizeof text, "%c%02ld*%02ld", sign, minutes / 60, minutes % 60);
    }
    return text;
}

std::string AzimuthText(double degrees, bool precise) {
    char text[48];
    if (precise) {
        const long seconds = std::lround(degrees * 3600) % (360 * 3600);
        std::snprintf(text, sizeof text, "%03ld*%02ld'%02ld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        const long minutes = std::lround(degrees * 60) % (360 * 60);
        std::snprintf(text, sizeof text, "%03ld*%02ld", minutes / 60, minutes % 60);
    }
    return text;
}

std::string ClockText(double hours) {
    const long seconds = std::lround(hours * 3600) % 86400;
    char text[48];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::optional<double> ParseSexagesimal(std::string_view text) {
    SkipSpaces(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::optional<int> whole = ReadDigits(text, 3);
    if (!whole || text.empty() || !IsSeparator(text[0])) {
        return std::nullopt;
    }
    text.remove_prefix(1);
    const std::optional<int> minutes = ReadDigits(text, 2);
    if (!minutes || *minutes >= 60) {
        return std::nullopt;
    }
    double value = *whole + *minutes / 60.0;
    if (!text.empty() && text[0] == '.') {
        const std::optional<double> tenths = ReadFraction(text);
        if (!tenths) {
            return std::nullopt;
        }
        value += *tenths / 60;
    } else if (!text.empty() && IsSeparator(text[0]) && text.size() > 1 &&
               std::isdigit(static_cast<unsigned char>(text[1]))) {
        text.remove_prefix(1);
        const std::optional<int> seconds = ReadDigits(text, 2);
        const std::optional<double> fraction = ReadFraction(text);
        if (!seconds || !fraction || *seconds >= 60) {
            return std::nullopt;
        }
        value += (*seconds + *fraction) / 3600;
    }
    if (!text.empty() && text[0] == '"') {
        text.remove_prefix(1);
    }
    SkipSpaces(text);
    if (!text.empty()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> ParseRightAscension(std::string_view text) {
    return HoursOfTheDay(text);
}

std::optional<double> ParseDeclination(std::string_view text) {
    if (!Signed(text)) {
        return std::nullopt;
    }
    return ParseLatitude(text);
}

std::optional<double> ParseLatitude(std::string_view text) {
    return Within(ParseSexagesimal(text), -90, 90);
}

std::optional<double> ParseLongitude(std::string_view text) {
    return Within(ParseSexagesimal(text), -360, 360);
}

std::optional<double> ParseClock(std::string_view text) {
    return HoursOfTheDay(text);
}

std::optional<double> ParseUtcOffset(std::string_view text) {
    SkipSpaces(text);
    const std::string value(text);
    char* end = nullptr;
    const double hours = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end != '\0' || std::abs(hours) > 24) {
        return std::nullopt;
    }
    return hours;
}

std::optional<CivilDate> ParseDate(std::string_view text) {
    SkipSpaces(text);
    const std::optional<int> month = ReadDigits(text, 2);
    if (!month || text.empty() || text[0] != '/') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    const std::optional<int> day = ReadDigits(text, 2);
    if (!day || text.empty() || text[0] != '/') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    const std::optional<int> year = ReadDigits(text, 2);
    SkipSpaces(text);
    if (!year || !text.empty() || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
        return std::nullopt;
    }
    return CivilDate{*year >= 50 ? 1900 + *year : 2000 + *year, *month, *day};
}

}  // namespace talvor
