// The record of where the simulated sky stood during an exposure.

#include "simulator/pointing_trail.h"

#include <gtest/gtest.h>

namespace talvor {
namespace {

TEST(PointingTrailTest, InterpolatesBetweenMomentsAndHoldsBeyondThem) {
    PointingTrail trail;
    trail.Restart(1000, {0.0, 0.0});
    trail.Add(2000, {10.0, -4.0});
    EXPECT_DOUBLE_EQ(trail.At(1500).x, 5.0);
    EXPECT_DOUBLE_EQ(trail.At(1500).y, -2.0);
    EXPECT_DOUBLE_EQ(trail.At(500).x, 0.0);
    EXPECT_DOUBLE_EQ(trail.At(9000).x, 10.0);

    const std::vector<PointingOffset> path = trail.Along(1000, 1000, 4);
    ASSERT_EQ(path.size(), 4u);
    EXPECT_DOUBLE_EQ(path[0].x, 1.25);
    EXPECT_DOUBLE_EQ(path[3].x, 8.75);
}

TEST(PointingTrailTest, WorksAcrossTheClockWrap) {
    PointingTrail trail;
    trail.Restart(0xFFFFFF00u, {0.0, 0.0});
    trail.Add(0x100u, {5.12, 0.0});  // 512 ms later
    EXPECT_NEAR(trail.At(0u).x, 2.56, 1e-9);
}

TEST(PointingTrailTest, StaysSmallAndKeepsTheNewestMoment) {
    PointingTrail trail;
    trail.Restart(0, {0.0, 0.0});
    for (uint32_t t = 1; t <= 600000; ++t) {  // a clear every millisecond for ten minutes
        trail.Add(t, {t / 1000.0, 0.0});
    }
    EXPECT_LE(trail.Size(), 257u);
    EXPECT_DOUBLE_EQ(trail.At(600000).x, 600.0);
    EXPECT_NEAR(trail.At(300000).x, 300.0, 1e-6);  // a steady drift survives the thinning
}

}  // namespace
}  // namespace talvor
