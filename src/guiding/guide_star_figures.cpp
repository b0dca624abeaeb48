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
    // The window shrinks to stay inside the frame.
    const int reach = std::min({std::clamp(r, 1, kMaxMeasureRadius), cx, cy,
                                kSmallFrameSide - 1 - cx, kSmallFrameSide - 1 - cy});
    if (reach < 1) {
        return {};
    }
    const int side = 2 * reach + 1;
    const std::size_t count = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    std::array<uint32_t, kMaxSide * kMaxSide> window;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            window[row * side + column] =
                frame[(cy - reach + row) * kSmallFrameSide + cx - reach + column];
        }
    }
    SuppressLonePixels(std::span(window.data(), count), side);

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
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const double dx = cx - reach + column - x;
            const double dy = cy - reach + row - y;
            if (dx * dx + dy * dy > aperture * aperture) {
                continue;
            }
            const double above = window[row * side + column] - background;
            figures.mass += above;
            figures.peak = std::max(figures.peak, above);
            ++pixels;
        }
    }
    figures.snr = pixels == 0 ? 0.0 : figures.mass / (noise * std::sqrt(pixels));
    return figures;
}

}  // namespace talvor
