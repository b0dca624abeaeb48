#include "measurement/brightest_star.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/session.h"
#include "measurement/image_click.h"

namespace talvor {
namespace {

// A pixel from here up has reached the top of the camera's 16-bit range.
constexpr int kSaturated = 65000;
// A peak must stand this many noise widths above the sky.
constexpr double kPeakNoiseWidths = 5.0;
// The mean of a star's four direct neighbours holds at least this share of its peak's light
// above the sky; a spike's hold almost none.
constexpr double kNeighbourShare = 0.25;

struct Area {
    int left;
    int top;
    int right;  // inclusive
    int bottom;
};

// The sky level (the median) and the noise (from the median absolute deviation) of the area.
struct Sky {
    double level = 0.0;
    double noise = 1.0;
};

int MedianOfCounts(const std::vector<uint32_t>& counts, uint32_t total) {
    uint32_t seen = 0;
    for (std::size_t value = 0; value < counts.size(); ++value) {
        seen += counts[value];
        if (2 * seen >= total) {
            return static_cast<int>(value);
        }
    }
    return 0;
}

Sky SkyOf(const ImageBuffer& frame, const Area& area) {
    std::vector<uint32_t> counts(65536, 0);
    uint32_t total = 0;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) {
            ++counts[PixelAt(frame, x, y)];
            ++total;
        }
    }
    Sky sky;
    const int median = MedianOfCounts(counts, total);
    std::vector<uint32_t> deviations(65536, 0);
    for (int value = 0; value < 65536; ++value) {
        deviations[static_cast<std::size_t>(std::abs(value - median))] += counts[value];
    }
    sky.level = median;
    // 1.4826 turns the median absolute deviation of normal noise into its standard deviation.
    sky.noise = std::max(1.0, 1.4826 * MedianOfCounts(deviations, total));
    return sky;
}

bool IsLocalPeak(const ImageBuffer& frame, int x, int y) {
    const uint16_t peak = PixelAt(frame, x, y);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (PixelAt(frame, x + dx, y + dy) > peak) {
                return false;
            }
        }
    }
    return true;
}

bool TouchesSaturation(const ImageBuffer& frame, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (PixelAt(frame, x + dx, y + dy) >= kSaturated) {
                return true;
            }
        }
    }
    return false;
}

bool SpreadsLikeAStar(const ImageBuffer& frame, int x, int y, double sky) {
    const double peak = PixelAt(frame, x, y) - sky;
    const double neighbours = PixelAt(frame, x - 1, y) + PixelAt(frame, x + 1, y) +
                              PixelAt(frame, x, y - 1) + PixelAt(frame, x, y + 1) - 4.0 * sky;
    return neighbours / 4.0 >= kNeighbourShare * peak;
}

double PatchLight(const ImageBuffer& frame, int x, int y, double sky) {
    double sum = 0.0;
    for (int row = y - 1; row <= y + 1; ++row) {
        for (int column = x - 1; column <= x + 1; ++column) {
            sum += PixelAt(frame, column, row) - sky;
        }
    }
    return sum;
}

}  // namespace

std::optional<PixelPosition> BrightestStar(const Session& session, const ImageBuffer& frame) {
    const int edge = session.settings.GuideStarMaskRadius + kPickMargin;
    const Area area{edge, edge, kCameraColumns - 2 - edge, kFrameRows - 1 - edge};
    if (area.right < area.left || area.bottom < area.top) {
        return std::nullopt;
    }
    const Sky sky = SkyOf(frame, area);
    const double threshold = sky.level + kPeakNoiseWidths * sky.noise;
    std::optional<PixelPosition> best;
    double bestLight = 0.0;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) {
            if (PixelAt(frame, x, y) <= threshold || !IsLocalPeak(frame, x, y) ||
                TouchesSaturation(frame, x, y) || !SpreadsLikeAStar(frame, x, y, sky.level)) {
                continue;
            }
            const double light = PatchLight(frame, x, y, sky.level);
            if (!best || light > bestLight) {
                bestLight = light;
                best = PixelPosition{x, y};
            }
        }
    }
    return best;
}

}  // namespace talvor
