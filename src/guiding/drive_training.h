#pragma once

#include <optional>
#include <string>

#include "guiding/guide_frames.h"

namespace talvor {

// The star's whole-pixel positions along the eight training pulses: Y0 before the first, Y1..Y4
// after the two north and the two south pulses, X4 after those, X5..X8 after the two east and
// the two west pulses.
struct TrainingPositions {
    int y0 = 0;
    int y1 = 0;
    int y2 = 0;
    int y3 = 0;
    int y4 = 0;
    int x4 = 0;
    int x5 = 0;
    int x6 = 0;
    int x7 = 0;
    int x8 = 0;
};

// Drive rates in pixels per second and backlash values, as the settings keep them.
struct DriveCalibration {
    int raRate = 0;
    int decRate = 0;
    int raBacklash = 0;
    int decBacklash = 0;
    bool operator==(const DriveCalibration&) const = default;
};

// The calibration from pulses of `seconds` each, in whole pixels and integer division. The first
// pulse in each direction takes up the gears' play, so only the second enters a rate; RA takes
// the mean of its two measurements, Dec the larger.
DriveCalibration CalibrateDrives(const TrainingPositions& positions, int seconds);

// "slewx = %5d, slewy = %5d\nbacklashx = %5d, backlashy = %5d"
std::string TrainingResultText(const DriveCalibration& calibration);

// "Train Auto-Guiding": two pulses north, two south, two east and two west of the training time
// each, a guide frame after each, the calibration shown and stored in the settings file. A star
// lost, or a press of the user's (which moves the focus window away from the star), ends
// training without storing anything. Every run that starts leaves no star picked. Returns the
// calibration stored.
std::optional<DriveCalibration> TrainAutoGuiding(GuidingContext& context);

}  // namespace talvor
