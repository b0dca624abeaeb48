#include "simulator/star_field.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/readout_state.h"
#include "simulator/random_stream.h"
#include "simulator/sky_geometry.h"

namespace talvor {
namespace {

constexpr double kFwhmPerSigma = 2.3548200450309493;  // 2 sqrt(2 ln 2)
// The profile is drawn out to this many standard deviations.
constexpr double kProfileReach = 5.0;
constexpr int kLongestProfile = 64;
// The pixel the telescope's axis falls on: the middle of the picture.
constexpr double kAxisX = (kCameraColumns - 1) / 2.0;
constexpr double kAxisY = (kFrameRows - 1) / 2.0;
// Sky stars are drawn this far beyond the picture's corners (pixels), and fetched for a circle
// this much wider (degrees) so that small moves need no new fetch.
constexpr double kSkyMarginPixels = 50;
constexpr double kFetchSlackDegrees = 0.3;

// The share of a unit Gaussian's light that falls on each pixel from first to last along one
// axis, for a centre at `centre`.
int PixelShares(double centre, double sigma, int first, int last,
                std::array<double, kLongestProfile>& shares) {
    const double scale = 1.0 / (sigma * std::numbers::sqrt2);
    const int count = std::min(last - first + 1, kLongestProfile);
    double below = std::erf((first - 0.5 - centre) * scale);
    for (int i = 0; i < count; ++i) {
        const double above = std::erf((first + i + 0.5 - centre) * scale);
        shares[i] = 0.5 * (above - below);
        below = above;
    }
    return count;
}

}  // namespace

StarField::StarField(const StarFieldSettings& settings) : settings_(settings) {}

StarField StarField::Generate(uint64_t seed, const StarFieldSettings& settings) {
    StarField field(settings);
    field.sky_.emplace(MixSeed(seed, 2), settings.skyStarsPerSquareDegree, settings.magnitudeRange);
    RandomStream random(MixSeed(seed, 1));
    const double width = kCameraColumns + 2.0 * settings.margin;
    const double height = kFrameRows + 2.0 * settings.margin;
    if (settings.starCount <= 0) {
        return field;
    }
    // Focusing and guiding start at the default focus window; give them a star there.
    field.AddStar({kDefaultFocusWindowOrigin.x + 64.3, kDefaultFocusWindowOrigin.y + 63.6,
                   settings.brightestFlux * 0.1});
    for (int i = 1; i < settings.starCount; ++i) {
        const double x = random.Uniform() * width - settings.margin;
        const double y = random.Uniform() * height - settings.margin;
        // Brightness falls off in magnitudes, with faint stars the more numerous.
        const double magnitude = settings.magnitudeRange * std::sqrt(random.Uniform());
        field.AddStar({x, y, settings.brightestFlux * std::pow(10.0, -0.4 * magnitude)});
    }
    return field;
}

void StarField::Expose(LightRegion& light, double seconds,
                       std::span<const PointingOffset> path) const {
    const double sky = settings_.skyRate * seconds;
    for (int row = light.top; row < light.top + light.height; ++row) {
        for (int column = light.left; column < light.left + light.width; ++column) {
            if (IsLightSensitive(column, row)) {
                light.At(column, row) += sky;
            }
        }
    }
    if (path.empty()) {
        return;
    }
    const double share = seconds / static_cast<double>(path.size());
    for (const PointingOffset& offset : path) {
        for (const Star& star : stars_) {
            AddStarImage(light, star.x + offset.x, star.y + offset.y, star.flux * share);
        }
        if (offset.sky) {
            for (const Star& star : SkyStarsSeenFrom(*offset.sky)) {
                AddStarImage(light, star.x, star.y, star.flux * share);
            }
        }
    }
}

const std::vector<SkyStar>& StarField::SkyStarsNear(const SkyPosition& pointing) const {
    const double view = (std::hypot(kCameraColumns, kFrameRows) / 2 + kSkyMarginPixels) *
                        settings_.arcsecondsPerPixel / 3600;
    if (!nearCentre_ || SeparationDegrees(*nearCentre_, pointing) > kFetchSlackDegrees) {
        near_ = sky_->Around(pointing, view + kFetchSlackDegrees);
        nearCentre_ = pointing;
    }
    return near_;
}

std::vector<Star> StarField::SkyStarsSeenFrom(const SkyPosition& pointing) const {
    std::vector<Star> seen;
    if (!sky_ || settings_.arcsecondsPerPixel <= 0) {
        return seen;
    }
    for (const SkyStar& star : SkyStarsNear(pointing)) {
        const std::optional<TangentPoint> point = Project(pointing, star.position);
        if (!point) {
            continue;
        }
        const double x = kAxisX - point->east / settings_.arcsecondsPerPixel;
        const double y = kAxisY - point->north / settings_.arcsecondsPerPixel;
        if (x < -kSkyMarginPixels || x > kCameraColumns + kSkyMarginPixels ||
            y < -kSkyMarginPixels || y > kFrameRows + kSkyMarginPixels) {
            continue;
        }
        seen.push_back({x, y, settings_.brightestFlux * std::pow(10.0, -0.4 * star.magnitude)});
    }
    return seen;
}

void StarField::AddStarImage(LightRegion& light, double x, double y, double counts) const {
    const double sigma = settings_.seeingFwhm / kFwhmPerSigma;
    const int reach = static_cast<int>(std::ceil(kProfileReach * sigma));
    const int left = std::max({static_cast<int>(std::floor(x)) - reach, light.left, 0});
    const int right = std::min(
        {static_cast<int>(std::ceil(x)) + reach, light.left + light.width - 1, kCameraColumns - 1});
    const int top = std::max({static_cast<int>(std::floor(y)) - reach, light.top, 0});
    const int bottom = std::min(
        {static_cast<int>(std::ceil(y)) + reach, light.top + light.height - 1, kFrameRows - 1});
    if (left > right || top > bottom) {
        return;
    }
    std::array<double, kLongestProfile> across{};
    std::array<double, kLongestProfile> down{};
    const int columns = PixelShares(x, sigma, left, right, across);
    const int rows = PixelShares(y, sigma, top, bottom, down);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            light.At(left + c, top + r) += counts * down[r] * across[c];
        }
    }
}

}  // namespace talvor
