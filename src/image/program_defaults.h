#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvor {

struct Session;
struct ProgramSettings;

inline constexpr int kMaxHysteresis = 20;
inline constexpr int kMaxBacklash = 20;
inline constexpr const char* kSubDirectoryRefused =
    "The sub-directory must be one folder name: without /, \\ or ', and not . or ..";

// The controls of the "Set Program Defaults" dialog. Each one changes a value the moment it is
// used; the dialog is then redrawn from the values.
enum class DefaultsControl {
    MaskRadius7,
    MaskRadius8,
    MaskRadius9,
    MaskRadius11,
    MaskRadius13,
    MaskRadius15,
    TelescopeNone,
    TelescopeMeadeLx200,
    TelescopeControlBox,
    Com1,
    Com2,
    TrainingOneSecond,
    TrainingTwoSeconds,
    TrainingFourSeconds,
    BackgroundLightGrey,
    BackgroundRed,
    BackgroundGrey,
    SetSlewValues,
    IgnoreDrift,
    DirectionChangeDelay,
    FocusDelay,
    DisableInterrupts,
    ControlBoxLongDelay,
    BeepAfterExposure,
    DebugMode,
    SwapNorthSouth,
    SwapEastWest,
    UnsignedFits,
    SetSubDirectory,
};

// What the dialog's edit fields hold at the moment a control is used.
struct DefaultsFields {
    std::string raPixelsPerSecond;
    std::string decPixelsPerSecond;
    std::string raBacklash;
    std::string decBacklash;
    std::string raHysteresis;
    std::string decHysteresis;
    std::string subDirectory;
};

// A number field as a signed integer: an optional sign and the digits that follow, after any
// leading blanks; what follows the digits is ignored. A field that is not a number reads 0. The
// value is held within what the settings file can store (-32768..32767).
int ReadIntegerField(std::string_view text);

// "Save Changes" takes the six number fields as they stand. Nothing when each holds a whole
// number within its range; otherwise the message that names the first field that does not and
// the range it must keep to.
std::optional<std::string> SlewFieldsProblem(const DefaultsFields& fields);

// Every control but "Debug Mode", "Beep after Exposure ends" and "Control Box long-delay"
// takes the six number fields before it acts.
bool ReadsNumberFieldsFirst(DefaultsControl control);

// Takes the six number fields into the settings. Hysteresis above 20 becomes 20; backlash is
// held within 0..20, the range the settings file accepts back.
void ReadSlewFields(ProgramSettings& settings, const DefaultsFields& fields);

// One use of a control: the number fields first where the control takes them, then its effect.
// A check box toggles its value; the background radio buttons also mark the background as
// changed for the next erase of the main window. "Set Sub-Dir" refuses, with a message, a name
// that is not one folder.
void UseDefaultsControl(Session& session, DefaultsControl control, const DefaultsFields& fields);

// Whether the radio button or check box of a control shows as checked for the current values.
// Buttons without a check ("Set slew values", "Set Sub-Dir") are never checked.
bool DefaultsControlChecked(const Session& session, DefaultsControl control);

// The fields as the dialog shows them for the current values.
DefaultsFields ShownDefaultsFields(const ProgramSettings& settings);

}  // namespace talvor
