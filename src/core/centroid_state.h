#pragma once

namespace talvor {

// A centre search looks at most 15 pixels either side of its point: a window of 31 x 31.
inline constexpr int kMaxMeasureRadius = 15;
// The half-size searches start with: the default "Radius of Guide Star Mask".
inline constexpr int kDefaultMeasureRadius = 8;

// A star's centre in frame coordinates: whole pixels, and the tenths of a pixel to add to them
// (both 0 when the search rounds to whole pixels).
struct CentrePosition {
    int x = 0;
    int y = 0;
    int xTenths = 0;
    int yTenths = 0;
    bool operator==(const CentrePosition&) const = default;
};

}  // namespace talvor
