#pragma once

namespace talvor {

// A point in a plot window's client area, in pixels from its top-left corner.
struct PlotPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlotPoint&) const = default;
};

}  // namespace talvor
