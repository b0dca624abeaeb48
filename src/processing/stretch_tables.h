#pragma once

#include <string>

#include "processing/stretch_table.h"

namespace talvor {

// Parameter ranges of the stretches, as their dialogs offer them.
inline constexpr int kMaxBlackLevel = 255;
inline constexpr int kMinWhiteLevel = 1;
inline constexpr int kMaxWhiteLevel = 300;
inline constexpr int kMinNonLinearPower = 2;
inline constexpr int kMaxNonLinearPower = 50;

// The table of each stretch. Every entry is computed once here, never per pixel; conversions
// to integers truncate toward zero and stores keep the low 16 bits.

// Black level b and white level w in 8-bit units (b clamped to 0..255, w to 1..300): a linear
// ramp from 128 b to 128 w. Meant for w > b.
StretchTable NormalStretchTable(int black, int white);
// The background level in high-byte units, 3..256: everything below two levels under it goes
// to black and the rest is spread over the whole range.
StretchTable BackgroundRemovalTable(int backgroundLevel);
// i^P scaled so that the top of the range stays near the top.
StretchTable PowerStretchTable(double power);
StretchTable SineStretchTable();
StretchTable LogStretchTable();
StretchTable AntiLogStretchTable();
StretchTable InvertTable();
// Power 2..50 (clamped): a curve that rises steeply from 0 and flattens toward 32767.
StretchTable NonLinearStretchTable(int power);

// The processing-history lines of the stretches that take a parameter.
std::string NormalStretchHistory(int black, int white);
std::string BackgroundRemovalHistory(int backgroundLevel);
std::string PowerStretchHistory(double power);
std::string NonLinearStretchHistory(int power);

}  // namespace talvor
