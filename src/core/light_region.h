#pragma once

#include <cstddef>
#include <vector>

#include "core/image_store.h"

namespace talvor {

// A rectangle of sensor pixels in frame coordinates (the frame's top-left pixel is column 0,
// row 0; the border around the picture lies at negative coordinates and beyond the picture),
// with the light that fell on each pixel during an exposure, in counts.
struct LightRegion {
    LightRegion(int left, int top, int width, int height)
        : left(left),
          top(top),
          width(width),
          height(height),
          counts(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0) {}

    double& At(int column, int row) {
        return counts[static_cast<std::size_t>(row - top) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(column - left)];
    }

    int left;
    int top;
    int width;
    int height;
    std::vector<double> counts;
};

// Light reaches only the picture's 510 x 290 pixels; the border is covered.
inline bool IsLightSensitive(int column, int row) {
    return column >= 0 && column < kCameraColumns && row >= 0 && row < kFrameRows;
}

}  // namespace talvor
