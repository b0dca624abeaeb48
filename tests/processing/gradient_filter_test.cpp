// The gradient filter: corner modes and the bilinear surface taken off the picture.

#include <gtest/gtest.h>

#include "processing/filter_frames.h"
#include "processing/gradient_filter.h"
#include "processing/spatial_filters.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::FlatFrame;
using testing::MarkLabelled;

void FillBox(ImageBuffer& frame, int top, int left, uint16_t value) {
    for (int y = top; y < top + 40; ++y) {
        for (int x = left; x < left + 40; ++x) {
            PixelAt(frame, x, y) = value;
        }
    }
}

TEST(GradientFilterTest, CornerModesCountInUnitsOf16AndTheBottomIgnoresTheLowest) {
    auto frame = FlatFrame(0);
    // Top left: half 160 (index 10) and half 320 (index 20); the lower index wins a tie.
    FillBox(*frame, 10, 20, 160);
    for (int y = 30; y < 50; ++y) {
        for (int x = 20; x < 60; ++x) {
            PixelAt(*frame, x, y) = 335;
        }
    }
    // Top right stays black; bottom left black but for one pixel of index 3.
    PixelAt(*frame, 30, 250) = 48;
    // Bottom right: all below 16, which the bottom search never counts.
    FillBox(*frame, 240, 460, 15);
    const CornerModes modes = FindCornerModes(*frame);
    EXPECT_EQ(modes.topLeft, 10);
    EXPECT_EQ(modes.topRight, 0);
    EXPECT_EQ(modes.bottomLeft, 3);
    EXPECT_EQ(modes.bottomRight, 1);
}

TEST(GradientFilterTest, TheSurfaceRunsFromTheCornerExcessDownToNothing) {
    auto frame = FlatFrame(5000);
    FillBox(*frame, 10, 20, 6600);  // index 412 against 312 elsewhere: 1600 above
    const CornerModes modes = FindCornerModes(*frame);
    EXPECT_EQ(modes.topLeft, 412);
    EXPECT_EQ(modes.bottomRight, 312);
    PixelAt(*frame, 3, 3) = 1000;  // below the surface there
    RemoveGradient(*frame, modes, 0);
    EXPECT_EQ(PixelAt(*frame, 3, 3), 0);
    // (290 - 50) (512 - 100) / 148480 x 1600 = 1065.5
    EXPECT_EQ(PixelAt(*frame, 100, 50), 5000 - 1065);
    // (290 - 10) (512 - 20) / 148480 x 1600 = 1484.5
    EXPECT_EQ(PixelAt(*frame, 20, 10), 6600 - 1484);
    EXPECT_EQ(PixelAt(*frame, 511, 289), 5000);
    EXPECT_EQ(PixelAt(*frame, 511, 0), 5000 - 3);
}

TEST(GradientFilterTest, EqualCornersChangeNothingButZeroStaysZero) {
    auto frame = testing::RandomFrame(4, 0, 3000);
    FillBox(*frame, 10, 20, 800);
    FillBox(*frame, 10, 460, 800);
    FillBox(*frame, 240, 20, 800);
    FillBox(*frame, 240, 460, 800);
    PixelAt(*frame, 7, 7) = 0;
    const ImageBuffer before = *frame;
    RemoveGradient(*frame, FindCornerModes(*frame), 0);
    EXPECT_EQ(*frame, before);
}

using GradientStepTest = testing::SessionTest;

TEST_F(GradientStepTest, TheStepLeavesTheLabelRowsAndWritesItsLine) {
    images->CurrentImage = *FlatFrame(5000);
    FillBox(images->CurrentImage, 10, 20, 6600);
    MarkLabelled(images->CurrentImage);
    PixelAt(images->CurrentImage, 0, 9) = 100;
    const ImageBuffer before = images->CurrentImage;
    GradientFilter(session);
    EXPECT_TRUE(testing::SameArea(images->CurrentImage, before, 0, 9, 0, 511));
    // (290 - 10) x 512 / 148480 x 1600 = 1544.8
    EXPECT_EQ(PixelAt(images->CurrentImage, 0, 10), 5000 - 1544);
    EXPECT_EQ(images->UndoImage, before);
    EXPECT_EQ(session.state.HistoryLines[0], "Gradient Filter");
    EXPECT_TRUE(ui.progressCaptions.empty());
    EXPECT_EQ(ui.loadedBitmaps.size(), 1u);
    EXPECT_EQ(ui.busyDepth, 0);
}

}  // namespace
}  // namespace talvor
