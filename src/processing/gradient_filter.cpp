#include "processing/gradient_filter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace talvor {
namespace {

constexpr int kCounters = 4096;
constexpr int kBoxSide = 40;

// The index with the largest count from start on; a later index wins only with a strictly
// larger count, and start is the answer when no count is positive.
int ModeOfBox(const ImageBuffer& frame, std::vector<uint32_t>& counts, int top, int left,
              int start) {
    std::fill(counts.begin(), counts.end(), 0u);
    for (int y = top; y < top + kBoxSide; ++y) {
        for (int x = left; x < left + kBoxSide; ++x) {
            ++counts[PixelAt(frame, x, y) >> 4];
        }
    }
    int mode = start;
    uint32_t most = 0;
    for (int i = start; i < kCounters; ++i) {
        if (counts[i] > most) {
            most = counts[i];
            mode = i;
        }
    }
    return mode;
}

}  // namespace

CornerModes FindCornerModes(const ImageBuffer& frame) {
    std::vector<uint32_t> counts(kCounters);
    CornerModes modes;
    modes.topLeft = ModeOfBox(frame, counts, 10, 20, 0);
    modes.topRight = ModeOfBox(frame, counts, 10, 460, 0);
    modes.bottomLeft = ModeOfBox(frame, counts, 240, 20, 1);
    modes.bottomRight = ModeOfBox(frame, counts, 240, 460, 1);
    return modes;
}

void RemoveGradient(ImageBuffer& frame, const CornerModes& modes, int firstRow) {
    const double lowest =
        std::min({modes.topLeft, modes.topRight, modes.bottomLeft, modes.bottomRight});
    const double a = (modes.topLeft - lowest) * 16;
    const double b = (modes.topRight - lowest) * 16;
    const double c = (modes.bottomLeft - lowest) * 16;
    const double e = (modes.bottomRight - lowest) * 16;
    const double k = 1.0 / kFramePixels;
    for (int y = firstRow; y < kFrameRows; ++y) {
        for (int x = 0; x < kFrameColumns; ++x) {
            // The terms and their factors in this order, each product rounded in turn.
            const double g = (kFrameRows - y) * (kFrameColumns - x) * k * a +
                             (kFrameRows - y) * x * k * b + (kFrameColumns - x) * y * k * c +
                             y * x * k * e;
            uint16_t& p = PixelAt(frame, x, y);
            p = p > g ? static_cast<uint16_t>(p - static_cast<int>(g)) : 0;
        }
    }
}

}  // namespace talvor
