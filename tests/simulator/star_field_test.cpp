// The simulated sky: where starlight falls and how much of it.

#include "simulator/star_field.h"

#include <gtest/gtest.h>

#include <numeric>

namespace talvor {
namespace {

StarFieldSettings DarkSky() {
    StarFieldSettings settings;
    settings.skyRate = 0.0;
    settings.seeingFwhm = 3.0;
    return settings;
}

struct Measure {
    double sum = 0.0;
    double x = 0.0;
    double y = 0.0;
};

Measure Centroid(LightRegion& light) {
    Measure m;
    for (int row = light.top; row < light.top + light.height; ++row) {
        for (int column = light.left; column < light.left + light.width; ++column) {
            const double value = light.At(column, row);
            m.sum += value;
            m.x += value * column;
            m.y += value * row;
        }
    }
    m.x /= m.sum;
    m.y /= m.sum;
    return m;
}

TEST(StarFieldTest, AStarsLightAddsUpAndCentresOnItsPosition) {
    StarField field(DarkSky());
    field.AddStar({100.3, 50.7, 2000.0});
    LightRegion light(70, 20, 60, 60);
    const PointingOffset still[] = {{0.0, 0.0}};
    field.Expose(light, 2.5, still);
    const Measure m = Centroid(light);
    EXPECT_NEAR(m.sum, 5000.0, 1.0);
    EXPECT_NEAR(m.x, 100.3, 0.01);
    EXPECT_NEAR(m.y, 50.7, 0.01);
    // The seeing profile: the centre pixel is the brightest, half the peak lies near FWHM / 2.
    EXPECT_GT(light.At(100, 51), light.At(101, 51));
    EXPECT_GT(light.At(100, 51), light.At(100, 50));
}

TEST(StarFieldTest, ThePathSharesTheLightBetweenItsOffsets) {
    StarField field(DarkSky());
    field.AddStar({100.0, 50.0, 1000.0});
    LightRegion light(60, 20, 100, 60);
    const PointingOffset path[] = {{0.0, 0.0}, {20.0, -5.0}};
    field.Expose(light, 1.0, path);
    EXPECT_NEAR(light.At(100, 50), light.At(120, 45), 1e-9);
    const Measure m = Centroid(light);
    EXPECT_NEAR(m.sum, 1000.0, 0.5);
    EXPECT_NEAR(m.x, 110.0, 0.01);
    EXPECT_NEAR(m.y, 47.5, 0.01);
}

TEST(StarFieldTest, SkyAndStarsLightOnlyThePicture) {
    StarFieldSettings settings = DarkSky();
    settings.skyRate = 20.0;
    StarField field(settings);
    field.AddStar({0.0, 0.0, 100000.0});  // on the corner pixel
    LightRegion light(-19, -7, 40, 20);
    const PointingOffset still[] = {{0.0, 0.0}};
    field.Expose(light, 3.0, still);
    EXPECT_EQ(light.At(-1, 5), 0.0);
    EXPECT_EQ(light.At(5, -1), 0.0);
    EXPECT_NEAR(light.At(15, 10), 60.0, 1e-9);
    EXPECT_GT(light.At(0, 0), 60.0 + 1000.0);
}

TEST(StarFieldTest, AGeneratedFieldIsTheSameForTheSameSeed) {
    const StarFieldSettings settings;
    const StarField a = StarField::Generate(7, settings);
    const StarField b = StarField::Generate(7, settings);
    const StarField c = StarField::Generate(8, settings);
    ASSERT_EQ(a.Stars().size(), 80u);
    for (std::size_t i = 0; i < a.Stars().size(); ++i) {
        ASSERT_EQ(a.Stars()[i].x, b.Stars()[i].x);
        ASSERT_EQ(a.Stars()[i].flux, b.Stars()[i].flux);
    }
    EXPECT_NE(a.Stars()[5].x, c.Stars()[5].x);
    // Focusing starts at the default window (184, 65): a star waits in it.
    const Star& first = a.Stars().front();
    EXPECT_GT(first.x, 184.0 + 20);
    EXPECT_LT(first.x, 184.0 + 108);
    EXPECT_GT(first.y, 65.0 + 20);
    EXPECT_LT(first.y, 65.0 + 108);
}

}  // namespace
}  // namespace talvor
