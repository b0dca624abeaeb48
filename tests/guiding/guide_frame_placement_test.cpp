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
    // The camera reads a window 4 columns right of and 6 rows above its origin: where the
    // origin cannot be moved to allow for that, the star lies that much further left or down.
    const Case cases[] = {
        {{40, 100}, {0, 42}, {36, 64}},      // left edge, read from column 4; origin 36 + 6 rows
        {{200, 250}, {132, 162}, {64, 94}},  // 136 - 4 columns; 162 is not moved: read from 156
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
    EXPECT_EQ(session.guiding.StarCentre.y, 94);
    EXPECT_EQ(session.readout.FocusWindowOrigin, (WindowOrigin{133, 162}));
    EXPECT_TRUE(session.state.SubFrameMode);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"xcent=   65, ycent =    94, focus_x =   133, focus_y =   "
                                       "162,  xoffset =     1, yoffset =     0"});
}

TEST(GuideStarEdgeProblem, NamesTheEdgeAndTheMarginAStarNeedsThere) {
    // With the mask radius 8 the star keeps 10 pixels inside its guide frame: the window can
    // start no further left than column 4 and no lower than row 156.
    EXPECT_FALSE(GuideStarEdgeProblem({14, 100}, 8));
    EXPECT_EQ(GuideStarEdgeProblem({13, 100}, 8),
              "Sorry, too near the left edge to guide on - pick a star at least 14 pixels from "
              "it\n\nx position =    13\ny position =   100");
    EXPECT_FALSE(GuideStarEdgeProblem({499, 100}, 8));
    EXPECT_NE(GuideStarEdgeProblem({500, 100}, 8)
                  ->find("right edge to guide on - pick a star at "
                         "least 10 pixels"),
              std::string::npos);
    EXPECT_FALSE(GuideStarEdgeProblem({200, 273}, 8));
    EXPECT_NE(GuideStarEdgeProblem({200, 274}, 8)
                  ->find("bottom edge to guide on - pick a star "
                         "at least 16 pixels"),
              std::string::npos);
    EXPECT_FALSE(GuideStarEdgeProblem({200, 10}, 8));
    EXPECT_NE(GuideStarEdgeProblem({200, 9}, 8)->find("top edge"), std::string::npos);
    // A wider mask needs more room.
    EXPECT_NE(GuideStarEdgeProblem({20, 100}, 15)->find("at least 21 pixels"), std::string::npos);
    // Every star of the middle of the chip can be guided on.
    for (int x = 30; x < 480; x += 7) {
        for (int y = 30; y < 260; y += 5) {
            ASSERT_FALSE(GuideStarEdgeProblem({x, y}, 8)) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace talvor::testing
