#include "measurement/histogram_listing.h"

#include <cstdio>

#include "core/display_state.h"
#include "display/background_estimate.h"

namespace talvor {
namespace {

constexpr uint32_t kPixelsPerUnit = 5;

}  // namespace

std::array<HistogramBar, 256> HistogramBars(const BrightnessCounts& counts) {
    std::array<HistogramBar, 256> bars{};
    for (std::size_t k = 0; k < bars.size(); ++k) {
        const uint32_t height = counts[k] / kPixelsPerUnit;
        bars[k].cut = height > static_cast<uint32_t>(kHistogramTallest);
        bars[k].height = bars[k].cut ? kHistogramTallest : static_cast<int>(height);
    }
    return bars;
}

std::string HistogramListing(const BrightnessCounts& counts) {
    std::string listing = "val   count\n";
    int lines = 0;
    for (std::size_t k = 0; k < 256 && lines < kHistogramListedLines; ++k) {
        const uint32_t height = counts[k] / kPixelsPerUnit;
        if (height > static_cast<uint32_t>(kHistogramTallest)) {
            char line[32];
            std::snprintf(line, sizeof line, "%03d  %6ld\n", static_cast<int>(k),
                          static_cast<long>(height * kPixelsPerUnit));
            listing += line;
            ++lines;
        }
    }
    return listing;
}

std::string HistogramListingOfFrame(const ImageBuffer& frame) {
    DisplayState display;
    EstimateBackground(display, frame);
    return HistogramListing(display.BrightnessHistogram);
}

}  // namespace talvor
