// Where the guide frame is read from the chip for a picked star, and what placing it changes.

#include "guiding/guide_frame_placement.h"

#include <gtest/gtest.h>

#include "guiding/guiding_test_support.h"

namespace talvor::testing {
namespace {

TEST(GuideFramePlacement, CentresTheFrameOrPushesItAgainstTheChipEdges) {
    struct Case {
        PixelPosition star;
        WindowOrigin origin;
        PixelPosition inFrame;
    };
    const Case cases[] = {
        {{40, 100}, {0, 42}, {40, 64}},      // left edge; origin 36 + 6 rows
        {{200, 250}, {132, 162}, {64, 88}},  // 136 - 4 columns; 162 is not moved
        {{480, 145}, {378, 87}, {98, 64}},   // right edge: 382 - 4, star at 480 - 382
        {{201, 64}, {133, 6}, {65, 64}},     // 133 mod 3 = 1 joins the star's x; top edge
    };
    for (const Case& c : cases) {
        const GuideFramePlacement placement = GuideFramePlacementFor(c.star);
        EXPECT_EQ(placement.origin, c.origin) << c.star.x << "," << c.star.y;
        EXPECT_EQ(placement.inFrame, c.inFrame) << c.star.x << "," << c.star.y;
    }
}

class PlaceGuideFrameTest : public GuidingTest {};

TEST_F(PlaceGuideFrameTest, SavesTheCentreAndMovesItIntoTheSmallFrame) {
    Picked(201, 250);
    session.settings.DebugMode = true;
    PlaceGuideFrame(session);
    EXPECT_EQ(session.guiding.SavedStarCentre.x, 202);
    EXPECT_EQ(session.guiding.SavedStarCentre.y, 249);
    EXPECT_EQ(session.guiding.StarCentre.x, 65);
    EXPECT_EQ(session.guiding.StarCentre.y, 88);
    EXPECT_EQ(session.readout.FocusWindowOrigin, (WindowOrigin{133, 162}));
    EXPECT_TRUE(session.state.SubFrameMode);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"xcent=   65, ycent =    88, focus_x =   133, focus_y =   "
                                       "162,  xoffset =     1, yoffset =     0"});
}

}  // namespace
}  // namespace talvor::testing
