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

// The curve of each stretch: its constants, worked out once from the parameters, and the rule
// for one table entry. An entry is computed only from the curve and its index, never per pixel;
// conversions to integers truncate toward zero and stores keep the low 16 bits.
struct StretchCurve {
    enum class Shape { Normal, BackgroundRemoval, Power, Sine, Log, AntiLog, Invert, NonLinear };
    Shape shape = Shape::Invert;
    // The parameter the dialog gave (levels, power), for telling curves apart.
    double parameter = 0.0;
    double secondParameter = 0.0;
    // Constants of the shape: a scale factor and the index where a ramp starts and ends.
    double factor = 0.0;
    int low = 0;
    int high = 0;

    bool operator==(const StretchCurve&) const = default;
};

// Black level b and white level w in 8-bit units (b clamped to 0..255, w to 1..300): a linear
// ramp from 128 b to 128 w. Meant for w > b.
StretchCurve NormalStretchCurve(int black, int white);
// The background level in high-byte units, 3..256: everything below two levels under it goes
// to black and the rest is spread over the whole range.
StretchCurve BackgroundRemovalCurve(int backgroundLevel);
// i^P scaled so that the top of the range stays near the top.
StretchCurve PowerStretchCurve(double power);
StretchCurve SineStretchCurve();
StretchCurve LogStretchCurve();
StretchCurve AntiLogStretchCurve();
StretchCurve InvertCurve();
// Power 2..50 (clamped): a curve that rises steeply from 0 and flattens toward 32767.
StretchCurve NonLinearStretchCurve(int power);

// The table's last entry, and the sine curve's middle index and scale: the sine entry of i is
// (sin((i - kSineMiddle) x factor) + 1) x kSineScale, truncated.
inline constexpr int kTopEntry = kStretchEntries - 1;  // 32767
inline constexpr int kSineMiddle = 16384;
inline constexpr double kSineScale = 16383;

// The table entry of the curve at index i (0..32767).
uint16_t StretchEntry(const StretchCurve& curve, int i);

// Every entry of the curve.
StretchTable TableOf(const StretchCurve& curve);

// The whole tables of the stretches, as TableOf the curves above.
StretchTable NormalStretchTable(int black, int white);
StretchTable BackgroundRemovalTable(int backgroundLevel);
StretchTable PowerStretchTable(double power);
StretchTable SineStretchTable();
StretchTable LogStretchTable();
StretchTable AntiLogStretchTable();
StretchTable InvertTable();
StretchTable NonLinearStretchTable(int power);

// The processing-history lines of the stretches that take a parameter.
std::string NormalStretchHistory(int black, int white);
std::string BackgroundRemovalHistory(int backgroundLevel);
std::string PowerStretchHistory(double power);
std::string NonLinearStretchHistory(int power);

}  // namespace talvor
