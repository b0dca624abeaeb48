#include "simulator/sky_stars.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "simulator/random_stream.h"

namespace talvor {
namespace {

constexpr double kBandDegrees = 0.25;
constexpr int kBands = 720;  // 180 degrees of declination
constexpr double kRadian = std::numbers::pi / 180;

double BandSouthEdge(int band) {
    return -90 + band * kBandDegrees;
}

// Cells in a band: about a quarter of a degree wide on the sky, at least one.
int CellsInBand(int band) {
    const double middle = BandSouthEdge(band) + kBandDegrees / 2;
    return std::max(1, static_cast<int>(360 * std::cos(middle * kRadian) / kBandDegrees));
}

// A count with the spread of stars scattered at random (a Poisson draw).
int StarCount(double mean, RandomStream& random) {
    const double limit = std::exp(-mean);
    int count = 0;
    for (double product = random.Uniform(); product > limit; product *= random.Uniform()) {
        ++count;
    }
    return count;
}

}  // namespace

SkyStars::SkyStars(uint64_t seed, double starsPerSquareDegree, double magnitudeRange)
    : seed_(seed), density_(starsPerSquareDegree), magnitudeRange_(magnitudeRange) {}

void SkyStars::AddCell(int band, int cell, int cellsInBand, std::vector<SkyStar>& stars) const {
    RandomStream random(
        MixSeed(seed_, 1000000ULL * static_cast<uint64_t>(band + 1) + static_cast<uint64_t>(cell)));
    const double south = BandSouthEdge(band);
    const double widthHours = 24.0 / cellsInBand;
    const double area = (std::sin((south + kBandDegrees) * kRadian) - std::sin(south * kRadian)) /
                        kRadian * widthHours * 15;
    const int count = StarCount(density_ * area, random);
    for (int i = 0; i < count; ++i) {
        // Even over the cell's area: uniform in the sine of the declination.
        const double low = std::sin(south * kRadian);
        const double high = std::sin((south + kBandDegrees) * kRadian);
        const double dec = std::asin(low + random.Uniform() * (high - low)) / kRadian;
        const double ra = (cell + random.Uniform()) * widthHours;
        stars.push_back({{ra, dec}, magnitudeRange_ * std::sqrt(random.Uniform())});
    }
}

std::vector<SkyStar> SkyStars::Around(const SkyPosition& centre, double radiusDegrees) const {
    std::vector<SkyStar> stars;
    if (density_ <= 0) {
        return stars;
    }
    const int first = std::clamp(
        static_cast<int>(std::floor((centre.decDegrees - radiusDegrees + 90) / kBandDegrees)), 0,
        kBands - 1);
    const int last = std::clamp(
        static_cast<int>(std::floor((centre.decDegrees + radiusDegrees + 90) / kBandDegrees)), 0,
        kBands - 1);
    for (int band = first; band <= last; ++band) {
        const int cells = CellsInBand(band);
        // The band's edge nearest a pole needs the widest span of right ascension.
        const double poleward =
            std::max(std::abs(BandSouthEdge(band)), std::abs(BandSouthEdge(band) + kBandDegrees));
        const double cosine = std::cos(std::min(poleward, 90.0) * kRadian);
        const double halfHours = cosine > 0 ? radiusDegrees / 15 / cosine : 12.0;
        if (halfHours >= 12 || cells < 3) {
            for (int cell = 0; cell < cells; ++cell) {
                AddCell(band, cell, cells, stars);
            }
            continue;
        }
        const double width = 24.0 / cells;
        const int from = static_cast<int>(std::floor((centre.raHours - halfHours) / width));
        const int to = static_cast<int>(std::floor((centre.raHours + halfHours) / width));
        for (int cell = from; cell <= std::min(to, from + cells - 1); ++cell) {
            AddCell(band, ((cell % cells) + cells) % cells, cells, stars);
        }
    }
    return stars;
}

}  // namespace talvor
