// The click dispatch of the picture: bounds with and without the pick margin, and which mode
// receives the click.

#include "measurement/image_click.h"

#include <gtest/gtest.h>

#include "measurement/analysis_commands.h"
#include "measurement/measurement_fixture.h"
#include "measurement/photometry.h"
#include "measurement/screen_pointer.h"

namespace talvor {
namespace {

struct Received {
    int x;
    int y;
    int passes;
    bool operator==(const Received&) const = default;
};

class ImageClickTest : public testing::MeasurementTest {
  protected:
    void Click(int x, int y) { ImageClick(session, pointer, x, y); }
    std::string Outside(int x, int y) { return OutsideImageText(x, y); }
    void ConnectHooks() {
        ClickHooks& hooks = session.modes.Hooks;
        hooks.MergeClick = [this](int x, int y) { merges.push_back({x, y, 0}); };
        hooks.MergeCentreOnStar = [this] { return centreOnStar; };
        hooks.PickClick = [this](int x, int y, int passes) { picks.push_back({x, y, passes}); };
        hooks.FocusCentreClick = [this](int x, int y) { focusCentres.push_back({x, y, 0}); };
    }

    DetachedPointer pointer{{500, 500}};
    std::vector<Received> merges;
    std::vector<Received> picks;
    std::vector<Received> focusCentres;
    bool centreOnStar = false;
};

TEST_F(ImageClickTest, ClickBoundsKeepTheMaskInsideTheFrame) {
    EXPECT_TRUE(ClickInside(4, 4, 4, 0));
    EXPECT_FALSE(ClickInside(3, 4, 4, 0));
    EXPECT_FALSE(ClickInside(4, 3, 4, 0));
    EXPECT_TRUE(ClickInside(507, 285, 4, 0));
    EXPECT_FALSE(ClickInside(508, 285, 4, 0));
    EXPECT_FALSE(ClickInside(507, 286, 4, 0));
    // The pick keeps three pixels more from every edge.
    EXPECT_TRUE(ClickInside(7, 7, 4, kPickMargin));
    EXPECT_FALSE(ClickInside(6, 7, 4, kPickMargin));
    EXPECT_TRUE(ClickInside(504, 282, 4, kPickMargin));
    EXPECT_FALSE(ClickInside(504, 283, 4, kPickMargin));
    EXPECT_EQ(Outside(3, 4),
              "Sorry, outside Image area - try again\n\nx position =     3\ny position =     4");
}

TEST_F(ImageClickTest, ClicksDoNothingWithoutAModeOrWithoutTheirHook) {
    // A right click snaps only for photometry.
    Star(150, 120, 40000);
    HandleRightButtonUp(session, pointer, {152, 122, 0, 0});
    EXPECT_EQ(pointer.Position(), (ScreenPoint{500, 500}));
    Click(100, 100);
    Click(1, 1);
    session.guiding.PickMode = true;
    session.guiding.FocusCentreMode = true;
    session.modes.MergeMode = true;
    Click(100, 100);
    Click(1, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(session.guiding.SnapToStar);
}

TEST_F(ImageClickTest, PhotometryClickOutsideIsRefusedWithItsPosition) {
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    Square(100, 100, 4, 10);
    Click(3, 4);
    Click(508, 285);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{Outside(3, 4), Outside(508, 285)}));
    EXPECT_EQ(session.modes.Photometry.Object.sum, 0);
    Click(100, 100);
    EXPECT_EQ(session.modes.Photometry.Object.sum, 81 * 10);
    EXPECT_EQ(session.modes.Photometry.Object.position, (PixelPosition{100, 100}));
}

TEST_F(ImageClickTest, ARefusedRightClickLeavesTheNextLeftClickWhereItLands) {
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    Star(150, 120, 40000);
    HandleRightButtonUp(session, pointer, {3, 200, 0, 0});
    EXPECT_EQ(ui.messages, (std::vector<std::string>{Outside(3, 200)}));
    EXPECT_FALSE(session.guiding.SnapToStar);
    // Beside the star, a left click measures its own mask and the pointer stays.
    HandleLeftButtonUp(session, pointer, {153, 123, 0, 0});
    EXPECT_EQ(session.modes.Photometry.Object.position, (PixelPosition{153, 123}));
    EXPECT_EQ(pointer.Position(), (ScreenPoint{500, 500}));
    // A right click still snaps.
    HandleRightButtonUp(session, pointer, {153, 123, 0, 0});
    EXPECT_EQ(session.modes.Photometry.Object.position, (PixelPosition{150, 120}));
}

TEST_F(ImageClickTest, RowPlotPicksTheRowWithinTheMeasureRadius) {
    ASSERT_EQ(BeginRowPlot(session), AnalysisOpen::Open);
    int redraws = 0;
    session.modes.Analysis.RowPicked = [&redraws] { ++redraws; };
    session.guiding.MeasureRadius = 8;
    Click(300, 40);
    EXPECT_EQ(session.modes.Analysis.PlotRow, 40);
    // The rows nearest the edges are refused by the mask of the last radius.
    Click(300, 7);
    Click(300, 282);
    EXPECT_EQ(session.modes.Analysis.PlotRow, 40);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{Outside(300, 7), Outside(300, 282)}));
}

