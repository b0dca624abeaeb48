// "Start Auto-Guiding": the refusals, the loop with its first frame and its window, the end a
// press brings, and a star lost along the way.

#include "guiding/auto_guiding.h"

#include <gtest/gtest.h>

#include "guiding/guiding_test_support.h"
#include "image/settings_file.h"

namespace talvor::testing {
namespace {

class AutoGuidingTest : public GuidingTest {
  protected:
    AutoGuidingTest() { Picked(200, 100); }  // in-frame (64, 64) at window (132, 42)
};

TEST_F(AutoGuidingTest, GuidesUntilAPressAndPutsEverythingBack) {
    camera->windowStars.push_back(StarSpot{64.25, 64.25});
    ui.PressAt(clock.Now() + 2000);
    StartAutoGuiding(context);

    ASSERT_GE(camera->origins.size(), 3U);
    EXPECT_EQ(camera->origins.front(), (WindowOrigin{132, 42}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Guiding Terminated"});
    // The reference is the star of the first frame; its tenths stay 0, so every frame is 0.2
    // pixel off on both axes and corrected west and south.
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 0, 0}));
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{-200, -200}));
    EXPECT_NE(port->written.find("#:Mw##:Qw##:RG##:Ms##:Qs#"), std::string::npos);
    EXPECT_EQ(view.events.front(), "open Guiding Info");
    EXPECT_EQ(view.events.back(), "close");
    EXPECT_EQ(view.last.x, "64.2");
    EXPECT_EQ(view.last.dx, "-10.5");
    EXPECT_TRUE(view.last.frameReady);
    EXPECT_EQ(view.last.frameBitmap.filename(), "talvorf.bmp");
    EXPECT_EQ(view.last.reference, (PixelPosition{64, 64}));
    EXPECT_EQ(ui.loadedBitmaps.back(), "talvorf.bmp");

    EXPECT_EQ(session.readout.FocusWindowOrigin, (WindowOrigin{184, 65}));
    EXPECT_EQ(session.guiding.StarCentre.x, 201);
    EXPECT_EQ(session.guiding.StarCentre.y, 99);
    EXPECT_FALSE(session.state.GuidingDisplay || session.state.SubFrameMode ||
                 session.guiding.GuidingRunning || session.capture.Run.Aborted);
    EXPECT_TRUE(session.guiding.FirstFrame);
}

TEST_F(AutoGuidingTest, KeepsReferenceTenthsAndSkipsALostStarQuietly) {
    // Tenths left by a self-guided exposure; the star gone for one frame, then a pixel left.
    session.guiding.GuideReference = {10, 10, 5, 5};
    camera->windowStars = {StarSpot{64.55, 64.55}, std::nullopt, StarSpot{63.55, 64.55},
                           StarSpot{64.55, 64.55}};
    ui.PressAt(clock.Now() + 800);
    StartAutoGuiding(context);
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 5, 5}));
    EXPECT_EQ(ui.beeps, 4 + 2 + 1);  // lost, one pulse east, the press
    EXPECT_TRUE(ui.errorBoxes.empty());
    EXPECT_EQ(port->written, "#:RG##:Me##:Qe#");
}

TEST_F(AutoGuidingTest, RefusesWithoutCameraOrLinkAndResetsAControlBox) {
    session.camera.CameraConnected = false;
    StartAutoGuiding(context);
    EXPECT_EQ(ui.messages.back(), "You must first take an image and pick a star");
    session.camera.CameraConnected = true;

    port->failing["Parms"] = kSerialLineError;
    StartAutoGuiding(context);
    EXPECT_EQ(ui.messages.back(), "Communication with telescope failed");
    EXPECT_TRUE(camera->origins.empty());

    port->failing.clear();
    port->written.clear();
    session.settings.Telescope = TelescopeType::ControlBox;
    WriteSettings(session);  // the next connect reads the type from the file
    camera->windowStars.push_back(StarSpot{64.05, 64.05});
    ui.PressAt(clock.Now() + 500);
    StartAutoGuiding(context);
    EXPECT_EQ(port->written.substr(0, 3), std::string("\x0D\x00\x00", 3));
    EXPECT_EQ(ui.messages.back(), "Guiding Terminated");
}

}  // namespace
}  // namespace talvor::testing
