#include "measurement/star_centroid.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/session.h"
#include "core/user_interface.h"

namespace talvor {
namespace {

constexpr int kBinCount = 4096;
constexpr int kBinWidth = 16;
// The background is the mode bin times this, formed in single precision; a mode bin from here
// up counts as saturated.
constexpr float kBinToLevel = 16.32F;
constexpr int kSaturatedBin = 4015;
constexpr uint32_t kFullScale = 65535;
constexpr int kMaxWindowSide = 2 * kMaxMeasureRadius + 1;

struct FrameShape {
    int width;
    int height;
};

FrameShape ShapeOf(const CentreSearch& search) {
    return search.smallFrame ? FrameShape{kSmallFrameSide, kSmallFrameSide}
                             : FrameShape{kFrameColumns, kFrameRows};
}

// A lone pixel stands this many noise widths above the window's median, and its brightest
// neighbour less than this share of its height above the median.
constexpr double kLoneNoiseWidths = 5.0;
constexpr double kLoneNeighbourShare = 0.25;
// The median absolute deviation times this is the standard deviation of Gaussian noise.
constexpr double kDeviationPerMad = 1.4826;

void Tell(UserInterface& ui, const CentreSearch& search, std::string_view text) {
    if (!search.silent) {
        ui.ShowErrorBox(std::string(kFindCentreCaption), std::string(text));
    }
}

// The median of the values, reordering the scratch copy it is given.
uint32_t MedianOf(std::span<uint32_t> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace

CentreSearch CentreSearchFor(const Session& session) {
    const bool selfGuiding = session.capture.SelfGuideArmed;
    const bool guidingShown = session.state.GuidingDisplay;
    CentreSearch search;
    search.smallFrame = guidingShown || session.state.SubFrameMode;
    search.tenths = !session.settings.IgnoreDriftBelowOnePixel && (selfGuiding || guidingShown);
    search.quiet = selfGuiding || session.guiding.GuidingRunning;
    return search;
}

CentreResult FindStarCentre(UserInterface& ui, const CentreSearch& search, CentrePosition& centre,
                            int x, int y, const ImageBuffer& frame, int r) {
    if (r < 0 || r > kMaxMeasureRadius) {
        return CentreResult::NotFound;
    }
    const FrameShape shape = ShapeOf(search);
    // Wide arithmetic: a point from the command line may lie anywhere in the int range.
    const int64_t left = int64_t{x} - r;
    const int64_t top = int64_t{y} - r;
    if (left < 0 || top < 0 || int64_t{x} + r + 1 > shape.width ||
        int64_t{y} + r + 1 > shape.height) {
        Tell(ui, search, kCentreOutsideImage);
        return CentreResult::NotFound;
    }
    const int x0 = static_cast<int>(left);
    const int y0 = static_cast<int>(top);
    const int n = 2 * r + 1;

    // Scratch on the stack: the search is called several times per guide frame and allocates
    // nothing.
    std::array<uint32_t, kBinCount> bins{};
    std::array<uint32_t, kMaxWindowSide * kMaxWindowSide> window;
    std::size_t count = 0;
    for (int row = y0; row < y0 + n; ++row) {
        const std::size_t start = static_cast<std::size_t>(row) * shape.width + x0;
        for (int column = 0; column < n; ++column) {
            window[count++] = frame[start + column];
        }
    }
    if (search.ignoreLonePixels) {
        SuppressLonePixels(std::span(window.data(), count), n, n);
    }
    uint32_t peak = 0;
    for (std::size_t k = 0; k < count; ++k) {
        ++bins[window[k] / kBinWidth];
        peak = std::max(peak, window[k]);
    }

    int mode = 0;
    for (int bin = 1; bin < kBinCount; ++bin) {
        if (bins[bin] > bins[mode]) {
            mode = bin;
        }
    }
    const uint32_t background = mode < kSaturatedBin
                                    ? static_cast<uint32_t>(static_cast<float>(mode) * kBinToLevel)
                                    : kFullScale;
    if (peak <= background) {
        if (!search.quiet) {
            Tell(ui, search, kNothingToCentreOn);
        }
        return CentreResult::NotFound;
    }

    const uint32_t scale = kFullScale / (peak - background);
    uint64_t sum = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const uint32_t value = window[k];
        window[k] = value > background ? (value - background) * scale : 0;
        sum += window[k];
    }
    const int64_t mean = static_cast<int64_t>(sum / count);

    // The three sums start at 1, so a window with nothing above its mean has its centre at
    // the window's pixel (1, 1), and every centre is drawn slightly towards that pixel.
    int64_t weight = 1;
    int64_t weightX = 1;
    int64_t weightY = 1;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const int64_t above = static_cast<int64_t>(window[j * n + i]) - mean;
            if (above > 0) {
                weight += above;
                weightX += above * i;
                weightY += above * j;
            }
        }
    }
    const double cx = static_cast<double>(weightX) / static_cast<double>(weight);
    const double cy = static_cast<double>(weightY) / static_cast<double>(weight);

    if (search.tenths) {
        const int wholeX = static_cast<int>(cx);
        const int wholeY = static_cast<int>(cy);
        centre.x = wholeX + x0;
        centre.y = wholeY + y0;
        centre.xTenths = static_cast<int>(cx * 10) - 10 * wholeX;
        centre.yTenths = static_cast<int>(cy * 10) - 10 * wholeY;
    } else {
        centre.x = static_cast<int>(cx + 0.5) + x0;
        centre.y = static_cast<int>(cy + 0.5) + y0;
        centre.xTenths = 0;
        centre.yTenths = 0;
    }
    return CentreResult::Found;
}

int SuppressLonePixels(std::span<uint32_t> window, int width, int height) {
    const std::size_t count = window.size();
    if (width < 3 || height < 3 || width > kMaxWindowSide || height > kMaxWindowSide ||
        count != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return 0;
    }
    std::array<uint32_t, kMaxWindowSide * kMaxWindowSide> original;
    std::copy(window.begin(), window.end(), original.begin());
    std::array<uint32_t, kMaxWindowSide * kMaxWindowSide> scratch;
    std::copy(window.begin(), window.end(), scratch.begin());
    const double median = MedianOf(std::span(scratch.data(), count));
    for (std::size_t k = 0; k < count; ++k) {
        const double value = original[k];
        scratch[k] = static_cast<uint32_t>(value > median ? value - median : median - value);
    }
    const double noise =
        std::max(1.0, kDeviationPerMad * MedianOf(std::span(scratch.data(), count)));

    int replaced = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const double above = original[row * width + column] - median;
            if (above <= kLoneNoiseWidths * noise) {
                continue;
            }
            std::array<uint32_t, 8> neighbours;
            std::size_t found = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int r = row + dy;
                    const int c = column + dx;
                    if ((dx != 0 || dy != 0) && r >= 0 && r < height && c >= 0 && c < width) {
                        neighbours[found++] = original[r * width + c];
                    }
                }
            }
            const double brightest = *std::max_element(
                neighbours.begin(), neighbours.begin() + static_cast<std::ptrdiff_t>(found));
            if (brightest - median < kLoneNeighbourShare * above) {
                window[row * width + column] = MedianOf(std::span(neighbours.data(), found));
                ++replaced;
            }
        }
    }
    return replaced;
}

CentreResult FindStarCentre(Session& session, int x, int y, const ImageBuffer& frame, int r) {
    return FindStarCentre(session.ui, CentreSearchFor(session), session.guiding.StarCentre, x, y,
                          frame, r);
}

}  // namespace talvor
