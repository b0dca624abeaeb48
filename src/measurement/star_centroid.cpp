#include "measurement/star_centroid.h"

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

void Tell(UserInterface& ui, std::string_view text) {
    ui.ShowErrorBox(std::string(kFindCentreCaption), std::string(text));
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
        Tell(ui, kCentreOutsideImage);
        return CentreResult::NotFound;
    }
    const int x0 = static_cast<int>(left);
    const int y0 = static_cast<int>(top);
    const int n = 2 * r + 1;

    // Scratch on the stack: the search is called several times per guide frame and allocates
    // nothing.
    std::array<uint32_t, kBinCount> bins{};
    std::array<uint32_t, kMaxWindowSide * kMaxWindowSide> window;
    uint32_t peak = 0;
    std::size_t count = 0;
    for (int row = y0; row < y0 + n; ++row) {
        const std::size_t start = static_cast<std::size_t>(row) * shape.width + x0;
        for (int column = 0; column < n; ++column) {
            const uint32_t value = frame[start + column];
            ++bins[value / kBinWidth];
            window[count++] = value;
            if (value > peak) {
                peak = value;
            }
        }
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
            Tell(ui, kNothingToCentreOn);
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

CentreResult FindStarCentre(Session& session, int x, int y, const ImageBuffer& frame, int r) {
    return FindStarCentre(session.ui, CentreSearchFor(session), session.guiding.StarCentre, x, y,
                          frame, r);
}

}  // namespace talvor
