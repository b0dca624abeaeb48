// One-step undo with its history rule, and the history text.

#include "processing/undo_history.h"

#include <gtest/gtest.h>

#include "camera/camera_test_support.h"
#include "camera/capture_sequence.h"
#include "core/camera_state.h"
#include "image/fits_file.h"
#include "image/image_loading.h"
#include "image/native_file.h"
#include "processing/contrast_stretches.h"
#include "processing/frame_arithmetic.h"
#include "processing/label_drawing.h"
#include "processing/merge_mode.h"
#include "processing/mirror_image.h"
#include "processing/undo_copy.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class UndoHistoryTest : public testing::SessionTest {
  protected:
    // A step as every processing step runs: undo copy, change, history line.
    void Step(uint16_t added, const char* line) {
        SaveUndoCopy(session.images);
        for (int i = 0; i < kFramePixels; ++i) {
            images->CurrentImage[i] = static_cast<uint16_t>(images->CurrentImage[i] + added);
        }
        AppendHistory(session.state, line);
    }
};

TEST_F(UndoHistoryTest, UndoRestoresTheStepsStartOnceAndThenHasNothingLeft) {
    EXPECT_FALSE(CanUndo(*images));  // start-up: no step yet
    Step(1, "Log Stretch");
    const ImageBuffer beforeSecond = images->CurrentImage;
    Step(5, "Gaussian Filter");
    EXPECT_TRUE(CanUndo(*images));
    UndoLastStep(session);
    EXPECT_EQ(images->CurrentImage, beforeSecond);
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    EXPECT_EQ(session.state.HistoryLines[1], "");
    EXPECT_FALSE(ui.loadedBitmaps.empty());

    // One level: a second press keeps the picture and the line of the step still in it.
    EXPECT_FALSE(CanUndo(*images));
    const std::size_t refreshes = ui.loadedBitmaps.size();
    UndoLastStep(session);
    EXPECT_EQ(images->CurrentImage, beforeSecond);
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    EXPECT_EQ(ui.loadedBitmaps.size(), refreshes);
}

TEST_F(UndoHistoryTest, AFullHistoryIsKept) {
    for (int i = 0; i < kHistorySlots; ++i) {
        AppendHistory(session.state, "Step " + std::to_string(i));
    }
    RemoveLastHistoryLine(session.state);
    EXPECT_EQ(session.state.HistoryLines[14], "Step 14");
    session.state.HistoryLines[14].clear();
    RemoveLastHistoryLine(session.state);
    EXPECT_EQ(session.state.HistoryLines[13], "");
    EXPECT_EQ(session.state.HistoryLines[12], "Step 12");
}

TEST_F(UndoHistoryTest, AfterOpeningAFileUndoKeepsTheOpenedPictureAndItsHistory) {
    // Saved after a log stretch, then turned negative, then opened again: the undo copy holds
    // the picture before the inversion, which is not what the open showed.
    for (int i = 0; i < kFramePixels; ++i) {
        images->CurrentImage[i] = static_cast<uint16_t>(i % 50000);
    }
    LogarithmicStretch(session);
    const auto saved = folder.Path() / "m42.FIT";
    ASSERT_EQ(WriteFitsFile(saved, images->CurrentImage, session.state.Fits, session.state, false),
              FitsWriteResult::Written);
    InvertToNegative(session);
    const auto native = folder.Path() / "other";
    ASSERT_EQ(WriteNativeFile(native, images->SecondImage), NativeWriteResult::Written);
    for (const auto& file : {saved, native}) {
        SaveUndoCopy(session.images);
        LoadIntoCurrentImage(session, file, file.filename().string());
        const ImageBuffer opened = images->CurrentImage;
        const auto history = session.state.HistoryLines;
        EXPECT_FALSE(CanUndo(*images)) << file;
        UndoLastStep(session);
        EXPECT_EQ(images->CurrentImage, opened) << file;
        EXPECT_EQ(session.state.HistoryLines, history) << file;
    }
    EXPECT_EQ(session.state.HistoryLines[0], "");  // the native file carries no history
    // A file that cannot be opened leaves the picture, and so the undo, as they were.
    Step(3, "Sine Stretch");
    LoadIntoCurrentImage(session, folder.Path() / "missing.fit", "missing.fit");
    EXPECT_TRUE(CanUndo(*images));
}

