#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "processing/stretch_levels.h"

namespace talvor {

enum class PanelPen { Blue, Red, Grey, Black };

// A line of the Normal Stretch dialog's histogram panel in client coordinates. Like the
// windowing system's line drawing it covers its first point and stops one pixel short of its
// last, so a bar of height h is h pixels tall and a bar of height 0 draws nothing.
struct PanelLine {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    PanelPen pen = PanelPen::Black;

    bool operator==(const PanelLine&) const = default;
};

// A rectangle whose right and bottom edges lie just outside it.
struct PanelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The band under the axis that is filled white before the level markers are drawn.
inline constexpr PanelRect kMarkerBand{4, 219, 268, 232};
// The tallest bar; a count of more than 5 x 210 draws a red bar of this height.
inline constexpr int kTallestBar = 210;

// The axes, their tick marks and one bar per high byte 0..255 (the count divided by 5).
std::vector<PanelLine> HistogramPanelLines(const std::array<uint32_t, 257>& histogram);
// A vertical line with an arrow head under the black level and under the white level (the
// white marker stops at 255 even when the white level lies beyond).
std::vector<PanelLine> LevelMarkerLines(StretchLevels levels);

}  // namespace talvor
