#include "simulator/mount_protocol.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "simulator/lx200_coordinates.h"
#include "telescope/lx200_commands.h"

namespace talvor {
namespace {

// A command longer than this is noise; it is dropped.
constexpr std::size_t kLongestCommand = 64;
constexpr uint8_t kAck = 0x06;
// What ":D#" shows while a go-to runs: one bar (the mount's character 0x7F).
constexpr std::string_view kDistanceBar = "\x7f#";

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

std::optional<MoveRate> RateOf(char letter) {
    switch (letter) {
        case 'G':
            return MoveRate::Guide;
        case 'C':
            return MoveRate::Centre;
        case 'M':
            return MoveRate::Find;
        case 'S':
            return MoveRate::Slew;
        default:
            break;
    }
    // The numbered rates of later hand controllers, 0 slowest to 9 fastest.
    if (letter >= '0' && letter <= '9') {
        static constexpr MoveRate kNumbered[] = {
            MoveRate::Guide, MoveRate::Guide, MoveRate::Centre, MoveRate::Centre, MoveRate::Centre,
            MoveRate::Find,  MoveRate::Find,  MoveRate::Find,   MoveRate::Slew,   MoveRate::Slew};
        return kNumbered[letter - '0'];
    }
    return std::nullopt;
}

}  // namespace

MountProtocol::MountProtocol(MountModel& mount, FocuserModel& focuser)
    : mount_(mount), focuser_(focuser) {}

void MountProtocol::Report(uint32_t milliseconds, std::string text) {
    if (events_) {
        events_(MountEvent{milliseconds, std::move(text)});
    }
}

std::string MountProtocol::PositionText(const SkyPosition& position) const {
    return "RA " + RightAscensionText(position.raHours, true) + " Dec " +
           DeclinationText(position.decDegrees, true);
}

void MountProtocol::Advance(uint32_t milliseconds) {
    if (slewEnd_ && static_cast<int32_t>(milliseconds - *slewEnd_) >= 0) {
        const uint32_t end = *slewEnd_;
        slewEnd_.reset();
        Report(end, "slew ended at " + PositionText(mount_.ReportedAt(end)));
    }
}

void MountProtocol::NoteSlewStopped(uint32_t milliseconds) {
    if (slewEnd_ && static_cast<int32_t>(milliseconds - *slewEnd_) < 0 &&
        !mount_.SlewingAt(milliseconds)) {
        slewEnd_.reset();
        Report(milliseconds, "slew stopped at " + PositionText(mount_.ReportedAt(milliseconds)));
    }
}

std::string MountProtocol::Receive(uint8_t byte, uint32_t milliseconds) {
    Advance(milliseconds);
    if (byte == kAck) {
        return std::string(1, alignment_);
    }
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
    if (command.empty()) {
        return {};
    }
    std::optional<std::string> answer;
    switch (command[0]) {
        case 'A':
        case 'C':
        case 'D':
        case 'M':
        case 'Q':
        case 'R':
        case 'T':
        case 'U':
            answer = Motion(command, milliseconds);
            break;
        case 'G':
            answer = Query(command, milliseconds);
            break;
        case 'S':
            answer = Setting(command, milliseconds);
            break;
        case 'L':
            answer = Catalogue(command);
            break;
        case 'F':
            answer = Focuser(command, milliseconds);
            break;
        case 'B':  // the reticle's brightness: there is no reticle to light
            answer = std::string();
            break;
        default:
            break;
    }
    if (!answer) {
        Report(milliseconds, "ignored unknown command :" + std::string(command) + "#");
        return {};
    }
    return *answer;
}

std::optional<std::string> MountProtocol::Motion(std::string_view command, uint32_t milliseconds) {
    const char group = command[0];
    const std::string_view rest = command.substr(1);
    if (group == 'Q' && rest.empty()) {
        mount_.Abort(milliseconds);
        NoteSlewStopped(milliseconds);
        return std::string();
    }
    if (group == 'Q' && rest.size() == 1 && IsDirection(rest[0])) {
        mount_.Stop(rest[0], milliseconds);
        return std::string();
    }
    if (group == 'M' && rest == "S") {
        return SlewToTarget(milliseconds);
    }
    if (group == 'M' && rest.size() == 1 && IsDirection(rest[0])) {
        mount_.Move(rest[0], rate_, milliseconds);
        NoteSlewStopped(milliseconds);
        return std::string();
    }
    if (group == 'M' && rest.size() >= 3 && rest.size() <= 6 && rest[0] == 'g' &&
        IsDirection(rest[1])) {
        const std::string digits(rest.substr(2));
        char* end = nullptr;
        const long duration = std::strtol(digits.c_str(), &end, 10);
        if (*end != '\0' || duration < 0 || digits[0] == '-' || digits[0] == '+') {
            return std::nullopt;
        }
        if (!mount_.SlewingAt(milliseconds)) {
            mount_.Pulse(rest[1], static_cast<uint32_t>(duration), milliseconds);
            Report(milliseconds,
                   std::string("guide pulse ") + rest[1] + " " + std::to_string(duration) + " ms");
        }
        return std::string();
    }
    if (group == 'D' && rest.empty()) {
        return std::string(mount_.SlewingAt(milliseconds) ? kDistanceBar : "#");
    }
    if (group == 'C' && (rest == "M" || rest == "MR")) {
        return SyncToTarget(milliseconds);
    }
    if (group == 'R' && rest.size() == 1 && RateOf(rest[0])) {
        rate_ = *RateOf(rest[0]);
        return std::string();
    }
    if (group == 'U' && rest.empty()) {
        precise_ = !precise_;
        return std::string();
    }
    if (group == 'A' && rest.size() == 1 && (rest[0] == 'P' || rest[0] == 'A' || rest[0] == 'L')) {
        // Land mode stops tracking; the polar and alt-az modes track the sky.
        alignment_ = rest[0];
        mount_.SetTracking(rest[0] != 'L', milliseconds);
        Report(milliseconds, rest[0] == 'L' ? "tracking off" : "tracking at the sidereal rate");
        return std::string();
    }
    if (group == 'T' && rest.size() == 1 &&
        std::string_view("QSLM+-").find(rest[0]) != std::string_view::npos) {
        // Tracking-rate choices: the simulated drive tracks at the sidereal rate whatever is
        // chosen.
        return std::string();
    }
    return std::nullopt;
}

std::optional<std::string> MountProtocol::Catalogue(std::string_view command) {
    const std::string_view rest = command.substr(1);
    if (rest == "I") {
        if (!target_) {
            return std::string("#");
        }
        return (target_->name.empty() ? CoordinatesText(*target_) : DescribeObject(*target_)) + "#";
    }
    if (!rest.empty() && (rest[0] == 'M' || rest[0] == 'S' || rest[0] == 'C')) {
        const std::string number(SkipSpaces(rest.substr(1)));
        char* end = nullptr;
        const long value = std::strtol(number.c_str(), &end, 10);
        const char kind = rest[0] == 'M' ? 'm' : rest[0] == 'S' ? 's' : 'c';
        if (end != number.c_str() && *end == '\0') {
            if (auto found = FindCatalogueObject(kind, static_cast<int>(value))) {
                target_ = std::move(found);
            }
        }
        return std::string();
    }
    return std::nullopt;
}

std::optional<std::string> MountProtocol::Focuser(std::string_view command, uint32_t milliseconds) {
    if (command.size() != 2) {
        return std::nullopt;
    }
    switch (command[1]) {
        case 'F':
        case '3':
        case '4':
            focuser_.SetFast(true);
            break;
        case 'S':
        case '1':
        case '2':
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
            return std::nullopt;
    }
    return std::string();
}

SkyObject& MountProtocol::CoordinateTarget() {
    if (!target_ || !target_->name.empty()) {
        const SkyObject previous = target_.value_or(SkyObject{});
        target_ = SkyObject{"", "", previous.raHours, previous.decDegrees, 0};
    }
    return *target_;
}

std::string MountProtocol::SlewToTarget(uint32_t milliseconds) {
    if (!target_) {
        return "1No object selected#";
    }
    const SkyPosition target{target_->raHours, target_->decDegrees};
    const std::string name = target_->name.empty() ? PositionText(target) : target_->name;
    if (mount_.GoTo(target, milliseconds) == GotoResult::BelowHorizon) {
        Report(milliseconds, "go-to to " + name + " refused: below the horizon");
        return "1Object below the horizon#";
    }
    ++slewsStarted_;
    slewEnd_ = mount_.SlewEndMs(milliseconds).value_or(milliseconds);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s",
                  static_cast<int32_t>(*slewEnd_ - milliseconds) / 1000.0);
    Report(milliseconds, "slew to " + name + " (" + PositionText(target) + ") started, " + seconds +
                             " from " + PositionText(mount_.ReportedAt(milliseconds)));
    Advance(milliseconds);
    return "0";
}

std::string MountProtocol::SyncToTarget(uint32_t milliseconds) {
    if (!target_) {
        return "No object selected#";
    }
    const SkyPosition target{target_->raHours, target_->decDegrees};
    NoteSlewStopped(milliseconds);
    slewEnd_.reset();
    mount_.Sync(target, milliseconds);
    Report(milliseconds, "synced to " + PositionText(target));
    return (target_->name.empty() ? std::string("Coordinates matched") : DescribeObject(*target_)) +
           "#";
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
