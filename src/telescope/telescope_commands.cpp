#include "telescope/telescope_commands.h"

#include "core/session.h"
#include "telescope/lx200_commands.h"
#include "telescope/telescope_control.h"
#include "telescope/telescope_link.h"

namespace talvor {
namespace {

TelescopeCommandResult ResultOf(LinkStatus status) {
    switch (status) {
        case LinkStatus::Lost:
            return TelescopeCommandResult::Failed;
        case LinkStatus::Stopped:
            return TelescopeCommandResult::Stopped;
        case LinkStatus::Done:
        case LinkStatus::NoAnswer:
            break;
    }
    // A mount that did not answer is told by an empty status or reply.
    return TelescopeCommandResult::Done;
}

SlewOutcome Finished(Session& session, const SlewAnswer& answer) {
    return {ResultOf(answer.link), answer.status, session.telescope.ReplyText};
}

SlewOutcome Failed(TelescopeCommandResult result) {
    return {result, '\0', {}};
}

SlewOutcome GotoNumber(Session& session, char kind, int number, int limit) {
    if (number < 1 || number > limit) {
        return Failed(TelescopeCommandResult::OutOfRange);
    }
    if (ConnectForCommand(session) != TelescopeCommandResult::Done) {
        return Failed(TelescopeCommandResult::NoLink);
    }
    return Finished(session, TelescopeLink(session).GotoCatalogueObject(kind, number));
}

}  // namespace

TelescopeCommandResult ConnectForCommand(Session& session) {
    TelescopeLink(session).ConnectTelescope();
    return session.telescope.PortOpen ? TelescopeCommandResult::Done
                                      : TelescopeCommandResult::NoLink;
}

SlewOutcome GotoMessier(Session& session, int number) {
    return GotoNumber(session, 'm', number, 110);
}

SlewOutcome GotoCngc(Session& session, int number) {
    return GotoNumber(session, 'c', number, 7815);
}

SlewOutcome GotoPlanet(Session& session, std::string_view name) {
    const int number = PlanetByName(name);
    if (number == 0) {
        return Failed(TelescopeCommandResult::OutOfRange);
    }
    return GotoNumber(session, 's', number, number);
}

SlewOutcome GotoRaDec(Session& session, int hours, int minutes, std::string_view degrees,
                      int arcMinutes) {
    const FieldNumber declination = ReadNumberField(degrees);
    if (!CoordinatesInRange(hours, minutes, declination.value, arcMinutes)) {
        return Failed(TelescopeCommandResult::OutOfRange);
    }
    if (ConnectForCommand(session) != TelescopeCommandResult::Done) {
        return Failed(TelescopeCommandResult::NoLink);
    }
    return Finished(session, TelescopeLink(session).GotoCoordinates(
                                 hours, minutes, declination.value, arcMinutes, declination.minus));
}

SlewOutcome ReadMountInfo(Session& session) {
    if (ConnectForCommand(session) != TelescopeCommandResult::Done) {
        return Failed(TelescopeCommandResult::NoLink);
    }
    const LinkStatus status = TelescopeLink(session).ReadObjectInfo();
    return Finished(session, {kNoSlewStatus, status});
}

TelescopeCommandResult PulseTelescope(Session& session, char direction, int milliseconds,
                                      std::function<bool()> stopRequested) {
    if (!IsDirection(direction) || milliseconds < 0 || milliseconds > kLongestGuidePulseMs) {
        return TelescopeCommandResult::OutOfRange;
    }
    if (ConnectForCommand(session) != TelescopeCommandResult::Done) {
        return TelescopeCommandResult::NoLink;
    }
    session.telescope.PulseDirection = MappedDirection(session.settings, direction);
    session.telescope.PulseLength = milliseconds;
    return ResultOf(TelescopeLink(session, std::move(stopRequested)).SendGuidePulse());
}

TelescopeCommandResult ResetBox(Session& session) {
    if (ConnectForCommand(session) != TelescopeCommandResult::Done) {
        return TelescopeCommandResult::NoLink;
    }
    return ResultOf(TelescopeLink(session).ResetControlBox());
}

}  // namespace talvor
