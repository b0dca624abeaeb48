#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/light_region.h"
#include "core/pointing_offset.h"
#include "simulator/sky_stars.h"

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
    // The sky beyond the starting field: its stars per square degree (as many as the starting
    // field holds) and the sky one pixel spans, for a pointing that tells its direction.
    double skyStarsPerSquareDegree = 350.0;
    double arcsecondsPerPixel = 2.5;
};

// The sky the simulated camera looks at: a uniform sky glow and stars blurred by the seeing
// (a Gaussian profile integrated over each pixel). The starting field's stars sit on the
// picture and move with the pointing offset. When the pointing also tells the direction the
// telescope points in, the stars of the simulated sky around it are drawn too, projected onto
// the picture with north up and east to the left: a go-to shows another part of the sky.
class StarField {
  public:
    // A sky without stars.
    explicit StarField(const StarFieldSettings& settings);
    // A random field for a seed: stars scattered over the picture and its margin, faint ones more
    // common than bright ones, and one bright star in the middle of the default focus window;
    // and the sky's stars for the same seed.
    static StarField Generate(uint64_t seed, const StarFieldSettings& settings);

    void AddStar(const Star& star) { stars_.push_back(star); }
    // Leaves a sky without any star: none on the picture, none of the sky.
    void RemoveStars() {
        stars_.clear();
        sky_.reset();
    }
    const std::vector<Star>& Stars() const { return stars_; }
    const StarFieldSettings& Settings() const { return settings_; }
    // Where the sky's stars stand on the picture when the telescope points in a direction.
    std::vector<Star> SkyStarsSeenFrom(const SkyPosition& pointing) const;

    // Adds the sky and starlight of an exposure to the light-sensitive pixels of the region.
    // The field stood at each offset of the path for an equal share of the exposure.
    void Expose(LightRegion& light, double seconds, std::span<const PointingOffset> path) const;

  private:
    void AddStarImage(LightRegion& light, double x, double y, double counts) const;
    const std::vector<SkyStar>& SkyStarsNear(const SkyPosition& pointing) const;

    StarFieldSettings settings_;
    std::vector<Star> stars_;
    std::optional<SkyStars> sky_;
    // The sky's stars around the last direction asked about, kept while the pointing stays near.
    mutable std::optional<SkyPosition> nearCentre_;
    mutable std::vector<SkyStar> near_;
};

}  // namespace talvor
