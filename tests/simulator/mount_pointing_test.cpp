// The simulated mount's pointing on the sky: go-tos at a finite rate, the horizon, sync,
// timed pulses, tracking, and the offset the simulated camera follows.

#include <gtest/gtest.h>

#include <cmath>

#include "simulator/mount_model.h"
#include "simulator/sky_geometry.h"

namespace talvor {
namespace {

MountConfig Still() {
    MountConfig config;
    config.driftX = config.driftY = config.periodicAmplitude = 0;
    config.backlashX = config.backlashY = 0;
    return config;
}

double ArcsecondsApart(const SkyPosition& a, const SkyPosition& b) {
    return SeparationDegrees(a, b) * 3600;
}

TEST(MountPointing, StartsOnTheMeridianAtTheSiderealTimeGiven) {
    const MountModel mount(Still(), 500);
    EXPECT_NEAR(mount.Site().SiderealHoursAt(500), 2.0, 1e-6);
    EXPECT_NEAR(mount.ReportedAt(500).raHours, 2.0, 1e-6);
    EXPECT_NEAR(mount.ReportedAt(500).decDegrees, 30.0, 1e-9);
    // Tracking keeps it on the same stars while the sidereal time runs on.
    EXPECT_NEAR(mount.ReportedAt(3600500).raHours, 2.0, 1e-6);
    EXPECT_NEAR(mount.Site().SiderealHoursAt(3600500), 3.0027379, 1e-6);
    // On the meridian the azimuth is south, the altitude 90 - latitude + declination.
    EXPECT_NEAR(mount.HorizontalAt(500).azimuthDegrees, 180, 1e-3);
    EXPECT_NEAR(mount.HorizontalAt(500).altitudeDegrees, 90 - 51.5 + 30, 1e-3);
}

TEST(MountPointing, GoToTakesTimeAtTheGotoRateAndEndsOnTheTarget) {
    MountModel mount(Still(), 0);
    const SkyPosition m42{5 + 35.4 / 60, -(5 + 27 / 60.0)};
    ASSERT_EQ(mount.GoTo(m42, 1000), GotoResult::Slewing);
    // The RA axis has the longer way: 3.59 hours is 53.85 degrees, at 8 degrees a second.
    const double seconds = HoursBetween(2.0, m42.raHours) * 15 / 8;
    const auto end = mount.SlewEndMs(1000);
    ASSERT_TRUE(end);
    EXPECT_NEAR((*end - 1000) / 1000.0, seconds, 0.002);
    EXPECT_TRUE(mount.SlewingAt(2000));
    // After 4.5 s the declination axis, with 35.45 degrees to go, has arrived; the RA axis
    // has turned 36 degrees.
    const SkyPosition part = mount.ReportedAt(5500);
    EXPECT_NEAR(part.decDegrees, m42.decDegrees, 1e-9);
    EXPECT_NEAR(HoursBetween(2.0, part.raHours), 36.0 / 15, 1e-6);
    EXPECT_FALSE(mount.SlewingAt(*end));
    EXPECT_LT(ArcsecondsApart(mount.ReportedAt(*end + 60000), m42), 0.01);
}

TEST(MountPointing, RefusesTargetsBelowTheHorizonAndStaysPut) {
    MountModel mount(Still(), 0);
    EXPECT_EQ(mount.GoTo({14, -60}, 0), GotoResult::BelowHorizon);
    EXPECT_FALSE(mount.SlewingAt(10));
    EXPECT_NEAR(mount.ReportedAt(1000).decDegrees, 30, 1e-9);
}

TEST(MountPointing, AbortAndAMoveEndAGoToWhereItHasGot) {
    MountModel mount(Still(), 0);
    mount.GoTo({2.0, 60}, 0);  // 30 degrees north: 3.75 s
    mount.Abort(1000);
    EXPECT_FALSE(mount.SlewingAt(1000));
    EXPECT_NEAR(mount.ReportedAt(5000).decDegrees, 38, 1e-6);
    mount.GoTo({2.0, 60}, 5000);
    mount.Move('n', MoveRate::Guide, 6000);
    EXPECT_FALSE(mount.SlewingAt(6001));
    EXPECT_EQ(mount.DecMotion(), 'n');
    EXPECT_NEAR(mount.ReportedAt(6000).decDegrees, 46, 1e-6);
}

TEST(MountPointing, SyncMakesTheReadoutSayTheTargetWithoutMovingTheSky) {
    MountModel mount(Still(), 0);
    const SkyPosition sky = mount.SkyAt(0);
    mount.Sync({2.5, 31}, 100);
    EXPECT_NEAR(mount.ReportedAt(200).raHours, 2.5, 1e-9);
    EXPECT_NEAR(mount.ReportedAt(200).decDegrees, 31, 1e-9);
    EXPECT_LT(ArcsecondsApart(mount.SkyAt(200), sky), 1e-6);
    // A go-to after the sync goes to the readout's coordinates: the sky moves by the sync.
    mount.GoTo({2.5, 32}, 1000);
    const uint32_t end = *mount.SlewEndMs(1000);
    EXPECT_NEAR(mount.ReportedAt(end).decDegrees, 32, 1e-9);
    EXPECT_NEAR(mount.SkyAt(end).decDegrees, 31, 1e-9);
}

TEST(MountPointing, PulsesRunTheirTimeAtTheGuideRate) {
    MountModel mount(Still(), 0);
    const SkyPosition start = mount.ReportedAt(0);
    mount.Pulse('n', 2000, 1000);
    mount.Pulse('e', 1000, 1500);
    EXPECT_EQ(mount.DecMotion(), 'n');
    // Both axes stop by themselves: 3 pixels a second of 2.5 arc-seconds each.
    const SkyPosition after = mount.ReportedAt(10000);
    EXPECT_NEAR((after.decDegrees - start.decDegrees) * 3600, 15.0, 1e-6);
    const double east = HoursBetween(start.raHours, after.raHours) * 15 * 3600 *
                        std::cos(after.decDegrees * std::acos(-1.0) / 180);
    EXPECT_NEAR(east, 7.5, 1e-3);
    // Asked about the middle of the pulse, the mount answers from its history.
    EXPECT_NEAR((mount.ReportedAt(2000).decDegrees - start.decDegrees) * 3600, 7.5, 1e-6);
    mount.StopAll(10000);
    EXPECT_EQ(mount.DecMotion(), '\0');
    // No pulses during a go-to.
    mount.GoTo({3, 30}, 11000);
    mount.Pulse('s', 500, 11100);
    EXPECT_EQ(mount.DecMotion(), '\0');
}

TEST(MountPointing, WithoutTrackingTheSkyTurnsPast) {
    MountModel mount(Still(), 0);
    mount.SetTracking(false, 0);
    EXPECT_FALSE(mount.Tracking());
    EXPECT_NEAR(HoursBetween(2.0, mount.ReportedAt(3600000).raHours), kSiderealPerSolar, 1e-6);
    mount.SetTracking(true, 3600000);
    EXPECT_NEAR(HoursBetween(2.0, mount.ReportedAt(7200000).raHours), kSiderealPerSolar, 1e-6);
}

TEST(MountPointing, TheCameraOffsetFollowsTheSkyAndLeavesWithAGoTo) {
    MountConfig config = Still();
    config.driftX = 0.5;
    MountModel mount(config, 0);
    mount.Move('w', MoveRate::Centre, 0);
    mount.Stop('w', 1000);
    const PointingOffset near = mount.OffsetAt(2000);
    EXPECT_NEAR(near.x, -24 + 1.0, 1e-3);  // a second of the centre rate west, two of drift
    ASSERT_TRUE(near.sky);
    // The drift is in where the telescope points, not in what its readout says.
    EXPECT_NEAR(ArcsecondsApart(*near.sky, mount.ReportedAt(2000)), 2.5, 1e-3);
    mount.GoTo({5.59, -5.45}, 3000);
    const PointingOffset far = mount.OffsetAt(*mount.SlewEndMs(3000) + 1);
    EXPECT_GT(std::hypot(far.x, far.y), 50000);
    EXPECT_LT(ArcsecondsApart(*far.sky, {5.59, -5.45}), 20);
}

TEST(SkyGeometry, ProjectionAndShiftAgree) {
    const SkyPosition centre{10, 45};
    const SkyPosition moved = Shift(centre, 100, -50);
    const auto point = Project(centre, moved);
    ASSERT_TRUE(point);
    // A step along the declination circle bends away from the great circle a little.
    EXPECT_NEAR(point->east, 100, 0.01);
    EXPECT_NEAR(point->north, -50, 0.05);
    const SkyPosition back = Deproject(centre, *point);
    EXPECT_LT(ArcsecondsApart(back, moved), 1e-6);
    EXPECT_FALSE(Project(centre, {22, -45}));
    // Over the pole the right ascension turns by 12 hours.
    const SkyPosition over = Shift({1, 89.99}, 0, 72);
    EXPECT_NEAR(over.raHours, 13, 1e-9);
    EXPECT_NEAR(over.decDegrees, 89.99, 1e-9);
}

TEST(SkyGeometry, CalendarAndSiderealTime) {
    EXPECT_DOUBLE_EQ(JulianDate(2000, 1, 1, 12), 2451545.0);
    const CalendarMoment moment = CalendarOf(JulianDate(2024, 2, 29, 21.5));
    EXPECT_EQ(moment.year, 2024);
    EXPECT_EQ(moment.month, 2);
    EXPECT_EQ(moment.day, 29);
    EXPECT_NEAR(moment.hours, 21.5, 1e-8);
    // The mean sidereal time at Greenwich at 2000-01-01 12:00 UT.
    EXPECT_NEAR(GreenwichSiderealHours(2451545.0), 18.697374558, 1e-9);
}

TEST(SiteClock, SetsLocalTimeDateAndOffsetAsAHandControllerDoes) {
    SiteClock site(51.5, -2, 0, JulianDate(2025, 1, 15, 20), 0);
    site.SetUtcOffset(-1, 1000);  // an hour east of Greenwich: local time stays 20:00
    EXPECT_NEAR(site.LocalAt(1000).hours, 20 + 1 / 3600.0, 1e-6);
    EXPECT_NEAR(CalendarOf(site.JulianDateAt(1000)).hours, 19 + 1 / 3600.0, 1e-6);
    site.SetLocalTime(22.5, 2000);
    site.SetLocalDate(2026, 3, 1, 2000);
    const CalendarMoment local = site.LocalAt(62000);
    EXPECT_EQ(local.year, 2026);
    EXPECT_EQ(local.month, 3);
    EXPECT_EQ(local.day, 1);
    EXPECT_NEAR(local.hours, 22.5 + 1 / 60.0, 1e-6);
    // Two degrees west is eight minutes of sidereal time behind Greenwich.
    EXPECT_NEAR(
        WrapHours(GreenwichSiderealHours(site.JulianDateAt(5000)) - site.SiderealHoursAt(5000)),
        2.0 / 15, 1e-9);
}

}  // namespace
}  // namespace talvor
