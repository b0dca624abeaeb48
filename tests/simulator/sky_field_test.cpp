// The simulated sky beyond the starting field: the same stars wherever the telescope returns,
// another field after a go-to, and the field moving with the arrows, seen through the camera
// and the mount together.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "camera/camera_commands.h"
#include "simulator/mount_loopback_port.h"
#include "simulator/simulated_camera.h"
#include "simulator/sky_geometry.h"
#include "simulator/sky_stars.h"
#include "simulator/star_field.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

TEST(SkyStars, TheSameSkyEveryTimeWithoutSeamsAtTheRightDensity) {
    const SkyStars sky(7, 350, 7);
    const SkyPosition orion{5.59, -5.45};
    const std::vector<SkyStar> wide = sky.Around(orion, 1.0);
    int inside = 0;
    for (const SkyStar& star : wide) {
        inside += SeparationDegrees(star.position, orion) <= 1.0;
    }
    // pi square degrees at 350 a square degree.
    EXPECT_NEAR(inside, 1100, 110);
    // A smaller circle elsewhere finds the very same stars where the two overlap.
    const SkyPosition nearby{5.60, -5.0};
    for (const SkyStar& star : sky.Around(nearby, 0.2)) {
        if (SeparationDegrees(star.position, nearby) > 0.2) {
            continue;
        }
        const bool found = std::any_of(wide.begin(), wide.end(), [&](const SkyStar& other) {
            return SeparationDegrees(other.position, star.position) < 1e-9 &&
                   other.magnitude == star.magnitude;
        });
        EXPECT_TRUE(found);
    }
    // Across RA 0 and at the pole, too.
    EXPECT_GT(sky.Around({23.99, 0}, 0.3).size(), 50U);
    EXPECT_GT(sky.Around({3, 89.9}, 0.3).size(), 50U);
    EXPECT_NE(SkyStars(8, 350, 7).Around(orion, 0.3).front().position.raHours,
              sky.Around(orion, 0.3).front().position.raHours);
}

TEST(SkyField, StarsStandNorthUpEastLeftAndMoveWithThePointing) {
    const StarField field = StarField::Generate(3, StarFieldSettings{});
    const SkyPosition centre{12, 20};
    const std::vector<Star> here = field.SkyStarsSeenFrom(centre);
    ASSERT_GT(here.size(), 30U);
    // Ten pixels of pointing east (25 arc-seconds on the sky) move every star ten pixels right.
    const std::vector<Star> east = field.SkyStarsSeenFrom(Shift(centre, 25, 0));
    const std::vector<Star> north = field.SkyStarsSeenFrom(Shift(centre, 0, 25));
    // Stars are told apart by their brightness; a few pass the edge of what is drawn.
    const auto same = [](const std::vector<Star>& stars, const Star& star) {
        return std::find_if(stars.begin(), stars.end(),
                            [&](const Star& other) { return other.flux == star.flux; });
    };
    int compared = 0;
    for (const Star& star : here) {
        const auto moved = same(east, star);
        const auto up = same(north, star);
        if (moved == east.end() || up == north.end()) {
            continue;
        }
        ++compared;
        EXPECT_NEAR(moved->x - star.x, 10, 0.01);
        EXPECT_NEAR(moved->y - star.y, 0, 0.05);  // the field turns a little
        EXPECT_NEAR(up->y - star.y, 10, 0.01);
        EXPECT_NEAR(up->x - star.x, 0, 0.01);
    }
    EXPECT_GT(compared, 30);
    // A star field without stars has no sky either.
    StarField empty = StarField::Generate(3, StarFieldSettings{});
    empty.RemoveStars();
    EXPECT_TRUE(empty.SkyStarsSeenFrom(centre).empty());
}

class CameraOnTheMount : public testing::SessionTest {
  protected:
    CameraOnTheMount() : mount(clock, StillMount()), camera(session, {}, &mount) {
        session.readout.FrameDestination = &images->CurrentImage;
        camera.FindCamera();
    }

    static MountConfig StillMount() {
        MountConfig config;
        config.driftX = config.driftY = config.periodicAmplitude = 0;
        config.backlashX = config.backlashY = 0;
        return config;
    }

    void Send(const std::string& command) {
        mount.Puts(0, command.data(), static_cast<int>(command.size()));
    }

    // A one-second frame; the pixels well above the sky, leaving out the chip's hot pixels,
    // which stay where they are whatever the sky does.
    std::vector<bool> BrightPixels() {
        ClearCommand(session, camera);
        StartCommand(session, camera);
        clock.Advance(1000);
        ClearCommand(session, camera);
        EndCommand(session, camera);
        session.readout.ExposureMs = 1000;
        ReadFullFrame(session, camera);
        std::vector<bool> bright(kCameraColumns * kFrameRows);
        for (int y = 0; y < kFrameRows; ++y) {
            for (int x = 0; x < kCameraColumns; ++x) {
                bright[y * kCameraColumns + x] = PixelAt(images->CurrentImage, x, y) > 400 &&
                                                 camera.Device().Sensor().DarkRateAt(x, y) < 20;
            }
        }
        return bright;
    }

    // The share of a's bright pixels that are bright in b, with b moved by (dx, dy).
    static double Kept(const std::vector<bool>& a, const std::vector<bool>& b, int dx = 0,
                       int dy = 0) {
        int count = 0;
        int kept = 0;
        for (int y = 30; y < kFrameRows - 30; ++y) {
            for (int x = 30; x < kCameraColumns - 30; ++x) {
                if (a[y * kCameraColumns + x]) {
                    ++count;
                    kept += b[(y + dy) * kCameraColumns + x + dx];
                }
            }
        }
        return count > 0 ? static_cast<double>(kept) / count : 0.0;
    }

    MountLoopbackPort mount;
    SimulatedCamera camera;
};

TEST_F(CameraOnTheMount, AGoToShowsAnotherFieldAndTheWayBackTheFirst) {
    mount.Reset(0, 1024, 1024);
    const std::vector<bool> home = BrightPixels();
    EXPECT_GT(Kept(home, BrightPixels()), 0.9);

    Send("#:LM 0042##:MS#");
    clock.Advance(10000);  // the slew takes 6.7 s
    const std::vector<bool> m42 = BrightPixels();
    EXPECT_FALSE(mount.Mount().SlewingAt(clock.Milliseconds()));
    EXPECT_GT(std::count(m42.begin(), m42.end(), true), 40);
    EXPECT_LT(Kept(home, m42), 0.2);

    // Back where it started, the first field is there again.
    Send("#:Sr 02:00:00#:Sd +30*00:00#:MS#");
    clock.Advance(10000);
    EXPECT_GT(Kept(home, BrightPixels()), 0.9);
}

TEST_F(CameraOnTheMount, TheArrowsMoveTheNewFieldAsTheyMovedTheOld) {
    mount.Reset(0, 1024, 1024);
    Send("#:LM 0042##:MS#");
    clock.Advance(10000);
    const std::vector<bool> before = BrightPixels();
    // Eight seconds east at the guide rate: 24 pixels; the stars move right.
    Send("#:RG##:Me#");
    clock.Advance(8000);
    Send("#:Qe#");
    const std::vector<bool> after = BrightPixels();
    EXPECT_LT(Kept(before, after), 0.5);
    EXPECT_GT(Kept(before, after, 24, 0), 0.8);
}

}  // namespace
}  // namespace talvor
