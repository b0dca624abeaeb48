#pragma once

#include <functional>

#include "core/image_store.h"

namespace talvor {

inline constexpr int kMinUnsharpRadius = 1;
inline constexpr int kMaxUnsharpRadius = 7;
inline constexpr int kMinUnsharpPower = 1;
inline constexpr int kMaxUnsharpPower = 7;

// The unsharp mask over rows firstRow..289-d and columns d..510-d: the box mean m of the
// (2d + 1) x (2d + 1) window around each pixel p of the unfiltered source gives
// p + (p - m) x k in the target, stored as 65535 above 65280 and 0 below 0. The box sums come
// from column sums moved down row by row. afterRow is called once after every row. The radius
// is 1..7; another is taken as the nearest of those.
void UnsharpMaskPass(const ImageBuffer& source, ImageBuffer& target, int radius, int power,
                     int firstRow, const std::function<void()>& afterRow);

}  // namespace talvor
