#include "display/refresh_display.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>
#include <fstream>

#include "app/view_commands.h"
#include "display/background_estimate.h"
#include "processing/mirror_image.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using RefreshDisplayTest = testing::SessionTest;

TEST_F(RefreshDisplayTest, StartUpRampShowsUntitledAndWritesTheFullFrameBitmap) {
    RefreshDisplay(session);
    ASSERT_FALSE(ui.captions.empty());
    EXPECT_EQ(ui.captions.back(), "Talvor - (Untitled)");
    const auto file = folder.Path() / "talvor.bmp";
    EXPECT_EQ(std::filesystem::file_size(file), 1078u + 148480u);
    ASSERT_EQ(ui.loadedBitmaps.size(), 1u);
    EXPECT_EQ(ui.loadedBitmaps[0], file);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RefreshDisplayTest, CaptionCarriesTheImageTitle) {
    SetTitle(session.state, "m42.fit");
    RefreshDisplay(session);
    EXPECT_EQ(ui.captions.back(), "Talvor - m42.fit");
}

TEST_F(RefreshDisplayTest, SmallFramesGoToTheSmallFileButOnlyGuidingShowsIt) {
    // Before any full frame (a fresh data folder) the window has nothing to keep showing: no
    // file is loaded and no failure told.
    session.state.FocusMode = true;
    RefreshDisplay(session);
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "talvorf.bmp"), 1078u + 16384u);
    EXPECT_TRUE(session.state.SmallBitmapUsed);
    EXPECT_TRUE(ui.loadedBitmaps.empty());
    EXPECT_TRUE(ui.messages.empty());

    session.state.FocusMode = false;
    RefreshDisplay(session);
    session.state.FocusMode = true;
    RefreshDisplay(session);
    EXPECT_EQ(ui.loadedBitmaps.back(), folder.Path() / "talvor.bmp");
    EXPECT_TRUE(ui.messages.empty());

    session.state.FocusMode = false;
    session.state.GuidingDisplay = true;
    RefreshDisplay(session);
    EXPECT_EQ(ui.loadedBitmaps.back(), folder.Path() / "talvorf.bmp");
}

TEST_F(RefreshDisplayTest, BitmapNamesMatchExistingFilesWhateverTheirCase) {
    std::ofstream(folder.Path() / "TALVOR.BMP") << "old";
    RefreshDisplay(session);
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "TALVOR.BMP"), 1078u + 148480u);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "talvor.bmp"));
}

TEST_F(RefreshDisplayTest, AutoContrastTakesTheBackgroundFromRows20To49) {
    session.state.AutoContrast = true;
    RefreshDisplay(session);
    // Rows 20..49 of the ramp: 225 y >> 8 is most often 26 (rows 30..31 and 32..33 ...).
    DisplayState expected;
    EstimateBackgroundBand(expected, images->CurrentImage);
    EXPECT_EQ(session.display.BackgroundLevel, expected.BackgroundLevel);
    EXPECT_GT(session.display.BackgroundLevel, 0);
}

TEST_F(RefreshDisplayTest, UnwritableDataDirectoryReportsAndGoesOn) {
    if (::geteuid() == 0) {
        // root writes anywhere; a data directory that is a plain file fails for everyone.
        std::filesystem::remove_all(folder.Path());
        std::ofstream(folder.Path()) << "not a folder";
    } else {
        ::chmod(folder.Path().c_str(), 0500);
    }
    RefreshDisplay(session);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], "Unable to create temp bitmap file header");
    EXPECT_EQ(ui.messages[1], "Cannot open bitmap file");
    EXPECT_EQ(ui.captions.back(), "Talvor - (Untitled)");
    std::filesystem::remove(folder.Path());
}

