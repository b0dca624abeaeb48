#include "display/background_estimate.h"

#include <gtest/gtest.h>

namespace talvor {
namespace {

class BackgroundEstimateTest : public ::testing::Test {
  protected:
    // Fills rows first..last-1 with counts of the given high bytes, the rest with byte 0.
    void FillRows(int firstRow, int endRow, std::initializer_list<std::pair<int, int>> counts) {
        frame.fill(0);
        std::size_t at = static_cast<std::size_t>(firstRow) * kFrameColumns;
        for (const auto& [highByte, count] : counts) {
            for (int i = 0; i < count; ++i) {
                frame[at++] = static_cast<uint16_t>(highByte << 8 | 0x7f);
            }
        }
        background = static_cast<int>(endRow * kFrameColumns - at);
    }

    ImageBuffer frame{};
    DisplayState display;
    int background = 0;  // pixels of the band left at byte 0
};

TEST_F(BackgroundEstimateTest, ThreeModeEstimateAveragesTheThreeMostFrequentBytes) {
    FillRows(5, 285, {{40, 60000}, {41, 50000}, {42, 30000}});
    EstimateBackground(display, frame);
    EXPECT_EQ(display.BackgroundLevel, (40 + 41 + 42) / 3);  // byte 0 counts only 3360
    EXPECT_EQ(display.BrightnessHistogram[40], 60000u);
    EXPECT_EQ(display.BrightnessHistogram[0], static_cast<uint32_t>(background));
}

TEST_F(BackgroundEstimateTest, ThreeModeEstimateIgnoresRowsOutsideTheBand) {
    frame.fill(200 << 8);
    for (int i = 5 * kFrameColumns; i < 285 * kFrameColumns; ++i) {
        frame[i] = static_cast<uint16_t>(30 << 8);
    }
    EstimateBackground(display, frame);
    // One byte only: the second and third searches find nothing and yield 0.
    EXPECT_EQ(display.BackgroundLevel, 30 / 3);
    EXPECT_EQ(display.BrightnessHistogram[200], 0u);
}

TEST_F(BackgroundEstimateTest, TiesGoToTheLowestIndex) {
    // 143360 pixels in the band: four bytes of 35840 each.
    FillRows(5, 285, {{90, 35840}, {30, 35840}, {60, 35840}, {120, 35840}});
    EstimateBackground(display, frame);
    EXPECT_EQ(display.BackgroundLevel, (30 + 60 + 90) / 3);
}

TEST_F(BackgroundEstimateTest, BandEstimateTakesTheModeOfRows20To49) {
    FillRows(20, 50, {{77, 7680}, {12, 7680}});
    frame[0] = 250 << 8;
    EstimateBackgroundBand(display, frame);
    EXPECT_EQ(display.BackgroundLevel, 12);
    EXPECT_EQ(display.BrightnessHistogram[250], 0u);
}

TEST_F(BackgroundEstimateTest, CounterSlot256IsClearedButNeverCounted) {
    display.BrightnessHistogram[256] = 99;
    FillRows(20, 50, {{5, 15360}});
    EstimateBackgroundBand(display, frame);
    EXPECT_EQ(display.BrightnessHistogram[256], 0u);
    EXPECT_EQ(display.BackgroundLevel, 5);
}

}  // namespace
}  // namespace talvor
