// The start checks of merging mode and the scripted merge of a file; the picks and the window
// are driven in the dialog tests.

#include "processing/merge_mode.h"

#include <gtest/gtest.h>

#include "image/native_file.h"
#include "processing/processing_state.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class MergeModeTest : public testing::SessionTest {
  protected:
    MergeModeTest() { ResetProcessingState(session); }
    ~MergeModeTest() override { ResetProcessingState(session); }
    MergeState& Merge() { return CalibrationOf(session).Merge; }
    void FillCurrent(uint16_t value) {
        std::fill_n(images->CurrentImage.begin(), kFramePixels, value);
    }
};

TEST_F(MergeModeTest, StartIsRefusedByClashingModesStretchedPicturesAndASecondStart) {
    session.modes.RowPlotMode = true;
    EXPECT_EQ(StartMerging(session), MergeStart::Refused);
    session.modes.RowPlotMode = false;
    session.state.FitToWindow = true;
    EXPECT_EQ(StartMerging(session), MergeStart::Refused);
    session.state.FitToWindow = false;
    EXPECT_FALSE(session.modes.MergeMode);
    Merge().MarkingReference = false;
    Merge().Average = true;
    Merge().MergeX = 9;
    EXPECT_EQ(StartMerging(session), MergeStart::Started);
    EXPECT_TRUE(session.modes.MergeMode);
    EXPECT_TRUE(Merge().MarkingReference);
    EXPECT_FALSE(Merge().Average);
    EXPECT_EQ(Merge().MergeX, 0);
    EXPECT_EQ(StartMerging(session), MergeStart::Refused);
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{
                  "Sorry, you cannot run Photometry, Row Plot and Merging at the same time",
                  "Sorry, Merging only available in standard Geometry. Ensure Image is not "
                  "stretched to fit window or in Zenka geometry.",
                  "Sorry, you are already in Merging mode."}));
}

TEST_F(MergeModeTest, MergeWithFileOpensTheFileAsTheMergeImage) {
    FillCurrent(10);
    AppendHistory(session.state, "Log Stretch");
    auto other = std::make_unique<ImageBuffer>();
    other->fill(20);
    PixelAt(*other, 53, 48) = 900;
    const auto file = folder.Path() / "~Merge";
    WriteNativeFile(file, *other);
    EXPECT_EQ(MergeWithFile(session, file, 50, 50, 53, 48, false), OperandResult::Loaded);
    EXPECT_EQ(PixelAt(images->CurrentImage, 50, 50), 910);
    EXPECT_EQ(PixelAt(images->CurrentImage, 1, 3), 30);
    EXPECT_EQ(PixelAt(images->CurrentImage, 1, 2), 10);  // its partner would be row 0
    EXPECT_EQ(session.state.ImageTitle, "~merge");
    EXPECT_EQ(session.state.HistoryLines[0], "");  // as Open leaves it
    const auto bad = folder.Path() / "bad";
    WriteNativeFile(bad, *other);
    std::filesystem::resize_file(bad, 1000);
    FillCurrent(10);
    EXPECT_EQ(MergeWithFile(session, bad, 50, 50, 53, 48, false), OperandResult::Refused);
    EXPECT_EQ(PixelAt(images->CurrentImage, 50, 50), 10);
    EXPECT_EQ(ui.messages.back(), "You didn't choose an Zenka or a suitable FITS File");
}

}  // namespace
}  // namespace talvor
