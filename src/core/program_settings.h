#pragma once

#include <cstdint>
#include <string>

#include "core/fits_details.h"

namespace talvor {

enum class TelescopeType : char { None = 'n', MeadeLx200 = 'l', ControlBox = 'b' };
enum class WindowBackground : char { LightGrey = 'l', Red = 'r', Grey = 'g' };
enum class CommPort { Com1 = 1, Com2 = 2 };

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Every value that survives a restart, with the values the program starts with when no
// settings file is read.
struct ProgramSettings {
    uint16_t QuickSaveCounter = 0;
    int UtOffsetHours = 0;
    bool FastPar = false;
    int16_t ReservedModeA = 0;
    int GuideStarMaskRadius = 8;
    int16_t ReservedModeB = 1;
    CommPort Port = CommPort::Com1;
    int GuideTrainingSeconds = 1;
    WindowBackground Background = WindowBackground::LightGrey;
    bool FocusDelayOneSecond = true;
    int RaPixelsPerSecond = 2;
    int DecPixelsPerSecond = 2;
    int RaBacklash = 0;
    int DecBacklash = 0;
    bool IgnoreDriftBelowOnePixel = false;
    TelescopeType Telescope = TelescopeType::None;
    bool DisableInterruptsDuringDownload = true;
    int RaHysteresis = 0;
    int DecHysteresis = 0;
    char NorthLetter = 'n';
    char SouthLetter = 's';
    char EastLetter = 'e';
    char WestLetter = 'w';
    bool ReservedFlagC = false;
    bool BeepAfterExposure = false;
    bool DirectionChangeDelay70Ms = false;
    bool ControlBoxFound = false;
    std::string AutoSaveSubDirectory;
    bool ControlBoxLongDelay = false;
    bool DebugMode = false;
    // The FITS texts and the unsigned choice of the settings file ("Load/Edit AutoSave FITS
    // text"): the ones captured frames carry. Only the fields the file keeps are used.
    FitsDetails Fits;
    bool UnsignedFits = false;
};

// The colour of the main window's background for the chosen setting.
Rgb BackgroundColour(WindowBackground background);

}  // namespace talvor
