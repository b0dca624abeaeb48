#include "telescope/lx200_commands.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace talvor {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

}  // namespace

bool IsDirection(char direction) {
    return direction == 'n' || direction == 's' || direction == 'e' || direction == 'w';
}

std::string MoveCommand(char direction) {
    return std::string("#:M") + direction + '#';
}

std::string StopCommand(char direction) {
    return std::string("#:Q") + direction + '#';
}

std::string CatalogueCommand(char kind, int number) {
    const char* prefix = kind == 'm' ? "#:LM " : kind == 's' ? "#:LS " : "#:LC ";
    return Format("%s%04d#", prefix, number);
}

std::string RightAscensionCommand(int hours, int minutes) {
    return Format("#:Sr %02d:%02d.0", hours, minutes);
}

std::string DeclinationCommand(bool south, int absoluteDegrees, int arcMinutes) {
    return Format("#:Sd %c%02d*%02d", south ? '-' : '+', std::abs(absoluteDegrees), arcMinutes);
}

int PlanetByName(std::string_view name) {
    for (const PlanetNumber& planet : kPlanets) {
        if (planet.name.size() == name.size()) {
            bool same = true;
            for (std::size_t i = 0; i < name.size() && same; ++i) {
                same = std::tolower(static_cast<unsigned char>(name[i])) ==
                       std::tolower(static_cast<unsigned char>(planet.name[i]));
            }
            if (same) {
                return planet.number;
            }
        }
    }
    return 0;
}

uint8_t ControlBoxCode(char direction) {
    switch (direction) {
        case 'e':
            return kBoxEast;
        case 'n':
            return kBoxNorth;
        case 's':
            return kBoxSouth;
        case 'w':
            return kBoxWest;
        default:
            return 0;
    }
}

}  // namespace talvor
