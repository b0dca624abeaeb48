#pragma once

#include <array>
#include <cstdint>

#include "core/image_store.h"

namespace talvor {

// The six fixed convolution kernels, in table order.
enum class Kernel { A, B, C, D, E, F };

// 25 coefficients row by row; a radius-1 kernel uses the first 9 as a 3 x 3 matrix, a radius-2
// kernel all 25 as a 5 x 5 matrix.
using KernelCoefficients = std::array<int32_t, 25>;
const KernelCoefficients& KernelTable(Kernel kernel);

// Computes row y of the target from the unfiltered source, columns r..511-r: the weighted sum
// of the (2r + 1) x (2r + 1) window divided by the divisor (truncated toward zero), stored as
// 65535 above 65280 and 0 below 0. Radius 1 or 2; the row must lie r or more inside the frame.
void ConvolveRow(const ImageBuffer& source, ImageBuffer& target, int y, int radius, Kernel kernel,
                 int divisor);

}  // namespace talvor
