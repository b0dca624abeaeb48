#pragma once

#include <optional>
#include <string_view>

namespace talvor {

struct ProgramSettings;
struct Session;
struct TelescopeState;

// The rules of the two telescope control windows, kept apart from the windows so that they can
// be run and tested without one.

inline constexpr std::string_view kControlTelescopeTitle = "Talvor - Control Telescope";
inline constexpr std::string_view kObjectOutOfRange =
    "Object out of range, or Invalid entry - try again";
inline constexpr std::string_view kInvalidCoordinates =
    "Invalid Co-ordinates set.\n\nRange is R.A. 0hr 00min, to 23hr 59mins\n        Dec  -89deg "
    "00min, to +89deg 59mins";
inline constexpr std::string_view kControlTelescopeHelp =
    "Enter a Messier or CNGC number and press the GoTo Object button.\n\nIf you enter both "
    "numbers the Messier will be favoured. To use CGNC numbers ensure the Messier number is 0";

// The direction character a logical direction ('n', 's', 'e', 'w') goes out as, after the
// "Swap n/s direction" and "Swap e/w direction" settings. Other characters pass unchanged.
char MappedDirection(const ProgramSettings& settings, char direction);

// A whole number typed into an edit field. An empty or non-numeric field reads as 0; minus
// tells that the text began with '-', which matters for "-0" degrees.
struct FieldNumber {
    int value = 0;
    bool minus = false;
};
FieldNumber ReadNumberField(std::string_view text);

// The object "GoTo Object" slews to: Messier 1..110 when given, else CNGC 1..7815.
struct CatalogueChoice {
    char kind;  // 'm' or 'c'
    int number;
};
std::optional<CatalogueChoice> ChooseCatalogueObject(int messier, int cngc);
// R.A. 0h 00m to 23h 59m, Dec. -89 to +89 degrees with 0..59 arc-minutes.
bool CoordinatesInRange(int hours, int minutes, int degrees, int arcMinutes);

enum class EntryResult { Sent, OutOfRange };

// "GoTo Object": reads both fields and slews, or tells that neither number is in range.
EntryResult GoToObject(Session& session, std::string_view messierText, std::string_view cngcText);
// "Go To ": reads the four fields and slews, or tells that the coordinates are out of range.
EntryResult GoToCoordinates(Session& session, std::string_view hoursText,
                            std::string_view minutesText, std::string_view degreesText,
                            std::string_view arcMinutesText);
// A planet button: the LX200 number of the planet.
void GoToPlanet(Session& session, int planetNumber);

// The rate radio buttons and the focuser speed buttons. A choice only changes what the next
// move or focuser run sends; the buttons show the command chosen.
enum class SlewRate { Slew, Find, Centre, Guide };
void ChooseSlewRate(TelescopeState& telescope, SlewRate rate);
SlewRate ShownSlewRate(const TelescopeState& telescope);
enum class FocusSpeed { Fast, Slow };
void ChooseFocusSpeed(TelescopeState& telescope, FocusSpeed speed);
FocusSpeed ShownFocusSpeed(const TelescopeState& telescope);

// What an arrow bar reports: an arrow pressed (and again while it is held), or released.
enum class ArrowBar { Horizontal, Vertical, Focus };
enum class ArrowNotice { LineUpOrLeft, LineDownOrRight, EndOfScroll };

// The LX200 window's bars: the first notice of a hold starts the slew (or the focuser), the
// repeats send nothing, the release stops it.
void Lx200ArrowNotice(Session& session, ArrowBar bar, ArrowNotice notice);
// The control-box window's bars: the same with the box drive; it has no focus bar.
void ControlBoxArrowNotice(Session& session, ArrowBar bar, ArrowNotice notice);

// "Telescope Control": connects and, for the control box, resets it. Says which window to
// show; None when the link could not be opened (the link has shown why).
enum class ControlWindow { None, Lx200, ControlBox };
ControlWindow PrepareTelescopeControl(Session& session);

}  // namespace talvor
