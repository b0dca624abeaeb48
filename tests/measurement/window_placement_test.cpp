// Where the measuring windows open: beside the picture, on the screen.

#include "measurement/window_placement.h"

#include <gtest/gtest.h>

namespace talvor {
namespace {

// A 1024 x 768 screen with the main window at its top-left corner: the picture starts under
// the menu and tool bars.
const ScreenRect kScreen{0, 0, 1024, 768};
const ScreenRect kPicture{0, 71, 512, 290};

ScreenRect At(ScreenPoint corner, int width, int height) {
    return {corner.x, corner.y, width, height};
}

TEST(WindowPlacementTest, WindowsThatFitOpenRightOfThePictureOrBelowIt) {
    // PHOTOMETRY used to open at (121, 71) over columns 121..511.
    const ScreenPoint photometry = PlaceBesidePicture(kPicture, 457, 301, kScreen);
    EXPECT_EQ(photometry, (ScreenPoint{520, 71}));
    EXPECT_EQ(OverlapArea(kPicture, At(photometry, 457, 301)), 0);
    // The row profile is too wide for the right-hand side: it opens under the picture.
    const ScreenPoint profile = PlaceBesidePicture(kPicture, 538, 284, kScreen);
    EXPECT_EQ(profile, (ScreenPoint{0, 369}));
    EXPECT_EQ(OverlapArea(kPicture, At(profile, 538, 284)), 0);
}

TEST(WindowPlacementTest, WhenNeitherSideHasRoomTheLessCoveredOneIsTaken) {
    // The 3-D plot: moved left onto the picture it covers 138 columns; moved up, 23 rows.
    const ScreenPoint plot = PlaceBesidePicture(kPicture, 652, 430, kScreen);
    EXPECT_EQ(plot, (ScreenPoint{0, 338}));
    EXPECT_EQ(OverlapArea(kPicture, At(plot, 652, 430)), 512 * 23);
    // On a screen too small for either, the window still lies on it.
    const ScreenRect small{0, 0, 800, 600};
    const ScreenPoint cramped = PlaceBesidePicture(kPicture, 457, 301, small);
    EXPECT_GE(cramped.x, 0);
    EXPECT_LE(cramped.x + 457, 800);
    EXPECT_LE(cramped.y + 301, 600);
    EXPECT_LT(OverlapArea(kPicture, At(cramped, 457, 301)),
              OverlapArea(kPicture, {121, 71, 457, 301}));
}

TEST(WindowPlacementTest, PlacesAreKeptOnTheScreen) {
    const ScreenRect second{1024, 0, 1280, 1024};  // a screen to the right of the first
    EXPECT_EQ(KeepOnScreen({5000, -40}, 400, 300, second), (ScreenPoint{1904, 0}));
    EXPECT_EQ(KeepOnScreen({100, 900}, 400, 300, second), (ScreenPoint{1024, 724}));
    EXPECT_EQ(KeepOnScreen({1100, 100}, 400, 300, second), (ScreenPoint{1100, 100}));
    // Larger than the screen: from its top-left corner.
    EXPECT_EQ(KeepOnScreen({300, 300}, 2000, 2000, kScreen), (ScreenPoint{0, 0}));
    EXPECT_EQ(OverlapArea({0, 0, 10, 10}, {10, 0, 10, 10}), 0);
    EXPECT_EQ(OverlapArea({0, 0, 10, 10}, {5, 5, 10, 10}), 25);
}

}  // namespace
}  // namespace talvor
