#pragma once

#include <cstdint>
#include <optional>

namespace talvor {

// A direction on the sky: right ascension in hours (0 <= ra < 24), declination in degrees.
struct SkyPosition {
    double raHours = 0.0;
    double decDegrees = 0.0;
};

// Where the telescope points, relative to where it pointed when the run began, in camera
// pixels (fractional): +x moves the star field right on the picture, +y down. A source that
// knows the sky (a simulated mount) also tells the direction the telescope points in, so that
// the simulated camera can show the stars of that part of the sky.
struct PointingOffset {
    PointingOffset() = default;
    PointingOffset(double x, double y, std::optional<SkyPosition> sky = std::nullopt)
        : x(x), y(y), sky(sky) {}

    double x = 0.0;
    double y = 0.0;
    std::optional<SkyPosition> sky;
};

// Tells the simulated camera how the sky has moved at a moment of the millisecond clock. The
// simulated mount implements it; without a mount the sky drifts at a steady rate.
class PointingSource {
  public:
    virtual ~PointingSource() = default;
    virtual PointingOffset OffsetAt(uint32_t milliseconds) = 0;
};

}  // namespace talvor
