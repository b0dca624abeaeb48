#include "telescope/telescope_control.h"

#include <charconv>

#include "core/session.h"
#include "telescope/lx200_commands.h"
#include "telescope/telescope_link.h"

namespace talvor {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// The way an arrow of a Move bar points: west or east, north or south.
char ArrowDirection(ArrowBar bar, ArrowNotice notice) {
    const bool up = notice == ArrowNotice::LineUpOrLeft;
    return bar == ArrowBar::Horizontal ? (up ? 'w' : 'e') : (up ? 'n' : 's');
}

}  // namespace

char MappedDirection(const ProgramSettings& settings, char direction) {
    switch (direction) {
        case 'n':
            return settings.NorthLetter;
        case 's':
            return settings.SouthLetter;
        case 'e':
            return settings.EastLetter;
        case 'w':
            return settings.WestLetter;
        default:
            return direction;
    }
}

FieldNumber ReadNumberField(std::string_view text) {
    text = Trimmed(text);
    const bool minus = !text.empty() && text.front() == '-';
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
        return {};
    }
    int magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return {};
    }
    return {minus ? -magnitude : magnitude, minus};
}

std::optional<CatalogueChoice> ChooseCatalogueObject(int messier, int cngc) {
    if (messier > 0 && messier < 111) {
        return CatalogueChoice{'m', messier};
    }
    if (cngc > 0 && cngc < 7816) {
        return CatalogueChoice{'c', cngc};
    }
    return std::nullopt;
}

bool CoordinatesInRange(int hours, int minutes, int degrees, int arcMinutes) {
    return hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && degrees > -90 &&
           degrees < 90 && arcMinutes >= 0 && arcMinutes < 60;
}

EntryResult GoToObject(Session& session, std::string_view messierText, std::string_view cngcText) {
    const auto choice =
        ChooseCatalogueObject(ReadNumberField(messierText).value, ReadNumberField(cngcText).value);
    if (!choice) {
        return EntryResult::OutOfRange;
    }
    TelescopeLink(session).GotoCatalogueObject(choice->kind, choice->number);
    return EntryResult::Sent;
}

EntryResult GoToCoordinates(Session& session, std::string_view hoursText,
                            std::string_view minutesText, std::string_view degreesText,
                            std::string_view arcMinutesText) {
    const int hours = ReadNumberField(hoursText).value;
    const int minutes = ReadNumberField(minutesText).value;
    const FieldNumber degrees = ReadNumberField(degreesText);
    const int arcMinutes = ReadNumberField(arcMinutesText).value;
    if (!CoordinatesInRange(hours, minutes, degrees.value, arcMinutes)) {
        return EntryResult::OutOfRange;
    }
    TelescopeLink(session).GotoCoordinates(hours, minutes, degrees.value, arcMinutes,
                                           degrees.minus);
    return EntryResult::Sent;
}

void GoToPlanet(Session& session, int planetNumber) {
    TelescopeLink(session).GotoCatalogueObject('s', planetNumber);
}

void ChooseSlewRate(TelescopeState& telescope, SlewRate rate) {
    static constexpr std::string_view kCommands[] = {kSlewRateSlew, kSlewRateFind, kSlewRateCentre,
                                                     kSlewRateGuide};
    telescope.SlewRateCommand = kCommands[static_cast<int>(rate)];
}

SlewRate ShownSlewRate(const TelescopeState& telescope) {
    const std::string& command = telescope.SlewRateCommand;
    const char letter = command.size() > 3 ? command[3] : '\0';
    switch (letter) {
        case 'S':
            return SlewRate::Slew;
        case 'M':
            return SlewRate::Find;
        case 'C':
            return SlewRate::Centre;
        default:
            return SlewRate::Guide;
    }
}

void ChooseFocusSpeed(TelescopeState& telescope, FocusSpeed speed) {
    telescope.FocusSpeedCommand = speed == FocusSpeed::Fast ? kFocusFast : kFocusSlow;
}

FocusSpeed ShownFocusSpeed(const TelescopeState& telescope) {
    const std::string& command = telescope.FocusSpeedCommand;
    return command.size() > 3 && command[3] == 'F' ? FocusSpeed::Fast : FocusSpeed::Slow;
}

void Lx200ArrowNotice(Session& session, ArrowBar bar, ArrowNotice notice) {
    TelescopeState& telescope = session.telescope;
    TelescopeLink link(session);
    if (bar == ArrowBar::Focus) {
        if (notice == ArrowNotice::EndOfScroll) {
            if (telescope.Focusing) {
                link.StopFocus();
                telescope.Focusing = false;
            }
        } else if (!telescope.Focusing) {
            telescope.FocusDirectionCommand =
                notice == ArrowNotice::LineUpOrLeft ? kFocusIn : kFocusOut;
            // A run that could not be started needs no stop.
            telescope.Focusing = link.StartFocus() == LinkStatus::Done;
        }
        return;
    }
    if (notice == ArrowNotice::EndOfScroll) {
        if (telescope.Moving) {
            link.StopSlew();
            telescope.Moving = false;
        }
        return;
    }
    if (telescope.Moving) {
        return;
    }
    const char direction = ArrowDirection(bar, notice);
    telescope.MoveCommand = MoveCommand(MappedDirection(session.settings, direction));
    telescope.Moving = link.StartSlew() == LinkStatus::Done;
}

void ControlBoxArrowNotice(Session& session, ArrowBar bar, ArrowNotice notice) {
    TelescopeState& telescope = session.telescope;
    TelescopeLink link(session);
    if (bar == ArrowBar::Focus) {
        return;
    }
    if (notice == ArrowNotice::EndOfScroll) {
        if (telescope.Moving) {
            link.StopControlBoxMove();
            telescope.Moving = false;
        }
        return;
    }
    if (telescope.Moving) {
        return;
    }
    const char direction = ArrowDirection(bar, notice);
    telescope.PulseDirection = MappedDirection(session.settings, direction);
    telescope.Moving = link.StartControlBoxMove() == LinkStatus::Done;
}

ControlWindow PrepareTelescopeControl(Session& session) {
    TelescopeLink link(session);
    link.ConnectTelescope();
    if (!session.telescope.PortOpen) {
        return ControlWindow::None;
    }
    if (session.settings.Telescope == TelescopeType::ControlBox) {
        link.ResetControlBox();
        return ControlWindow::ControlBox;
    }
    return ControlWindow::Lx200;
}

}  // namespace talvor
