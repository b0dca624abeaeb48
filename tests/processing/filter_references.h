#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/image_store.h"
#include "processing/kernel_filters.h"

namespace talvor::testing {

// The filters written out step by step as the program's documentation gives them, slow and
// plain, for comparison with the fast passes. Each returns the whole target frame, which
// starts as a copy of the source.

inline ImageBuffer ReferenceKernel(const ImageBuffer& current, int r, Kernel kernel, int divisor,
                                   int firstRow) {
    const KernelCoefficients& k = KernelTable(kernel);
    ImageBuffer second = current;
    for (int y = firstRow; y <= 289 - r; ++y) {
        for (int x = r; x <= 511 - r; ++x) {
            int32_t s = 0;
            for (int dy = -r; dy <= r; ++dy) {
                for (int dx = -r; dx <= r; ++dx) {
                    s += current[(y + dy) * 512 + x + dx] * k[(dy + r) * (2 * r + 1) + dx + r];
                }
            }
            const int32_t v = s / divisor;
            second[y * 512 + x] = v > 65280 ? 65535 : v < 0 ? 0 : v;
        }
    }
    return second;
}

inline ImageBuffer ReferenceUnsharp(const ImageBuffer& current, int d, int k, int firstRow) {
    ImageBuffer second = current;
    for (int y = firstRow; y <= 289 - d; ++y) {
        int32_t s = 0;
        for (int j = y - d; j <= y + d; ++j) {
            for (int c = 0; c <= 2 * d; ++c) {
                s += current[j * 512 + c];
            }
        }
        for (int x = d; x <= 510 - d; ++x) {
            const auto m = static_cast<int32_t>(s / std::pow(2 * d + 1, 2));
            const int32_t p = current[y * 512 + x];
            const int32_t o = p + (p - m) * k;
            second[y * 512 + x] = o > 65280 ? 65535 : o < 0 ? 0 : o;
            for (int j = y - d; j <= y + d; ++j) {
                s += current[j * 512 + x + d + 1] - current[j * 512 + x - d];
            }
        }
    }
    return second;
}

inline ImageBuffer ReferenceMedian(const ImageBuffer& current, int f, int tenths, int firstRow) {
    ImageBuffer second = current;
    const float power = tenths * 0.1;
    const int n = (2 * f + 1) * (2 * f + 1);
    const int h = n / 2 + 1;
    std::vector<int> window(n);
    std::vector<int> recorded(h);
    for (int y = firstRow; y <= 289 - f; ++y) {
        for (int x = f; x <= 511 - f; ++x) {
            int lo = 65000;
            int count = 0;
            for (int cx = x - f; cx <= x + f; ++cx) {
                for (int cy = y - f; cy <= y + f; ++cy) {
                    window[count] = current[cy * 512 + cx];
                    lo = window[count] < lo ? window[count] : lo;
                    ++count;
                }
            }
            for (int step = 0; step < h; ++step) {
                int index = 0;
                for (int i = 0; i < n; ++i) {
                    if (window[i] >= window[index]) {
                        index = i;
                    }
                }
                recorded[step] = window[index];
                window[index] = 0;
            }
            const int hi = recorded[0];
            const int med = recorded[h - 1];
            const int t = static_cast<int>(static_cast<float>(hi - lo) * power);
            const int p = current[y * 512 + x];
            if (t < std::abs(med - p)) {
                second[y * 512 + x] = static_cast<uint16_t>(med);
            }
        }
    }
    return second;
}

}  // namespace talvor::testing
