#include "simulator/mount_protocol.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "telescope/lx200_commands.h"

namespace talvor {
namespace {

// A command longer than this is noise; it is dropped.
constexpr std::size_t kLongestCommand = 64;
constexpr double kSiderealPerSolar = 1.00273790935;

constexpr char kBoxDirections[] = {'e', 'n', 's', 'w'};  // bits 0x01, 0x02, 0x04, 0x08

std::string_view SkipSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    return text;
}

std::string CoordinatesText(const SkyObject& target) {
    const int raTenths = static_cast<int>(std::lround(target.raHours * 600)) % 14400;
    const int decMinutes = static_cast<int>(std::lround(std::abs(target.decDegrees) * 60));
    char text[40];
    std::snprintf(text, sizeof text, "RA %02d:%02d.%d DEC %c%02d*%02d", raTenths / 600,
                  raTenths / 10 % 60, raTenths % 10, target.decDegrees < 0 ? '-' : '+',
                  decMinutes / 60, decMinutes % 60);
    return text;
}

}  // namespace

MountProtocol::MountProtocol(MountModel& mount, FocuserModel& focuser)
    : mount_(mount), focuser_(focuser) {}

std::string MountProtocol::Receive(uint8_t byte, uint32_t milliseconds) {
    if (byte < 0x20) {
        BoxByte(byte, milliseconds);
        return {};
    }
    if (byte == '#') {
        std::string command;
        command.swap(command_);
        if (!command.empty() && command.front() == ':') {
            return Execute(std::string_view(command).substr(1), milliseconds);
        }
        return {};
    }
    command_ += static_cast<char>(byte);
    if (command_.size() > kLongestCommand) {
        command_.clear();
    }
    return {};
}

std::string MountProtocol::Execute(std::string_view command, uint32_t milliseconds) {
    if (command.size() < 1) {
        return {};
    }
    const char group = command[0];
    const std::string_view rest = command.substr(1);
    if (group == 'R' && rest.size() == 1) {
        static constexpr std::pair<char, MoveRate> kRates[] = {{'G', MoveRate::Guide},
                                                               {'C', MoveRate::Centre},
                                                               {'M', MoveRate::Find},
                                                               {'S', MoveRate::Slew}};
        for (const auto& [letter, rate] : kRates) {
            if (rest[0] == letter) {
                rate_ = rate;
            }
        }
    } else if (group == 'M' && rest == "S") {
        return SlewToTarget(milliseconds);
    } else if (group == 'M' && rest.size() == 1) {
        mount_.Move(rest[0], rate_, milliseconds);
    } else if (group == 'Q' && rest.empty()) {
        mount_.StopAll(milliseconds);
    } else if (group == 'Q' && rest.size() == 1) {
        mount_.Stop(rest[0], milliseconds);
    } else if (group == 'F' && rest.size() == 1) {
        switch (rest[0]) {
            case 'F':
                focuser_.SetFast(true);
                break;
            case 'S':
                focuser_.SetFast(false);
                break;
            case '+':
                focuser_.Start(+1, milliseconds);
                break;
            case '-':
                focuser_.Start(-1, milliseconds);
                break;
            case 'Q':
                focuser_.Stop(milliseconds);
                break;
            default:
                break;
        }
    } else if (group == 'L' && rest == "I") {
        if (!target_) {
            return "#";
        }
        return (target_->name.empty() ? CoordinatesText(*target_) : DescribeObject(*target_)) + "#";
    } else if (group == 'L' && !rest.empty() &&
               (rest[0] == 'M' || rest[0] == 'S' || rest[0] == 'C')) {
        const std::string number(SkipSpaces(rest.substr(1)));
        char* end = nullptr;
        const long value = std::strtol(number.c_str(), &end, 10);
        const char kind = rest[0] == 'M' ? 'm' : rest[0] == 'S' ? 's' : 'c';
        if (end != number.c_str() && *end == '\0') {
            if (auto found = FindCatalogueObject(kind, static_cast<int>(value))) {
                target_ = std::move(found);
            }
        }
    } else if (group == 'S' && !rest.empty() && rest[0] == 'r') {
        return SetRightAscension(SkipSpaces(rest.substr(1)));
    } else if (group == 'S' && !rest.empty() && rest[0] == 'd') {
        return SetDeclination(SkipSpaces(rest.substr(1)));
    }
    return {};
}

