#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "simulator/focuser_model.h"
#include "simulator/mount_model.h"
#include "simulator/sky_catalogue.h"

namespace talvor {

// Something the simulated mount did that a log should show: a go-to started, ended or was
// stopped, a sync, a guide pulse, a setting changed, a command it did not know.
struct MountEvent {
    uint32_t milliseconds = 0;
    std::string text;
};

// The simulated mount's end of the serial line, answering as an LX200 does. It takes LX200
// commands (":" ... "#", the "#" before a command being the end of the one before), the ACK
// byte 0x06 (answered with the alignment mode: 'P' polar, 'A' alt-az, 'L' land) and the guider
// control box's single bytes (every other byte below 0x20) on the same line.
//
// Commands: rates (":RG#" ":RC#" ":RM#" ":RS#", ":Rn#"), moves and stops (":Mn#" ... ":Qw#",
// ":Q#"), timed guide pulses (":MgnDDDD#"), go-to (":MS#": '0' when it slews, '1' and the
// reason when the target is below the horizon), sync (":CM#"), the distance bar (":D#"),
// positions (":GR#" ":GD#" ":GA#" ":GZ#" ":Gr#" ":Gd#", precision switched by ":U#"), the
// target (":Sr" ":Sd", with seconds or tenths of a minute; '1' when valid, '0' otherwise), the
// site and clock (":Gt" ":Gg" ":GG" ":GL" ":GC" ":GS" ":Gc" ":St" ":Sg" ":SG" ":SL" ":SC"),
// identity (":GV*#"), tracking (":GT#", ":AP#", ":AL#", ":AA#"), the focuser, and object
// selection by catalogue number (":LM" ":LS" ":LC") with ":LI#" describing it. A command it does
// not know is ignored, as a mount ignores it, and reported as an event. Over a pseudo-terminal
// the box's modem lines cannot be seen; its reset is known by the wake-up byte 0x0D.
class MountProtocol {
  public:
    using EventSink = std::function<void(const MountEvent&)>;

    MountProtocol(MountModel& mount, FocuserModel& focuser);

    // One byte from the program at a moment; what the mount sends back (often nothing).
    std::string Receive(uint8_t byte, uint32_t milliseconds);
    // Lets time pass to this moment: a go-to that has arrived is reported.
    void Advance(uint32_t milliseconds);
    // When Advance has something to report next; none while nothing is under way.
    std::optional<uint32_t> NextEventMs() const { return slewEnd_; }
    void SetEventSink(EventSink sink) { events_ = std::move(sink); }

    MoveRate Rate() const { return rate_; }
    bool HighPrecision() const { return precise_; }
    char AlignmentMode() const { return alignment_; }
    // The object selected last, by number or by coordinates.
    const std::optional<SkyObject>& Target() const { return target_; }
    int SlewsStarted() const { return slewsStarted_; }
    int BoxResets() const { return boxResets_; }
    // The directions the box drives run in now (box codes).
    uint8_t BoxDrives() const { return boxDrives_; }

  private:
    std::string Execute(std::string_view command, uint32_t milliseconds);
    // The command groups, by their first letter; none when the command is not one of them.
    std::optional<std::string> Motion(std::string_view command, uint32_t milliseconds);
    std::optional<std::string> Query(std::string_view command, uint32_t milliseconds);
    std::optional<std::string> Setting(std::string_view command, uint32_t milliseconds);
    std::optional<std::string> Catalogue(std::string_view command);
    std::optional<std::string> Focuser(std::string_view command, uint32_t milliseconds);

    std::string SlewToTarget(uint32_t milliseconds);
    std::string SyncToTarget(uint32_t milliseconds);
    void BoxByte(uint8_t byte, uint32_t milliseconds);
    void StopBoxDrives(uint32_t milliseconds);
    SkyObject& CoordinateTarget();
    // Reports a go-to that ended before its time (an abort, a move).
    void NoteSlewStopped(uint32_t milliseconds);
    std::string PositionText(const SkyPosition& position) const;
    void Report(uint32_t milliseconds, std::string text);

    MountModel& mount_;
    FocuserModel& focuser_;
    std::string command_;
    MoveRate rate_ = MoveRate::Slew;
    bool precise_ = false;
    char alignment_ = 'P';
    std::optional<SkyObject> target_;
    std::optional<uint32_t> slewEnd_;
    int slewsStarted_ = 0;
    int boxResets_ = 0;
    uint8_t boxDrives_ = 0;
    EventSink events_;
};

}  // namespace talvor
