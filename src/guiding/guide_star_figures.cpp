#include "guiding/guide_star_figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "core/centroid_state.h"
#include "measurement/star_centroid.h"

namespace talvor {
namespace {

constexpr int kMaxSide = 2 * kMaxMeasureRadius + 1;
constexpr int kLeastApertureRadius = 3;
constexpr double kDeviationPerMad = 1.4826;

double Median(std::span<uint32_t> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace

GuideStarFigures MeasureGuideStar(const ImageBuffer& frame, double x, double y, int r) {
    const int cx = static_cast<int>(std::lround(x));
    const int cy = static_cast<int>(std::lround(y));
    if (cx < 0 || cy < 0 || cx >= kSmallFrameSide || cy >= kSmallFrameSide) {
        return {};
    }
    // The window is cut back to the frame where it reaches past an edge.
    const int reach = std::clamp(r, 1, kMaxMeasureRadius);
    const int left = std::max(cx - reach, 0);
    const int top = std::max(cy - reach, 0);
    const int width = std::min(cx + reach, kSmallFrameSide - 1) - left + 1;
    const int height = std::min(cy + reach, kSmallFrameSide - 1) - top + 1;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::array<uint32_t, kMaxSide * kMaxSide> window;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            window[row * width + column] = frame[(top + row) * kSmallFrameSide + left + column];
        }
    }
    SuppressLonePixels(std::span(window.data(), count), width, height);

    std::array<uint32_t, kMaxSide * kMaxSide> scratch;
    std::copy_n(window.begin(), count, scratch.begin());
    const double background = Median(std::span(scratch.data(), count));
    for (std::size_t k = 0; k < count; ++k) {
        scratch[k] = static_cast<uint32_t>(std::abs(window[k] - background));
    }
    const double noise = std::max(1.0, kDeviationPerMad * Median(std::span(scratch.data(), count)));

    const double aperture = std::max(kLeastApertureRadius, reach / 2);
    GuideStarFigures figures;
    int pixels = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const double dx = left + column - x;
            const double dy = top + row - y;
            if (dx * dx + dy * dy > aperture * aperture) {
                continue;
            }
            const double above = window[row * width + column] - background;
            figures.mass += above;
            figures.peak = std::max(figures.peak, above);
            ++pixels;
        }
    }
    figures.snr = pixels == 0 ? 0.0 : figures.mass / (noise * std::sqrt(pixels));
    return figures;
}

}  // namespace talvor