TEST_F(RefreshDisplayTest, WithoutAWindowNoBitmapIsWrittenEvenWhereNoneCouldBe) {
    ui.showsPicture = false;
    session.state.AutoContrast = true;
    RefreshDisplay(session);
    WriteFocusBitmap(session);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    EXPECT_TRUE(ui.loadedBitmaps.empty());
    EXPECT_EQ(ui.captions.back(), "Talvor - (Untitled)");
    // The background estimate still follows the frame: Remove Background reads it.
    DisplayState expected;
    EstimateBackgroundBand(expected, images->CurrentImage);
    EXPECT_EQ(session.display.BackgroundLevel, expected.BackgroundLevel);

    // A data directory that cannot hold a file (a plain file, for root too) is no failure.
    std::filesystem::remove_all(folder.Path());
    std::ofstream(folder.Path()) << "not a folder";
    RefreshDisplay(session);
    EXPECT_TRUE(ui.messages.empty());
    std::filesystem::remove(folder.Path());
}

TEST_F(RefreshDisplayTest, ViewTogglesKeepFitAndZenkaApart) {
    EXPECT_TRUE(ToggleZenkaGeometry(session));
    EXPECT_TRUE(session.state.ZenkaGeometry);
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "talvor.bmp"), 1078u + 190976u);
    EXPECT_TRUE(ToggleFitToWindow(session));
    EXPECT_TRUE(session.state.FitToWindow);
    EXPECT_FALSE(session.state.ZenkaGeometry);
    // Fit to window makes no new picture: the 373-row one stays until the next refresh.
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "talvor.bmp"), 1078u + 190976u);
    EXPECT_TRUE(ToggleZenkaGeometry(session));
    EXPECT_FALSE(session.state.FitToWindow);

    session.modes.PhotometryMode = true;
    EXPECT_FALSE(ToggleFitToWindow(session));
    EXPECT_FALSE(ToggleZenkaGeometry(session));
    EXPECT_TRUE(session.state.ZenkaGeometry);
}

TEST_F(RefreshDisplayTest, MaxStretchCommandsRefreshOnlyOnChange) {
    UseMaxStretchOnFocusImagesOnly(session);
    EXPECT_TRUE(ui.captions.empty());
    UseMaxStretchOnAllImages(session);
    EXPECT_TRUE(session.display.MaxStretchAll);
    EXPECT_EQ(ui.captions.size(), 1u);
    UseMaxStretchOnAllImages(session);
    EXPECT_EQ(ui.captions.size(), 1u);
    UseMaxStretchOnFocusImagesOnly(session);
    EXPECT_FALSE(session.display.MaxStretchAll);
    EXPECT_EQ(ui.captions.size(), 2u);
}

TEST_F(RefreshDisplayTest, MirrorReversesRowsAndTwiceRestores) {
    ImageBuffer& frame = images->CurrentImage;
    for (int x = 0; x < kFrameColumns; ++x) {
        PixelAt(frame, x, 100) = static_cast<uint16_t>(x);
    }
    frame[148480] = 4242;
    const ImageBuffer before = frame;
    MirrorImage(session);
    EXPECT_EQ(PixelAt(frame, 0, 100), 511);
    EXPECT_EQ(PixelAt(frame, 511, 100), 0);
    EXPECT_EQ(frame[148480], 4242);
    EXPECT_EQ(ui.busyDepth, 0);
    MirrorImage(session);
    EXPECT_EQ(frame, before);
}

TEST_F(RefreshDisplayTest, MirrorLeavesTheLabelBandAlone) {
    ImageBuffer& frame = images->CurrentImage;
    for (int y = 0; y < kFrameRows; ++y) {
        PixelAt(frame, 0, y) = 1000;
    }
    frame[4] = 30;
    frame[5] = 4;
    MirrorImage(session);
    EXPECT_EQ(PixelAt(frame, 0, 9), 1000);
    EXPECT_EQ(PixelAt(frame, 511, 9), 9 * 225);
    EXPECT_EQ(PixelAt(frame, 511, 10), 1000);
    EXPECT_EQ(PixelAt(frame, 0, 10), 10 * 225);
}

}  // namespace
}  // namespace talvor
