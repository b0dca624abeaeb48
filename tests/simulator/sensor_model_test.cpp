// The simulated chip: bias, noise, dark current, hot pixels and saturation.

#include "simulator/sensor_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace talvor {
namespace {

struct Spread {
    double mean = 0.0;
    double deviation = 0.0;
};

Spread SpreadOf(const std::vector<uint16_t>& pixels) {
    double sum = 0.0;
    double squares = 0.0;
    for (const uint16_t p : pixels) {
        sum += p;
        squares += static_cast<double>(p) * p;
    }
    const double n = static_cast<double>(pixels.size());
    return {sum / n, std::sqrt(squares / n - (sum / n) * (sum / n))};
}

SensorSettings NoHotPixels() {
    SensorSettings settings;
    settings.hotPixelCount = 0;
    return settings;
}

std::vector<uint16_t> ReadOut(const SensorModel& sensor, LightRegion& light, double seconds,
                              uint64_t noiseSeed = 5) {
    std::vector<uint16_t> pixels(light.counts.size());
    RandomStream noise(noiseSeed);
    sensor.ReadOut(light, seconds, noise, pixels);
    return pixels;
}

TEST(SensorModelTest, AnEmptyExposureReadsTheBiasWithTheReadNoise) {
    const SensorModel sensor(1, NoHotPixels());
    LightRegion light(0, 0, 400, 250);
    const Spread s = SpreadOf(ReadOut(sensor, light, 0.0));
    EXPECT_NEAR(s.mean, 120.0 - 0.5, 0.15);  // truncation toward zero takes half a count
    EXPECT_NEAR(s.deviation, 9.0, 0.1);
}

TEST(SensorModelTest, DarkCurrentGrowsWithTheExposureAndBringsShotNoise) {
    const SensorModel sensor(1, NoHotPixels());
    LightRegion light(0, 0, 400, 250);
    const Spread s = SpreadOf(ReadOut(sensor, light, 600.0));  // 900 counts of dark current
    EXPECT_NEAR(s.mean, 120.0 + 900.0 - 0.5, 0.45);
    EXPECT_NEAR(s.deviation, std::sqrt(81.0 + 900.0 / 1.4), 0.3);
}

TEST(SensorModelTest, LightAddsItsShotNoiseAndSaturatesAt65535) {
    const SensorModel sensor(1, NoHotPixels());
    LightRegion light(0, 0, 300, 200);
    light.counts.assign(light.counts.size(), 10000.0);
    const Spread s = SpreadOf(ReadOut(sensor, light, 0.0));
    // Tolerances are about five standard errors of 60000 pixels.
    EXPECT_NEAR(s.mean, 10120.0 - 0.5, 1.8);
    EXPECT_NEAR(s.deviation, std::sqrt(81.0 + 10000.0 / 1.4), 1.2);

    light.counts.assign(light.counts.size(), 70000.0);
    for (const uint16_t p : ReadOut(sensor, light, 0.0)) {
        ASSERT_EQ(p, 65535);
    }
}

TEST(SensorModelTest, HotPixelsGrowWithTheExposure) {
    SensorSettings settings;
    settings.hotPixelCount = 40;
    const SensorModel sensor(3, settings);
    int hotColumn = -1;
    int hotRow = -1;
    for (int row = 0; row < kFrameRows && hotColumn < 0; ++row) {
        for (int column = 0; column < kCameraColumns; ++column) {
            if (sensor.DarkRateAt(column, row) > 100.0) {
                hotColumn = column;
                hotRow = row;
                break;
            }
        }
    }
    ASSERT_GE(hotColumn, 0);
    const double rate = sensor.DarkRateAt(hotColumn, hotRow);
    LightRegion light(hotColumn, hotRow, 1, 1);
    const double short_ = ReadOut(sensor, light, 1.0)[0];
    const double long_ = ReadOut(sensor, light, 20.0)[0];
    EXPECT_NEAR(long_ - short_, rate * 19.0, 6.0 * std::sqrt(81.0 + rate * 20.0));
    EXPECT_GT(long_ - short_, 1500.0);
}

TEST(SensorModelTest, TheCoveredBorderGivesBiasAndReadNoiseOnly) {
    const SensorModel sensor(1, SensorSettings{});
    LightRegion light(-19, -7, 19, 290);  // the covered columns left of the picture
    light.counts.assign(light.counts.size(), 50000.0);
    const Spread s = SpreadOf(ReadOut(sensor, light, 300.0));
    EXPECT_NEAR(s.mean, 119.5, 0.6);
    EXPECT_NEAR(s.deviation, 9.0, 0.3);
}

}  // namespace
}  // namespace talvor
