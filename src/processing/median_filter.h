#pragma once

#include <functional>

#include "core/image_store.h"

namespace talvor {

inline constexpr int kMinMedianRadius = 1;
inline constexpr int kMaxMedianRadius = 3;
inline constexpr int kMinMedianTenths = 1;
inline constexpr int kMaxMedianTenths = 10;
// The window minimum starts here, so it is never above it.
inline constexpr int kMedianMinimumCap = 65000;

// The filter's power: tenths x 0.1 held in single precision.
float MedianPower(int tenths);

// trunc((hi - lo) x power) with the product formed in single precision: a double product
// gives other thresholds for powers such as 0.7 and 0.9.
int MedianThreshold(int hi, int lo, float power);

// Whether the pass of this radius reads every source row before it writes that row or any row
// a later window reads (the 5 x 5 and 7 x 7 windows), so that it may work in place.
bool MedianWorksInPlace(int radius);

// The conditional median over rows firstRow..289-f and columns f..511-f. For each pixel p of
// the unfiltered source the (2f + 1)^2 window gives its maximum hi, its minimum lo (at most
// 65000) and its median med (the (n / 2 + 1)-th largest value); the target pixel becomes med
// when MedianThreshold(hi, lo, power) < |med - p| and is left alone otherwise. afterRow is
// called once for every row, in order, when the row is finished. The radius is 1..3; another is
// taken as the nearest of those. Rows above f have no whole window: a firstRow below f starts
// at f. Where MedianWorksInPlace the source and the target may be one frame, filtered in place
// with the same result (given two frames, such a pass works through a copy of the source);
// elsewhere a pass given one frame for both works from a copy of it.
void MedianPass(const ImageBuffer& source, ImageBuffer& target, int radius, int tenths,
                int firstRow, const std::function<void()>& afterRow);

}  // namespace talvor
