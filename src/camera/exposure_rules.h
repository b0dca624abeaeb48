#pragma once

#include <cstdint>
#include <string>

#include "core/capture_state.h"

namespace talvor {

// The upper end of the value arrows for a unit: q 500, h 500, t 100, s 300, m 90.
int UnitMaximum(ExposureUnit unit);
// The value a unit starts with when chosen: q 5, h 5, t 1, s 1, m 1.
int UnitStartValue(ExposureUnit unit);
// The main exposure in milliseconds: q 1, h 10, t 100, m 60000, s 1000 per unit.
int32_t ExposureMsOf(ExposureUnit unit, int value);
// The guide exposure in milliseconds (q 1, h 10, t 100, else 1000), 100 ms for a matching dark.
int32_t GuideExposureMsOf(ExposureUnit unit, int value, bool guideDarkFrame);
// Progress bar steps of a host-timed exposure: 6 for 5..12 s, 20 from 13 s and for minutes,
// otherwise 2.
int ProgressSteps(ExposureUnit unit, int value);
// Whether the exposure is short enough to guide inside: under 12 seconds, never in minutes.
bool ShortEnoughToSelfGuide(ExposureUnit unit, int value);
// The word of a unit in the dialog's guide exposure read-out.
std::string UnitWord(ExposureUnit unit);
bool IsHostTimedUnit(ExposureUnit unit);  // s and m

// The status texts of the progress window's caption.
std::string ExposureDelayStatus(int secondsLeft);
std::string ExposureUnderwayStatus(int remaining);
std::string ReadCameraStatus(int remaining);

// The camera dialog's arrows: a step within 1..maximum (value), 1..99 (exposures), 0..20
// (delay); the stretch bar's rule is the palette stretch's.
int StepWithin(int current, int step, int minimum, int maximum);

}  // namespace talvor
