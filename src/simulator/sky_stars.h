#pragma once

#include <cstdint>
#include <vector>

#include "core/pointing_offset.h"

namespace talvor {

// A star of the simulated sky: where it stands and how many magnitudes fainter it is than the
// brightest the sky holds.
struct SkyStar {
    SkyPosition position;
    double magnitude = 0.0;
};

// The stars of the whole simulated sky, made up the same way every time for a seed: the sky is
// cut into cells a quarter of a degree high and about as wide, and each cell's stars come from
// a random stream of their own, so any part of the sky looks the same whenever the telescope
// comes back to it and the parts join without seams. Faint stars are the more numerous.
class SkyStars {
  public:
    SkyStars(uint64_t seed, double starsPerSquareDegree, double magnitudeRange);

    // Every star within a radius (degrees) of a direction, and some just beyond.
    std::vector<SkyStar> Around(const SkyPosition& centre, double radiusDegrees) const;

  private:
    void AddCell(int band, int cell, int cellsInBand, std::vector<SkyStar>& stars) const;

    uint64_t seed_;
    double density_;
    double magnitudeRange_;
};

}  // namespace talvor
