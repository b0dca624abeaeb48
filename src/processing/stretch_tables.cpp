#include "processing/stretch_tables.h"

#include "processing/stretch_entry_estimates.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace talvor {
namespace {

// The low 16 bits of an integer result, as the table stores it.
uint16_t Low16(int64_t value) {
    return static_cast<uint16_t>(value);
}

using Shape = StretchCurve::Shape;

}  // namespace

StretchCurve NormalStretchCurve(int black, int white) {
    const int b = std::clamp(black, 0, kMaxBlackLevel);
    const int w = std::clamp(white, kMinWhiteLevel, kMaxWhiteLevel);
    StretchCurve curve;
    curve.shape = Shape::Normal;
    curve.parameter = b;
    curve.secondParameter = w;
    curve.factor = 255.0 / (w - b);
    curve.low = 128 * b;
    // A white level above 255 puts the top of the ramp beyond the table: it then runs to the
    // end of the table, and the picture darkens.
    const int high = 128 * w;
    curve.high = high >= kTopEntry ? kStretchEntries : high;
    return curve;
}

StretchCurve BackgroundRemovalCurve(int backgroundLevel) {
    const int level = std::clamp(backgroundLevel, 3, 256);
    StretchCurve curve;
    curve.shape = Shape::BackgroundRemoval;
    curve.parameter = level;
    curve.factor = 255.0 / (257 - level);
    curve.low = 128 * level - 256;
    return curve;
}

StretchCurve PowerStretchCurve(double power) {
    StretchCurve curve;
    curve.shape = Shape::Power;
    curve.parameter = power;
    const double a = std::pow(32768.0, power - 1);
    curve.factor = 1 / a;
    return curve;
}

StretchCurve SineStretchCurve() {
    StretchCurve curve;
    curve.shape = Shape::Sine;
    curve.factor = 1.0 / 10432;
    return curve;
}

StretchCurve LogStretchCurve() {
    StretchCurve curve;
    curve.shape = Shape::Log;
    return curve;
}

StretchCurve AntiLogStretchCurve() {
    StretchCurve curve;
    curve.shape = Shape::AntiLog;
    curve.factor = 1.0 / 3151;
    return curve;
}

StretchCurve InvertCurve() {
    StretchCurve curve;
    curve.shape = Shape::Invert;
    return curve;
}

StretchCurve NonLinearStretchCurve(int power) {
    StretchCurve curve;
    curve.shape = Shape::NonLinear;
    curve.parameter = std::clamp(power, kMinNonLinearPower, kMaxNonLinearPower);
    return curve;
}

uint16_t StretchEntry(const StretchCurve& curve, int i) {
    switch (curve.shape) {
        case Shape::Normal: {
            if (i < curve.low) {
                return 0;
            }
            if (i >= curve.high) {
                return kTopEntry;
            }
            const uint16_t v = Low16(static_cast<int64_t>((i - curve.low) * curve.factor));
            return v > kTopEntry ? kTopEntry : v;
        }
        case Shape::BackgroundRemoval: {
            if (i < curve.low) {
                return 0;
            }
            const auto v = static_cast<uint32_t>((i - curve.low) * curve.factor);
            return v < kTopEntry ? Low16(v) : kTopEntry;
        }
        case Shape::Power: {
            const double v = std::pow(i, curve.parameter) * curve.factor;
            // The negated test also sends a result that is not a number to the top.
            return !(v <= 32767.0) ? kTopEntry : Low16(static_cast<int64_t>(v));
        }
        case Shape::Sine:
            return Low16(static_cast<int64_t>((std::sin((i - kSineMiddle) * curve.factor) + 1) *
                                              kSineScale));
        case Shape::Log:
            return Low16(static_cast<int64_t>(std::log(i + 1) * 3151));
        case Shape::AntiLog: {
            // The base is the five-decimal constant, not the full e.
            const double v = std::pow(2.71828, i * curve.factor) - 1;
            return v > kTopEntry ? kTopEntry : Low16(static_cast<int64_t>(v));
        }
        case Shape::Invert:
            return static_cast<uint16_t>(kTopEntry - i);
        case Shape::NonLinear: {
            const auto p = static_cast<uint32_t>(curve.parameter);
            const double x = i / 32768.0;
            const double v = static_cast<double>(32768u * p) * x / ((p - 1) * x + 1);
            return Low16(static_cast<int64_t>(v));
        }
    }
    return 0;
}

StretchTable TableOf(const StretchCurve& curve) {
    StretchTable table;
    CurveEntries entries(curve);
    for (int i = 0; i < kStretchEntries; ++i) {
        table[static_cast<std::size_t>(i)] = entries.Entry(i);
    }
    return table;
}

StretchTable NormalStretchTable(int black, int white) {
    return TableOf(NormalStretchCurve(black, white));
}

StretchTable BackgroundRemovalTable(int backgroundLevel) {
    return TableOf(BackgroundRemovalCurve(backgroundLevel));
}

StretchTable PowerStretchTable(double power) {
    return TableOf(PowerStretchCurve(power));
}

StretchTable SineStretchTable() {
    return TableOf(SineStretchCurve());
}

StretchTable LogStretchTable() {
    return TableOf(LogStretchCurve());
}

StretchTable AntiLogStretchTable() {
    return TableOf(AntiLogStretchCurve());
}

StretchTable InvertTable() {
    return TableOf(InvertCurve());
}

StretchTable NonLinearStretchTable(int power) {
    return TableOf(NonLinearStretchCurve(power));
}

std::string NormalStretchHistory(int black, int white) {
    return "Normal Stretch : max " + std::to_string(white) + " ,min " + std::to_string(black);
}

std::string BackgroundRemovalHistory(int backgroundLevel) {
    return "Background Removed : min " + std::to_string(backgroundLevel - 2);
}

std::string PowerStretchHistory(double power) {
    char text[64];
    std::snprintf(text, sizeof text, "%1.1f", power);
    return std::string("Power Stretch : ") + text;
}

std::string NonLinearStretchHistory(int power) {
    return "Non-Linear Stretch : power " + std::to_string(power);
}

}  // namespace talvor