TEST_F(ImageClickTest, MergingClicksSnapOnlyWithCentreOnStarAndNeverConvertGeometry) {
    ConnectHooks();
    session.modes.MergeMode = true;
    session.guiding.MeasureRadius = 8;
    session.state.ZenkaGeometry = true;
    Star(150, 120, 40000);
    Click(153, 118);
    centreOnStar = true;
    Click(153, 118);
    EXPECT_EQ(merges, (std::vector<Received>{{153, 118, 0}, {150, 120, 0}}));
    EXPECT_EQ(pointer.Position(), (ScreenPoint{497, 502}));
}

TEST_F(ImageClickTest, PickSnapsWithTheMarginAndTellsHowManyPassesSucceeded) {
    ConnectHooks();
    session.guiding.PickMode = true;
    session.guiding.MeasureRadius = 8;
    Star(150, 120, 40000);
    Click(152, 121);
    EXPECT_EQ(picks, (std::vector<Received>{{150, 120, 3}}));
    EXPECT_FALSE(session.guiding.SnapToStar);
    // Nothing to snap to: the click arrives where it landed, with no pass succeeded.
    Click(300, 200);
    EXPECT_EQ(picks.back(), (Received{300, 200, 0}));
    Click(10, 100);
    EXPECT_EQ(picks.size(), 2U);
    EXPECT_EQ(ui.messages.back(), Outside(10, 100));
}

TEST_F(ImageClickTest, FocusCentreTakesClicksAnywhereWithoutSnapping) {
    ConnectHooks();
    session.guiding.FocusCentreMode = true;
    Click(2, 300);
    Click(200, 100);
    EXPECT_EQ(focusCentres, (std::vector<Received>{{2, 300, 0}, {200, 100, 0}}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(picks.empty());
}

TEST_F(ImageClickTest, MouseHandlersAddTheScrollOffset) {
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    Set(250, 150, 777);
    HandleMouseMoved(session, {50, 40, 200, 110});
    EXPECT_EQ(session.modes.Photometry.CursorPosition, (PixelPosition{250, 150}));
    EXPECT_EQ(session.modes.Photometry.CursorValue, 777);
    ChooseMask(session, 0);
    HandleLeftButtonUp(session, pointer, {50, 40, 200, 110});
    EXPECT_EQ(session.modes.Photometry.Object.sum, 777);
}

TEST_F(ImageClickTest, SnappedClickWhoseMaskWouldLeaveTheFrameMeasuresNothing) {
    // The star lies two columns from the edge; the click at column 4 is inside for the
    // 9-pixel mask, but the centre found is not.
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    Star(2, 100, 40000);
    HandleRightButtonUp(session, pointer, {4, 100, 0, 0});
    EXPECT_EQ(session.modes.Photometry.Object.sum, 0);
    EXPECT_EQ(session.modes.Photometry.Object.position, (PixelPosition{0, 0}));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{Outside(2, 100)}));
}

}  // namespace
}  // namespace talvor
