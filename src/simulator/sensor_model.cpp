#include "simulator/sensor_model.h"

#include <algorithm>
#include <cmath>

namespace talvor {

SensorModel::SensorModel(uint64_t seed, const SensorSettings& settings)
    : settings_(settings),
      darkRates_(static_cast<std::size_t>(kCameraColumns) * kFrameRows,
                 static_cast<float>(settings.darkRate)) {
    RandomStream random(MixSeed(seed, 2));
    const double spread = settings.hotPixelMaxRate / std::max(settings.hotPixelMinRate, 1e-9);
    for (int i = 0; i < settings.hotPixelCount; ++i) {
        const auto column = static_cast<int>(random.Uniform() * kCameraColumns);
        const auto row = static_cast<int>(random.Uniform() * kFrameRows);
        // Spread evenly in the logarithm: a few very hot pixels, many warm ones.
        const double rate = settings.hotPixelMinRate * std::pow(spread, random.Uniform());
        darkRates_[static_cast<std::size_t>(row) * kCameraColumns + column] +=
            static_cast<float>(rate);
    }
}

double SensorModel::DarkRateAt(int column, int row) const {
    if (!IsLightSensitive(column, row)) {
        return 0.0;
    }
    return darkRates_[static_cast<std::size_t>(row) * kCameraColumns + column];
}

void SensorModel::ReadOut(const LightRegion& light, double seconds, RandomStream& noise,
                          std::span<uint16_t> pixels) const {
    const double readVariance = settings_.readNoise * settings_.readNoise;
    const double countsPerElectron = 1.0 / settings_.electronsPerCount;
    std::size_t index = 0;
    for (int row = light.top; row < light.top + light.height; ++row) {
        for (int column = light.left; column < light.left + light.width; ++column, ++index) {
            if (index >= pixels.size()) {
                return;
            }
            double charge = 0.0;
            if (IsLightSensitive(column, row)) {
                charge = light.counts[index] + DarkRateAt(column, row) * seconds;
            }
            const double sigma = std::sqrt(readVariance + charge * countsPerElectron);
            const double value = settings_.bias + charge + sigma * noise.Gaussian();
            pixels[index] = static_cast<uint16_t>(std::clamp(value, 0.0, 65535.0));
        }
    }
}

}  // namespace talvor
