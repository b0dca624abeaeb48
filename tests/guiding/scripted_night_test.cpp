// A night on the simulators as it goes outside the textbook: trainings that cannot measure
// (pulses too long for the mask, a faint star), picks near every edge of the chip, and ten
// minutes of guiding through drift and periodic error with three clouds (the lens cap) passing.
// Guiding must send nothing while the star is hidden, pick it up again at once, and hold it;
// a failed training must say so and keep the calibration before it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "guiding/drive_training.h"
#include "guiding/simulated_sky_fixture.h"
#include "guiding/unattended_guiding.h"
#include "image/settings_file.h"
#include "simulator/unguided_sky.h"

namespace talvor::testing {
namespace {

// A star too faint to measure a drive with: its light barely stands above the sky's noise.
constexpr double kFaintFlux = 700;
constexpr PixelPosition kFaintPlace{150, 200};

struct EdgeStar {
    double x;
    double y;
    // The guide frame can hold it; else the pick is refused.
    bool guided;
};
// With the mask radius 8 a guide star keeps 14 columns from the left edge, 10 from the right
// and the top, and 16 rows from the bottom.
const EdgeStar kEdgeStars[] = {
    {16.3, 100.4, true}, {12.3, 60.4, false},  {497.3, 120.4, true},
    {260.3, 13.4, true}, {330.3, 271.4, true}, {200.3, 277.4, false},
};

// When clouds hide the star, in seconds after guiding began.
struct Cloud {
    double from;
    double to;
};
constexpr Cloud kClouds[] = {{100, 112}, {260, 280}, {430, 460}};

// A mount as they come: a polar alignment a little off (a pixel a minute in RA), and the worm's
// periodic error of 1.5 pixels over an eight-minute turn; the Dec gears have 2 pixels of play.
MountConfig NightMount() {
    MountConfig mount;
    mount.driftX = 0.02;
    mount.driftY = -0.012;
    mount.periodicAmplitude = 1.5;
    mount.periodicSeconds = 480;
    return mount;
}

// What a night of guiding through the clouds came to.
struct NightFigures {
    int frames = 0;
    double seconds = 0.0;
    int cappedFrames = 0;
    int pulsesUnderCloud = 0;
    // The most frames from a cloud's end until the star was measured again, and until it stood
    // within half a pixel of the reference again (the first frame after the cloud counts 1).
    int longestReturn = 0;
    int longestSettle = 0;
    // True root mean square over the whole run, on each axis, and over the frames that showed
    // the star and those under a cloud, with their sums of squares.
    double trueRms = 0.0;
    double trueRaRms = 0.0;
    double trueDecRms = 0.0;
    int clearFrames = 0;
    double clearSquares = 0.0;
    double cloudSquares = 0.0;
    double worstClear = 0.0;
    double worstUnderCloud = 0.0;
    double measuredRms = 0.0;
    double unguidedRms = 0.0;

    double ClearRms() const { return std::sqrt(clearSquares / clearFrames); }
    double CloudRms() const { return std::sqrt(cloudSquares / cappedFrames); }
};

class ScriptedNightTest : public SimulatedGuidingTest {
  protected:
    explicit ScriptedNightTest(const MountConfig& night = NightMount())
        : SimulatedGuidingTest(night) {
        StarField& field = camera->Device().Field();
        field.AddStar({kStarX, kStarY, 200000});
        field.AddStar({kFaintPlace.x + 0.4, kFaintPlace.y + 0.3, kFaintFlux});
        for (const EdgeStar& star : kEdgeStars) {
            field.AddStar({star.x, star.y, 150000});
        }
    }

    DriveCalibration StoredCalibration() {
        EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
        const ProgramSettings& s = session.settings;
        return {s.RaPixelsPerSecond, s.DecPixelsPerSecond, s.RaBacklash, s.DecBacklash};
    }

