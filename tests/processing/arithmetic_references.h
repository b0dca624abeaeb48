#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/image_store.h"
#include "processing/gradient_filter.h"
#include "processing/stretch_table.h"

namespace talvor::testing {

// The stretch tables, the flat field, the gradient and the median's window statistics written
// out pixel by pixel and entry by entry in the plainest way, for comparison with the routines
// that compute many pixels at once or only the entries a frame needs.

inline uint16_t ReferenceLow16(int64_t value) {
    return static_cast<uint16_t>(value);
}

inline StretchTable ReferenceNormalTable(int b, int w) {
    const double factor = 255.0 / (w - b);
    const int low = 128 * b;
    const int high = 128 * w;
    const int rampEnd = high >= 32767 ? 32768 : high;
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        if (i < low) {
            table[i] = 0;
        } else if (i < rampEnd) {
            const uint16_t v = ReferenceLow16(static_cast<int64_t>((i - low) * factor));
            table[i] = v > 32767 ? 32767 : v;
        } else {
            table[i] = 32767;
        }
    }
    return table;
}

inline StretchTable ReferenceBackgroundTable(int level) {
    const double factor = 255.0 / (257 - level);
    const int low = 128 * level - 256;
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        if (i < low) {
            table[i] = 0;
        } else {
            const auto v = static_cast<uint32_t>((i - low) * factor);
            table[i] = v < 32767 ? ReferenceLow16(v) : 32767;
        }
    }
    return table;
}

inline StretchTable ReferencePowerTable(double power) {
    const double factor = 1 / std::pow(32768.0, power - 1);
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        const double v = std::pow(i, power) * factor;
        table[i] = !(v <= 32767.0) ? 32767 : ReferenceLow16(static_cast<int64_t>(v));
    }
    return table;
}

inline StretchTable ReferenceSineTable() {
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        table[i] = ReferenceLow16(
            static_cast<int64_t>((std::sin((i - 16384) * (1.0 / 10432)) + 1) * 16383));
    }
    return table;
}

inline StretchTable ReferenceLogTable() {
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        table[i] = ReferenceLow16(static_cast<int64_t>(std::log(i + 1) * 3151));
    }
    return table;
}

inline StretchTable ReferenceAntiLogTable() {
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        const double v = std::pow(2.71828, i * (1.0 / 3151)) - 1;
        table[i] = v > 32767 ? 32767 : ReferenceLow16(static_cast<int64_t>(v));
    }
    return table;
}

inline StretchTable ReferenceInvertTable() {
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        table[i] = static_cast<uint16_t>(32767 - i);
    }
    return table;
}

inline StretchTable ReferenceNonLinearTable(int power) {
    const auto p = static_cast<uint32_t>(power);
    StretchTable table;
    for (int i = 0; i < 32768; ++i) {
        const double x = i / 32768.0;
        const double v = static_cast<double>(32768u * p) * x / ((p - 1) * x + 1);
        table[i] = ReferenceLow16(static_cast<int64_t>(v));
    }
    return table;
}

// 0.0002 times the running double sum of the flat over rows 9..19 and columns 9..499.
inline double ReferenceFlatFieldNormaliser(const ImageBuffer& flat) {
    double sum = 0.0;
    for (int y = 9; y <= 19; ++y) {
        for (int x = 9; x <= 499; ++x) {
            sum += flat[y * 512 + x];
        }
    }
    return 0.0002 * sum;
}

// Columns 5..509 of one row: v := i / f x N, a zero flat keeping i (or giving N for a zero i).
inline void ReferenceFlatFieldRow(ImageBuffer& image, const ImageBuffer& flat, double normaliser,
                                  int row) {
    for (int x = 5; x <= 509; ++x) {
        const double i = image[row * 512 + x];
        const double f = flat[row * 512 + x];
        double v = normaliser;
        if (f != 0.0) {
            v = i / f * normaliser;
        } else if (i != 0.0) {
            v = i;
        }
        image[row * 512 + x] = v >= 65535.0 ? 65535 : static_cast<uint16_t>(std::trunc(v));
    }
}

inline void ReferenceRemoveGradient(ImageBuffer& frame, const CornerModes& modes, int firstRow) {
    const double lowest =
        std::min({modes.topLeft, modes.topRight, modes.bottomLeft, modes.bottomRight});
    const double a = (modes.topLeft - lowest) * 16;
    const double b = (modes.topRight - lowest) * 16;
    const double c = (modes.bottomLeft - lowest) * 16;
    const double e = (modes.bottomRight - lowest) * 16;
    const double k = 1.0 / 148480;
    for (int y = firstRow; y < 290; ++y) {
        for (int x = 0; x < 512; ++x) {
            const double g = (290 - y) * (512 - x) * k * a + (290 - y) * x * k * b +
                             (512 - x) * y * k * c + y * x * k * e;
            uint16_t& p = frame[y * 512 + x];
            p = p > g ? static_cast<uint16_t>(p - static_cast<int>(g)) : 0;
        }
    }
}

// The largest pixel, the smallest (at most 65000) and the median of the window around every
// pixel the median filter computes, found by a partial sort of the window's pixels.
struct MedianWindows {
    int radius = 1;
    std::vector<int> hi;
    std::vector<int> lo;
    std::vector<int> med;
};

inline MedianWindows ReferenceMedianWindows(const ImageBuffer& source, int f) {
    MedianWindows windows;
    windows.radius = f;
    windows.hi.assign(148480, 0);
    windows.lo.assign(148480, 0);
    windows.med.assign(148480, 0);
    std::vector<int> window;
    for (int y = f; y <= 289 - f; ++y) {
        for (int x = f; x <= 511 - f; ++x) {
            window.clear();
            for (int dy = -f; dy <= f; ++dy) {
                for (int dx = -f; dx <= f; ++dx) {
                    window.push_back(source[(y + dy) * 512 + x + dx]);
                }
            }
            const auto [low, high] = std::minmax_element(window.begin(), window.end());
            windows.hi[y * 512 + x] = *high;
            windows.lo[y * 512 + x] = std::min(*low, 65000);
            std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
            windows.med[y * 512 + x] = window[window.size() / 2];
        }
    }
    return windows;
}

// The conditional replacement with those statistics on rows firstRow..289-f of the target.
inline ImageBuffer ReferenceMedianFromWindows(const ImageBuffer& source, ImageBuffer target,
                                              const MedianWindows& windows, int tenths,
                                              int firstRow) {
    const int f = windows.radius;
    const auto power = static_cast<float>(tenths * 0.1);
    for (int y = firstRow; y <= 289 - f; ++y) {
        for (int x = f; x <= 511 - f; ++x) {
            const int i = y * 512 + x;
            const int t =
                static_cast<int>(static_cast<float>(windows.hi[i] - windows.lo[i]) * power);
            if (t < std::abs(windows.med[i] - source[i])) {
                target[i] = static_cast<uint16_t>(windows.med[i]);
            }
        }
    }
    return target;
}

}  // namespace talvor::testing
