#include "image/program_defaults.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <utility>

#include "core/messages.h"
#include "core/session.h"
#include "image/fits_details_form.h"
#include "image/settings_file.h"

namespace talvor {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The field as a whole number, blanks around it allowed; nothing for anything else.
std::optional<long> WholeNumberField(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view digits = text.substr(first, last - first + 1);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int ReadIntegerField(std::string_view text) {
    constexpr long kLowest = std::numeric_limits<int16_t>::min();
    constexpr long kHighest = std::numeric_limits<int16_t>::max();
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        // Past the highest storable value the digits no longer matter.
        value = std::min(value * 10 + (text[at] - '0'), kHighest + 1);
    }
    return static_cast<int>(std::clamp(negative ? -value : value, kLowest, kHighest));
}

std::optional<std::string> SlewFieldsProblem(const DefaultsFields& fields) {
    struct Field {
        const char* label;
        const std::string& text;
        int lowest;
        int highest;
    };
    constexpr int kLowest = std::numeric_limits<int16_t>::min();
    constexpr int kHighest = std::numeric_limits<int16_t>::max();
    const Field checks[] = {
        {"RA pixels per sec", fields.raPixelsPerSecond, kLowest, kHighest},
        {"Dec pixels per sec", fields.decPixelsPerSecond, kLowest, kHighest},
        {"RA Backlash", fields.raBacklash, 0, kMaxBacklash},
        {"Dec Backlash", fields.decBacklash, 0, kMaxBacklash},
        {"Hysteresis in RA", fields.raHysteresis, 0, kMaxHysteresis},
        {"Hysteresis in Dec", fields.decHysteresis, 0, kMaxHysteresis},
    };
    for (const Field& field : checks) {
        const auto value = WholeNumberField(field.text);
        if (!value || *value < field.lowest || *value > field.highest) {
            return std::string("\"") + field.label + "\" must be a whole number from " +
                   std::to_string(field.lowest) + " to " + std::to_string(field.highest) + ".";
        }
    }
    return std::nullopt;
}

bool ReadsNumberFieldsFirst(DefaultsControl control) {
    return control != DefaultsControl::DebugMode && control != DefaultsControl::BeepAfterExposure &&
           control != DefaultsControl::ControlBoxLongDelay;
}

void ReadSlewFields(ProgramSettings& settings, const DefaultsFields& fields) {
    settings.RaPixelsPerSecond = ReadIntegerField(fields.raPixelsPerSecond);
    settings.DecPixelsPerSecond = ReadIntegerField(fields.decPixelsPerSecond);
    // The settings file refuses a backlash outside 0..20 and then rewrites itself from the
    // values read before it, so only what it takes back is stored.
    settings.RaBacklash = std::clamp(ReadIntegerField(fields.raBacklash), 0, kMaxBacklash);
    settings.DecBacklash = std::clamp(ReadIntegerField(fields.decBacklash), 0, kMaxBacklash);
    settings.RaHysteresis = std::min(ReadIntegerField(fields.raHysteresis), kMaxHysteresis);
    settings.DecHysteresis = std::min(ReadIntegerField(fields.decHysteresis), kMaxHysteresis);
}

void UseDefaultsControl(Session& session, DefaultsControl control, const DefaultsFields& fields) {
    ProgramSettings& s = session.settings;
    if (ReadsNumberFieldsFirst(control)) {
        ReadSlewFields(s, fields);
    }
    const auto setBackground = [&session](WindowBackground background) {
        session.settings.Background = background;
        session.display.BackgroundChanged = true;
    };
    switch (control) {
        case DefaultsControl::MaskRadius7:
            s.GuideStarMaskRadius = 7;
            break;
        case DefaultsControl::MaskRadius8:
            s.GuideStarMaskRadius = 8;
            break;
        case DefaultsControl::MaskRadius9:
            s.GuideStarMaskRadius = 9;
            break;
        case DefaultsControl::MaskRadius11:
            s.GuideStarMaskRadius = 11;
            break;
        case DefaultsControl::MaskRadius13:
            s.GuideStarMaskRadius = 13;
            break;
        case DefaultsControl::MaskRadius15:
            s.GuideStarMaskRadius = 15;
            break;
        case DefaultsControl::TelescopeNone:
            s.Telescope = TelescopeType::None;
            break;
        case DefaultsControl::TelescopeMeadeLx200:
            s.Telescope = TelescopeType::MeadeLx200;
            break;
        case DefaultsControl::TelescopeControlBox:
            s.Telescope = TelescopeType::ControlBox;
            break;
        case DefaultsControl::Com1:
            s.Port = CommPort::Com1;
            break;
        case DefaultsControl::Com2:
            s.Port = CommPort::Com2;
            break;
        case DefaultsControl::TrainingOneSecond:
            s.GuideTrainingSeconds = 1;
            break;
        case DefaultsControl::TrainingTwoSeconds:
            s.GuideTrainingSeconds = 2;
            break;
        case DefaultsControl::TrainingFourSeconds:
            s.GuideTrainingSeconds = 4;
            break;
        case DefaultsControl::BackgroundLightGrey:
            setBackground(WindowBackground::LightGrey);
            break;
        case DefaultsControl::BackgroundRed:
            setBackground(WindowBackground::Red);
            break;
        case DefaultsControl::BackgroundGrey:
            setBackground(WindowBackground::Grey);
            break;
        case DefaultsControl::SetSlewValues:
            break;
        case DefaultsControl::IgnoreDrift:
            s.IgnoreDriftBelowOnePixel = !s.IgnoreDriftBelowOnePixel;
            break;
        case DefaultsControl::DirectionChangeDelay:
            s.DirectionChangeDelay70Ms = !s.DirectionChangeDelay70Ms;
            break;
        case DefaultsControl::FocusDelay:
            s.FocusDelayOneSecond = !s.FocusDelayOneSecond;
            break;
        case DefaultsControl::DisableInterrupts:
            s.DisableInterruptsDuringDownload = !s.DisableInterruptsDuringDownload;
            break;
        case DefaultsControl::ControlBoxLongDelay:
            s.ControlBoxLongDelay = !s.ControlBoxLongDelay;
            break;
        case DefaultsControl::BeepAfterExposure:
            s.BeepAfterExposure = !s.BeepAfterExposure;
            break;
        case DefaultsControl::DebugMode:
            s.DebugMode = !s.DebugMode;
            break;
        case DefaultsControl::SwapNorthSouth:
            std::swap(s.NorthLetter, s.SouthLetter);
            break;
        case DefaultsControl::SwapEastWest:
            std::swap(s.EastLetter, s.WestLetter);
            break;
        case DefaultsControl::UnsignedFits:
            s.UnsignedFits = !s.UnsignedFits;
            FollowSettingsTexts(session.state, s);
            break;
        case DefaultsControl::SetSubDirectory: {
            // An empty name leaves the auto-save directory at the root folder. A name that is
            // not one folder would make every quick save fail later: it is refused now.
            const std::string name = FormText(fields.subDirectory, kSubDirectoryLength);
            if (IsSubDirectoryName(name)) {
                s.AutoSaveSubDirectory = name;
            } else {
                ReportMessage(session.ui, kCallerText, kSubDirectoryRefused);
            }
            break;
        }
    }
}

bool DefaultsControlChecked(const Session& session, DefaultsControl control) {
    const ProgramSettings& s = session.settings;
    switch (control) {
        case DefaultsControl::MaskRadius7:
            return s.GuideStarMaskRadius == 7;
        case DefaultsControl::MaskRadius8:
            return s.GuideStarMaskRadius == 8;
        case DefaultsControl::MaskRadius9:
            return s.GuideStarMaskRadius == 9;
        case DefaultsControl::MaskRadius11:
            return s.GuideStarMaskRadius == 11;
        case DefaultsControl::MaskRadius13:
            return s.GuideStarMaskRadius == 13;
        case DefaultsControl::MaskRadius15:
            return s.GuideStarMaskRadius == 15;
        case DefaultsControl::TelescopeNone:
            return s.Telescope == TelescopeType::None;
        case DefaultsControl::TelescopeMeadeLx200:
            return s.Telescope == TelescopeType::MeadeLx200;
        case DefaultsControl::TelescopeControlBox:
            return s.Telescope == TelescopeType::ControlBox;
        case DefaultsControl::Com1:
            return s.Port == CommPort::Com1;
        case DefaultsControl::Com2:
            return s.Port == CommPort::Com2;
        case DefaultsControl::TrainingOneSecond:
            return s.GuideTrainingSeconds == 1;
        case DefaultsControl::TrainingTwoSeconds:
            return s.GuideTrainingSeconds == 2;
        case DefaultsControl::TrainingFourSeconds:
            return s.GuideTrainingSeconds == 4;
        case DefaultsControl::BackgroundLightGrey:
            return s.Background == WindowBackground::LightGrey;
        case DefaultsControl::BackgroundRed:
            return s.Background == WindowBackground::Red;
        case DefaultsControl::BackgroundGrey:
            return s.Background == WindowBackground::Grey;
        case DefaultsControl::SetSlewValues:
        case DefaultsControl::SetSubDirectory:
            return false;
        case DefaultsControl::IgnoreDrift:
            return s.IgnoreDriftBelowOnePixel;
        case DefaultsControl::DirectionChangeDelay:
            return s.DirectionChangeDelay70Ms;
        case DefaultsControl::FocusDelay:
            return s.FocusDelayOneSecond;
        case DefaultsControl::DisableInterrupts:
            return s.DisableInterruptsDuringDownload;
        case DefaultsControl::ControlBoxLongDelay:
            return s.ControlBoxLongDelay;
        case DefaultsControl::BeepAfterExposure:
            return s.BeepAfterExposure;
        case DefaultsControl::DebugMode:
            return s.DebugMode;
        case DefaultsControl::SwapNorthSouth:
            return s.NorthLetter == 's';
        case DefaultsControl::SwapEastWest:
            return s.EastLetter == 'w';
        case DefaultsControl::UnsignedFits:
            return s.UnsignedFits;
    }
    return false;
}

DefaultsFields ShownDefaultsFields(const ProgramSettings& settings) {
    return {std::to_string(settings.RaPixelsPerSecond),
            std::to_string(settings.DecPixelsPerSecond),
            std::to_string(settings.RaBacklash),
            std::to_string(settings.DecBacklash),
            std::to_string(settings.RaHysteresis),
            std::to_string(settings.DecHysteresis),
            settings.AutoSaveSubDirectory};
}

}  // namespace talvor
