#include "processing/stretch_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace talvor {
namespace {

constexpr int kTopEntry = kStretchEntries - 1;  // 32767

// The low 16 bits of an integer result, as the table stores it.
uint16_t Low16(int64_t value) {
    return static_cast<uint16_t>(value);
}

}  // namespace

StretchTable NormalStretchTable(int black, int white) {
    const int b = std::clamp(black, 0, kMaxBlackLevel);
    const int w = std::clamp(white, kMinWhiteLevel, kMaxWhiteLevel);
    const double factor = 255.0 / (w - b);
    const int low = 128 * b;
    const int high = 128 * w;
    // A white level above 255 puts the top of the ramp beyond the table: it then runs to the
    // end of the table, and the picture darkens.
    const int rampEnd = high >= kTopEntry ? kStretchEntries : high;
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        if (i < low) {
            table[i] = 0;
        } else if (i < rampEnd) {
            const uint16_t v = Low16(static_cast<int64_t>((i - low) * factor));
            table[i] = v > kTopEntry ? kTopEntry : v;
        } else {
            table[i] = kTopEntry;
        }
    }
    return table;
}

StretchTable BackgroundRemovalTable(int backgroundLevel) {
    const int level = std::clamp(backgroundLevel, 3, 256);
    const double factor = 255.0 / (257 - level);
    const int low = 128 * level - 256;
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        if (i < low) {
            table[i] = 0;
        } else {
            const auto v = static_cast<uint32_t>((i - low) * factor);
            table[i] = v < kTopEntry ? Low16(v) : kTopEntry;
        }
    }
    return table;
}

StretchTable PowerStretchTable(double power) {
    const double a = std::pow(32768.0, power - 1);
    const double factor = 1 / a;
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        const double v = std::pow(i, power) * factor;
        // The negated test also sends a result that is not a number to the top.
        table[i] = !(v <= 32767.0) ? kTopEntry : Low16(static_cast<int64_t>(v));
    }
    return table;
}

StretchTable SineStretchTable() {
    const double scale = 1.0 / 10432;
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        table[i] = Low16(static_cast<int64_t>((std::sin((i - 16384) * scale) + 1) * 16383));
    }
    return table;
}

StretchTable LogStretchTable() {
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        table[i] = Low16(static_cast<int64_t>(std::log(i + 1) * 3151));
    }
    return table;
}

StretchTable AntiLogStretchTable() {
    // The base is the five-decimal constant, not the full e.
    const double scale = 1.0 / 3151;
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        const double v = std::pow(2.71828, i * scale) - 1;
        table[i] = v > kTopEntry ? kTopEntry : Low16(static_cast<int64_t>(v));
    }
    return table;
}

StretchTable InvertTable() {
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        table[i] = static_cast<uint16_t>(kTopEntry - i);
    }
    return table;
}

StretchTable NonLinearStretchTable(int power) {
    const auto p = static_cast<uint32_t>(std::clamp(power, kMinNonLinearPower, kMaxNonLinearPower));
    StretchTable table;
    for (int i = 0; i < kStretchEntries; ++i) {
        const double x = i / 32768.0;
        const double v = static_cast<double>(32768u * p) * x / ((p - 1) * x + 1);
        table[i] = Low16(static_cast<int64_t>(v));
    }
    return table;
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
