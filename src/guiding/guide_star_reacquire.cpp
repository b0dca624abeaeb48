#include "guiding/guide_star_reacquire.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/session.h"
#include "guiding/guide_frames.h"
#include "guiding/guide_star_figures.h"

namespace talvor {
namespace {

// A peak stands this many noise widths above the sky, and its brightest neighbour at least this
// share of its height above it: a star lights its neighbours, a hot pixel does not.
constexpr double kPeakNoiseWidths = 5.0;
constexpr double kLitNeighbourShare = 0.25;
// The peaks nearest the star's usual height are centred and measured, no more: a crowded frame
// stays cheap, and brighter stars do not crowd the star out.
constexpr std::size_t kMostCandidates = 16;
constexpr double kDeviationPerMad = 1.4826;

// The searched part of the guide frame, inclusive on every side.
struct SearchArea {
    int left;
    int top;
    int right;
    int bottom;
};

// The pixels within reach of the star's last place and of the reference, and one more: the
// brightest pixel of a star lies up to half a pixel from its centre.
SearchArea AreaAround(const GuideStarWatch& watch, double reach) {
    reach += 1.0;
    const auto low = [reach](double a, double b) {
        return std::max(0, static_cast<int>(std::floor(std::min(a, b) - reach)));
    };
    const auto high = [reach](double a, double b) {
        return std::min(kSmallFrameSide - 1, static_cast<int>(std::ceil(std::max(a, b) + reach)));
    };
    return {low(watch.lastX, watch.referenceX), low(watch.lastY, watch.referenceY),
            high(watch.lastX, watch.referenceX), high(watch.lastY, watch.referenceY)};
}

struct SkyLevel {
    double background;
    double noise;
};

// The area's median and the noise its median absolute deviation gives: stars cover too little
// of it to move either.
SkyLevel SkyOf(const ImageBuffer& frame, const SearchArea& area) {
    std::vector<double> values;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) {
            values.push_back(frame[y * kSmallFrameSide + x]);
        }
    }
    const auto median = [](std::vector<double>& v) {
        const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
        std::nth_element(v.begin(), middle, v.end());
        return *middle;
    };
    const double background = median(values);
    for (double& value : values) {
        value = std::abs(value - background);
    }
    return {background, std::max(1.0, kDeviationPerMad * median(values))};
}

struct Peak {
    int x;
    int y;
    double height;
};

// The pixels of the area that stand above the noise, are the brightest of their neighbours
// (the first of equals) and light at least one of them; those nearest the usual peak first.
std::vector<Peak> PeaksIn(const ImageBuffer& frame, const SearchArea& area, const SkyLevel& sky,
                          double usualPeak) {
    std::vector<Peak> peaks;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) {
            const double height = frame[y * kSmallFrameSide + x] - sky.background;
            if (height <= kPeakNoiseWidths * sky.noise) {
                continue;
            }
            bool highest = true;
            double brightestNeighbour = 0.0;
            for (int dy = -1; dy <= 1 && highest; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= kSmallFrameSide ||
                        ny >= kSmallFrameSide) {
                        continue;
                    }
                    const double neighbour = frame[ny * kSmallFrameSide + nx] - sky.background;
                    const bool earlier = dy < 0 || (dy == 0 && dx < 0);
                    if (neighbour > height || (earlier && neighbour == height)) {
                        highest = false;
                        break;
                    }
                    brightestNeighbour = std::max(brightestNeighbour, neighbour);
                }
            }
            if (highest && brightestNeighbour >= kLitNeighbourShare * height) {
                peaks.push_back({x, y, height});
            }
        }
    }
    const auto off = [usualPeak](const Peak& peak) {
        return std::abs(std::log(peak.height / usualPeak));
    };
    std::sort(peaks.begin(), peaks.end(),
              [&off](const Peak& a, const Peak& b) { return off(a) < off(b); });
    if (peaks.size() > kMostCandidates) {
        peaks.resize(kMostCandidates);
    }
    return peaks;
}

// Centre searches whose window lies inside the frame: a star near the frame's edge is still
// found, by the window beside it.
CentreResult FindGuideStarInside(Session& session, int x, int y) {
    const int r = session.guiding.MeasureRadius;
    const int last = kSmallFrameSide - 1 - r;
    return FindGuideStar(session, std::clamp(x, r, last), std::clamp(y, r, last));
}

}  // namespace

ReacquiredStar ReacquireGuideStar(Session& session, const GuideStarWatch& watch, uint32_t nowMs) {
    const ImageBuffer& frame = session.images.CurrentImage;
    const SearchArea area = AreaAround(watch, StrayReach(watch, nowMs));
    const std::vector<Peak> peaks =
        PeaksIn(frame, area, SkyOf(frame, area), std::max(watch.usual.peak, 1.0));
    ReacquiredStar best;
    double bestMismatch = 0.0;
    const CentrePosition& centre = session.guiding.StarCentre;
    for (const Peak& peak : peaks) {
        // The second search centres its window on the star, as the guide loop's searches are.
        if (FindGuideStarInside(session, peak.x, peak.y) != CentreResult::Found ||
            FindGuideStarInside(session, centre.x, centre.y) != CentreResult::Found) {
            continue;
        }
        const double x = centre.x + centre.xTenths * 0.1;
        const double y = centre.y + centre.yTenths * 0.1;
        if (!WithinReach(watch, x, y, nowMs)) {
            best.absence = best.absence == StarAbsence::None ? best.absence : StarAbsence::Jumped;
            continue;
        }
        const GuideStarFigures figures =
            MeasureGuideStar(frame, x, y, session.guiding.MeasureRadius);
        if (!MatchesTheStar(watch.usual, figures)) {
            best.absence = best.absence == StarAbsence::None ? best.absence : StarAbsence::Faint;
            continue;
        }
        const double mismatch = FiguresMismatch(watch.usual, figures);
        if (best.absence != StarAbsence::None || mismatch < bestMismatch) {
            best = {StarAbsence::None, centre, figures};
            bestMismatch = mismatch;
        }
    }
    return best;
}

}  // namespace talvor
