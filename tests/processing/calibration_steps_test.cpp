// Subtract, flat field and average as the Merging menu runs them on files, and the automatic
// dark and flat files of the capture sequence.

#include "processing/calibration_steps.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/calibration_state.h"
#include "core/label_band.h"
#include "image/native_file.h"
#include "processing/label_drawing.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class CalibrationStepsTest : public testing::SessionTest {
  protected:
    // A native file of a frame that holds the value everywhere.
    std::filesystem::path NativeFile(const std::string& name, uint16_t value) {
        auto frame = std::make_unique<ImageBuffer>();
        frame->fill(value);
        const auto file = folder.Path() / name;
        EXPECT_EQ(WriteNativeFile(file, *frame), NativeWriteResult::Written);
        return file;
    }
    void FillCurrent(uint16_t value) {
        std::fill_n(images->CurrentImage.begin(), kFramePixels, value);
    }
};

TEST_F(CalibrationStepsTest, SubtractTakesTheUndoCopyWritesHistoryAndClips) {
    FillCurrent(1000);
    PixelAt(images->CurrentImage, 20, 20) = 100;
    AppendHistory(session.state, "Log Stretch");
    const auto dark = NativeFile("~dark", 300);
    EXPECT_EQ(SubtractImage(session, dark), OperandResult::Loaded);
    EXPECT_EQ(PixelAt(images->CurrentImage, 0, 0), 700);
    EXPECT_EQ(PixelAt(images->CurrentImage, 20, 20), 0);
    EXPECT_EQ(PixelAt(images->UndoImage, 20, 20), 100);
    EXPECT_EQ(PixelAt(images->UndoImage, 0, 0), 1000);
    EXPECT_EQ(session.state.HistoryLines[1], "Dark Frame Subtracted");
    EXPECT_FALSE(ui.loadedBitmaps.empty());  // the display was refreshed
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CalibrationStepsTest, AnUnusableOperandChangesNothing) {
    FillCurrent(1000);
    const ImageBuffer undoBefore = images->UndoImage;
    const auto bad = folder.Path() / "~short";
    std::ofstream(bad) << "not a frame";
    for (auto step : {&SubtractImage, &ApplyFlatField, &AverageWithImage}) {
        EXPECT_EQ(step(session, bad), OperandResult::Refused);
    }
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0], "Sorry, you didn't choose a valid Zenka File");
    EXPECT_EQ(PixelAt(images->CurrentImage, 9, 9), 1000);
    EXPECT_EQ(images->UndoImage, undoBefore);
    EXPECT_EQ(session.state.HistoryLines[0], "");
    EXPECT_FALSE(ui.progressOpen);
}

TEST_F(CalibrationStepsTest, FlatFieldRunsUnderItsProgressWindowFromRowOne) {
    FillCurrent(1000);
    const auto flat = NativeFile("~flat", 1000);
    EXPECT_EQ(ApplyFlatField(session, flat), OperandResult::Loaded);
    EXPECT_EQ(PixelAt(images->CurrentImage, 5, 0), 1000);  // row 0 is not corrected
    EXPECT_EQ(PixelAt(images->CurrentImage, 5, 1), 1080);
    EXPECT_EQ(PixelAt(images->CurrentImage, 509, 289), 1080);
    EXPECT_EQ(PixelAt(images->CurrentImage, 4, 1), 1000);
    EXPECT_EQ(ui.progressCaptions.front(), "FLAT FIELD PROGRESS");
    // Opened at 0, then 10 for the first row and one more for each of the 289 rows.
    ASSERT_EQ(ui.progressPositions.size(), 290u);
    EXPECT_EQ(ui.progressPositions[1], 10);
    EXPECT_EQ(ui.progressPositions[2], 11);
    EXPECT_EQ(ui.progressPositions.back(), 256);  // 298 shows a full bar
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_EQ(session.state.HistoryLines[0], "Flat Field Applied");
    EXPECT_EQ(PixelAt(images->UndoImage, 5, 1), 1000);
}

TEST_F(CalibrationStepsTest, FlatFieldLeavesALabelledBandAndTheRowBelowIt) {
    FillCurrent(1000);
    DrawLabelLine(images->CurrentImage, "M42");
    const ImageBuffer labelled = images->CurrentImage;
    ApplyFlatField(session, NativeFile("~flat", 1000));
    for (int y = 0; y <= 10; ++y) {
        for (int x = 0; x < kFrameColumns; ++x) {
            ASSERT_EQ(PixelAt(images->CurrentImage, x, y), PixelAt(labelled, x, y))
                << x << "," << y;
        }
    }
    EXPECT_EQ(PixelAt(images->CurrentImage, 5, 11), 1080);
}

TEST_F(CalibrationStepsTest, AverageTakesTheUndoCopyButWritesNoHistory) {
    FillCurrent(3);
    EXPECT_EQ(AverageWithImage(session, NativeFile("~other", 6)), OperandResult::Loaded);
    EXPECT_EQ(PixelAt(images->CurrentImage, 100, 100), 4);
    // Columns 510 and 511 of the operand are not in the file: they keep the second image's
    // start-up ramp (225 x row).
    EXPECT_EQ(PixelAt(images->CurrentImage, 511, 2), (3 + 450) / 2);
    EXPECT_EQ(PixelAt(images->UndoImage, 100, 100), 3);
    EXPECT_EQ(session.state.HistoryLines[0], "");
    EXPECT_FALSE(ui.loadedBitmaps.empty());
}

TEST_F(CalibrationStepsTest, AutomaticFilesDefaultIntoTheDataDirectory) {
    CalibrationState state;
    std::ofstream(folder.Path() / "DARK.DEF") << "x";
    EXPECT_EQ(AutomaticDarkFile(state, session.dataDirectory), folder.Path() / "DARK.DEF");
    EXPECT_EQ(AutomaticFlatFile(state, session.dataDirectory), folder.Path() / "flat.def");
}

}  // namespace
}  // namespace talvor
