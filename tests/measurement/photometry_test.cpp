// Photometry: the command's refusals, the sums under the mask, the window's field texts and
// the magnitude difference, and the whole measurement as the batch tool runs it.

#include "measurement/photometry.h"

#include <gtest/gtest.h>

#include "measurement/image_click.h"
#include "measurement/measurement_fixture.h"
#include "measurement/photometry_run.h"
#include "measurement/screen_pointer.h"

namespace talvor {
namespace {

class PhotometryTest : public testing::MeasurementTest {
  protected:
    PhotometryState& Photometry() { return session.modes.Photometry; }
    void Click(int x, int y) { ImageClick(session, pointer, x, y); }
    PhotometryFields Fields() { return PhotometryFieldTexts(session); }

    DetachedPointer pointer;
};

TEST_F(PhotometryTest, CommandIsRefusedByOtherModesStretchedPicturesAndASecondStart) {
    session.modes.MergeMode = true;
    EXPECT_EQ(StartPhotometry(session), PhotometryStart::Refused);
    session.modes.MergeMode = false;
    session.modes.RowPlotMode = true;
    EXPECT_EQ(StartPhotometry(session), PhotometryStart::Refused);
    session.modes.RowPlotMode = false;
    session.state.ZenkaGeometry = true;
    EXPECT_EQ(StartPhotometry(session), PhotometryStart::Refused);
    session.state.ZenkaGeometry = false;
    session.state.FitToWindow = true;
    EXPECT_EQ(StartPhotometry(session), PhotometryStart::Refused);
    session.state.FitToWindow = false;
    EXPECT_FALSE(session.modes.PhotometryMode);
    EXPECT_EQ(StartPhotometry(session), PhotometryStart::Started);
    EXPECT_EQ(StartPhotometry(session), PhotometryStart::Refused);
    const std::string clash =
        "Sorry, you cannot run Photometry, Row Plot and Merging at the same time";
    const std::string geometry =
        "Sorry, Photometry only available in standard Geometry. Ensure Image is not stretched "
        "to fit window or in Zenka geometry.";
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               clash, clash, geometry, geometry,
                               "Sorry, you are already in Photometry mode. Click left Mouse "
                               "button when on object you wish to measure"}));
}

TEST_F(PhotometryTest, StartWipesTheMeasurementsButKeepsTheTarget) {
    Photometry().Target = PhotometryTarget::Comparison;
    Photometry().Object = {{5, 6}, 700};
    Photometry().BackgroundChosen = true;
    Photometry().CursorValue = 9;
    session.guiding.MeasureRadius = 8;
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    EXPECT_EQ(session.guiding.MeasureRadius, 4);
    EXPECT_EQ(Photometry().Target, PhotometryTarget::Comparison);
    EXPECT_EQ(Photometry().Object.sum, 0);
    EXPECT_EQ(Photometry().Object.position, (PixelPosition{0, 0}));
    EXPECT_FALSE(Photometry().BackgroundChosen);
    EXPECT_EQ(Photometry().CursorValue, 0);
}

TEST_F(PhotometryTest, EachTargetSumsTheMaskAndShowsItsMeanPerPixel) {
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    Square(100, 100, 4, 1000);
    Set(100, 100, 1040);  // sum 81040: mean 1000.49 shows 1000
    Square(300, 200, 4, 500);
    Square(50, 50, 4, 100);
    Click(100, 100);
    ChooseTarget(session, PhotometryTarget::Comparison);
    Click(300, 200);
    ChooseTarget(session, PhotometryTarget::Background);
    Click(50, 50);
    EXPECT_EQ(Photometry().Object.sum, 81040);
    EXPECT_EQ(Photometry().Comparison.sum, 40500);
    EXPECT_EQ(Photometry().Background.sum, 8100);
    const PhotometryFields fields = Fields();
    EXPECT_EQ(fields.objectX + "," + fields.objectY + "," + fields.objectValue, "100,100,   1000");
    EXPECT_EQ(fields.comparisonValue, "    500");
    EXPECT_EQ(fields.backgroundX + "," + fields.backgroundY + "," + fields.backgroundValue,
              "50,50,    100");
    // -2.5 log10(72940 / 32400)
    EXPECT_EQ(fields.magnitude, "-0.88");
}

TEST_F(PhotometryTest, MagnitudeNeedsBothSumsAboveTheBackground) {
    EXPECT_EQ(MagnitudeText(20000, 2000, 0), "-2.50");
    EXPECT_EQ(MagnitudeText(2000, 20000, 0), "2.50");
    EXPECT_EQ(MagnitudeText(20000, 2000, 1000), "-3.20");
    EXPECT_EQ(MagnitudeText(1000, 2000, 1000), "");
    EXPECT_EQ(MagnitudeText(20000, 999, 1000), "");
    EXPECT_EQ(MagnitudeText(0, 2000, -5), "");
    EXPECT_EQ(MagnitudeText(20000, 0, -5), "");
}

