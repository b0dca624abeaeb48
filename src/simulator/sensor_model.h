#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/light_region.h"
#include "simulator/random_stream.h"

namespace talvor {

struct SensorSettings {
    double bias = 120.0;             // counts every pixel reads without any charge
    double readNoise = 9.0;          // counts, standard deviation
    double electronsPerCount = 1.4;  // sets the shot noise of the collected charge
    double darkRate = 1.5;           // counts per second in every picture pixel
    int hotPixelCount = 40;
    double hotPixelMinRate = 30.0;  // counts per second
    double hotPixelMaxRate = 3000.0;
};

// The simulated camera's chip: turns the light of an exposure into the counts it reads out.
class SensorModel {
  public:
    // The hot pixels are placed and graded for the seed.
    SensorModel(uint64_t seed, const SensorSettings& settings);

    const SensorSettings& Settings() const { return settings_; }
    // The dark current of a picture pixel in counts per second, hot pixels included.
    double DarkRateAt(int column, int row) const;

    // Reads out a region, row by row: light plus dark current for the exposure, shot noise of
    // that charge and read noise, plus the bias, truncated and held within 0..65535. The
    // covered border gives bias and read noise only. `pixels` holds one word per pixel.
    void ReadOut(const LightRegion& light, double seconds, RandomStream& noise,
                 std::span<uint16_t> pixels) const;

  private:
    SensorSettings settings_;
    std::vector<float> darkRates_;  // per picture pixel, row by row
};

}  // namespace talvor
