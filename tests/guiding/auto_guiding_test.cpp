// "Start Auto-Guiding": the refusals, the loop with its first frame and its window, the end a
// press brings, and a star lost along the way.

#include "guiding/auto_guiding.h"

#include <gtest/gtest.h>

#include <fstream>

#include "guiding/guide_log.h"
#include "guiding/guiding_test_support.h"
#include "image/settings_file.h"

namespace talvor::testing {
namespace {

class AutoGuidingTest : public GuidingTest {
  protected:
    AutoGuidingTest() { Picked(200, 100); }  // in-frame (64, 64) at window (132, 42)
};

TEST_F(AutoGuidingTest, GuidesUntilAPressAndPutsEverythingBack) {
    // The star of the first frame, then a pixel right and down in every frame after it.
    camera->windowStars = {StarSpot{64.25, 64.25}, StarSpot{65.25, 65.25}};
    ui.PressAt(clock.Now() + 2000);
    StartAutoGuiding(context);

    ASSERT_GE(camera->origins.size(), 3U);
    EXPECT_EQ(camera->origins.front(), (WindowOrigin{132, 42}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Guiding Terminated"});
    // The reference is the star's own centre in the first frame, tenths and all: the first
    // frame needs no correction, the later ones a pixel west and south.
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 2, 2}));
    EXPECT_EQ(session.guiding.GuideOffset, (OffsetThousandths{-1000, -1000}));
    EXPECT_EQ(port->written.substr(0, 30), "#:RG##:Mw##:Qw##:RG##:Ms##:Qs#");
    EXPECT_EQ(view.events.front(), "open Guiding Info");
    EXPECT_EQ(view.events.back(), "close");
    EXPECT_EQ(view.last.x, "65.2");
    EXPECT_EQ(view.last.dx, "-52.6");
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

TEST_F(AutoGuidingTest, ReplacesStaleReferenceTenthsAndSkipsALostStarQuietly) {
    // Tenths left by a self-guided exposure are not kept; the star gone for one frame, then a
    // pixel left.
    session.guiding.GuideReference = {10, 10, 9, 9};
    camera->windowStars = {StarSpot{64.55, 64.55}, std::nullopt, StarSpot{63.55, 64.55},
                           StarSpot{64.55, 64.55}};
    ui.PressAt(clock.Now() + 800);
    StartAutoGuiding(context);
    EXPECT_EQ(session.guiding.GuideReference, (CentrePosition{64, 64, 5, 5}));
    EXPECT_EQ(ui.beeps, 4 + 2 + 1);  // lost, one pulse east, the press
    EXPECT_TRUE(ui.errorBoxes.empty());
    EXPECT_EQ(port->written, "#:RG##:Me##:Qe#");

    // Every frame is in the guide log, named after the clock's calendar.
    std::ifstream log(folder.Path() / "guide-20261207-210000.csv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 4U);
    EXPECT_EQ(lines[0], kGuideLogHeader);
    EXPECT_EQ(lines[1].rfind("2026-12-07 21:00:00,", 0), 0U);
    EXPECT_NE(lines[1].find(",1,found,64.5,64.5,0.000,0.000,,,,,"), std::string::npos);
    EXPECT_NE(lines[2].find(",2,no centre,,,,,,,,,0,0.0"), std::string::npos);
    EXPECT_NE(lines[3].find(",3,found,63.5,64.5,1.000,0.000,e,500,,,"), std::string::npos);
    EXPECT_EQ(GuideLogName(2026, 3, 4, 5, 6, 7), "guide-20260304-050607.csv");
}

TEST_F(AutoGuidingTest, ACameraThatStopsAnsweringEndsGuidingWithoutAPulseFromItsFrame) {
    // Two good frames a pixel apart, then the camera is gone: no key is ever pressed.
    camera->windowStars = {StarSpot{64.55, 64.55}, StarSpot{63.55, 64.55}};
    camera->lostAtWindow = 3;
    StartAutoGuiding(context);
    EXPECT_EQ(camera->origins.size(), 3U);
    EXPECT_EQ(port->written, "#:RG##:Me##:Qe#");
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Guiding Terminated"});
    EXPECT_FALSE(session.guiding.GuidingRunning || session.capture.Run.Aborted);
}

TEST_F(AutoGuidingTest, AGuideLogThatCannotBeWrittenIsToldInTheWindow) {
    // The log's name leads into a folder that is not there.
    std::filesystem::create_symlink(folder.Path() / "gone" / "log.csv",
                                    folder.Path() / "guide-20261207-210000.csv");
    camera->windowStars.push_back(StarSpot{64.25, 64.25});
    ui.PressAt(clock.Now() + 600);
    StartAutoGuiding(context);
    EXPECT_EQ(view.last.log.rfind("guide log not written: guide-20261207-210000.csv: ", 0), 0U)
        << view.last.log;
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Guiding Terminated"});
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