SkyObject& MountProtocol::CoordinateTarget() {
    if (!target_ || !target_->name.empty()) {
        const SkyObject previous = target_.value_or(SkyObject{});
        target_ = SkyObject{"", "", previous.raHours, previous.decDegrees, 0};
    }
    return *target_;
}

std::string MountProtocol::SetRightAscension(std::string_view text) {
    const std::string value(text);
    int hours = -1;
    int minutes = -1;
    int fraction = 0;
    char separator = 0;
    const int read =
        std::sscanf(value.c_str(), "%d:%d%c%d", &hours, &minutes, &separator, &fraction);
    if (read < 2 || hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || fraction < 0) {
        return "0";
    }
    double hoursValue = hours + minutes / 60.0;
    if (read == 4 && separator == '.') {
        hoursValue += fraction / 600.0;
    } else if (read == 4 && separator == ':') {
        hoursValue += fraction / 3600.0;
    }
    CoordinateTarget().raHours = hoursValue;
    return "1";
}

std::string MountProtocol::SetDeclination(std::string_view text) {
    if (text.empty() || (text[0] != '+' && text[0] != '-')) {
        return "0";
    }
    const bool south = text[0] == '-';
    const std::string value(text.substr(1));
    int degrees = -1;
    int minutes = -1;
    char mark = 0;
    if (std::sscanf(value.c_str(), "%d%c%d", &degrees, &mark, &minutes) != 3 || degrees < 0 ||
        degrees > 90 || minutes < 0 || minutes > 59 ||
        (mark != '*' && mark != ':' && mark != '\xdf')) {
        return "0";
    }
    const double magnitude = degrees + minutes / 60.0;
    if (magnitude > 90) {
        return "0";
    }
    CoordinateTarget().decDegrees = south ? -magnitude : magnitude;
    return "1";
}

std::string MountProtocol::SlewToTarget(uint32_t milliseconds) {
    if (!target_) {
        return "1No object selected#";
    }
    const MountConfig& config = mount_.Config();
    const double hours = static_cast<int32_t>(milliseconds - mount_.StartMs()) / 3600000.0;
    const double sidereal = config.siderealHoursAtStart + hours * kSiderealPerSolar;
    if (AltitudeDegrees(target_->raHours, target_->decDegrees, config.latitudeDegrees, sidereal) <
        0) {
        return "1Object below the horizon#";
    }
    // The sky the simulated camera shows stays centred on wherever the mount points, so a
    // go-to leaves the pointing offset as it is.
    ++slewsStarted_;
    return "0";
}

void MountProtocol::StopBoxDrives(uint32_t milliseconds) {
    for (int bit = 0; bit < 4; ++bit) {
        if (boxDrives_ & (1 << bit)) {
            mount_.Stop(kBoxDirections[bit], milliseconds);
        }
    }
    boxDrives_ = 0;
}

void MountProtocol::BoxByte(uint8_t byte, uint32_t milliseconds) {
    if (byte == kBoxWakeUp) {
        ++boxResets_;
        StopBoxDrives(milliseconds);
        return;
    }
    if ((byte & kBoxDriveOn) == 0) {
        // A direction code only selects; no code at all stops every drive.
        if (byte == kBoxAllOff) {
            StopBoxDrives(milliseconds);
        }
        return;
    }
    for (int bit = 0; bit < 4; ++bit) {
        if (byte & (1 << bit)) {
            mount_.Move(kBoxDirections[bit], MoveRate::Guide, milliseconds);
            boxDrives_ |= static_cast<uint8_t>(1 << bit);
        }
    }
}

}  // namespace talvor
