// The conditional median: the window statistics, the single-precision threshold and the
// replacement rule, checked against the repeated maximum search written out step by step.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "processing/filter_frames.h"
#include "processing/filter_references.h"
#include "processing/median_filter.h"
#include "processing/spatial_filters.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::FlatFrame;
using testing::MarkLabelled;
using testing::RandomFrame;

// Low noise with hot and cold pixels, and a saturated patch whose pixels all lie above
// 65000, so the capped minimum matters.
std::unique_ptr<ImageBuffer> NoisyFrame(uint32_t seed, int noise) {
    auto frame = RandomFrame(seed, 1000, 1000 + noise);
    std::mt19937 random(seed + 1);
    std::uniform_int_distribution<int> where(0, kFramePixels - 1);
    std::uniform_int_distribution<int> any(0, 65535);
    for (int i = 0; i < 4000; ++i) {
        (*frame)[where(random)] = static_cast<uint16_t>(any(random));
    }
    std::uniform_int_distribution<int> saturated(65001, 65535);
    for (int y = 100; y < 140; ++y) {
        for (int x = 200; x < 260; ++x) {
            PixelAt(*frame, x, y) = static_cast<uint16_t>(saturated(random));
        }
    }
    return frame;
}

ImageBuffer Filtered(const ImageBuffer& source, int radius, int tenths) {
    ImageBuffer target = source;
    MedianPass(source, target, radius, tenths, radius, [] {});
    return target;
}

// A 3 x 3 window on a flat frame: the pixel at (50, 50) is p, its neighbours hold the rest.
std::unique_ptr<ImageBuffer> Window(int p, const std::vector<int>& neighbours) {
    auto frame = FlatFrame(static_cast<uint16_t>(neighbours[0]));
    int i = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            PixelAt(*frame, 50 + dx, 50 + dy) =
                static_cast<uint16_t>(dx == 0 && dy == 0 ? p : neighbours[i++]);
        }
    }
    return frame;
}

TEST(MedianFilterTest, PowerIsTenthsTimesOneTenthInSinglePrecision) {
    EXPECT_EQ(MedianPower(7), 0.7f);
    EXPECT_EQ(MedianPower(9), static_cast<float>(0.9));
    EXPECT_EQ(MedianPower(10), 1.0f);
    // 10 x 0.7f rounds up to 7 in single precision; in double it stays below.
    EXPECT_EQ(MedianThreshold(1010, 1000, MedianPower(7)), 7);
    EXPECT_EQ(MedianThreshold(1010, 1000, MedianPower(9)), 9);
    EXPECT_EQ(static_cast<int>(10 * static_cast<double>(MedianPower(7))), 6);
    EXPECT_EQ(static_cast<int>(10 * static_cast<double>(MedianPower(9))), 8);
}

TEST(MedianFilterTest, AtPowers07And09APixelExactlyAtTheThresholdStays) {
    // Range 10, median 1003, pixel 1010: |med - p| = 7 is not above the threshold 7.
    const auto seven = Window(1010, {1000, 1003, 1003, 1003, 1003, 1003, 1000, 1000});
    EXPECT_EQ(PixelAt(Filtered(*seven, 1, 7), 50, 50), 1010);
    // Range 10, median 1001, pixel 1010: |med - p| = 9 is not above the threshold 9.
    const auto nine = Window(1010, {1000, 1001, 1001, 1001, 1001, 1001, 1000, 1000});
    EXPECT_EQ(PixelAt(Filtered(*nine, 1, 9), 50, 50), 1010);
    // One step further out the pixel goes.
    EXPECT_EQ(PixelAt(Filtered(*seven, 1, 6), 50, 50), 1003);
    EXPECT_EQ(PixelAt(Filtered(*nine, 1, 8), 50, 50), 1001);
}

TEST(MedianFilterTest, AHotPixelAmongEqualNeighboursTakesTheirValueAtOneTenth) {
    auto frame = FlatFrame(1000);
    PixelAt(*frame, 80, 80) = 20000;
    const ImageBuffer out = Filtered(*frame, 1, 1);
    EXPECT_EQ(out, *FlatFrame(1000));
}

TEST(MedianFilterTest, FullPowerLeavesAnyPictureUnchanged) {
    const auto frame = NoisyFrame(2, 2000);
    for (int radius = kMinMedianRadius; radius <= kMaxMedianRadius; ++radius) {
        EXPECT_EQ(Filtered(*frame, radius, 10), *frame) << radius;
    }
}

TEST(MedianFilterTest, MatchesTheRepeatedMaximumSearchForEveryRadius) {
    struct Case {
        int radius;
        int tenths;
        int noise;
    };
    for (const Case& c : {Case{1, 1, 300}, Case{1, 7, 20}, Case{2, 3, 300}, Case{2, 9, 20},
                          Case{3, 2, 300}, Case{3, 7, 20}}) {
        const auto frame = NoisyFrame(static_cast<uint32_t>(c.radius * 100 + c.tenths), c.noise);
        const ImageBuffer out = Filtered(*frame, c.radius, c.tenths);
        ASSERT_EQ(out, testing::ReferenceMedian(*frame, c.radius, c.tenths, c.radius))
            << c.radius << " " << c.tenths;
        EXPECT_NE(out, *frame);
    }
}

TEST(MedianFilterTest, MatchesTheRepeatedMaximumSearchAtTheEndsOfTheRange) {
    // Few distinct values far apart, at both ends of the 16-bit range.
    const uint16_t values[] = {0, 63, 64, 65000, 65472, 65535};
    auto frame = FlatFrame(0);
    std::mt19937 random(17);
    std::uniform_int_distribution<int> pick(0, 5);
    for (int i = 0; i < kFramePixels; ++i) {
        (*frame)[i] = values[pick(random)];
    }
    for (int radius = kMinMedianRadius; radius <= kMaxMedianRadius; ++radius) {
        ASSERT_EQ(Filtered(*frame, radius, 1), testing::ReferenceMedian(*frame, radius, 1, radius))
            << radius;
    }
}

using MedianStepTest = testing::SessionTest;

TEST_F(MedianStepTest, TheStepLeavesTheLabelAndWritesThePowerWithOneDecimal) {
    images->CurrentImage = *NoisyFrame(9, 300);
    MarkLabelled(images->CurrentImage);
    const ImageBuffer before = images->CurrentImage;
    MedianFilter(session, 2, 7);
    EXPECT_EQ(images->CurrentImage, testing::ReferenceMedian(before, 2, 7, 12));
    EXPECT_EQ(images->UndoImage, before);
    MedianFilter(session, 1, 6);
    MedianFilter(session, 3, 10);
    EXPECT_EQ(session.state.HistoryLines[0], "Median Filter : rad 2 ,power 0.7");
    EXPECT_EQ(session.state.HistoryLines[1], "Median Filter : rad 1 ,power 0.6");
    EXPECT_EQ(session.state.HistoryLines[2], "Median Filter : rad 3 ,power 1.0");
    EXPECT_EQ(ui.progressCaptions.front(), "MEDIAN FILTER PROGRESS");
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_FALSE(ui.progressOpen);
}

}  // namespace
}  // namespace talvor
