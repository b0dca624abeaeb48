#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/hand_control_commands.h"

namespace talvor {

// The LX200 commands the program sends, exactly as they go on the wire. Every command is framed
// "#:" ... "#"; the two coordinate commands leave their closing "#" to the command after them.

inline constexpr std::string_view kObjectInfo = "#:LI#";
inline constexpr std::string_view kSlewToObject = "#:MS#";

// The mount's answer to a slew that it has started.
inline constexpr char kSlewAccepted = '0';

// True for the four direction characters 'n', 's', 'e', 'w'.
bool IsDirection(char direction);
// "#:Mn#" and the like: start moving that way at the chosen rate. The character is put in
// unchecked, as the direction map gives it.
std::string MoveCommand(char direction);
// "#:Qn#" and the like: stop moving that way.
std::string StopCommand(char direction);

// Selects an object: "#:LM " for kind 'm' (Messier), "#:LS " for 's' (star number, planets),
// "#:LC " for any other kind (CNGC), the number as "%04d", then "#". Messier 31: "#:LM 0031#".
std::string CatalogueCommand(char kind, int number);
// "#:Sr HH:MM.0": the object's right ascension, 12 characters for hours 0..23.
std::string RightAscensionCommand(int hours, int minutes);
// "#:Sd sDD*MM": the object's declination, 11 characters for degrees -89..89. The sign is
// given apart from the degrees, so that a declination between 0 and -1 degree can be sent.
std::string DeclinationCommand(bool south, int absoluteDegrees, int arcMinutes);

// LX200 object numbers of the planets, selected as stars.
struct PlanetNumber {
    std::string_view name;
    int number;
};
inline constexpr PlanetNumber kPlanets[] = {
    {"Mercury", 901}, {"Venus", 902},  {"Mars", 904},    {"Jupiter", 905},
    {"Saturn", 906},  {"Uranus", 907}, {"Neptune", 908}, {"Pluto", 909},
};
// The number of a planet named in any case; 0 when there is no such planet.
int PlanetByName(std::string_view name);

// Control-box bytes: a direction code selects a drive, adding kBoxDriveOn runs it, kBoxAllOff
// stops every drive, kBoxWakeUp is the first byte after a line reset.
inline constexpr uint8_t kBoxEast = 0x01;
inline constexpr uint8_t kBoxNorth = 0x02;
inline constexpr uint8_t kBoxSouth = 0x04;
inline constexpr uint8_t kBoxWest = 0x08;
inline constexpr uint8_t kBoxDriveOn = 0x10;
inline constexpr uint8_t kBoxAllOff = 0x00;
inline constexpr uint8_t kBoxWakeUp = 0x0D;
// The box code of a direction character; 0 for any other character.
uint8_t ControlBoxCode(char direction);

}  // namespace talvor