    // Trains, picks the star and guides it for ten minutes while the clouds pass.
    NightFigures GuideTheNight() {
        NightFigures night;
        EXPECT_TRUE(PickStarAt(session, kStarPlace));
        EXPECT_TRUE(TrainAutoGuiding(context));
        EXPECT_TRUE(PickStarAt(session, kStarPlace));

        struct Frame {
            double seconds;
            bool capped;
            GuideFrameLine line;
        };
        std::vector<Frame> frames;
        UnguidedSky unguided(config, mount->Mount().StartMs());
        const uint32_t start = clock.Now();
        bool capped = false;
        UnattendedGuidingOptions options;
        options.seconds = 600;
        options.unguidedSky = &unguided;
        options.trueSky = mount;
        options.onFrame = [&](const GuideFrameLine& line) {
            const double seconds = static_cast<int32_t>(line.milliseconds - start) / 1000.0;
            frames.push_back({seconds, capped, line});
            // The cap is read at the next frame's readout.
            bool cloud = false;
            for (const Cloud& c : kClouds) {
                cloud = cloud || (seconds >= c.from && seconds < c.to);
            }
            if (cloud != capped) {
                CapTheLens(cloud);
                capped = cloud;
            }
        };
        const UnattendedGuidingSummary summary = GuideForSeconds(context, options);
        EXPECT_TRUE(summary.started);
        if (!summary.trueRms || frames.empty()) {
            ADD_FAILURE() << "no true figures";
            return night;
        }

        for (std::size_t i = 0; i < frames.size(); ++i) {
            const Frame& f = frames[i];
            const PointingOffset at = *f.line.trueOffset;
            const double squares = at.x * at.x + at.y * at.y;
            if (f.capped) {
                ++night.cappedFrames;
                EXPECT_FALSE(f.line.starFound) << f.seconds;
                night.pulsesUnderCloud += f.line.pulses.ra.Sent() + f.line.pulses.dec.Sent();
                night.cloudSquares += squares;
                night.worstUnderCloud = std::max(night.worstUnderCloud, std::sqrt(squares));
                continue;
            }
            if (i > 0 && frames[i - 1].capped) {
                // The first frame after a cloud: how long until the star is measured again, and
                // until it stands at the reference again.
                std::size_t found = i;
                while (found < frames.size() && !frames[found].line.starFound) {
                    ++found;
                }
                std::size_t settled = found;
                while (settled < frames.size() &&
                       std::hypot(frames[settled].line.trueOffset->x,
                                  frames[settled].line.trueOffset->y) > 0.5) {
                    ++settled;
                }
                night.longestReturn =
                    std::max(night.longestReturn, static_cast<int>(found - i) + 1);
                night.longestSettle =
                    std::max(night.longestSettle, static_cast<int>(settled - i) + 1);
            }
            night.clearSquares += squares;
            ++night.clearFrames;
            night.worstClear = std::max(night.worstClear, std::sqrt(squares));
        }
        night.frames = summary.frames;
        night.seconds = frames.back().seconds;
        night.trueRms = *summary.trueRms;
        night.trueRaRms = *summary.trueRaRms;
        night.trueDecRms = *summary.trueDecRms;
        night.measuredRms = summary.guidedRms;
        night.unguidedRms = *summary.unguidedRms;
        std::printf(
            "night: %d frames over %.0f s, %d under cloud, %d pulses under cloud, star back "
            "within %d frame(s), at the reference within %d; true rms %.2f px (RA %.2f, Dec "
            "%.2f), %.2f px with the star in view (worst %.2f), %.2f px under cloud (worst "
            "%.2f); squares %.1f px^2 under cloud, %.1f px^2 in view; measured rms %.2f px; "
            "unguided %.2f px\n",
            night.frames, night.seconds, night.cappedFrames, night.pulsesUnderCloud,
            night.longestReturn, night.longestSettle, night.trueRms, night.trueRaRms,
            night.trueDecRms, night.ClearRms(), night.worstClear, night.CloudRms(),
            night.worstUnderCloud, night.cloudSquares, night.clearSquares, night.measuredRms,
            night.unguidedRms);
        return night;
    }
};

TEST_F(ScriptedNightTest, TrainingsThatCannotMeasureAreRefusedAndKeepTheCalibration) {
    ASSERT_TRUE(PickStarAt(session, kStarPlace));
    const std::optional<DriveCalibration> trained = TrainAutoGuiding(context);
    ASSERT_TRUE(trained);
    EXPECT_EQ(trained->raRate, 3);
    EXPECT_EQ(trained->decRate, 3);
    const DriveCalibration kept = StoredCalibration();

    // Four-second pulses move the star 12 pixels, beyond the 8-pixel mask.
    session.settings.GuideTrainingSeconds = 4;
    const std::optional<PixelPosition> before = PickStarAt(session, kStarPlace);
    ASSERT_TRUE(before);
    EXPECT_FALSE(TrainAutoGuiding(context));
    std::printf("4 s training with mask 8: %s\n", ui.messages.back().c_str());
    // (The second search of a frame may still catch the star 11 pixels off by its edge: the
    // second pulse loses it for certain.)
    EXPECT_EQ(ui.messages.back().rfind("Training failed: the star was lost after the ", 0), 0U);
    EXPECT_NE(ui.messages.back().find(" north pulse. Try a shorter training time, a larger guide "
                                      "star mask or a brighter star.\nThe previous calibration "
                                      "is kept. The mount has been moved back"),
              std::string::npos);
    EXPECT_EQ(StoredCalibration(), kept);
    // The mount was taken back: the star stands where it stood, within the backlash.
    const std::optional<PixelPosition> after = PickStarAt(session, kStarPlace);
    ASSERT_TRUE(after);
    EXPECT_LE(std::abs(after->x - before->x), 1);
    EXPECT_LE(std::abs(after->y - before->y), 3);

    // A faint star.
    session.settings.GuideTrainingSeconds = 1;
    ASSERT_TRUE(PickStarAt(session, kFaintPlace));
    EXPECT_FALSE(TrainAutoGuiding(context));
    std::printf("faint star training: %s\n", ui.messages.back().c_str());
    EXPECT_EQ(ui.messages.back().rfind("Training failed: ", 0), 0U);
    EXPECT_NE(ui.messages.back().find("brighter star"), std::string::npos);
    EXPECT_EQ(StoredCalibration(), kept);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(ScriptedNightTest, StarsNearEveryEdgeAreGuidedOrRefusedWithTheMarginTheyNeed) {
    session.settings.RaPixelsPerSecond = 3;
    session.settings.DecPixelsPerSecond = 3;
    for (const EdgeStar& star : kEdgeStars) {
        const PixelPosition place{static_cast<int>(star.x), static_cast<int>(star.y)};
        ui.messages.clear();
        const std::optional<PixelPosition> picked = PickStarAt(session, place);
        if (!star.guided) {
            EXPECT_FALSE(picked) << place.x << "," << place.y;
            ASSERT_EQ(ui.messages.size(), 1U);
            EXPECT_NE(ui.messages.front().find("pixels from it"), std::string::npos);
            std::printf("pick at (%d, %d): %s\n", place.x, place.y,
                        ui.messages.front().substr(0, ui.messages.front().find('\n')).c_str());
            continue;
        }
        ASSERT_TRUE(picked) << place.x << "," << place.y;
        UnattendedGuidingOptions options;
        options.seconds = 20;
        options.trueSky = mount;
        int lost = 0;
        options.onFrame = [&lost](const GuideFrameLine& line) { lost += !line.starFound; };
        const UnattendedGuidingSummary summary = GuideForSeconds(context, options);
        ASSERT_TRUE(summary.started);
        EXPECT_EQ(lost, 0) << place.x << "," << place.y;
        EXPECT_LT(*summary.trueRms, 0.3) << place.x << "," << place.y;
        std::printf("star at (%d, %d) guided: %d frames, true rms %.2f px\n", picked->x, picked->y,
                    summary.frames, *summary.trueRms);
    }
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(ScriptedNightTest, TenMinutesThroughThreeCloudsHoldTheStar) {
    const NightFigures night = GuideTheNight();
    EXPECT_GE(night.cappedFrames, 50);
    EXPECT_EQ(night.pulsesUnderCloud, 0);
    EXPECT_LE(night.longestReturn, 3);
    EXPECT_LT(night.trueRms, 0.3);
    EXPECT_LT(night.ClearRms(), 0.25);
    EXPECT_GT(night.unguidedRms, 5.0);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

// The same night on the simulated mount as it comes (drift of 0.05 and -0.03 px/s, periodic
// error of 1.5 px over two minutes): behind the 30 s cloud the star strays 3 to 4 pixels, which
// no pulse may take back while it is hidden. Guiding must find it again at once and bring it
// back within three frames; the whole run's figure carries the clouds' stray.
class DefaultMountNightTest : public ScriptedNightTest {
  protected:
    DefaultMountNightTest() : ScriptedNightTest(MountConfig{}) {}
};

TEST_F(DefaultMountNightTest, TheStarStraysUnderEachCloudAndIsBroughtBackAtOnce) {
    const NightFigures night = GuideTheNight();
    EXPECT_GE(night.cappedFrames, 50);
    EXPECT_EQ(night.pulsesUnderCloud, 0);
    EXPECT_LE(night.longestReturn, 1);
    EXPECT_LE(night.longestSettle, 3);
    EXPECT_GT(night.worstUnderCloud, 2.5);
    EXPECT_LT(night.ClearRms(), 0.3);
    // The frames under cloud alone (about 100 px^2 of squares over some 560 frames) hold the
    // whole run above 0.4 px, however well the star is held in view.
    EXPECT_GT(night.cloudSquares / night.frames, 0.3 * 0.3);
    EXPECT_LT(night.trueRms, 0.6);
    EXPECT_GT(night.unguidedRms, 5.0);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

}  // namespace
}  // namespace talvor::testing
