// The simulated mount's physics: axes with backlash, rates, drift, periodic error, focuser.

#include <gtest/gtest.h>

#include <cmath>

#include "simulator/focuser_model.h"
#include "simulator/mount_axis.h"
#include "simulator/mount_model.h"
#include "simulator/tracking_error.h"

namespace talvor {
namespace {

TEST(MountAxis, MovesAtItsSpeedAndHoldsWhenStopped) {
    MountAxis axis(1000, 0);
    axis.SetSpeed(1000, 4.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(1500), 2.0);
    axis.SetSpeed(2000, 0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(2000), 4.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(9000), 4.0);
    // Earlier moments are answered from the history.
    EXPECT_DOUBLE_EQ(axis.PositionAt(1250), 1.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(500), 0.0);
}

TEST(MountAxis, ReversalFirstTakesUpThePlay) {
    MountAxis axis(0, 2.0);
    // From the middle of the play, one pixel of motor travel is lost either way.
    axis.SetSpeed(0, 1.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(1000), 0.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(3000), 2.0);
    axis.SetSpeed(3000, -1.0);
    // Now the whole play of two pixels must be crossed before the output comes back.
    EXPECT_DOUBLE_EQ(axis.PositionAt(5000), 2.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(6000), 1.0);
    axis.SetSpeed(6000, 1.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(8000), 1.0);
    EXPECT_DOUBLE_EQ(axis.PositionAt(8500), 1.5);
}

TEST(MountAxis, ClockWrapDoesNotDisturbIt) {
    const uint32_t start = 0xFFFFFF00U;
    MountAxis axis(start, 0);
    axis.SetSpeed(start, 1.0);
    EXPECT_NEAR(axis.PositionAt(start + 1000), 1.0, 1e-12);  // wrapped past 2^32
    axis.SetSpeed(start + 2000, 0);
    EXPECT_NEAR(axis.PositionAt(start + 5000), 2.0, 1e-12);
}

TEST(TrackingError, DriftsSteadilyWithAPeriodicErrorInRa) {
    const TrackingError error(0.1, -0.2, 1.5, 120);
    EXPECT_NEAR(error.After(0).x, 0.0, 1e-12);
    EXPECT_NEAR(error.After(30).x, 3.0 + 1.5, 1e-9);  // a quarter period: the sine's top
    EXPECT_NEAR(error.After(30).y, -6.0, 1e-9);
    EXPECT_NEAR(error.After(120).x, 12.0, 1e-9);
    EXPECT_NEAR(TrackingError(0, 0, 2, 0).After(10).x, 0.0, 1e-12);
}

MountConfig Still() {
    MountConfig config;
    config.driftX = config.driftY = config.periodicAmplitude = 0;
    config.backlashX = config.backlashY = 0;
    config.guideRateX = 2;
    config.guideRateY = 5;
    return config;
}

TEST(MountModel, GuideRatesArePerAxisAndTheOtherRatesAreMultiples) {
    const MountModel mount(Still(), 0);
    EXPECT_DOUBLE_EQ(mount.RatePixelsPerSecond('e', MoveRate::Guide), 2);
    EXPECT_DOUBLE_EQ(mount.RatePixelsPerSecond('n', MoveRate::Guide), 5);
    EXPECT_DOUBLE_EQ(mount.RatePixelsPerSecond('w', MoveRate::Centre), 16);
    EXPECT_DOUBLE_EQ(mount.RatePixelsPerSecond('s', MoveRate::Find), 160);
    EXPECT_DOUBLE_EQ(mount.RatePixelsPerSecond('e', MoveRate::Slew), 512);
}

TEST(MountModel, DirectionsMoveTheFieldAlongTheirAxes) {
    MountModel mount(Still(), 0);
    mount.Move('e', MoveRate::Guide, 0);
    mount.Move('n', MoveRate::Guide, 0);
    EXPECT_EQ(mount.RaMotion(), 'e');
    mount.Stop('w', 500);  // not the way it moves: no effect
    mount.Stop('e', 1000);
    mount.Stop('n', 200);
    PointingOffset offset = mount.OffsetAt(3000);
    EXPECT_NEAR(offset.x, 2.0, 1e-3);
    EXPECT_NEAR(offset.y, 1.0, 1e-3);
    mount.Move('w', MoveRate::Guide, 3000);
    mount.Move('s', MoveRate::Guide, 3000);
    mount.StopAll(4000);
    offset = mount.OffsetAt(5000);
    EXPECT_NEAR(offset.x, 0.0, 1e-3);
    EXPECT_NEAR(offset.y, -4.0, 1e-3);
    EXPECT_EQ(mount.RaMotion(), '\0');
    EXPECT_EQ(mount.DecMotion(), '\0');
}

TEST(MountModel, TrackingErrorAndBacklashAddToTheDrive) {
    MountConfig config = Still();
    config.driftX = 0.5;
    config.backlashY = 1.0;
    MountModel mount(config, 10000);
    mount.Move('n', MoveRate::Guide, 10000);
    mount.Stop('n', 11000);
    const PointingOffset offset = mount.OffsetAt(12000);
    EXPECT_NEAR(offset.x, 1.0, 1e-3);  // two seconds of drift
    EXPECT_NEAR(offset.y, 4.5, 1e-3);  // five pixels less half the play
}

TEST(FocuserModel, RunsFastOrSlowUntilStopped) {
    FocuserModel focuser;
    focuser.Start(+1, 1000);
    focuser.Stop(1500);
    EXPECT_DOUBLE_EQ(focuser.PositionAt(5000), 100);
    focuser.SetFast(false);
    focuser.Start(-1, 6000);
    EXPECT_TRUE(focuser.Running());
    EXPECT_DOUBLE_EQ(focuser.PositionAt(8000), 60);
    focuser.Stop(8000);
    EXPECT_FALSE(focuser.Running());
}

}  // namespace
}  // namespace talvor
