#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "simulator/focuser_model.h"
#include "simulator/mount_model.h"
#include "simulator/sky_catalogue.h"

namespace talvor {

// The simulated mount's end of the serial line. It takes LX200 commands (":" ... "#", the "#"
// before a command being the end of the one before) and the guider control box's single bytes
// (every byte below 0x20) and answers as the mount does: rates, moves and stops, focuser,
// object selection by catalogue number or by coordinates (":Sr" and ":Sd" answer '1' for valid
// coordinates, '0' otherwise), ":LI" with the object's description and ":MS" with '0' when it
// slews or '1' and the reason when the object is below the horizon. Unknown commands are
// ignored. Over a pseudo-terminal the box's modem lines cannot be seen; its reset is known by
// the wake-up byte 0x0D that follows it.
class MountProtocol {
  public:
    MountProtocol(MountModel& mount, FocuserModel& focuser);

    // One byte from the program at a moment; what the mount sends back (often nothing).
    std::string Receive(uint8_t byte, uint32_t milliseconds);

    MoveRate Rate() const { return rate_; }
    // The object selected last, by number or by coordinates.
    const std::optional<SkyObject>& Target() const { return target_; }
    int SlewsStarted() const { return slewsStarted_; }
    int BoxResets() const { return boxResets_; }
    // The directions the box drives run in now (box codes).
    uint8_t BoxDrives() const { return boxDrives_; }

  private:
    std::string Execute(std::string_view command, uint32_t milliseconds);
    std::string SetRightAscension(std::string_view text);
    std::string SetDeclination(std::string_view text);
    std::string SlewToTarget(uint32_t milliseconds);
    void BoxByte(uint8_t byte, uint32_t milliseconds);
    void StopBoxDrives(uint32_t milliseconds);
    SkyObject& CoordinateTarget();

    MountModel& mount_;
    FocuserModel& focuser_;
    std::string command_;
    MoveRate rate_ = MoveRate::Slew;
    std::optional<SkyObject> target_;
    int slewsStarted_ = 0;
    int boxResets_ = 0;
    uint8_t boxDrives_ = 0;
};

}  // namespace talvor
