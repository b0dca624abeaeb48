#pragma once

#include <optional>
#include <string>

#include "guiding/guide_frames.h"

namespace talvor {

// The star's positions along the eight training pulses, in tenths of a pixel: Y0 before the
// first (in a guide frame taken before any pulse), Y1..Y4 after the two north and the two south
// pulses, X4 after those, X5..X8 after the two east and the two west pulses.
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

// Drive rates in pixels per second and the play of each axis in whole pixels, as the settings
// keep them.
struct DriveCalibration {
    int raRate = 0;
    int decRate = 0;
    int raBacklash = 0;
    int decBacklash = 0;
    bool operator==(const DriveCalibration&) const = default;
};

// The calibration from pulses of `seconds` each. The first pulse in each direction takes up the
// gears' play, so only the second enters a rate, rounded to whole pixels per second. The play
// is how much less the first pulse back moved the star than the pulse before it, rounded down
// to whole pixels. RA takes the mean of its two measurements, Dec the larger.
DriveCalibration CalibrateDrives(const TrainingPositions& positions, int seconds);

// "slewx = %5d, slewy = %5d\nbacklashx = %5d, backlashy = %5d"
std::string TrainingResultText(const DriveCalibration& calibration);

// "Train Auto-Guiding": a guide frame to find the star, then two pulses north, two south, two
// east and two west of the training time each, a guide frame after each, the calibration shown
// and stored in the settings file. Training checks what it measured: the star must be seen in
// every frame (not far fainter than before the first pulse), and the second pulses forward and
// back on each axis must each move it well over a pixel, opposite ways and about as far. When a
// check fails, or the user presses a key or a mouse button, the pulses sent are undone, the
// previous calibration is kept, and the result box says what went wrong and what to change.
// Every run that starts leaves no star picked. Returns the calibration stored.
std::optional<DriveCalibration> TrainAutoGuiding(GuidingContext& context);

}  // namespace talvor
