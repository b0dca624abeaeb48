#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/light_region.h"
#include "core/pointing_offset.h"

namespace talvor {

// A star at a position of the frame (pixel centres at whole numbers) while the pointing offset
// is zero, with its brightness in counts per second.
struct Star {
    double x = 0.0;
    double y = 0.0;
    double flux = 0.0;
};

struct StarFieldSettings {
    int starCount = 80;
    double brightestFlux = 150000.0;  // counts per second, summed over the star's image
    double magnitudeRange = 7.0;      // the faintest star is this many magnitudes fainter
    double margin = 150.0;            // stars lie this far beyond the picture too
    double seeingFwhm = 2.6;          // pixels
    double skyRate = 20.0;            // counts per second in every pixel
};

// The sky the simulated camera looks at: a uniform sky glow and stars blurred by the seeing
// (a Gaussian profile integrated over each pixel).
class StarField {
  public:
    // A sky without stars.
    explicit StarField(const StarFieldSettings& settings);
    // A random field for a seed: stars scattered over the picture and its margin, faint ones more
    // common than bright ones, and one bright star in the middle of the default focus window.
    static StarField Generate(uint64_t seed, const StarFieldSettings& settings);

    void AddStar(const Star& star) { stars_.push_back(star); }
    void RemoveStars() { stars_.clear(); }
    const std::vector<Star>& Stars() const { return stars_; }
    const StarFieldSettings& Settings() const { return settings_; }

    // Adds the sky and starlight of an exposure to the light-sensitive pixels of the region.
    // The field stood at each offset of the path for an equal share of the exposure.
    void Expose(LightRegion& light, double seconds, std::span<const PointingOffset> path) const;

  private:
    void AddStarImage(LightRegion& light, double x, double y, double counts) const;

    StarFieldSettings settings_;
    std::vector<Star> stars_;
};

}  // namespace talvor