TEST_F(PhotometryTest, AMagnitudeWithoutABackgroundSaysNothingWasSubtracted) {
    // Stars of 4000 and 1000 above a sky of 1000: the true difference is -1.51; the sums with
    // the sky in them give -0.99.
    Fill(1000);
    Square(100, 100, 4, 5000);
    Square(300, 200, 4, 2000);
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    EXPECT_EQ(Fields().magnitudeNote, "");  // no magnitude, no note
    Click(100, 100);
    ChooseTarget(session, PhotometryTarget::Comparison);
    Click(300, 200);
    EXPECT_EQ(Fields().magnitude, "-0.99");
    EXPECT_EQ(Fields().magnitudeNote, "no background subtracted");
    // Choosing the target is not measuring it.
    ChooseTarget(session, PhotometryTarget::Background);
    EXPECT_EQ(Fields().magnitudeNote, "no background subtracted");
    Click(400, 50);
    EXPECT_EQ(Fields().magnitude, "-1.51");
    EXPECT_EQ(Fields().magnitudeNote, "");
    EXPECT_EQ(MagnitudeNote("", 0), "");
    EXPECT_EQ(MagnitudeNote("-2.50", 81000), "");
}

TEST_F(PhotometryTest, BackgroundValueIsTheDisplayEstimateUntilTheBackgroundIsChosen) {
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    session.display.BackgroundLevel = 10;
    EXPECT_EQ(Fields().backgroundValue, "   2560");
    ChooseTarget(session, PhotometryTarget::Background);
    EXPECT_TRUE(Photometry().BackgroundChosen);
    EXPECT_EQ(Fields().backgroundValue, "      0");
    // Object and comparison do not count as a background choice.
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Refused);
    FinishPhotometry(session);
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    ChooseTarget(session, PhotometryTarget::Object);
    ChooseTarget(session, PhotometryTarget::Comparison);
    EXPECT_EQ(Fields().backgroundValue, "   2560");
}

TEST_F(PhotometryTest, SinglePixelMaskShowsRawValuesAndAMaskChangeWipesTheMeasurements) {
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    ChooseTarget(session, PhotometryTarget::Background);
    ChooseMask(session, 0);
    EXPECT_EQ(ShownMaskRadius(session.guiding.MeasureRadius), 0);
    Set(20, 30, 4321);
    ChooseTarget(session, PhotometryTarget::Object);
    Click(20, 30);
    EXPECT_EQ(Fields().objectValue, "   4321");
    int refreshes = 0;
    Photometry().FieldsChanged = [&refreshes] { ++refreshes; };
    ChooseMask(session, 6);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(session.guiding.MeasureRadius, 6);
    EXPECT_EQ(Photometry().Object.sum, 0);
    EXPECT_EQ(Photometry().Object.position, (PixelPosition{0, 0}));
    EXPECT_EQ(Photometry().Target, PhotometryTarget::Object);
    EXPECT_TRUE(Photometry().BackgroundChosen);
    // Any other half-size shows as the single pixel.
    EXPECT_EQ(ShownMaskRadius(5), 0);
    EXPECT_EQ(MaskRadiusForDiameter(17), 8);
    EXPECT_EQ(MaskRadiusForDiameter(1), 0);
    EXPECT_EQ(MaskRadiusForDiameter(11), std::nullopt);
}

TEST_F(PhotometryTest, CursorReadOutStopsAtTheFramesOuterPixels) {
    Set(2, 2, 11);
    Set(510, 288, 22);
    TrackCursor(session, 100, 100);
    EXPECT_EQ(Photometry().CursorPosition, (PixelPosition{0, 0}));
    ASSERT_EQ(StartPhotometry(session), PhotometryStart::Started);
    TrackCursor(session, 2, 2);
    EXPECT_EQ(Fields().cursorValue, "     11");
    TrackCursor(session, 510, 288);
    EXPECT_EQ(Fields().cursorX + "," + Fields().cursorY, "510,288");
    EXPECT_EQ(Photometry().CursorValue, 22);
    for (const auto& [x, y] : {std::pair{1, 100}, {511, 100}, {100, 1}, {100, 289}}) {
        TrackCursor(session, x, y);
        EXPECT_EQ(Photometry().CursorPosition, (PixelPosition{510, 288}));
    }
}

TEST_F(PhotometryTest, BatchRunMeasuresAsTheWindowAndEndsPhotometry) {
    // A sky of high bytes 2, 3 and 4 in columns that repeat every four: the display's
    // background estimate is their mean, 3.
    for (int y = 0; y < kFrameRows; ++y) {
        for (int x = 0; x < kFrameColumns; ++x) {
            Set(x, y, static_cast<uint16_t>(x % 4 == 0 ? 512 : x % 4 == 1 ? 1024 : 768));
        }
    }
    Square(100, 100, 8, 20000);
    Square(300, 200, 8, 2000);
    PhotometryRequest request;
    request.object = {100, 100};
    request.comparison = {300, 200};
    request.maskDiameter = 17;
    std::optional<PhotometryFields> fields = RunPhotometry(session, pointer, request);
    ASSERT_TRUE(fields.has_value());
    EXPECT_FALSE(session.modes.PhotometryMode);
    // No background measured: the display's estimate stands for it.
    EXPECT_EQ(PhotometryReport(*fields),
              "object 100 100   20000\ncomparison 300 200    2000\nbackground 0 0     768\n"
              "magnitude -2.50\nnote no background subtracted\n");

    request.background = PixelPosition{400, 50};
    fields = RunPhotometry(session, pointer, request);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(PhotometryReport(*fields),
              "object 100 100   20000\ncomparison 300 200    2000\nbackground 400 50     752\n"
              "magnitude -2.97\n");
    request.maskDiameter = 11;
    EXPECT_FALSE(RunPhotometry(session, pointer, request).has_value());
    session.state.ZenkaGeometry = true;
    request.maskDiameter = 9;
    EXPECT_FALSE(RunPhotometry(session, pointer, request).has_value());
}

}  // namespace
}  // namespace talvor
