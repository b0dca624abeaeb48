#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace talvor {

struct Session;

// Whole telescope commands for callers without a window (the batch tool): each connects as
// every telescope command does, then runs one operation of the link.

enum class TelescopeCommandResult {
    Done,
    NoLink,      // the link could not be opened; the link has shown why
    OutOfRange,  // the object number, planet, coordinates or pulse are not ones the mount takes
    Failed,      // the port failed during the operation; the link has shown why
    Stopped,     // the stop request ended the operation early, with the drive stopped
};

// The longest guide pulse asked for by hand, in milliseconds: the four digits of the LX200's
// own timed pulse, and more than the longest correction guiding sends.
inline constexpr int kLongestGuidePulseMs = 9999;

struct SlewOutcome {
    TelescopeCommandResult result = TelescopeCommandResult::Done;
    // The mount's slew status ('0' slewing, kNoSlewStatus no answer, else refused) and its
    // reply text: the object's description, or the reason for a refusal.
    char status = '\0';
    std::string reply;
};

TelescopeCommandResult ConnectForCommand(Session& session);
// Messier 1..110 and CNGC 1..7815.
SlewOutcome GotoMessier(Session& session, int number);
SlewOutcome GotoCngc(Session& session, int number);
// A planet by name, in any case ("Jupiter").
SlewOutcome GotoPlanet(Session& session, std::string_view name);
// Coordinates in the ranges the control window takes; degrees as typed, so that "-0" is south.
SlewOutcome GotoRaDec(Session& session, int hours, int minutes, std::string_view degrees,
                      int arcMinutes);
// The mount's description of the selected object.
SlewOutcome ReadMountInfo(Session& session);
// One guide pulse in a logical direction ('n', 's', 'e', 'w') of 0..kLongestGuidePulseMs,
// through the direction map, by the LX200 or the control box as the telescope type says. The
// stop request, asked while the pulse runs, ends it early with the drive stopped.
TelescopeCommandResult PulseTelescope(Session& session, char direction, int milliseconds,
                                      std::function<bool()> stopRequested = {});
TelescopeCommandResult ResetBox(Session& session);

}  // namespace talvor
