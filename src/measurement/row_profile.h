#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/image_store.h"
#include "measurement/plot_point.h"

namespace talvor {

inline constexpr std::string_view kRowProfileHelpCaption = "TALVOR - Intensity Profile";
inline constexpr std::string_view kRowProfileHelpText =
    "Select the row you wish to see an intensity plot of by pressing the left mouse button.You "
    "can also see an average of multiple rows by adjusting the Row counter.";

// The plot area the profile clears before it draws, from its top-left to its bottom-right
// corner, and the baseline its line stands on.
inline constexpr PlotPoint kRowPlotTopLeft{2, 2};
inline constexpr PlotPoint kRowPlotBottomRight{520, 200};
inline constexpr int kRowPlotBaseline = 198;
// A pixel value is drawn at 1/384 of its value: 65535 rises 170 pixels.
inline constexpr int kRowPlotScale = 384;

// The start point and one point per column of the frame.
using RowProfileLine = std::array<PlotPoint, kFrameColumns + 1>;

// The profile of `row`, averaged over `rowsToAverage` rows centred on it: starts at (4, 198)
// and runs through (c + 5, 198 - mean of pixel / 384) for every column c. Nothing when the
// rows averaged would reach outside rows 1..289.
std::optional<RowProfileLine> RowProfile(const ImageBuffer& frame, int32_t row,
                                         int32_t rowsToAverage);

}  // namespace talvor
