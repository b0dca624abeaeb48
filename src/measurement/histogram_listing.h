#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/image_store.h"

namespace talvor {

inline constexpr std::string_view kHistogramHelpCaption = "Talvor - Display Histogram";
inline constexpr std::string_view kHistogramHelpText =
    "This shows a histogram of the values in the current main window. The horizontal scale "
    "represents values from black (0) to white (256), whilst the vertical scale shows the "
    "number of pixels with a particular value. The vertical scale goes from 0 to 1000, where "
    "there are more than 1000 pixels with the same value the line is truncated and shown in "
    "red.\n\nThe first 15 values where the pixel count exceeds 1000 are also listed next to "
    "the Histogram\n\nShort key - CTL+H";

// The histogram window's drawing: one bar per high byte, five pixels to a unit of height, cut
// at 210 units and then drawn in red.
inline constexpr int kHistogramBarFloor = 210;
inline constexpr int kHistogramBarLeft = 8;
inline constexpr int kHistogramTallest = 210;
inline constexpr int kHistogramListedLines = 15;

struct HistogramBar {
    int height = 0;
    bool cut = false;  // taller than the window: drawn at full height in red
};

using BrightnessCounts = std::array<uint32_t, 257>;

// The bars of the 256 high bytes, and the listing beside them: a heading and the first 15
// high bytes whose bars are cut, each with its count rounded down to a multiple of 5.
std::array<HistogramBar, 256> HistogramBars(const BrightnessCounts& counts);
std::string HistogramListing(const BrightnessCounts& counts);

// The listing the window shows for a frame as the main window displays it: the counts of the
// high bytes of rows 5..284, which every paint of the main window takes.
std::string HistogramListingOfFrame(const ImageBuffer& frame);

}  // namespace talvor
