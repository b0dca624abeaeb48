// Star snapping: the click and the screen pointer move together onto the star centre.

#include "measurement/star_snapping.h"

#include <gtest/gtest.h>

#include "measurement/measurement_fixture.h"
#include "measurement/screen_pointer.h"

namespace talvor {
namespace {

class StarSnappingTest : public testing::MeasurementTest {
  protected:
    StarSnappingTest() { session.guiding.MeasureRadius = 8; }
    DetachedPointer pointer{{1000, 700}};
};

TEST_F(StarSnappingTest, ClickAndPointerMoveOntoTheStarInThreePasses) {
    Star(200, 100, 40000);
    PixelPosition click{196, 103};
    EXPECT_EQ(SnapClickToStar(session, pointer, click, Frame(), false), 3);
    EXPECT_EQ(click, (PixelPosition{200, 100}));
    EXPECT_EQ(pointer.Position(), (ScreenPoint{1004, 697}));
}

TEST_F(StarSnappingTest, ZenkaGeometryClicksAreInDisplayRows) {
    // Frame row 100 is display row 128; a click on display row 135 searches frame row 104.
    Star(200, 100, 40000);
    PixelPosition click{203, 135};
    EXPECT_EQ(SnapClickToStar(session, pointer, click, Frame(), true), 3);
    EXPECT_EQ(click, (PixelPosition{200, 128}));
    // The first pass moves the pointer 3 columns left and 4 frame rows (5 display rows) up.
    // Display row 128 converts to frame row 99, so each later pass finds the star one frame
    // row lower and moves the pointer one row down.
    EXPECT_EQ(pointer.Position(), (ScreenPoint{997, 697}));
}

TEST_F(StarSnappingTest, AFailedPassStopsWhereTheLastGoodPassLeftTheClick) {
    PixelPosition click{100, 100};
    EXPECT_EQ(SnapClickToStar(session, pointer, click, Frame(), false), 0);
    EXPECT_EQ(click, (PixelPosition{100, 100}));
    EXPECT_EQ(pointer.Position(), (ScreenPoint{1000, 700}));
    EXPECT_EQ(ui.errorBoxes.size(), 1U);

    // A star near the left edge: the first pass moves the click to column 3, from where the
    // next window would leave the frame.
    Star(3, 200, 40000);
    click = {8, 200};
    EXPECT_EQ(SnapClickToStar(session, pointer, click, Frame(), false), 1);
    EXPECT_EQ(click, (PixelPosition{3, 200}));
    EXPECT_EQ(pointer.Position(), (ScreenPoint{995, 700}));
    EXPECT_EQ(ui.errorBoxes.back(),
              "TALVOR  - Find Centre: Find centre failed - outside image area");
}

}  // namespace
}  // namespace talvor
