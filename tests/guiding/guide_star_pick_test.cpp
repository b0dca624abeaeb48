// Arming the guide-star pick and the focus-frame centre, and their clicks through the picture's
// click dispatch.

#include <gtest/gtest.h>

#include "camera/camera_commands.h"
#include "guiding/focus_frame_centre.h"
#include "guiding/guide_star_pick.h"
#include "guiding/guiding_test_support.h"
#include "measurement/image_click.h"
#include "measurement/screen_pointer.h"

namespace talvor::testing {
namespace {

class GuideStarPickTest : public GuidingTest {
  protected:
    GuideStarPickTest() {
        session.modes.Hooks.PickClick = [this](int, int, int passes) {
            PickGuideStarClick(session, passes);
        };
        session.modes.Hooks.FocusCentreClick = [this](int x, int y) {
            FocusFrameCentreClick(session, x, y);
        };
        session.settings.GuideStarMaskRadius = 9;
    }

    void WholeFrame(std::optional<StarSpot> star) {
        camera->frameStar = star;
        session.camera.BlockByteCount = kFullFrameBlockBytes;
        camera->ReadBlock();
        CopyFullFrameBlock(session.camera.ReceiveBuffer, images->CurrentImage);
    }
    void Click(int x, int y) { ImageClick(session, pointer, x, y); }

    DetachedPointer pointer{{500, 400}};
};

TEST_F(GuideStarPickTest, AClickPicksTheStarItSnapsOnto) {
    session.state.ZenkaGeometry = true;
    EXPECT_TRUE(PickGuideStar(session));
    EXPECT_EQ(ui.messages.back(),
              "Sorry, Can Only Select Star in Standard or 150% Display Options.");
    EXPECT_FALSE(PickGuideStar(session));
    session.state.ZenkaGeometry = false;
    session.guiding.MeasureRadius = 4;
    ASSERT_TRUE(PickGuideStar(session));
    EXPECT_EQ(session.guiding.MeasureRadius, 9);

    WholeFrame(StarSpot{20, 20});
    Click(11, 100);  // 9 + 3 = 12 is the first column a pick may land in
    EXPECT_EQ(ui.messages.back(),
              "Sorry, outside Image area - try again\n\nx position =    11\ny position =   100");

    WholeFrame(StarSpot{200.2, 150.1});
    Click(203, 147);
    EXPECT_TRUE(session.guiding.StarPicked);
    EXPECT_EQ(session.guiding.PickedStarPosition, (PixelPosition{200, 150}));
    EXPECT_EQ(ui.messages.back(), "x position =   200\ny position =   150");
    EXPECT_EQ(pointer.Position(), (ScreenPoint{497, 403}));
    // Still armed, with the snapping on, as the repaint that marks the star leaves it.
    EXPECT_TRUE(session.guiding.PickMode);
    EXPECT_TRUE(session.guiding.SnapToStar);

    // Blank sky: the snapping fails and the old centre is told, but no star stays picked.
    WholeFrame(std::nullopt);
    Click(300, 100);
    EXPECT_FALSE(session.guiding.StarPicked);
    EXPECT_EQ(ui.messages.back(), "x position =   200\ny position =   150");
}

TEST_F(GuideStarPickTest, AStarTheGuideFrameCannotHoldIsRefusedWithTheMarginItNeeds) {
    ASSERT_TRUE(PickGuideStar(session));
    // Mask radius 9: 15 columns from the left edge, 17 rows from the bottom.
    WholeFrame(StarSpot{14.2, 150.1});
    Click(15, 150);
    EXPECT_FALSE(session.guiding.StarPicked);
    EXPECT_EQ(ui.messages.back(),
              "Sorry, too near the left edge to guide on - pick a star at least 15 pixels from "
              "it\n\nx position =    14\ny position =   150");
    // Picking stays armed for the next star.
    EXPECT_TRUE(session.guiding.PickMode && session.guiding.SnapToStar);

    WholeFrame(StarSpot{200.2, 273.1});
    Click(200, 272);
    EXPECT_FALSE(session.guiding.StarPicked);
    EXPECT_NE(ui.messages.back().find("bottom edge to guide on - pick a star at least 17 pixels"),
              std::string::npos);

    WholeFrame(StarSpot{15.2, 272.1});
    Click(16, 272);
    EXPECT_TRUE(session.guiding.StarPicked);
    EXPECT_EQ(ui.messages.back(), "x position =    15\ny position =   272");
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(GuideStarPickTest, FocusCentreClickPlacesTheWindowInsideTheChip) {
    FocusFrameCentre(session);
    EXPECT_FALSE(session.guiding.SnapToStar);
    Click(2, 300);  // outside the picture: no refusal in this mode
    EXPECT_EQ(session.readout.FocusWindowOrigin, (WindowOrigin{3, 160}));
    EXPECT_EQ(ui.messages.back(), "x position =    67\ny position =   224");
    EXPECT_FALSE(session.guiding.FocusCentreMode);

    EXPECT_EQ(FocusWindowForClick(300, 150, false), (WindowOrigin{236, 86}));
    EXPECT_EQ(FocusWindowForClick(432, 226, false), (WindowOrigin{376, 160}));
    EXPECT_EQ(FocusWindowForClick(431, 225, false), (WindowOrigin{367, 161}));
    EXPECT_EQ(FocusWindowForClick(67, 65, false), (WindowOrigin{3, 1}));
    EXPECT_EQ(FocusWindowForClick(66, 64, false), (WindowOrigin{3, 1}));
    // Display rows in Zenka geometry: 200 x 290 / 373 = 155.
    EXPECT_EQ(FocusWindowForClick(200, 200, true), (WindowOrigin{136, 91}));

    DefaultFocusFrameCentre(session);
    EXPECT_EQ(session.readout.FocusWindowOrigin, (WindowOrigin{184, 65}));
}

}  // namespace
}  // namespace talvor::testing