TEST_F(UndoHistoryTest, LabelMergeAndMirrorLeaveNothingToUndo) {
    // Each changes the picture without an undo copy of its own: undoing the step before would
    // silently take the label, the merge or the mirror away with it.
    const auto other = folder.Path() / "other";
    ASSERT_EQ(WriteNativeFile(other, images->CurrentImage), NativeWriteResult::Written);
    Step(2, "Log Stretch");
    LabelImage(session, "M42", false, false);
    EXPECT_FALSE(CanUndo(*images));
    Step(2, "Log Stretch");
    MirrorImage(session);
    EXPECT_FALSE(CanUndo(*images));
    Step(2, "Log Stretch");
    MergeWithFile(session, other, 100, 100, 100, 100, true);
    EXPECT_FALSE(CanUndo(*images));
    Step(2, "Log Stretch");
    EXPECT_TRUE(CanUndo(*images));
}

TEST_F(UndoHistoryTest, HistoryTextEndsEachLineWithASpaceAndStopsAtAShortSlot) {
    EXPECT_EQ(HistoryText(session.state), " \n");
    AppendHistory(session.state, "Log Stretch");
    AppendHistory(session.state, "Gaussian Filter");
    EXPECT_EQ(HistoryText(session.state), "Log Stretch \nGaussian Filter \n");
    session.state.HistoryLines[2] = "x";
    session.state.HistoryLines[3] = "Median Filter";
    EXPECT_EQ(HistoryText(session.state), "Log Stretch \nGaussian Filter \n");
    // Slot 0 is shown even when only slot 1 holds a line.
    session.state.HistoryLines[0].clear();
    EXPECT_EQ(HistoryText(session.state), " \nGaussian Filter \n");
    ShowProcessingHistory(session);
    EXPECT_EQ(ui.messages, std::vector<std::string>{" \nGaussian Filter \n"});
}

TEST_F(UndoHistoryTest, TheShownHistoryIsCutWhereTheMessageBoxCutsIt) {
    for (int i = 0; i < kHistorySlots; ++i) {
        AppendHistory(session.state, "Normal Stretch : max 255 ,min " + std::to_string(100 + i));
    }
    const std::string whole = HistoryText(session.state);
    ASSERT_EQ(whole.size(), 15u * 35u);
    EXPECT_EQ(ShownHistoryText(session.state), whole.substr(0, 498));
    ShowProcessingHistory(session);
    EXPECT_EQ(ui.messages.back(), ShownHistoryText(session.state));
}

// A photo taken with the automatic dark frame: the capture keeps that dark in the undo store.
class UndoAfterCaptureTest : public testing::CameraTest {
  protected:
    UndoAfterCaptureTest() : link(session) {
        clock.SetStep(1);
        session.camera.CameraConnected = true;
        link.block = testing::BlockOfWords(std::vector<uint16_t>(kFullFrameBlockBytes / 2, 5000));
    }
    testing::RecordingLink link;
    SelfGuidingHooks hooks;
};

TEST_F(UndoAfterCaptureTest, APhotoLeavesNothingToUndoEvenWithTheDarkInTheUndoStore) {
    ImageBuffer dark{};
    std::fill_n(dark.begin(), kFramePixels, uint16_t{700});
    const auto darkFile = folder.Path() / "dark.raw";
    ASSERT_EQ(WriteNativeFile(darkFile, dark), NativeWriteResult::Written);
    session.calibration.AutoDarkPath = darkFile.string();
    session.capture.Settings.AutoRemoveDark = true;

    InvertToNegative(session);
    ASSERT_TRUE(CanUndo(*images));
    session.capture.Settings.Value = 1;
    CaptureSequence(session, link, hooks).TakePhoto();
    ASSERT_EQ(PixelAt(images->CurrentImage, 100, 100), 4300);
    ASSERT_EQ(PixelAt(images->UndoImage, 100, 100), 700);
    const ImageBuffer photo = images->CurrentImage;
    const auto history = session.state.HistoryLines;
    EXPECT_FALSE(CanUndo(*images));
    UndoLastStep(session);
    EXPECT_EQ(images->CurrentImage, photo);
    EXPECT_EQ(session.state.HistoryLines, history);
}

}  // namespace
}  // namespace talvor
