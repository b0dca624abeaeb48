#include "display/background_estimate.h"

namespace talvor {
namespace {

void CountHighBytes(DisplayState& display, const ImageBuffer& frame, int first, int end) {
    display.BrightnessHistogram.fill(0);
    for (int i = first; i < end; ++i) {
        ++display.BrightnessHistogram[frame[i] >> 8];
    }
}

// The index of the largest count among 0..last, leaving out the excluded indices; the first
// index wins a tie, and no non-zero count at all gives 0.
int MostFrequent(const DisplayState& display, int last, int excludeA = -1, int excludeB = -1) {
    int best = 0;
    uint32_t bestCount = 0;
    for (int i = 0; i <= last; ++i) {
        if (i == excludeA || i == excludeB) {
            continue;
        }
        if (display.BrightnessHistogram[i] > bestCount) {
            best = i;
            bestCount = display.BrightnessHistogram[i];
        }
    }
    return best;
}

}  // namespace

void EstimateBackground(DisplayState& display, const ImageBuffer& frame) {
    CountHighBytes(display, frame, 5 * kFrameColumns, 285 * kFrameColumns);
    const int m1 = MostFrequent(display, 255);
    const int m2 = MostFrequent(display, 255, m1);
    const int m3 = MostFrequent(display, 255, m1, m2);
    display.BackgroundLevel = (m1 + m2 + m3) / 3;
}

void EstimateBackgroundBand(DisplayState& display, const ImageBuffer& frame) {
    CountHighBytes(display, frame, 20 * kFrameColumns, 50 * kFrameColumns);
    display.BackgroundLevel = MostFrequent(display, 256);
}

}  // namespace talvor
