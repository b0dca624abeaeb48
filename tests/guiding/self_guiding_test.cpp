// The self-guided exposure's operations on a scripted camera, and the control-box question.

#include "guiding/self_guiding.h"

#include <gtest/gtest.h>

#include "guiding/guiding_test_support.h"

namespace talvor::testing {
namespace {

class SelfGuidingTest : public GuidingTest {
  protected:
    SelfGuidingTest() {
        Picked(200, 100);
        session.capture.SelfGuideArmed = true;  // tenths, no boxes for a lost star
    }
};

TEST_F(SelfGuidingTest, PrepareSettlesTheCameraAndTakesTheReferenceWithTenths) {
    camera->windowStars.push_back(StarSpot{64.35, 63.75});
    EXPECT_EQ(PrepareSelfGuiding(context), SelfGuidingReady::Ready);
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 63, 3, 7}));
    EXPECT_EQ(camera->origins, std::vector<WindowOrigin>(4, WindowOrigin{132, 42}));
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"title Guiding Info - Creating Guiding Frame",
                                        "title Guiding Info - stabilising", "show", "show", "show",
                                        "title Guiding Info", "show", "show"}));

    // During a matching dark the steps take frames but correct nothing.
    session.capture.GuideDarkFrame = true;
    camera->windowStars.push_back(StarSpot{70.05, 64.05});
    view.events.clear();
    SelfGuideStep(context);
    SwitchGuidingFrame(context);
    EXPECT_EQ(camera->origins.size(), 4U + 1 + 4);
    EXPECT_TRUE(port->written.empty());
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 63, 3, 7}));
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"title Guiding Info - Switching Guiding Frame",
                                        "title Guiding Info - Darkframe in Progress"}));
}

TEST_F(SelfGuidingTest, PrepareWithoutTheStarOrTheLinkStops) {
    camera->windowStars.push_back(std::nullopt);
    EXPECT_EQ(PrepareSelfGuiding(context), SelfGuidingReady::StarNotFound);
    EXPECT_FALSE(session.state.SubFrameMode);
    EXPECT_EQ(session.readout.FocusWindowOrigin, (WindowOrigin{184, 65}));
    EXPECT_EQ(session.guiding.StarCentre.x, 201);

    session.telescope.PortOpen = false;
    port->failing["Parms"] = kSerialLineError;
    EXPECT_EQ(PrepareSelfGuiding(context), SelfGuidingReady::NoLink);
    EXPECT_EQ(ui.messages.back(), "Communication with telescope failed");
}

TEST_F(SelfGuidingTest, TheControlBoxIsAskedOnAPortOpenedOnlyForTheQuestion) {
    EXPECT_TRUE(ControlBoxAnswers(session));
    EXPECT_EQ(port->Setup(), (std::vector<std::string>{"Reset 0 1024 1024", "Baud 0 1",
                                                       "Parms 0 0 0 8", "RxClear 0", "Rts 0 C",
                                                       "Dtr 0 C", "Rts 0 S", "Dtr 0 S", "Done 0"}));
    EXPECT_EQ(port->written, std::string("\x0D\x00\x00", 3));
    EXPECT_FALSE(session.telescope.PortOpen);

    // A box that cannot be written to, or a port that will not open, is no box.
    port->failing["Putc"] = kSerialWriteError;
    EXPECT_FALSE(ControlBoxAnswers(session));
    port->failing = {{"Parms", kSerialLineError}};
    EXPECT_FALSE(ControlBoxAnswers(session));
}

}  // namespace
}  // namespace talvor::testing
